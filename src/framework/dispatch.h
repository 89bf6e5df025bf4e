#pragma once
// Dispatch by name and by dispid, as hosts reach components: resolves names,
// routes a call by its flags to the component's wrappers, and turns a failure
// into the status a host sees and the error record it can read.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "framework/automation_object.h"
#include "support/error_info.h"

namespace payfmt {

struct DispatchOutcome {
    Status status = 0;
    std::optional<ErrorInfo> error;  // set on failure; also published for the thread
};

// The dispid of the member named name, without regard to case.
std::optional<std::int32_t> findDispId(const TAutomationObject& object, std::string_view name);

// Throws VexError(VEX_E_INVALIDARG) unless flags are METHOD and/or GET, or PUT.
void checkDispatchFlags(std::uint32_t flags);

// Runs one access. A failure gives, with withRecord, the dispatch code
// (0x8002xxxx) of a dispatch failure or KOR_E_EXCEPTION; without, the
// failure's own code with the top two bits set. result, when given, receives
// the value (empty after a put or a failure).
DispatchOutcome invoke(TAutomationObject& object, std::int32_t dispid, std::uint32_t flags,
                       std::span<Variant> args, Variant* result, bool withRecord);
// invoke after findDispId; an unknown name is an unknown member.
DispatchOutcome invokeByName(TAutomationObject& object, std::string_view name, std::uint32_t flags,
                             std::span<Variant> args, Variant* result, bool withRecord);

}  // namespace payfmt
