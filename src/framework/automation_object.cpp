#include "framework/automation_object.h"

#include "framework/arguments.h"
#include "framework/component_descriptor.h"
#include "framework/errors.h"
#include "framework/object_monitor.h"

namespace payfmt {

namespace {

std::atomic<std::size_t> liveObjects{0};

constexpr std::string_view kSourceGetIndexed = "Quorvin.KOR.TAutomationObject.DoGetIndexedProperty";
constexpr std::string_view kSourceSetIndexed = "Quorvin.KOR.TAutomationObject.DoSetIndexedProperty";

}  // namespace

TAutomationObject::TAutomationObject() { liveObjects.fetch_add(1, std::memory_order_relaxed); }

TAutomationObject::~TAutomationObject() { liveObjects.fetch_sub(1, std::memory_order_relaxed); }

std::size_t TAutomationObject::LiveCount() { return liveObjects.load(std::memory_order_relaxed); }

const TComponentDescriptorAdapter* TAutomationObject::ComponentDescriptor() const { return nullptr; }

void TAutomationObject::NotifyCreated() { ObjectMonitors::instance().created(*this); }

void TAutomationObject::NotifyDestroyed() noexcept {
    try {
        ObjectMonitors::instance().destroyed(*this);
    } catch (...) {
        // A failing monitor must not keep the object from going.
    }
}

void TAutomationObject::destroy() noexcept {
    // A monitor that takes and drops a reference during the notification
    // brings the count to zero a second time: the destroy already running
    // deletes the object, so the nested one does nothing.
    if (destroying_.fetch_add(1, std::memory_order_acq_rel) != 0) {
        destroying_.fetch_sub(1, std::memory_order_acq_rel);
        return;
    }
    NotifyDestroyed();
    destroying_.fetch_sub(1, std::memory_order_acq_rel);
    // A monitor that kept a reference keeps the object; its last release
    // destroys it then.
    if (refCount() == 0) delete this;
}

void TAutomationObject::Call(std::int32_t dispid, std::span<Variant> params, Variant& result) {
    result = Variant::integer(0);
    DoCall(dispid, params, result);
}

void TAutomationObject::GetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) {
    DoGetIndexedProperty(dispid, indices, value);
}

void TAutomationObject::GetProperty(std::int32_t dispid, Variant& value) { DoGetProperty(dispid, value); }

void TAutomationObject::SetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices,
                                           const Variant& value) {
    DoSetIndexedProperty(dispid, indices, value);
}

void TAutomationObject::SetProperty(std::int32_t dispid, const Variant& value) { DoSetProperty(dispid, value); }

void TAutomationObject::DoCall(std::int32_t dispid, std::span<Variant>, Variant&) {
    throw EMemberNotFound(ClassName(), dispid, std::string(kSourceDoCall));
}

void TAutomationObject::DoGetProperty(std::int32_t dispid, Variant& value) {
    if (const auto* d = ComponentDescriptor()) {
        if (const auto* c = dynamic_cast<const TConstantDescriptor*>(d->FindMember(dispid))) {
            value = c->Value();
            return;
        }
    }
    throw EMemberNotFound(ClassName(), dispid, std::string(kSourceDoGetProperty));
}

void TAutomationObject::DoSetProperty(std::int32_t dispid, const Variant&) {
    throw EMemberNotFound(ClassName(), dispid, std::string(kSourceDoSetProperty));
}

Variant& TAutomationObject::element(Variant& whole, std::int32_t dispid, std::span<const Variant> indices,
                                    std::string_view source) const {
    const Arguments index(indices, indices.size(), source);
    Variant* at = &whole;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (!at->is(VarType::Array)) {
            throw EDispatchError(KOR_C_TYPEMISMATCH, std::string(source),
                                 "Member '" + std::string(ClassName()) + "." + std::to_string(dispid) +
                                     "' has no element at level " + std::to_string(i + 1));
        }
        const std::int64_t n = index.integer(i);
        const auto items = at->elements();
        if (n < 0 || static_cast<std::uint64_t>(n) >= items.size()) {
            throw EDispatchError(KOR_C_BADINDEX, std::string(source),
                                 "Index " + std::to_string(n) + " out of range 0.." +
                                     std::to_string(static_cast<std::int64_t>(items.size()) - 1));
        }
        at = &items[static_cast<std::size_t>(n)];
    }
    return *at;
}

void TAutomationObject::DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) {
    Variant whole;
    DoGetProperty(dispid, whole);
    value = Variant(element(whole, dispid, indices, kSourceGetIndexed));
}

void TAutomationObject::DoSetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices,
                                             const Variant& value) {
    Variant whole;
    DoGetProperty(dispid, whole);
    element(whole, dispid, indices, kSourceSetIndexed) = value;
    DoSetProperty(dispid, whole);
}

}  // namespace payfmt
