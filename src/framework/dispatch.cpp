#include "framework/dispatch.h"

#include "framework/component_descriptor.h"
#include "framework/error_record.h"
#include "framework/errors.h"

namespace payfmt {

namespace {

constexpr Status kTopBits = 0xC0000000u;
constexpr Status kSeverityBit = 0x40000000u;
constexpr std::string_view kSourceInvoke = "Quorvin.KOR.TIDispatchImpl.Invoke";
constexpr std::string_view kSourceInvokeByName = "Quorvin.KOR.TIDispatchImpl.InvokeByName";

// Codes of the dispatch facility, whatever their severity bits.
bool isDispatchCode(Status code) { return (code & 0x1FFF0000u) == 0x00020000u; }

DispatchOutcome failure(ErrorInfo record, bool withRecord) {
    if (!failed(record.code)) record.code |= kTopBits;
    Status status = record.code | kTopBits;
    if (withRecord) status = isDispatchCode(record.code) ? (record.code & ~kSeverityBit) : KOR_E_EXCEPTION;
    setErrorInfo(record);
    return {status, std::move(record)};
}

bool isMethod(const TAutomationObject& object, std::int32_t dispid) {
    const auto* d = object.ComponentDescriptor();
    const auto* m = d ? d->FindMember(dispid) : nullptr;
    return m && m->Kind() == MemberKind::Method;
}

void route(TAutomationObject& object, std::int32_t dispid, std::uint32_t flags, std::span<Variant> args,
           Variant& value) {
    if (flags == KOR_DISPATCH_PUT) {
        if (args.empty()) throw EDispatchError(KOR_C_PARAMNOTFOUND, std::string(kSourceInvoke), "A property put needs a value");
        const auto indices = args.first(args.size() - 1);
        if (indices.empty()) object.SetProperty(dispid, args.back());
        else object.SetIndexedProperty(dispid, indices, args.back());
        return;
    }
    // With both flags the member's kind decides, as script hosts expect.
    const bool call = (flags & KOR_DISPATCH_METHOD) && (!(flags & KOR_DISPATCH_GET) || isMethod(object, dispid));
    if (call) object.Call(dispid, args, value);
    else if (args.empty()) object.GetProperty(dispid, value);
    else object.GetIndexedProperty(dispid, args, value);
}

}  // namespace

std::optional<std::int32_t> findDispId(const TAutomationObject& object, std::string_view name) {
    const auto* d = object.ComponentDescriptor();
    const auto* m = d ? d->FindMember(name) : nullptr;
    if (!m) return std::nullopt;
    return m->DispId();
}

void checkDispatchFlags(std::uint32_t flags) {
    const bool read = flags != 0 && (flags & ~(KOR_DISPATCH_METHOD | KOR_DISPATCH_GET)) == 0;
    if (!read && flags != KOR_DISPATCH_PUT)
        throwVex(VEX_E_INVALIDARG, std::string(kSourceInvoke), "Invalid dispatch flags " + std::to_string(flags));
}

DispatchOutcome invoke(TAutomationObject& object, std::int32_t dispid, std::uint32_t flags,
                       std::span<Variant> args, Variant* result, bool withRecord) {
    checkDispatchFlags(flags);
    if (result) result->clear();
    Variant value;
    try {
        route(object, dispid, flags, args, value);
    } catch (...) {
        return failure(errorRecordOf(std::current_exception()), withRecord);
    }
    if (result) *result = std::move(value);
    return {};
}

DispatchOutcome invokeByName(TAutomationObject& object, std::string_view name, std::uint32_t flags,
                             std::span<Variant> args, Variant* result, bool withRecord) {
    checkDispatchFlags(flags);
    const auto dispid = findDispId(object, name);
    if (!dispid) {
        if (result) result->clear();
        return failure(EMemberNotFound(object.ClassName(), name, std::string(kSourceInvokeByName)).info(), withRecord);
    }
    return invoke(object, *dispid, flags, args, result, withRecord);
}

}  // namespace payfmt
