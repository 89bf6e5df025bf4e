// The EMV TVR and TSI sequences through the public component interface of
// libpayfmt.so.
#include <gtest/gtest.h>

#include "api/kor_host.h"

namespace {

using kortest::Obj;
using kortest::Outcome;
using kortest::MemberRow;
using kortest::Var;

std::string bitName(int n) { return "Bit" + std::to_string(n); }

TEST(EmvSequences, TvrValueRoundTripSetsOnlyTheFirstBit) {
    Obj tvr = Obj::create("Quorvin.EMV.TVR");
    ASSERT_EQ(tvr.put("Value", Var::text("8000000000")).status, 0u);
    for (int byte = 1; byte <= 5; ++byte) {
        Obj b = tvr.object(("Byte" + std::to_string(byte)).c_str());
        for (int bit = 8; bit >= 1; --bit) {
            const Outcome r = b.get(bitName(bit).c_str());
            ASSERT_EQ(r.result.v.type, static_cast<uint32_t>(VEXVT_BOOL));
            EXPECT_EQ(r.result.v.u.b != 0, byte == 1 && bit == 8) << byte << "." << bit;
        }
    }
    EXPECT_EQ(tvr.get("Value").result.str(), "8000000000");
    KORMEMBERINFO bit8{};
    Obj byte1 = tvr.object("Byte1");
    ASSERT_EQ(KORGetMemberInfoA(byte1.get(), 3, &bit8), 0u);
    EXPECT_STREQ(bit8.name, "Bit8");
    EXPECT_STREQ(bit8.description, "Offline data authentication not performed");
}

TEST(EmvSequences, TvrThreeBitSixAloneIsTwenty) {
    Obj tvr3 = Obj::create("TVR3");
    for (int bit = 8; bit >= 1; --bit) ASSERT_EQ(tvr3.put(bitName(bit).c_str(), Var::boolean(bit == 6)).status, 0u);
    EXPECT_EQ(tvr3.get("Value").result.str(), "20");
    ASSERT_EQ(tvr3.put("bit6", Var::text("false")).status, 0u);
    ASSERT_EQ(tvr3.put("Bit1", Var::integer(1)).status, 0u);
    EXPECT_EQ(tvr3.get("VALUE").result.str(), "01");
}

TEST(EmvSequences, ByteSequenceValuesNeedTwoDigitsPerByte) {
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {{"TVR", "800000000"}, {"TVR", "80000000000"}, {"TVR", ""},  {"TVR", "1"},
                          {"TSI", "800"},       {"TSI", "80000"},       {"TSI", "8"}};
    for (const auto& c : cases) {
        Obj seq = Obj::create(c.name);
        const Outcome r = seq.put("Value", Var::text(c.value));
        EXPECT_EQ(r.status, KOR_E_EXCEPTION) << c.name << " " << c.value;
        EXPECT_EQ(r.code, 0xE2060002u);
        EXPECT_EQ(r.source, "TByteSequence.Set_Value");
        EXPECT_EQ(r.description, "Invalid hexadecimal string length");
        EXPECT_EQ(seq.byName("Value", KOR_DISPATCH_PUT, {Var::text(c.value)}, false).status, 0xE2060002u);
    }
}

TEST(EmvSequences, NonHexadecimalTextIsRefused) {
    for (const char* value : {"G0", "8 ", "0x", "-1", "8000Z"}) {
        Obj tvr1 = Obj::create("TVR1");
        ASSERT_EQ(tvr1.put("Value", Var::text("81")).status, 0u);
        const Outcome r = tvr1.put("Value", Var::text(value));
        EXPECT_EQ(r.code, 0xE2060000u) << value;
        EXPECT_EQ(r.source, "TBitSequence.DoSetProperty");
        EXPECT_EQ(r.description, "Value must be hexadecimal");
        EXPECT_EQ(tvr1.get("Value").result.str(), "81") << value;
    }
}

TEST(EmvSequences, ABadByteSequenceValueChangesNothing) {
    Obj tvr = Obj::create("TVR");
    ASSERT_EQ(tvr.put("Value", Var::text("0102030405")).status, 0u);
    const Outcome r = tvr.put("Value", Var::text("80000000ZZ"));
    EXPECT_EQ(r.code, 0xE2060000u);
    EXPECT_EQ(r.description, "Value must be hexadecimal");
    EXPECT_EQ(r.source, "TByteSequence.Set_Value");
    EXPECT_EQ(tvr.get("Value").result.str(), "0102030405");
    ASSERT_EQ(tvr.put("value", Var::text("a0b0c0d0e0")).status, 0u);  // either case reads
    EXPECT_EQ(tvr.get("Value").result.str(), "A0B0C0D0E0");
}

TEST(EmvSequences, ExtraBytesForABitSequenceAreDroppedAndShortOnesKeepTheRest) {
    Obj tsi1 = Obj::create("TSI1");
    ASSERT_EQ(tsi1.put("Value", Var::text("0102")).status, 0u);
    EXPECT_EQ(tsi1.get("Value").result.str(), "01");
    EXPECT_EQ(tsi1.get("Bit1").result.v.u.b, 1);
    ASSERT_EQ(tsi1.put("Value", Var::text("F")).status, 0u);  // one digit fills the high nibble
    EXPECT_EQ(tsi1.get("Value").result.str(), "F0");
    ASSERT_EQ(tsi1.put("Value", Var::text("")).status, 0u);  // nothing decoded, nothing changes
    EXPECT_EQ(tsi1.get("Value").result.str(), "F0");
}

TEST(EmvSequences, BitsTakeOnlyBooleans) {
    Obj tvr2 = Obj::create("TVR2");
    const Outcome r = tvr2.put("Bit5", Var::text("maybe"));
    EXPECT_EQ(r.code, 0xE2060001u);
    EXPECT_EQ(r.source, "TBitSequence.DoSetProperty");
    EXPECT_EQ(r.description, "Value must be boolean");
    ASSERT_EQ(tvr2.put("Bit5", Var::text("TRUE")).status, 0u);
    EXPECT_EQ(tvr2.get("Value").result.str(), "10");
}

TEST(EmvSequences, DynamicPropertiesCountBitsOrBytes) {
    const std::pair<const char*, int64_t> cases[] = {{"TVR1", 8}, {"TVR2", 8}, {"TVR3", 8}, {"TVR4", 8},
                                                     {"TVR5", 8}, {"TSI1", 8}, {"TSI2", 8}, {"TVR", 5},
                                                     {"TSI", 2},  {"Quorvin.EMV.TVR", 5}, {"quorvin.emv.tsi", 2}};
    for (const auto& [name, count] : cases) {
        Obj seq = Obj::create(name);
        EXPECT_EQ(seq.get("DynamicProperties").result.v.u.i, count) << name;
        EXPECT_EQ(seq.get("Value").result.str(), std::string(2 * (count == 8 ? 1 : count), '0')) << name;
    }
}

TEST(EmvSequences, BytesAreSharedComponentsAndTakeValuesDirectly) {
    Obj tvr = Obj::create("TVR");
    Obj byte4 = tvr.object("Byte4");
    ASSERT_EQ(byte4.put("Bit8", Var::boolean(true)).status, 0u);
    EXPECT_EQ(tvr.get("Value").result.str(), "0000008000");
    ASSERT_EQ(tvr.put("Byte2", Var::text("C0")).status, 0u);
    EXPECT_EQ(tvr.get("Value").result.str(), "00C0008000");
    Obj tsi = Obj::create("TSI");
    ASSERT_EQ(tsi.put("Value", Var::text("E800")).status, 0u);
    Obj tsi1 = tsi.object("Byte1");
    EXPECT_EQ(tsi1.get("Bit4").result.v.u.b, 1);  // Terminal risk management was performed
    EXPECT_EQ(tsi1.get("Bit3").result.v.u.b, 0);
    // A byte component outlives its sequence while a reference is held.
    tvr = Obj();
    EXPECT_EQ(byte4.get("Value").result.str(), "80");
}

TEST(EmvSequences, UnknownMembersAndTheUnhandledOnesAreNotFound) {
    Obj tvr = Obj::create("Quorvin.EMV.TVR");
    const Outcome r = tvr.invoke(99, KOR_DISPATCH_GET);
    EXPECT_EQ(r.status, KOR_E_MEMBERNOTFOUND);
    EXPECT_EQ(r.code, 0xC0020003u);
    EXPECT_EQ(r.description, "Member not found: 'TTVR.99'");
    EXPECT_EQ(r.source, "Quorvin.KOR.TAutomationObject.DoGetProperty");
    EXPECT_EQ(tvr.invoke(99, KOR_DISPATCH_GET, {}, false).status, 0xC0020003u);
    EXPECT_EQ(tvr.invoke(768 + 6, KOR_DISPATCH_GET).description, "Member not found: 'TTVR.774'");
    const Outcome add = tvr.call("AddProperty", {Var::text("Bit9")});
    EXPECT_EQ(add.description, "Member not found: 'TTVR.513'");
    EXPECT_EQ(add.source, "Quorvin.KOR.TAutomationObject.DoCall");
    const Outcome count = Obj::create("TSI2").put("DynamicProperties", Var::integer(9));
    EXPECT_EQ(count.description, "Member not found: 'TTSI2.258'");
    EXPECT_EQ(count.source, "Quorvin.KOR.TAutomationObject.DoSetProperty");
}

// The fixed members every sequence declares first, then its own rows.
void expectMembers(const char* component, uint32_t valueAttributes, std::vector<MemberRow> own) {
    std::vector<MemberRow> rows = {
        {"DynamicProperties", 258, KOR_MEMBER_PROPERTY, "Number of dynamic properties", "Messages#DynamicProperties",
         0x4000400},
        {"Value", 0, KOR_MEMBER_PROPERTY, "Value of the sequence", "Messages#Value", valueAttributes},
        {"AddProperty", 513, KOR_MEMBER_METHOD, "Adds a definition bit", "Messages#AddProperty", 0},
    };
    rows.insert(rows.end(), own.begin(), own.end());
    kortest::expectMembers(Obj::create(component), rows);
}

TEST(EmvSequences, MembersAreDescribedInDeclarationOrder) {
    constexpr uint32_t kProp = KOR_MEMBER_PROPERTY;
    expectMembers("TVR3", 0x400, {
        {"Bit8", 769, kProp, "Cardholder verification was not sucessful", "format#1", 0},
        {"Bit7", 770, kProp, "Unrecognised CVM", "format#2", 0},
        {"Bit6", 771, kProp, "PIN Try Limit exceeded", "format#3", 0},
        {"Bit5", 772, kProp, "PIN entry required and PIN pad not present", "format#4", 0},
        {"Bit4", 773, kProp, "PIN entry required but PIN was not entered", "format#5", 0},
        {"Bit3", 774, kProp, "Online PIN entered", "format#6", 0},
        {"Bit2", 775, kProp, "RFU", "format#7", 0},
        {"Bit1", 776, kProp, "RFU", "format#8", 0},
    });
    expectMembers("TSI", 0, {
        {"Byte1", 769, kProp, "Byte 1", "format#1", 0},
        {"Byte2", 770, kProp, "Byte 2", "format#2", 0},
    });
}

TEST(EmvSequences, BitDescriptionsFollowTheTables) {
    // (component, bit, description) for a sample of every table.
    const std::tuple<const char*, int, const char*> cases[] = {
        {"TVR1", 3, "CDA failed"},
        {"TVR1", 5, "Card appears on terminal exception file"},
        {"TVR2", 7, "Expired application"},
        {"TVR2", 3, "RFU"},
        {"TVR4", 4, "Merchant forced an online transaction"},
        {"TVR5", 6, "Script processing failed before final GENERATE AC"},
        {"TVR5", 4, "RFU"},
        {"TSI1", 8, "Offline data authentication was performed"},
        {"TSI1", 3, "Script processing was performed"},
        {"TSI2", 8, "RFU"},
    };
    for (const auto& [component, bit, description] : cases) {
        Obj seq = Obj::create(component);
        KORMEMBERINFO m{};
        ASSERT_EQ(KORGetMemberInfoA(seq.get(), static_cast<uint32_t>(3 + 8 - bit), &m), 0u);
        EXPECT_EQ(m.name, bitName(bit));
        EXPECT_STREQ(m.description, description) << component << " " << bit;
    }
}

TEST(EmvSequences, ClassesAreNamedAndIdentified) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"Quorvin.EMV.TVR", "TVR", "TTVR", "e3653435-c7bf-0000-bd9c-87f1eae8eba9"},
        {"tvr1", "TVR1", "TTVR1", "e3653435-c7bf-0001-bd9c-87f1eae8eba9"},
        {"TVR5", "TVR5", "TTVR5", "e3653435-c7bf-0005-bd9c-87f1eae8eba9"},
        {"Quorvin.EMV.TSI", "TSI", "TTSI", "29ce9bbf-ddfa-0000-ba03-be3c421baa22"},
        {"TSI2", "TSI2", "TTSI2", "29ce9bbf-ddfa-0002-ba03-be3c421baa22"},
    };
    for (const auto& [created, name, cls, id] : cases) {
        Obj seq = Obj::create(created);
        KORCOMPONENTINFO info{};
        ASSERT_EQ(KORGetComponentInfoA(seq.get(), &info), 0u);
        EXPECT_STREQ(info.name, name);
        EXPECT_STREQ(info.class_name, cls);
        EXPECT_STREQ(info.class_id, id);
    }
}

}  // namespace
