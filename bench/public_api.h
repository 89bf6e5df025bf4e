#pragma once
// The public C interface as a host uses it, in small owning pieces, so the
// benchmarks do not depend on the library's internals.
#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "alloc_count.h"
#include "payfmt/payfmt.h"

namespace bench {

// The bench data sits in the source tree beside the examples.
inline constexpr const char* kBenchDir = PAYFMT_EXAMPLES_DIR "/../bench";

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The description of the calling thread's last failure.
inline std::string lastError() {
    KORERRINFO info = nullptr;
    KORGetErrorInfo(&info);
    std::string text = info ? KORErrorInfoDescriptionA(info) : "no error record";
    KORFreeErrorInfo(info);
    return text;
}

inline std::string bufText(VEXBUF buf) {
    return {reinterpret_cast<const char*>(VEXBufData(buf)), VEXBufLen(buf)};
}

// The bytes of a blob or string variant; empty for other values.
inline std::string_view varBytes(const VEXVARIANT& v) {
    if (v.type == VEXVT_BLOB) return {reinterpret_cast<const char*>(v.u.p), v.length};
    if (v.type == VEXVT_STRING) return {v.u.s, v.length};
    return {};
}

// A fixed array of variants, as method arguments are passed.
template <std::size_t N>
struct Vars {
    std::array<VEXVARIANT, N> v{};  // zeroed is empty
    Vars() = default;
    Vars(const Vars&) = delete;
    Vars& operator=(const Vars&) = delete;
    ~Vars() {
        for (VEXVARIANT& x : v) VEXVarClear(&x);
    }
    VEXVARIANT& operator[](std::size_t i) { return v[i]; }
};

// A tree that is deleted with its owner.
class Tree {
public:
    explicit Tree(VEXNODE root = 0) : root_(root) {}
    Tree(Tree&& other) noexcept : root_(std::exchange(other.root_, 0)) {}
    Tree& operator=(Tree other) noexcept {
        std::swap(root_, other.root_);
        return *this;
    }
    ~Tree() {
        if (root_) VEXTreeDeleteNode(root_, -1);
    }
    VEXNODE get() const { return root_; }

    static Tree fromJsonFile(const std::string& path) {
        const std::string json = readFile(path);
        VEXNODE root = 0;
        VEXTreeFromJsonA(json.c_str(), static_cast<uint32_t>(json.size()), &root);
        return Tree(root);
    }

private:
    VEXNODE root_;
};

// A parser opened under a name of its own: a fixed-format one, or one of
// another type over its definitions (which it copies). Parse and Compile are
// resolved to dispids once; call() is what the timed loops run.
class Parser {
public:
    explicit Parser(const char* name, const char* type = "PFIX", VEXNODE definitions = 0) {
        if (KORCreateObjectA(type, nullptr, 0, &obj_) != 0) return;
        Vars<1> value;
        VEXVarSetStrA(&value[0], name, static_cast<uint32_t>(-1));
        if (KORInvokeByNameA(obj_, "Name", KOR_DISPATCH_PUT, &value[0], 1, nullptr, nullptr) != 0) return;
        if (definitions) {
            VEXVarSetInt(&value[0], definitions);
            if (KORInvokeByNameA(obj_, "Definitions", KOR_DISPATCH_PUT, &value[0], 1, nullptr, nullptr) != 0) return;
        }
        if (KORInvokeByNameA(obj_, "Open", KOR_DISPATCH_METHOD, nullptr, 0, nullptr, nullptr) != 0) return;
        KORGetIDsOfNamesA(obj_, "Parse", &parseId);
        KORGetIDsOfNamesA(obj_, "Compile", &compileId);
    }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
    ~Parser() {
        if (!obj_) return;
        KORInvokeByNameA(obj_, "Close", KOR_DISPATCH_METHOD, nullptr, 0, nullptr, nullptr);
        KORRelease(obj_);
    }

    bool ready() const { return parseId >= 0 && compileId >= 0; }

    // Sets a property by name (RecordCount, BitMapBits ...); false when refused.
    bool put(const char* name, VEXVARIANT& value) {
        return obj_ && KORInvokeByNameA(obj_, name, KOR_DISPATCH_PUT, &value, 1, nullptr, nullptr) == 0;
    }

    // Parse or Compile with (message, tree, format): the dispatch status,
    // else the method's own answer; 0 when both are clean.
    std::uint32_t call(std::int32_t dispid, Vars<3>& args) {
        VEXVARIANT result{};
        const std::uint32_t status = KORInvoke(obj_, dispid, KOR_DISPATCH_METHOD, args.v.data(), 3, &result, nullptr);
        const auto answer = result.type == VEXVT_INT ? static_cast<std::uint32_t>(result.u.i) : 0u;
        VEXVarClear(&result);
        return status ? status : answer;
    }

    std::int32_t parseId = -1;
    std::int32_t compileId = -1;

private:
    KOROBJ obj_ = nullptr;
};

// Message, tree handle and an empty format, as Parse and Compile take them.
inline void setCallArgs(Vars<3>& args, std::string_view message, VEXNODE tree) {
    VEXVarSetBlob(&args[0], reinterpret_cast<const std::uint8_t*>(message.data()),
                  static_cast<std::uint32_t>(message.size()));
    VEXVarSetInt(&args[1], tree);
    VEXVarSetStrA(&args[2], "", 0);
}

// A parser, a template tree and a message, parsed once into a copy of the
// template; status is what that parse gave, 0 when clean.
struct Example {
    Example(const char* parserName, const std::string& treePath, const std::string& messagePath)
        : parser(parserName), templ(Tree::fromJsonFile(treePath)), message(readFile(messagePath)) {
        if (!parser.ready() || !templ.get()) return;
        filled = Tree(VEXTreeCopy(templ.get(), -1));
        Vars<3> args;
        setCallArgs(args, message, filled.get());
        status = parser.call(parser.parseId, args);
    }
    Parser parser;
    Tree templ;
    std::string message;
    Tree filled;
    std::uint32_t status = 1;
};

// Times Parse of the example's message into a fresh copy of its template, as
// a host does for each message it receives.
inline void timeParse(benchmark::State& state, Example& ex) {
    Vars<3> args;
    setCallArgs(args, ex.message, 0);
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        const VEXNODE copy = VEXTreeCopy(ex.templ.get(), -1);
        VEXVarSetInt(&args[1], copy);
        benchmark::DoNotOptimize(ex.parser.call(ex.parser.parseId, args));
        VEXTreeDeleteNode(copy, -1);
    }
    reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ex.message.size()));
}

// Times Compile of the example's parsed tree, once checked to give back the
// message it was parsed from.
inline void timeCompile(benchmark::State& state, Example& ex) {
    Vars<3> args;
    setCallArgs(args, "", ex.filled.get());
    if (ex.parser.call(ex.parser.compileId, args) != 0) return state.SkipWithError(lastError().c_str());
    if (args[0].type != VEXVT_BLOB || varBytes(args[0]) != ex.message)
        return state.SkipWithError("compiled message differs");
    // The message argument is in/out: it holds the last message, a blob, so
    // each call answers bytes again, as a host that reuses it sees.
    const std::uint64_t before = allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(ex.parser.call(ex.parser.compileId, args));
    reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ex.message.size()));
}

// A definition-tree parser open over definitions, a sample message, and the
// tree one parse of it gave. Set the parser's properties, then check().
class ParsedSample {
public:
    ParsedSample(const char* parserName, const char* type, const Tree& definitions, std::string sample)
        : parser(parserName, type, definitions.get()), message(std::move(sample)) {}

    // Parses the message once and compiles the tree back: true when both
    // are clean and give the message again; error says why not.
    bool check() {
        if (!parser.ready()) return fail(lastError());
        parsed = Tree(VEXTreeCreateNode("msg", VEX_NODE_GROUP));
        Vars<3> args;
        setCallArgs(args, message, parsed.get());
        if (parser.call(parser.parseId, args) != 0) return fail(lastError());
        setCallArgs(args, "", parsed.get());
        if (parser.call(parser.compileId, args) != 0) return fail(lastError());
        if (args[0].type != VEXVT_BLOB || varBytes(args[0]) != message) return fail("compiled message differs from the sample");
        return true;
    }
    bool fail(std::string why) {
        error = std::move(why);
        return false;
    }
    // The parsed tree's children.
    std::uint32_t parsedCount() const {
        std::uint32_t count = 0;
        VEXTreeChildCount(parsed.get(), &count);
        return count;
    }

    Parser parser;
    std::string message;
    Tree parsed;
    std::string error;
};

// Times Parse of the sample into a fresh tree, as a host does for each
// message it receives.
inline void timeParse(benchmark::State& state, ParsedSample& s) {
    Vars<3> args;
    setCallArgs(args, s.message, 0);
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        const VEXNODE root = VEXTreeCreateNode("msg", VEX_NODE_GROUP);
        VEXVarSetInt(&args[1], root);
        benchmark::DoNotOptimize(s.parser.call(s.parser.parseId, args));
        VEXTreeDeleteNode(root, -1);
    }
    reportAllocations(state, before);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.message.size()));
}

// Times Compile of the parsed tree. The message argument is in/out: it holds
// the last message, a blob, so each call answers bytes again, as a host that
// reuses it sees.
inline void timeCompile(benchmark::State& state, ParsedSample& s) {
    Vars<3> args;
    setCallArgs(args, "", s.parsed.get());
    const std::uint64_t before = allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(s.parser.call(s.parser.compileId, args));
    reportAllocations(state, before);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.message.size()));
}

}  // namespace bench
