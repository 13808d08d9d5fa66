// The base form a double-click searches for: the entry that names a base, the order of the rules
// on a dictionary held in memory with a stand-in for the stems, and Hunspell's stems from the
// installed dictionaries.
#include "baseform.h"
#include "direction.h"
#include "error.h"
#include "qtprint.h"
#include "stemmer.h"
#include "tablehandle.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace peltavo {
namespace {

using Rule = BaseForm::Rule;

TEST(ReferencedBase, IsNamedAtTheEndOfTheFirstSenseOnly) {
    const struct {
        const char* meaning;
        const char* base;
    } cases[] = {
        {"gitti, gitmiş oldu (→ go)", "go"},
        {"1. gitti, gitmiş oldu (→ go)\r\n2. (bak.) go.", "go"},
        {"1. (i.) otopark (→ car park)\n2. park yeri", "car park"},
        {"at home, in the house (→ ev) ", "ev"},
        {"1. sol\r\n2. ayrıldı (→ leave)", ""},
        {"(→ go) gitti", ""},
        {"gitti (go)", ""},
        {"gitti (→ )", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(referencedBase(QString::fromUtf8(c.meaning)), QString::fromUtf8(c.base))
            << c.meaning;
}

// Stems from a table instead of a spelling dictionary.
class StandInStemmer : public Stemmer {
public:
    QHash<QString, QStringList> stemsOf;
    QStringList stems(const QString& word) const override { return stemsOf.value(word); }
};

// A dictionary of one direction held in memory, sorted on its headword as the window has it.
std::unique_ptr<TableHandle> dictionary(const DirectionBindings& bindings,
                                        const std::vector<std::pair<QString, QString>>& entries) {
    TableData data;
    data.columns = {Column{bindings.headwordField, ColumnType::Text, 255},
                    Column{bindings.meaningField, ColumnType::Memo, 0}};
    for (const auto& [headword, meaning] : entries)
        data.rows.push_back({headword, meaning});
    auto table = std::make_unique<TableHandle>(QStringLiteral("T"));
    table->setTableName(bindings.englishToTurkish ? QStringLiteral("isozluk")
                                                  : QStringLiteral("tsozluk"));
    table->open(std::move(data));
    table->setSort(bindings.headwordField);
    // The grid lists only a part; the base form looks at every entry.
    table->setFilter(bindings.headwordField + QStringLiteral(" >= 'zz'"));
    table->setFiltered(true);
    return table;
}

struct BaseCase {
    const char* what;
    const char* word;
    const char* text;
    Rule rule;
};

void PrintTo(const BaseCase& c, std::ostream* os) {
    *os << c.what;
}

class EnglishBaseForm : public ::testing::TestWithParam<BaseCase> {};

TEST_P(EnglishBaseForm, FollowsTheRulesInOrder) {
    const DirectionBindings& it = *bindingsOf(QStringLiteral("it"));
    const auto table = dictionary(
        it, {
                {QStringLiteral("go"), QStringLiteral("gitmek")},
                {QStringLiteral("went"), QStringLiteral("1. gitti (→ go)\r\n2. (bak.) go.")},
                {QStringLiteral("library"), QStringLiteral("kütüphane")},
                {QStringLiteral("Library"), QStringLiteral("ad")},
                {QStringLiteral("thank"), QStringLiteral("teşekkür")},
                {QStringLiteral("ask"), QStringLiteral("sormak")},
                {QStringLiteral("be"), QStringLiteral("olmak")},
                {QStringLiteral("were"), QStringLiteral("-dik (→ be)")},
                {QStringLiteral("we're"), QStringLiteral("we are")},
                {QStringLiteral("aunt"), QStringLiteral("teyze")},
                {QStringLiteral("aunt's"), QStringLiteral("(→ aunt)")},
                {QStringLiteral("don't"), QStringLiteral("do not")},
                {QStringLiteral("buy"), QStringLiteral("almak")},
                {QStringLiteral("bought"), QStringLiteral("aldı (→ buy)")},
                {QStringLiteral("zebra"), QString()},
            });
    StandInStemmer stems;
    stems.stemsOf[QStringLiteral("asked")] = {QStringLiteral("asked"), QStringLiteral("ask")};
    stems.stemsOf[QStringLiteral("boughts")] = {QStringLiteral("bought")};
    stems.stemsOf[QStringLiteral("libraries")] = {QStringLiteral("library")};
    const BaseForms forms(*table, it, &stems);

    const BaseCase& c = GetParam();
    const BaseForm got = forms.of(QString::fromUtf8(c.word), QStringLiteral("front "));
    EXPECT_EQ(got.text, QString::fromUtf8(c.text)) << c.what;
    EXPECT_EQ(got.rule, c.rule) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EnglishBaseForm,
    ::testing::Values(
        BaseCase{"a headword is its own base", "go", "go", Rule::Headword},
        BaseCase{"the dictionary's spelling of it", "Thank", "thank", Rule::Headword},
        BaseCase{"the exact spelling among equal headwords", "Library", "Library", Rule::Headword},
        BaseCase{"then the one equal but for case", "LIBRARY", "library", Rule::Headword},
        BaseCase{"an entry without a meaning is an entry", "zebra", "zebra", Rule::Headword},
        BaseCase{"a form's entry names its base", "went", "go", Rule::Reference},
        BaseCase{"a base whose form has an apostrophe", "aunt's", "aunt", Rule::Reference},
        BaseCase{"no other entry that compares equal stands in for the word's own", "We're",
                 "front ", Rule::FrontHalf},
        BaseCase{"a headword the search would cut at its apostrophe is passed over", "don't",
                 "front ", Rule::FrontHalf},
        BaseCase{"the first stem that is a headword", "asked", "ask", Rule::Stem},
        BaseCase{"a stem's entry may name its base", "boughts", "buy", Rule::Stem},
        BaseCase{"a stem in the dictionary's spelling", "libraries", "library", Rule::Stem},
        BaseCase{"neither headword nor stem", "children", "front ", Rule::FrontHalf},
        BaseCase{"an empty word", "", "front ", Rule::FrontHalf}));

class TurkishBaseForm : public ::testing::TestWithParam<BaseCase> {};

TEST_P(TurkishBaseForm, TriesTheInfinitiveOfAStem) {
    const DirectionBindings& ti = *bindingsOf(QStringLiteral("ti"));
    const auto table =
        dictionary(ti, {
                           {QStringLiteral("ev"), QStringLiteral("house")},
                           {QStringLiteral("evde"), QStringLiteral("at home (→ ev)")},
                           {QStringLiteral("gelmek"), QStringLiteral("to come")},
                           {QStringLiteral("okumak"), QStringLiteral("to read")},
                           {QStringLiteral("geç"), QStringLiteral("late")},
                           {QStringLiteral("geçmek"), QStringLiteral("to pass")},
                           {QStringLiteral("ılık"), QStringLiteral("lukewarm")},
                           {QStringLiteral("don't"), QStringLiteral("-")},
                       });
    StandInStemmer stems;
    stems.stemsOf[QStringLiteral("evlerimizden")] = {QStringLiteral("ev")};
    stems.stemsOf[QStringLiteral("geliyor")] = {QStringLiteral("gel")};
    stems.stemsOf[QStringLiteral("okuyor")] = {QStringLiteral("oku")};
    stems.stemsOf[QStringLiteral("geçince")] = {QStringLiteral("geç")};
    stems.stemsOf[QStringLiteral("yapabilir")] = {QStringLiteral("yapabil")};
    const BaseForms forms(*table, ti, &stems);

    const BaseCase& c = GetParam();
    const BaseForm got = forms.of(QString::fromUtf8(c.word), QStringLiteral("front"));
    EXPECT_EQ(got.text, QString::fromUtf8(c.text)) << c.what;
    EXPECT_EQ(got.rule, c.rule) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TurkishBaseForm,
    ::testing::Values(
        BaseCase{"Turkish letters compare as Turkish", "ILIK", "ılık", Rule::Headword},
        BaseCase{"an inflected form's entry", "Evde", "ev", Rule::Reference},
        BaseCase{"a stem", "evlerimizden", "ev", Rule::Stem},
        BaseCase{"-mek after a front vowel", "geliyor", "gelmek", Rule::Stem},
        BaseCase{"-mak after a back vowel", "okuyor", "okumak", Rule::Stem},
        BaseCase{"the stem alone before its infinitive", "geçince", "geç", Rule::Stem},
        BaseCase{"neither the stem nor its infinitive", "yapabilir", "front", Rule::FrontHalf},
        BaseCase{"an apostrophe is kept in Turkish-English", "don't", "don't", Rule::Headword}));

TEST(BaseFormWithoutStems, SkipsTheStemStep) {
    const DirectionBindings& ti = *bindingsOf(QStringLiteral("ti"));
    const auto table = dictionary(ti, {{QStringLiteral("ev"), QStringLiteral("house")}});
    const BaseForms forms(*table, ti, nullptr);
    EXPECT_EQ(forms.of(QStringLiteral("ev"), QStringLiteral("ev")).rule, Rule::Headword);
    const BaseForm got = forms.of(QStringLiteral("evlerimizden"), QStringLiteral("evlerim"));
    EXPECT_EQ(got.text, QStringLiteral("evlerim"));
    EXPECT_EQ(got.rule, Rule::FrontHalf);
}

// Debian's dictionaries, which the set-up installs (hunspell-tr, hunspell-en-us).
TEST(HunspellStems, OfTheInstalledDictionaries) {
    LazyStemmers stemmers;
    const struct {
        LazyStemmers::Language language;
        const char* word;
        const char* stem;
    } cases[] = {
        {LazyStemmers::Language::Turkish, "evlerimizden", "ev"},
        {LazyStemmers::Language::Turkish, "arkadaşımla", "arkadaş"},
        {LazyStemmers::Language::Turkish, "teşekkürler", "teşekkür"},
        {LazyStemmers::Language::Turkish, "İyiyim", "iyi"},
        {LazyStemmers::Language::English, "kids", "kid"},
        {LazyStemmers::Language::English, "happier", "happy"},
        {LazyStemmers::Language::English, "asked", "ask"},
    };
    for (const auto& c : cases) {
        const Stemmer* stemmer = stemmers.forLanguage(c.language);
        ASSERT_NE(stemmer, nullptr) << "install hunspell-tr and hunspell-en-us";
        EXPECT_TRUE(stemmer->stems(QString::fromUtf8(c.word)).contains(QString::fromUtf8(c.stem)))
            << c.word << ": " << stemmer->stems(QString::fromUtf8(c.word)).join(u' ').toStdString();
    }
    EXPECT_TRUE(stemmers.forLanguage(LazyStemmers::Language::English)
                    ->stems(QStringLiteral("xqzzv"))
                    .isEmpty());
}

TEST(HunspellStems, MissingOrUnreadableFilesLeaveNoStemmer) {
    QTemporaryDir dir;
    // A word list Hunspell reads as empty: it knows not even its own first word.
    for (const char* name : {"tr_TR.aff", "tr_TR.dic"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(name).endsWith(".dic") ? "x\nev\n" : "SET UTF-8\n");
    }
    try {
        HunspellStemmer(dir.filePath(QStringLiteral("tr_TR.aff")),
                        dir.filePath(QStringLiteral("tr_TR.dic")));
        ADD_FAILURE() << "an empty dictionary was taken";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(u"Hunspell cannot read the spelling dictionary"))
            << e.what();
    }

    LazyStemmers stemmers(dir.path());
    EXPECT_FALSE(stemmers.asked(LazyStemmers::Language::English));
    EXPECT_EQ(stemmers.forLanguage(LazyStemmers::Language::English), nullptr); // no files
    EXPECT_EQ(stemmers.forLanguage(LazyStemmers::Language::Turkish), nullptr); // empty
    EXPECT_TRUE(stemmers.asked(LazyStemmers::Language::English));
    EXPECT_EQ(stemmers.forLanguage(LazyStemmers::Language::English), nullptr);
}

} // namespace
} // namespace peltavo
