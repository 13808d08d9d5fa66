#include "dictdfiles.h"
#include "error.h"
#include "freedict.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <utility>

using namespace peltavo::freedict;

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QByteArray gzip(const QByteArray& plain) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray out(static_cast<qsizetype>(deflateBound(&z, plain.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.constData()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray base64Number(qint64 value) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray out;
    do {
        out.prepend(digits[value % 64]);
        value /= 64;
    } while (value > 0);
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

} // namespace

void peltavo::freedict::writeDictd(const QString& dir, const QString& name,
                                   const Articles& articles, bool compressed) {
    QByteArray data;
    QByteArray index;
    for (const auto& [headword, article] : articles) {
        const QByteArray bytes = article.toUtf8();
        index += headword.toUtf8() + '\t' + base64Number(data.size()) + '\t' +
                 base64Number(bytes.size()) + '\n';
        data += bytes;
    }
    writeFile(dir + u'/' + name + QStringLiteral(".index"), index);
    if (compressed) {
        writeFile(dir + u'/' + name + QStringLiteral(".dict.dz"), gzip(data));
    } else {
        writeFile(dir + u'/' + name + QStringLiteral(".dict"), data);
    }
}

namespace {

std::map<QString, QString> byHeadword(const std::vector<Entry>& entries) {
    std::map<QString, QString> out;
    for (const Entry& e : entries) {
        EXPECT_TRUE(out.emplace(e.headword, e.meaning).second)
            << "twice: " << e.headword.toStdString();
    }
    return out;
}

const Articles kSample = {
    {QStringLiteral("00databaseinfo"), QStringLiteral("00-database-info\nAbout this dictionary\n")},
    {QStringLiteral("kedi"), QStringLiteral("kedi /kedˈi/\ncat\n")},
    {QStringLiteral("çiçek"), QStringLiteral("çiçek /tʃitʃˈek/\n1. flower\n2. smallpox\n")},
    // Long enough for three-digit offsets.
    {QStringLiteral("uzun"), QStringLiteral("uzun /uzˈun/\n") + QString(5000, u'ş') + u'\n'},
    {QStringLiteral("son"), QStringLiteral("son /sˈon/\nend, last\n")},
};

class ReadDictd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
    QString path(const QString& name) const { return tmp.filePath(name); }
    QTemporaryDir tmp;
};

TEST_F(ReadDictd, ReadsArticlesInIndexOrderWithoutTheDescription) {
    writeDictd(tmp.path(), QStringLiteral("d"), kSample);
    const auto entries = readDictd(path("d.index"), path("d.dict.dz"));
    ASSERT_EQ(entries.size(), kSample.size() - 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].headword, kSample[i + 1].first);
        EXPECT_EQ(entries[i].meaning, kSample[i + 1].second);
    }
}

TEST_F(ReadDictd, ReadsAnUncompressedDataFile) {
    writeDictd(tmp.path(), QStringLiteral("d"), kSample, false);
    const auto entries = readDictd(path("d.index"), path("d.dict"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[3].meaning, QStringLiteral("son /sˈon/\nend, last\n"));
}

TEST_F(ReadDictd, ReadsSeveralGzipMembers) {
    writeDictd(tmp.path(), QStringLiteral("d"), kSample, false);
    QFile plain(path("d.dict"));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    const QByteArray data = plain.readAll();
    writeFile(path("d.dict.dz"), gzip(data.left(100)) + gzip(data.mid(100)));
    EXPECT_EQ(readDictd(path("d.index"), path("d.dict.dz")).size(), 4u);
}

struct BrokenCase {
    const char* name;
    QByteArray (*damageIndex)(const QByteArray&);
    QByteArray (*damageData)(const QByteArray&);
    const char* messagePart;
};

class ReadDictdBroken : public ReadDictd, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(ReadDictdBroken, ThrowsAClearError) {
    writeDictd(tmp.path(), QStringLiteral("d"), kSample);
    for (const auto& [file, damage] :
         {std::pair{QStringLiteral("d.index"), GetParam().damageIndex},
          std::pair{QStringLiteral("d.dict.dz"), GetParam().damageData}}) {
        if (!damage) {
            continue;
        }
        QFile f(path(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray damaged = damage(f.readAll());
        f.close();
        if (damaged.isNull()) {
            QFile::remove(path(file));
        } else {
            writeFile(path(file), damaged);
        }
    }
    try {
        readDictd(path("d.index"), path("d.dict.dz"));
        FAIL() << "no error";
    } catch (const peltavo::Error& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String(GetParam().messagePart)))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(tmp.path())) << e.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadDictdBroken,
    ::testing::Values(
        BrokenCase{"MissingIndex", [](const QByteArray&) { return QByteArray(); }, nullptr,
                   "Cannot open the dictionary index"},
        BrokenCase{"MissingData", nullptr, [](const QByteArray&) { return QByteArray(); },
                   "Cannot open the dictionary data"},
        BrokenCase{"NotGzip", nullptr, [](const QByteArray&) { return QByteArray(100, 'x'); },
                   "not a gzip file"},
        BrokenCase{"CorruptDeflate", nullptr,
                   [](const QByteArray& d) {
                       QByteArray b = d;
                       for (qsizetype i = 12; i < b.size() - 8; i += 3) {
                           b[i] = static_cast<char>(b[i] ^ 0x5a);
                       }
                       return b;
                   },
                   "is damaged"},
        BrokenCase{"Truncated", nullptr, [](const QByteArray& d) { return d.left(d.size() / 2); },
                   "ends too early"},
        BrokenCase{"LineWithoutTabs", [](const QByteArray& d) { return d + "broken line\n"; },
                   nullptr, "damaged at line 6"},
        BrokenCase{"BadDigit", [](const QByteArray& d) { return d + "x\tA*\tB\n"; }, nullptr,
                   "damaged at line 6"},
        BrokenCase{"PastTheEnd", [](const QByteArray& d) { return d + "x\tzzzz\tB\n"; }, nullptr,
                   "points past the end"}),
    [](const auto& info) { return std::string(info.param.name); });

// A small word list with the traps of the real ones: single letters, abbreviations and
// possessives.
class Repair : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static QTemporaryDir tmp;
        const QString list = tmp.filePath(QStringLiteral("words"));
        writeFile(list, "a\nb\nI\ncf\ned\nme\nof\nbe\nto\nsorry\nabout\nelder\nelder's\nsister\n"
                        "storage\nbattery\nevery\nthing\neverything\nthrough\nthro\nugh\n"
                        "rough\ncome\nhalt\nUnited\nstates\nAmerica\nlies\nmeal\nin\nway\n"
                        "away\nmy\nyard\n");
        words = new EnglishWords(EnglishWords::load(list));
    }
    static void TearDownTestSuite() { delete words; }
    static inline EnglishWords* words = nullptr;
};

TEST_F(Repair, WordListIgnoresCaseAndPossessives) {
    EXPECT_TRUE(words->contains(QStringLiteral("ELDER")));
    EXPECT_TRUE(words->contains(QStringLiteral("america")));
    EXPECT_FALSE(words->contains(QStringLiteral("elder's")));
}

struct RepairCase {
    const char* text;
    const char* expected;
};

void PrintTo(const RepairCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class RepairCases : public Repair, public ::testing::WithParamInterface<RepairCase> {};

TEST_P(RepairCases, SplitsOnlyUnknownGluedWords) {
    const QString text = QString::fromUtf8(GetParam().text);
    bool changed = true;
    QStringList repairs;
    const QString result = repairGluedWords(text, *words, &changed, &repairs);
    EXPECT_EQ(result, QString::fromUtf8(GetParam().expected));
    EXPECT_EQ(changed, result != text);
    EXPECT_EQ(repairs.isEmpty(), result == text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RepairCases,
    ::testing::Values(RepairCase{"eldersister", "elder sister"},
                      RepairCase{"besorryabout", "be sorry about"},
                      RepairCase{"storagebattery", "storage battery"},
                      RepairCase{"1. sister, eldersister; cometoahalt",
                                 "1. sister, elder sister; come to a halt"},
                      RepairCase{"UnitedStatesofAmerica", "United States of America"},
                      // Known words stay whole although they could be cut.
                      RepairCase{"everything", "everything"}, RepairCase{"through", "through"},
                      RepairCase{"storage", "storage"},
                      RepairCase{"Everything, THROUGH", "Everything, THROUGH"},
                      // Only junk pieces, single letters, or a rest that is no word: no clean cut.
                      RepairCase{"edcf", "edcf"}, RepairCase{"sisterb", "sisterb"},
                      RepairCase{"mealies", "mealies"}, RepairCase{"sisterxq", "sisterxq"},
                      RepairCase{"elders", "elders"},
                      // Fewest pieces first, which is not always the right reading ("in a way").
                      RepairCase{"inaway", "in away"},
                      // Apostrophes, abbreviations and other letters are left alone.
                      RepairCase{"sisterabout's", "sisterabout's"}, RepairCase{"USAB", "USAB"},
                      RepairCase{"kızkardeşsister", "kızkardeşsister"},
                      RepairCase{"abla, büyükabla", "abla, büyükabla"}, RepairCase{"", ""}));

// The imports on a small FreeDict-like pair written by the test.
class Import : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        writeDictd(tmp.path(), QStringLiteral("freedict-eng-tur"),
                   {{QStringLiteral("00databaseshort"), QStringLiteral("English-Turkish\n")},
                    {QStringLiteral("a"), QStringLiteral("a /ˈeɪ/\n1. harf\n2. not.\n")},
                    {QStringLiteral("a"), QStringLiteral("a /ə/\n1. bir\n2. harf\n")},
                    {QStringLiteral("book"), QStringLiteral("book /bˈʊk/\n1. kitap.\n")},
                    {QStringLiteral("aarons rod"),
                     QStringLiteral("aaron(s.) rod /ˈeəɹənz ɹˈɒd/\n1. sığırkuyruğu\n")},
                    {QStringLiteral("earth"), QStringLiteral("earth (1) /ˈɜːθ/\n1. dünya\n")},
                    {QStringLiteral("earth"), QStringLiteral("earth (2) /ˈɜːθ/\n1. toprak\n")},
                    {QStringLiteral("color colour"),
                     QStringLiteral("color , (ýng.) colour /kˈʌlə/\n1. renk\n")},
                    {QStringLiteral("book"), QStringLiteral("book- /bˈʊk/\n1. (önek) kitap\n")},
                    {QStringLiteral("fiance fiancee"),
                     QStringLiteral("fiance, (eril), fiancee (diþil) /fiˈɒnseɪ/\n1. nişanlı\n")},
                    {QStringLiteral("insurance"),
                     QStringLiteral("insurance /ɪnʃˈʊəɹəns/\n1. sigorta\n2. (sig.)orta "
                                    "poliçesi, as(sig.)nment\n3. (kıs.)assistant, "
                                    "(zool.)Acanthophis\n4. e(den.)   ve  (A.B.D.) vb.\n")},
                    {QStringLiteral("hardworking"),
                     QStringLiteral("hardworking /hˈɑːdwɜːkɪŋ/\n1. çalışkan\n")},
                    {QStringLiteral("artery"),
                     QStringLiteral("artery /ˈɑːtəɹi/\n1. arter\n2. büyük nehir. artesian\n")},
                    {QStringLiteral("empty"), QStringLiteral("empty /ˈɛmpti/\n")}});
        writeDictd(
            tmp.path(), QStringLiteral("freedict-tur-eng"),
            {{QStringLiteral("abla"), QStringLiteral("abla /abɫˈa/\n1. sister\n2. eldersister\n")},
             {QStringLiteral("abajur"), QStringLiteral("abajur /abaʒˈuɾ/\nlamp‐shade\n")},
             {QStringLiteral("çalışkan"),
              QStringLiteral("çalışkan /tʃaɫɯʃkˈan/\nhardworking, diligent\n")},
             {QStringLiteral("afrika"), QStringLiteral("  Afrika  /afrikˈa/\nAfrica\n")}});
        const QString list = tmp.filePath(QStringLiteral("words"));
        writeFile(list, "elder\nsister\nhard\nworking\nlamp\nshade\ndiligent\nAfrica\n");
        words = EnglishWords::load(list);
    }
    QTemporaryDir tmp;
    EnglishWords words;
};

TEST_F(Import, EnglishTurkishMergesCleansAndKeepsEverySense) {
    Report report;
    const auto entries = byHeadword(importEngTur(tmp.path(), words, &report));
    EXPECT_EQ(entries.at(QStringLiteral("a")), QStringLiteral("1. harf\r\n2. not\r\n3. bir"));
    EXPECT_EQ(entries.at(QStringLiteral("book")), QStringLiteral("kitap"));
    EXPECT_EQ(entries.at(QStringLiteral("book-")), QStringLiteral("(önek) kitap"));
    EXPECT_EQ(entries.at(QStringLiteral("aarons rod")), QStringLiteral("sığırkuyruğu"));
    EXPECT_EQ(entries.at(QStringLiteral("earth")), QStringLiteral("1. dünya\r\n2. toprak"));
    // One entry for each spelling of a headword line.
    EXPECT_EQ(entries.at(QStringLiteral("color")), QStringLiteral("renk"));
    EXPECT_EQ(entries.at(QStringLiteral("colour")), QStringLiteral("renk"));
    EXPECT_EQ(entries.at(QStringLiteral("fiance")), QStringLiteral("nişanlı"));
    EXPECT_EQ(entries.at(QStringLiteral("fiancee")), QStringLiteral("nişanlı"));
    EXPECT_EQ(
        entries.at(QStringLiteral("insurance")),
        QStringLiteral("1. sigorta\r\n2. sigorta poliçesi, assignment\r\n"
                       "3. (kıs.) assistant, (zool.) Acanthophis\r\n4. eden ve (A.B.D.) vb."));
    EXPECT_EQ(entries.count(QStringLiteral("empty")), 0u);
    // A word without its meaning at the article's end is the next article's headword.
    EXPECT_EQ(entries.at(QStringLiteral("artery")), QStringLiteral("1. arter\r\n2. büyük nehir"));
    EXPECT_EQ(report.fragments, 1);
    EXPECT_EQ(report.articles, 13);
    EXPECT_EQ(report.headwords, 12);
    EXPECT_EQ(report.splitHeadwords, 2);
    EXPECT_EQ(report.merged, 2);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.labelFixes, 3);
}

TEST_F(Import, TurkishEnglishRepairsGluedPhrases) {
    Report report;
    const auto entries = byHeadword(importTurEng(tmp.path(), words, &report));
    EXPECT_EQ(entries.at(QStringLiteral("abla")), QStringLiteral("1. sister\r\n2. elder sister"));
    EXPECT_EQ(entries.at(QStringLiteral("abajur")), QStringLiteral("lamp-shade"));
    // A headword of the English-Turkish dictionary counts as a real word.
    EXPECT_EQ(entries.at(QStringLiteral("çalışkan")), QStringLiteral("hardworking, diligent"));
    EXPECT_EQ(entries.at(QStringLiteral("Afrika")), QStringLiteral("Africa"));
    // The English-Turkish entries turned around come after the Turkish-English ones.
    EXPECT_EQ(entries.at(QStringLiteral("dünya")), QStringLiteral("earth"));
    EXPECT_EQ(entries.at(QStringLiteral("renk")), QStringLiteral("color"));
    EXPECT_EQ(report.headwords, 4 + report.reversed);
    EXPECT_EQ(report.reversed, 11);
    EXPECT_EQ(report.extended, 0);
    EXPECT_EQ(report.repaired, 1);
    EXPECT_EQ(report.repairedExamples, QStringList{QStringLiteral("eldersister -> elder sister")});
}

TEST_F(Import, MissingDictionaryIsAnError) {
    QFile::remove(tmp.filePath(QStringLiteral("freedict-eng-tur.dict.dz")));
    EXPECT_THROW(importEngTur(tmp.path(), words), peltavo::Error);
    EXPECT_THROW(importTurEng(tmp.path(), words), peltavo::Error);
}

// How common English words are, from SCOWL's size levels.
class Levels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        writeFile(tmp.filePath(QStringLiteral("english-words.10")), "house\nHome\n");
        writeFile(tmp.filePath(QStringLiteral("english-words.35")), "house\nabode\n");
        writeFile(tmp.filePath(QStringLiteral("english-words.txt")), "abode\n"); // no level
        writeFile(tmp.filePath(QStringLiteral("list")), "house\nhome\nabode\nEgypt\nEnglish\n"
                                                        "english\ncorn\n");
        words = EnglishWords::load(tmp.filePath(QStringLiteral("list")));
    }
    QTemporaryDir tmp;
    EnglishWords words;
};

TEST_F(Levels, ListedWordsWithoutLevels) {
    EXPECT_EQ(words.level(QStringLiteral("House")), 50);
    EXPECT_EQ(words.level(QStringLiteral("cottage")), 100);
    EXPECT_EQ(words.level(QStringLiteral("house corn")), 51);
}

TEST_F(Levels, LowestLevelIgnoringCasePhrasesByTheirRarestWord) {
    words.loadLevels(tmp.path());
    EXPECT_EQ(words.level(QStringLiteral("house")), 10);
    EXPECT_EQ(words.level(QStringLiteral("HOME")), 10);
    EXPECT_EQ(words.level(QStringLiteral("abode")), 35);
    EXPECT_EQ(words.level(QStringLiteral("corn")), 100); // listed, but in no level
    EXPECT_EQ(words.level(QStringLiteral("home abode")), 36);
    EXPECT_EQ(words.level(QString()), 100);
}

TEST_F(Levels, FolderWithoutLevelsIsAnError) {
    QTemporaryDir empty;
    try {
        words.loadLevels(empty.path());
        FAIL() << "no error";
    } catch (const peltavo::Error& e) {
        EXPECT_TRUE(e.message().contains(empty.path())) << e.message().toStdString();
    }
}

TEST_F(Levels, NamesAreWordsListedWithACapitalOnly) {
    EXPECT_TRUE(words.isName(QStringLiteral("egypt")));
    EXPECT_FALSE(words.isName(QStringLiteral("english"))); // listed both ways
    EXPECT_FALSE(words.isName(QStringLiteral("corn")));
    EXPECT_FALSE(words.isName(QStringLiteral("atlantis"))); // not listed
}

struct TermsCase {
    const char* name;
    const char* sense;
    const char* english;
    const char* terms; // expected, joined by "|"
};

void PrintTo(const TermsCase& c, std::ostream* os) {
    *os << '"' << c.sense << '"';
}

class TurkishTermsCases : public ::testing::TestWithParam<TermsCase> {};

TEST_P(TurkishTermsCases, KeepsOnlyCleanTerms) {
    const TermsCase& c = GetParam();
    EXPECT_EQ(turkishTerms(QString::fromUtf8(c.sense), QString::fromUtf8(c.english)).join(u'|'),
              QString::fromUtf8(c.terms));
}

INSTANTIATE_TEST_SUITE_P(
    Senses, TurkishTermsCases,
    ::testing::Values(
        TermsCase{"SplitAtCommasSemicolonsSlashesOnceEach", "hata; yanlış / kusur, hata", "error",
                  "hata|yanlış|kusur"},
        TermsCase{"StopAtThePhrases", "güzel, latif, hoş. beautifully güzel bir şekilde",
                  "beautiful", "güzel|latif|hoş"},
        TermsCase{"StopAtAColon", "vermek, teslim etmek: elden ele geçirmek", "deliver",
                  "vermek|teslim etmek"},
        TermsCase{"TwoVerbsWithoutTheirComma", "canlandırmak şevklendirmek, teşvik etmek",
                  "animate", "canlandırmak|şevklendirmek|teşvik etmek"},
        TermsCase{"WithoutLabelsAndRemarks", "(k. dili) (-ned, -ning) güneş (gök), gün (eski)",
                  "sun", "güneş|gün"},
        TermsCase{"BrokenPluralLabel", "(çoğ.) women) kadın", "woman", "kadın"},
        TermsCase{"StrayFullStop", ".gözyaşı", "tear", "gözyaşı"},
        TermsCase{"BareSubjectLabel", "kim. tuz ruhu", "spirit of salt", "tuz ruhu"},
        TermsCase{"AbbreviationLabelEndsTheTerms", "ingilizce, (kıs.) English, Eng", "eng",
                  "ingilizce"},
        TermsCase{"CrossReferenceIsEnglish", "(bak.) colour", "color", ""},
        TermsCase{"AffixLabel", "(önek) iyi, hoş", "eu", ""},
        TermsCase{"AffixesAndForeignLetters", "-den, ön-, quiz, taksi", "cab", "taksi"},
        TermsCase{"TurkishLowerCase", "çIkarmak, kiTAp", "extract", "çıkarmak|kitap"},
        TermsCase{"CapitalIForL", "Iütfen, Iâkayt", "please", "lütfen|lâkayt"},
        TermsCase{"NamesKeepTheirCapitals", "Mısır, Kova Burcu, İstanbul", "egypt",
                  "Mısır|Kova Burcu|İstanbul"},
        TermsCase{"NoLatinNamesNorAbbreviations", "sarı kuş, Emberiza citrinella, ABD, TBMM",
                  "yellowhammer", "sarı kuş"},
        TermsCase{"NoNameInASubjectSense", "(zool.) Natrix", "water snake", ""},
        TermsCase{"NoPieceAfterAnInnerLabel", "su yılanı, (zool.) natrix", "water snake",
                  "su yılanı"},
        TermsCase{"NoDescriptions",
                  "bir çeşit balık, balık gibi, denize ait, çeşit kuş, bir şey, vb, hata veya "
                  "yanlış",
                  "fish", ""},
        TermsCase{"ThreeWordsOnlyForAVerb",
                  "gereğinden fazla pişirmek, gereği olmayan harf, çok fazla pişmiş", "overdo",
                  "gereğinden fazla pişirmek"},
        TermsCase{"NoExplanation", "bedeninde üç bölme bulunan hayvan", "trilobite", ""},
        TermsCase{"NoListRunningIntoAText",
                  "su, hava veya ses hareketlerini kontrol eden bir levha", "baffle", ""},
        TermsCase{"NoShortPiecesAfterAnExplanation",
                  "tropikal Afrika ormanlarında yaşayan, büyük, kahverengi antilop", "bongo", ""},
        TermsCase{"ShortPiecesBeforeAnExplanation", "kabadayı, kendinden küçükleri ezen kimse",
                  "bully", "kabadayı"},
        TermsCase{"NoEcho", "hazel, elâ, hazelnut fındık, fındık", "hazel", "elâ|fındık"},
        TermsCase{"NoLoneLetters", "o, e, a", "he", "o"}, TermsCase{"Empty", "", "x", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The English-Turkish dictionary turned around and added to the Turkish-English one.
class Reverse : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        Articles english = {
            {QStringLiteral("book"),
             QStringLiteral("book /bˈʊk/\n1. deftere geçirmek\n2. kitap\n3. (müz.) livre\n")},
            {QStringLiteral("notebook"), QStringLiteral("notebook\n1. defter, not defteri\n")},
            {QStringLiteral("volume"), QStringLiteral("volume\n1. cilt, kitap\n2. hacim\n")},
            {QStringLiteral("tome"), QStringLiteral("tome\n1. kitap\n")},
            {QStringLiteral("house"),
             QStringLiteral("house /hˈaʊs/\n1. ev, konut. house arrest ev hapsi\n"
                            "2. göz hapsi\n")},
            {QStringLiteral("house"),
             QStringLiteral("house /hˈaʊs/\n1. (den.) siper altına almak\n")},
            {QStringLiteral("home"), QStringLiteral("home\n1. yuva\n2. ev\n")},
            {QStringLiteral("domicile"), QStringLiteral("domicile\n1. ev\n")},
            {QStringLiteral("abode"), QStringLiteral("abode\n1. ev, mesken\n")},
            {QStringLiteral("hand"),
             QStringLiteral("hand\n1. elle vermek. hand over teslim etmek\n2. devretmek\n")},
            {QStringLiteral("hand"), QStringLiteral("hand\n1. el\n")},
            {QStringLiteral("egypt"), QStringLiteral("egypt\n1. Mısır\n")},
            {QStringLiteral("great britain"), QStringLiteral("great britain\n1. Britanya\n")},
            {QStringLiteral("corn"), QStringLiteral("corn\n1. mısır\n")},
            {QStringLiteral("english"), QStringLiteral("english\n1. ingilizce\n")},
            {QStringLiteral("asst"), QStringLiteral("asst\n1. (kıs.) assistant\n")},
            {QStringLiteral("ba"), QStringLiteral("ba\n1. bakalorya\n")},
            {QStringLiteral("x-ray"), QStringLiteral("x-ray\n1. röntgen\n")},
            {QStringLiteral("re-"), QStringLiteral("re-\n1. yeniden\n")},
        };
        // Ten words for "güzel": more than a line takes.
        for (const char* word : {"beautiful", "pretty", "nice", "fine", "lovely", "fair",
                                 "handsome", "good", "bonny", "comely"}) {
            english.push_back({QString::fromLatin1(word),
                               QString::fromLatin1(word) + QStringLiteral("\n1. güzel\n")});
        }
        writeDictd(tmp.path(), QStringLiteral("freedict-eng-tur"), english);
        writeDictd(tmp.path(), QStringLiteral("freedict-tur-eng"),
                   {{QStringLiteral("kitap"), QStringLiteral("kitap /kitˈap/\nbook\n")},
                    {QStringLiteral("mısır"), QStringLiteral("mısır\nmaize\n")},
                    {QStringLiteral("mısır"), QStringLiteral("Mısır\nEgypt\n")}});
        writeFile(tmp.filePath(QStringLiteral("english-words.10")),
                  "book\nhouse\nhome\nhand\ngood\nnice\nfine\npretty\nfair\ngreat\n");
        writeFile(tmp.filePath(QStringLiteral("english-words.20")), "beautiful\nlovely\n");
        writeFile(tmp.filePath(QStringLiteral("english-words.35")),
                  "notebook\nvolume\nhandsome\ncorn\n");
        writeFile(tmp.filePath(QStringLiteral("english-words.50")), "abode\nEnglish\n");
        writeFile(tmp.filePath(QStringLiteral("english-words.70")), "tome\ndomicile\nbonny\n");
        writeFile(tmp.filePath(QStringLiteral("list")),
                  "book\nhouse\nhome\nhand\nEgypt\nBritain\ngreat\nEnglish\ncorn\nover\narrest\n");
        words = EnglishWords::load(tmp.filePath(QStringLiteral("list")));
        words.loadLevels(tmp.path());
    }
    std::map<QString, QString> import(Report* report = nullptr) const {
        return byHeadword(importTurEng(tmp.path(), words, report));
    }
    QTemporaryDir tmp;
    EnglishWords words;
};

TEST_F(Reverse, OwnSensesFirstThenTheEnglishWordsTheyLack) {
    const auto entries = import();
    // "book" is in the Turkish-English entry already; "volume" is more common than "tome".
    EXPECT_EQ(entries.at(QStringLiteral("kitap")), QStringLiteral("1. book\r\n2. volume, tome"));
    EXPECT_EQ(entries.at(QStringLiteral("mısır")), QStringLiteral("1. maize\r\n2. corn"));
    EXPECT_EQ(entries.at(QStringLiteral("Mısır")), QStringLiteral("Egypt"));
}

TEST_F(Reverse, NewHeadwordsFromEveryCleanTerm) {
    const auto entries = import();
    EXPECT_EQ(entries.at(QStringLiteral("defter")), QStringLiteral("notebook"));
    EXPECT_EQ(entries.at(QStringLiteral("not defteri")), QStringLiteral("notebook"));
    EXPECT_EQ(entries.at(QStringLiteral("deftere geçirmek")), QStringLiteral("book"));
    EXPECT_EQ(entries.at(QStringLiteral("cilt")), QStringLiteral("volume"));
    EXPECT_EQ(entries.at(QStringLiteral("hacim")), QStringLiteral("volume"));
    EXPECT_EQ(entries.at(QStringLiteral("livre")), QStringLiteral("book"));
    EXPECT_EQ(entries.at(QStringLiteral("ingilizce")), QStringLiteral("English"));
    EXPECT_EQ(entries.at(QStringLiteral("Britanya")), QStringLiteral("Great Britain"));
    EXPECT_EQ(entries.at(QStringLiteral("röntgen")), QStringLiteral("x-ray"));
    // Abbreviations, two letters that are no common word, prefixes.
    for (const char* absent : {"assistant", "bakalorya", "yeniden"}) {
        EXPECT_EQ(entries.count(QString::fromUtf8(absent)), 0u) << absent;
    }
    for (const auto& [headword, meaning] : entries) {
        EXPECT_FALSE(meaning.contains(QLatin1String("asst"))) << headword.toStdString();
    }
}

TEST_F(Reverse, CommonWordsAndFirstSensesFirst) {
    const auto entries = import();
    // house: first term of the first sense, level 10; home: a sense of its own, level 10;
    // abode and domicile: first terms, rarer.
    EXPECT_EQ(entries.at(QStringLiteral("ev")), QStringLiteral("house, home, abode, domicile"));
    EXPECT_EQ(entries.at(QStringLiteral("konut")), QStringLiteral("house"));
}

// The senses after a phrase belong to the phrase, which gives them as its translation.
TEST_F(Reverse, PhrasesAndTheSensesAfterThemGoToThePhrase) {
    const auto entries = import();
    EXPECT_EQ(entries.at(QStringLiteral("ev hapsi")), QStringLiteral("house arrest"));
    EXPECT_EQ(entries.at(QStringLiteral("göz hapsi")), QStringLiteral("house arrest"));
    EXPECT_EQ(entries.at(QStringLiteral("teslim etmek")), QStringLiteral("hand over"));
    EXPECT_EQ(entries.at(QStringLiteral("devretmek")), QStringLiteral("hand over"));
    EXPECT_EQ(entries.at(QStringLiteral("el")), QStringLiteral("hand"));
    EXPECT_EQ(entries.at(QStringLiteral("elle vermek")), QStringLiteral("hand"));
    EXPECT_EQ(entries.at(QStringLiteral("siper altına almak")), QStringLiteral("house"));
}

TEST_F(Reverse, LineIsCappedBestFirst) {
    const auto entries = import();
    const QStringList line = entries.at(QStringLiteral("güzel")).split(QStringLiteral(", "));
    ASSERT_EQ(line.size(), kReversedWordsCap);
    // Level 10 alphabetically, then 20, then 35; the level-70 and unknown words are cut.
    EXPECT_EQ(line, QStringList({QStringLiteral("fair"), QStringLiteral("fine"),
                                 QStringLiteral("good"), QStringLiteral("nice"),
                                 QStringLiteral("pretty"), QStringLiteral("beautiful"),
                                 QStringLiteral("lovely"), QStringLiteral("handsome")}));
}

TEST_F(Reverse, CountsAndSameResultWhateverTheArticleOrder) {
    Report report;
    const auto first = importTurEng(tmp.path(), words, &report);
    EXPECT_EQ(report.headwords, static_cast<int>(first.size()));
    EXPECT_EQ(report.extended, 2); // kitap, mısır
    EXPECT_EQ(report.reversed, report.headwords - 3);
    EXPECT_EQ(report.articles, 3);

    std::vector<Entry> reread = readDictd(tmp.filePath(QStringLiteral("freedict-eng-tur.index")),
                                          tmp.filePath(QStringLiteral("freedict-eng-tur.dict.dz")));
    Articles reversedOrder;
    for (auto it = reread.rbegin(); it != reread.rend(); ++it) {
        reversedOrder.push_back({it->headword, it->meaning});
    }
    writeDictd(tmp.path(), QStringLiteral("freedict-eng-tur"), reversedOrder);
    const auto second = importTurEng(tmp.path(), words);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].headword, first[i].headword);
        EXPECT_EQ(second[i].meaning, first[i].meaning);
    }
}

// The dictionaries that Debian installs.
class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo::exists(kDir + QStringLiteral("/freedict-tur-eng.index")) ||
            !QFileInfo::exists(kDir + QStringLiteral("/freedict-eng-tur.index"))) {
            // tools/setup.sh installs them; their absence is a broken set-up, not a reason to skip.
            FAIL() << "dict-freedict-eng-tur / dict-freedict-tur-eng not installed";
        }
    }
    static int senseLines(const QString& meaning) {
        return static_cast<int>(meaning.count(QStringLiteral("\r\n"))) + 1;
    }
    static void expectClean(const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            EXPECT_FALSE(e.headword.isEmpty());
            EXPECT_EQ(e.headword, e.headword.trimmed());
            EXPECT_FALSE(e.headword.contains(u'\n'));
            EXPECT_FALSE(e.meaning.trimmed().isEmpty()) << e.headword.toStdString();
            EXPECT_EQ(e.meaning.count(u'\n'), e.meaning.count(QStringLiteral("\r\n")));
            EXPECT_FALSE(e.meaning.contains(QStringLiteral("/ˈ"))) << e.headword.toStdString();
        }
    }
    const QString kDir = QStringLiteral("/usr/share/dictd");
};

TEST_F(Installed, EnglishTurkish) {
    Report report;
    const auto list = importEngTur(kDir, EnglishWords::loadSystem(), &report);
    expectClean(list);
    const auto entries = byHeadword(list);
    EXPECT_GT(report.articles, 35000);
    EXPECT_LT(report.articles, 38000);
    EXPECT_EQ(report.headwords, static_cast<int>(list.size()));
    EXPECT_GT(report.headwords, 33000);
    // Each spelling of a headword line and each run-on word is an entry of its own.
    EXPECT_EQ(report.headwords, report.articles + report.splitHeadwords - report.merged -
                                    report.skipped + report.runOnHeadwords);
    EXPECT_GT(report.runOnHeadwords, 5000);

    // No sense is lost: every sense line of the data is in the result, bar exact repeats.
    int stored = 0;
    for (const Entry& article : readDictd(kDir + QStringLiteral("/freedict-eng-tur.index"),
                                          kDir + QStringLiteral("/freedict-eng-tur.dict.dz"))) {
        stored += static_cast<int>(article.meaning.trimmed().count(u'\n'));
    }
    int kept = 0;
    for (const Entry& e : list) {
        kept += senseLines(e.meaning);
    }
    // Run-on words and further spellings repeat senses as entries of their own.
    EXPECT_GT(kept, stored * 98 / 100);
    EXPECT_LE(kept, stored * 2);

    // "a" is a letter and an article, two entries in the data with seven senses in all; the
    // example "twice a year" in the last one is a line of its own.
    EXPECT_EQ(senseLines(entries.at(QStringLiteral("a"))), 8);
    EXPECT_TRUE(entries.at(QStringLiteral("push")).startsWith(QStringLiteral("1. itmek")));

    // Run-on words, further spellings and repaired headwords are entries of their own.
    for (const char* headword :
         {"birthday", "everyday", "usually", "desperation", "touchable", "evolve", "red-handed",
          "good-bye", "neighbour", "legalistic", "heroical", "okapi", "-ian", "PTA"}) {
        EXPECT_EQ(entries.count(QString::fromUtf8(headword)), 1u) << headword;
    }
    for (const char* headword : {"goodby, good-bye", "evoive", "redhanded", "touch able",
                                 "heroicical", "okapl", "Ian", "Pta"}) {
        EXPECT_EQ(entries.count(QString::fromUtf8(headword)), 0u) << headword;
    }
    EXPECT_EQ(entries.at(QStringLiteral("birthday")), QStringLiteral("doğum günü"));
}

TEST_F(Installed, TurkishEnglish) {
    Report report;
    const auto list = importTurEng(kDir, EnglishWords::loadSystem(), &report);
    expectClean(list);
    const auto entries = byHeadword(list);
    EXPECT_GT(report.headwords, 900);
    EXPECT_GT(report.repaired, 50);
    EXPECT_EQ(entries.at(QStringLiteral("abla")), QStringLiteral("1. sister\r\n2. elder sister"));
    // FreeDict's own sense first; "America" comes from the English-Turkish dictionary.
    EXPECT_TRUE(entries.at(QStringLiteral("Amerika"))
                    .startsWith(QStringLiteral("1. United States of America")));
    for (const Entry& e : list) {
        EXPECT_FALSE(e.meaning.contains(QStringLiteral("storagebattery")));
    }
}

TEST_F(Installed, TurkishEnglishWithTheEnglishTurkishTurnedAround) {
    Report report;
    const auto list = importTurEng(kDir, EnglishWords::loadSystem(), &report);
    const auto entries = byHeadword(list);
    EXPECT_GT(report.headwords, 30000);
    EXPECT_LT(report.headwords, 50000);
    EXPECT_EQ(report.headwords, report.articles - report.merged - report.skipped + report.reversed);
    EXPECT_GT(report.extended, 300);

    const auto meaningHas = [&](const char* headword, std::initializer_list<const char*> english) {
        const QString h = QString::fromUtf8(headword);
        ASSERT_EQ(entries.count(h), 1u) << headword;
        const QStringList given = entries.at(h).split(
            QRegularExpression(QStringLiteral("\\r\\n\\d+\\. |^\\d+\\. |, ")), Qt::SkipEmptyParts);
        for (const char* word : english) {
            EXPECT_TRUE(given.contains(QString::fromUtf8(word)))
                << headword << ": " << entries.at(h).toStdString() << " lacks " << word;
        }
    };
    meaningHas("kitap", {"book", "opus"});
    meaningHas("ev", {"house", "home"});
    meaningHas("güzel", {"beautiful", "pretty", "lovely"});
    meaningHas("su", {"water"});
    meaningHas("çocuk", {"child"}); // "kid" is slang in the English-Turkish dictionary
    meaningHas("kedi", {"cat"});
    meaningHas("el", {"hand"});
    meaningHas("gözyaşı", {"tear"});
    meaningHas("İngilizce", {"English"}); // the source writes "ingilizce"
    meaningHas("Mısır", {"Egypt"});
    EXPECT_FALSE(entries.at(QStringLiteral("mısır")).contains(QStringLiteral("gypt")));
    // Common words lead the line: "house" and "home" before "domicile".
    EXPECT_TRUE(entries.at(QStringLiteral("ev")).startsWith(QStringLiteral("home, house")) ||
                entries.at(QStringLiteral("ev")).startsWith(QStringLiteral("house, home")))
        << entries.at(QStringLiteral("ev")).toStdString();

    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    for (const auto& [headword, meaning] : entries) {
        // Headwords in lower case unless they start with a capital (names).
        if (headword.front().isLower()) {
            EXPECT_EQ(headword, turkish.toLower(headword));
        }
        EXPECT_LE(headword.count(u' '), 2) << headword.toStdString();
        // The last line of a meaning is at most one line of reversed words, or FreeDict's own.
        const QString last = meaning.section(QStringLiteral("\r\n"), -1);
        EXPECT_FALSE(last.isEmpty()) << headword.toStdString();
    }
}

} // namespace
