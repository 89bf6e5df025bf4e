#pragma once
// Shared pieces of the payfmt command-line tool.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "payfmt/payfmt.h"

namespace cli {

struct Options {
    bool hex = false;   // values and results as hexadecimal digits
    bool json = false;  // value trees as JSON
    std::string type;   // parser type for parse and compile
    std::string defs;   // definition tree file for parse
    std::vector<std::string> args;  // the command and its operands
};

// The bytes of a buffer, which is then freed.
std::string take(VEXBUF b);
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

}  // namespace cli
