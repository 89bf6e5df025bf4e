#include "operators/date_layouts.h"

#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr DateSpan no{};

// clang-format off
constexpr DateLayout kLayouts[] = {
    //                       year    month   day     day of year hour  minute  second
    {"CCYYMMDD",        8, {{{0, 4}, {4, 2}, {6, 2}, no,     no,     no,     no}}},
    {"YYYYMMDD",        8, {{{0, 4}, {4, 2}, {6, 2}, no,     no,     no,     no}}},
    {"YYYYMM",          6, {{{0, 4}, {4, 2}, no,     no,     no,     no,     no}}},
    {"YYMMDD",          6, {{{0, 2}, {2, 2}, {4, 2}, no,     no,     no,     no}}},
    {"YYMM",            4, {{{0, 2}, {2, 2}, no,     no,     no,     no,     no}}},
    {"MMDD",            4, {{no,     {0, 2}, {2, 2}, no,     no,     no,     no}}},
    {"MMDDYY",          6, {{{4, 2}, {0, 2}, {2, 2}, no,     no,     no,     no}}},
    {"MMDDCCYY",        8, {{{4, 4}, {0, 2}, {2, 2}, no,     no,     no,     no}}},
    {"DDMMYY",          6, {{{4, 2}, {2, 2}, {0, 2}, no,     no,     no,     no}}},
    {"DDMMYYYY",        8, {{{4, 4}, {2, 2}, {0, 2}, no,     no,     no,     no}}},
    {"MMYY",            4, {{{2, 2}, {0, 2}, no,     no,     no,     no,     no}}},
    {"YDDD",            4, {{{0, 1}, no,     no,     {1, 3}, no,     no,     no}}},
    {"YYDDD",           5, {{{0, 2}, no,     no,     {2, 3}, no,     no,     no}}},
    {"YYYDDD",          6, {{{0, 3}, no,     no,     {3, 3}, no,     no,     no}}},
    {"YYYYMMDDHHMMSS", 14, {{{0, 4}, {4, 2}, {6, 2}, no,     {8, 2}, {10, 2}, {12, 2}}}},
    {"YYYYMMDDHHMM",   12, {{{0, 4}, {4, 2}, {6, 2}, no,     {8, 2}, {10, 2}, no}}},
    {"YYMMDDHHMMSS",   12, {{{0, 2}, {2, 2}, {4, 2}, no,     {6, 2}, {8, 2}, {10, 2}}}},
    {"YYMMDDHHMM",     10, {{{0, 2}, {2, 2}, {4, 2}, no,     {6, 2}, {8, 2}, no}}},
    {"YYMMHHMMSS",     10, {{{0, 2}, {2, 2}, no,     no,     {4, 2}, {6, 2}, {8, 2}}}},
    {"MMDDHHMMSS",     10, {{no,     {0, 2}, {2, 2}, no,     {4, 2}, {6, 2}, {8, 2}}}},
    {"HHMMSS",          6, {{no,     no,     no,     no,     {0, 2}, {2, 2}, {4, 2}}}},
    // The last two digits are hundredths of a second: read as digits and
    // dropped, written as "00".
    {"HHMMSSSS",        8, {{no,     no,     no,     no,     {0, 2}, {2, 2}, {4, 2}}}},
    {"HHMM",            4, {{no,     no,     no,     no,     {0, 2}, {2, 2}, no}}},
};
// clang-format on

constexpr std::size_t kIDate = 14;
static_assert(kLayouts[kIDate].name == "YYYYMMDDHHMMSS");

}  // namespace

std::span<const DateLayout> dateLayouts() { return kLayouts; }

const DateLayout* findDateLayout(std::string_view name) {
    for (const DateLayout& l : kLayouts)
        if (equalsNoCase(l.name, name)) return &l;
    return nullptr;
}

const DateLayout& iDateLayout() { return kLayouts[kIDate]; }

}  // namespace payfmt
