// The store's paths a user waits on: the undo history, the flood fill and the
// rotator's sequence of turned frames (in this process, which has a QApplication, and in
// a child process that never creates one).
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Palette.h"
#include "core/SpriteBankStore.h"

using namespace kelmora;

namespace bench
{

namespace
{

constexpr int kPushes = 150;
constexpr int kUndos = 100;

// 150 pushes of a block that changes between them, then 100 undos, over and over. The
// history is emptied once before and after, not per iteration, so it runs in its steady
// state (every push past 101 states drops the oldest, every push after undos drops the
// states that could have been redone). Only the pushes or only the undos are timed.
void History(benchmark::State& state, bool timePushes)
{
    std::vector<u8> block(kBlockBytes);
    FillSampleBank(block.data());
    HistoryClear();
    for (auto _ : state)
    {
        if (!timePushes) state.PauseTiming();
        for (int k = 0; k < kPushes; ++k)
        {
            block[k] = static_cast<u8>(block[k] + 1);
            HistoryPush(block.data());
        }
        benchmark::ClobberMemory();
        if (timePushes)
            state.PauseTiming();
        else
            state.ResumeTiming();
        for (int k = 0; k < kUndos; ++k)
            HistoryUndo(block.data());
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
        if (timePushes) state.ResumeTiming();
    }
    HistoryClear();
}

void HistoryReference(benchmark::State& state)
{
    std::vector<u8> from(kBlockBytes, 1), to(kBlockBytes);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(from.data());
        std::memcpy(to.data(), from.data(), kBlockBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// Fills the whole of an empty sprite from its top-left pixel.
void FloodFillEmpty(benchmark::State& state, bool multicolour)
{
    std::vector<u8> block(kBlockBytes, 0);
    const int index = 7;
    block[index * kSpriteBytes + kAttributeByte] = multicolour ? kDefaultAttribute : 5;
    const int replacement = multicolour ? 3 : 2;
    for (auto _ : state)
    {
        std::memset(&block[index * kSpriteBytes], 0, kPixelBytes);
        FloodFill(block.data(), index, 0, 0, 0, replacement);
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
    }
    if (GetPixel(block.data(), index, multicolour ? 11 : 23, 20) != replacement)
        state.SkipWithError("the fill did not reach the far corner");
}

struct RotatorSetup
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes);
    std::vector<u8> buffer = std::vector<u8>(kBlockBytes);
    PaletteTables tables{};
    u8 fields[4] = {11, 0, 5, 1};
    RotatorState rotator{};
    // Multicolour with the overlay flag: each frame turns the sprite and its partner.
    static constexpr int kSprite = 9;

    RotatorSetup()
    {
        FillSampleBank(block.data());
        BuildPaletteTables(kBuiltInPalette, tables);
        ResetRotatorState(rotator, tables.base[fields[0]]);
    }
};

// The angles 0..359 of a 360-step turn, each frame and its partner stored into the
// copy buffer as the rotator's sequence does (the buffer's 256 slots are reused).
void TurnSequence(RotatorSetup& setup)
{
    int slot = 0;
    for (int angle = 0; angle < 360; ++angle)
    {
        RenderRotatedFrame(setup.block.data(), kSlotCount, setup.fields, setup.tables.base, setup.kSprite,
                           360, angle, setup.rotator);
        PutSprite(setup.buffer.data(), slot, setup.rotator.frameSprite);
        if (setup.rotator.hasPartner) PutSprite(setup.buffer.data(), slot + 1, setup.rotator.partnerSprite);
        slot = (slot + 2) % kSlotCount;
    }
    benchmark::DoNotOptimize(setup.buffer.data());
    benchmark::ClobberMemory();
}

void RotationSequence(benchmark::State& state)
{
    RotatorSetup setup;
    for (auto _ : state)
        TurnSequence(setup);
}

constexpr int kChildSequences = 15;

// The same sequence timed in a child process of this program that never creates a
// QApplication (see RunRotationProbe): the child's median CPU time of one sequence.
void RotationInPlainProcess(benchmark::State& state)
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
    {
        state.SkipWithError("cannot find this program");
        return;
    }
    const std::string command = "'" + std::string(self, static_cast<std::size_t>(length)) +
                                "' --rotation-probe " + std::to_string(kChildSequences);
    for (auto _ : state)
    {
        std::FILE* pipe = popen(command.c_str(), "r");
        double nanoseconds = -1;
        if (pipe == nullptr || std::fscanf(pipe, "%lf", &nanoseconds) != 1) nanoseconds = -1;
        if (pipe == nullptr || pclose(pipe) != 0 || nanoseconds <= 0)
        {
            state.SkipWithError("the rotation probe failed");
            break;
        }
        state.SetIterationTime(nanoseconds / 1e9);
    }
}

double ThreadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

} // namespace

int RunRotationProbe(int sequences)
{
    RotatorSetup setup;
    TurnSequence(setup); // warm-up
    std::vector<double> times;
    for (int k = 0; k < sequences; ++k)
    {
        const double start = ThreadCpuNanoseconds();
        TurnSequence(setup);
        times.push_back(ThreadCpuNanoseconds() - start);
    }
    if (times.empty()) return 1;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    std::printf("%.0f\n", times[times.size() / 2]);
    return 0;
}

void RegisterCoreBenchmarks()
{
    Rows().push_back(TimeRow("HistoryPush (150 pushes, then 100 undos), per push", "History/push",
                             "History/reference", 0, 3, kPushes));
    Rows().push_back(TimeRow("  HistoryUndo of the same sequence, per undo", "History/undo",
                             "History/reference", 0, 0, kUndos));
    benchmark::RegisterBenchmark("History/push", History, true);
    benchmark::RegisterBenchmark("History/undo", History, false);
    benchmark::RegisterBenchmark("History/reference", HistoryReference);

    Rows().push_back(TimeRow("FloodFill of an empty hires sprite", "FloodFill/hires", "", 20e3, 0));
    Rows().push_back(
        TimeRow("FloodFill of an empty multicolour sprite", "FloodFill/multicolour", "", 20e3, 0));
    benchmark::RegisterBenchmark("FloodFill/hires", FloodFillEmpty, false);
    benchmark::RegisterBenchmark("FloodFill/multicolour", FloodFillEmpty, true);

    // The reference is the same sequence in a process without a QApplication, so the row
    // shows whatever the toolkit's presence costs our floating-point code.
    Row rotator = TimeRow("Rotator: 360-angle sequence into the buffer (sprite and partner)",
                          "Rotation/sequence", "Rotation/plain-process", 20e6, 1.2);
    rotator.referenceManualTime = true;
    Rows().push_back(rotator);
    benchmark::RegisterBenchmark("Rotation/sequence", RotationSequence)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Rotation/plain-process", RotationInPlainProcess)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace bench
