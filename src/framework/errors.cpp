#include "framework/errors.h"

namespace payfmt {

namespace {

std::string memberNotFound(std::string_view className, std::string_view member) {
    return "Member not found: '" + std::string(className) + "." + std::string(member) + "'";
}

}  // namespace

EMemberNotFound::EMemberNotFound(std::string_view className, std::int32_t dispid, std::string source)
    : EDispatchError(KOR_C_MEMBERNOTFOUND, std::move(source), memberNotFound(className, std::to_string(dispid))) {}

EMemberNotFound::EMemberNotFound(std::string_view className, std::string_view name, std::string source)
    : EDispatchError(KOR_C_MEMBERNOTFOUND, std::move(source), memberNotFound(className, name)) {}

EInvalidParameter EInvalidParameter::count(std::string source) {
    return EInvalidParameter(KOR_C_BADPARAMCOUNT, std::move(source), "Invalid number of parameters");
}

EInvalidParameter EInvalidParameter::type(std::size_t number, std::string_view typeName, std::string source) {
    return EInvalidParameter(KOR_C_TYPEMISMATCH, std::move(source),
                             "Type mismatch for parameter " + std::to_string(number) + " (" +
                                 std::string(typeName) + ")");
}

EInvalidParameter EInvalidParameter::overflow(std::size_t number, std::int64_t value, std::string source) {
    return EInvalidParameter(KOR_C_OVERFLOW, std::move(source),
                             "Overflow for parameter " + std::to_string(number) + " (" + std::to_string(value) + ")");
}

}  // namespace payfmt
