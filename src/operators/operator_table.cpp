#include "operators/operator_table.h"

#include "engine/registries.h"
#include "engine/settings.h"
#include "operators/operator_list.h"

namespace payfmt {

namespace {

using namespace ops;

constexpr OperatorDef kOperators[] = {
    // Numeric and radix
    {"DEC2RAW", Dec2Raw, false},
    {"RAW2DEC", Raw2Dec, false},
    {"HEX2RAW", Hex2Raw, false},
    {"RAW2HEX", Raw2Hex, false},
    {"BASE642RAW", Base642Raw, false},
    {"RAW2BASE64", Raw2Base64, false},
    {"INT2STR", Int2Str, false},
    {"STR2INT", Str2Int, false},
    {"ISTR2RAW", IStr2Raw, false},
    {"RAW2ISTR", Raw2IStr, false},
    // Field shaping
    {"FIX", Fix, false},
    {"PADL", Pad, false},
    {"PADR", Pad, false},
    {"TRIM", Trim, false},
    {"TRIML", Trim, false},
    {"TRIMR", Trim, false},
    {"LEAVE", Leave, false},
    {"SKIP", Skip, false},
    {"PREPEND", Prepend, false},
    {"INVERSE", Inverse, false},
    {"CHARSEP", CharSep, false},
    {"STRSEP", StrSep, false},
    {"IND2STR", Ind2Str, false},
    {"STR2IND", Str2Ind, false},
    {"INSET", Str2Ind, true},
    {"CONV", Conv, false},
    {"NONE", None, false},
    // Length and tag
    {"LVAR", LVar, false},
    {"LLVAR", LVar, false},
    {"LLLVAR", LVar, false},
    {"LLLLVAR", LVar, false},
    {"LLLLLVAR", LVar, false},
    {"LLLLLLVAR", LVar, false},
    {"L2VAR", L2Var, false},
    {"LL2VAR", L2Var, false},
    {"LLL2VAR", L2Var, false},
    {"LLLL2VAR", L2Var, false},
    {"LLLLL2VAR", L2Var, false},
    {"LLLLLL2VAR", L2Var, false},
    {"HVAR", HVar, false},
    {"HHVAR", HVar, false},
    {"HHHVAR", HVar, false},
    {"HHHHVAR", HVar, false},
    {"HHHHHVAR", HVar, false},
    {"HHHHHHVAR", HVar, false},
    {"H2VAR", H2Var, false},
    {"HH2VAR", H2Var, false},
    {"HHH2VAR", H2Var, false},
    {"HHHH2VAR", H2Var, false},
    {"HHHHH2VAR", H2Var, false},
    {"HHHHHH2VAR", H2Var, false},
    {"APMLLVAR", ApmLLVar, false},
    {"APMLLLVAR", ApmLLLVar, false},
    {"BERLEN", BerLen, false},
    {"BERTAG", BerTag, false},
    {"IFSFLEN", IfsfLen, false},
    {"EDIFACTFLD", EdifactFld, false},
    // Nibble, buffer and bit
    {"BBUF", Buf, false},
    {"BBBUF", Buf, false},
    {"DBUF", Buf, false},
    {"DDBUF", Buf, false},
    {"BNIBBLES", Nibbles, false},
    {"NBUF", Nibbles, false},
    {"BBNIBBLES", Nibbles, false},
    {"DNIBBLES", Nibbles, false},
    {"DDNIBBLES", Nibbles, false},
    {"BIT2RAW", Bit2Raw, false},
    {"RAW2BIT", Raw2Bit, false},
    {"BBIT", BBit, false},
    {"BBBIT", BBBit, false},
    // Character sets
    {"ASC2EBC", Asc2Ebc, false},
    {"EBC2ASC", Ebc2Asc, false},
    {"ANSI2EBC", Ansi2Ebc, false},
    {"EBC2ANSI", Ebc2Ansi, false},
    {"EDA2RAW", Eda2Raw, false},
    {"RAW2EDA", Raw2Eda, false},
    // Dates
    {"CCYYMMDD", Date, true},
    {"YYYYMMDD", Date, true},
    {"YYYYMM", Date, true},
    {"YYMMDD", Date, true},
    {"YYMM", Date, true},
    {"MMDD", Date, true},
    {"MMDDYY", Date, true},
    {"MMDDCCYY", Date, true},
    {"DDMMYY", Date, true},
    {"DDMMYYYY", Date, true},
    {"MMYY", Date, true},
    {"YDDD", Date, true},
    {"YYDDD", Date, true},
    {"YYYDDD", Date, true},
    {"YYYYMMDDHHMMSS", Date, true},
    {"YYYYMMDDHHMM", Date, true},
    {"YYMMDDHHMMSS", Date, true},
    {"YYMMDDHHMM", Date, true},
    {"YYMMHHMMSS", Date, true},
    {"MMDDHHMMSS", Date, true},
    {"HHMMSS", Date, true},
    {"HHMMSSSS", Date, true},
    {"HHMM", Date, true},
};

}  // namespace

std::span<const OperatorDef> operatorTable() { return kOperators; }

void registerOperators() {
    static const bool done = [] {
        // The names are fixed and valid. A context of its own keeps the
        // loading thread's context untouched: thread-local storage made at
        // load would keep the library from ever being unloaded.
        TFormatError errors;
        for (const OperatorDef& d : kOperators) {
            conversionRegistry().add(errors, d.name, d.op);
            if (d.validation) validationRegistry().add(errors, d.name, d.op);
        }
        return true;
    }();
    (void)done;
}

}  // namespace payfmt
