#pragma once
// Component-info objects: one per component class, built once, holding the
// class's descriptor. Each info subclass adds its class's members in its
// constructor (a subclass of a subclass after its base's), then registers
// the finished descriptor so that hosts can create the class by name.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "framework/automation_object.h"
#include "framework/component_descriptor.h"
#include "framework/errors.h"

namespace payfmt {

class TKORComponentInfo : public TComponentDescriptor {
public:
    TKORComponentInfo(const TKORComponentInfo&) = delete;
    TKORComponentInfo& operator=(const TKORComponentInfo&) = delete;
    // Leaves the object registry.
    ~TKORComponentInfo() override;

    // The names the class can be created by; empty when not registered.
    const std::vector<std::string>& RegisteredNames() const { return registered_; }

protected:
    // classId in the registry form, or empty for none. The help link is
    // helpFile "#" helpTopic when a help file is given.
    TKORComponentInfo(ComponentClass cls, std::string_view classId, std::string_view helpFile = {},
                      std::string_view helpTopic = {}, std::string_view helpText = {});

    // Enters the descriptor in the object registry under the component name
    // and the extra names; a class without an identifier stays unregistered.
    void Register(std::initializer_list<std::string_view> extraNames = {});

private:
    std::vector<std::string> registered_;
};

inline constexpr std::string_view kSourceCreateInstance = "Quorvin.KOR.TComponentDescriptorAdapter.CreateInstance";

// The class C as a ComponentClass; C is made without creation arguments.
template <class C>
ComponentClass componentClass(std::string_view className) {
    return {std::string(className), [](std::span<const Variant> args) -> Ref<TAutomationObject> {
                if (!args.empty()) throw EInvalidParameter::count(std::string(kSourceCreateInstance));
                return newComponent<C>();
            }};
}

}  // namespace payfmt
