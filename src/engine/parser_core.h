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

    Settings& settings() const { return *settings_; }
    TFormatError& errors() const { return settings_->errors; }

    // The class of an upper-case letter "A" to "Z".
    const CharSet& charClass(char letter) const { return classes_[static_cast<std::size_t>(letter - 'A')]; }
    CharSet& charClass(char letter) { return classes_[static_cast<std::size_t>(letter - 'A')]; }
    const CharClasses& charClasses() const { return classes_; }

private:
    Settings* settings_;
    CharClasses classes_;
};

}  // namespace payfmt
