// kelmora_bench: runs every benchmark (each several times), then prints one table
// of medians: the figure, its reference from the same run, their ratio and the target.
#include <QCoreApplication>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "ui/Application.h"

namespace
{

// Keeps the median of every benchmark (or its only run) while the console shows them all.
class SummaryReporter : public benchmark::ConsoleReporter
{
  public:
    struct Result
    {
        double wallNs = 0;
        double cpuNs = 0;
        std::map<std::string, double> counters;
        std::string error;
    };

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
        {
            Result& result = results[run.run_name.function_name];
            if (run.error_occurred)
            {
                result.error = run.error_message;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!median && !single) continue;
            const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            result.wallNs = run.GetAdjustedRealTime() * toNs;
            result.cpuNs = run.GetAdjustedCPUTime() * toNs;
            for (const auto& [name, counter] : run.counters)
                result.counters[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Result> results;
};

std::string Time(double ns)
{
    char text[32];
    if (ns < 1e3)
        std::snprintf(text, sizeof text, "%.0f ns", ns);
    else if (ns < 1e4)
        std::snprintf(text, sizeof text, "%.2f µs", ns / 1e3);
    else if (ns < 1e6)
        std::snprintf(text, sizeof text, "%.1f µs", ns / 1e3);
    else if (ns < 1e7)
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    else
        std::snprintf(text, sizeof text, "%.1f ms", ns / 1e6);
    return text;
}

std::string Number(double value, const char* unit)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, unit);
    return text;
}

std::string TargetText(const bench::Row& row)
{
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (row.limitNs > 0) add("≤ " + Time(row.limitNs));
    if (row.ratioLimit > 0)
    {
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "≤ %gx", row.ratioLimit);
        add(ratio);
    }
    if (row.counterLimit > 0) add("≤ " + Number(row.counterLimit, row.unit.c_str()));
    if (row.deltaLimit > 0) add("+" + Number(row.deltaLimit, row.unit.c_str()) + " at most");
    return text;
}

// Prints the table; returns how many targets were missed.
int PrintSummary(const SummaryReporter& reporter)
{
    std::printf(
        "\n| path | figure | reference | ratio | target | |\n| --- | --: | --: | --: | --- | --- |\n");
    int missed = 0;
    for (const bench::Row& row : bench::Rows())
    {
        const auto figure = reporter.results.find(row.figure);
        if (figure == reporter.results.end()) continue; // filtered out of this run
        if (!figure->second.error.empty())
        {
            ++missed;
            std::printf("| %s | failed: %s | | | %s | MISSED |\n", row.path.c_str(),
                        figure->second.error.c_str(), TargetText(row).c_str());
            continue;
        }
        auto timeOf = [&row](const SummaryReporter::Result& result)
        { return row.wallClock ? result.wallNs : result.cpuNs; };
        std::string figureText;
        std::string referenceText = "none";
        std::string ratioText = "";
        bool met = true;
        if (!row.counter.empty())
        {
            const auto& counters = figure->second.counters;
            const double value = counters.count(row.counter) ? counters.at(row.counter) : NAN;
            const double reference =
                counters.count(row.referenceCounter) ? counters.at(row.referenceCounter) : NAN;
            figureText = Number(value, row.unit.c_str());
            referenceText = Number(reference, row.unit.c_str());
            char delta[32];
            std::snprintf(delta, sizeof delta, "%+.2f %s", value - reference, row.unit.c_str());
            ratioText = delta;
            if (row.counterLimit > 0 && !(value <= row.counterLimit)) met = false;
            if (row.deltaLimit > 0 && !(value - reference <= row.deltaLimit)) met = false;
        }
        else
        {
            const double value = timeOf(figure->second) / row.figureUnits;
            figureText = Time(value);
            if (row.limitNs > 0 && !(value <= row.limitNs)) met = false;
            // The reference: a counter of the same benchmark (paired runs), or another benchmark.
            double base = NAN;
            const auto& counters = figure->second.counters;
            if (!row.referenceNsCounter.empty())
            {
                if (counters.count(row.referenceNsCounter))
                    base = counters.at(row.referenceNsCounter);
                else
                    referenceText = "missing";
            }
            else if (!row.reference.empty())
            {
                const auto reference = reporter.results.find(row.reference);
                if (reference == reporter.results.end())
                    referenceText = "not run";
                else if (!reference->second.error.empty())
                    referenceText = "failed";
                else
                    base = row.referenceManualTime ? reference->second.wallNs : timeOf(reference->second);
            }
            if (!std::isnan(base))
            {
                base /= row.referenceUnits;
                referenceText = Time(base);
                char ratio[32];
                std::snprintf(ratio, sizeof ratio, "%.2fx", value / base);
                ratioText = ratio;
            }
            if (row.ratioLimit > 0 && !(value / base <= row.ratioLimit)) met = false;
        }
        if (!met) ++missed;
        const std::string target = TargetText(row);
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.path.c_str(), figureText.c_str(),
                    referenceText.c_str(), ratioText.c_str(), target.c_str(),
                    target.empty() ? "" : (met ? "met" : "MISSED"));
    }
    std::printf("\nFigures are medians of the repetitions; each reference ran in the same process, "
                "interleaved with its figure (the file rows: within each iteration).\nTimes are the "
                "benchmark thread's CPU time, except for the file rows and start-up, which are wall-clock "
                "time; the rotator's reference is the CPU time of a child process without a "
                "QApplication.\n");
    if (missed > 0) std::printf("%d target(s) missed.\n", missed);
    return missed;
}

bool HasFlag(int argc, char** argv, const char* prefix)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // The rotator's reference runs before anything of Qt exists in the process.
    if (argc == 3 && std::strcmp(argv[1], "--rotation-probe") == 0)
        return bench::RunRotationProbe(std::atoi(argv[2]));
    // Everything runs under the offscreen platform, the probe children too.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc == 3 && std::strcmp(argv[1], "--memory-probe") == 0)
        return bench::RunMemoryProbe(std::atoi(argv[2]));

    int qtArgc = 1;
    TApplication app(qtArgc, argv);

    // Defaults for a noisy shared machine: several repetitions, medians, figure and
    // reference interleaved. Any of them may be given on the command line instead.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=7";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    if (!HasFlag(argc, argv, "--benchmark_repetitions")) args.push_back(repetitions.data());
    if (!HasFlag(argc, argv, "--benchmark_report_aggregates_only")) args.push_back(aggregates.data());
    if (!HasFlag(argc, argv, "--benchmark_enable_random_interleaving")) args.push_back(interleave.data());
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    bench::RegisterViewBenchmarks();
    bench::RegisterCoreBenchmarks();
    bench::RegisterFileBenchmarks();
    bench::RegisterProcessBenchmarks();
    bench::RegisterObjectBenchmarks();
    bench::RegisterObjectEditorBenchmarks();
    bench::RegisterImageImportBenchmarks();
    bench::RegisterGifBenchmarks();

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::ReleaseWindow();
    benchmark::Shutdown();
    PrintSummary(reporter);
    return 0;
}
