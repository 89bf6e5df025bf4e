#pragma once
// The standard checks of a method's arguments: the count first, exactly,
// before anything is read; then each argument's type as it is read. An
// optional argument is present unless it holds the missing value.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/errors.h"
#include "support/variant.h"

namespace payfmt {

class Arguments {
public:
    // Throws EInvalidParameter (count) unless there are exactly expected.
    Arguments(std::span<const Variant> args, std::size_t expected, std::string_view source = kSourceDoCall);

    // Argument index (from 0) converted to the type, or EInvalidParameter
    // (type) naming the 1-based argument number and the given value's type.
    std::int64_t integer(std::size_t index) const;
    // An integer that must lie from lo to hi, else EInvalidParameter
    // (overflow), as when a 32-bit field or a tree handle is meant.
    std::int64_t integerIn(std::size_t index, std::int64_t lo, std::int64_t hi) const;
    // A number, as dates are (a serial date or anything that reads as one).
    double real(std::size_t index) const;
    bool boolean(std::size_t index) const;
    std::string text(std::size_t index) const;

    // Argument index must hold one of the types, as written by a caller;
    // nothing is converted. Otherwise EInvalidParameter (type).
    void require(std::size_t index, std::initializer_list<VarType> types) const;

    std::size_t size() const { return args_.size(); }
    bool present(std::size_t index) const { return !at(index).isMissing(); }
    std::optional<std::string> optionalText(std::size_t index) const;

    const Variant& operator[](std::size_t index) const { return at(index); }

private:
    // A read past the checked count is a count error, never a stray read.
    const Variant& at(std::size_t index) const;
    template <class T>
    T converted(std::size_t index, std::optional<T> value) const;
    std::span<const Variant> args_;
    std::string_view source_;
};

}  // namespace payfmt
