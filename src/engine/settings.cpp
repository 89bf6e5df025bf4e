#include "engine/settings.h"

#include <cmath>

#include "support/ascii.h"
#include "support/civil_date.h"

namespace payfmt {

namespace {

NodeId namedNode(std::string_view name, std::uint32_t attrib) {
    const NodeId id = nodes().create(name, attrib);
    nodes().get(id).props.set("Name", Variant::text(name));
    return id;
}

// Codings > Boolean > {Disabled = 00, Enabled = 01}
NodeId makeCodingTree() {
    OwnedTree root(namedNode("Codings", kGroupAttrib));
    const NodeId boolean = namedNode("Boolean", kGroupAttrib);
    nodes().addChild(root.get(), boolean, -1);
    const char* names[] = {"Disabled", "Enabled"};
    for (int i = 0; i < 2; ++i) {
        const NodeId entry = namedNode(names[i], 0);
        nodes().get(entry).props.set("Value", Variant::blob(Bytes(1, static_cast<char>(i))));
        nodes().addChild(boolean, entry, -1);
    }
    return root.release();
}

constexpr std::uint32_t kErrUnknownConversion = 0xE206002C;

// The pages a host may choose; "cp_eccf" is the pair of built-in
// conversions, which are page 500.
struct SelectablePage {
    std::string_view name;
    std::string_view number;
};
constexpr SelectablePage kSelectablePages[] = {
    {"cp_eccf", "500"},
    {"cp_037", "037"},
    {"cp_278", "278"},
    {"cp_285", "285"},
};

}  // namespace

Settings::Settings()
    : latinToEbcdic(builtinConversion(kConvLatin1ToCp500)),
      ebcdicToLatin(builtinConversion(kConvCp500ToLatin1)),
      codings_(makeCodingTree()) {
    const double now = serialNow();
    setReferenceDate(std::floor(now));
    setReferenceTime(now - std::floor(now));
}

void Settings::setReferenceDate(double serial) {
    referenceDate_ = std::floor(serial);
    const int year = civilFromSerial(static_cast<std::int64_t>(referenceDate_)).year;
    centuryThreshold = 80;
    decadeThreshold = year % 10 - 5;
}

void Settings::selectCodePage(std::string_view name) {
    for (const SelectablePage& p : kSelectablePages) {
        if (!equalsNoCase(name, p.name)) continue;
        const CodePage* page = findCodePage(p.number);
        latinToEbcdic = &page->toEbcdic;
        ebcdicToLatin = &page->toLatin1;
        codePageName.assign(name);
        return;
    }
    errors().raise("TGlobalSettings.DoSetProperty", kErrUnknownConversion, {name});
}

void Settings::replaceCodings(NodeId tree) { codings_.reset(tree ? nodes().copy(tree, true) : 0); }

void Settings::setReferenceTime(double serial) { referenceTime_ = serial - std::floor(serial); }

Settings& settings() {
    // The node table must outlive the record (the coding tree lives in it),
    // so it is brought up first.
    nodes();
    static Settings record;
    return record;
}

}  // namespace payfmt
