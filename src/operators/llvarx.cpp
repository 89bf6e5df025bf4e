#include "operators/llvarx.h"

#include <algorithm>
#include <string>

namespace payfmt {

namespace {

// "fix(n)." and op, the data chain of an output.
std::string fixThen(std::uint32_t n, std::string_view op) {
    std::string chain = "fix(" + std::to_string(n) + ").";
    chain.append(op);
    return chain;
}

// op and ".fix(n).", the data chain of an input.
std::string thenFix(std::string_view op, std::uint32_t n) {
    std::string chain(op);
    chain.append(".fix(").append(std::to_string(n)).append(").");
    return chain;
}

}  // namespace

void TOpLLVarX::apply(BytesView in, Output& out) const {
    if (env_.ctx.isOutput()) write(in, out);
    else read(in, out);
}

void TOpLLVarX::write(BytesView in, Output& out) const {
    // The largest length is also what the prefix can carry: a longer value
    // would be written with a count that reads back as another.
    if (in.size() > shape_.largest)
        env_.stop(kErrTooManyCharacters, {env_.name(), std::to_string(shape_.largest)});
    const auto n = static_cast<std::uint32_t>(in.size());
    const Bytes count{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                      static_cast<char>(n >> 24)};
    Bytes r = runOutput(shape_.outLength, count);
    r += runOutput(fixThen(n, shape_.toRaw), in);
    out.set(std::move(r));
    env_.ctx.consumed = n;
}

void TOpLLVarX::read(BytesView in, Output& out) const {
    const InputRun prefix = runInput(shape_.inLength, in);
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(prefix.out.size(), 4); ++i)
        n |= std::uint32_t{byteAt(prefix.out, i)} << (8 * i);
    if (n > shape_.largest) env_.stop(kErrLengthTooLarge, {env_.name(), std::to_string(shape_.largest)});
    InputRun data = runInput(thenFix(shape_.fromRaw, n), in.substr(prefix.used));
    out.set(std::move(data.out));
    env_.ctx.consumed = prefix.used + data.used;
}

}  // namespace payfmt
