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

    static Var text(std::string_view s) { return made(VEXVarSetStrA, s.data(), static_cast<uint32_t>(s.size())); }
    static Var blob(std::string_view b) {
        return made(VEXVarSetBlob, reinterpret_cast<const uint8_t*>(b.data()), static_cast<uint32_t>(b.size()));
    }
    static Var integer(int64_t i) { return made(VEXVarSetInt, i); }
    static Var boolean(bool b) { return made(VEXVarSetBool, b); }
    static Var real(double d) { return made(VEXVarSetDouble, d); }
    static Var date(double serial) { return made(VEXVarSetDate, serial); }
    static Var missing() { return made(VEXVarSetMissing); }
    std::string str() const { return v.type == VEXVT_STRING ? std::string(v.u.s, v.length) : "<" + typeName() + ">"; }
    std::string typeName() const { return VEXVarTypeNameA(&v); }

private:
    template <class Set, class... Args>
    static Var made(Set set, Args... args) {
        Var r;
        set(&r.v, args...);
        return r;
    }
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

// One member as KORGetMemberInfoA describes it.
struct MemberRow {
    const char* name;
    int32_t dispid;
    uint32_t kind;
    const char* description;
    const char* help;
    uint32_t attributes;
};

// The component describes exactly these members, in this order; with last,
// its last members are these (those a class adds to its base's).
inline void expectMembers(const Obj& component, const std::vector<MemberRow>& rows, bool last = false) {
    KORCOMPONENTINFO info{};
    ASSERT_EQ(KORGetComponentInfoA(component.get(), &info), 0u);
    if (last) ASSERT_GE(info.member_count, rows.size()) << info.name;
    else ASSERT_EQ(info.member_count, rows.size()) << info.name;
    const uint32_t first = info.member_count - static_cast<uint32_t>(rows.size());
    for (uint32_t i = 0; i < rows.size(); ++i) {
        const MemberRow& row = rows[i];
        KORMEMBERINFO m{};
        ASSERT_EQ(KORGetMemberInfoA(component.get(), first + i, &m), 0u);
        EXPECT_STREQ(m.name, row.name) << info.name;
        EXPECT_EQ(m.dispid, row.dispid) << row.name;
        EXPECT_EQ(m.kind, row.kind) << row.name;
        EXPECT_STREQ(m.description, row.description) << row.name;
        EXPECT_STREQ(m.help_link, row.help) << row.name;
        EXPECT_EQ(m.attributes, row.attributes) << row.name;
    }
}

using test::lastRecord;
using test::Record;

}  // namespace kortest
