#pragma once
// What the chain engine needs of the parser that runs a chain: its 26
// character classes, the settings record and, through it, the error context.
// Every parser derives from ParserCore, so the engine runs the same way for
// the library's default parser and for any message parser.
#include "engine/char_set.h"
#include "engine/settings.h"

namespace payfmt {

class ParserCore {
public:
    explicit ParserCore(Settings& settings) : settings_(&settings), classes_(defaultCharClasses()) {}
    virtual ~ParserCore() = default;
    ParserCore(const ParserCore&) = default;
    ParserCore& operator=(const ParserCore&) = default;

    Settings& settings() const { return *settings_; }
    TFormatError& errors() const { return settings_->errors(); }

    // The class of an upper-case letter "A" to "Z".
    const CharSet& charClass(char letter) const { return classes_[static_cast<std::size_t>(letter - 'A')]; }
    // For changing a class: whatever was compiled from the classes before
    // (input masks) is compiled again.
    CharSet& editCharClass(char letter);
    const CharClasses& charClasses() const { return classes_; }
    // Changes with every change of the classes; parsers that keep the
    // classes every parser starts with share version 0.
    std::uint64_t charClassesVersion() const { return classesVersion_; }

    // An empty field passes any input mask.
    bool allowNull = false;

    // TPFIX.SetCharSet: redefines the class of a letter from a specifier in
    // brackets. A letter outside A-Z raises 0xE206000B, a specifier without
    // its brackets 0xE206000C; the class is then left as it was.
    void SetCharSet(std::string_view letter, std::string_view specifier);
    // The set a specifier stands for, without storing it: a bracketed list,
    // or the union of the classes of the letters in it.
    CharSet resolveCharSet(std::string_view specifier) const;

private:
    Settings* settings_;
    CharClasses classes_;
    std::uint64_t classesVersion_ = 0;
};

}  // namespace payfmt
