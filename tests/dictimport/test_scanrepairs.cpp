// The scan's misread letters that the spelling dictionaries put right, and the marks and
// run-on entries the conversions left: one table of real senses per rule, with the word lists
// and the dictionaries that Debian installs (their absence is a broken set-up).
#include "article.h"
#include "freedict.h"
#include "installed.h"
#include "reversal.h"
#include "speller.h"
#include "textrepair.h"


#include <gtest/gtest.h>


using namespace peltavo::freedict;

namespace {

using Scanned = peltavo::freedict::test::Installed;

struct Sense {
    const char* source;
    const char* expected;
};

void PrintTo(const Sense& c, std::ostream* os) {
    *os << '"' << c.source << '"';
}

class LostMarks : public Scanned, public ::testing::WithParamInterface<Sense> {};

TEST_P(LostMarks, AreGivenBackWhereOneWordFits) {
    EXPECT_EQ(fixScanErrors(QString::fromUtf8(GetParam().source), vocabulary()),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Real, LostMarks,
    ::testing::Values(
        // Marks lost at several places, one letter throughout or two.
        Sense{"Mimosa pudica: kustumotu", "Mimosa pudica: küstümotu"},
        Sense{"(kim.) çabuk muteessir olan", "(kim.) çabuk müteessir olan"},
        Sense{"Yunan alfabesinin uçuncü harfi", "Yunan alfabesinin üçüncü harfi"},
        Sense{"yüksek sesle, gurultulu", "yüksek sesle, gürültülü"},
        // A ğ lost between two vowels, a letter read twice.
        Sense{"çoban, sıırtmaç", "çoban, sığırtmaç"}, Sense{"tatssız, yavan", "tatsız, yavan"},
        // Right as they are: a suffix after a word of its own, a Latin species, a label,
        // an English word with its stress mark, a word the dictionary lacks that has its marks.
        Sense{"ağır siklette boksör", "ağır siklette boksör"},
        Sense{"usulle kopye çıkaran", "usulle kopye çıkaran"},
        Sense{"(bot.) Atropa bella donna", "(bot.) Atropa bella donna"},
        Sense{"(terz.) kolevi", "(terz.) kolevi"},
        Sense{"segmen'tal bölümlü", "segmen'tal bölümlü"},
        Sense{"Allah'ın rızkı, rızk", "Allah'ın rızkı, rızk"}));

class LeftoverMarks : public Scanned, public ::testing::WithParamInterface<Sense> {};

TEST_P(LeftoverMarks, AreTakenOutOrPutRight) {
    EXPECT_EQ(removeStressMarksInText(
                  fixStrayMarks(QString::fromUtf8(GetParam().source), vocabulary()), vocabulary()),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Real, LeftoverMarks,
    ::testing::Values(
        Sense{"kulağa kaçan, (zool.)) Forficula", "kulağa kaçan, (zool.) Forficula"},
        Sense{"tatula, (bot.) )Datura stramonium", "tatula, (bot.) Datura stramonium"},
        Sense{"(çoğ.), -la) (bot.) kömeç", "(çoğ. -la) (bot.) kömeç"},
        Sense{"(çoğ.), ) (Lat.) bir oyundaki kişiler", "(çoğ.) (Lat.) bir oyundaki kişiler"},
        Sense{"(I) ayakkabı bağı", "(i.) ayakkabı bağı"},
        Sense{"(ç)dili bebek, kukla", "(ç. dili) bebek, kukla"},
        Sense{"(A.B.D.), (h)dili azimli", "(A.B.D.), (h. dili) azimli"},
        Sense{"(ç.dili) ne iyi", "(ç. dili) ne iyi"},
        Sense{"(k.) dili nişanlı (erkek veya kız)", "(k. dili) nişanlı (erkek veya kız)"},
        Sense{"(tic.) mark. bakalit", "(tic. mark.) bakalit"},
        Sense{"uymak takıl- (mak.); iyi geçinmek", "uymak takılmak; iyi geçinmek"},
        Sense{"büyü kabilin- (den.); şaşılacak", "büyü kabilinden; şaşılacak"},
        Sense{"teesella'tion mozaik, piestis'tic dindar", "teesellation mozaik, piestistic dindar"},
        // Right as they are: a prefix, a name's ending, a label closed once.
        Sense{"bio- (önek) hayat", "bio- (önek) hayat"},
        Sense{"Amerika'da, Ankara'nın", "Amerika'da, Ankara'nın"},
        Sense{"(argo) (zool.) Mustela", "(argo) (zool.) Mustela"}));

class InflectionNotes : public ::testing::TestWithParam<Sense> {};

TEST_P(InflectionNotes, AreWrittenAsTheDictionaryWritesThem) {
    EXPECT_EQ(fixInflectionNotes(QString::fromUtf8(GetParam().source)),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Real, InflectionNotes,
    ::testing::Values(
        Sense{"(-ed, - ing veya- led, - ling) baştaki", "(-ed, -ing veya -led, -ling) baştaki"},
        Sense{"(-ted.- ting) uygunsuz", "(-ted, -ting) uygunsuz"},
        Sense{"(-red, - rinq) anlamak", "(-red, -ring) anlamak"},
        Sense{"(-led -ling) (at, davar vb'ne mahsus) ağıl",
              "(-led, -ling) (at, davar vb'ne mahsus) ağıl"},
        // A case ending and a past form that is a word stay.
        Sense{"(-le geçinmek, anlaşmak. (-den) dolayı", "(-le geçinmek, anlaşmak. (-den) dolayı"},
        Sense{"(-ed veya girt) kuşak sarmak", "(-ed veya girt) kuşak sarmak"}));

struct Senses {
    std::vector<const char*> source;
    std::vector<const char*> expected;
};

void PrintTo(const Senses& c, std::ostream* os) {
    *os << '"' << c.source.front() << '"';
}

QStringList list(const std::vector<const char*>& senses) {
    QStringList out;
    for (const char* sense : senses)
        out << QString::fromUtf8(sense);
    return out;
}

class LabelSenses : public ::testing::TestWithParam<Senses> {};

TEST_P(LabelSenses, LabelTheNextSense) {
    EXPECT_EQ(withLabelsJoined(list(GetParam().source)), list(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Real, LabelSenses,
    ::testing::Values(Senses{{"(sonek)", "ertelenmiş"}, {"(sonek) ertelenmiş"}},
                      Senses{{"tırmanan sarmaşık", "(k. dili)", "yükselmek isteyen kimse"},
                             {"tırmanan sarmaşık", "(k. dili) yükselmek isteyen kimse"}},
                      // A label that ends the article labels nothing; a note is no label.
                      Senses{{"uçmak", "(hav.)"}, {"uçmak", "(hav.)"}},
                      Senses{
                          {"(konuşmada bir anlamı olmadan boşlukları dolduran söz)", "merhaba"},
                          {"(konuşmada bir anlamı olmadan boşlukları dolduran söz)", "merhaba"}}));

struct Entry {
    const char* headword;
    std::vector<const char*> senses;
    const char* runOns; // "forms: senses | ..."
};

void PrintTo(const Entry& c, std::ostream* os) {
    *os << c.headword;
}

class GluedRunOns : public Scanned, public ::testing::WithParamInterface<Entry> {};

TEST_P(GluedRunOns, StandApartWhereTurkishFollowsTheirHead) {
    const Article article = splitArticle({QString::fromUtf8(GetParam().headword)},
                                         list(GetParam().senses), vocabulary());
    QStringList lines;
    for (const RunOn& runOn : article.runOns)
        lines << runOn.forms.join(QStringLiteral(", ")) + QStringLiteral(": ") +
                     runOn.senses.join(QStringLiteral("; "));
    EXPECT_EQ(lines.join(QStringLiteral(" | ")), QString::fromUtf8(GetParam().runOns));
}
INSTANTIATE_TEST_SUITE_P(
    Real, GluedRunOns,
    ::testing::Values(
        // After a comma that ends a Turkish meaning.
        Entry{"beet",
              {"beet greens, beet tops: pancar yaprağı, beet sugar pancar şekeri, sakaroz"},
              "beet sugar: pancar şekeri, sakaroz"},
        Entry{"subjective",
              {"(gram.) nominatif, subjectively öznel olarak"},
              "subjectively: öznel olarak"},
        // After a Latin name.
        Entry{"dill",
              {"dereotu, (bot.) Anethum graveolens dill pickle dereotlu hıyar turşusu"},
              "dill pickle: dereotlu hıyar turşusu"},
        Entry{"ash",
              {"dibudak ağacı, (bot.) Fraxinus mountain ash yabani üvez ağacı"},
              "mountain ash: yabani üvez ağacı"},
        // Not a list of English forms, nor a word that Turkish writes as well: no run-on.
        Entry{"gull", {"martı. blackheaded gull, laughing gull kara baş martı"}, ""},
        Entry{"optimism", {"optimist: iyimser kimse, optimist kimse"}, ""},
        // After a full stop: an English word that Turkish text also holds ("order") is no
        // translation; a word made from a short headword ("aptness"); before a label.
        Entry{"rush",
              {"üşüşme rush hour işin veya trafiğin en sıkışık olduğu zaman. rush order acele "
               "sipariş."},
              "rush hour: işin veya trafiğin en sıkışık olduğu zaman | rush order: acele sipariş"},
        Entry{"apt",
              {"uygun, yerinde. aptly  uygun bir şekilde yerinde. aptness  uygun oluş"},
              "aptly: uygun bir şekilde yerinde | aptness: uygun oluş"},
        Entry{"air", {"uçak postası. airman havacı, tayyareci"}, "airman: havacı, tayyareci"},
        Entry{"teacher",
              {"hoca. teacher bird çömlekçi kuşu, (zool.) Furnarius teachers college. (A.B.D.) "
               "eğitim fakültesi"},
              "teacher bird: çömlekçi kuşu, (zool.) Furnarius | teachers college: (A.B.D.) eğitim "
              "fakültesi"},
        // After the word a reference names; the headword that Turkish spells as well, before
        // an English word; a name written alike in both languages.
        Entry{"amenable",
              {"amenableness (bak.) amenability amenably uysalca, boyun eğerek"},
              "amenably: uysalca, boyun eğerek"},
        Entry{
            "ere", {"ere long yakında, çok geçmeden ere now bundan önce"}, "ere now: bundan önce"},
        Entry{"Yugoslavia", {"Yugoslavya. Yugoslav Yugoslav"}, "Yugoslav: Yugoslav"}));

// The head of a phrase runs on past its article, and stops before "on" that is Turkish ten.
INSTANTIATE_TEST_SUITE_P(
    Keys, GluedRunOns,
    ::testing::Values(Entry{"many",
                            {"bir çoğu. many a time çok kere, çoğu zaman."},
                            "many a time: çok kere, çoğu zaman"},
                      Entry{"once",
                            {"ilk ve son olarak. once upon a time bir varmış bir yokmuş."},
                            "once upon a time: bir varmış bir yokmuş"},
                      Entry{"baker", {"fırıncı. baker's dozen on üç"}, "baker's dozen: on üç"},
                      Entry{"dozen", {"düzine. dozenth on ikinci"}, "dozenth: on ikinci"},
                      // Turkish "-a ait" after a Latin word stays the meaning.
                      Entry{"ganglion",
                            {"sinir düğümü. ganglionic ganglion a ait, ganglionlu"},
                            "ganglionic ganglion a: ait, ganglionlu"}));

struct Reversed {
    const char* turkish;
    std::vector<std::pair<const char*, std::vector<const char*>>> articles;
    const char* first; // the English word the Turkish term leads with
};

void PrintTo(const Reversed& c, std::ostream* os) {
    *os << c.turkish;
}

using WordLists = peltavo::freedict::test::Installed;

class LeadingMeaning : public WordLists, public ::testing::WithParamInterface<Reversed> {};

TEST_P(LeadingMeaning, ComesFromAnEarlySense) {
    Reversal reversal;
    for (const auto& [english, senses] : GetParam().articles)
        reversal.add({QString::fromUtf8(english), list(senses)});
    const QString turkish = QString::fromUtf8(GetParam().turkish);
    QString first;
    for (const Reversal::Result& r : reversal.finish(words(), 6))
        if (r.turkish == turkish)
            first = r.english.front();
    EXPECT_EQ(first, QString::fromUtf8(GetParam().first));
}
INSTANTIATE_TEST_SUITE_P(
    Real, LeadingMeaning,
    ::testing::Values(
        // The third sense of a common word after the first sense of a rarer one.
        Reversed{"rüşvet",
                 {{"price", {"paha, fiyat", "değer, kıymet", "rüşvet", "mükafat"}},
                  {"bribe", {"rüşvet", "rüşvet vermek"}}},
                 "bribe"},
        // The first senses of both: the commoner word leads.
        Reversed{"değer",
                 {{"value", {"değer, kıymet", "fiyat"}}, {"worth", {"değer", "kıymet"}}},
                 "value"},
        // A late sense that is the only one stays.
        Reversed{"gürlük",
                 {{"thrift", {"idare, tasarruf", "tutum", "gürlük, kuvvetli büyüme"}}},
                 "thrift"}));

struct Note {
    const char* english;
    std::vector<const char*> senses;
    const char* turkish;
    bool reversed;
};

void PrintTo(const Note& c, std::ostream* os) {
    *os << c.english;
}

class UsageNotes : public WordLists, public ::testing::WithParamInterface<Note> {};

TEST_P(UsageNotes, AreNoTurkishHeadwords) {
    Reversal reversal;
    reversal.add({QString::fromUtf8(GetParam().english), list(GetParam().senses)});
    bool found = false;
    for (const Reversal::Result& r : reversal.finish(words(), 6))
        found = found || r.turkish == QString::fromUtf8(GetParam().turkish);
    EXPECT_EQ(found, GetParam().reversed);
}
INSTANTIATE_TEST_SUITE_P(
    Real, UsageNotes,
    ::testing::Values(Note{"toots",
                           {"(A.B.D.), (argo) kız", "(gen.) ünlemle kullanılır"},
                           "ünlemle kullanılır",
                           false},
                      Note{"doggone", {"ünlem, (A.B.D.), (k. dili) Hay Allah !"}, "ünlem", false},
                      Note{"hue", {"renk tonu", "ünlem, nida, feryat"}, "ünlem", false},
                      // The word class that the English word names.
                      Note{"interjection", {"ünlem"}, "ünlem", true},
                      Note{"toots", {"kız", "(gen.) ünlemle kullanılır"}, "kız", true}));

struct Forms {
    const char* headword;
    const char* forms;
};

void PrintTo(const Forms& c, std::ostream* os) {
    *os << c.headword;
}

class GluedSpellings : public WordLists, public ::testing::WithParamInterface<Forms> {};

TEST_P(GluedSpellings, AreTwoForms) {
    EXPECT_EQ(headwordForms(QString::fromUtf8(GetParam().headword), words()).join(u'|'),
              QString::fromUtf8(GetParam().forms));
}
INSTANTIATE_TEST_SUITE_P(Real, GluedSpellings,
                         ::testing::Values(Forms{"gibejibe", "gibe|jibe"},
                                           Forms{"appriseapprize", "apprise|apprize"},
                                           Forms{"fryerfrier", "fryer|frier"},
                                           // Compounds whose halves differ in a vowel or sound.
                                           Forms{"slipslop", "slipslop"},
                                           Forms{"hokeypokey", "hokeypokey"},
                                           Forms{"tittle-tattle", "tittle-tattle"}));

class ScanEndings : public WordLists, public ::testing::WithParamInterface<Forms> {};

TEST_P(ScanEndings, AreRead) {
    EXPECT_EQ(repairHeadword(QString::fromUtf8(GetParam().headword), words(), {}),
              QString::fromUtf8(GetParam().forms));
}
INSTANTIATE_TEST_SUITE_P(Real, ScanEndings,
                         ::testing::Values(Forms{"bucolieal", "bucolical"},
                                           Forms{"subcritieal", "subcritical"},
                                           // No word to read it as.
                                           Forms{"xyzieal", "xyzieal"}));

} // namespace
