// How the writer stores text and masks the header, byte by byte. Readers strip a leading U+FEFF
// when they decode, so the bytes are the only place where that case can be checked.
#include "error.h"
#include "jet4format.h"

#include <QByteArray>

#include <gtest/gtest.h>

using namespace peltavo;

namespace {

struct Encoding {
    const char* name;
    QString text;
    bool compressible;
    const char* hex;
};

class Jet4Text : public ::testing::TestWithParam<Encoding> {};

TEST_P(Jet4Text, StoresTheExpectedBytes) {
    std::vector<std::uint8_t> out{0xaa}; // appends after what is there
    jet4::encodeText(GetParam().text, GetParam().compressible, out);
    const QByteArray bytes(reinterpret_cast<const char*>(out.data()),
                           static_cast<qsizetype>(out.size()));
    EXPECT_EQ(bytes.toHex(' ').toStdString(), std::string("aa") + GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Jet4Text,
    ::testing::Values(
        Encoding{"Empty", QString(), true, ""},
        Encoding{"TooShortToGain", QStringLiteral("ab"), true, " 61 00 62 00"},
        Encoding{"Compressed", QStringLiteral("abc"), true, " ff fe 61 62 63"},
        Encoding{"ColumnWithoutCompression", QStringLiteral("abc"), false, " 61 00 62 00 63 00"},
        Encoding{"LatinOneLettersCompress", QStringLiteral("çöü"), true, " ff fe e7 f6 fc"},
        Encoding{"TurkishGStaysPlain", QStringLiteral("ağa"), true, " 61 00 1f 01 61 00"},
        Encoding{"ZeroCharacterStaysPlain", QStringLiteral("a\0b"), true, " 61 00 00 00 62 00"},
        Encoding{"LeadingByteOrderMark", QStringLiteral("\uFEFFbaş"), true,
                 " ff fe 00 ff fe 62 00 61 00 5f 01"},
        Encoding{"OnlyByteOrderMark", QStringLiteral("\uFEFF"), false, " ff fe 00 ff fe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Jet4TextLimits, ByteOrderMarkWithZeroLowByteIsRefused) {
    std::vector<std::uint8_t> out;
    EXPECT_THROW(jet4::encodeText(QStringLiteral("\uFEFFxĀ"), true, out), Error);
}

TEST(Jet4Header, Rc4MatchesThePublishedTestVector) {
    const std::uint8_t key[] = {'K', 'e', 'y'};
    std::uint8_t data[] = {'P', 'l', 'a', 'i', 'n', 't', 'e', 'x', 't'};
    jet4::rc4(key, data);
    const QByteArray bytes(reinterpret_cast<const char*>(data), sizeof data);
    EXPECT_EQ(bytes.toHex(), QByteArray("bbf316e8d940af0ad3"));
}

} // namespace
