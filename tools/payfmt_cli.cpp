// payfmt: apply, validate and check formats of the operator language from the
// command line, over the library's public C interface.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_common.h"

namespace {

constexpr const char* kHelp = R"help(usage: payfmt [--hex] input FORMAT VALUE
       payfmt [--hex] output FORMAT VALUE
       payfmt [--hex] validate FORMAT MASK VALUE
       payfmt check FORMAT
       payfmt [--hex] [--json] parse [--type TYPE] --defs TREE.json [--set NAME=VALUE]
              [--with NAME=TYPE:TREE.json] MESSAGE
       payfmt [--hex] compile [--type TYPE] [--defs TREE.json] [--set NAME=VALUE]
              [--with NAME=TYPE:TREE.json] VALUES.json
       payfmt [--json] parse --type PXML [--schema NAMESPACE=FILE.xsd] [--set NAME=VALUE] DOCUMENT
       payfmt compile --type PXML VALUES.json

Applies a format of the operator language to one field value.

  input     runs FORMAT as an input chain: VALUE is raw message data, the
            result is the field read out of it
  output    runs FORMAT as an output chain: VALUE is the field value, the
            result is the field as it is written into a message
  validate  runs FORMAT as an input chain and checks the result with MASK
  check     checks the syntax of FORMAT without running it
  parse     parses MESSAGE with a parser of TYPE (default PFIX) and prints
            the value tree: for PFIX, TREE.json is the template that is
            filled; for definition-tree parsers (P8583 ...), its definitions.
            P8583 prints the message type, the bitmap and each field by bit
            and name; a field with a report shows its status and the offset
            in the message where it starts. PBER, PTLV, PLTV and PTV print
            each element's tag, name and value, nested elements indented;
            PVBM and PFBM print the value tree, with messages and records
            as groups; PEDI prints each segment by its tag, then the data
            elements and components that hold data, by code and name.
            PXML needs no TREE.json: DOCUMENT is XML text (or @FILE), and
            each element is printed with its attributes, one holding only
            text on one line with it
  compile   compiles the value tree in VALUES.json (as parse --json writes
            it) and prints the message; definition-tree parsers need --defs

--codepage NAME selects the EBCDIC code page of ANSI2EBC and EBC2ANSI
(cp_037, cp_278, cp_285, cp_eccf).

--set NAME=VALUE sets a property of the parser before it opens: a number,
true or false, or text (--set RecordCount=2 --set MessageLoop=true for
PVBM, --set BitMapBits=16 --set 'BitMapIFO=FIX(4).HEX2RAW' for PFBM). It may
be given more than once.

--with NAME=TYPE:TREE.json opens one more parser for the run, named NAME,
of TYPE over the definitions in TREE.json: a group whose Parser property
names it is read (and written) by it, such as DE 55 of the ISO 8583 ascii
example by a PBER parser named emv. It may be given more than once.

--schema NAMESPACE=FILE.xsd adds an XML schema that PXML validates the
document against (a failure is a warning, 0x62070063); it may be given once
per file, for one or more namespaces. --set AttribAsNodes=true,
--set NameQualified=false and --set AttribQualified=false choose how PXML
keeps attributes and prefixes.

Values and results are IStr text: printable ASCII stands for itself, any
other byte (and "#" itself) is "#" and two hexadecimal digits, e.g. AB#00#0D.
With --hex, VALUE and the result are hexadecimal digits instead; a VALUE or
MESSAGE written @FILE is the raw content of that file. --json prints value
trees as JSON.

Trees are JSON: {"name": "rec", "group": true, "props": {"IFO": "FIX(2)"},
"children": [...]}, values as {"blob": "HEX"} or {"istr": "AB#00"}.

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
  payfmt parse --defs examples/batch.json @examples/batch.msg
  payfmt parse --type PBER --defs examples/emv/emv.json @examples/emv/fci.msg
  payfmt parse --type PVBM --defs examples/bitmaps/tms.json --set RecordCount=2 \
      --set GroupRecords=true --set MessageLoop=true @examples/bitmaps/tms.msg
  payfmt parse --type PEDI --defs examples/edifact/paymul.json @examples/edifact/paymul.msg
  payfmt parse --type P8583 --defs examples/iso8583/ascii.json \
      --with emv=PBER:examples/emv/emv.json @examples/iso8583/ascii.msg
  payfmt parse --type PXML --schema urn:iso:std:iso:20022:tech:xsd:pain.001.001.03=examples/xml/pain001.xsd \
      @examples/xml/pain001.xml

On a report the status is printed in hexadecimal with every message; the exit
status is 1 for an error (status 0xE...), 0 otherwise, 2 for bad usage.
)help";

int usage() {
    std::fputs(kHelp, stderr);
    return 2;
}

// Operand counts per command, the command included.
bool wellFormed(const std::vector<std::string>& a) {
    if (a.empty()) return false;
    const std::string& c = a[0];
    if (c == "input" || c == "output") return a.size() == 3;
    if (c == "validate") return a.size() == 4;
    if (c == "check" || c == "parse" || c == "compile") return a.size() == 2;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    cli::Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--hex") o.hex = true;
        else if (arg == "--json") o.json = true;
        else if (arg == "--type" && i + 1 < argc) o.type = argv[++i];
        else if (arg == "--defs" && i + 1 < argc) o.defs = argv[++i];
        else if (arg == "--codepage" && i + 1 < argc) o.codePage = argv[++i];
        else if (arg == "--with" && i + 1 < argc) o.with.push_back(argv[++i]);
        else if (arg == "--set" && i + 1 < argc) o.set.push_back(argv[++i]);
        else if (arg == "--schema" && i + 1 < argc) o.schemas.push_back(argv[++i]);
        else o.args.push_back(arg);
    }
    if (!wellFormed(o.args)) return usage();
    const std::string& c = o.args[0];
    return c == "parse" || c == "compile" ? cli::runParserCommand(o) : cli::runFormatCommand(o);
}
