#include "engine/messages.h"

#include <algorithm>
#include <array>

#include "support/ascii.h"

namespace payfmt {

namespace {

struct Message {
    std::uint32_t code;
    std::string_view text;
};

// Sorted by code. These are the texts hosts see and match on: keep them
// exactly as they are, misspellings included.
constexpr Message kMessages[] = {
    {0x62060011, "'%s' is not a %s character"},
    {0x62060012, "'%s' does not match any string"},
    {0x62060013, "There are %s unused characters after the validation"},
    {0x6206002B, "%s: there are %s unused characters after applying the operator"},
    {0x62060031, "%s: data must be decimal"},
    {0x62060032, "%s: %s must be in the range %s"},
    {0x62060033, "%s: date is zero-filled"},
    {0x62060042, "'%s' is not in the set of valid values"},
    {0x62060065, "%s: there are %s unused characters after parsing"},
    {0x6207000B, "%s: missing definition for %s = %s"},
    {0x62070010, "%s: length field indicates %s - assuming maximum length of %s"},
    {0x62070012, "%s: remaining data after processing %s"},
    {0x62070062, "%s: Schema Validation Error: %s"},
    {0x62070063, "%s: Schema Validation Error: %s"},
    {0x62070064, "%s: Schema %s could not be loaded: %s"},
    {0xA2060025, "%s: expected %s input characters, received %s"},
    {0xA2060030, "%s: expected %s input characters, received %s"},
    {0xA2060042, "'%s' is not in the set of valid values"},
    {0xE2060001, "%s: operator not found"},
    {0xE2060002, "%s: not a valid output operator"},
    {0xE2060003, "%s: not a valid input operator"},
    {0xE2060004, "%s: requires %s parameters"},
    {0xE2060005, "%s: not a valid parameter, expected %s"},
    {0xE2060006, "%s: not a valid IFM"},
    {0xE2060007, "%s: not a valid IFO"},
    {0xE2060008, "%s: not a valid OFO"},
    {0xE2060009, "%s: property must be a %s"},
    {0xE206000A, "%s: invalid identifier - only alphanumeric allowed"},
    {0xE206000B, "%s: invalid character set identifier"},
    {0xE206000C, "Character set specifiers must be surrounded by [ and ]"},
    {0xE206000D, "Error code not yet defined"},
    {0xE206000E, "%s: operator sequence expands into itself"},
    {0xE206000F, "%s: format has more than %s operators"},
    {0xE2060013, "There are %s unused characters after the validation"},
    {0xE2060020, "%s: length field must be decimal"},
    {0xE2060021, "%s: length field must be hexadecimal"},
    {0xE2060022, "%s: length field must contain at least %s characters"},
    {0xE2060023, "%s: length field may not exceed %s characters"},
    {0xE2060026, "%s: operator may not manage more than %s characters"},
    {0xE2060027, "%s: data must be multiple of %s characters"},
    {0xE2060028, "%s: data must be decimal"},
    {0xE2060029, "%s: data must be hexadecimal"},
    {0xE206002A, "%s: cannot manage numbers greater than %s"},
    {0xE206002B, "%s: there are %s unused characters after applying the operator"},
    {0xE206002C, "%s: unknown conversion identifier"},
    {0xE206002D, "%s: invalid character found ('%s') in the parameters"},
    {0xE2060060, "%s: property should be a BLOB"},
    {0xE2060061, "Cannot REPEAT an orphan node"},
    {0xE2060062, "%s: unknown parser type"},
    {0xE2060063, "%s: node must be a group"},
    {0xE2060065, "%s: there are %s unused characters after parsing"},
    {0xE2060066, "RepeatNode requires that an IFO/IFM is defined"},
    {0xE2070001, "%s: The parser is not open"},
    {0xE2070002, "Paser name is undefined"},
    {0xE2070003, "Definition tree is undefined"},
    {0xE2070004, "%s: parser name already exists"},
    {0xE2070008, "%s: property %s should be a %s"},
    {0xE2070009, "%s: property %s should have value %s"},
    {0xE207000A, "%s: missing property %s for node %s"},
    {0xE207000B, "%s: missing definition for %s = %s"},
    {0xE207000C, "%s: destination node undefined"},
    {0xE207000D, "%s: mode %s not supported"},
    {0xE2070011, "%s: data to short to process %s"},
    {0xE2070013, "%s: method %s is not supported"},
    {0xE2070014, "%s: groups nested deeper than %s levels"},
    {0xE2070021, "P8583: found bit %s outside range -1 to 128"},
    {0xE2070022, "%s: duplicate bit %s in the message"},
    {0xE2070023, "%s: Bit %s is not present in the definition tree"},
    {0xE2070024, "%s: End of message encountered after %s bytes"},
    {0xE2070031, "%s: Unrecognised TLV data: '%s'"},
    {0xE2070041, "%s: Header definition node missing"},
    {0xE2070042, "%s: Footer definition node missing"},
    {0xE2070043, "%s: Bitmap definition node missing"},
    {0xE2070044, "%s: Fields definition node missing"},
    {0xE2070047, "%s: Invalid property for bit %s"},
    {0xE2070048, "%s: Bit property of %s is not in ascending order"},
    {0xE2070049, "%s: Invalid value for bit %s"},
    {0xE207004A, "%s: Data shorter than header and footer"},
    {0xE207004B, "%s: Bitmap may not exceed 255 bits"},
    {0xE2070051, "%s: Message definition group node missing"},
    {0xE2070052, "%s: Segment definition group node missing"},
    {0xE2070053, "%s: Data Elements definition group node missing"},
    {0xE2070061, "%s: Fatal Syntax Error: %s"},
    {0xE2070071, "%s: ATR or PPS is incorrectly formatted"},
    {0xE20700F0, "%s: memory allocation error on %s"},
};

constexpr bool sortedByCode() {
    for (std::size_t i = 1; i < std::size(kMessages); ++i)
        if (kMessages[i - 1].code >= kMessages[i].code) return false;
    return true;
}
static_assert(sortedByCode());

// Fills each "%s" with the next argument; nullopt when arguments run out.
std::optional<std::string> fill(std::string_view tmpl, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(tmpl.size() + 32);
    auto arg = args.begin();
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] == '%' && i + 1 < tmpl.size() && tmpl[i + 1] == 's') {
            if (arg == args.end()) return std::nullopt;
            out += *arg++;
            ++i;
        } else {
            out += tmpl[i];
        }
    }
    return out;
}

std::string internalError(std::string_view reason, std::uint32_t code) {
    return "ErrDesc: Internal Error: " + std::string(reason) + hexCode(code);
}

}  // namespace

std::optional<std::string_view> messageTemplate(std::uint32_t code) {
    auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                               [](const Message& m, std::uint32_t c) { return m.code < c; });
    if (it == std::end(kMessages) || it->code != code) return std::nullopt;
    return it->text;
}

std::string buildMessage(std::uint32_t code, std::initializer_list<std::string_view> args) {
    auto tmpl = messageTemplate(code);
    if (!tmpl) return internalError("No error message defined for ", code);
    auto text = fill(*tmpl, args);
    if (!text) return internalError("Wrong parameters for error ", code);
    std::string message;
    message.reserve(text->size() + 12);
    message.append("(").append(hexCode(code)).append(") ").append(*text);
    return message;
}

}  // namespace payfmt
