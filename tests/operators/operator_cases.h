#pragma once
// Table-driven operator checks: each case runs one format over one input
// and states the output, the status and (in input chains) the bytes used.
#include <string>

#include "engine/engine_fixture.h"

namespace payfmt::test {

class OperatorCaseTest : public EngineTest {
protected:
    struct Case {
        std::string format;
        Bytes in;
        Bytes out;
        std::uint32_t status;
        std::uint32_t consumed;
    };

    ChainRun run(std::string_view format, BytesView in, bool outputChain) {
        return outputChain ? output(format, in) : input(format, in);
    }

    // A stopped operator leaves no output; otherwise out is checked exactly.
    void check(std::initializer_list<Case> cases, bool outputChain = false) {
        for (const auto& c : cases) {
            const auto r = run(c.format, c.in, outputChain);
            const std::string what = c.format + " on " + ::testing::PrintToString(c.in);
            EXPECT_EQ(r.status, c.status) << what;
            if ((c.status >> 30) != 3) {
                EXPECT_EQ(r.out, c.out) << what;
            }
            if (!outputChain) {
                EXPECT_EQ(r.consumed, c.consumed) << what;
            }
        }
    }

    // The last report of a run, as "location: message".
    std::string lastReport(std::string_view format, BytesView in, bool outputChain = false) {
        const auto r = run(format, in, outputChain);
        if (r.reports.empty()) return "(none)";
        return r.reports.back().location + ": " + r.reports.back().message;
    }
};

inline Bytes repeated(std::size_t n, char c = 'A') { return Bytes(n, c); }

}  // namespace payfmt::test
