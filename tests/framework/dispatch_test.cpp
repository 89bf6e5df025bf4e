// The dispatch contract through the C interface, on the Tally test
// component: argument checks, indexed properties, constants, flags, names
// and the translation of failures into status codes and exception records.
#include <gtest/gtest.h>

#include "api/kor_host.h"
#include "framework/tally.h"

namespace {

using kortest::Obj;
using kortest::Outcome;
using kortest::Var;

constexpr uint32_t kRead = KOR_DISPATCH_METHOD | KOR_DISPATCH_GET;

class DispatchTest : public ::testing::Test {
protected:
    Obj tally = Obj::create("Tally");
};

TEST_F(DispatchTest, MethodsTakeTypedArgumentsAndAnswerValues) {
    EXPECT_EQ(tally.call("Add", {Var::integer(5)}).result.v.u.i, 5);
    EXPECT_EQ(tally.call("add", {Var::text("7")}).result.v.u.i, 12);  // text that reads as an integer
    EXPECT_EQ(tally.get("TOTAL").result.v.u.i, 12);
    EXPECT_EQ(tally.call("Repeat", {Var::text("ab"), Var::integer(3)}).result.str(), "ababab");
    EXPECT_EQ(tally.call("Describe", {Var::missing()}).result.str(), "Tally: 12");
    EXPECT_EQ(tally.call("Describe", {Var::text("Sum")}).result.str(), "Sum: 12");
}

TEST_F(DispatchTest, AWrongArgumentCountFailsBeforeAnyArgumentIsRead) {
    // The single argument would also be of the wrong type: the count is checked first.
    const std::vector<std::vector<Var>> wrong = {{}, {Var::text("x")}, {Var::text("x"), Var::integer(1), Var::integer(2)}};
    for (const auto& args : wrong) {
        const Outcome r = tally.call("Repeat", args);
        EXPECT_EQ(r.status, KOR_E_BADPARAMCOUNT) << args.size();
        EXPECT_EQ(r.code, KOR_C_BADPARAMCOUNT);
        EXPECT_EQ(r.description, "Invalid number of parameters");
        EXPECT_EQ(r.source, "Quorvin.KOR.TAutomationObject.DoCall");
        EXPECT_EQ(tally.byName("Repeat", KOR_DISPATCH_METHOD, args, false).status, KOR_C_BADPARAMCOUNT);
    }
    EXPECT_EQ(tally.get("Total").result.v.u.i, 0);
}

TEST_F(DispatchTest, AWrongTypeNamesTheParameterAndTheTypeGiven) {
    const Outcome r = tally.call("Repeat", {Var::text("ab"), Var::text("three")});
    EXPECT_EQ(r.status, KOR_E_TYPEMISMATCH);
    EXPECT_EQ(r.code, KOR_C_TYPEMISMATCH);
    EXPECT_EQ(r.description, "Type mismatch for parameter 2 (String)");
    EXPECT_EQ(tally.call("Repeat", {Var::text("ab"), Var::missing()}).description,
              "Type mismatch for parameter 2 (Missing)");
    EXPECT_EQ(tally.call("Add", {Var::text("1.5x")}).description, "Type mismatch for parameter 1 (String)");
    // Without an exception record the code itself comes back.
    EXPECT_EQ(tally.byName("Repeat", KOR_DISPATCH_METHOD, {Var::text("ab"), Var::text("x")}, false).status,
              KOR_C_TYPEMISMATCH);
    EXPECT_EQ(kortest::lastRecord().description, "Type mismatch for parameter 2 (String)");
}

TEST_F(DispatchTest, AComponentFailureIsAnExceptionWithItsOwnRecord) {
    const Outcome r = tally.call("Repeat", {Var::text("ab"), Var::integer(5000)});
    EXPECT_EQ(r.status, KOR_E_EXCEPTION);
    EXPECT_EQ(r.code, 0xC0070057u);
    EXPECT_EQ(r.source, "Tally.Repeat");
    EXPECT_EQ(r.description, "Repeat 0 to 1000 times");
    EXPECT_EQ(tally.byName("Repeat", KOR_DISPATCH_METHOD, {Var::text("ab"), Var::integer(-1)}, false).status,
              0xC0070057u);
}

TEST_F(DispatchTest, UnknownDispidsAreNotFoundForEveryKindOfAccess) {
    struct Case {
        uint32_t flags;
        std::vector<Var> args;
        const char* source;
    };
    const Case cases[] = {
        {KOR_DISPATCH_GET, {}, "Quorvin.KOR.TAutomationObject.DoGetProperty"},
        {KOR_DISPATCH_GET, {Var::integer(0)}, "Quorvin.KOR.TAutomationObject.DoGetProperty"},
        {KOR_DISPATCH_PUT, {Var::integer(1)}, "Quorvin.KOR.TAutomationObject.DoSetProperty"},
        {KOR_DISPATCH_METHOD, {}, "Quorvin.KOR.TAutomationObject.DoCall"},
    };
    for (const auto& c : cases) {
        const Outcome r = tally.invoke(99, c.flags, c.args);
        EXPECT_EQ(r.status, KOR_E_MEMBERNOTFOUND) << c.source;
        EXPECT_EQ(r.code, KOR_C_MEMBERNOTFOUND);
        EXPECT_EQ(r.description, "Member not found: 'Tally.99'");
        EXPECT_EQ(r.source, c.source);
        EXPECT_EQ(tally.invoke(99, c.flags, c.args, false).status, KOR_C_MEMBERNOTFOUND);
    }
    // A read-only property, and a method read as a property, are not found either.
    EXPECT_EQ(tally.put("Total", Var::integer(3)).status, KOR_E_MEMBERNOTFOUND);
    EXPECT_EQ(tally.invoke(payfmt::testing::Tally::kAdd, KOR_DISPATCH_GET).status, KOR_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, IndexedPropertiesWithoutAHandlerGoThroughTheWholeArray) {
    EXPECT_EQ(tally.get("Counts", {Var::integer(3)}).result.v.u.i, 0);
    ASSERT_EQ(tally.byName("Counts", KOR_DISPATCH_PUT, {Var::integer(3), Var::integer(42)}).status, 0u);
    EXPECT_EQ(tally.get("Counts", {Var::integer(3)}).result.v.u.i, 42);
    const Outcome whole = tally.get("Counts");
    ASSERT_EQ(whole.result.v.type, static_cast<uint32_t>(VEXVT_ARRAY));
    ASSERT_EQ(whole.result.v.length, 4u);
    EXPECT_EQ(whole.result.v.u.a[2].u.i, 0);
    EXPECT_EQ(whole.result.v.u.a[3].u.i, 42);
    // Nested arrays take one index per level.
    EXPECT_EQ(tally.get("Grid", {Var::integer(1), Var::integer(0)}).result.v.u.i, 3);
    ASSERT_EQ(tally.byName("Grid", KOR_DISPATCH_PUT, {Var::integer(0), Var::integer(1), Var::text("x")}).status, 0u);
    EXPECT_EQ(tally.get("Grid", {Var::integer(0), Var::integer(1)}).result.str(), "x");
}

TEST_F(DispatchTest, BadIndicesAreRefused) {
    const Outcome outside = tally.get("Counts", {Var::integer(4)});
    EXPECT_EQ(outside.status, KOR_E_BADINDEX);
    EXPECT_EQ(outside.code, KOR_C_BADINDEX);
    EXPECT_EQ(outside.description, "Index 4 out of range 0..3");
    EXPECT_EQ(outside.source, "Quorvin.KOR.TAutomationObject.DoGetIndexedProperty");
    EXPECT_EQ(tally.get("Counts", {Var::integer(-1)}).status, KOR_E_BADINDEX);
    EXPECT_EQ(tally.byName("Counts", KOR_DISPATCH_PUT, {Var::integer(9), Var::integer(1)}).source,
              "Quorvin.KOR.TAutomationObject.DoSetIndexedProperty");
    EXPECT_EQ(tally.get("Counts", {Var::text("two")}).description, "Type mismatch for parameter 1 (String)");
    const Outcome scalar = tally.get("Total", {Var::integer(0)});
    EXPECT_EQ(scalar.status, KOR_E_TYPEMISMATCH);
    EXPECT_EQ(scalar.description, "Member 'Tally.1' has no element at level 1");
    EXPECT_EQ(tally.get("Counts", {Var::integer(0), Var::integer(0)}).status, KOR_E_TYPEMISMATCH);
}

TEST_F(DispatchTest, ConstantsAreReadOnlyValuesOfTheDescriptor) {
    EXPECT_EQ(tally.get("limit").result.v.u.i, 1000);
    EXPECT_EQ(tally.put("Limit", Var::integer(1)).status, KOR_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, NamesResolveWithoutRegardToCase) {
    int32_t dispid = 0;
    ASSERT_EQ(KORGetIDsOfNamesA(tally.get(), "rEpEaT", &dispid), 0u);
    EXPECT_EQ(dispid, payfmt::testing::Tally::kRepeat);
    EXPECT_EQ(KORGetIDsOfNamesA(tally.get(), "Nope", &dispid), KOR_E_UNKNOWNNAME);
    EXPECT_EQ(dispid, -1);
    EXPECT_EQ(kortest::lastRecord().description, "Unknown name: 'Nope'");
    EXPECT_EQ(KORGetIDsOfNamesA(tally.get(), nullptr, &dispid), KOR_E_UNKNOWNNAME);
    EXPECT_EQ(KORGetIDsOfNamesA(tally.get(), "Total", nullptr), VEX_E_POINTER);

    const Outcome r = tally.get("Nope");
    EXPECT_EQ(r.status, KOR_E_MEMBERNOTFOUND);
    EXPECT_EQ(r.code, KOR_C_MEMBERNOTFOUND);
    EXPECT_EQ(r.description, "Member not found: 'Tally.Nope'");
    EXPECT_EQ(r.source, "Quorvin.KOR.TIDispatchImpl.InvokeByName");
    EXPECT_EQ(tally.byName("Nope", kRead, {}, false).status, KOR_C_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, APutNeedsItsValue) {
    const Outcome r = tally.byName("Label", KOR_DISPATCH_PUT, {});
    EXPECT_EQ(r.status, KOR_E_PARAMNOTFOUND);
    EXPECT_EQ(r.code, KOR_C_PARAMNOTFOUND);
    EXPECT_EQ(r.source, "Quorvin.KOR.TIDispatchImpl.Invoke");
    EXPECT_EQ(tally.byName("Label", KOR_DISPATCH_PUT, {}, false).status, KOR_C_PARAMNOTFOUND);
    ASSERT_EQ(tally.put("Label", Var::text("tag")).status, 0u);
    EXPECT_EQ(tally.get("Label").result.str(), "tag");
}

TEST_F(DispatchTest, BadCallsAreRefusedWithTheRecordZeroed) {
    for (uint32_t flags : {0u, 8u, KOR_DISPATCH_PUT | KOR_DISPATCH_GET, KOR_DISPATCH_PUT | KOR_DISPATCH_METHOD}) {
        KOREXCEPINFO e{};
        e.code = 7;  // the record is an out parameter: overwritten, not read
        EXPECT_EQ(KORInvoke(tally.get(), 1, flags, nullptr, 0, nullptr, &e), VEX_E_INVALIDARG) << flags;
        EXPECT_EQ(e.code, 0u);
        EXPECT_EQ(e.description, nullptr);
    }
    EXPECT_EQ(KORInvoke(nullptr, 1, KOR_DISPATCH_GET, nullptr, 0, nullptr, nullptr), VEX_E_POINTER);
    EXPECT_EQ(KORInvoke(tally.get(), 10, KOR_DISPATCH_METHOD, nullptr, 1, nullptr, nullptr), VEX_E_POINTER);
    EXPECT_EQ(KORInvokeByNameA(nullptr, "Total", kRead, nullptr, 0, nullptr, nullptr), VEX_E_POINTER);
}

TEST_F(DispatchTest, AnExceptionRecordIsZeroedAndFilledByEachCall) {
    KOREXCEPINFO e{};
    VEXVARIANT result{};
    EXPECT_EQ(KORInvoke(tally.get(), 99, KOR_DISPATCH_GET, nullptr, 0, &result, &e), KOR_E_MEMBERNOTFOUND);
    EXPECT_STREQ(e.description, "Member not found: 'Tally.99'");
    EXPECT_STREQ(e.help_file, "");
    KORExcepInfoClear(&e);  // the caller releases the texts before reusing the record
    EXPECT_EQ(KORInvoke(tally.get(), 98, KOR_DISPATCH_GET, nullptr, 0, &result, &e), KOR_E_MEMBERNOTFOUND);
    EXPECT_STREQ(e.description, "Member not found: 'Tally.98'");
    KORExcepInfoClear(&e);
    EXPECT_EQ(KORInvoke(tally.get(), 1, KOR_DISPATCH_GET, nullptr, 0, &result, &e), 0u);
    EXPECT_EQ(e.description, nullptr);  // zeroed on success
    EXPECT_EQ(result.u.i, 0);
    // The result is emptied without being read: what it held stays the caller's.
    VEXVarSetStrA(&result, "old", 3);
    VEXVARIANT old = result;
    EXPECT_EQ(KORInvoke(tally.get(), 99, KOR_DISPATCH_GET, nullptr, 0, &result, &e), KOR_E_MEMBERNOTFOUND);
    EXPECT_EQ(result.type, static_cast<uint32_t>(VEXVT_EMPTY));
    EXPECT_STREQ(old.u.s, "old");
    VEXVarClear(&old);
    KORExcepInfoClear(&e);
    KORExcepInfoClear(nullptr);
}

TEST(DispatchCreation, ByAnyRegisteredNameAndWithArgumentChecks) {
    KOROBJ o = nullptr;
    ASSERT_EQ(KORCreateObjectA("quorvin.test.TALLY", nullptr, 0, &o), 0u);
    KORCOMPONENTINFO info{};
    ASSERT_EQ(KORGetComponentInfoA(o, &info), 0u);
    EXPECT_STREQ(info.name, "Tally");  // a class named Tally keeps its name
    EXPECT_STREQ(info.class_name, "Tally");
    EXPECT_EQ(info.member_count, 8u);
    KORMEMBERINFO member{};
    ASSERT_EQ(KORGetMemberInfoA(o, 7, &member), 0u);
    EXPECT_STREQ(member.name, "Limit");
    EXPECT_EQ(member.kind, KOR_MEMBER_CONSTANT);
    EXPECT_EQ(KORGetMemberInfoA(o, 8, &member), VEX_E_BADINDEX);
    EXPECT_EQ(KORRelease(o), 0u);

    const Var arg = Var::integer(1);
    EXPECT_EQ(KORCreateObjectA("Tally", &arg.v, 1, &o), KOR_C_BADPARAMCOUNT);
    EXPECT_EQ(o, nullptr);
    EXPECT_EQ(KORCreateObjectA("Tally", nullptr, 1, &o), VEX_E_POINTER);
    EXPECT_EQ(KORCreateObjectA("Tally", nullptr, 0, nullptr), VEX_E_POINTER);
    EXPECT_EQ(KORCreateObjectA("NoSuchThing", nullptr, 0, &o), VEX_E_CLASSNOTREG);
    EXPECT_EQ(kortest::lastRecord().description, "No component is registered as 'NoSuchThing'");
}

TEST(DispatchCreation, ObjectsThatAreNotComponentsAreRefused) {
    struct NotAComponent : payfmt::RefObject {};
    payfmt::Ref<NotAComponent> plain = payfmt::makeRef<NotAComponent>();
    const KOROBJ handle = payfmt::toHandle(plain.get());
    int32_t dispid = 0;
    EXPECT_EQ(KORGetIDsOfNamesA(handle, "Value", &dispid), VEX_E_INVALIDARG);
    EXPECT_EQ(kortest::lastRecord().description, "The object is not a component");
    KORCOMPONENTINFO info{};
    EXPECT_EQ(KORGetComponentInfoA(handle, &info), VEX_E_INVALIDARG);
    EXPECT_EQ(KORAddRef(handle), 2u);  // counting works on any object
    EXPECT_EQ(KORRelease(handle), 1u);
}

}  // namespace
