// Values of a Jet file as text, from their bytes: dates over the whole range Jet stores, numbers
// in every fixed kind, text compressed and not, and binary values read as text and back.
#include "jetvalues.h"

#include <QString>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace peltavo::jet;

namespace {

struct DateCase {
    double days;
    const char* text;
};

class DateText : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateText, IsTheDayAndTimeJetMeans) {
    EXPECT_EQ(dateText(GetParam().days), GetParam().text) << GetParam().days;
}

// Days since 1899-12-30; for a negative value the whole part counts back and the fraction is the
// time of day, as in Access (-1.25 is 1899-12-29 06:00).
INSTANTIATE_TEST_SUITE_P(
    Range, DateText,
    ::testing::Values(
        DateCase{0, "1899-12-30 00:00:00"}, DateCase{1, "1899-12-31 00:00:00"},
        DateCase{29932, "1981-12-12 00:00:00"}, DateCase{44532.5, "2021-12-02 12:00:00"},
        DateCase{-1, "1899-12-29 00:00:00"}, DateCase{-1.25, "1899-12-29 06:00:00"},
        DateCase{-0.5, "1899-12-30 12:00:00"}, DateCase{-36522, "1800-01-01 00:00:00"},
        DateCase{-657434, "0100-01-01 00:00:00"}, DateCase{-693593, "0001-01-01 00:00:00"},
        DateCase{1e6, "4637-11-26 00:00:00"}, DateCase{2958465.999988426, "9999-12-31 23:59:59"},
        DateCase{60, "1900-02-28 00:00:00"}, DateCase{61, "1900-03-01 00:00:00"},
        DateCase{36585, "2000-02-29 00:00:00"},
        // Rounding to the second that ends a day carries into the next.
        DateCase{0.999999999, "1899-12-31 00:00:00"},
        DateCase{1.0 / 86400 * 3661, "1899-12-30 01:01:01"},
        // Outside the years 1 to 9999: the number itself.
        DateCase{2958466, "2958466"}, DateCase{-693594, "-693594"}, DateCase{1e300, "1e+300"},
        DateCase{std::numeric_limits<double>::quiet_NaN(), "nan"}));

std::vector<std::uint8_t> bytesOf(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(NumberText, MoneyHasFourDecimals) {
    const struct {
        long long units; // ten-thousandths
        const char* text;
    } cases[] = {{0, "0.0000"},
                 {5000, "0.5000"},
                 {35000, "3.5000"},
                 {-12345, "-1.2345"},
                 {std::numeric_limits<long long>::min(), "-922337203685477.5808"},
                 {std::numeric_limits<long long>::max(), "922337203685477.5807"}};
    for (const auto& c : cases) {
        std::uint8_t bytes[8];
        std::memcpy(bytes, &c.units, 8);
        EXPECT_EQ(moneyText(bytes), c.text) << c.units;
    }
}

TEST(NumberText, NumericKeepsItsScale) {
    // Sign byte, then four 32-bit little-endian words, the most significant first.
    const auto n12345 = bytesOf({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0});
    const auto minus7 = bytesOf({0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0});
    const auto big = bytesOf({0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(numericText(n12345.data(), 0), "12345");
    EXPECT_EQ(numericText(n12345.data(), 2), "123.45");
    EXPECT_EQ(numericText(n12345.data(), 5), "0.12345");
    EXPECT_EQ(numericText(n12345.data(), 7), "0.0012345");
    EXPECT_EQ(numericText(minus7.data(), 1), "-0.7");
    EXPECT_EQ(numericText(big.data(), 0), "79228162514264337593543950336"); // 2^96
}

TEST(NumberText, FloatsAndGuids) {
    EXPECT_EQ(floatText(444.555f), "444.55499");
    EXPECT_EQ(floatText(0.5f), "0.5");
    EXPECT_EQ(doubleText(444.555), "444.555");
    EXPECT_EQ(doubleText(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(doubleText(-2e-20), "-2e-20");
    const auto guid =
        bytesOf({0x78, 0x56, 0x34, 0x12, 0xbc, 0x9a, 0xf0, 0xde, 1, 2, 3, 4, 5, 6, 0xab, 0xcd});
    EXPECT_EQ(guidText(guid.data()), "{12345678-9ABC-DEF0-0102-03040506ABCD}");
}

std::u16string jet4(std::initializer_list<int> values) {
    const auto bytes = bytesOf(values);
    std::u16string out(bytes.size(), u'?');
    out.resize(decodeJet4Text(Bytes(bytes.data(), bytes.size()), out.data()));
    return out;
}

TEST(TextDecoding, Jet4PlainAndCompressed) {
    EXPECT_EQ(jet4({'a', 0, 0x5f, 0x01}), u"aş");
    EXPECT_EQ(jet4({0xff, 0xfe, 'a', 'b', 0, 0x5f, 0x01, 0, 'c'}), u"abşc");
    EXPECT_EQ(jet4({0x3d, 0xd8, 0x00, 0xde}), u"\U0001F600");
    EXPECT_EQ(jet4({'a', 0, 'b'}), u"a"); // an odd last byte
    EXPECT_EQ(jet4({0xff, 0xfe, 0, 'x'}), u"");
    EXPECT_EQ(jet4({}), u"");
}

TEST(TextDecoding, Utf16ToUtf8AndBack) {
    for (const std::u16string& text : {std::u16string(u"Günaydın"), std::u16string(u"\U0001F600x"),
                                       std::u16string(u"ab\u0081"), std::u16string()})
        EXPECT_EQ(utf16FromUtf8(utf8FromUtf16(text)), text);
    EXPECT_EQ(utf8FromUtf16(u"a\xd800"
                            u"b"),
              "a\xef\xbf\xbd"
              "b"); // a lone surrogate
}

TEST(TextDecoding, Utf8WithFaults) {
    EXPECT_EQ(utf16FromUtf8("Günaydın"), u"Günaydın");
    EXPECT_EQ(utf16FromUtf8("\xf0\x9f\x98\x80"), u"\U0001F600");
    EXPECT_EQ(utf16FromUtf8("a\xffz"), u"a\xfffdz");
    EXPECT_EQ(utf16FromUtf8("\xe2\x82"), u"\xfffd\xfffd");           // cut short
    EXPECT_EQ(utf16FromUtf8("\xc0\xaf"), u"\xfffd\xfffd");           // overlong
    EXPECT_EQ(utf16FromUtf8("\xed\xa0\x80"), u"\xfffd\xfffd\xfffd"); // a surrogate
}

std::vector<std::uint8_t> everyByte() {
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return all;
}

// Every byte as the character Windows gives it in `codePage`, compared with Qt's reading.
void expectWindowsReading(const std::u16string& text, const char* codePage) {
    const std::vector<std::uint8_t> all = everyByte();
    QStringDecoder windows(codePage);
    ASSERT_TRUE(windows.isValid());
    const QString expected = windows.decode(QByteArrayView(
        reinterpret_cast<const char*>(all.data()), static_cast<qsizetype>(all.size())));
    ASSERT_EQ(expected.size(), 256);
    for (int i = 0; i < 256; ++i) {
        const char16_t got = text[static_cast<std::size_t>(i)];
        // The bytes the code page leaves undefined read as the control character of that number.
        const char16_t want = expected[i] == QChar::ReplacementCharacter
                                  ? char16_t(i)
                                  : static_cast<char16_t>(expected[i].unicode());
        EXPECT_EQ(got, want) << codePage << " byte " << i;
    }
}

TEST(SingleByteText, EveryByteReadsAsWindowsReadsIt) {
    const std::vector<std::uint8_t> all = everyByte();
    std::u16string text(256, u'?');
    decodeWindows1252(Bytes(all.data(), all.size()), text.data());
    expectWindowsReading(text, "windows-1252");
    decodeWindows1254(Bytes(all.data(), all.size()), text.data());
    expectWindowsReading(text, "windows-1254");
}

// Binary values read as the learner's Turkish code page, and back.
TEST(BinaryText, EveryByteIsOneCharacterOfWindows1254AndComesBack) {
    const std::vector<std::uint8_t> all = everyByte();
    std::u16string text(256, u'?');
    decodeBinaryAsText(Bytes(all.data(), all.size()), text.data());
    expectWindowsReading(text, "windows-1254");
    const std::optional<std::string> back = binaryTextBytes(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, std::string(reinterpret_cast<const char*>(all.data()), all.size()));
    EXPECT_FALSE(binaryTextBytes(u"a\u0100"));
}

} // namespace
