// Shared by the benchmark programs: the one editor window they drive, the sample
// bank they draw, and the registration of each row of the summary.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/Types.h"

class TForm1;

namespace bench
{

// The editor window every window benchmark uses: created on first use (after the
// application object exists), shown, with 256 sprites of mixed content.
TForm1* Window();
// Closes and deletes that window (before the application object goes).
void ReleaseWindow();

// Fills a 16 KiB sprites block with a fixed mix of hires, multicolour and overlay sprites.
void FillSampleBank(kelmora::u8* block);

// One line of the summary: a figure and the reference it is compared with.
struct Row
{
    std::string path;                 // what is measured
    std::string figure;               // benchmark name of the figure
    std::string reference;            // benchmark name of the reference; empty: none
    double figureUnits = 1;           // the figure is the benchmark's time divided by this
    double referenceUnits = 1;        // likewise for the reference
    double limitNs = 0;               // absolute target in ns; 0: none
    double ratioLimit = 0;            // target ratio figure / reference; 0: none
    bool wallClock = false;           // compare wall-clock times instead of the thread's CPU times
    bool referenceManualTime = false; // the reference's time is its manual time (a child's measure)
    std::string referenceNsCounter; // when set, the reference is this counter (ns) of the figure's benchmark
    std::string counter;            // when set, the figure is this counter (not a time) ...
    std::string referenceCounter;   // ... and the reference this counter of the same benchmark
    double counterLimit = 0;        // target of the counter figure
    double deltaLimit = 0;          // target of figure - reference (counters)
    std::string unit;               // unit of counters
};

// A row comparing two times: the figure (per unit) against the reference, with an
// absolute limit in ns and a ratio limit (0: none).
inline Row TimeRow(const std::string& path, const std::string& figure, const std::string& reference,
                   double limitNs, double ratioLimit, double figureUnits = 1, bool wallClock = false)
{
    Row row;
    row.wallClock = wallClock;
    row.path = path;
    row.figure = figure;
    row.reference = reference;
    row.figureUnits = figureUnits;
    row.limitNs = limitNs;
    row.ratioLimit = ratioLimit;
    return row;
}

// Every row, in the order the summary prints them.
std::vector<Row>& Rows();

// Registration helpers used by the benchmark files at start-up.
void RegisterViewBenchmarks();
void RegisterCoreBenchmarks();
void RegisterFileBenchmarks();
void RegisterProcessBenchmarks();
void RegisterObjectBenchmarks();
void RegisterObjectEditorBenchmarks();
void RegisterImageImportBenchmarks();
void RegisterGifBenchmarks();

// The child mode of the rotator's reference: times the rotator's 360-frame sequence
// `sequences` times in a process without a QApplication and prints the median CPU time
// of one sequence in ns.
int RunRotationProbe(int sequences);

// The child mode of the memory benchmark: builds the editor, makes `strokes` brush
// strokes (each one undo push) and prints the peak resident size in kB.
int RunMemoryProbe(int strokes);

} // namespace bench
