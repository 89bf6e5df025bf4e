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
    std::vector<std::string> with;  // NAME=TYPE:TREE.json: parsers open for fields to hand over to
    std::vector<std::string> set;   // NAME=VALUE: properties of the parser (RecordCount=2, ...)
    std::vector<std::string> schemas;  // NAMESPACE=FILE.xsd: schemas an XML parser validates against
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
// A text given on the command line as it stands, or the content of a file
// written "@path" (XML documents).
bool readText(std::string_view given, std::string& text);
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

// The node's Name property, or its name in the tree.
std::string nodeName(VEXNODE node);
std::vector<VEXNODE> childrenOf(VEXNODE node);
// The report on a node, on one line after indent blanks: status, what it
// concerns, where it happened, the text. Nothing for a node without one.
void printReport(VEXNODE node, const std::string& what, int indent);

int runFormatCommand(const Options& o);
int runParserCommand(const Options& o);
// An ISO 8583 value tree: the message type, the bitmap, then each field by
// bit and name; reported fields with their status and offset. definitions
// names the bits the parse stopped at.
void printIso8583(const Options& o, VEXNODE message, VEXNODE definitions);
// The elements below parent of a tag-length-value message, one a line with
// tag, name and value, nested elements indented, from column indent on.
void printElements(const Options& o, VEXNODE parent, int indent);
// An EDIFACT value tree: each segment by its tag, then its data elements and
// components that hold data, by code and name, with their values.
void printSegments(const Options& o, VEXNODE interchange);
// An XML value tree: elements indented with their attributes, an element
// holding only text on one line with it, comments and the declaration.
void printXml(VEXNODE document);

}  // namespace cli
