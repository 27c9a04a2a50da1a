// A clean vector unit for the store's floating-point loops.
//
// x86-64 processors with AVX keep a flag telling whether the upper halves of the YMM
// registers may hold data. While it is set (a "dirty upper state"), every instruction of
// the older SSE encoding pays: processors before Skylake switch state at each change
// between SSE and AVX code, later Intel processors make each SSE instruction merge the
// upper halves and wait for them. This program is compiled for plain x86-64 (SSE2) so
// that it runs on every such machine, so all its floating-point code is SSE code. Only
// VZEROUPPER (or VZEROALL) clears the flag, and every library using 256-bit registers must
// execute it before it returns.
//
// Qt 6.4's string hash (qHashBits, Debian 12's libQt6Core 6.4.2) does not: on processors
// with VAES and AVX2 its AES hash ends with the upper halves of YMM0 and YMM1 written and
// returns without VZEROUPPER. A QGuiApplication hashes strings while it starts and whenever
// a widget looks something up in a QHash, so the editor's main thread runs with the flag
// set. On such a machine the rotator's 360-frame sequence took 100 ms in the editor's
// process against 13 ms in a plain one, and one VZEROUPPER after the QApplication was
// created brought it back.
// (A processor that clears the flag once the upper halves are zero again shows no
// slowdown: the next VEX instruction writing XMM0 and XMM1 does that. Which ones do is
// not documented, so the fix does not depend on it.)
//
// The flag belongs to one thread, and the toolkit sets it again at any moment on the
// thread that runs it. So the fix is where the work is: every floating-point loop of the
// store calls ClearUpperVectorState() first (a single instruction), and the application
// object calls it before it delivers each event.
#pragma once

namespace kelmora
{

// Clears the upper halves of the YMM registers of the calling thread (VZEROUPPER) when the
// processor and the operating system support AVX; does nothing on other processors and on
// other architectures. Never needs AVX to run.
void ClearUpperVectorState();

} // namespace kelmora
