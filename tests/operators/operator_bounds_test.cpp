// No input makes a framing operator read outside it. Short inputs, random
// but reproducible, each in a heap block of exactly its size so that the
// address sanitizer catches a read one byte past the end.
#include <memory>
#include <random>

#include "engine/engine_fixture.h"
#include "engine/format_error.h"

namespace payfmt {
namespace {

class OperatorBoundsTest : public test::EngineTest {};

// Each operator of the length, tag, nibble, buffer and bit families, with
// the argument forms that change how it reads.
constexpr std::string_view kFormats[] = {
    "LVAR", "LLVAR", "LLLVAR", "LLLLVAR", "LLLLLVAR", "LLLLLLVAR",
    "L2VAR", "LL2VAR", "LLL2VAR", "LLLL2VAR", "LLLLL2VAR", "LLLLLL2VAR",
    "HVAR", "HHVAR", "HHHVAR", "HHHHVAR", "HHHHHVAR", "HHHHHHVAR",
    "H2VAR", "HH2VAR", "HHH2VAR", "HHHH2VAR", "HHHHH2VAR", "HHHHHH2VAR",
    "APMLLVAR", "APMLLLVAR", "BERLEN", "BERLEN(5)", "BERTAG", "IFSFLEN",
    "EDIFACTFLD(\"+\")", "EDIFACTFLD(\"+\",true)", "EDIFACTFLD(\"#0D#0A\",true,\"#0D\")",
    "BBUF", "BBBUF", "DBUF", "DDBUF", "BNIBBLES", "NBUF", "BBNIBBLES", "DNIBBLES", "DDNIBBLES",
    "BIT2RAW", "RAW2BIT", "BBIT", "BBBIT",
};

// Bytes that steer the operators into their less common paths: digits of
// every base, long-form and multi-byte markers, release and terminators.
constexpr std::string_view kTelling = "0123456789abcdefABCDEF-+?'\r\n\x1F\x80\x81\x82\x84\x85\x9F\xFF";

Bytes randomInput(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> length(0, 9);
    std::uniform_int_distribution<int> kind(0, 2), any(0, 255);
    std::uniform_int_distribution<std::size_t> telling(0, kTelling.size() - 1);
    Bytes b(length(rng), '\0');
    for (char& c : b) c = kind(rng) ? kTelling[telling(rng)] : static_cast<char>(any(rng));
    return b;
}

TEST_F(OperatorBoundsTest, ShortInputsStayInsideTheirBytes) {
    std::mt19937 rng(20240613);
    constexpr int kRounds = 2000;
    for (int round = 0; round < kRounds; ++round) {
        const Bytes sample = randomInput(rng);
        // Exactly sized: an empty input is a zero-length block.
        auto block = std::make_unique<char[]>(sample.size());
        std::copy(sample.begin(), sample.end(), block.get());
        const BytesView in(block.get(), sample.size());
        for (const std::string_view format : kFormats) {
            for (const bool outputChain : {false, true}) {
                const auto r = outputChain ? output(format, in) : input(format, in);
                const std::string what = std::string(format) + (outputChain ? " writing " : " reading ") +
                                         ::testing::PrintToString(sample);
                ASSERT_LE(r.consumed, in.size()) << what;
                // A library fault (a bad index, say) would surface as a foreign exception.
                for (const auto& report : r.reports) ASSERT_NE(report.code, kErrForeignException) << what << report.message;
                // An operator that stops at an error leaves nothing behind.
                if (severity(r.status) == kSeverityError) {
                    ASSERT_FALSE(r.produced) << what;
                }
            }
        }
    }
}

}  // namespace
}  // namespace payfmt
