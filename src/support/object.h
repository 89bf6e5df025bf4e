#pragma once
// Reference-counted objects that variants, registries and hosts can hold.
// Components derive from RefObject; a KOROBJ handle is a RefObject pointer.
#include <atomic>
#include <utility>

#include "payfmt/vex.h"

namespace payfmt {

class RefObject {
public:
    RefObject() = default;
    RefObject(const RefObject&) = delete;
    RefObject& operator=(const RefObject&) = delete;
    virtual ~RefObject() = default;

    // Both answer the new count.
    int addRef() noexcept { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    // Destroys the object when the last reference goes.
    int release() noexcept {
        const int left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) destroy();
        return left;
    }
    int refCount() const noexcept { return refs_.load(std::memory_order_relaxed); }
    // Components answer true; every call through the C interface asks, so
    // it is a plain virtual call rather than a cast that compares types.
    virtual bool isComponent() const noexcept { return false; }

protected:
    // Runs once the count reaches zero; subclasses may notify before going.
    virtual void destroy() noexcept { delete this; }

private:
    std::atomic<int> refs_{1};  // the creator holds the first reference
};

// Owning smart pointer over a RefObject (intrusive count).
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Takes over a reference the caller already owns.
    static Ref adopt(T* p) {
        Ref r;
        r.p_ = p;
        return r;
    }
    // Takes one more reference.
    static Ref share(T* p) {
        if (p) p->addRef();
        return adopt(p);
    }
    Ref(const Ref& o) : p_(o.p_) {
        if (p_) p_->addRef();
    }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    Ref(Ref<U>&& o) noexcept : p_(o.detach()) {}
    template <class U>
    Ref(const Ref<U>& o) : p_(o.get()) {
        if (p_) p_->addRef();
    }
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() {
        if (p_) p_->release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Gives up the reference without releasing it.
    T* detach() { return std::exchange(p_, nullptr); }

private:
    T* p_ = nullptr;
};

template <class T, class... Args>
Ref<T> makeRef(Args&&... args) {
    return Ref<T>::adopt(new T(std::forward<Args>(args)...));
}

inline KOROBJ toHandle(RefObject* o) { return reinterpret_cast<KOROBJ>(o); }
inline RefObject* fromHandle(KOROBJ h) { return reinterpret_cast<RefObject*>(h); }

}  // namespace payfmt
