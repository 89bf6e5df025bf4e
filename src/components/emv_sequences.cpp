#include "components/emv_sequences.h"

#include <array>

namespace payfmt {

namespace {

using Bits = std::array<std::string_view, 8>;  // Bit8 first

constexpr Bits kTVR1Bits{"Offline data authentication not performed",
                         "SDA failed",
                         "ICC data missing",
                         "Card appears on terminal exception file",
                         "DDA failed",
                         "CDA failed",
                         "RFU",
                         "RFU"};
constexpr Bits kTVR2Bits{"ICC and terminal have different application versions",
                         "Expired application",
                         "Application not yet effective",
                         "Requested service not allowed for card product",
                         "New card",
                         "RFU",
                         "RFU",
                         "RFU"};
constexpr Bits kTVR3Bits{"Cardholder verification was not sucessful",
                         "Unrecognised CVM",
                         "PIN Try Limit exceeded",
                         "PIN entry required and PIN pad not present",
                         "PIN entry required but PIN was not entered",
                         "Online PIN entered",
                         "RFU",
                         "RFU"};
constexpr Bits kTVR4Bits{"Transaction exceeds floor limit",
                         "Lower consecutive offline limit exceeded",
                         "Upper consecutive offline limit exceeded",
                         "Transaction selected randomly for online processing",
                         "Merchant forced an online transaction",
                         "RFU",
                         "RFU",
                         "RFU"};
constexpr Bits kTVR5Bits{"Default TDOL used",
                         "Issuer authentication failed",
                         "Script processing failed before final GENERATE AC",
                         "Script processing failed after final GENERATE AC",
                         "RFU",
                         "RFU",
                         "RFU",
                         "RFU"};
constexpr Bits kTSI1Bits{"Offline data authentication was performed",
                         "Cardholder verification was performed",
                         "Cardholder risk management was performed",
                         "Issuer authentication was performed",
                         "Terminal risk management was performed",
                         "Script processing was performed",
                         "RFU",
                         "RFU"};
constexpr Bits kTSI2Bits{"RFU", "RFU", "RFU", "RFU", "RFU", "RFU", "RFU", "RFU"};

constexpr std::array<std::string_view, 5> kTVRBytes{"TVR1", "TVR2", "TVR3", "TVR4", "TVR5"};
constexpr std::array<std::string_view, 2> kTSIBytes{"TSI1", "TSI2"};

// Every object of the EMV family; the members are built in this order.
struct EmvInfos {
    TTVR1Info tvr1;
    TTVR2Info tvr2;
    TTVR3Info tvr3;
    TTVR4Info tvr4;
    TTVR5Info tvr5;
    TTVRInfo tvr;
    TTSI1Info tsi1;
    TTSI2Info tsi2;
    TTSIInfo tsi;

    const std::array<const TSequenceInfo*, 9> all{&tvr1, &tvr2, &tvr3, &tvr4, &tvr5, &tvr, &tsi1, &tsi2, &tsi};

    const TSequenceInfo& of(const SequenceLayout& layout) const {
        for (const TSequenceInfo* info : all)
            if (&info->Layout() == &layout) return *info;
        throw EKORError(VEX_E_UNEXPECTED | 0xC0000000u, "emvSequenceInfo",
                        "No EMV sequence is laid out as " + std::string(layout.className));
    }
};

const EmvInfos& emvInfos() {
    static const EmvInfos infos;
    return infos;
}

}  // namespace

constinit const SequenceLayout kTVR1Layout{"TTVR1", "e3653435-c7bf-0001-bd9c-87f1eae8eba9", "", kTVR1Bits, {}};
constinit const SequenceLayout kTVR2Layout{"TTVR2", "e3653435-c7bf-0002-bd9c-87f1eae8eba9", "", kTVR2Bits, {}};
constinit const SequenceLayout kTVR3Layout{"TTVR3", "e3653435-c7bf-0003-bd9c-87f1eae8eba9", "", kTVR3Bits, {}};
constinit const SequenceLayout kTVR4Layout{"TTVR4", "e3653435-c7bf-0004-bd9c-87f1eae8eba9", "", kTVR4Bits, {}};
constinit const SequenceLayout kTVR5Layout{"TTVR5", "e3653435-c7bf-0005-bd9c-87f1eae8eba9", "", kTVR5Bits, {}};
constinit const SequenceLayout kTVRLayout{"TTVR", "e3653435-c7bf-0000-bd9c-87f1eae8eba9", "Quorvin.EMV.TVR", {}, kTVRBytes};
constinit const SequenceLayout kTSI1Layout{"TTSI1", "29ce9bbf-ddfa-0001-ba03-be3c421baa22", "", kTSI1Bits, {}};
constinit const SequenceLayout kTSI2Layout{"TTSI2", "29ce9bbf-ddfa-0002-ba03-be3c421baa22", "", kTSI2Bits, {}};
constinit const SequenceLayout kTSILayout{"TTSI", "29ce9bbf-ddfa-0000-ba03-be3c421baa22", "Quorvin.EMV.TSI", {}, kTSIBytes};

const TSequenceInfo& emvSequenceInfo(const SequenceLayout& layout) { return emvInfos().of(layout); }

void loadEmvSequences() { emvInfos(); }

}  // namespace payfmt
