// The exported format functions on typical field chains, as a host calls
// them, beside hand-written conversions with the same contract: IStr text in,
// IStr text out in a new buffer that the caller frees.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "alloc_count.h"
#include "public_api.h"

namespace {

// ---- Hand-written ---------------------------------------------------------

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> fromIStr(const char* text) {
    std::string raw;
    for (const char* p = text; *p; ++p) {
        if (*p != '#') {
            raw += *p;
            continue;
        }
        const int hi = hexDigit(p[1]);
        const int lo = hi < 0 ? -1 : hexDigit(p[2]);
        if (lo < 0) return std::nullopt;
        raw += static_cast<char>(hi * 16 + lo);
        p += 2;
    }
    return raw;
}

std::string toIStr(std::string_view raw) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(raw.size());
    for (char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b <= 0x7E && b != '#') {
            text += c;
        } else {
            text += '#';
            text += kHex[b >> 4];
            text += kHex[b & 0xF];
        }
    }
    return text;
}

// Keeps the last `size` bytes, or pads on the left up to `size`.
std::string padLeft(std::string_view s, char pad, std::size_t size) {
    if (s.size() >= size) return std::string(s.substr(s.size() - size));
    std::string r(size - s.size(), pad);
    r += s;
    return r;
}

// FIX(2).DEC2RAW: two decimal characters to little-endian binary, as few
// bytes as the value needs (a negative value gives its low byte).
std::optional<std::string> fix2Dec2Raw(const char* in) {
    const auto raw = fromIStr(in);
    if (!raw || raw->size() < 2) return std::nullopt;
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(raw->data(), raw->data() + 2, v);
    if (ec != std::errc() || end != raw->data() + 2) return std::nullopt;
    const int width = v < 0x100 ? 1 : v < 0x10000 ? 2 : v < 0x1000000 ? 3 : 4;
    std::string bytes;
    for (int i = 0; i < width; ++i) bytes += static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
    return toIStr(bytes);
}

// RAW2DEC.PADL("0",2): up to four little-endian bytes (four are signed) to
// decimal, padded to two digits.
std::optional<std::string> raw2DecPadl2(const char* in) {
    const auto raw = fromIStr(in);
    if (!raw) return std::nullopt;
    const std::size_t n = std::min<std::size_t>(raw->size(), 4);
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < n; ++i) u |= std::uint32_t{static_cast<unsigned char>((*raw)[i])} << (8 * i);
    const std::int64_t v = n == 4 ? std::int64_t{static_cast<std::int32_t>(u)} : std::int64_t{u};
    return toIStr(padLeft(std::to_string(v), '0', 2));
}

// PADL("0",12)
std::optional<std::string> padl12(const char* in) {
    const auto raw = fromIStr(in);
    if (!raw) return std::nullopt;
    return toIStr(padLeft(*raw, '0', 12));
}

// FIX(12).TRIML("0")
std::optional<std::string> fix12TrimL(const char* in) {
    const auto raw = fromIStr(in);
    if (!raw || raw->size() < 12) return std::nullopt;
    std::string_view field = std::string_view(*raw).substr(0, 12);
    field.remove_prefix(std::min(field.find_first_not_of('0'), field.size()));
    return toIStr(field);
}

// ---- Benchmarks -------------------------------------------------------------

using FormatCall = std::uint32_t (*)(const char*, const char*, VEXBUF*, VEXNODE);
using HandFormat = std::optional<std::string> (*)(const char*);

struct FormatCase {
    const char* name;
    FormatCall call;  // FormatInputA or FormatOutputA
    const char* value;
    const char* format;
    HandFormat hand;
};

const FormatCase kCases[] = {
    {"FormatInput_Fix2Dec2Raw", FormatInputA, "12", "FIX(2).DEC2RAW", fix2Dec2Raw},
    {"FormatInput_Raw2DecPadl", FormatInputA, "#0C", "RAW2DEC.PADL(\"0\",2)", raw2DecPadl2},
    {"FormatInput_Fix12Triml", FormatInputA, "000000001250XYZ", "FIX(12).TRIML(\"0\")", fix12TrimL},
    {"FormatOutput_Fix2Dec2Raw", FormatOutputA, "12", "FIX(2).DEC2RAW", fix2Dec2Raw},
    {"FormatOutput_Raw2DecPadl", FormatOutputA, "#0C", "RAW2DEC.PADL(\"0\",2)", raw2DecPadl2},
    {"FormatOutput_Padl12", FormatOutputA, "1250", "PADL(\"0\",12)", padl12},
};

// Why the case cannot be timed (a status, or results that differ), or
// nothing when the library and the hand-written code agree.
std::optional<std::string> problem(const FormatCase& c) {
    VEXBUF out = nullptr;
    const std::uint32_t status = c.call(c.value, c.format, &out, 0);
    const std::string got = bench::bufText(out);
    VEXBufFree(out);
    if (status != 0) return bench::lastError();
    const auto expected = c.hand(c.value);
    if (!expected) return "the hand-written conversion failed";
    if (got != *expected) return "payfmt gives \"" + got + "\", hand-written \"" + *expected + "\"";
    return std::nullopt;
}

void runPayfmt(benchmark::State& state, const FormatCase& c) {
    if (const auto p = problem(c)) return state.SkipWithError(p->c_str());
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        VEXBUF out = nullptr;
        benchmark::DoNotOptimize(c.call(c.value, c.format, &out, 0));
        VEXBufFree(out);
    }
    bench::reportAllocations(state, before);
}

void runHandWritten(benchmark::State& state, const FormatCase& c) {
    if (const auto p = problem(c)) return state.SkipWithError(p->c_str());
    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        auto out = c.hand(c.value);
        benchmark::DoNotOptimize(out->data());
    }
    bench::reportAllocations(state, before);
}

[[maybe_unused]] const bool registered = [] {
    for (const FormatCase& c : kCases) {
        const std::string name = std::string("BM_") + c.name;
        benchmark::RegisterBenchmark((name + "_Payfmt").c_str(), runPayfmt, c);
        benchmark::RegisterBenchmark((name + "_HandWritten").c_str(), runHandWritten, c);
    }
    return true;
}();

}  // namespace
