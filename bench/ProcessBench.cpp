// Whole-process figures: start-up of the editor to its first painted window, and the
// editor's peak resident memory with and without 150 undo pushes.
#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/BenchSupport.h"
#include "core/UndoHistory.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"

extern char** environ;

namespace bench
{

namespace
{

// Starts a program with its output discarded, waits for it and returns the wall-clock
// time in seconds (negative when it could not be started or failed).
double RunProgram(const char* program, const char* argument)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[3] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, program, &actions, nullptr, argv, environ);
    int status = 0;
    const bool finished = spawned == 0 && waitpid(child, &status, 0) == child;
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(end - start).count();
}

void Startup(benchmark::State& state, bool editor)
{
    for (auto _ : state)
    {
        const double seconds =
            editor ? RunProgram(KELMORA_EXECUTABLE, "--quit-after-show") : RunProgram("true", nullptr);
        if (seconds < 0)
        {
            state.SkipWithError("the program did not run to a clean exit");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

std::string OwnExecutable()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return std::string(path, static_cast<std::size_t>(length));
}

// Peak resident size in kB of a probe child with the given number of strokes; -1 on failure.
long ProbePeak(int strokes)
{
    const std::string command = "'" + OwnExecutable() + "' --memory-probe " + std::to_string(strokes);
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    long kilobytes = -1;
    if (std::fscanf(pipe, "%ld", &kilobytes) != 1) kilobytes = -1;
    if (pclose(pipe) != 0) return -1;
    return kilobytes;
}

void Memory(benchmark::State& state)
{
    long base = -1, pushed = -1;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        base = ProbePeak(0);
        pushed = ProbePeak(150);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (base < 0 || pushed < 0)
    {
        state.SkipWithError("the memory probe failed");
        return;
    }
    state.counters["without_MB"] = static_cast<double>(base) / 1024.0;
    state.counters["peak_MB"] = static_cast<double>(pushed) / 1024.0;
}

long PeakResidentKilobytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kilobytes = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kilobytes;
}

} // namespace

int RunMemoryProbe(int strokes)
{
    int argc = 1;
    char name[] = "kelmora";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    long peak = -1;
    {
        TForm1 window(QStringList{});
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        TPaintBox* editor = window.findChild<TPaintBox*>(QStringLiteral("PaintBox_Editor"));
        for (int k = 0; k < strokes; ++k)
        {
            // A short drag: press, one move with the button held, release (one undo push).
            const QPoint from(8 * (k % 24) + 4, 8 * ((k / 24) % 21) + 4);
            const QPointF to(from.x(), (from.y() + 8) % 168);
            QTest::mousePress(editor, Qt::LeftButton, Qt::NoModifier, from);
            QMouseEvent move(QEvent::MouseMove, to, editor->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(editor, &move);
            QTest::mouseRelease(editor, Qt::LeftButton, Qt::NoModifier, to.toPoint());
            QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        // Every stroke must have left its undo step (the history keeps at most 101).
        const int expected =
            1 + (strokes < kelmora::kHistorySlots - 2 ? strokes : kelmora::kHistorySlots - 2);
        peak = kelmora::HistoryPosition(window.document().history) == expected ? PeakResidentKilobytes() : -1;
    }
    std::printf("%ld\n", peak);
    return peak > 0 ? 0 : 1;
}

void RegisterProcessBenchmarks()
{
    Rows().push_back(TimeRow("Start-up to the first painted window (offscreen)", "Startup/kelmora",
                             "Startup/true", 250e6, 0, 1, true));
    benchmark::RegisterBenchmark("Startup/kelmora", Startup, true)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(15)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Startup/true", Startup, false)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(15)
        ->Unit(benchmark::kMillisecond);

    Row memory;
    memory.path = "Peak memory of the editor after 150 undo pushes";
    memory.figure = "Memory/editor";
    memory.counter = "peak_MB";
    memory.referenceCounter = "without_MB";
    memory.counterLimit = 80;
    memory.deltaLimit = 2;
    memory.unit = "MB";
    Rows().push_back(memory);
    benchmark::RegisterBenchmark("Memory/editor", Memory)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(3)
        ->Unit(benchmark::kMillisecond);
}

} // namespace bench
