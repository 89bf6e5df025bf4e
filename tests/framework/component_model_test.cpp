// The component model: names, class identifiers, descriptors, reference
// counts, monitors, cloning and the error records.
#include <gtest/gtest.h>

#include <stdexcept>
#include <system_error>

#include "framework/class_id.h"
#include "framework/error_record.h"
#include "framework/object_monitor.h"
#include "framework/tally.h"
#include "support/object_registry.h"

namespace payfmt {
namespace {

using testing::Tally;

TEST(ComponentNames, DropTheTOnlyBeforeAnUpperCaseLetter) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"TPFIX", "PFIX"}, {"TGlobalSettings", "GlobalSettings"}, {"Tally", "Tally"}, {"TP8583", "P8583"},
        {"T8583", "T8583"}, {"T", "T"},         {"", ""},         {"Thing", "Thing"},
    };
    for (const auto& [cls, name] : cases) EXPECT_EQ(componentNameOf(cls), name) << cls;
}

TEST(ClassIds, RoundTripInRegistryForm) {
    const auto id = ClassId::parse("E3653435-C7BF-0003-BD9C-87F1EAE8EBA9");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->text(), "e3653435-c7bf-0003-bd9c-87f1eae8eba9");
    EXPECT_FALSE(id->isNull());
    EXPECT_TRUE(ClassId().isNull());
    EXPECT_TRUE(ClassId::parse("00000000-0000-0000-0000-000000000000")->isNull());
    for (std::string_view bad : {"", "e3653435c7bf0003bd9c87f1eae8eba9", "e3653435-c7bf-0003-bd9c-87f1eae8eba",
                                 "e3653435-c7bf-0003-bd9c-87f1eae8ebag", "e3653435+c7bf-0003-bd9c-87f1eae8eba9"})
        EXPECT_FALSE(ClassId::parse(bad)) << bad;
}

TEST(ComponentInfo, DescribesMembersInOrderAndRegistersItsNames) {
    const TKORComponentInfo& info = Tally::info();
    EXPECT_EQ(info.Name(), "Tally");
    EXPECT_EQ(info.ClassName(), "Tally");
    EXPECT_EQ(info.ClassIdText(), "6d1f0c2e-3a47-4b8e-9c15-0e2d7a9b4f31");
    EXPECT_EQ(info.HelpLink(), "payfmt#Tally");
    EXPECT_EQ(info.Description(), "A counter for tests");
    ASSERT_EQ(info.MemberCount(), 8u);
    EXPECT_EQ(info.Member(0).Name(), "Total");
    EXPECT_EQ(info.Member(4).Kind(), MemberKind::Method);
    EXPECT_EQ(info.Member(7).Kind(), MemberKind::Constant);
    EXPECT_EQ(info.FindMember("rePEAT"), &info.Member(5));
    EXPECT_EQ(info.FindMember(Tally::kRepeat)->HelpLink(), "payfmt#Repeat");
    EXPECT_EQ(info.FindMember("Nope"), nullptr);
    EXPECT_EQ(info.FindMember(99), nullptr);
    EXPECT_EQ(info.RegisteredNames(), (std::vector<std::string>{"Tally", "Quorvin.Test.Tally"}));
    EXPECT_TRUE(ObjectRegistry::instance().contains("quorvin.test.tally"));
}

TEST(ComponentInfo, ObjectsWithoutHelpFileHaveNoHelpLink) {
    class Bare final : public TKORComponentInfo {
    public:
        Bare() : TKORComponentInfo(componentClass<Tally>("Tally"), "") {
            AddMethod(1, "Run").Describe("Runs");
            Register();  // no class identifier: stays out of the registry
        }
    };
    const Bare bare;
    EXPECT_EQ(bare.HelpLink(), "");
    EXPECT_EQ(bare.Member(0).HelpLink(), "");
    EXPECT_TRUE(bare.RegisteredNames().empty());
}

TEST(ComponentInfo, RefusesAMalformedClassIdentifier) {
    class Broken final : public TKORComponentInfo {
    public:
        Broken() : TKORComponentInfo(componentClass<Tally>("Tally"), "not-an-id") {}
    };
    try {
        const Broken broken;
        FAIL() << "constructed";
    } catch (const EKORError& e) {
        EXPECT_EQ(e.info().source, "Quorvin.KOR.TKORComponentInfo.Create");
    }
}

TEST(Components, CreationByNameRefusesArgumentsTheClassDoesNotTake) {
    const Variant arg = Variant::integer(1);
    try {
        ObjectRegistry::instance().create("Tally", {&arg, 1});
        FAIL() << "created";
    } catch (const EInvalidParameter& e) {
        EXPECT_EQ(e.code(), KOR_C_BADPARAMCOUNT);
        EXPECT_EQ(e.info().source, "Quorvin.KOR.TComponentDescriptorAdapter.CreateInstance");
    }
}

TEST(Components, CloneIsANewIndependentInstance) {
    const std::size_t before = TAutomationObject::LiveCount();
    Ref<Tally> tally = newComponent<Tally>();
    Variant total;
    std::array args{Variant::integer(5)};
    tally->Call(Tally::kAdd, args, total);
    Ref<TCloneableObject> copy = tally->Clone();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), tally.get());
    EXPECT_EQ(copy->refCount(), 1);
    auto* clone = dynamic_cast<Tally*>(copy.get());
    ASSERT_NE(clone, nullptr);
    clone->GetProperty(Tally::kTotal, total);
    EXPECT_EQ(total.intValue(), 0);  // nothing is copied
    EXPECT_EQ(TAutomationObject::LiveCount(), before + 2);
}

TEST(Components, WithoutInfoCannotBeCloned) {
    class Plain final : public TKORComponent {};
    Ref<Plain> plain = newComponent<Plain>();
    EXPECT_EQ(plain->ClassName(), "TKORComponent");
    try {
        plain->Clone();
        FAIL() << "cloned";
    } catch (const ENotSupported& e) {
        EXPECT_EQ(e.code(), KOR_C_NOTSUPPORTED);
        EXPECT_EQ(e.info().source, "Quorvin.KOR.TCloneableObject.Clone");
    }
}

TEST(Components, AnIndexedPutWithoutAHandlerStoresTheWholeArrayOnce) {
    Ref<Tally> tally = newComponent<Tally>();
    const Variant index = Variant::integer(3);
    tally->SetIndexedProperty(Tally::kCounts, {&index, 1}, Variant::integer(9));
    EXPECT_EQ(tally->countsStores(), 1);
    Variant counts;
    tally->GetProperty(Tally::kCounts, counts);
    ASSERT_EQ(counts.elements().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(counts.elements()[i].intValue(), i == 3 ? 9 : 0) << i;
    Variant element;
    tally->GetIndexedProperty(Tally::kCounts, {&index, 1}, element);
    EXPECT_EQ(element.intValue(), 9);
    EXPECT_EQ(tally->countsStores(), 1);
}

// Counts notifications; optionally touches or keeps the object as it goes.
class Recorder final : public IObjectMonitor {
public:
    enum class OnDestroy { Nothing, TouchReference, KeepReference };
    explicit Recorder(OnDestroy mode = OnDestroy::Nothing) : mode_(mode) { ObjectMonitors::instance().add(this); }
    ~Recorder() { ObjectMonitors::instance().remove(this); }
    void OnCreateObject(TAutomationObject&) override { ++created; }
    void OnDestroyObject(TAutomationObject& o) override {
        ++destroyed;
        if (mode_ == OnDestroy::TouchReference) Ref<TAutomationObject>::share(&o);  // takes and drops one
        if (mode_ == OnDestroy::KeepReference && destroyed == 1) kept = Ref<TAutomationObject>::share(&o);
    }
    int created = 0, destroyed = 0;
    Ref<TAutomationObject> kept;

private:
    OnDestroy mode_;
};

TEST(Monitors, HearOfEveryCreationAndDestruction) {
    Recorder recorder;
    {
        Ref<Tally> a = newComponent<Tally>();
        Ref<TCloneableObject> b = a->Clone();
        EXPECT_EQ(recorder.created, 2);
        EXPECT_EQ(recorder.destroyed, 0);
    }
    EXPECT_EQ(recorder.destroyed, 2);
}

TEST(Monitors, AReferenceTakenAndDroppedDuringDestructionDoesNotDestroyTwice) {
    const std::size_t before = TAutomationObject::LiveCount();
    Recorder recorder(Recorder::OnDestroy::TouchReference);
    newComponent<Tally>();  // released at once
    EXPECT_EQ(recorder.destroyed, 1);
    EXPECT_EQ(TAutomationObject::LiveCount(), before);
}

TEST(Monitors, AReferenceKeptDuringDestructionKeepsTheObject) {
    const std::size_t before = TAutomationObject::LiveCount();
    Recorder recorder(Recorder::OnDestroy::KeepReference);
    newComponent<Tally>();
    ASSERT_TRUE(recorder.kept);
    EXPECT_EQ(TAutomationObject::LiveCount(), before + 1);
    Variant total;
    recorder.kept->GetProperty(Tally::kTotal, total);  // still a live object
    EXPECT_EQ(total.intValue(), 0);
    recorder.kept = nullptr;
    EXPECT_EQ(recorder.destroyed, 2);
    EXPECT_EQ(TAutomationObject::LiveCount(), before);
}

struct RecordCase {
    std::string_view label;
    std::exception_ptr error;
    Status code;
    std::string_view source;
    std::string_view description;
};

TEST(ErrorRecords, EveryKindOfFailureBecomesARecord) {
    const RecordCase cases[] = {
        {"framework", std::make_exception_ptr(EKORError(0xE2060002, "TByteSequence.Set_Value", "Invalid hexadecimal string length")),
         0xE2060002, "TByteSequence.Set_Value", "Invalid hexadecimal string length"},
        {"dispatch", std::make_exception_ptr(EMemberNotFound("TTVR", 99, std::string(kSourceDoGetProperty))),
         0xC0020003, kSourceDoGetProperty, "Member not found: 'TTVR.99'"},
        {"support", std::make_exception_ptr(VexError(VEX_E_INVALIDARG, "VEXVarCast", "Unknown variant type 99")),
         0xC0070057, "VEXVarCast", "Unknown variant type 99"},
        {"system", std::make_exception_ptr(std::system_error(2, std::generic_category(), "open")), 0xC0000002, "", ""},
        {"memory", std::make_exception_ptr(std::bad_alloc()), 0xC007000E, "", "Out of memory"},
        {"other", std::make_exception_ptr(std::runtime_error("boom")), 0xC0000000, "", "boom"},
        {"unknown", std::make_exception_ptr(42), 0xC0000000, "", "Unknown failure"},
    };
    for (const auto& c : cases) {
        const ErrorInfo info = errorRecordOf(c.error);
        EXPECT_EQ(info.code, c.code) << c.label;
        EXPECT_EQ(info.source, c.source) << c.label;
        if (c.label != "system") {
            EXPECT_EQ(info.description, c.description) << c.label;
        }
    }
}

}  // namespace
}  // namespace payfmt
