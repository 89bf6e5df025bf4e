#pragma once
// The object registry: component classes registered under one or more names
// (component names and extra programmatic names), created by name with an
// argument list. Names compare without regard to ASCII case.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/object.h"
#include "support/variant.h"

namespace payfmt {

using ObjectFactory = std::function<Ref<RefObject>(std::span<const Variant> args)>;

class ObjectRegistry {
public:
    static ObjectRegistry& instance();

    // Registers (or replaces) the factory under the name.
    void add(std::string_view name, ObjectFactory factory);
    void remove(std::string_view name);
    bool contains(std::string_view name) const;
    // Creates an object; throws VexError(VEX_E_CLASSNOTREG) for an unknown name.
    Ref<RefObject> create(std::string_view name, std::span<const Variant> args) const;
    std::vector<std::string> names() const;

private:
    ObjectRegistry() = default;
    const ObjectFactory* find(std::string_view name) const;
    std::vector<std::pair<std::string, ObjectFactory>> entries_;
};

}  // namespace payfmt
