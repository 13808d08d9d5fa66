// The dictionaries as teachers write them: entries on a line or in a block, forms of a base, and
// the line checks that must let sound dictionary text through.
#include "dictionary.h"
#include "spelling.h"

#include <set>

#include <gtest/gtest.h>

using namespace peltavo::dbbuild;

namespace {

TEST(Dictionary, LinesAndBlocksAsWritten) {
    const QByteArray text = "\xEF\xBB\xBF# English-Turkish\r\n"
                            "go | (f.) gitmek |  (f.)  olmak  \r\n"
                            "\n"
                            "market\n"
                            "    (i.) pazar\n"
                            "\t\n"
                            "  # a comment inside the block\n"
                            "    market day: pazarın kurulduğu gün\n"
                            "went = go | gitti; go fiilinin geçmiş zamanı\n"
                            "children = child\n"
                            "    çocuklar\n"
                            "    (bak.) child\n";
    std::vector<Problem> problems;
    const auto entries =
        parseDictionaryFile(u"d.txt"_qs, text, DictionaryDirection::EnglishTurkish, problems);
    // A line of blanks ends the block, so the indented sense after it has no headword.
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 8);

    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].senses, (QStringList{u"(f.) gitmek"_qs, u"(f.) olmak"_qs}));
    EXPECT_EQ(entries[0].line, 2);
    EXPECT_EQ(entries[1].headword, u"market");
    EXPECT_EQ(entries[1].senses, QStringList{u"(i.) pazar"_qs});
    EXPECT_EQ(meaningOf(entries[0]), u"1. (f.) gitmek\r\n2. (f.) olmak");
    EXPECT_EQ(entries[2].base, u"go");
    EXPECT_EQ(meaningOf(entries[2]), u"gitti; go fiilinin geçmiş zamanı (→ go)");
    EXPECT_EQ(meaningOf(entries[3]), u"1. çocuklar (→ child)\r\n2. (bak.) child");
}

// Dictionary text that reads well must pass: remarks, inflection notes, labels in a row, phrases
// that end in a preposition, apostrophes.
TEST(Dictionary, SoundSensesPassTheLineChecks) {
    for (const char16_t* sense :
         {u"(çoğ. -men) adam", u"(-ped, -ping) durdurmak", u"take care of: bakmak, ilgilenmek",
          u"(fena anlamda) daniska", u"(A.B.D.) (k. dili) laboratuvar",
          u"go about: (den.) tiramola etmek; (k. dili) dolaşmak", u"(i.) yıl (bu yıl: this year)",
          u"Japonya'da yetişen bir ağaç", u"don't mention it: bir şey değil", u"(b.h.) Latin, book",
          u"(tic. mark.) aspirin", u"(A.B.D.) (argo) para", u"once in a while: ara sıra",
          u"(zool.) (bak.) bear", u"(k. h.) uzun palto", u"(kıs. i.e.) yani",
          u"(çoğ. nos.) (kıs.) number"}) {
        EXPECT_EQ(senseProblems(QString::fromUtf16(sense), DictionaryDirection::EnglishTurkish),
                  QStringList{})
            << QString::fromUtf16(sense).toStdString();
    }
    // A Turkish phrase may end in "and" spelt so: the phrase check is English only.
    EXPECT_TRUE(senseProblems(u"ve and: bağlaç"_qs, DictionaryDirection::TurkishEnglish).isEmpty());
}

// The words no speller knows, the commonest first; labels, names, affixes and one-letter words are
// no words to look at, and a word is known when any speller knows it.
TEST(Dictionary, SpellingListsWhatNoSpellerKnows) {
    Content content;
    content.englishTurkish.push_back(
        {u"walk"_qs,
         {},
         {u"(f.) yürümek, yürüyş (çoğ. -s)"_qs, u"Ali yürüyş -ing ön- x"_qs},
         u"w.txt"_qs,
         3});
    content.turkishEnglish.push_back({u"yürümek"_qs, {}, {u"(f.) walk, wakl"_qs}, u"y.txt"_qs, 7});
    const std::set<QString> turkish{u"yürümek"_qs}, english{u"walk"_qs};
    const SpellingReport report =
        checkSpelling(content, {[&](const QString& w) { return turkish.count(w) > 0; },
                                [&](const QString& w) { return english.count(w) > 0; }});
    EXPECT_EQ(report.words, 4); // walk, yürümek, yürüyş, wakl
    ASSERT_EQ(report.unknown.size(), 2u);
    EXPECT_EQ(report.unknown[0].word, u"yürüyş");
    EXPECT_EQ(report.unknown[0].count, 2);
    EXPECT_EQ(report.unknown[0].file, u"w.txt");
    EXPECT_EQ(report.unknown[0].line, 3);
    EXPECT_EQ(report.unknown[1].word, u"wakl");
}

} // namespace
