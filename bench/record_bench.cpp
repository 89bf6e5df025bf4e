// A 25-field authorisation record (auth_record.json, auth_record.msg) parsed
// and compiled by the library through its C interface, and by hand-written
// code that does the same job: split the fields, check their characters,
// keep each field's bytes.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "alloc_count.h"
#include "public_api.h"

namespace {

using bench::Vars;

// ---- Hand-written ---------------------------------------------------------

enum class Chars { Digits, Alnum, Text, Track2 };  // N, AN, ANS, [0-9=]

struct FieldDef {
    std::string_view name;
    std::size_t prefix;  // digits of the length prefix, 0 for a fixed field
    std::size_t min, max;
    Chars chars;
};

// Mirrors auth_record.json.
constexpr std::array<FieldDef, 25> kAuthFields{{
    {"MessageType", 0, 4, 4, Chars::Digits},
    {"Pan", 2, 12, 19, Chars::Digits},
    {"ProcessingCode", 0, 6, 6, Chars::Digits},
    {"Amount", 0, 12, 12, Chars::Digits},
    {"TransmissionDateTime", 0, 10, 10, Chars::Digits},
    {"Stan", 0, 6, 6, Chars::Digits},
    {"LocalTime", 0, 6, 6, Chars::Digits},
    {"LocalDate", 0, 4, 4, Chars::Digits},
    {"Expiry", 0, 4, 4, Chars::Digits},
    {"SettlementDate", 0, 4, 4, Chars::Digits},
    {"MerchantCategory", 0, 4, 4, Chars::Digits},
    {"AcquirerCountry", 0, 3, 3, Chars::Digits},
    {"PosEntryMode", 0, 3, 3, Chars::Digits},
    {"CardSequence", 0, 3, 3, Chars::Digits},
    {"PosCondition", 0, 2, 2, Chars::Digits},
    {"AcquirerId", 2, 1, 11, Chars::Digits},
    {"ForwardingId", 2, 1, 11, Chars::Digits},
    {"Track2", 2, 1, 37, Chars::Track2},
    {"RetrievalRef", 0, 12, 12, Chars::Alnum},
    {"TerminalId", 0, 8, 8, Chars::Text},
    {"MerchantId", 0, 15, 15, Chars::Text},
    {"MerchantNameLocation", 0, 40, 40, Chars::Text},
    {"AdditionalData", 3, 1, 999, Chars::Text},
    {"Currency", 0, 3, 3, Chars::Digits},
    {"PosDataCode", 0, 12, 12, Chars::Alnum},
}};

struct Field {
    std::string_view name;
    std::string value;
};
using Record = std::vector<Field>;

enum class RecordError { None, Short, BadLength, BadChar, Trailing };

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool allowed(Chars chars, char c) {
    switch (chars) {
        case Chars::Digits: return isDigit(c);
        case Chars::Alnum: return isDigit(c) || isLetter(c);
        case Chars::Text: return c >= 0x20 && c <= 0x7E;
        case Chars::Track2: return isDigit(c) || c == '=';
    }
    return false;
}

RecordError parseRecord(std::string_view msg, Record& out) {
    out.reserve(kAuthFields.size());
    std::size_t pos = 0;
    for (const FieldDef& f : kAuthFields) {
        std::size_t size = f.max;
        if (f.prefix) {
            if (msg.size() - pos < f.prefix) return RecordError::Short;
            size = 0;
            for (std::size_t i = 0; i < f.prefix; ++i, ++pos) {
                if (!isDigit(msg[pos])) return RecordError::BadLength;
                size = size * 10 + static_cast<std::size_t>(msg[pos] - '0');
            }
            if (size < f.min || size > f.max) return RecordError::BadLength;
        }
        if (msg.size() - pos < size) return RecordError::Short;
        const std::string_view value = msg.substr(pos, size);
        for (char c : value)
            if (!allowed(f.chars, c)) return RecordError::BadChar;
        out.push_back({f.name, std::string(value)});
        pos += size;
    }
    return pos == msg.size() ? RecordError::None : RecordError::Trailing;
}

RecordError compileRecord(const Record& record, std::string& out) {
    if (record.size() != kAuthFields.size()) return RecordError::Short;
    std::size_t size = 0;
    for (std::size_t i = 0; i < record.size(); ++i) size += kAuthFields[i].prefix + record[i].value.size();
    out.reserve(size);
    for (std::size_t i = 0; i < record.size(); ++i) {
        const FieldDef& f = kAuthFields[i];
        const std::string& value = record[i].value;
        if (f.prefix) {
            std::array<char, 3> digits{};
            std::size_t n = value.size();
            for (std::size_t d = f.prefix; d-- > 0; n /= 10) digits[d] = static_cast<char>('0' + n % 10);
            if (n) return RecordError::BadLength;  // does not fit the prefix
            out.append(digits.data(), f.prefix);
        }
        out += value;
    }
    return RecordError::None;
}

// ---- Through the library ---------------------------------------------------

const std::string kAuthJson = std::string(bench::kBenchDir) + "/auth_record.json";
const std::string kAuthMsg = std::string(bench::kBenchDir) + "/auth_record.msg";

std::string nodeName(VEXNODE node) {
    VEXBUF name = nullptr;
    VEXTreeGetNodeName(node, &name);
    std::string s = bench::bufText(name);
    VEXBufFree(name);
    return s;
}

std::string nodeValue(VEXNODE node) {
    VEXVARIANT v{};
    VEXTreeGetPropA(node, "Value", &v);
    std::string s(bench::varBytes(v));
    VEXVarClear(&v);
    return s;
}

// Whether a parsed tree holds the fields of the hand-written record, in order.
bool treeHolds(VEXNODE root, const Record& expected) {
    VEXNODE n = VEXTreeGetChild(root, 0);
    for (const Field& f : expected) {
        if (!n || nodeName(n) != f.name || nodeValue(n) != f.value) return false;
        n = VEXTreeGetNextSibling(n);
    }
    return n == 0;
}

// ---- Benchmarks -------------------------------------------------------------

void BM_RecordParse_Payfmt(benchmark::State& state) {
    bench::Example ex("bench-auth", kAuthJson, kAuthMsg);
    if (ex.status != 0) return state.SkipWithError(bench::lastError().c_str());
    Record expected;
    if (parseRecord(ex.message, expected) != RecordError::None || !treeHolds(ex.filled.get(), expected))
        return state.SkipWithError("values differ from hand-written");
    bench::timeParse(state, ex);
}
BENCHMARK(BM_RecordParse_Payfmt);

void BM_RecordParse_HandWritten(benchmark::State& state) {
    const std::string message = bench::readFile(kAuthMsg);
    Record check;
    if (parseRecord(message, check) != RecordError::None) return state.SkipWithError("hand-written parse failed");

    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        Record record;
        benchmark::DoNotOptimize(parseRecord(message, record));
        benchmark::DoNotOptimize(record.data());
    }
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * message.size()));
}
BENCHMARK(BM_RecordParse_HandWritten);

void BM_RecordCompile_Payfmt(benchmark::State& state) {
    bench::Example ex("bench-auth", kAuthJson, kAuthMsg);
    if (ex.status != 0) return state.SkipWithError(bench::lastError().c_str());
    bench::timeCompile(state, ex);
}
BENCHMARK(BM_RecordCompile_Payfmt);

void BM_RecordCompile_HandWritten(benchmark::State& state) {
    const std::string message = bench::readFile(kAuthMsg);
    Record record;
    std::string check;
    if (parseRecord(message, record) != RecordError::None || compileRecord(record, check) != RecordError::None ||
        check != message)
        return state.SkipWithError("hand-written compile differs");

    const std::uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        std::string out;
        benchmark::DoNotOptimize(compileRecord(record, out));
        benchmark::DoNotOptimize(out.data());
    }
    bench::reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * message.size()));
}
BENCHMARK(BM_RecordCompile_HandWritten);

}  // namespace
