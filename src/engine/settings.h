#pragma once
// The settings record: the process-wide values that the engine, the
// operators and the parsers read, and the registered sequences. One record
// exists from load to unload (settings()). The parsers keep their list of
// open parsers beside it (parsers/core/open_parsers.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/chain_cache.h"
#include "engine/format_error.h"
#include "engine/sequence_store.h"
#include "support/codepage.h"
#include "support/tree.h"

namespace payfmt {

class Settings {
public:
    Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    char escape = '#';  // IStr escape character; never changed after construction
    std::string notFoundText = "(Not Found)";  // IND2STR
    std::string noMatchText = "?";             // STR2IND, INSET
    std::string remainingDataName = "Remaining Data";
    std::string valueName = "Value";
    const ByteTable* latinToEbcdic;  // ANSI2EBC; built-in conversion 1 at start
    const ByteTable* ebcdicToLatin;  // EBC2ANSI; built-in conversion 2 at start
    std::string codePageName = "cp_eccf";
    // Selects the EBCDIC page of ANSI2EBC and EBC2ANSI by name ("cp_eccf",
    // "cp_037", "cp_278", "cp_285", any case). An unknown name raises
    // 0xE206002C and leaves the page as it was.
    void selectCodePage(std::string_view name);
    bool detailedErrors = false;
    // The error context of the calling thread: each thread collects the
    // reports of its own calls, so one thread's call never hides or mixes
    // with another's.
    TFormatError& errors() const { return threadErrors(); }
    SequenceStore sequences;
    ChainCache chains;  // parsed formats, emptied when the sequences change

    // Reference date (whole serial days) and time of day (fraction), taken
    // from the clock when the record is created.
    double referenceDate() const { return referenceDate_; }
    double referenceTime() const { return referenceTime_; }
    // Sets the date and derives both thresholds from its year.
    void setReferenceDate(double serial);
    void setReferenceTime(double serial);
    std::int32_t centuryThreshold = 80;
    std::int32_t decadeThreshold = 0;

    NodeId codings() const { return codings_.get(); }
    // Keeps a copy of the tree as the coding tree and deletes the old one; 0
    // leaves none. A handle that names no node is refused before anything
    // changes.
    void replaceCodings(NodeId tree);

    // The text of the current reports, as the detailed-errors setting asks.
    std::string errorText() const { return errors().errorText(detailedErrors); }

private:
    double referenceDate_ = 0;
    double referenceTime_ = 0;
    OwnedTree codings_;
};

// The process-wide record.
Settings& settings();

}  // namespace payfmt
