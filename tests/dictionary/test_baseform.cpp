// The base form a double-click searches for: the entry that names a base, the order of the rules
// on a dictionary held in memory with a stand-in for the stems, the search text of a double-click
// into a line, and Hunspell's stems from the installed dictionaries.
#include "baseform.h"
#include "direction.h"
#include "error.h"
#include "qtprint.h"
#include "stemmer.h"
#include "tablehandle.h"
#include "wordpick.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using Rule = BaseForm::Rule;

TEST(ReferencedBase, IsNamedAtTheEndOfTheFirstSenseOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"gitti, gitmiş oldu (→ go)", "go"},
        {"1. gitti, gitmiş oldu (→ go)\r\n2. (bak.) go.", "go"},
        {"1. (i.) otopark (→ car park)\n2. park yeri", "car park"},
        {"1. sol\r\n2. ayrıldı (→ leave)", ""},
        {"(→ go) gitti", ""},
        {"gitti (→ )", ""},
        {"", ""},
    };
    for (const auto& [meaning, base] : cases)
        EXPECT_EQ(referencedBase(QString::fromUtf8(meaning)), QString::fromUtf8(base)) << meaning;
}

// Stems from a table instead of a spelling dictionary.
class StandInStemmer : public Stemmer {
public:
    QHash<QString, QStringList> stemsOf;
    QStringList stems(const QString& word) const override { return stemsOf.value(word); }
};

// The dictionary of a direction, held in memory and sorted on its headword as the window has it,
// from "headword|meaning" lines; the grid lists only a part of it, the base form sees it all.
TableHandle& dictionary(TableHandle& table, const DirectionBindings& bindings,
                        const std::vector<const char*>& entries) {
    TableData data;
    data.columns = {Column{bindings.headwordField, ColumnType::Text, 255},
                    Column{bindings.meaningField, ColumnType::Memo, 0}};
    for (const char* line : entries) {
        const QString entry = QString::fromUtf8(line);
        data.rows.push_back({entry.section(u'|', 0, 0), entry.section(u'|', 1)});
    }
    table.setTableName(bindings.englishToTurkish ? QStringLiteral("isozluk")
                                                 : QStringLiteral("tsozluk"));
    table.open(std::move(data));
    table.setSort(bindings.headwordField);
    table.setFilter(bindings.headwordField + QStringLiteral(" >= 'zz'"));
    table.setFiltered(true);
    return table;
}

struct BaseCase {
    const char* direction;
    const char* word;
    const char* text;
    Rule rule;
    const char* what;
};

void PrintTo(const BaseCase& c, std::ostream* os) {
    *os << c.direction << ": " << c.what;
}

class BaseFormOf : public ::testing::TestWithParam<BaseCase> {};

TEST_P(BaseFormOf, FollowsTheRulesInOrder) {
    const BaseCase& c = GetParam();
    const DirectionBindings& bindings = *bindingsOf(QString::fromLatin1(c.direction));
    TableHandle table(QStringLiteral("T"));
    dictionary(
        table, bindings,
        bindings.englishToTurkish
            ? std::vector<const char*>{"go|gitmek", "went|1. gitti (→ go)\r\n2. (bak.) go.",
                                       "library|kütüphane", "Library|ad", "thank|teşekkür",
                                       "ask|sormak", "be|olmak", "were|-dik (→ be)", "we're|we are",
                                       "aunt|teyze", "aunt's|(→ aunt)", "don't|do not", "buy|almak",
                                       "bought|aldı (→ buy)", "zebra"}
            : std::vector<const char*>{"ev|house", "evde|at home (→ ev)", "gelmek|come",
                                       "okumak|read", "geç|late", "ılık|lukewarm", "don't|-"});
    StandInStemmer stems;
    for (const char* line : {"asked:asked,ask", "boughts:bought", "evlerimizden:ev", "geliyor:gel",
                             "okuyor:oku", "geçince:geç", "yapabilir:yapabil"}) {
        const QString s = QString::fromUtf8(line);
        stems.stemsOf[s.section(u':', 0, 0)] = s.section(u':', 1).split(u',');
    }
    const BaseForm got =
        BaseForms(table, bindings, &stems).of(QString::fromUtf8(c.word), QStringLiteral("front"));
    EXPECT_EQ(got.text, QString::fromUtf8(c.text));
    EXPECT_EQ(got.rule, c.rule);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BaseFormOf,
    ::testing::Values(
        BaseCase{"it", "Thank", "thank", Rule::Headword,
                 "a headword, spelt as the dictionary does"},
        BaseCase{"it", "Library", "Library", Rule::Headword, "the exact one among equal ones"},
        BaseCase{"it", "LIBRARY", "library", Rule::Headword, "then the one equal but for case"},
        BaseCase{"it", "zebra", "zebra", Rule::Headword, "an entry without a meaning"},
        BaseCase{"it", "went", "go", Rule::Reference, "a form's entry names its base"},
        BaseCase{"it", "aunt's", "aunt", Rule::Reference, "a form with an apostrophe"},
        BaseCase{"it", "We're", "front", Rule::FrontHalf, "no equal other stands in for it"},
        BaseCase{"it", "don't", "front", Rule::FrontHalf, "the search would cut it"},
        BaseCase{"it", "asked", "ask", Rule::Stem, "the first stem that is a headword"},
        BaseCase{"it", "boughts", "buy", Rule::Stem, "a stem's entry may name its base"},
        BaseCase{"it", "children", "front", Rule::FrontHalf, "neither headword nor stem"},
        BaseCase{"ti", "ILIK", "ılık", Rule::Headword, "Turkish letters compare as Turkish"},
        BaseCase{"ti", "Evde", "ev", Rule::Reference, "an inflected form's entry"},
        BaseCase{"ti", "evlerimizden", "ev", Rule::Stem, "a stem"},
        BaseCase{"ti", "geliyor", "gelmek", Rule::Stem, "-mek after a front vowel"},
        BaseCase{"ti", "okuyor", "okumak", Rule::Stem, "-mak after a back vowel"},
        BaseCase{"ti", "geçince", "geç", Rule::Stem, "the stem alone before its infinitive"},
        BaseCase{"ti", "yapabilir", "front", Rule::FrontHalf, "neither stem nor infinitive"},
        BaseCase{"ti", "don't", "don't", Rule::Headword, "no cut at the apostrophe"}));

TEST(DoubleClickSearchText, LooksUpTheBareWordWithTheClicksFrontHalfToFallBackOn) {
    const DirectionBindings& it = *bindingsOf(QStringLiteral("it"));
    TableHandle table(QStringLiteral("Tablei"));
    const BaseForms forms(dictionary(table, it, {"go|gitmek", "went|gitti (→ go)", "I|ben"}), it,
                          nullptr);
    const QString line = QStringLiteral("I went home yesterday, Ali.");
    const struct {
        int column;
        const char* text;
        Rule rule;
    } cases[] = {
        {0, "I", Rule::Headword},
        {2, "go", Rule::Reference},  // at the start of "went", where a click picks "I "
        {6, "go", Rule::Reference},  // right behind "went"
        {7, "hom", Rule::FrontHalf}, // "home " as a click cuts it
        {14, "yester", Rule::FrontHalf},
        {27, "Ali.", Rule::FrontHalf},
    };
    for (const auto& c : cases) {
        const BaseForm got = doubleClickSearchText(line, c.column, forms);
        EXPECT_EQ(got.text, QString::fromUtf8(c.text)) << "column " << c.column;
        EXPECT_EQ(got.rule, c.rule) << "column " << c.column;
    }
    // Touching no word, it picks what a click there picks.
    EXPECT_EQ(doubleClickSearchText(QStringLiteral("I  am"), 2, forms).text, QStringLiteral("I "));
}

// Debian's dictionaries, which the set-up installs (hunspell-tr, hunspell-en-us).
TEST(HunspellStems, OfTheInstalledDictionaries) {
    using Language = LazyStemmers::Language;
    LazyStemmers stemmers;
    const std::tuple<Language, const char*, const char*> cases[] = {
        {Language::Turkish, "evlerimizden", "ev"}, {Language::Turkish, "arkadaşımla", "arkadaş"},
        {Language::Turkish, "İyiyim", "iyi"},      {Language::English, "kids", "kid"},
        {Language::English, "happier", "happy"},
    };
    for (const auto& [language, word, stem] : cases) {
        const Stemmer* stemmer = stemmers.forLanguage(language);
        ASSERT_NE(stemmer, nullptr) << "install hunspell-tr and hunspell-en-us";
        const QStringList got = stemmer->stems(QString::fromUtf8(word));
        EXPECT_TRUE(got.contains(QString::fromUtf8(stem)))
            << word << ": " << got.join(u' ').toStdString();
    }
    EXPECT_TRUE(stemmers.forLanguage(Language::English)->stems(QStringLiteral("xqzzv")).isEmpty());
}

TEST(HunspellStems, MissingOrUnreadableFilesLeaveNoStemmer) {
    QTemporaryDir dir;
    // A word list Hunspell reads as empty: it knows not even its own first word.
    for (const char* name : {"tr_TR.aff", "tr_TR.dic"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(name).endsWith(".dic") ? "x\nev\n" : "SET UTF-8\n");
    }
    EXPECT_THROW(HunspellStemmer(dir.filePath(QStringLiteral("tr_TR.aff")),
                                 dir.filePath(QStringLiteral("tr_TR.dic"))),
                 Error);

    LazyStemmers stemmers(dir.path());
    EXPECT_FALSE(stemmers.asked(LazyStemmers::Language::English));
    EXPECT_EQ(stemmers.forLanguage(LazyStemmers::Language::English), nullptr); // no files
    EXPECT_EQ(stemmers.forLanguage(LazyStemmers::Language::Turkish), nullptr); // empty
    EXPECT_TRUE(stemmers.asked(LazyStemmers::Language::English));
}

} // namespace
} // namespace peltavo
