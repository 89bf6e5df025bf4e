// Out parameters through libpayfmt.so: every export writes its result, or
// null / an empty variant / a zeroed record, without reading or freeing what
// the caller's variable held. The variables start as poison (a pointer that
// must never be followed or freed) or as a value already released, so that
// AddressSanitizer stops any export that looks at them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "api/kor_host.h"

namespace {

using kortest::Obj;
using kortest::Var;
using test::bytes;
using namespace std::string_view_literals;

constexpr uint32_t kCannotFail = 0;  // the export has no failure to call it with
constexpr VEXNODE kStale = 0x7FFFFFF0;

const VEXBUF kPoisonBuffer = reinterpret_cast<VEXBUF>(0x1);

// A string variant whose text pointer must never be freed or read.
VEXVARIANT poisonVariant() {
    VEXVARIANT v;
    v.type = VEXVT_STRING;
    v.length = 5;
    v.u.s = reinterpret_cast<char*>(0x1);
    return v;
}

// The variant's value in the text notation ("<none>" when it has none).
std::string notation(const VEXVARIANT& v) {
    VEXBUF text = nullptr;
    if (VEXVarToTextA(&v, VEX_TEXT_NOTATION, &text) != 0) return "<none>";
    std::string s = bytes(text);
    VEXBufFree(text);
    return s;
}

std::string formatErrorText(bool detailed) {
    VEXBUF text = kPoisonBuffer;
    if (FormatErrorTextA(detailed, &text) != 0) return "<failed>";
    std::string s = text ? bytes(text) : "<null>";
    VEXBufFree(text);
    return s;
}

constexpr const char* kRecord =
    R"j({"name":"rec","group":true,"children":[{"name":"a","props":{"IFO":"FIX(2)","Value":{"blob":"4142"}}}]})j";

TEST(OutParameters, FormatErrorTextNeverReadsWhatTheVariableHeld) {
    test::formatInput("12", "FOO");
    VEXBUF text = kPoisonBuffer;  // never set
    ASSERT_EQ(FormatErrorTextA(0, &text), 0u);
    EXPECT_EQ(bytes(text), "(E2060001) FOO: operator not found");
    VEXBufFree(text);  // text still holds the freed buffer
    ASSERT_EQ(FormatErrorTextA(1, &text), 0u);
    EXPECT_EQ(bytes(text), "(E2060001) FOO: operator not found\r\n");
    VEXBufFree(text);

    test::formatInput("12", "FIX(2)");  // nothing reported: no text
    text = kPoisonBuffer;
    ASSERT_EQ(FormatErrorTextA(1, &text), 0u);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(FormatErrorTextA(1, nullptr), VEX_E_POINTER);
}

// One export with a VEXBUF result: called to succeed, then to fail.
struct BufferCase {
    const char* name;
    uint32_t (*call)(VEXBUF* out, bool succeed);
    std::optional<std::string_view> produced;  // the bytes of the success; none: no buffer
    uint32_t failure;      // status of the failing call
};

const BufferCase kBufferCases[] = {
    {"FormatInputA", [](VEXBUF* o, bool ok) { return FormatInputA("12", ok ? "FIX(2).DEC2RAW" : "FOO", o, 0); },
     "#0C", 0xE2060001},
    {"FormatOutputA", [](VEXBUF* o, bool ok) { return FormatOutputA(ok ? "#0C" : "#G0", "RAW2DEC", o, 0); }, "12",
     0xE2060029},
    {"FormatIStrToRawA",
     [](VEXBUF* o, bool ok) { return static_cast<uint32_t>(FormatIStrToRawA(ok ? "A#00" : "#G0", o)); },
     "A\0"sv, 0xE2060029},
    {"FormatTGetA",
     [](VEXBUF* o, bool ok) {
         const test::Tree tree(kRecord);
         return FormatTGetA(ok ? tree.get() : kStale, nullptr, "Value", o, nullptr);
     },
     "AB", VEX_E_HANDLE},
    {"CFormatRawToIStr",
     [](VEXBUF* o, bool) {
         VEXBUF raw = VEXBufAlloc(1, 0x0D);
         CFormatRawToIStr(raw, o);
         VEXBufFree(raw);
         return 0u;
     },
     "#0D", kCannotFail},
    {"VEXHexStrnToRawA", [](VEXBUF* o, bool ok) { return VEXHexStrnToRawA(ok ? "4142" : nullptr, 4, o, nullptr); },
     "AB", VEX_E_POINTER},
    {"VEXRawToHexStrnA",
     [](VEXBUF* o, bool ok) {
         return VEXRawToHexStrnA(ok ? reinterpret_cast<const uint8_t*>("\xAB") : nullptr, 1, o);
     },
     "AB", VEX_E_POINTER},
    {"VEXBase64ToRawA", [](VEXBUF* o, bool ok) { return VEXBase64ToRawA(ok ? "QUI=" : "QU!=", 4, o); }, "AB",
     VEX_E_FORMAT},
    {"VEXRawToBase64A",
     [](VEXBUF* o, bool ok) { return VEXRawToBase64A(ok ? reinterpret_cast<const uint8_t*>("AB") : nullptr, 2, o); },
     "QUI=", VEX_E_POINTER},
    {"VEXEdaToRawA", [](VEXBUF* o, bool ok) { return VEXEdaToRawA(ok ? "A\\0D" : "A\\0", 4 - !ok, o); }, "A\r",
     VEX_E_FORMAT},
    {"VEXRawToEdaA",
     [](VEXBUF* o, bool ok) { return VEXRawToEdaA(ok ? reinterpret_cast<const uint8_t*>("A\r") : nullptr, 2, o); },
     "A\\0D", VEX_E_POINTER},
    {"VEXHexStrnToRawA with nothing to read", [](VEXBUF* o, bool) { return VEXHexStrnToRawA("", 0, o, nullptr); },
     std::nullopt, kCannotFail},
    {"VEXTreeGetNodeName",
     [](VEXBUF* o, bool ok) {
         const test::Tree tree(kRecord);
         return VEXTreeGetNodeName(ok ? tree.get() : kStale, o);
     },
     "rec", VEX_E_HANDLE},
    {"VEXTreeToJsonA",
     [](VEXBUF* o, bool ok) {
         const test::Tree tree(R"j({"name":"f"})j");
         return VEXTreeToJsonA(ok ? tree.get() : kStale, o);
     },
     "{\n  \"name\": \"f\",\n  \"group\": false\n}", VEX_E_HANDLE},
    {"VEXPropsToTextA",
     [](VEXBUF* o, bool ok) {
         VEXPROPS p = ok ? VEXPropsCreate() : nullptr;
         if (p) VEXPropsFromTextA(p, "A=1");
         const uint32_t status = VEXPropsToTextA(p, o);
         VEXPropsFree(p);
         return status;
     },
     "A=1", VEX_E_POINTER},
    {"VEXVarToTextA",
     [](VEXBUF* o, bool ok) {
         Var v = Var::integer(42);
         if (!ok) VEXVarSetNull(&v.v);
         return VEXVarToTextA(&v.v, VEX_TEXT_PLAIN, o);
     },
     "42", VEX_E_TYPE},
};

TEST(OutParameters, BufferResultsAreWrittenWithoutReadingTheVariable) {
    for (const BufferCase& c : kBufferCases) {
        VEXBUF out = kPoisonBuffer;
        EXPECT_EQ(c.call(&out, true), 0u) << c.name;
        if (c.produced) {
            EXPECT_NE(out, nullptr) << c.name;
            EXPECT_EQ(bytes(out), *c.produced) << c.name;
        } else {
            EXPECT_EQ(out, nullptr) << c.name;
        }
        VEXBufFree(out);  // out now holds a released buffer
        if (c.failure == kCannotFail) continue;
        EXPECT_EQ(c.call(&out, false), c.failure) << c.name;
        EXPECT_EQ(out, nullptr) << c.name;
    }
}

// One export with a VEXVARIANT result: called to succeed, then to fail.
struct VariantCase {
    const char* name;
    uint32_t (*call)(VEXVARIANT* out, bool succeed);
    const char* produced;  // the success's value in the text notation
    uint32_t failure;      // status of the failing call
};

// A list {A=1, B="x"}, released when the call is done.
struct Props {
    VEXPROPS p = VEXPropsCreate();
    Props() { VEXPropsFromTextA(p, "A=1;B=\"x\""); }
    ~Props() { VEXPropsFree(p); }
};

const VariantCase kVariantCases[] = {
    {"KORInvoke",
     [](VEXVARIANT* o, bool ok) {
         const Obj tvr = Obj::create("TVR");
         int32_t value = -1;
         KORGetIDsOfNamesA(tvr.get(), "Value", &value);
         return KORInvoke(tvr.get(), ok ? value : 9999, KOR_DISPATCH_GET, nullptr, 0, o, nullptr);
     },
     "\"0000000000\"", KOR_C_MEMBERNOTFOUND},
    {"KORInvokeByNameA",
     [](VEXVARIANT* o, bool ok) {
         const Obj tvr = Obj::create("TVR");
         return KORInvokeByNameA(tvr.get(), ok ? "value" : "NoSuchMember", KOR_DISPATCH_GET, nullptr, 0, o, nullptr);
     },
     "\"0000000000\"", KOR_C_MEMBERNOTFOUND},
    {"VEXPropsNamedItemA", [](VEXVARIANT* o, bool ok) { return VEXPropsNamedItemA(Props().p, ok ? "b" : "C", o); },
     "\"x\"", VEX_E_NOTFOUND},
    {"VEXPropsItemA", [](VEXVARIANT* o, bool ok) { return VEXPropsItemA(Props().p, ok ? 1 : 2, nullptr, o); },
     "\"x\"", VEX_E_BADINDEX},
    {"VEXTreeGetPropA",
     [](VEXVARIANT* o, bool ok) {
         const test::Tree tree(kRecord);
         return VEXTreeGetPropA(VEXTreeGetChild(tree.get(), 0), ok ? "IFO" : "OFO", o);
     },
     "\"FIX(2)\"", VEX_E_NOTFOUND},
    {"VEXVarArrayGet",
     [](VEXVARIANT* o, bool ok) {
         Var array;
         VEXVarSetArray(&array.v, 2);
         const Var seven = Var::integer(7);
         VEXVarArrayPut(&array.v, 1, &seven.v);
         return VEXVarArrayGet(&array.v, ok ? 1 : 2, o);
     },
     "7", VEX_E_BADINDEX},
    {"VEXVarFromTextA",
     [](VEXVARIANT* o, bool ok) {
         uint32_t pos = 0;
         return VEXVarFromTextA(ok ? " \"ab\" " : " ) ", 6 - 2 * !ok, &pos, 0, o);
     },
     "\"ab\"", VEX_E_FORMAT},
    {"FormatRawToIStrA",
     [](VEXVARIANT* o, bool) {
         const Var raw = Var::text(std::string_view("A\0", 2));
         return static_cast<uint32_t>(FormatRawToIStrA(&raw.v, o));
     },
     "\"A#00\"", kCannotFail},
};

TEST(OutParameters, VariantResultsAreWrittenWithoutReadingTheVariable) {
    for (const VariantCase& c : kVariantCases) {
        VEXVARIANT out = poisonVariant();
        EXPECT_EQ(c.call(&out, true), 0u) << c.name;
        EXPECT_EQ(notation(out), c.produced) << c.name;
        const VEXVARIANT released = out;
        VEXVarClear(&out);
        out = released;  // what a host holds after releasing a copy
        if (c.failure == kCannotFail) continue;
        EXPECT_EQ(c.call(&out, false), c.failure) << c.name;
        EXPECT_EQ(out.type, static_cast<uint32_t>(VEXVT_EMPTY)) << c.name;
        EXPECT_EQ(out.length, 0u) << c.name;
    }
}

TEST(OutParameters, HandlesAreWrittenWithoutReadingTheVariable) {
    KOROBJ obj = reinterpret_cast<KOROBJ>(0x1);
    ASSERT_EQ(KORCreateObjectA("TVR", nullptr, 0, &obj), 0u);
    EXPECT_EQ(Obj(obj).get("Value").result.str(), "0000000000");  // released here
    EXPECT_EQ(KORCreateObjectA("NoSuchComponent", nullptr, 0, &obj), VEX_E_CLASSNOTREG);
    EXPECT_EQ(obj, nullptr);
    for (auto handOut : {GetDefaultParser, GetFormatRef}) {
        obj = reinterpret_cast<KOROBJ>(0x1);
        ASSERT_EQ(handOut(&obj), 0);
        EXPECT_NE(obj, nullptr);
        KORRelease(obj);
    }

    const test::Tree tree(kRecord);
    VEXPROPS props = reinterpret_cast<VEXPROPS>(0x1);
    ASSERT_EQ(VEXTreeGetNodeProps(VEXTreeGetChild(tree.get(), 0), &props), 0u);
    EXPECT_EQ(VEXPropsCount(props), 2u);
    VEXPropsFree(props);
    EXPECT_EQ(VEXTreeGetNodeProps(kStale, &props), VEX_E_HANDLE);
    EXPECT_EQ(props, nullptr);

    const std::string path = (std::filesystem::temp_directory_path() / "payfmt_out_params.json").string();
    ASSERT_EQ(VEXTreeSaveA(tree.get(), path.c_str()), 0u);
    VEXNODE node = kStale;
    ASSERT_EQ(VEXTreeLoadA(path.c_str(), &node), 0u);
    const test::Tree loaded(node);
    EXPECT_EQ(loaded.json(), tree.json());
    std::remove(path.c_str());
    EXPECT_EQ(VEXTreeLoadA(path.c_str(), &node), VEX_E_FILE);
    EXPECT_EQ(node, 0u);
    node = kStale;
    EXPECT_EQ(VEXTreeFromJsonA("[", 1, &node), VEX_E_FORMAT);
    EXPECT_EQ(node, 0u);

    const char* name = reinterpret_cast<const char*>(0x1);
    VEXVARIANT value = poisonVariant();
    EXPECT_EQ(VEXPropsItemA(props = VEXPropsCreate(), 0, &name, &value), VEX_E_BADINDEX);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(value.type, static_cast<uint32_t>(VEXVT_EMPTY));
    VEXPropsFree(props);
}

TEST(OutParameters, ErrorAndExceptionRecordsAreWrittenWithoutReadingTheVariable) {
    test::formatInput("12", "FOO");
    KORERRINFO info = reinterpret_cast<KORERRINFO>(0x1);
    ASSERT_EQ(KORGetErrorInfo(&info), 0u);
    EXPECT_EQ(KORErrorInfoCode(info), 0xE2060001u);
    KORFreeErrorInfo(info);
    test::formatInput("12", "FIX(2)");
    EXPECT_EQ(KORGetErrorInfo(&info), 1u);  // no record: info was freed, now null
    EXPECT_EQ(info, nullptr);

    const Obj tvr = Obj::create("TVR");
    const KOREXCEPINFO poison{0xDEADBEEF, reinterpret_cast<char*>(0x1), reinterpret_cast<char*>(0x1),
                              reinterpret_cast<char*>(0x1), 7};
    KOREXCEPINFO excep = poison;
    Var result;
    ASSERT_EQ(KORInvokeByNameA(tvr.get(), "Value", KOR_DISPATCH_GET, nullptr, 0, &result.v, &excep), 0u);
    EXPECT_EQ(excep.code, 0u);
    EXPECT_EQ(excep.source, nullptr);
    EXPECT_EQ(excep.description, nullptr);
    EXPECT_EQ(excep.help_file, nullptr);
    EXPECT_EQ(excep.help_context, 0u);
    excep = poison;
    EXPECT_EQ(KORInvokeByNameA(tvr.get(), "Nothing", KOR_DISPATCH_GET, nullptr, 0, nullptr, &excep),
              KOR_E_MEMBERNOTFOUND);
    EXPECT_EQ(excep.code, KOR_C_MEMBERNOTFOUND);
    EXPECT_STREQ(excep.source, "Quorvin.KOR.TIDispatchImpl.InvokeByName");
    KORExcepInfoClear(&excep);
    // Refused before the component is even looked at: still written.
    excep = poison;
    EXPECT_EQ(KORInvoke(nullptr, 0, KOR_DISPATCH_GET, nullptr, 0, nullptr, &excep), VEX_E_POINTER);
    EXPECT_EQ(excep.source, nullptr);

    KORMEMBERINFO member;
    member.name = reinterpret_cast<const char*>(0x1);
    EXPECT_EQ(KORGetMemberInfoA(tvr.get(), 999, &member), VEX_E_BADINDEX);
    EXPECT_EQ(member.name, nullptr);
    KORCOMPONENTINFO component;
    component.name = reinterpret_cast<const char*>(0x1);
    EXPECT_EQ(KORGetComponentInfoA(nullptr, &component), VEX_E_POINTER);
    EXPECT_EQ(component.name, nullptr);
}

TEST(OutParameters, RawToIStrLeavesTheResultOfOtherValuesUnread) {
    const Var number = Var::integer(5);
    VEXVARIANT result = poisonVariant();
    EXPECT_EQ(FormatRawToIStrA(&number.v, &result), 0);
    EXPECT_EQ(result.type, static_cast<uint32_t>(VEXVT_STRING));
    EXPECT_EQ(result.u.s, reinterpret_cast<char*>(0x1));
}

// An out variant that is also an input of the call would lose the input when
// emptied first: refused, with the input left whole.
TEST(OutParameters, AnOutVariantThatIsAlsoAnInputIsRefused) {
    Var text = Var::text("AB");
    EXPECT_EQ(static_cast<uint32_t>(FormatRawToIStrA(&text.v, &text.v)), VEX_E_INVALIDARG);
    EXPECT_EQ(test::lastRecord().description, "result must not be value");
    EXPECT_EQ(text.str(), "AB");

    Var array;
    VEXVarSetArray(&array.v, 1);
    EXPECT_EQ(VEXVarArrayGet(&array.v, 0, &array.v), VEX_E_INVALIDARG);
    EXPECT_EQ(array.typeName(), "Array");

    const Obj tvr = Obj::create("TVR");
    Var args[2] = {Var::text("4000000000"), Var::text("8000000000")};
    EXPECT_EQ(KORInvokeByNameA(tvr.get(), "Value", KOR_DISPATCH_PUT, &args[0].v, 2, &args[1].v, nullptr),
              VEX_E_INVALIDARG);
    EXPECT_EQ(test::lastRecord().description, "result must not be one of args");
    EXPECT_EQ(args[1].str(), "8000000000");
    EXPECT_EQ(tvr.get("Value").result.str(), "0000000000");  // not called
    // Just past the arguments is not one of them.
    VEXVarClear(&args[1].v);
    EXPECT_EQ(KORInvokeByNameA(tvr.get(), "Value", KOR_DISPATCH_PUT, &args[0].v, 1, &args[1].v, nullptr), 0u);
    EXPECT_EQ(args[1].typeName(), "Empty");
    EXPECT_EQ(tvr.get("Value").result.str(), "4000000000");
}

// The format error context is per thread: one thread's failing call and
// another's succeeding call neither hide nor mix each other's reports.
TEST(OutParameters, EachThreadReadsTheTextOfItsOwnCalls) {
    std::promise<void> firstFailed, secondDone;
    std::string first, secondClean, secondFailed;
    std::thread a([&] {
        test::formatInput("12", "FOO");
        firstFailed.set_value();
        secondDone.get_future().wait();  // the other thread has called since
        first = formatErrorText(true);
    });
    std::thread b([&] {
        firstFailed.get_future().wait();
        secondClean = formatErrorText(true);  // no call of its own yet
        test::formatInput("12", "FIX(2)");
        secondClean += "|" + formatErrorText(true);
        test::formatInput("#G0", "NONE");
        secondFailed = formatErrorText(false);
        secondDone.set_value();
    });
    a.join();
    b.join();
    EXPECT_EQ(first, "(E2060001) FOO: operator not found\r\n");
    EXPECT_EQ(secondClean, "<null>|<null>");
    EXPECT_EQ(secondFailed, "(E2060029) IStrToRaw: data must be hexadecimal");
}

}  // namespace
