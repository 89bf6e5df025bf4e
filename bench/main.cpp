// payfmt_bench: every benchmark in one run, then the ratio of each pair
// BM_X_Payfmt / BM_X_HandWritten that ran, by real time per iteration.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kPayfmt = "_Payfmt";
constexpr std::string_view kHandWritten = "_HandWritten";

// Sums over the repetitions of one benchmark.
struct Measure {
    double seconds = 0;  // real time per iteration
    double allocs = 0;   // the "allocs" counter, per iteration
    bool counted = false;
    int runs = 0;

    double time() const { return seconds / runs; }
    double allocations() const { return allocs / runs; }
};

// The console report as usual, keeping what the ratios need.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            const std::string name = run.benchmark_name();
            if (!measures_.contains(name)) order_.push_back(name);
            Measure& m = measures_[name];
            m.seconds += run.real_accumulated_time / static_cast<double>(run.iterations);
            if (const auto it = run.counters.find("allocs"); it != run.counters.end()) {
                m.allocs += it->second.value;
                m.counted = true;
            }
            ++m.runs;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const {
        struct Pair {
            std::string stem;
            const Measure* payfmt;
            const Measure* hand;
        };
        std::vector<Pair> pairs;
        for (const std::string& name : order_) {
            if (!name.ends_with(kPayfmt)) continue;
            const std::string stem = name.substr(0, name.size() - kPayfmt.size());
            const auto hand = measures_.find(stem + std::string(kHandWritten));
            if (hand == measures_.end()) continue;
            pairs.push_back({stem.starts_with("BM_") ? stem.substr(3) : stem, &measures_.at(name), &hand->second});
        }
        if (pairs.empty()) return;

        int width = 4;
        for (const Pair& p : pairs) width = std::max(width, static_cast<int>(p.stem.size()));
        std::printf("\npayfmt / hand-written, real time per iteration\n");
        std::printf("%-*s %12s %12s %9s %14s %14s\n", width, "pair", "payfmt", "hand-written", "ratio",
                    "payfmt allocs", "hand allocs");
        for (const Pair& p : pairs) {
            std::printf("%-*s %12s %12s %8.1fx %14s %14s\n", width, p.stem.c_str(), duration(p.payfmt->time()).c_str(),
                        duration(p.hand->time()).c_str(), p.payfmt->time() / p.hand->time(),
                        allocations(*p.payfmt).c_str(), allocations(*p.hand).c_str());
        }
    }

private:
    static std::string duration(double seconds) {
        char text[32];
        if (seconds < 1e-6) std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
        else if (seconds < 1e-3) std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
        else std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
        return text;
    }

    static std::string allocations(const Measure& m) {
        if (!m.counted) return "-";
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", m.allocations());
        return text;
    }

    std::map<std::string, Measure> measures_;
    std::vector<std::string> order_;  // as the benchmarks ran
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Our own display reporter: --benchmark_out still writes any format to a file.
    RatioReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                 : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
