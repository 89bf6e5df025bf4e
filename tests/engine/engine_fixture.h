#pragma once
// Runs chains on a parser over its own settings record, so that every test
// starts with a fresh error context, sequence store and chain cache.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/chain.h"
#include "engine/parser_core.h"
#include "operators/operator_table.h"

namespace payfmt::test {

struct ChainRun {
    Bytes out;
    bool produced = false;
    std::uint32_t consumed = 0;
    std::vector<ErrorEntry> reports;  // without the placeholder
    std::uint32_t status = 0;

    std::vector<std::uint32_t> codes() const {
        std::vector<std::uint32_t> c;
        for (const auto& r : reports) c.push_back(r.code);
        return c;
    }
};

class EngineTest : public ::testing::Test {
public:
    EngineTest() : parser(settings) { registerOperators(); }

    ChainRun finish(const Output& out, const OpContext& ctx) {
        ChainRun r;
        r.produced = out.produced();
        r.out = Bytes(out.view());
        r.consumed = ctx.consumed;
        const auto& es = settings.errors().entries();
        r.reports.assign(es.begin() + 1, es.end());
        r.status = settings.errors().status();
        settings.errors().reset();
        return r;
    }

    ChainRun input(std::string_view format, BytesView in, std::string_view mask = "", bool allowNull = false) {
        OpContext ctx(kDirectionInput);
        Output out;
        ApplyIFO(parser, ctx, format, mask, allowNull, in, out);
        return finish(out, ctx);
    }

    ChainRun output(std::string_view format, BytesView in) {
        OpContext ctx(kDirectionOutput);
        Output out;
        ApplyOFO(parser, ctx, format, in, out);
        return finish(out, ctx);
    }

    Settings settings;
    ParserCore parser;
};

inline Bytes bytesOf(std::initializer_list<int> v) {
    Bytes b;
    for (int x : v) b += static_cast<char>(x);
    return b;
}

}  // namespace payfmt::test
