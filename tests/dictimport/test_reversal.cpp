// The Turkish-English entries reversed from real English-Turkish articles: only the leading
// senses, none of an archaic, poetic, dialect, slang or foreign use, names with their capital,
// and the phrases' own translations. The installed word lists decide how words are spelt.
#include "dictdfiles.h"
#include "freedict.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace peltavo::freedict;

namespace {

// Real articles of dict-freedict-eng-tur, as the data file holds them.
const QStringList kArticles = {
    QStringLiteral("prithee /pɹˈɪθiː/\n1. ( ünlem), (eski) lütfen, rica ederim.\n"),
    QStringLiteral("please /plˈiːz/\n1. sevindirmek, hoşnut etmek, memnun etmek\n"
                   "2. hoşuna gitmek\n3. memnun edici olmak\n4. istemek. as you please nasıl "
                   "isterseniz. if you please lütfen, rica ederim\n5. isterseniz.\n"),
    QStringLiteral("bonjour /bɔːnʒˈʊə/\n1. (Fr.) bonjur, günaydın.\n"),
    QStringLiteral("br'er /bˌiːˈɑːɹ ˈɜː/\n1. (Güney ABD) erkek kardeş, ağabey.\n"),
    QStringLiteral("brother /bɹˈʌðə/\n1. erkek kardeş, birader\n2. aynı cemiyette üye.\n"),
    QStringLiteral("time /tˈaɪm/\n1. vakit, zaman\n2. süre, müddet\n3. devir, devre\n"
                   "4. mühlet, vade\n5. saat, dakika\n"),
    QStringLiteral("minute /mˈɪnɪt/\n1. çok ufak\n2. önemsiz\n3. dakik, çok ince. minutely  "
                   "dikkatle, ihtimamla.\n"),
    QStringLiteral("minute /mˈɪnɪt/\n1. dakika\n2. (geom.) bir derecenin altmışta biri\n"
                   "3. an, lahza\n"),
    QStringLiteral("polish /pˈɒlɪʃ/\n1. (leh.), Polonya'ya veya Polonya halkına ait\n"
                   "2. polonya dili, Lehçe.\n"),
    QStringLiteral("polish /pˈɒlɪʃ/\n1. cilalamak, parlatmak, cila vermek\n"),
    QStringLiteral("virgin /vˈɜːdʒɪn/\n1. bakire, kız\n2. (b. h.) Hazreti Meryem\n"),
    QStringLiteral("kid /kˈɪd/\n1. oğlak\n2. (argo) çocuk\n"),
    QStringLiteral("morrow /mˈɒɹəʊ/\n1. (eski), (şiir) yarın\n"),
    QStringLiteral("tomorrow /təmˈɒɹəʊ/\n1. yarın\n"),
    QStringLiteral("ornery /ˈɔːnəɹi/\n1. (A.B.D.), (leh.) huysuz\n"),
    QStringLiteral("birth /bˈɜːθ/\n1. doğum, doğma\n2. soy, nesep. birthday  doğum günü. "
                   "give birth to doğurmak.\n"),
};

class Reversed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<QTemporaryDir>();
        Articles articles;
        for (const QString& article : kArticles)
            articles.emplace_back(article.section(u' ', 0, 0), article);
        writeDictd(dir_->path(), QStringLiteral("freedict-eng-tur"), articles);
        writeDictd(dir_->path(), QStringLiteral("freedict-tur-eng"),
                   {{QStringLiteral("kedi"), QStringLiteral("kedi /kedˈi/\ncat\n")}});
        entries_ = std::make_unique<std::map<QString, QString>>();
        for (const Entry& e : importTurEng(dir_->path(), EnglishWords::loadSystem()))
            entries_->emplace(e.headword, e.meaning);
    }
    static void TearDownTestSuite() {
        entries_.reset();
        dir_.reset();
    }
    // The English words of a reversed entry, in order.
    static QStringList english(const QString& turkish) {
        const auto found = entries_->find(turkish);
        if (found == entries_->end())
            return {};
        return found->second.split(
            QRegularExpression(QStringLiteral("\\r\\n\\d+\\. |^\\d+\\. |, ")), Qt::SkipEmptyParts);
    }

private:
    static inline std::unique_ptr<QTemporaryDir> dir_;
    static inline std::unique_ptr<std::map<QString, QString>> entries_;
};

struct ReversalCase {
    const char* name;
    const char* turkish;
    const char* has;    // English words the entry gives, "|" between them
    const char* hasNot; // and words it must not give
};

void PrintTo(const ReversalCase& c, std::ostream* os) {
    *os << c.name;
}

class ReversedCases : public Reversed, public ::testing::WithParamInterface<ReversalCase> {};

TEST_P(ReversedCases, GiveTheLearnersWords) {
    const ReversalCase& c = GetParam();
    const QStringList given = english(QString::fromUtf8(c.turkish));
    for (const QString& word : QString::fromUtf8(c.has).split(u'|', Qt::SkipEmptyParts))
        EXPECT_TRUE(given.contains(word)) << c.turkish << " lacks " << word.toStdString() << ": "
                                          << given.join(u'|').toStdString();
    for (const QString& word : QString::fromUtf8(c.hasNot).split(u'|', Qt::SkipEmptyParts))
        EXPECT_FALSE(given.contains(word)) << c.turkish << " gives " << word.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Real, ReversedCases,
    ::testing::Values(
        // Archaic, poetic, dialect, slang and foreign senses are left out.
        ReversalCase{"ArchaicAndPhrase", "lütfen", "if you please", "prithee"},
        ReversalCase{"Foreign", "günaydın", "", "bonjour|bonjur"},
        ReversalCase{"Dialect", "ağabey", "", "br'er"},
        ReversalCase{"DialectLabel", "huysuz", "", "ornery"},
        ReversalCase{"Slang", "çocuk", "", "kid"},
        ReversalCase{"Poetic", "yarın", "tomorrow", "morrow"},
        ReversalCase{"OwnSenseStays", "oğlak", "kid", ""},
        // Only the leading senses of an article: "dakika" is the fifth of "time".
        ReversalCase{"LeadingSensesOnly", "dakika", "minute", "time"},
        ReversalCase{"LeadingSenseOfASecondArticle", "vakit", "time", ""},
        // Names keep their capital; the same word as a common noun does not.
        ReversalCase{"ProperAdjective", "Lehçe", "Polish", "polish"},
        ReversalCase{"LanguageWrittenSmall", "polonya dili", "Polish", "polish"},
        ReversalCase{"CommonWord", "cilalamak", "polish", "Polish"},
        ReversalCase{"CapitalLabel", "Hazreti Meryem", "Virgin", "virgin"},
        // Run-on words and phrases give their own translations.
        ReversalCase{"RunOnWord", "doğum günü", "birthday", "birth"},
        ReversalCase{"RunOnPhrase", "doğurmak", "give birth to", "birth"},
        ReversalCase{"PhraseSensesAfterIt", "isterseniz", "if you please", "please"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
