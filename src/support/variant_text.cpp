#include "support/variant_text.h"

#include <charconv>

#include "support/ascii.h"

namespace payfmt {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t skipBlanks(std::string_view text, std::size_t p) {
    while (p < text.size() && isBlank(text[p])) ++p;
    return p;
}

bool matchWord(std::string_view text, std::size_t p, std::string_view word) {
    if (text.size() - p < word.size()) return false;
    if (!equalsNoCase(text.substr(p, word.size()), word)) return false;
    const std::size_t after = p + word.size();
    return after == text.size() || !isAlnum(text[after]);
}

}  // namespace

ValueRead readValue(std::string_view text, std::size_t pos) {
    ValueRead r;
    std::size_t p = skipBlanks(text, std::min(pos, text.size()));
    r.end = p;
    if (p >= text.size()) {
        r.status = VEX_E_FORMAT;
        return r;
    }
    const char c = text[p];
    if (c == '"') {
        std::string s;
        for (++p;; ++p) {
            if (p >= text.size()) {
                r.status = VEX_E_FORMAT;
                r.end = text.size();
                return r;
            }
            if (text[p] == '"') {
                if (p + 1 < text.size() && text[p + 1] == '"') {
                    s += '"';
                    ++p;
                    continue;
                }
                ++p;
                break;
            }
            s += text[p];
        }
        r.value = Variant::text(s);
    } else if (isDigit(c) || c == '-' || c == '+') {
        std::size_t q = p + 1;
        while (q < text.size() && isDigit(text[q])) ++q;
        bool real = false;
        if (q < text.size() && text[q] == '.' && q + 1 < text.size() && isDigit(text[q + 1])) {
            real = true;
            for (++q; q < text.size() && isDigit(text[q]);) ++q;
        }
        std::string_view num = text.substr(p, q - p);
        if (num.front() == '+') num.remove_prefix(1);
        if (num.empty() || !isDigit(num.back())) {
            r.status = VEX_E_FORMAT;
            return r;
        }
        if (real) {
            double d = 0;
            auto [e, ec] = std::from_chars(num.data(), num.data() + num.size(), d);
            if (ec != std::errc() || e != num.data() + num.size()) {
                r.status = VEX_E_FORMAT;
                return r;
            }
            r.value = Variant::real(d);
        } else {
            std::int64_t i = 0;
            auto [e, ec] = std::from_chars(num.data(), num.data() + num.size(), i);
            if (ec != std::errc() || e != num.data() + num.size()) {
                r.status = VEX_E_FORMAT;
                return r;
            }
            r.value = Variant::integer(i);
        }
        p = q;
    } else if (matchWord(text, p, "true")) {
        r.value = Variant::boolean(true);
        p += 4;
    } else if (matchWord(text, p, "false")) {
        r.value = Variant::boolean(false);
        p += 5;
    } else {
        r.status = VEX_E_FORMAT;
        return r;
    }
    r.end = skipBlanks(text, p);
    return r;
}

std::string writeNotation(const Variant& v) {
    switch (v.type()) {
        case VarType::String:
        case VarType::Blob: {
            std::string s = "\"";
            for (char c : v.bytes()) {
                if (c == '"') s += '"';
                s += c;
            }
            return s + '"';
        }
        case VarType::Bool: return v.boolValue() ? "true" : "false";
        case VarType::Double:
        case VarType::Date: {
            std::string s = *v.toText();
            if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
            return s;
        }
        default: return v.toText().value_or(std::string());
    }
}

}  // namespace payfmt
