#include "support/object_registry.h"

#include "support/ascii.h"
#include "support/error_info.h"

namespace payfmt {

ObjectRegistry& ObjectRegistry::instance() {
    static ObjectRegistry registry;
    return registry;
}

const ObjectFactory* ObjectRegistry::find(std::string_view name) const {
    for (const auto& [n, f] : entries_)
        if (equalsNoCase(n, name)) return &f;
    return nullptr;
}

void ObjectRegistry::add(std::string_view name, ObjectFactory factory) {
    for (auto& [n, f] : entries_) {
        if (equalsNoCase(n, name)) {
            f = std::move(factory);
            return;
        }
    }
    entries_.emplace_back(std::string(name), std::move(factory));
}

void ObjectRegistry::remove(std::string_view name) {
    std::erase_if(entries_, [&](const auto& e) { return equalsNoCase(e.first, name); });
}

bool ObjectRegistry::contains(std::string_view name) const { return find(name) != nullptr; }

Ref<RefObject> ObjectRegistry::create(std::string_view name, std::span<const Variant> args) const {
    const ObjectFactory* f = find(name);
    if (!f) throwVex(VEX_E_CLASSNOTREG, "KORCreateObject", "No component is registered as '" + std::string(name) + "'");
    return (*f)(args);
}

std::vector<std::string> ObjectRegistry::names() const {
    std::vector<std::string> r;
    for (const auto& e : entries_) r.push_back(e.first);
    return r;
}

}  // namespace payfmt
