// Runs every benchmark with repetitions in random interleaving, then prints a summary of
// ratios between medians of the same run. Extra Google Benchmark flags on the command
// line override the defaults below.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "benchmarks.h"
#include "voice/transform_kernels.h"

namespace wt::bench {

namespace {

// Keeps the median CPU time per iteration of every case, in nanoseconds. CPU time, not
// wall time: on a shared machine the wall clock also counts other programs' turns.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
            medians_[run.run_name.function_name] =
                run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void printSummary() const {
        const std::string best = isaName(selectedIsa());
        const std::string baseline = isaName(Isa::Baseline);
        const double fftwComplex = median("fft-forward/fftw-complex");
        const double fftwPair = median("fft-pair/fftw-r2c-c2r");

        std::printf("\nTransform, %d points (medians; ratio < 1 is faster than FFTW):\n",
                    static_cast<int>(kBlockSize));
        for (int32_t i = kIsaCount - 1; i >= 0; --i) {
            const char* name = isaName(static_cast<Isa>(i));
            if (!has(std::string("fft-forward/") + name)) continue;
            std::printf(
                "  %-8s forward %7.0f ns = %5.2f x fftw-complex, pair %7.0f ns = %5.2f x "
                "fftw-r2c-c2r\n",
                name, median(std::string("fft-forward/") + name),
                median(std::string("fft-forward/") + name) / fftwComplex,
                median(std::string("fft-pair/") + name),
                median(std::string("fft-pair/") + name) / fftwPair);
        }
        std::printf(
            "  %-8s forward %7.0f ns = %5.2f x fftw-complex, pair %7.0f ns = %5.2f x "
            "fftw-r2c-c2r\n",
            "literal", median("fft-forward/literal"), median("fft-forward/literal") / fftwComplex,
            median("fft-pair/literal"), median("fft-pair/literal") / fftwPair);
        std::printf("  fftw     complex %7.0f ns, r2c+c2r pair %7.0f ns\n", fftwComplex, fftwPair);

        std::printf("\nBlock step (%s), per effect and strength:\n", best.c_str());
        double slowestBlock = 0.0;
        double leastSpeedUp = 1e300;
        for (const auto& [name, time] : medians_) {
            if (name.rfind("block/", 0) != 0 || name == "block/no-effect") continue;
            const std::string literal = "block-literal/" + name.substr(6);
            const double speedUp = median(literal) / time;
            std::printf(
                "  %-24s %7.0f ns = %5.2f x fftw-r2c-c2r; literal %7.0f ns, %5.1f x faster\n",
                name.c_str() + 6, time, time / fftwPair, median(literal), speedUp);
            slowestBlock = std::max(slowestBlock, time);
            leastSpeedUp = std::min(leastSpeedUp, speedUp);
        }
        std::printf("  %-24s %7.0f ns\n", "no-effect (copy)", median("block/no-effect"));

        printRemapSummary();

        std::printf("\nCapture call, 480-frame mono buffers:\n");
        for (const char* effect : {"no-effect", "robot"}) {
            const double call = median(std::string("capture-480/") + effect);
            std::printf(
                "  %-10s amortised %6.2f ns per sample (%6.0f ns per call), worst call %6.0f ns\n",
                effect, call / 480, call, median(std::string("capture-480-worst-call/") + effect));
        }

        std::printf("\n");
        std::printf("fft-forward/fftw-complex: %.2f\n",
                    median("fft-forward/" + best) / fftwComplex);
        std::printf("fft-pair/fftw-r2c-c2r: %.2f\n", median("fft-pair/" + best) / fftwPair);
        std::printf("fft-pair-%s/fftw-r2c-c2r: %.2f\n", baseline.c_str(),
                    median("fft-pair/" + baseline) / fftwPair);
        std::printf("block/fftw-r2c-c2r: %.2f\n", slowestBlock / fftwPair);
        std::printf("block-literal/block: %.2f\n", leastSpeedUp);
        std::printf("isa: %s\n", best.c_str());
    }

    // The remap step alone: the plan against the plain loop it must match bit for bit and
    // against that loop with the targets computed once, and what making the plan costs.
    // Ends with the least speed-ups over both loops; printed alone by a run filtered to
    // "remap".
    void printRemapSummary() const {
        std::printf("\nRemap step, per effect and strength:\n");
        double overLoop = 1e300;
        double overTable = 1e300;
        for (const auto& [name, time] : medians_) {
            if (name.rfind("remap/", 0) != 0) continue;
            const std::string suffix = name.substr(6);
            const double loop = median("remap-loop/" + suffix);
            const double table = median("remap-table/" + suffix);
            std::printf(
                "  %-20s plan %5.0f ns (made in %5.0f ns); targets once %5.0f ns; loop %5.0f ns, "
                "%4.1f x faster\n",
                suffix.c_str(), time, median("remap-plan-made/" + suffix), table, loop,
                loop / time);
            overLoop = std::min(overLoop, loop / time);
            overTable = std::min(overTable, table / time);
        }
        std::printf("remap-loop/remap: %.2f\n", overLoop);
        std::printf("remap-table/remap: %.2f\n", overTable);
    }

    bool hasRemap() const {
        const auto it = medians_.lower_bound("remap/");
        return it != medians_.end() && it->first.rfind("remap/", 0) == 0;
    }

    bool complete() const {
        return has("fft-forward/fftw-complex") && has("fft-pair/fftw-r2c-c2r") &&
               has("fft-pair/" + std::string(isaName(selectedIsa()))) && has("block/no-effect") &&
               has("capture-480-worst-call/robot");
    }

  private:
    bool has(const std::string& name) const { return medians_.count(name) != 0; }

    double median(const std::string& name) const {
        const auto it = medians_.find(name);
        return it == medians_.end() ? 0.0 : it->second;
    }

    std::map<std::string, double> medians_;
};

}  // namespace

}  // namespace wt::bench

int main(int argc, char** argv) {
    std::vector<char*> args = {argv[0]};
    char repetitions[] = "--benchmark_repetitions=15";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    char minTime[] = "--benchmark_min_time=0.1";
    args.insert(args.end(), {repetitions, interleave, aggregates, minTime});
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());

    wt::bench::registerTransformBenchmarks();
    wt::bench::registerVoicePathBenchmarks();
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    wt::bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // A filtered run lacks the cases the summary compares.
    if (reporter.complete()) {
        reporter.printSummary();
    } else if (reporter.hasRemap()) {
        reporter.printRemapSummary();
    }
    return 0;
}
