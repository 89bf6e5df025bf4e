#include "cli_common.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace cli {

std::string take(VEXBUF b) {
    std::string s(reinterpret_cast<const char*>(VEXBufData(b)), VEXBufLen(b));
    VEXBufFree(b);
    return s;
}

std::optional<std::string> property(VEXNODE node, const char* name) {
    Value v;
    if (VEXTreeGetPropA(node, name, &v.v) != 0) return std::nullopt;
    // Texts (reports, names) are shown as they are: their bytes are already
    // in IStr form where it matters. Only raw bytes are written as IStr.
    if (v.v.type == VEXVT_STRING) return std::string(v.v.u.s, v.v.length);
    if (v.v.type == VEXVT_BLOB) {
        VEXVARIANT text{};
        FormatRawToIStrA(&v.v, &text);
        std::string s = text.type == VEXVT_STRING ? std::string(text.u.s, text.length) : std::string();
        VEXVarClear(&text);
        return s;
    }
    VEXBUF t = nullptr;
    VEXVarToTextA(&v.v, VEX_TEXT_PLAIN, &t);
    return take(t);
}


std::optional<std::string> rawProperty(VEXNODE node, const char* name) {
    Value v;
    if (VEXTreeGetPropA(node, name, &v.v) != 0 || v.v.type != VEXVT_BLOB) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(v.v.u.p), v.v.length);
}

namespace {

std::string istrOf(std::string_view raw) {
    VEXBUF buf = nullptr;
    VEXBufCopy(&buf, raw.data(), static_cast<uint32_t>(raw.size()));
    VEXBUF text = nullptr;
    CFormatRawToIStr(buf, &text);
    VEXBufFree(buf);
    return take(text);
}

}  // namespace

bool readFile(std::string_view given, std::string& raw) {
    std::ifstream in(std::string(given.substr(1)), std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "payfmt: cannot read %s\n", std::string(given.substr(1)).c_str());
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    raw = s.str();
    return true;
}

bool readText(std::string_view given, std::string& text) {
    if (!given.empty() && given.front() == '@') return readFile(given, text);
    text = given;
    return true;
}

bool readValue(const Options& o, std::string_view given, std::string& istr) {
    if (!given.empty() && given.front() == '@') {
        if (!readFile(given, istr)) return false;
        istr = istrOf(istr);
        return true;
    }
    if (!o.hex) {
        istr = given;
        return true;
    }
    VEXBUF raw = nullptr;
    uint32_t used = 0;
    const bool ok = VEXHexStrnToRawA(given.data(), static_cast<uint32_t>(given.size()), &raw, &used) == 0 &&
                    used == given.size() && given.size() % 2 == 0;
    if (!ok) {
        VEXBufFree(raw);
        std::fprintf(stderr, "payfmt: not an even number of hexadecimal digits: %s\n", std::string(given).c_str());
        return false;
    }
    istr = istrOf(take(raw));
    return true;
}

std::string shown(const Options& o, const std::string& istr) {
    if (!o.hex) return istr;
    VEXBUF raw = nullptr;
    if (FormatIStrToRawA(istr.c_str(), &raw) != 0) return istr;
    VEXBUF hex = nullptr;
    VEXRawToHexStrnA(VEXBufData(raw), VEXBufLen(raw), &hex);
    VEXBufFree(raw);
    return take(hex);
}

std::string nodeName(VEXNODE node) {
    if (auto name = property(node, "Name")) return *name;
    VEXBUF buf = nullptr;
    VEXTreeGetNodeName(node, &buf);
    return take(buf);
}

std::vector<VEXNODE> childrenOf(VEXNODE node) {
    uint32_t count = 0;
    VEXTreeChildCount(node, &count);
    std::vector<VEXNODE> children;
    for (uint32_t i = 0; i < count; ++i) children.push_back(VEXTreeGetChild(node, i));
    return children;
}

void printReport(VEXNODE node, const std::string& what, int indent) {
    const auto error = property(node, "Error");
    if (!error) return;
    std::string text;
    for (char c : *error) {
        if (c == '\n') text += ' ';
        else if (c != '\r') text += c;
    }
    const auto ec = property(node, "EC");
    const auto offset = property(node, "Offset");
    const uint32_t code = ec ? static_cast<uint32_t>(std::strtoll(ec->c_str(), nullptr, 10)) : 0u;
    std::printf("%*s! %sstatus 0x%08X", indent, "", what.c_str(), code);
    if (offset) std::printf(" at offset %s", offset->c_str());
    std::printf(": %s\n", text.c_str());
}

int report(uint32_t status) {
    if (status == 0) return 0;
    VEXBUF text = nullptr;
    FormatErrorTextA(1, &text);
    std::string messages = take(text);
    for (std::size_t p = 0; (p = messages.find("\r\n", p)) != std::string::npos;) messages.erase(p, 1);
    std::fprintf(stderr, "status 0x%08X\n", status);
    std::fputs(messages.c_str(), stderr);
    return exitCode(status);
}

}  // namespace cli
