// The core glossary in front of the imported dictionaries, on entries as the import gives them.
#include "merge.h"

#include <gtest/gtest.h>

#include <map>

using namespace peltavo::freedict;

namespace {

struct MergeCase {
    const char* name;
    Direction direction;
    std::vector<std::pair<const char*, const char*>> dictionary; // headword, meaning ("\n")
    std::vector<const char*> glossary;                           // "headword[=base]|sense|..."
    std::vector<std::pair<const char*, const char*>> expected;   // the entries that change
    int dropped;
};

void PrintTo(const MergeCase& c, std::ostream* os) {
    *os << c.name;
}

QString crlf(const char* text) {
    return QString::fromUtf8(text).replace(u'\n', QStringLiteral("\r\n"));
}

GlossaryEntry glossaryEntry(const char* line) {
    QStringList fields = QString::fromUtf8(line).split(u'|');
    GlossaryEntry e;
    e.headword = fields.front().section(u'=', 0, 0);
    e.base = fields.front().section(u'=', 1);
    e.senses = fields.mid(1);
    return e;
}

class Merge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(Merge, GlossaryLeadsTheEntry) {
    const MergeCase& c = GetParam();
    std::vector<Entry> dictionary;
    for (const auto& [headword, meaning] : c.dictionary)
        dictionary.push_back({QString::fromUtf8(headword), crlf(meaning)});
    std::vector<GlossaryEntry> glossary;
    for (const char* line : c.glossary)
        glossary.push_back(glossaryEntry(line));

    MergeReport report;
    const std::vector<Entry> merged = mergeGlossary(dictionary, glossary, c.direction, &report);
    std::map<QString, QString> byHeadword;
    for (const Entry& e : merged)
        EXPECT_TRUE(byHeadword.emplace(e.headword, e.meaning).second)
            << "twice: " << e.headword.toStdString();
    std::map<QString, QString> expected;
    for (const Entry& e : dictionary)
        expected[e.headword] = e.meaning;
    for (const auto& [headword, meaning] : c.expected) {
        if (meaning)
            expected[QString::fromUtf8(headword)] = crlf(meaning);
        else
            expected.erase(QString::fromUtf8(headword));
    }
    EXPECT_EQ(byHeadword, expected);
    EXPECT_EQ(report.dropped, c.dropped);
    EXPECT_EQ(report.led + report.added, static_cast<int>(c.glossary.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Merge,
    ::testing::Values(
        // Core words whose learner's sense the dictionary gives late or only in a phrase.
        MergeCase{"Please",
                  Direction::EnglishTurkish,
                  {{"please", "1. sevindirmek, hoşnut etmek, memnun etmek\n2. hoşuna gitmek\n"
                              "3. if you please: lütfen, rica ederim; isterseniz"}},
                  {"please|(ünlem) lütfen|(f.) memnun etmek, sevindirmek"},
                  {{"please", "1. (ünlem) lütfen\n2. (f.) memnun etmek, sevindirmek\n"
                              "3. sevindirmek, hoşnut etmek, memnun etmek\n4. hoşuna gitmek\n"
                              "5. if you please: lütfen, rica ederim; isterseniz"}},
                  0},
        MergeCase{"Be",
                  Direction::EnglishTurkish,
                  {{"be", "1. (kıs.), (kim) berylium berilyum\n2. olmak, vaki olmak\n"
                          "3. varlığını göstermek, mevcut olmak"}},
                  {"be|(f.) olmak|(f.) bulunmak, var olmak"},
                  {{"be", "1. (f.) olmak\n2. (f.) bulunmak, var olmak\n3. (kıs.), (kim) berylium "
                          "berilyum\n4. olmak, vaki olmak\n5. varlığını göstermek, mevcut olmak"}},
                  0},
        MergeCase{"DoWithASenseSaidAlready",
                  Direction::EnglishTurkish,
                  {{"do", "1. (müz.) bir gamın birinci ve son notası\n2. (did, done) etmek, "
                          "yapmak, eylemek\n3. yapmak"}},
                  {"do|(f.) yapmak, etmek"},
                  {{"do", "1. (f.) yapmak, etmek\n2. (müz.) bir gamın birinci ve son notası\n"
                          "3. (did, done) etmek, yapmak, eylemek"}},
                  1},
        MergeCase{"TurnWithItsLearnersSenseAt37",
                  Direction::EnglishTurkish,
                  {{"turn", "1. dönüş devir, deveran\n2. sapış\n3. dönmek, devretmek\n"
                            "4. turn on: açmak"}},
                  {"turn|(f.) dönmek, çevirmek|(i.) sıra"},
                  {{"turn", "1. (f.) dönmek, çevirmek\n2. (i.) sıra\n3. dönüş devir, deveran\n"
                            "4. sapış\n5. dönmek, devretmek\n6. turn on: açmak"}},
                  0},
        MergeCase{"EverySenseSaid",
                  Direction::EnglishTurkish,
                  {{"book", "kitap"}},
                  {"book|(i.) kitap"},
                  {{"book", "(i.) kitap"}},
                  1},
        // A form names its base; a missing word becomes an entry.
        MergeCase{"FormOfABase",
                  Direction::EnglishTurkish,
                  {{"went", "(bak.) go"}, {"go", "1. gitmek\n2. ayrılmak"}},
                  {"go|(f.) gitmek", "went=go|gitti, gitmiş oldu"},
                  {{"go", "1. (f.) gitmek\n2. ayrılmak"},
                   {"went", "1. gitti, gitmiş oldu (→ go)\n2. (bak.) go"}},
                  1},
        MergeCase{"NewHeadwords",
                  Direction::EnglishTurkish,
                  {{"ok", "(kıs.) all correct"}},
                  {"okay|(ünlem) tamam, olur", "good morning|günaydın"},
                  {{"okay", "(ünlem) tamam, olur"}, {"good morning", "günaydın"}},
                  0},
        // The glossary's spelling; an entry named exactly is not taken by another spelling.
        MergeCase{"LetterCase",
                  Direction::EnglishTurkish,
                  {{"english", "1. İngiliz\n2. İngilizce"}, {"polish", "cilalamak"}},
                  {"English|(i.) İngilizce|(s.) İngiliz", "polish|(f.) cilalamak, parlatmak",
                   "Polish|(s.) Polonyalı, Leh|(i.) Lehçe"},
                  {{"english", nullptr},
                   {"English", "1. (i.) İngilizce\n2. (s.) İngiliz"},
                   {"polish", "(f.) cilalamak, parlatmak"},
                   {"Polish", "1. (s.) Polonyalı, Leh\n2. (i.) Lehçe"}},
                  3},
        MergeCase{"TurkishLetterCase",
                  Direction::TurkishEnglish,
                  {{"ingilizce", "English"}, {"ılık", "1. lukewarm\n2. tepid"}},
                  {"İngilizce|(i.) English, the English language", "ılık|(s.) lukewarm, warm"},
                  {{"ingilizce", nullptr},
                   {"İngilizce", "(i.) English, the English language"},
                   {"ılık", "1. (s.) lukewarm, warm\n2. tepid"}},
                  2},
        MergeCase{"NoGlossary", Direction::TurkishEnglish, {{"kedi", "cat"}}, {}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
