// The text order of sorts and filters, in both languages: what decides and what does not.
#include "collation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace peltavo;

namespace {

using Language = Collation::Language;
constexpr Language En = Language::English;
constexpr Language Tr = Language::Turkish;

struct Pair {
    Language language;
    const char* a;
    const char* b;
    int filter; // compare(a, b): what a filter's = and >= see
    int sort;   // compareForSort(a, b): the sort's total order
    const char* why;
};

const Pair kPairs[] = {
    // Case, blanks and punctuation do not decide. Among texts equal so, the plain spelling comes
    // first: fewer blanks and marks, then lower case, then a text that ends first.
    {En, "What", "what", 0, 1, "a capital finds the lower-case word"},
    {En, "the ", "the", 0, 1, "the blank the word pick keeps"},
    {En, "the ", "theanthropic", -1, -1, "a word before its longer neighbours"},
    {En, "you ", "you-all", -1, -1, "a blank before a hyphenated neighbour"},
    {En, "Yes", "yeshiva", -1, -1, "a capitalised word before its longer neighbours"},
    {En, "good-bye", "goodbye", 0, 1, "a hyphen does not decide; the plain spelling first"},
    {En, "co-op", "coop", 0, 1, "a hyphen does not decide; the plain spelling first"},
    {En, "a b", "ab", 0, 1, "a blank inside does not decide; the plain spelling first"},
    {En, "b.e.", "be", 0, 1, "full stops: the word before the abbreviation"},
    {En, "we'll", "well", 0, 1, "an apostrophe: the word before the contraction"},
    {En, "I'd", "ID", 0, 1, "fewer marks decide before case"},
    {En, "ID", "id", 0, 1, "then lower case first"},
    {En, "Be", "b.e.", 0, -1, "a capital without marks before small letters with marks"},
    {En, "a-b c", "a b-c", 0, 1, "as many marks: the first different one decides, a blank first"},
    {En, "don", "don't", -1, -1, "an apostrophe does not decide, its letters do"},
    {En, "it?", "it", 0, 1, "a question mark does not decide"},
    // Accents count, but only after the letters.
    {En, "café", "cafe", 1, 1, "an accent counts"},
    {En, "café", "cafes", -1, -1, "the letters before the accent"},
    {En, "çay", "cz", -1, -1, "in English ç is c with an accent"},
    {En, "İ", "i", 1, 1, "in English the dot above is an accent"},
    // The same text, and the same text composed otherwise.
    {En, "book", "book", 0, 0, "the same text"},
    {En, "e\u0301", "é", 0, -1, "composed otherwise: equal, and the code units order them"},
    // Turkish: the alphabet a b c ç d e f g ğ h ı i j k l m n o ö p r s ş t u ü v y z.
    {Tr, "Evet", "evet", 0, 1, "a capital finds the lower-case word"},
    {Tr, "evet", "evgin", -1, -1, "the word before its longer neighbours"},
    {Tr, "İstanbul", "istanbul", 0, 1, "İ is the capital of i"},
    {Tr, "IRMAK", "ırmak", 0, 1, "I is the capital of ı"},
    {Tr, "I", "i", -1, -1, "ı comes before i"},
    {Tr, "ılık", "iyi", -1, -1, "ı comes before i"},
    {Tr, "İyi", "ılık", 1, 1, "İ is i, after ı"},
    {Tr, "çay", "cz", 1, 1, "ç comes after every c"},
    {Tr, "çay", "d", -1, -1, "ç comes before d"},
    {Tr, "ğa", "gz", 1, 1, "ğ comes after every g"},
    {Tr, "öa", "oz", 1, 1, "ö comes after every o"},
    {Tr, "şa", "sz", 1, 1, "ş comes after every s"},
    {Tr, "üa", "uz", 1, 1, "ü comes after every u"},
    {Tr, "bir ", "bir", 0, 1, "the blank the word pick keeps"},
    {Tr, "bir ", "bir adımda", -1, -1, "a word before the phrases it begins"},
    {Tr, "Ankara'da", "ankarada", 0, 1, "an apostrophe does not decide"},
    {Tr, "kâr", "kar", 1, 1, "the circumflex counts: kâr is not kar"},
    {Tr, "kâr", "kara", -1, -1, "the letters before the circumflex"},
};

int keyOrder(const Collation& collation, const QString& a, const QString& b) {
    std::string ka, kb;
    collation.appendKey(a, ka);
    collation.appendKey(b, kb);
    const int r = std::strcmp(ka.c_str(), kb.c_str());
    return (r > 0) - (r < 0);
}

TEST(CollationOrder, EveryPairInBothDirections) {
    const Collation english(En);
    const Collation turkish(Tr);
    for (const Pair& p : kPairs) {
        const Collation& collation = p.language == Tr ? turkish : english;
        const QString a = QString::fromUtf8(p.a);
        const QString b = QString::fromUtf8(p.b);
        SCOPED_TRACE(std::string(p.language == Tr ? "tr: " : "en: ") + p.a + " / " + p.b + ": " +
                     p.why);
        EXPECT_EQ(collation.compare(a, b), p.filter);
        EXPECT_EQ(collation.compare(b, a), -p.filter);
        EXPECT_EQ(keyOrder(collation, a, b), p.filter) << "the sort key agrees with compare()";
        EXPECT_EQ(collation.compareForSort(a, b), p.sort);
        EXPECT_EQ(collation.compareForSort(b, a), -p.sort);
        if (p.filter != 0) {
            EXPECT_EQ(p.sort, p.filter) << "the sort only breaks the filter's ties";
        }
    }
}

TEST(CollationOrder, TheTurkishDictionaryAloneHasTurkishRules) {
    EXPECT_EQ(Collation::forTable(QStringLiteral("tsozluk")), Tr);
    EXPECT_EQ(Collation::forTable(QStringLiteral("TSOZLUK")), Tr);
    for (const char* table : {"isozluk", "konus", "cevap", "sorubos", ""})
        EXPECT_EQ(Collation::forTable(QString::fromLatin1(table)), En) << table;
}

} // namespace
