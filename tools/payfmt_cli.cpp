// payfmt: apply, validate and check formats of the operator language from the
// command line, over the library's public C interface.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "payfmt/payfmt.h"

namespace {

constexpr const char* kHelp = R"(usage: payfmt [--hex] input FORMAT VALUE
       payfmt [--hex] output FORMAT VALUE
       payfmt [--hex] validate FORMAT MASK VALUE
       payfmt check FORMAT

Applies a format of the operator language to one field value.

  input     runs FORMAT as an input chain: VALUE is raw message data, the
            result is the field read out of it
  output    runs FORMAT as an output chain: VALUE is the field value, the
            result is the field as it is written into a message
  validate  runs FORMAT as an input chain and checks the result with MASK
  check     checks the syntax of FORMAT without running it

Values and results are IStr text: printable ASCII stands for itself, any
other byte (and "#" itself) is "#" and two hexadecimal digits, e.g. AB#00#0D.
With --hex, VALUE and the result are hexadecimal digits instead.

A format is a chain of operators joined by ".", each with optional arguments
in parentheses: decimal integers and double-quoted strings (byte strings in
arguments are IStr text, e.g. "#00"). Names ignore case.

  FIX(n)              the first n bytes          PADL("0",n) / PADR(" ",n)
  DEC2RAW / RAW2DEC   decimal <-> little-endian binary
  HEX2RAW / RAW2HEX   hexadecimal <-> bytes      BASE642RAW / RAW2BASE64
  INT2STR / STR2INT   binary integer <-> text    INVERSE   reverse bytes
  TRIM, LEAVE, SKIP, PREPEND, CHARSEP, STRSEP, IND2STR, STR2IND, CONV, ...

A mask checks what an input chain produced: terms of character classes and
counts joined by "+" (N2 two digits, A1-12 one to twelve letters, H4, [0-9 ]3),
or a validation format such as INSET("A","B").

examples:
  payfmt input 'FIX(2).DEC2RAW' 12          ->  #0C
  payfmt output 'RAW2DEC.PADL("0",4)' '#0C'  ->  0012
  payfmt --hex input 'HEX2DEC' 31323334     ->  34363630
  payfmt validate 'FIX(2)' N2 1X            ->  (62060011) 'X' is not a N2 character
  payfmt check 'FIX(2'                      ->  (E206002D) FIX: invalid character ...

On a report the status is printed in hexadecimal with every message; the exit
status is 1 for an error (status 0xE...), 0 otherwise, 2 for bad usage.
)";

std::string bufText(VEXBUF b) {
    std::string s(reinterpret_cast<const char*>(VEXBufData(b)), VEXBufLen(b));
    VEXBufFree(b);
    return s;
}

bool hexToIStr(std::string_view hex, std::string& istr) {
    VEXBUF raw = nullptr;
    uint32_t used = 0;
    if (VEXHexStrnToRawA(hex.data(), static_cast<uint32_t>(hex.size()), &raw, &used) || used != hex.size() ||
        hex.size() % 2) {
        VEXBufFree(raw);
        return false;
    }
    VEXBUF text = nullptr;
    CFormatRawToIStr(raw, &text);
    VEXBufFree(raw);
    istr = bufText(text);
    return true;
}

std::string istrToHex(const std::string& istr) {
    VEXBUF raw = nullptr;
    if (FormatIStrToRawA(istr.c_str(), &raw) != 0) return istr;
    VEXBUF hex = nullptr;
    VEXRawToHexStrnA(VEXBufData(raw), VEXBufLen(raw), &hex);
    VEXBufFree(raw);
    return bufText(hex);
}

// Prints the status and every message of the call; the exit code follows
// the severity.
int report(uint32_t status) {
    if (status == 0) return 0;
    VEXBUF text = nullptr;
    FormatErrorTextA(1, &text);
    std::string messages = bufText(text);
    std::fprintf(stderr, "status 0x%08X\n", status);
    for (std::size_t p = 0; (p = messages.find("\r\n", p)) != std::string::npos;) messages.erase(p, 1);
    std::fputs(messages.c_str(), stderr);
    return (status >> 30) == 3 ? 1 : 0;
}

int usage() {
    std::fputs(kHelp, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool hex = false;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--help" || *it == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (*it == "--hex") {
            hex = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    }
    if (args.empty()) return usage();
    const std::string& command = args[0];

    if (command == "check" && args.size() == 2) {
        const uint32_t status = FormatValidateFmtA(args[1].c_str(), 0);
        if (status == 0) std::puts("ok");
        return report(status);
    }

    const std::size_t valueAt = command == "validate" ? 3 : 2;
    if (!((command == "input" || command == "output") && args.size() == 3) &&
        !(command == "validate" && args.size() == 4))
        return usage();
    std::string value = args[valueAt];
    if (hex && !hexToIStr(value, value)) {
        std::fprintf(stderr, "payfmt: not an even number of hexadecimal digits: %s\n", args[valueAt].c_str());
        return 2;
    }

    if (command == "validate") {
        const uint32_t status = FormatValidateA(value.c_str(), args[1].c_str(), args[2].c_str(), 0);
        if (status == 0) std::puts("valid");
        return report(status);
    }
    VEXBUF result = nullptr;
    const uint32_t status = command == "input" ? FormatInputA(value.c_str(), args[1].c_str(), &result, 0)
                                               : FormatOutputA(value.c_str(), args[1].c_str(), &result, 0);
    if (result) {
        const std::string text = bufText(result);
        std::puts((hex ? istrToHex(text) : text).c_str());
    }
    return report(status);
}
