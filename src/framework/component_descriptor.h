#pragma once
// Component descriptors: the component name, class, class identifier, help
// link and member list of one component class, and the way to make an
// instance of it. A host resolves names to dispids through them.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/class_id.h"
#include "framework/member_descriptor.h"
#include "support/object.h"
#include "support/variant.h"

namespace payfmt {

class TAutomationObject;

// A component class: its name and its constructor, which receives the
// creation arguments.
struct ComponentClass {
    std::string className;
    std::function<Ref<TAutomationObject>(std::span<const Variant> args)> construct;
};

// The class name without its leading "T" when an upper-case letter follows:
// "TGlobalSettings" gives "GlobalSettings", "TPFIX" gives "PFIX", and a class
// such as "Tally" keeps its name.
std::string componentNameOf(std::string_view className);

// The read side of a component descriptor.
class TComponentDescriptorAdapter : public TNamedObjectAdapter {
public:
    const std::string& ClassName() const { return class_.className; }
    const ClassId& ClassIdentifier() const { return classId_; }
    // The identifier in the registry form; empty when the class has none.
    const std::string& ClassIdText() const { return classIdText_; }
    const std::string& Description() const { return description_; }
    const std::string& HelpLink() const { return helpLink_; }

    std::size_t MemberCount() const { return members_.size(); }
    const TMemberDescriptorAdapter& Member(std::size_t index) const { return *members_[index]; }
    // Without regard to ASCII case; null when absent.
    const TMemberDescriptorAdapter* FindMember(std::string_view name) const;
    const TMemberDescriptorAdapter* FindMember(std::int32_t dispid) const;

    // A new instance of the class; its only reference goes to the caller.
    Ref<TAutomationObject> CreateInstance(std::span<const Variant> args) const;

protected:
    explicit TComponentDescriptorAdapter(ComponentClass cls);
    ComponentClass class_;
    ClassId classId_;
    std::string classIdText_;
    std::string description_;
    std::string helpLink_;
    std::vector<std::unique_ptr<TMemberDescriptorAdapter>> members_;
};

// A descriptor that its owner fills in.
class TComponentDescriptor : public TComponentDescriptorAdapter {
protected:
    using TComponentDescriptorAdapter::TComponentDescriptorAdapter;

    TPropertyDescriptor& AddProperty(std::int32_t dispid, std::string_view name);
    TMethodDescriptor& AddMethod(std::int32_t dispid, std::string_view name);
    TConstantDescriptor& AddConstant(std::int32_t dispid, std::string_view name, Variant value);

private:
    template <class D>
    D& add(std::unique_ptr<D> member);
};

}  // namespace payfmt
