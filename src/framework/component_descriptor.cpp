#include "framework/component_descriptor.h"

#include "framework/automation_object.h"
#include "support/ascii.h"

namespace payfmt {

std::string componentNameOf(std::string_view className) {
    const bool prefixed = className.size() > 1 && className[0] == 'T' && className[1] >= 'A' && className[1] <= 'Z';
    return std::string(prefixed ? className.substr(1) : className);
}

TComponentDescriptorAdapter::TComponentDescriptorAdapter(ComponentClass cls)
    : TNamedObjectAdapter(componentNameOf(cls.className)), class_(std::move(cls)) {}

const TMemberDescriptorAdapter* TComponentDescriptorAdapter::FindMember(std::string_view name) const {
    for (const auto& m : members_)
        if (equalsNoCase(m->Name(), name)) return m.get();
    return nullptr;
}

const TMemberDescriptorAdapter* TComponentDescriptorAdapter::FindMember(std::int32_t dispid) const {
    for (const auto& m : members_)
        if (m->DispId() == dispid) return m.get();
    return nullptr;
}

Ref<TAutomationObject> TComponentDescriptorAdapter::CreateInstance(std::span<const Variant> args) const {
    return class_.construct(args);
}

template <class D>
D& TComponentDescriptor::add(std::unique_ptr<D> member) {
    D& added = *member;
    members_.push_back(std::move(member));
    return added;
}

TPropertyDescriptor& TComponentDescriptor::AddProperty(std::int32_t dispid, std::string_view name) {
    return add(std::make_unique<TPropertyDescriptor>(dispid, std::string(name)));
}

TMethodDescriptor& TComponentDescriptor::AddMethod(std::int32_t dispid, std::string_view name) {
    return add(std::make_unique<TMethodDescriptor>(dispid, std::string(name)));
}

TConstantDescriptor& TComponentDescriptor::AddConstant(std::int32_t dispid, std::string_view name, Variant value) {
    return add(std::make_unique<TConstantDescriptor>(dispid, std::string(name), std::move(value)));
}

}  // namespace payfmt
