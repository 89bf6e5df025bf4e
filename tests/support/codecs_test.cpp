#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/base64.h"
#include "support/codepage.h"
#include "support/eda.h"
#include "support/hex.h"
#include "support/number.h"

namespace payfmt {
namespace {

TEST(Hex, ReadsBothCasesAndStopsAtFirstNonDigit) {
    struct Case {
        std::string text;
        std::size_t used;
        Bytes raw;
    } cases[] = {
        {"", 0, ""},
        {"0aFf", 4, "\x0a\xff"},
        {"1234567", 7, "\x12\x34\x56\x70"},  // odd digit fills a high nibble
        {"12G4", 2, "\x12"},
        {"G", 0, ""},
        {std::string("00\0" "11", 5), 2, std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        Bytes out;
        EXPECT_EQ(hexToRaw(c.text, out), c.used) << c.text;
        EXPECT_EQ(out, c.raw) << c.text;
    }
}

TEST(Hex, WritesUpperCaseTwoDigitsPerByte) {
    EXPECT_EQ(rawToHex(std::string("\x00\xab\x7f", 3)), "00AB7F");
    EXPECT_EQ(rawToHex(""), "");
}

TEST(Base64, EncodesRfc4648Vectors) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [raw, text] : vectors) {
        EXPECT_EQ(rawToBase64(raw), text);
        EXPECT_EQ(base64ToRaw(text), raw);
    }
}

TEST(Base64, RefusesMalformedText) {
    for (std::string bad : {"Z", "Zg=a", "Zm9v!", "=Zg=", "Zg===", "Zm9vY"}) EXPECT_FALSE(base64ToRaw(bad)) << bad;
    EXPECT_EQ(base64ToRaw("Zg"), "f");  // unpadded final group
}

TEST(Base64, AllBytesRoundTrip) {
    Bytes all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (std::size_t n = 0; n <= all.size(); n += 37) EXPECT_EQ(base64ToRaw(rawToBase64(all.substr(0, n))), all.substr(0, n));
}

TEST(Eda, EscapesBackslashAndNonPrintables) {
    EXPECT_EQ(rawToEda(std::string("A\\\x00~\x7f", 5)), "A\\5C\\00~\\7F");
    Bytes all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(edaToRaw(rawToEda(all)), all);
    EXPECT_EQ(edaToRaw("\\4a"), "J");
    for (std::string bad : {"\\", "\\4", "\\G0", "ab\\0"}) EXPECT_FALSE(edaToRaw(bad)) << bad;
}

TEST(Number, ReadsSignedDecimalAndOtherBases) {
    struct Case {
        std::string text;
        std::size_t pos;
        unsigned base;
        Status status;
        std::int32_t value;
        std::size_t end;
    } cases[] = {
        {"123", 0, 10, 0, 123, 3},
        {"-5", 0, 10, 0, -5, 2},
        {"12a", 0, 10, 0, 12, 2},
        {"x42", 1, 10, 0, 42, 3},
        {"+5", 0, 10, VEX_E_FORMAT, 0, 0},
        {" 5", 0, 10, VEX_E_FORMAT, 0, 0},
        {"-", 0, 10, VEX_E_FORMAT, 0, 0},
        {"-1F", 0, 16, VEX_E_FORMAT, 0, 0},  // no sign outside base 10
        {"1fZ", 0, 16, 0, 31, 2},
        {"2147483647", 0, 10, 0, 2147483647, 10},
        {"-2147483648", 0, 10, 0, INT32_MIN, 11},
        {"2147483648", 0, 10, VEX_E_OVERFLOW, 0, 10},
        {"99999999999999999999", 0, 10, VEX_E_OVERFLOW, 0, 20},
        {"", 0, 10, VEX_E_FORMAT, 0, 0},
    };
    for (const auto& c : cases) {
        const NumberRead r = readLong(c.text, c.pos, c.base);
        EXPECT_EQ(r.status, c.status) << c.text;
        EXPECT_EQ(r.end, c.end) << c.text;
        if (!c.status) {
            EXPECT_EQ(r.value, c.value) << c.text;
        }
    }
}

TEST(CodePages, EveryPageIsABijectionWithItsInverse) {
    ASSERT_EQ(codePages().size(), 4u);
    for (const auto& page : codePages()) {
        std::set<int> seen(page.toEbcdic.begin(), page.toEbcdic.end());
        EXPECT_EQ(seen.size(), 256u) << page.number;
        for (int b = 0; b < 256; ++b) EXPECT_EQ(page.toLatin1[page.toEbcdic[b]], b) << page.number;
    }
}

TEST(CodePages, KnownPositions) {
    const CodePage* p037 = findCodePage("037");
    const CodePage* p285 = findCodePage("285");
    const CodePage* p500 = findCodePage("500");
    ASSERT_TRUE(p037 && p285 && p500);
    EXPECT_EQ(p037->toEbcdic['A'], 0xC1);
    EXPECT_EQ(p037->toEbcdic['1'], 0xF1);
    EXPECT_EQ(p037->toLatin1[0x5B], '$');
    EXPECT_EQ(p285->toLatin1[0x5B], 0xA3);  // pound sign
    EXPECT_EQ(p500->toEbcdic['['], 0x4A);
    EXPECT_EQ(builtinConversion(kConvLatin1ToCp500), &p500->toEbcdic);
    EXPECT_EQ(builtinConversion(kConvCp500ToLatin1), &p500->toLatin1);
    EXPECT_EQ(builtinConversion(3), nullptr);
    EXPECT_EQ(findCodePage("500x"), nullptr);
}

// The national pages are page 037 with a few EBCDIC positions given other
// Latin characters.
std::map<int, int> differencesFrom037(const CodePage& page) {
    const CodePage* p037 = findCodePage("037");
    std::map<int, int> d;
    for (int e = 0; e < 256; ++e)
        if (page.toLatin1[e] != p037->toLatin1[e]) d[e] = page.toLatin1[e];
    return d;
}

TEST(CodePages, UnitedKingdomDiffersAtSevenPositions) {
    const std::map<int, int> expected = {
        {0x4A, '$'}, {0x5B, 0xA3}, {0xA1, 0xAF}, {0xB0, 0xA2}, {0xB1, '['}, {0xBA, '^'}, {0xBC, '~'},
    };
    EXPECT_EQ(differencesFrom037(*findCodePage("285")), expected);
}

TEST(CodePages, FinnishSwedishPositions) {
    const auto d = differencesFrom037(*findCodePage("278"));
    const std::pair<int, int> samples[] = {
        {0x4A, 0xA7},  // section sign
        {0x5B, 0xC5},  // A with ring
        {0x7B, 0xC4},  // A with diaeresis
        {0x7C, 0xD6},  // O with diaeresis
        {0x6A, 0xF6},  // o with diaeresis
        {0x79, 0xE9},  // e with acute
        {0xC0, 0xE4},  // a with diaeresis
        {0xD0, 0xE5},  // a with ring
        {0xE0, 0xC9},  // E with acute
        {0xEC, '@'},
    };
    for (const auto& [ebcdic, latin] : samples) {
        ASSERT_TRUE(d.contains(ebcdic)) << std::hex << ebcdic;
        EXPECT_EQ(d.at(ebcdic), latin) << std::hex << ebcdic;
    }
    // Letters, digits and the blank stay where page 037 has them.
    const CodePage* p278 = findCodePage("278");
    const CodePage* p037 = findCodePage("037");
    for (unsigned char c : std::string_view("AZaz09 ")) EXPECT_EQ(p278->toEbcdic[c], p037->toEbcdic[c]) << c;
}

}  // namespace
}  // namespace payfmt
