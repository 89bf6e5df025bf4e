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
        TFormatError& errors = settings().errors;
        for (const OperatorDef& d : kOperators) {
            conversionRegistry().add(errors, d.name, d.op);
            if (d.validation) validationRegistry().add(errors, d.name, d.op);
        }
        return true;
    }();
    (void)done;
}

}  // namespace payfmt
