// The support layer through the public C interface of libpayfmt.so.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "api/api_support.h"

namespace {

using test::bytes;
using test::lastRecord;
using test::Record;

TEST(VexBuffers, HoldAnyByteAndTreatNullAsEmpty) {
    EXPECT_EQ(VEXBufLen(nullptr), 0u);
    EXPECT_EQ(VEXBufData(nullptr), nullptr);
    VEXBUF b = VEXBufAlloc(3, 48);
    EXPECT_EQ(bytes(b), "000");
    const char raw[] = {'A', '\0', 'B'};
    ASSERT_EQ(VEXBufInsert(&b, 1, raw, 3), 0u);
    EXPECT_EQ(bytes(b), std::string("0A\0B00", 6));
    ASSERT_EQ(VEXBufDelete(&b, 0, 2), 0u);
    EXPECT_EQ(bytes(b), std::string("\0B00", 4));
    VEXBUF mid = VEXBufMid(b, 1, 100);
    EXPECT_EQ(bytes(mid), "B00");
    ASSERT_EQ(VEXBufResize(&mid, 5, 'x'), 0u);
    EXPECT_EQ(bytes(mid), "B00xx");
    ASSERT_EQ(VEXBufCopy(&mid, "hello", UINT32_MAX), 0u);
    EXPECT_EQ(bytes(mid), "hello");
    ASSERT_EQ(VEXBufCopy(&mid, nullptr, 0), 0u);
    EXPECT_EQ(mid, nullptr);
    VEXBufClear(&b);
    EXPECT_EQ(b, nullptr);
    VEXBufClear(&b);  // clearing twice is harmless
    VEXBUF grown = nullptr;
    ASSERT_EQ(VEXBufInsert(&grown, 10, "ab", 2), 0u);
    EXPECT_EQ(bytes(grown), "ab");
    VEXBufFree(grown);
}

TEST(VexBuffers, NullPointersAreRefusedWithARecord) {
    EXPECT_EQ(VEXBufCopy(nullptr, "x", 1), VEX_E_POINTER);
    EXPECT_EQ(lastRecord().source, "VEXBufCopy");
    VEXBUF b = nullptr;
    EXPECT_EQ(VEXBufInsert(&b, 0, nullptr, 4), VEX_E_POINTER);
    EXPECT_EQ(VEXStrnToLongA("12", 2, 10, nullptr, nullptr), VEX_E_POINTER);
}

TEST(VexCodecs, HexBase64EdaAndCodePages) {
    VEXBUF out = nullptr;
    uint32_t used = 0;
    ASSERT_EQ(VEXHexStrnToRawA("1234567Z", 8, &out, &used), 0u);
    EXPECT_EQ(used, 7u);
    EXPECT_EQ(bytes(out), "\x12\x34\x56\x70");
    VEXBUF hex = nullptr;
    ASSERT_EQ(VEXRawToHexStrnA(VEXBufData(out), VEXBufLen(out), &hex), 0u);
    EXPECT_EQ(bytes(hex), "12345670");
    VEXBufFree(hex);
    VEXBufClear(&out);  // a caller that reuses an out variable releases it first
    EXPECT_EQ(VEXBase64ToRawA("Zm9v!", 5, &out), VEX_E_FORMAT);
    EXPECT_EQ(lastRecord().description, "Invalid Base64 text");
    ASSERT_EQ(VEXBase64ToRawA("Zm9vYg==", 8, &out), 0u);
    EXPECT_EQ(bytes(out), "foob");
    VEXBufClear(&out);
    ASSERT_EQ(VEXRawToEdaA(reinterpret_cast<const uint8_t*>("a\\\n"), 3, &out), 0u);
    EXPECT_EQ(bytes(out), "a\\5C\\0A");
    VEXBufClear(&out);
    EXPECT_EQ(VEXEdaToRawA("\\5", 2, &out), VEX_E_FORMAT);
    uint8_t text[] = {'A', '1'};
    ASSERT_EQ(VEXStrnConvertA(text, 2, VEX_CONV_LATIN1_TO_CP500, nullptr), 0u);
    EXPECT_EQ(text[0], 0xC1);
    EXPECT_EQ(text[1], 0xF1);
    ASSERT_EQ(VEXStrnConvertA(text, 2, VEX_CONV_CP500_TO_LATIN1, nullptr), 0u);
    EXPECT_EQ(text[0], 'A');
    EXPECT_EQ(VEXStrnConvertA(text, 2, 9, nullptr), VEX_E_INVALIDARG);
    EXPECT_EQ(VEXStrnSearchA(reinterpret_cast<const uint8_t*>("ab\r\ncd"), 6, reinterpret_cast<const uint8_t*>("\r\n"), 2), 2);
    EXPECT_EQ(VEXStrnSearchA(reinterpret_cast<const uint8_t*>("ab"), 2, reinterpret_cast<const uint8_t*>("x"), 1), -1);
    VEXBufFree(out);
}

TEST(VexCodecs, NumberReadingReportsWhereItStopped) {
    uint32_t pos = 1;
    int32_t value = 0;
    ASSERT_EQ(VEXStrnToLongA("x-42y", 5, 10, &pos, &value), 0u);
    EXPECT_EQ(value, -42);
    EXPECT_EQ(pos, 4u);
    pos = 0;
    EXPECT_EQ(VEXStrnToLongA("99999999999", 11, 10, &pos, &value), VEX_E_OVERFLOW);
    pos = 0;
    EXPECT_EQ(VEXStrnToLongA("-5", 2, 16, &pos, &value), VEX_E_FORMAT);
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(lastRecord().description, "No digits to read");
    EXPECT_EQ(VEXStrnToLongA("12", 2, 37, &pos, &value), VEX_E_INVALIDARG);
    EXPECT_EQ(lastRecord().description, "Base 37 is not from 2 to 36");
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(value, -42);  // written only on success
}

TEST(VexVariants, NotationCastCompareAndArrays) {
    VEXVARIANT v, w;
    VEXVarInit(&v);
    VEXVarInit(&w);
    const char* args = "\"#00\",2)";
    uint32_t pos = 0;
    ASSERT_EQ(VEXVarFromTextA(args, 8, &pos, 0x300, &v), 0u);
    EXPECT_TRUE(VEXVarIsStr(&v));
    EXPECT_EQ(std::string(v.u.s, v.length), "#00");
    EXPECT_EQ(pos, 5u);
    ASSERT_EQ(VEXVarFromTextA(args, 8, &++pos, 0x300, &w), 0u);
    EXPECT_EQ(w.type, static_cast<uint32_t>(VEXVT_INT));
    EXPECT_EQ(w.u.i, 2);
    EXPECT_EQ(pos, 7u);
    VEXVARIANT none;
    EXPECT_EQ(VEXVarFromTextA(args, 8, &pos, 0x300, &none), VEX_E_FORMAT);
    EXPECT_TRUE(VEXVarIsEmpty(&none));

    ASSERT_EQ(VEXVarCast(&v, &w, VEXVT_STRING), 0u);
    EXPECT_STREQ(v.u.s, "2");
    EXPECT_STREQ(VEXVarTypeNameA(&v), "String");
    int32_t cmp = 9;
    ASSERT_EQ(VEXVarComp(&v, &w, &cmp), 0u);
    EXPECT_EQ(cmp, 0);
    VEXVarSetBlob(&v, reinterpret_cast<const uint8_t*>("\0\1"), 2);
    EXPECT_EQ(VEXVarCast(&w, &v, VEXVT_INT), VEX_E_TYPE);
    EXPECT_EQ(lastRecord().description, "Cannot convert Blob to Integer");

    ASSERT_EQ(VEXVarSetArray(&w, 3), 0u);
    ASSERT_EQ(VEXVarArrayPut(&w, 2, &v), 0u);
    VEXVARIANT e;
    VEXVarInit(&e);
    ASSERT_EQ(VEXVarArrayGet(&w, 2, &e), 0u);
    EXPECT_TRUE(VEXVarIsBlob(&e));
    VEXVarClear(&e);
    EXPECT_EQ(VEXVarArrayGet(&w, 3, &e), VEX_E_BADINDEX);
    EXPECT_EQ(VEXVarArrayGet(&v, 0, &e), VEX_E_TYPE);
    VEXVarSetMissing(&e);
    EXPECT_TRUE(VEXVarIsMissing(&e));
    VEXBUF text = nullptr;
    VEXVarSetStrA(&e, "a\"b", UINT32_MAX);
    ASSERT_EQ(VEXVarToTextA(&e, VEX_TEXT_NOTATION, &text), 0u);
    EXPECT_EQ(bytes(text), "\"a\"\"b\"");
    VEXBufFree(text);
    VEXVarClear(&v);
    VEXVarClear(&w);
    VEXVarClear(&e);
    EXPECT_TRUE(VEXVarIsEmpty(&v));
}

TEST(VexProps, NamedItemsAndText) {
    VEXPROPS p = VEXPropsCreate();
    VEXVARIANT v;
    VEXVarInit(&v);
    VEXVarSetInt(&v, 5);
    ASSERT_EQ(VEXPropsEditNamedItemA(p, "Length", &v), 0u);
    VEXVarSetStrA(&v, "FIX(2)", UINT32_MAX);
    ASSERT_EQ(VEXPropsEditNamedItemA(p, "IFO", &v), 0u);
    EXPECT_EQ(VEXPropsCount(p), 2u);
    VEXVarClear(&v);
    ASSERT_EQ(VEXPropsNamedItemA(p, "length", &v), 0u);
    EXPECT_EQ(v.u.i, 5);
    EXPECT_EQ(VEXPropsNamedItemA(p, "Tag", &v), VEX_E_NOTFOUND);
    VEXBUF text = nullptr;
    ASSERT_EQ(VEXPropsToTextA(p, &text), 0u);
    EXPECT_EQ(bytes(text), "Length=5;IFO=\"FIX(2)\"");
    VEXPROPS q = VEXPropsCreate();
    ASSERT_EQ(VEXPropsFromTextA(q, "IFO=\"X\";Tag=7"), 0u);
    ASSERT_EQ(VEXPropsMerge(p, q), 0u);
    VEXBufClear(&text);
    ASSERT_EQ(VEXPropsToTextA(p, &text), 0u);
    EXPECT_EQ(bytes(text), "Length=5;IFO=\"X\";Tag=7");
    EXPECT_EQ(VEXPropsFromTextA(q, "broken"), VEX_E_FORMAT);
    ASSERT_EQ(VEXPropsRemoveNamedItemA(p, "ifo"), 0u);
    EXPECT_EQ(VEXPropsCount(p), 2u);
    EXPECT_EQ(VEXPropsNamedItemA(nullptr, "x", &v), VEX_E_POINTER);
    VEXBufFree(text);
    VEXVarClear(&v);
    VEXPropsFree(p);
    VEXPropsFree(q);
}

TEST(VexTrees, StaleHandlesAreRefusedEverywhere) {
    const uint32_t before = VEXTreeNodeCount();
    VEXNODE root = VEXTreeCreateNode("root", VEX_NODE_GROUP);
    VEXNODE leaf = VEXTreeCreateNode("leaf", 0);
    ASSERT_EQ(VEXTreeAddChild(root, leaf, -1), 0u);
    ASSERT_EQ(VEXTreeDeleteNode(root, -1), 0u);
    EXPECT_EQ(VEXTreeNodeCount(), before);
    EXPECT_FALSE(VEXTreeIsNode(leaf));
    uint32_t n = 0;
    EXPECT_EQ(VEXTreeChildCount(leaf, &n), VEX_E_HANDLE);
    const Record r = lastRecord();
    EXPECT_EQ(r.code, VEX_E_HANDLE);
    EXPECT_EQ(r.description, "Invalid tree node handle " + std::to_string(leaf));
    EXPECT_EQ(VEXTreeGetChild(root, 0), 0u);
    EXPECT_EQ(VEXTreeCopy(leaf, -1), 0u);
    EXPECT_EQ(VEXTreeSetNodeName(leaf, "x"), VEX_E_HANDLE);
    EXPECT_EQ(VEXTreeDeleteNode(leaf, -1), VEX_E_HANDLE);
    VEXPROPS p = nullptr;
    EXPECT_EQ(VEXTreeGetNodeProps(12345678, &p), VEX_E_HANDLE);
    EXPECT_EQ(p, nullptr);
}

TEST(VexTrees, PropertiesAreCopiedOutAndWrittenBack) {
    VEXNODE node = VEXTreeCreateNode("f", 0);
    VEXPROPS p = nullptr;
    ASSERT_EQ(VEXTreeGetNodeProps(node, &p), 0u);
    VEXVARIANT v;
    VEXVarInit(&v);
    VEXVarSetStrA(&v, "FIX(2)", UINT32_MAX);
    VEXPropsEditNamedItemA(p, "IFO", &v);
    VEXVarClear(&v);
    EXPECT_EQ(VEXTreeGetPropA(node, "IFO", &v), VEX_E_NOTFOUND);  // only a copy changed
    ASSERT_EQ(VEXTreeSetNodeProps(node, p), 0u);
    ASSERT_EQ(VEXTreeGetPropA(node, "ifo", &v), 0u);
    EXPECT_STREQ(v.u.s, "FIX(2)");
    VEXVarClear(&v);
    VEXBUF json = nullptr;
    ASSERT_EQ(VEXTreeToJsonA(node, &json), 0u);
    VEXNODE again = 0;
    ASSERT_EQ(VEXTreeFromJsonA(reinterpret_cast<const char*>(VEXBufData(json)), VEXBufLen(json), &again), 0u);
    ASSERT_EQ(VEXTreeGetPropA(again, "IFO", &v), 0u);
    EXPECT_STREQ(v.u.s, "FIX(2)");
    VEXBUF name = nullptr;
    ASSERT_EQ(VEXTreeGetNodeName(again, &name), 0u);
    EXPECT_EQ(bytes(name), "f");
    ASSERT_EQ(VEXTreeDeleteNode(again, -1), 0u);
    EXPECT_EQ(VEXTreeFromJsonA("{", 1, &again), VEX_E_FORMAT);
    EXPECT_EQ(VEXTreeLoadA("/nonexistent/tree.json", &again), VEX_E_FILE);
    EXPECT_EQ(again, 0u);
    VEXBufFree(name);
    VEXBufFree(json);
    VEXVarClear(&v);
    VEXPropsFree(p);
    VEXTreeDeleteNode(node, -1);
}

TEST(KorErrorInfo, RecordsArePerThreadAndCopied) {
    KORERRINFO info = KORCreateErrorInfoA(0xE2060001, "ApplyOperator", "(E2060001) FOO: operator not found", nullptr, 0);
    KORSetErrorInfo(info);
    KORFreeErrorInfo(info);
    Record r = lastRecord();
    EXPECT_EQ(r.code, 0xE2060001u);
    EXPECT_EQ(r.source, "ApplyOperator");
    Record other;
    std::thread([&] { other = lastRecord(); }).join();
    EXPECT_EQ(other.code, 0u);
    KORSetErrorInfo(nullptr);
    KORERRINFO none = reinterpret_cast<KORERRINFO>(1);
    EXPECT_EQ(KORGetErrorInfo(&none), 1u);
    EXPECT_EQ(none, nullptr);
}

}  // namespace
