#pragma once
// The exceptions of the component framework. Each carries the error record
// that the boundary publishes, so nothing needs converting on the way out.
#include <cstdint>
#include <string>
#include <string_view>

#include "payfmt/kor.h"
#include "support/error_info.h"

namespace payfmt {

// A framework failure with its error record.
class EKORError : public VexError {
public:
    explicit EKORError(ErrorInfo info) : VexError(std::move(info)) {}
    EKORError(Status code, std::string source, std::string description)
        : VexError(code, std::move(source), std::move(description)) {}
};

// An operation the object does not offer.
class ENotSupported : public EKORError {
public:
    using EKORError::EKORError;
};

// A failure of the dispatch contract itself; its code is a dispatch code
// with the top two bits set (0xC002xxxx).
class EDispatchError : public VexError {
public:
    using VexError::VexError;
};

// No member with that dispid: "Member not found: 'TTVR.99'".
class EMemberNotFound : public EDispatchError {
public:
    EMemberNotFound(std::string_view className, std::int32_t dispid, std::string source);
    // For a name that resolves to nothing.
    EMemberNotFound(std::string_view className, std::string_view name, std::string source);
};

// The wrong number of arguments, or an argument of the wrong type.
class EInvalidParameter : public EDispatchError {
public:
    using EDispatchError::EDispatchError;
    static EInvalidParameter count(std::string source);
    // number is 1-based; the message names the type of the value given.
    static EInvalidParameter type(std::size_t number, std::string_view typeName, std::string source);
    // An integer outside the range the parameter allows.
    static EInvalidParameter overflow(std::size_t number, std::int64_t value, std::string source);
};

// Where the dispatch contract raises its errors.
inline constexpr std::string_view kSourceDoCall = "Quorvin.KOR.TAutomationObject.DoCall";
inline constexpr std::string_view kSourceDoGetProperty = "Quorvin.KOR.TAutomationObject.DoGetProperty";
inline constexpr std::string_view kSourceDoSetProperty = "Quorvin.KOR.TAutomationObject.DoSetProperty";

}  // namespace payfmt
