#include "support/variant.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "support/ascii.h"

namespace payfmt {

namespace {

// Payloads are malloc'd because the layout is shared with C hosts, who may
// build variants themselves and release them with VEXVarClear.
void* allocate(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<std::int64_t> parseInt(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

std::optional<double> parseDouble(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

std::string formatDouble(double d) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, ec == std::errc() ? p : buf);
}

bool isNumeric(VarType t) {
    return t == VarType::Int || t == VarType::Bool || t == VarType::Double || t == VarType::Date;
}

}  // namespace

std::string_view typeName(VarType t) {
    switch (t) {
        case VarType::Empty: return "Empty";
        case VarType::Null: return "Null";
        case VarType::Missing: return "Missing";
        case VarType::Int: return "Integer";
        case VarType::Bool: return "Boolean";
        case VarType::Double: return "Double";
        case VarType::Date: return "Date";
        case VarType::String: return "String";
        case VarType::Blob: return "Blob";
        case VarType::Object: return "Object";
        case VarType::Array: return "Array";
    }
    return "Unknown";
}

std::string_view Variant::typeName() const { return payfmt::typeName(type()); }

Variant::Variant(const Variant& o) : v_{} { *this = o; }

Variant& Variant::operator=(const Variant& o) {
    if (this == &o) return *this;
    Variant copy;
    switch (o.type()) {
        case VarType::String:
        case VarType::Blob: copy.setBytes(o.type(), o.bytes()); break;
        case VarType::Object:
            copy.v_ = o.v_;
            if (o.v_.u.obj) fromHandle(o.v_.u.obj)->addRef();
            break;
        case VarType::Array: {
            copy = array(o.v_.length);
            auto src = o.elements();
            auto dst = copy.elements();
            for (std::size_t i = 0; i < src.size(); ++i) dst[i] = src[i];
            break;
        }
        default: copy.v_ = o.v_; break;
    }
    *this = std::move(copy);
    return *this;
}

void Variant::releasePayload() noexcept {
    switch (type()) {
        case VarType::String: std::free(v_.u.s); break;
        case VarType::Blob: std::free(v_.u.p); break;
        case VarType::Object:
            if (v_.u.obj) fromHandle(v_.u.obj)->release();
            break;
        case VarType::Array:
            for (auto& e : elements()) e.clear();
            std::free(v_.u.a);
            break;
        default: break;
    }
}

void Variant::setBytes(VarType t, BytesView bytes) {
    clear();
    if (bytes.size() > 0xFFFFFFFEu) throw std::bad_alloc();
    // Strings keep a NUL after their bytes so hosts can read them as C text.
    auto* p = static_cast<char*>(allocate(bytes.size() + 1));
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    p[bytes.size()] = 0;
    v_.type = static_cast<std::uint32_t>(t);
    v_.length = static_cast<std::uint32_t>(bytes.size());
    if (t == VarType::String) v_.u.s = p;
    else v_.u.p = reinterpret_cast<std::uint8_t*>(p);
}

Variant Variant::integer(std::int64_t v) {
    Variant r;
    r.v_.type = VEXVT_INT;
    r.v_.u.i = v;
    return r;
}

Variant Variant::boolean(bool v) {
    Variant r;
    r.v_.type = VEXVT_BOOL;
    r.v_.u.b = v ? 1 : 0;
    return r;
}

Variant Variant::real(double v) {
    Variant r;
    r.v_.type = VEXVT_DOUBLE;
    r.v_.u.d = v;
    return r;
}

Variant Variant::date(double serial) {
    Variant r;
    r.v_.type = VEXVT_DATE;
    r.v_.u.d = serial;
    return r;
}

Variant Variant::text(std::string_view s) {
    Variant r;
    r.setBytes(VarType::String, s);
    return r;
}

Variant Variant::blob(BytesView bytes) {
    Variant r;
    r.setBytes(VarType::Blob, bytes);
    return r;
}

Variant Variant::missing() {
    Variant r;
    r.v_.type = VEXVT_MISSING;
    return r;
}

Variant Variant::null() {
    Variant r;
    r.v_.type = VEXVT_NULL;
    return r;
}

Variant Variant::array(std::size_t count) {
    if (count > 0x0FFFFFFFu) throw std::bad_alloc();
    Variant r;
    auto* items = static_cast<VEXVARIANT*>(allocate(count * sizeof(VEXVARIANT)));
    std::memset(items, 0, count * sizeof(VEXVARIANT));
    r.v_.type = VEXVT_ARRAY;
    r.v_.length = static_cast<std::uint32_t>(count);
    r.v_.u.a = items;
    return r;
}

Variant Variant::object(RefObject* o) {
    Variant r;
    r.v_.type = VEXVT_OBJECT;
    if (o) o->addRef();
    r.v_.u.obj = toHandle(o);
    return r;
}

BytesView Variant::bytes() const {
    if (is(VarType::String)) return {v_.u.s, v_.length};
    if (is(VarType::Blob)) return {reinterpret_cast<const char*>(v_.u.p), v_.length};
    return {};
}

std::span<Variant> Variant::elements() {
    if (!is(VarType::Array)) return {};
    return fromArray(v_.u.a, v_.length);
}

std::span<const Variant> Variant::elements() const {
    if (!is(VarType::Array)) return {};
    return fromArray(v_.u.a, v_.length);
}

std::optional<std::int64_t> Variant::toInt() const {
    switch (type()) {
        case VarType::Empty: return 0;
        case VarType::Int: return v_.u.i;
        case VarType::Bool: return v_.u.b ? 1 : 0;
        case VarType::Double:
        case VarType::Date: {
            const double d = std::nearbyint(v_.u.d);
            if (!std::isfinite(d) || d < -9.2e18 || d > 9.2e18) return std::nullopt;
            return static_cast<std::int64_t>(d);
        }
        case VarType::String: return parseInt(bytes());
        default: return std::nullopt;
    }
}

std::optional<bool> Variant::toBool() const {
    switch (type()) {
        case VarType::Empty: return false;
        case VarType::Bool: return v_.u.b != 0;
        case VarType::Int: return v_.u.i != 0;
        case VarType::Double:
        case VarType::Date: return v_.u.d != 0;
        case VarType::String: {
            const auto s = trim(bytes());
            if (equalsNoCase(s, "true")) return true;
            if (equalsNoCase(s, "false")) return false;
            if (auto i = parseInt(s)) return *i != 0;
            return std::nullopt;
        }
        default: return std::nullopt;
    }
}

std::optional<double> Variant::toDouble() const {
    switch (type()) {
        case VarType::Empty: return 0.0;
        case VarType::Int: return static_cast<double>(v_.u.i);
        case VarType::Bool: return v_.u.b ? 1.0 : 0.0;
        case VarType::Double:
        case VarType::Date: return v_.u.d;
        case VarType::String: return parseDouble(bytes());
        default: return std::nullopt;
    }
}

std::optional<std::string> Variant::toText() const {
    switch (type()) {
        case VarType::Empty: return std::string();
        case VarType::Int: return std::to_string(v_.u.i);
        case VarType::Bool: return std::string(v_.u.b ? "True" : "False");
        case VarType::Double:
        case VarType::Date: return formatDouble(v_.u.d);
        case VarType::String:
        case VarType::Blob: return std::string(bytes());
        default: return std::nullopt;
    }
}

Status Variant::castTo(VarType t, Variant& out) const {
    Variant r;
    switch (t) {
        case VarType::Empty: break;
        case VarType::Null: r = null(); break;
        case VarType::Missing: r = missing(); break;
        case VarType::Int: {
            auto v = toInt();
            if (!v) return VEX_E_TYPE;
            r = integer(*v);
            break;
        }
        case VarType::Bool: {
            auto v = toBool();
            if (!v) return VEX_E_TYPE;
            r = boolean(*v);
            break;
        }
        case VarType::Double:
        case VarType::Date: {
            auto v = toDouble();
            if (!v) return VEX_E_TYPE;
            r = t == VarType::Date ? date(*v) : real(*v);
            break;
        }
        case VarType::String: {
            auto v = toText();
            if (!v) return VEX_E_TYPE;
            r = text(*v);
            break;
        }
        case VarType::Blob:
            if (!isStr() && !isBlob() && !isEmpty()) return VEX_E_TYPE;
            r = blob(bytes());
            break;
        case VarType::Object:
        case VarType::Array:
            if (type() != t) return VEX_E_TYPE;
            r = *this;
            break;
        default: return VEX_E_INVALIDARG;
    }
    out = std::move(r);
    return VEX_OK;
}

std::optional<int> Variant::compare(const Variant& o) const {
    auto sign = [](auto a, auto b) { return a < b ? -1 : (a > b ? 1 : 0); };
    const VarType a = type(), b = o.type();
    if ((a == VarType::String || a == VarType::Blob) && (b == VarType::String || b == VarType::Blob)) {
        const int c = bytes().compare(o.bytes());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a == VarType::Int && b == VarType::Int) return sign(v_.u.i, o.v_.u.i);
    if (isNumeric(a) && isNumeric(b)) return sign(*toDouble(), *o.toDouble());
    if (isNumeric(a) && b == VarType::String) {
        auto d = o.toDouble();
        if (!d) return std::nullopt;
        return sign(*toDouble(), *d);
    }
    if (a == VarType::String && isNumeric(b)) {
        auto r = o.compare(*this);
        if (!r) return std::nullopt;
        return -*r;
    }
    if (a == b && (a == VarType::Empty || a == VarType::Null || a == VarType::Missing)) return 0;
    if (a == VarType::Object && b == VarType::Object) return sign(v_.u.obj, o.v_.u.obj);
    if (a == VarType::Array && b == VarType::Array) {
        auto x = elements(), y = o.elements();
        for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
            auto c = x[i].compare(y[i]);
            if (!c || *c) return c;
        }
        return sign(x.size(), y.size());
    }
    return std::nullopt;
}

}  // namespace payfmt
