#include "operators/operator_table.h"

#include "engine/registries.h"
#include "engine/settings.h"
#include "operators/operator_list.h"

namespace payfmt {

namespace {

using namespace ops;

constexpr OperatorDef kOperators[] = {
    // Numeric and radix
    {"DEC2RAW", Dec2Raw, nullptr},
    {"RAW2DEC", Raw2Dec, nullptr},
    {"HEX2RAW", Hex2Raw, nullptr},
    {"RAW2HEX", Raw2Hex, nullptr},
    {"BASE642RAW", Base642Raw, nullptr},
    {"RAW2BASE64", Raw2Base64, nullptr},
    {"INT2STR", Int2Str, nullptr},
    {"STR2INT", Str2Int, nullptr},
    {"ISTR2RAW", IStr2Raw, nullptr},
    {"RAW2ISTR", Raw2IStr, nullptr},
    // Field shaping
    {"FIX", Fix, nullptr},
    {"PADL", Pad, nullptr},
    {"PADR", Pad, nullptr},
    {"TRIM", Trim, nullptr},
    {"TRIML", Trim, nullptr},
    {"TRIMR", Trim, nullptr},
    {"LEAVE", Leave, nullptr},
    {"SKIP", Skip, nullptr},
    {"PREPEND", Prepend, nullptr},
    {"INVERSE", Inverse, nullptr},
    {"CHARSEP", CharSep, nullptr},
    {"STRSEP", StrSep, nullptr},
    {"IND2STR", Ind2Str, nullptr},
    {"STR2IND", Str2Ind, nullptr},
    {"INSET", Str2Ind, Str2Ind},
    {"CONV", Conv, nullptr},
    {"NONE", None, nullptr},
    // Length and tag
    {"LVAR", LVar, nullptr},
    {"LLVAR", LVar, nullptr},
    {"LLLVAR", LVar, nullptr},
    {"LLLLVAR", LVar, nullptr},
    {"LLLLLVAR", LVar, nullptr},
    {"LLLLLLVAR", LVar, nullptr},
    {"L2VAR", L2Var, nullptr},
    {"LL2VAR", L2Var, nullptr},
    {"LLL2VAR", L2Var, nullptr},
    {"LLLL2VAR", L2Var, nullptr},
    {"LLLLL2VAR", L2Var, nullptr},
    {"LLLLLL2VAR", L2Var, nullptr},
    {"HVAR", HVar, nullptr},
    {"HHVAR", HVar, nullptr},
    {"HHHVAR", HVar, nullptr},
    {"HHHHVAR", HVar, nullptr},
    {"HHHHHVAR", HVar, nullptr},
    {"HHHHHHVAR", HVar, nullptr},
    {"H2VAR", H2Var, nullptr},
    {"HH2VAR", H2Var, nullptr},
    {"HHH2VAR", H2Var, nullptr},
    {"HHHH2VAR", H2Var, nullptr},
    {"HHHHH2VAR", H2Var, nullptr},
    {"HHHHHH2VAR", H2Var, nullptr},
    {"APMLLVAR", ApmLLVar, nullptr},
    {"APMLLLVAR", ApmLLLVar, nullptr},
    {"BERLEN", BerLen, nullptr},
    {"BERTAG", BerTag, nullptr},
    {"IFSFLEN", IfsfLen, nullptr},
    {"EDIFACTFLD", EdifactFld, nullptr},
    // Nibble, buffer and bit
    {"BBUF", Buf, nullptr},
    {"BBBUF", Buf, nullptr},
    {"DBUF", Buf, nullptr},
    {"DDBUF", Buf, nullptr},
    {"BNIBBLES", Nibbles, nullptr},
    {"NBUF", Nibbles, nullptr},
    {"BBNIBBLES", Nibbles, nullptr},
    {"DNIBBLES", Nibbles, nullptr},
    {"DDNIBBLES", Nibbles, nullptr},
    {"BIT2RAW", Bit2Raw, nullptr},
    {"RAW2BIT", Raw2Bit, nullptr},
    {"BBIT", BBit, nullptr},
    {"BBBIT", BBBit, nullptr},
    // Character sets
    {"ASC2EBC", Asc2Ebc, nullptr},
    {"EBC2ASC", Ebc2Asc, nullptr},
    {"ANSI2EBC", Ansi2Ebc, nullptr},
    {"EBC2ANSI", Ebc2Ansi, nullptr},
    {"EDA2RAW", Eda2Raw, nullptr},
    {"RAW2EDA", Raw2Eda, nullptr},
    // Dates
    {"CCYYMMDD", Date, CheckDate},
    {"YYYYMMDD", Date, CheckDate},
    {"YYYYMM", Date, CheckDate},
    {"YYMMDD", Date, CheckDate},
    {"YYMM", Date, CheckDate},
    {"MMDD", Date, CheckDate},
    {"MMDDYY", Date, CheckDate},
    {"MMDDCCYY", Date, CheckDate},
    {"DDMMYY", Date, CheckDate},
    {"DDMMYYYY", Date, CheckDate},
    {"MMYY", Date, CheckDate},
    {"YDDD", Date, CheckDate},
    {"YYDDD", Date, CheckDate},
    {"YYYDDD", Date, CheckDate},
    {"YYYYMMDDHHMMSS", Date, CheckDate},
    {"YYYYMMDDHHMM", Date, CheckDate},
    {"YYMMDDHHMMSS", Date, CheckDate},
    {"YYMMDDHHMM", Date, CheckDate},
    {"YYMMHHMMSS", Date, CheckDate},
    {"MMDDHHMMSS", Date, CheckDate},
    {"HHMMSS", Date, CheckDate},
    {"HHMMSSSS", Date, CheckDate},
    {"HHMM", Date, CheckDate},
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
            if (d.check) validationRegistry().add(errors, d.name, d.check);
        }
        return true;
    }();
    (void)done;
}

}  // namespace payfmt
