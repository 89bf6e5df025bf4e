#include "framework/arguments.h"

namespace payfmt {

Arguments::Arguments(std::span<const Variant> args, std::size_t expected, std::string_view source)
    : args_(args), source_(source) {
    if (args.size() != expected) throw EInvalidParameter::count(std::string(source));
}

const Variant& Arguments::at(std::size_t index) const {
    if (index >= args_.size()) throw EInvalidParameter::count(std::string(source_));
    return args_[index];
}

template <class T>
T Arguments::converted(std::size_t index, std::optional<T> value) const {
    if (!value) throw EInvalidParameter::type(index + 1, at(index).typeName(), std::string(source_));
    return *std::move(value);
}

void Arguments::require(std::size_t index, std::initializer_list<VarType> types) const {
    const Variant& v = at(index);
    for (VarType t : types)
        if (v.is(t)) return;
    throw EInvalidParameter::type(index + 1, v.typeName(), std::string(source_));
}

std::int64_t Arguments::integer(std::size_t index) const { return converted(index, at(index).toInt()); }

std::int64_t Arguments::integerIn(std::size_t index, std::int64_t lo, std::int64_t hi) const {
    const std::int64_t value = integer(index);
    if (value < lo || value > hi) throw EInvalidParameter::overflow(index + 1, value, std::string(source_));
    return value;
}

double Arguments::real(std::size_t index) const { return converted(index, at(index).toDouble()); }

bool Arguments::boolean(std::size_t index) const { return converted(index, at(index).toBool()); }

std::string Arguments::text(std::size_t index) const { return converted(index, at(index).toText()); }

std::optional<std::string> Arguments::optionalText(std::size_t index) const {
    if (!present(index)) return std::nullopt;
    return text(index);
}

}  // namespace payfmt
