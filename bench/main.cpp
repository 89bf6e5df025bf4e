// payfmt_bench: every benchmark in one run, then the ratio of each pair
// BM_X_Payfmt / BM_X_HandWritten that ran, by real time per iteration, and
// the ISO 8583 figures beside the npm package iso_8583 when it is installed.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kPayfmt = "_Payfmt";
constexpr std::string_view kHandWritten = "_HandWritten";

// Sums over the repetitions of one benchmark.
struct Measure {
    double seconds = 0;  // real time per iteration
    double best = 0;     // the shortest real time per iteration of any repetition
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
            // Repetitions of one benchmark count together, under its own name.
            std::string name = run.benchmark_name();
            if (const auto at = name.find("/repeats:"); at != std::string::npos) name.erase(at);
            if (!measures_.contains(name)) order_.push_back(name);
            Measure& m = measures_[name];
            const double perIteration = run.real_accumulated_time / static_cast<double>(run.iterations);
            m.seconds += perIteration;
            m.best = m.runs == 0 ? perIteration : std::min(m.best, perIteration);
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

    const Measure* find(const std::string& name) const {
        const auto it = measures_.find(name);
        return it == measures_.end() ? nullptr : &it->second;
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


// The ISO 8583 peer: bench/peer/iso8583_peer.js run with node over the
// package that bench/peer/install_iso8583.sh put in a scratch folder.
namespace peer {

namespace fs = std::filesystem;

const fs::path kScript = fs::path(PAYFMT_EXAMPLES_DIR "/../bench/peer/iso8583_peer.js").lexically_normal();

fs::path scratchFolder() {
    if (const char* env = std::getenv("PAYFMT_NPM_PEER"); env && *env) return env;
    return fs::path(PAYFMT_EXAMPLES_DIR "/../build/npm-peer").lexically_normal();
}

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    for (std::string_view rest = path; !rest.empty();) {
        const std::size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The script's one JSON line, flat: numbers, booleans and short strings.
struct Report {
    std::string json;

    std::optional<double> number(const char* key) const {
        const std::size_t at = valueAt(key);
        if (at == std::string::npos) return std::nullopt;
        char* end = nullptr;
        const double value = std::strtod(json.c_str() + at, &end);
        if (end == json.c_str() + at) return std::nullopt;
        return value;
    }
    bool flag(const char* key) const {
        const std::size_t at = valueAt(key);
        return at != std::string::npos && json.compare(at, 4, "true") == 0;
    }
    std::string text(const char* key) const {
        const std::size_t at = valueAt(key);
        if (at == std::string::npos || json[at] != '"') return "?";
        const std::size_t end = json.find('"', at + 1);
        return end == std::string::npos ? "?" : json.substr(at + 1, end - at - 1);
    }

private:
    std::size_t valueAt(const char* key) const {
        const std::string name = std::string("\"") + key + "\":";
        const std::size_t at = json.find(name);
        return at == std::string::npos ? at : at + name.size();
    }
};

std::string rate(double perSecond) {
    char text[32];
    if (perSecond >= 1e6) std::snprintf(text, sizeof text, "%.2fM/s", perSecond / 1e6);
    else if (perSecond >= 1e3) std::snprintf(text, sizeof text, "%.1fk/s", perSecond / 1e3);
    else std::snprintf(text, sizeof text, "%.0f/s", perSecond);
    return text;
}

void printInstallHint(const char* why) {
    std::printf("\nISO 8583 beside iso_8583: skipped, %s.\n", why);
    std::printf("  Install the peer (needs node and npm): bench/peer/install_iso8583.sh [folder]\n");
    std::printf("  The default folder is build/npm-peer; set PAYFMT_NPM_PEER to use another.\n");
}

// After the payfmt ISO 8583 benchmarks ran: the peer's rates in a table
// beside them, messages per second by wall time on both sides.
void compare(const RatioReporter& reporter) {
    const Measure* parse = reporter.find("BM_Iso8583Parse_Payfmt");
    const Measure* compile = reporter.find("BM_Iso8583Compile_Payfmt");
    if (!parse && !compile) return;

    const fs::path scratch = scratchFolder();
    std::error_code ec;
    if (!fs::exists(kScript, ec)) return printInstallHint(("no " + kScript.string()).c_str());
    if (!fs::exists(scratch / "node_modules/iso_8583/package.json", ec))
        return printInstallHint(("iso_8583 is not installed in " + scratch.string()).c_str());
    if (!onPath("node")) return printInstallHint("node is not on the PATH");

    // Single-threaded, node's rates hold steady from run to run (the script says why).
    std::printf("\nRunning iso_8583 (node --single-threaded %s %s), about 12 s ...\n", kScript.c_str(),
                scratch.c_str());
    std::fflush(stdout);
    const std::string command =
        "node --single-threaded " + quoted(kScript.string()) + " " + quoted(scratch.string());
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return printInstallHint("node could not be started");
    Report report;
    std::string line;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe)) {
        line += chunk;
        if (line.back() != '\n') continue;
        if (line.front() == '{') report.json = line;
        line.clear();
    }
    if (!line.empty() && line.front() == '{') report.json = line;
    const int status = pclose(pipe);
    const auto peerParse = report.number("parse_per_s");
    const auto peerCompile = report.number("compile_per_s");
    if (status != 0 || !peerParse || !peerCompile) {
        std::printf("iso_8583 run failed (exit status %d); run the command above to see why.\n",
                    WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return;
    }

    std::printf("\nISO 8583 ascii sample, payfmt / iso_8583 %s (node %s), messages per second\n",
                report.text("version").c_str(), report.text("node").c_str());
    // Best against best: on a shared machine a slow spell can fall on either
    // side, and each side's best is the closest to what it can do.
    std::printf("(payfmt: its best repetition, by real time; iso_8583: its best 0.5 s of 2 s, after a warm-up)\n");
    std::printf("%-8s %12s %12s %9s\n", "", "payfmt", "iso_8583", "ratio");
    const auto row = [](const char* what, const Measure* ours, double theirs) {
        if (!ours) {
            std::printf("%-8s %12s %12s %9s\n", what, "-", rate(theirs).c_str(), "-");
            return;
        }
        const double perSecond = 1.0 / ours->best;
        std::printf("%-8s %12s %12s %8.1fx\n", what, rate(perSecond).c_str(), rate(theirs).c_str(), perSecond / theirs);
    };
    row("parse", parse, *peerParse);
    row("compile", compile, *peerCompile);
    const double bytes = report.number("bytes").value_or(0);
    const double sampleBytes = report.number("sample_bytes").value_or(0);
    if (report.flag("same_bytes")) {
        std::printf("iso_8583 built the same %.0f bytes as ascii.msg.\n", bytes);
    } else {
        std::printf("iso_8583 built %.0f bytes, not the %.0f of ascii.msg (DE 55 as hex text: see %s);\n", bytes,
                    sampleBytes, kScript.filename().c_str());
        std::printf("its parse is timed on its own message; on ascii.msg itself it reads %s.\n",
                    rate(report.number("parse_sample_per_s").value_or(0)).c_str());
    }
}

}  // namespace peer

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Our own display reporter: --benchmark_out still writes any format to a file.
    RatioReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                 : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    peer::compare(reporter);
    benchmark::Shutdown();
    return 0;
}
