#pragma once
// Shared pieces of the payfmt command-line tool.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payfmt/payfmt.h"

namespace cli {

struct Options {
    bool hex = false;   // values and results as hexadecimal digits
    bool json = false;  // value trees as JSON
    std::string type;   // parser type for parse and compile
    std::string defs;   // definition tree file of a definition-tree parser
    std::string codePage;  // the settings' EBCDIC code page (Ansi_CP)
    std::vector<std::string> args;  // the command and its operands
};

// One variant that clears itself.
struct Value {
    VEXVARIANT v{};
    Value() = default;
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    ~Value() { VEXVarClear(&v); }
};

// The bytes of a buffer, which is then freed.
std::string take(VEXBUF b);
// A node property as text: texts as they are, bytes as IStr; nullopt when
// the node has no such property.
std::optional<std::string> property(VEXNODE node, const char* name);
// The raw bytes of a blob property; nullopt for a missing or other property.
std::optional<std::string> rawProperty(VEXNODE node, const char* name);
// A value given on the command line, as IStr text: IStr as it is, hexadecimal
// digits with --hex, or the raw bytes of a file written "@path".
bool readValue(const Options& o, std::string_view given, std::string& istr);
// A result for the terminal: IStr text, or hexadecimal digits with --hex.
std::string shown(const Options& o, const std::string& istr);
// Prints the status and every message of a format call; the exit code
// follows the severity (1 for an error).
int report(uint32_t status);
// The exit code of a status without printing: 1 for error severity.
inline int exitCode(uint32_t status) { return (status >> 30) == 3 ? 1 : 0; }

int runFormatCommand(const Options& o);
int runParserCommand(const Options& o);
// An ISO 8583 value tree: the message type, the bitmap, then each field by
// bit and name; reported fields with their status and offset. definitions
// names the bits the parse stopped at.
void printIso8583(const Options& o, VEXNODE message, VEXNODE definitions);

}  // namespace cli
