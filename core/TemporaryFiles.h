// Temporary files of saves in progress, removed when the process is ended by a signal.
//
// Every writer of the store registers its temporary file here for as long as it exists.
// Once InstallTemporaryFileCleanup() has run, SIGINT, SIGTERM, SIGHUP and SIGPIPE first
// remove every registered file and then end the process as the signal would have, so an
// interrupted save leaves nothing behind. Where the program had installed a handler of its
// own before, that handler is called instead and the files stay (the program may live on
// and finish its saves). The table is fixed in size and the handler only calls unlink, which
// is safe inside a signal handler.
//
// On Windows the same goes for the console's events that end a program: Ctrl+C, Ctrl+Break
// and closing its window first remove every registered file and then end the process with
// STATUS_CONTROL_C_EXIT, as the system would have. (Windows calls the handler installed
// last first, so a handler the program installed before is not asked.)
#pragma once

namespace kelmora
{

// Installs the handlers described above and ignores SIGXFSZ, so a file size limit makes a
// write fail with "File too large" instead of killing the process. A signal the process
// already ignores stays ignored. Safe to call more than once. Returns false when a handler
// could not be installed.
bool InstallTemporaryFileCleanup();

#ifdef _WIN32
// While a transaction creates a temporary file or puts its files in place, a console event
// waits for it to finish before it removes the files and ends the process, so the process
// never ends half-way through (elsewhere the signals are blocked meanwhile). Not nested.
void HoldConsoleEvents();
void ReleaseConsoleEvents();
#endif

// Adds path to the table; returns its slot, or -1 when the table is full or the name too
// long to keep (the file is then simply not removed by a signal).
int RegisterTemporaryFile(const char* path);
// Takes the slot out of the table (a slot of -1 is ignored).
void ForgetTemporaryFile(int slot);

} // namespace kelmora
