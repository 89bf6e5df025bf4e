#pragma once
// What a C host does with components, wrapped for tests: owning handles and
// variants, and dispatch calls that report status, value and exception
// record together. Only the public interface is used.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "api/api_support.h"
#include "payfmt/payfmt.h"

namespace kortest {

struct Var {
    VEXVARIANT v{};
    Var() = default;
    Var(const Var& o) { VEXVarCopy(&v, &o.v); }
    Var(Var&& o) noexcept : v(std::exchange(o.v, VEXVARIANT{})) {}
    Var& operator=(Var o) noexcept {
        std::swap(v, o.v);
        return *this;
    }
    ~Var() { VEXVarClear(&v); }

    static Var text(std::string_view s) {
        Var r;
        VEXVarSetStrA(&r.v, s.data(), static_cast<uint32_t>(s.size()));
        return r;
    }
    static Var integer(int64_t i) {
        Var r;
        VEXVarSetInt(&r.v, i);
        return r;
    }
    static Var boolean(bool b) {
        Var r;
        VEXVarSetBool(&r.v, b);
        return r;
    }
    static Var real(double d) {
        Var r;
        VEXVarSetDouble(&r.v, d);
        return r;
    }
    static Var date(double serial) {
        Var r;
        VEXVarSetDate(&r.v, serial);
        return r;
    }
    static Var missing() {
        Var r;
        VEXVarSetMissing(&r.v);
        return r;
    }
    std::string str() const { return v.type == VEXVT_STRING ? std::string(v.u.s, v.length) : "<" + typeName() + ">"; }
    std::string typeName() const { return VEXVarTypeNameA(&v); }
};
static_assert(sizeof(Var) == sizeof(VEXVARIANT));

struct Outcome {
    uint32_t status = 0;
    Var result;
    uint32_t code = 0;  // of the exception record
    std::string source, description;
    std::vector<Var> args;  // as the call left them (in/out arguments)
};

class Obj {
public:
    explicit Obj(KOROBJ o = nullptr) : o_(o) {}
    Obj(Obj&& other) noexcept : o_(std::exchange(other.o_, nullptr)) {}
    Obj& operator=(Obj&& other) noexcept {
        std::swap(o_, other.o_);
        return *this;
    }
    ~Obj() { KORRelease(o_); }

    static Obj create(const char* name) {
        KOROBJ o = nullptr;
        EXPECT_EQ(KORCreateObjectA(name, nullptr, 0, &o), 0u) << name;
        return Obj(o);
    }
    KOROBJ get() const { return o_; }

    Outcome invoke(int32_t dispid, uint32_t flags, std::vector<Var> args = {}, bool record = true) const {
        Outcome r = run(record, [&](VEXVARIANT* result, KOREXCEPINFO* e) {
            return KORInvoke(o_, dispid, flags, data(args), static_cast<uint32_t>(args.size()), result, e);
        });
        r.args = std::move(args);
        return r;
    }
    Outcome byName(const char* name, uint32_t flags, std::vector<Var> args = {}, bool record = true) const {
        Outcome r = run(record, [&](VEXVARIANT* result, KOREXCEPINFO* e) {
            return KORInvokeByNameA(o_, name, flags, data(args), static_cast<uint32_t>(args.size()), result, e);
        });
        r.args = std::move(args);
        return r;
    }
    Outcome get(const char* name, const std::vector<Var>& indices = {}) const {
        return byName(name, KOR_DISPATCH_METHOD | KOR_DISPATCH_GET, indices);
    }
    Outcome put(const char* name, Var value) const { return byName(name, KOR_DISPATCH_PUT, {std::move(value)}); }
    Outcome call(const char* name, const std::vector<Var>& args) const {
        return byName(name, KOR_DISPATCH_METHOD, args);
    }
    // A property that holds a component, with a reference of its own.
    Obj object(const char* name) const { return held(get(name).result); }
    // The component a variant holds, with a reference of its own; none when
    // the variant holds no component.
    static Obj held(const Var& value) {
        EXPECT_EQ(value.v.type, static_cast<uint32_t>(VEXVT_OBJECT));
        if (value.v.type != VEXVT_OBJECT) return Obj();
        KORAddRef(value.v.u.obj);
        return Obj(value.v.u.obj);
    }

private:
    static VEXVARIANT* data(std::vector<Var>& args) {
        return args.empty() ? nullptr : reinterpret_cast<VEXVARIANT*>(args.data());
    }
    template <class F>
    static Outcome run(bool record, F&& f) {
        Outcome r;
        KOREXCEPINFO e{};
        r.status = f(&r.result.v, record ? &e : nullptr);
        r.code = e.code;
        if (e.source) r.source = e.source;
        if (e.description) r.description = e.description;
        KORExcepInfoClear(&e);
        return r;
    }
    KOROBJ o_;
};

using test::lastRecord;
using test::Record;

}  // namespace kortest
