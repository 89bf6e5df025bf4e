// payfmt_bench: every benchmark in one run, then the ratio of each pair
// BM_X_Payfmt / BM_X_HandWritten that ran, by real time per iteration, and
// the ISO 8583, BER-TLV and EDIFACT figures beside npm packages when they are
// installed.
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
#include <utility>
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


// The npm peers: a script under bench/peer/ run with node over packages that
// an install script put in a scratch folder, side by side with our figures.
namespace peer {

namespace fs = std::filesystem;

const fs::path kPeerDir = fs::path(PAYFMT_EXAMPLES_DIR "/../bench/peer").lexically_normal();

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

    std::optional<double> number(const std::string& key) const {
        const std::size_t at = valueAt(key);
        if (at == std::string::npos) return std::nullopt;
        char* end = nullptr;
        const double value = std::strtod(json.c_str() + at, &end);
        if (end == json.c_str() + at) return std::nullopt;
        return value;
    }
    bool flag(const std::string& key) const {
        const std::size_t at = valueAt(key);
        return at != std::string::npos && json.compare(at, 4, "true") == 0;
    }
    std::string text(const std::string& key) const {
        const std::size_t at = valueAt(key);
        if (at == std::string::npos || json[at] != '"') return "?";
        const std::size_t end = json.find('"', at + 1);
        return end == std::string::npos ? "?" : json.substr(at + 1, end - at - 1);
    }

private:
    std::size_t valueAt(const std::string& key) const {
        const std::string name = "\"" + key + "\":";
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

// One comparison: what is compared, its script and the packages it needs.
struct Peer {
    const char* title;      // "ISO 8583 beside iso_8583"
    const char* script;     // in bench/peer/
    const char* install;    // in bench/peer/
    std::vector<std::string> packages;  // package.json paths below the scratch folder
    double seconds;         // how long the script runs, roughly
};

void printInstallHint(const Peer& peer, const std::string& why) {
    std::printf("\n%s: skipped, %s.\n", peer.title, why.c_str());
    std::printf("  Install the peer (needs node and npm): bench/peer/%s [folder]\n", peer.install);
    std::printf("  The default folder is build/npm-peer; set PAYFMT_NPM_PEER to use another.\n");
}

// Runs the peer's script single-threaded (node's rates then hold steady from
// run to run: iso8583_peer.js says why); nullopt after saying why not.
std::optional<Report> run(const Peer& peer) {
    const fs::path script = kPeerDir / peer.script;
    const fs::path scratch = scratchFolder();
    std::error_code ec;
    if (!fs::exists(script, ec)) {
        printInstallHint(peer, "no " + script.string());
        return std::nullopt;
    }
    for (const std::string& package : peer.packages) {
        if (!fs::exists(scratch / package, ec)) {
            printInstallHint(peer, fs::path(package).parent_path().filename().string() + " is not installed in " + scratch.string());
            return std::nullopt;
        }
    }
    if (!onPath("node")) {
        printInstallHint(peer, "node is not on the PATH");
        return std::nullopt;
    }
    std::printf("\nRunning node --single-threaded %s %s, about %.0f s ...\n", script.c_str(), scratch.c_str(), peer.seconds);
    std::fflush(stdout);
    const std::string command = "node --single-threaded " + quoted(script.string()) + " " + quoted(scratch.string());
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        printInstallHint(peer, "node could not be started");
        return std::nullopt;
    }
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
    if (status != 0 || report.json.empty()) {
        std::printf("%s: the run failed (exit status %d); run the command above to see why.\n", peer.title,
                    WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return std::nullopt;
    }
    return report;
}

// Ours per second by our best repetition: on a shared machine a slow spell
// can fall on either side, and each side's best is the closest to what it
// can do (the peers report their best slice, after a warm-up).
double perSecond(const Measure* m) { return m ? 1.0 / m->best : 0; }

// After the payfmt ISO 8583 benchmarks ran: the peer's rates in a table
// beside them, messages per second by wall time on both sides.
void compareIso8583(const RatioReporter& reporter) {
    const Measure* parse = reporter.find("BM_Iso8583Parse_Payfmt");
    const Measure* compile = reporter.find("BM_Iso8583Compile_Payfmt");
    if (!parse && !compile) return;
    const Peer peer{"ISO 8583 beside iso_8583", "iso8583_peer.js", "install_iso8583.sh",
                    {"node_modules/iso_8583/package.json"}, 12};
    const auto report = run(peer);
    if (!report) return;
    const auto peerParse = report->number("parse_per_s");
    const auto peerCompile = report->number("compile_per_s");
    if (!peerParse || !peerCompile) return (void)std::printf("iso_8583: no rates in its report\n");

    std::printf("\nISO 8583 ascii sample, payfmt / iso_8583 %s (node %s), messages per second\n",
                report->text("version").c_str(), report->text("node").c_str());
    std::printf("(payfmt: its best repetition, by real time; iso_8583: its best 0.5 s of 2 s, after a warm-up)\n");
    std::printf("%-8s %12s %12s %9s\n", "", "payfmt", "iso_8583", "ratio");
    const auto row = [](const char* what, const Measure* ours, double theirs) {
        if (!ours) return (void)std::printf("%-8s %12s %12s %9s\n", what, "-", rate(theirs).c_str(), "-");
        std::printf("%-8s %12s %12s %8.1fx\n", what, rate(perSecond(ours)).c_str(), rate(theirs).c_str(), perSecond(ours) / theirs);
    };
    row("parse", parse, *peerParse);
    row("compile", compile, *peerCompile);
    const double bytes = report->number("bytes").value_or(0);
    const double sampleBytes = report->number("sample_bytes").value_or(0);
    if (report->flag("same_bytes")) {
        std::printf("iso_8583 built the same %.0f bytes as ascii.msg.\n", bytes);
    } else {
        std::printf("iso_8583 built %.0f bytes, not the %.0f of ascii.msg (DE 55 as hex text: see %s);\n", bytes,
                    sampleBytes, peer.script);
        std::printf("its parse is timed on its own message; on ascii.msg itself it reads %s.\n",
                    rate(report->number("parse_sample_per_s").value_or(0)).c_str());
    }
}

// After the payfmt BER-TLV benchmarks ran: ber-tlv and node-tlv on the same
// DE 55 sample, and our ratio to the faster of the two for each direction.
void compareBer(const RatioReporter& reporter) {
    const Measure* parse = reporter.find("BM_BerParse_Payfmt");
    const Measure* compile = reporter.find("BM_BerCompile_Payfmt");
    const Measure* parseEmv = reporter.find("BM_BerParseEmv_Payfmt");
    const Measure* compileEmv = reporter.find("BM_BerCompileEmv_Payfmt");
    if (!parse && !compile && !parseEmv && !compileEmv) return;
    const Peer peer{"BER-TLV beside ber-tlv and node-tlv", "tlv_peer.js", "install_tlv.sh",
                    {"tlv/node_modules/ber-tlv/package.json", "tlv/node_modules/node-tlv/package.json"}, 20};
    const auto report = run(peer);
    if (!report) return;
    const double tags = report->number("tags").value_or(0);
    const auto theirs = [&](const char* package, const char* what) {
        return report->number(std::string(package) + "_" + what + "_per_s").value_or(0);
    };
    std::printf("\nBER-TLV DE 55 sample (%.0f tags, %.0f bytes), payfmt / ber-tlv %s, node-tlv %s (node %s)\n", tags,
                report->number("bytes").value_or(0), report->text("ber_tlv_version").c_str(),
                report->text("node_tlv_version").c_str(), report->text("node").c_str());
    std::printf("messages per second (tags per second is %.0f times that); payfmt: its best repetition;\n", tags);
    std::printf("the packages: their best 0.5 s of 2 s, after a warm-up. The ratio is to the faster package.\n");
    std::printf("%-24s %12s %12s %12s %9s\n", "", "payfmt", "ber-tlv", "node-tlv", "ratio");
    const auto row = [&](const char* what, const Measure* ours, const char* direction) {
        const double a = theirs("ber_tlv", direction), b = theirs("node_tlv", direction);
        if (!ours) return;
        const double us = perSecond(ours);
        std::printf("%-24s %12s %12s %12s %8.1fx\n", what, rate(us).c_str(), rate(a).c_str(), rate(b).c_str(),
                    us / std::max(a, b));
    };
    row("parse, bytes kept", parse, "parse");
    row("compile, bytes kept", compile, "compile");
    row("parse, EMV forms", parseEmv, "parse");
    row("compile, EMV forms", compileEmv, "compile");
    std::printf("'bytes kept': every value stays its bytes, the packages' work; 'EMV forms': the definitions of\n"
                "examples/emv/emv.json, which also turn amounts and binary values into text and back.\n");
    for (const char* package : {"ber_tlv", "node_tlv"})
        if (!report->flag(std::string(package) + "_same_bytes"))
            std::printf("%s did not compile the sample's bytes back.\n", package);
}

// After the payfmt EDIFACT benchmarks ran: edifact and ts-edifact on the
// same PAYMUL sample, and our ratio to each. Neither package writes EDIFACT
// today, so compile has a peer figure only if the script reports one.
void compareEdifact(const RatioReporter& reporter) {
    const Measure* parse = reporter.find("BM_EdiParse_Payfmt");
    const Measure* compile = reporter.find("BM_EdiCompile_Payfmt");
    if (!parse && !compile) return;
    const Peer peer{"EDIFACT beside edifact and ts-edifact", "edifact_peer.js", "install_edifact.sh",
                    {"edifact/node_modules/edifact/package.json", "edifact/node_modules/ts-edifact/package.json"}, 10};
    const auto report = run(peer);
    if (!report) return;
    const double segments = report->number("segments").value_or(0);
    const auto theirs = [&](const char* package, const char* what) {
        return report->number(std::string(package) + "_" + what + "_per_s").value_or(0);
    };
    std::printf("\nEDIFACT PAYMUL sample (%.0f segments counting UNA, %.0f bytes), payfmt / edifact %s, ts-edifact %s (node %s)\n",
                segments, report->number("bytes").value_or(0), report->text("edifact_version").c_str(),
                report->text("ts_edifact_version").c_str(), report->text("node").c_str());
    std::printf("messages per second (segments per second is %.0f times that); payfmt: its best repetition;\n", segments);
    std::printf("the packages: their best 0.5 s of 2 s, after a warm-up.\n");
    std::printf("%-8s %12s %12s %12s %18s %15s\n", "", "payfmt", "edifact", "ts-edifact", "payfmt/ts-edifact",
                "payfmt/edifact");
    const auto cell = [](double perSecond) { return perSecond > 0 ? rate(perSecond) : std::string("-"); };
    // Two decimals below 1, where one would round most of the range away.
    const auto ratio = [](double us, double them) {
        if (us <= 0 || them <= 0) return std::string("-");
        char text[32];
        std::snprintf(text, sizeof text, us / them < 1 ? "%.2fx" : "%.1fx", us / them);
        return std::string(text);
    };
    const auto row = [&](const char* what, const Measure* ours, const char* direction) {
        if (!ours) return;
        const double us = perSecond(ours), a = theirs("edifact", direction), b = theirs("ts_edifact", direction);
        std::printf("%-8s %12s %12s %12s %18s %15s\n", what, rate(us).c_str(), cell(a).c_str(), cell(b).c_str(),
                    ratio(us, b).c_str(), ratio(us, a).c_str());
    };
    row("parse", parse, "parse");
    row("compile", compile, "compile");
    if (compile && theirs("edifact", "compile") <= 0 && theirs("ts_edifact", "compile") <= 0)
        std::printf("Neither package can write EDIFACT, so payfmt's compile stands alone (see %s).\n", peer.script);
    for (const auto& [key, name] : {std::pair{"edifact", "edifact"}, std::pair{"ts_edifact", "ts-edifact"}}) {
        const double seen = report->number(std::string(key) + "_segments").value_or(0);
        if (seen == segments - 1)
            std::printf("%s gives %.0f segments: it reads the separators from UNA but does not report it.\n", name, seen);
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
    peer::compareIso8583(reporter);
    peer::compareBer(reporter);
    peer::compareEdifact(reporter);
    benchmark::Shutdown();
    return 0;
}
