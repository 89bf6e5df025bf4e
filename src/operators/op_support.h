#pragma once
// What every operator does: read its arguments, report in the operator's
// name, stop or note a problem.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/chain.h"
#include "engine/op_context.h"
#include "engine/parser_core.h"
#include "support/variant.h"

namespace payfmt {

// Status codes the operators share.
constexpr std::uint32_t kErrRequiresParameters = 0xE2060004;
constexpr std::uint32_t kErrInvalidParameter = 0xE2060005;
constexpr std::uint32_t kErrNotOutputOperator = 0xE2060002;
constexpr std::uint32_t kErrNotInputOperator = 0xE2060003;
constexpr std::uint32_t kErrNotYetDefined = 0xE206000D;
constexpr std::uint32_t kErrDataNotDecimal = 0xE2060028;
constexpr std::uint32_t kErrDataNotHex = 0xE2060029;
constexpr std::uint32_t kErrNumberTooLarge = 0xE206002A;
constexpr std::uint32_t kErrLengthNotDecimal = 0xE2060020;
constexpr std::uint32_t kErrLengthNotHex = 0xE2060021;
constexpr std::uint32_t kErrLengthFieldShort = 0xE2060022;
constexpr std::uint32_t kErrLengthTooLarge = 0xE2060023;
constexpr std::uint32_t kErrTooManyCharacters = 0xE2060026;
constexpr std::uint32_t kErrNotMultiple = 0xE2060027;
constexpr std::uint32_t kInfoNotCharacter = 0x62060011;
constexpr std::uint32_t kInfoNoMatch = 0x62060012;
// "expected %s input characters": 0xA2060025 where the operator carries on
// with what it got, 0xA2060030 where it stops.
constexpr std::uint32_t kWarnShortInput = 0xA2060025;
constexpr std::uint32_t kWarnStoppedShortInput = 0xA2060030;

// Consumption by position over escaped text, in which a byte is one
// character or the escape character and two digits: ctx.offsets[n] becomes
// the characters of text behind the first n of the bytes decoded from it.
void mapEscapedText(OpContext& ctx, BytesView text, std::size_t bytes, char escape);

class OpEnv {
public:
    OpEnv(OpContext& ctx, ParserCore& parser, std::string_view location)
        : ctx(ctx), parser(parser), location(location) {}

    OpContext& ctx;
    ParserCore& parser;
    std::string_view location;

    Settings& settings() const { return parser.settings(); }
    const std::string& name() const { return ctx.name; }
    std::size_t argCount() const { return ctx.args.size(); }
    const Variant* arg(std::size_t i) const { return i < ctx.args.size() ? &ctx.args[i] : nullptr; }

    // Records the report and ends the operator.
    [[noreturn]] void stop(std::uint32_t code, std::initializer_list<std::string_view> args) const {
        parser.errors().raise(location, code, args);
    }
    // Records the report; the operator goes on.
    void note(std::uint32_t code, std::initializer_list<std::string_view> args) const {
        parser.errors().record(location, code, args);
    }

    // "%s: requires %s parameters" unless at least n arguments were given.
    void requireArgs(std::size_t n) const;
    // Argument i as an integer; absent gives fallback. Present but not an
    // integer stops with "not a valid parameter, expected integer", the
    // first message argument being what (the operator name by default).
    std::int64_t intArg(std::size_t i, std::int64_t fallback, std::string_view what = {}) const;
    // Argument i as text (not decoded); absent gives fallback.
    std::string textArg(std::size_t i, std::string_view fallback = {}, std::string_view what = {}) const;
    // Argument i as IStr text decoded to bytes.
    Bytes bytesArg(std::size_t i, std::string_view fallback = {}, std::string_view what = {}) const;
    // Argument i as a boolean (an integer counts as true when not 0);
    // absent gives fallback, any other value stops the operator.
    bool boolArg(std::size_t i, bool fallback) const;

    // The row of a table of operator variants that serves this operator's
    // name; a name the table does not list is "operator not found".
    template <class Row>
    const Row& rowFor(std::span<const Row> rows) const {
        for (const Row& r : rows)
            if (r.name == name()) return r;
        stop(kErrOperatorNotFound, {name()});
    }
};

}  // namespace payfmt
