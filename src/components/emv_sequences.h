#pragma once
// The EMV Terminal Verification Results (TVR, five bytes) and Transaction
// Status Information (TSI, two bytes) as components: TTVR1 ... TTVR5 and
// TTSI1, TTSI2 hold the bits of one byte, TTVR and TTSI the bytes of the
// whole word. Each class is its layout; each has its own info class.
#include "components/bit_sequence.h"
#include "components/byte_sequence.h"

namespace payfmt {

extern const SequenceLayout kTVR1Layout, kTVR2Layout, kTVR3Layout, kTVR4Layout, kTVR5Layout, kTVRLayout;
extern const SequenceLayout kTSI1Layout, kTSI2Layout, kTSILayout;

// The info built for the class of that layout (all nine are built together).
const TSequenceInfo& emvSequenceInfo(const SequenceLayout& layout);

template <const SequenceLayout& L, class Base>
class TEmvSequence final : public Base {
public:
    static constexpr const SequenceLayout& kLayout = L;
    const TSequenceInfo* GetComponentInfo() const override { return &emvSequenceInfo(L); }
};

using TTVR1 = TEmvSequence<kTVR1Layout, TBitSequence>;
using TTVR2 = TEmvSequence<kTVR2Layout, TBitSequence>;
using TTVR3 = TEmvSequence<kTVR3Layout, TBitSequence>;
using TTVR4 = TEmvSequence<kTVR4Layout, TBitSequence>;
using TTVR5 = TEmvSequence<kTVR5Layout, TBitSequence>;
using TTVR = TEmvSequence<kTVRLayout, TByteSequence>;
using TTSI1 = TEmvSequence<kTSI1Layout, TBitSequence>;
using TTSI2 = TEmvSequence<kTSI2Layout, TBitSequence>;
using TTSI = TEmvSequence<kTSILayout, TByteSequence>;

template <class Component>
class TEmvSequenceInfo final : public TSequenceInfo {
public:
    TEmvSequenceInfo() : TSequenceInfo(componentClass<Component>(Component::kLayout.className), Component::kLayout) {}
};

using TTVR1Info = TEmvSequenceInfo<TTVR1>;
using TTVR2Info = TEmvSequenceInfo<TTVR2>;
using TTVR3Info = TEmvSequenceInfo<TTVR3>;
using TTVR4Info = TEmvSequenceInfo<TTVR4>;
using TTVR5Info = TEmvSequenceInfo<TTVR5>;
using TTVRInfo = TEmvSequenceInfo<TTVR>;
using TTSI1Info = TEmvSequenceInfo<TTSI1>;
using TTSI2Info = TEmvSequenceInfo<TTSI2>;
using TTSIInfo = TEmvSequenceInfo<TTSI>;

// Builds and registers the nine infos, once, in the order TVR1 ... TVR5,
// TVR, TSI1, TSI2, TSI. They are released when the library is unloaded.
void loadEmvSequences();

}  // namespace payfmt
