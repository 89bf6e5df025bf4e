#pragma once
// The dispatch contract every component implements: properties, indexed
// properties and methods reached by dispid, with variant values.
//
// The public wrappers (Call, GetProperty, ...) are what callers use; the
// protected Do... functions are what a component overrides, each handling its
// own dispids and passing any other to its base. At the bottom an unknown
// dispid raises EMemberNotFound.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "framework/cloneable_object.h"
#include "support/variant.h"

namespace payfmt {

class TComponentDescriptorAdapter;

class TAutomationObject : public TCloneableObject {
public:
    TAutomationObject();
    ~TAutomationObject() override;

    bool isComponent() const noexcept override { return true; }

    // The class name, as error messages show it ("TTVR").
    virtual std::string_view ClassName() const = 0;

    // The description of this component's class; null when it has none.
    virtual const TComponentDescriptorAdapter* ComponentDescriptor() const;
    // Tell the object monitors that this object now exists / goes away.
    virtual void NotifyCreated();
    virtual void NotifyDestroyed() noexcept;

    // The result starts as the integer 0 for methods without a value.
    // A method may write new values back into in/out arguments.
    void Call(std::int32_t dispid, std::span<Variant> params, Variant& result);
    void GetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value);
    void GetProperty(std::int32_t dispid, Variant& value);
    void SetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, const Variant& value);
    void SetProperty(std::int32_t dispid, const Variant& value);

    // Components alive in the process.
    static std::size_t LiveCount();

protected:
    virtual void DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result);
    // By default: the element of the whole property's array (arrays nest, one
    // index per level, each from 0).
    virtual void DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value);
    // Answers the constants of the descriptor; anything else is not found.
    virtual void DoGetProperty(std::int32_t dispid, Variant& value);
    // By default: reads the whole array, changes the element and writes the
    // whole array back through DoSetProperty.
    virtual void DoSetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, const Variant& value);
    virtual void DoSetProperty(std::int32_t dispid, const Variant& value);

    void destroy() noexcept override;

private:
    Variant& element(Variant& whole, std::int32_t dispid, std::span<const Variant> indices,
                     std::string_view source) const;
    std::atomic<int> destroying_{0};  // raised while the destroy notification runs
};

// Makes a component and tells the monitors about it; every creation path
// (by name, by class, by cloning) goes through here.
template <class C, class... Args>
Ref<C> newComponent(Args&&... args) {
    Ref<C> made = makeRef<C>(std::forward<Args>(args)...);
    made->NotifyCreated();
    return made;
}

}  // namespace payfmt
