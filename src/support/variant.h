#pragma once
// The tagged value that crosses every boundary: property values, tree
// properties, operator arguments and method arguments. Variant has exactly
// the layout of the public VEXVARIANT, so C arrays of VEXVARIANT can be read
// as spans of Variant without copying.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "payfmt/vex.h"
#include "support/bytes.h"
#include "support/object.h"
#include "support/status.h"

namespace payfmt {

enum class VarType : std::uint32_t {
    Empty = VEXVT_EMPTY,
    Null = VEXVT_NULL,
    Missing = VEXVT_MISSING,
    Int = VEXVT_INT,
    Bool = VEXVT_BOOL,
    Double = VEXVT_DOUBLE,
    Date = VEXVT_DATE,
    String = VEXVT_STRING,
    Blob = VEXVT_BLOB,
    Object = VEXVT_OBJECT,
    Array = VEXVT_ARRAY,
};

class Variant {
public:
    Variant() noexcept : v_{} {}
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept : v_(o.v_) { o.v_ = {}; }
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) {
            clear();
            v_ = o.v_;
            o.v_ = {};
        }
        return *this;
    }
    ~Variant() { clear(); }

    static Variant integer(std::int64_t v);
    static Variant boolean(bool v);
    static Variant real(double v);
    static Variant date(double serial);
    static Variant text(std::string_view s);
    static Variant blob(BytesView bytes);
    static Variant missing();
    static Variant null();
    static Variant array(std::size_t count);
    static Variant object(RefObject* o);  // takes one more reference

    // Values without a payload (most moved-from variants among them) are
    // cleared without a call.
    void clear() noexcept {
        if (v_.type >= VEXVT_STRING) releasePayload();
        v_ = {};
    }

    VarType type() const { return static_cast<VarType>(v_.type); }
    bool is(VarType t) const { return type() == t; }
    bool isEmpty() const { return is(VarType::Empty); }
    bool isMissing() const { return is(VarType::Missing); }
    bool isStr() const { return is(VarType::String); }
    bool isBlob() const { return is(VarType::Blob); }
    bool isInt() const { return is(VarType::Int); }
    std::string_view typeName() const;

    // Direct reads; valid only for the matching type.
    std::int64_t intValue() const { return v_.u.i; }
    bool boolValue() const { return v_.u.b != 0; }
    double doubleValue() const { return v_.u.d; }
    // The bytes of a string or blob (empty for other types).
    BytesView bytes() const;
    RefObject* objectValue() const { return is(VarType::Object) ? fromHandle(v_.u.obj) : nullptr; }
    std::span<Variant> elements();
    std::span<const Variant> elements() const;

    // Conversions that follow VEXVarCast; nullopt where it would fail.
    std::optional<std::int64_t> toInt() const;
    std::optional<bool> toBool() const;
    std::optional<double> toDouble() const;
    std::optional<std::string> toText() const;  // plain text of the value
    Status castTo(VarType t, Variant& out) const;

    // -1, 0, 1; nullopt for values that cannot be compared.
    std::optional<int> compare(const Variant& o) const;
    bool operator==(const Variant& o) const {
        auto c = compare(o);
        return c && *c == 0;
    }

    VEXVARIANT& raw() { return v_; }
    const VEXVARIANT& raw() const { return v_; }
    static Variant& from(VEXVARIANT& v) { return reinterpret_cast<Variant&>(v); }
    static const Variant& from(const VEXVARIANT& v) { return reinterpret_cast<const Variant&>(v); }
    static std::span<const Variant> fromArray(const VEXVARIANT* v, std::size_t n) {
        return {reinterpret_cast<const Variant*>(v), v ? n : 0};
    }
    static std::span<Variant> fromArray(VEXVARIANT* v, std::size_t n) {
        return {reinterpret_cast<Variant*>(v), v ? n : 0};
    }

private:
    void releasePayload() noexcept;
    void setBytes(VarType t, BytesView bytes);
    VEXVARIANT v_;
};

static_assert(sizeof(Variant) == sizeof(VEXVARIANT));

std::string_view typeName(VarType t);

}  // namespace payfmt
