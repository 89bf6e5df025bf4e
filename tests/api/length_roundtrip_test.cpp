// Every length-prefixed operator through the exported format functions: a
// value written with FormatOutputA reads back unchanged with FormatInputA, at
// the edges of what its prefix can count, and one more is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payfmt/payfmt.h"

namespace {

struct Result {
    uint32_t status = 0;
    std::string text;         // IStr
    std::string description;  // of the thread's error record
};

std::string take(VEXBUF buf) {
    std::string bytes;
    if (buf) bytes.assign(reinterpret_cast<const char*>(VEXBufData(buf)), VEXBufLen(buf));
    VEXBufFree(buf);
    return bytes;
}

std::string istr(const std::string& raw) {
    VEXBUF bytes = nullptr;
    VEXBufCopy(&bytes, raw.data(), static_cast<uint32_t>(raw.size()));
    VEXBUF text = nullptr;
    CFormatRawToIStr(bytes, &text);
    VEXBufFree(bytes);
    return take(text);
}

std::string description() {
    KORERRINFO info = nullptr;
    if (KORGetErrorInfo(&info) != 0 || !info) return {};
    std::string d = KORErrorInfoDescriptionA(info);
    KORFreeErrorInfo(info);
    return d;
}

template <class Fn>
Result call(Fn fn, const std::string& value, const std::string& format) {
    VEXBUF buf = nullptr;
    Result r;
    r.status = fn(value.c_str(), format.c_str(), &buf, 0);
    r.text = take(buf);
    if (r.status) r.description = description();
    return r;
}

Result formatOutput(const std::string& value, const std::string& format) { return call(FormatOutputA, value, format); }
Result formatInput(const std::string& value, const std::string& format) { return call(FormatInputA, value, format); }

// A value of n characters drawn in turn from the alphabet.
std::string valueOf(std::size_t n, std::string_view alphabet) {
    std::string v(n, ' ');
    for (std::size_t i = 0; i < n; ++i) v[i] = alphabet[i % alphabet.size()];
    return v;
}

struct Frame {
    std::string format;
    std::string_view alphabet;  // what a value is made of
    std::size_t largest;        // the longest value the prefix counts
    std::size_t unit;           // values come in multiples of it
};

void expectRoundTrip(const Frame& f, std::size_t n) {
    const std::string value = istr(valueOf(n, f.alphabet));
    const Result written = formatOutput(value, f.format);
    ASSERT_EQ(written.status, 0u) << f.format << " writing " << n << ": " << written.description;
    const Result read = formatInput(written.text, f.format);
    ASSERT_EQ(read.status, 0u) << f.format << " reading " << n << ": " << read.description;
    EXPECT_TRUE(read.text == value) << f.format << " on " << n << " characters";
}

void expectRefused(const Frame& f, std::size_t n, const std::string& message) {
    const Result r = formatOutput(istr(valueOf(n, f.alphabet)), f.format);
    EXPECT_EQ(r.description, message) << f.format << " on " << n;
    EXPECT_TRUE(r.text.empty()) << f.format;
}

constexpr std::string_view kText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kHex = "0123456789ABCDEF";
constexpr std::string_view kBits = "1011001110001111";

std::vector<Frame> frames() {
    std::vector<Frame> fs;
    struct Family {
        char letter;
        const char* suffix;
        std::size_t base, unit;
    };
    for (const Family fam : {Family{'L', "VAR", 10, 1}, Family{'L', "2VAR", 10, 2}, Family{'H', "VAR", 16, 1},
                             Family{'H', "2VAR", 16, 2}}) {
        std::size_t capacity = 1;
        for (std::size_t digits = 1; digits <= 6; ++digits) {
            capacity *= fam.base;
            const std::size_t largest = capacity * fam.unit - 1;
            fs.push_back({std::string(digits, fam.letter) + fam.suffix, kText, largest - largest % fam.unit, fam.unit});
        }
    }
    fs.insert(fs.end(), {
        {"APMLLVAR", kHex, 99, 1},
        {"APMLLLVAR", kHex, 999, 1},
        {"BBUF", kText, 255, 1},
        {"BBBUF", kText, 65535, 1},
        {"DBUF", kText, 99, 1},
        {"DDBUF", kText, 9999, 1},
        {"BNIBBLES", kHex, 255, 1},
        {"NBUF", kHex, 255, 1},
        {"BBNIBBLES", kHex, 65535, 1},
        {"DNIBBLES", kHex, 99, 1},
        {"DDNIBBLES", kHex, 9999, 1},
        {"BBIT", kBits, 255, 1},
        {"BBBIT", kBits, 32767, 1},
    });
    return fs;
}

TEST(LengthRoundTrips, EmptyOneAndLargestValuesReadBack) {
    for (const Frame& f : frames()) {
        SCOPED_TRACE(f.format);
        expectRoundTrip(f, 0);
        if (f.unit == 1) expectRoundTrip(f, 1);
        else expectRoundTrip(f, 2);
        expectRoundTrip(f, f.largest);
    }
}

TEST(LengthRoundTrips, OneMoreThanTheLargestIsRefused) {
    for (const Frame& f : frames()) {
        SCOPED_TRACE(f.format);
        // The pair counts hold one odd length more than they can write.
        const std::size_t limit = f.largest + f.unit - 1;
        expectRefused(f, limit + 1,
                      "(E2060026) " + f.format + ": operator may not manage more than " + std::to_string(limit) +
                          " characters");
        if (f.unit == 2) {
            expectRefused(f, 1, "(E2060027) " + f.format + ": data must be multiple of 2 characters");
            expectRefused(f, limit, "(E2060027) " + f.format + ": data must be multiple of 2 characters");
        }
    }
}

TEST(LengthRoundTrips, TheDocumentedExamples) {
    EXPECT_EQ(formatInput("05HELLOXX", "LLVAR").text, "HELLO");
    const Result shortField = formatInput("10ABC", "LLVAR");
    EXPECT_EQ(shortField.text, "ABC");
    EXPECT_EQ(shortField.status, 0xA2060025u);
    EXPECT_EQ(shortField.description, "(A2060025) LLVAR: expected 12 input characters, received 5");
    EXPECT_EQ(formatOutput(std::string(255, 'A'), "HHVAR").text, "ff" + std::string(255, 'A'));
    EXPECT_EQ(formatInput("#82#01#2C", "BERLEN").text, ",#01");
    EXPECT_EQ(formatOutput("AAAAA", "BERLEN(3)").text, "#82#00#05");
    EXPECT_EQ(formatInput("#1F#81#01", "BERTAG").text, "1F8101");
    EXPECT_EQ(formatOutput("1234567", "APMLLVAR").text, "07#124Vp");
    EXPECT_EQ(formatInput("07#124Vp", "APMLLVAR").text, "1234567");
    EXPECT_EQ(formatOutput("A+B", "EDIFACTFLD(\"+\",true)").text, "A?+B+");
    EXPECT_EQ(formatInput("A?+B+C", "EDIFACTFLD(\"+\",true)").text, "A+B");
    EXPECT_EQ(formatOutput("101", "BBIT").text, "#03#A0");
    EXPECT_EQ(formatInput("#03#A0", "BBIT").text, "101");
    const Result nibbles = formatInput("#05#01#23", "BNIBBLES");
    EXPECT_EQ(nibbles.text, "123");
    EXPECT_EQ(nibbles.description, "(A2060025) BNIBBLES: expected 3 input characters, received 3");
    EXPECT_EQ(formatInput("#1A" + std::string(20, 'A') + "B", "DBUF").text, std::string(20, 'A'));
}

// The header operators give the length itself as a little-endian value.
TEST(LengthRoundTrips, HeadersReadBackAsTheLength) {
    struct Header {
        std::string format;
        std::vector<std::size_t> lengths;
    };
    for (const Header& h : {Header{"BERLEN", {0, 1, 127, 128, 255, 256, 65535, 65536, 16777215, 16777216}},
                            Header{"BERLEN(5)", {0, 1, 300}}, Header{"IFSFLEN", {0, 1, 254, 255, 65535}}}) {
        for (const std::size_t n : h.lengths) {
            const Result written = formatOutput(std::string(n, 'A'), h.format);
            ASSERT_EQ(written.status, 0u) << h.format << " " << n;
            const Result read = formatInput(written.text + "DATA", h.format);
            ASSERT_EQ(read.status, 0u) << h.format << " " << n;
            std::string raw;
            for (std::size_t v = n; v > 0; v >>= 8) raw.push_back(static_cast<char>(v & 0xFF));
            if (raw.empty()) raw.push_back('\0');
            // IFSFLEN gives a long-form length as two bytes, the high one possibly 0.
            if (h.format == "IFSFLEN" && n >= 255 && raw.size() == 1) raw.push_back('\0');
            if (h.format == "BERLEN(5)") raw.resize(4, '\0');
            EXPECT_EQ(read.text, istr(raw)) << h.format << " " << n;
        }
    }
    EXPECT_EQ(formatOutput(std::string(65536, 'A'), "IFSFLEN").description,
              "(E2060026) IFSFLEN: operator may not manage more than 65535 characters");
}

TEST(LengthRoundTrips, EdifactFieldsReadBackAsWritten) {
    for (const std::string value : {"", "A", "A+B:C'D?E", "??++", "PLAIN"}) {
        const std::string format = "EDIFACTFLD(\"+\",true)";
        const Result written = formatOutput(istr(value), format);
        ASSERT_EQ(written.status, 0u) << value;
        const Result read = formatInput(written.text + "NEXT", format);
        EXPECT_EQ(read.status, 0u) << value;
        EXPECT_EQ(read.text, istr(value)) << value;
    }
}

}  // namespace
