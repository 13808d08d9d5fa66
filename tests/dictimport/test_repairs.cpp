// The repairs of the English-Turkish dictionary's text, the split of its articles into own senses
// and run-on entries, and its headwords: one table of real entries per kind of damage, with the
// word lists and the dictionary that Debian installs (their absence is a broken set-up).
#include "article.h"
#include "freedict.h"
#include "speller.h"
#include "textrepair.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

using namespace peltavo::freedict;

namespace {

const QString kDictd = QStringLiteral("/usr/share/dictd");

// The system word lists and Turkish spelling dictionary, and a vocabulary counted from the whole
// installed dictionary, as the import counts it.
class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QFileInfo::exists(kDictd + QStringLiteral("/freedict-eng-tur.index")))
            return;
        words_ = std::make_unique<EnglishWords>(EnglishWords::loadSystem());
        speller_ = Speller::loadTurkish();
        vocabulary_ = std::make_unique<Vocabulary>(*words_);
        vocabulary_->setSpeller(speller_.get());
        for (const Entry& article : readDictd(kDictd + QStringLiteral("/freedict-eng-tur.index"),
                                              kDictd + QStringLiteral("/freedict-eng-tur.dict.dz")))
            vocabulary_->count(article.meaning.section(u'\n', 1).split(u'\n'));
    }
    void SetUp() override { ASSERT_TRUE(vocabulary_) << "dict-freedict-eng-tur is not installed"; }
    static const Vocabulary& vocabulary() { return *vocabulary_; }
    static const EnglishWords& words() { return *words_; }

private:
    static inline std::unique_ptr<EnglishWords> words_;
    static inline std::unique_ptr<Speller> speller_;
    static inline std::unique_ptr<Vocabulary> vocabulary_;
};

struct Case {
    const char* source;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.source << '"';
}

// One test per kind of damage, each over its table of real senses.
class StressMarks : public Installed, public ::testing::WithParamInterface<Case> {};
class CapitalI : public Installed, public ::testing::WithParamInterface<Case> {};
class LineBreakHyphens : public Installed, public ::testing::WithParamInterface<Case> {};
class SplitWords : public Installed, public ::testing::WithParamInterface<Case> {};
class LostPossessive : public Installed, public ::testing::WithParamInterface<Case> {};
class ConverterMarkers : public Installed, public ::testing::WithParamInterface<Case> {};

QString expected(const Case& c) {
    return QString::fromUtf8(c.expected);
}
QString source(const Case& c) {
    return QString::fromUtf8(c.source);
}

TEST_P(StressMarks, AreRemovedFromEnglishWordsOnly) {
    EXPECT_EQ(removeStressMarksInText(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, StressMarks,
    ::testing::Values(
        Case{"dışbükey olan cisim. convex'ity dışbükeylik",
             "dışbükey olan cisim. convexity dışbükeylik"},
        Case{"zayıf. pueril'ity, puerileness çocukluk", "zayıf. puerility, puerileness çocukluk"},
        Case{"wheat'en buğdaydan yapılmış", "wheaten buğdaydan yapılmış"},
        // Contractions, possessives, o'clock and Turkish apostrophes stay.
        Case{"Don't be silly! Amerika'da, one's way, It's your turn, o'clock, kur'a",
             "Don't be silly! Amerika'da, one's way, It's your turn, o'clock, kur'a"},
        Case{"6. (müz.) armür dö kle'den sonra", "6. (müz.) armür dö kle'den sonra"}));

TEST_P(CapitalI, IsTheLetterItStandsFor) {
    EXPECT_EQ(fixCapitalI(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, CapitalI,
    ::testing::Values(Case{"arazi öIçmeye mahsus cubuk", "arazi ölçmeye mahsus cubuk"},
                      Case{"duygusuz, hissiz, Iâkayt, kayıtsız",
                           "duygusuz, hissiz, lâkayt, kayıtsız"},
                      Case{"birlikte çaIışma, işbirliği", "birlikte çalışma, işbirliği"},
                      Case{"(bot.) Iimonluk", "(bot.) limonluk"},
                      Case{"Iânet etmek, belâ okumak", "lânet etmek, belâ okumak"},
                      Case{"Iaw court mahkeme", "law court mahkeme"},
                      Case{"Iook out! dikkat!", "look out! dikkat!"},
                      Case{"alında kırışık Iık hâsıl etmek", "alında kırışık lık hâsıl etmek"},
                      // Words that are right with their capital I, and capitals only.
                      Case{"It is usual to do so. Indian ink, Irak, ABD, II. Abdülhamit",
                           "It is usual to do so. Indian ink, Irak, ABD, II. Abdülhamit"}));

TEST_P(LineBreakHyphens, JoinTheWordAgain) {
    EXPECT_EQ(joinLineBreakHyphens(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, LineBreakHyphens,
    ::testing::Values(
        Case{"randıman dü- şüklüğü", "randıman düşüklüğü"},
        Case{"profoundly de- rinden", "profoundly derinden"},
        Case{"sıra ile de- nemek", "sıra ile denemek"},
        Case{"poison gas ze- hirli gaz", "poison gas zehirli gaz"},
        Case{"presen- tation copy hediyelik nüsha", "presentation copy hediyelik nüsha"},
        Case{"propitiously uygun bir şekilde. propi- tiousness lütufkârlık",
             "propitiously uygun bir şekilde. propitiousness lütufkârlık"},
        Case{"tama- men, baştan başa", "tamamen, baştan başa"},
        // A hyphen before a word of its own stays.
        Case{"iç- ve dış kulak, pre- and post-war", "iç- ve dış kulak, pre- and post-war"}));

TEST_P(SplitWords, AreJoinedWhenTheyMakeAnEnglishWord) {
    EXPECT_EQ(joinSplitWords(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, SplitWords,
    ::testing::Values(
        Case{"komşu, yakın. neigh borly komşuya yakışır",
             "komşu, yakın. neighborly komşuya yakışır"},
        Case{"tembih etmek. excita'ti on tahrik, tembih",
             "tembih etmek. excita'tion tahrik, tembih"},
        Case{"yadsınamaz. incon trovert'ibly yadsınamayacak şekilde",
             "yadsınamaz. incontrovert'ibly yadsınamayacak şekilde"},
        Case{"parmağını kıpırdatmadan, ko laylıkla", "parmağını kıpırdatmadan, kolaylıkla"},
        Case{"bükülmek. bend able eğilir", "bükülmek. bendable eğilir"},
        Case{"dokunulur, touch able", "dokunulur, touchable"},
        Case{"aygıtlar, özel likle elektronik cihazlar", "aygıtlar, özellikle elektronik cihazlar"},
        Case{"davranış bozuklukları, uyur gezerlik", "davranış bozuklukları, uyurgezerlik"},
        // Two words that are words.
        Case{"every one her biri, in to içine, bir den fazla",
             "every one her biri, in to içine, bir den fazla"}));

class StrayMarks : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(StrayMarks, AreWhereTheyBelong) {
    EXPECT_EQ(fixStrayMarks(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, StrayMarks,
    ::testing::Values(Case{"(çoğ.) fowl, fowls) kuş", "(çoğ. fowl, fowls) kuş"},
                      Case{"(çoğ.) Midrashim) Eski Ahidin", "(çoğ. Midrashim) Eski Ahidin"},
                      Case{"( (sonek), (biyol.) mantar", "(sonek), (biyol.) mantar"},
                      Case{"ABD, (argo) kız, (slang) piliç", "(A.B.D.) (argo) kız, (slang) piliç"},
                      Case{"baskı ile cila1amak (kağıt)", "baskı ile cilalamak (kağıt)"},
                      Case{"can't be troubled with a11 the petty problems",
                           "can't be troubled with all the petty problems"},
                      // Numbers stay.
                      Case{"1926'da kullanılmaya başlanan, 1 kırat=200 mg",
                           "1926'da kullanılmaya başlanan, 1 kırat=200 mg"}));

class Labels : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(Labels, AreWrittenAsTheDictionaryWritesThemMostOften) {
    EXPECT_EQ(fixStrayMarks(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, Labels,
    ::testing::Values(Case{"ing, kdili korku, dehşet", "(İng.), (k. dili) korku, dehşet"},
                      Case{"(b. h.) Hazreti Meryem", "(b.h.) Hazreti Meryem"},
                      Case{"b.h. hümanizma", "(b.h.) hümanizma"},
                      Case{"(A.B.D), (k.dili.) kodaman", "(A.B.D.), (k. dili) kodaman"},
                      Case{"(ing)gemi mutfağı", "(İng.) gemi mutfağı"},
                      Case{"King's Counsel ing., (huk.) kralın hukuk müşaviri",
                           "King's Counsel (İng.), (huk.) kralın hukuk müşaviri"},
                      // The ending of an English verb stays.
                      Case{"(-ed, - ing veya -led) eşit olmak",
                           "(-ed, - ing veya -led) eşit olmak"}));

class ColonSeparators : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(ColonSeparators, BetweenTurkishWordsSeparateSenses) {
    EXPECT_EQ(fixColonSeparators(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, ColonSeparators,
    ::testing::Values(Case{"serpmek, sıçratmak: çamurlamak", "serpmek, sıçratmak; çamurlamak"},
                      Case{"enişte; kayınbirader: bacanak", "enişte; kayınbirader; bacanak"},
                      // After an English word, inside parentheses: colons.
                      Case{"I have confidence in him: Ona itimadım var",
                           "I have confidence in him: Ona itimadım var"},
                      Case{"(Not: harf tarif edatı) kaba et.",
                           "(Not: harf tarif edatı) kaba et."}));

class LowercaseNames : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(LowercaseNames, GetTheirCapital) {
    Vocabulary names(words());
    for (const Entry& article : readDictd(kDictd + QStringLiteral("/freedict-eng-tur.index"),
                                          kDictd + QStringLiteral("/freedict-eng-tur.dict.dz")))
        names.count(article.meaning.section(u'\n', 1).split(u'\n'));
    names.addNames({QStringLiteral("İngiliz"), QStringLiteral("İspanya"), QStringLiteral("Çin"),
                    QStringLiteral("Ren"), QStringLiteral("İngiltere")});
    EXPECT_EQ(fixLowercaseNames(source(GetParam()), names), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(Real, LowercaseNames,
                         ::testing::Values(Case{"ingiliz kadını", "İngiliz kadını"},
                                           Case{"ispanya sineği, (zool.) Lytta vesicatoria",
                                                "İspanya sineği, (zool.) Lytta vesicatoria"},
                                           Case{"(şiir) ingiltere", "(şiir) İngiltere"},
                                           // A short name that is a common word as well.
                                           Case{"ren geyiği, çin tavuğu",
                                                "ren geyiği, çin tavuğu"}));

class NamesTheSpellerKnows : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(NamesTheSpellerKnows, GetTheirCapital) {
    EXPECT_EQ(fixLowercaseNames(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, NamesTheSpellerKnows,
    ::testing::Values(Case{"en geçerli olan şive, standart ispanyolca",
                           "en geçerli olan şive, standart İspanyolca"},
                      Case{"ince yünlü iskoç kumaşı", "ince yünlü İskoç kumaşı"},
                      // A word the text writes with a capital too seldom: the illness, not Korea.
                      Case{"(tıb.) kore hastalığı", "(tıb.) kore hastalığı"}));

class ScanErrors : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(ScanErrors, AreTheWordsTheScannerMisread) {
    EXPECT_EQ(fixScanErrors(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, ScanErrors,
    ::testing::Values(
        Case{"(bot.) örtü (tohum taslağmda), integüment",
             "(bot.) örtü (tohum taslağında), integüment"},
        Case{"Katolik ve Ortodokslann büyük perhizden önce",
             "Katolik ve Ortodoksların büyük perhizden önce"},
        Case{"ABD spor araba yanşı", "ABD spor araba yarışı"},
        Case{"confidence game dolandıncılık", "confidence game dolandırıcılık"},
        Case{"üzülmek, te1aş1anmak", "üzülmek, telaşlanmak"},
        Case{"gıcırtı. glclrtılı", "gıcırtı. gıcırtılı"},
        Case{"birleşmek, kavusmak", "birleşmek, kavuşmak"},
        Case{"Amerikan bağımzızlık savaş taraftarı", "Amerikan bağımsızlık savaş taraftarı"},
        // Right as they are: an ending î without its mark, a circumflex, English words that
        // the word lists lack.
        Case{"dikkat, katilik, kesinlik; adali kuvvet", "dikkat, katilik, kesinlik; adali kuvvet"},
        Case{"mucir kimse, emlâkini kiraya veren", "mucir kimse, emlâkini kiraya veren"},
        Case{"titrek, ihtizazlı", "titrek, ihtizazlı"},
        Case{"tabiat bilgini Karl von Linne'in", "tabiat bilgini Karl von Linne'in"},
        Case{"ranchman, vampirism, vendition", "ranchman, vampirism, vendition"}));

class GluedWords : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(GluedWords, AreCutWhereTheTextWritesThemApart) {
    EXPECT_EQ(splitGluedWords(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, GluedWords,
    ::testing::Values(Case{"bedeneğitimi, jimnastik", "beden eğitimi, jimnastik"},
                      Case{"bir tabakdolusu şey", "bir tabak dolusu şey"},
                      Case{"belli etmeden hareketetmek veya konuşmak",
                           "belli etmeden hareket etmek veya konuşmak"},
                      Case{"bir cins karabiber, herhangibir", "bir cins karabiber, herhangi bir"},
                      // Compounds that Turkish writes as one word.
                      Case{"kanaryaotu, (bot.) Senecio; çizim, karakalem resim",
                           "kanaryaotu, (bot.) Senecio; çizim, karakalem resim"}));

class MisreadLetters : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(MisreadLetters, AreTheTurkishLettersTheyStandFor) {
    EXPECT_EQ(fixMisreadLetters(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, MisreadLetters,
    ::testing::Values(Case{"ödenen sey", "ödenen şey"},
                      Case{"incik kemigine atılan tekme", "incik kemiğine atılan tekme"},
                      Case{"kıvlrmak, bükmek, eğmek", "kıvırmak, bükmek, eğmek"},
                      Case{"Bana vlz gelir", "Bana vız gelir"},
                      Case{"suya batmlş kazan", "suya batmış kazan"},
                      Case{"barinak, bulanik", "barınak, bulanık"},
                      // Words that are right as they are, English words, names.
                      Case{"sis, kurt, sure, Ranunculus, cabbage, kitabi, tamamiyle",
                           "sis, kurt, sure, Ranunculus, cabbage, kitabi, tamamiyle"}));

TEST_P(LostPossessive, GetsItsS) {
    EXPECT_EQ(fixLostPossessive(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, LostPossessive,
    ::testing::Values(Case{"pay one' way masraflarını ödemek", "pay one's way masraflarını ödemek"},
                      Case{"It' your turn. Sıra sizde.", "It's your turn. Sıra sizde."},
                      Case{"That' that. İşte o kadar.", "That's that. İşte o kadar."},
                      Case{"cut one- teeth on ile başlamak", "cut one's teeth on ile başlamak"},
                      Case{"philosopher' stone", "philosopher's stone"},
                      Case{"Hazreti Davud' un öldürdüğü dev", "Hazreti Davud'un öldürdüğü dev"},
                      // A plural's possessive stays.
                      Case{"Venus' flytrap, old wives' tale", "Venus' flytrap, old wives' tale"}));

TEST_P(ConverterMarkers, GiveTheEnglishWordsBack) {
    EXPECT_EQ(fixConverterMarkers(source(GetParam()), vocabulary()), expected(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(
    Real, ConverterMarkers,
    ::testing::Values(
        Case{"niyaz etmek. (ask.) for sormak, aramak", "niyaz etmek. ask for sormak, aramak"},
        Case{"rahatsızlık, hastalık. (ask.) for trouble. bela aramak",
             "rahatsızlık, hastalık. ask for trouble. bela aramak"},
        Case{"Heads (I.) win, tails you lose", "Heads I win, tails you lose"},
        Case{"Go along ! Haydi, git ! (I.)'ll go along now.",
             "Go along ! Haydi, git ! I'll go along now."},
        Case{"Dear me (I.) Aman (I.) Canım (I.) Yarabbi", "Dear me! Aman! Canım! Yarabbi"},
        Case{"Can it (I.) Yeter be (I.)", "Can it! Yeter be!"},
        // The military label stays.
        Case{"(ask.) ileri karakol, posta", "(ask.) ileri karakol, posta"},
        Case{"sealed orders (ask.) vakti gelince açılıp okunacak",
             "sealed orders (ask.) vakti gelince açılıp okunacak"}));

// An article as the import reads it: its headword forms, then its senses, "|" between them.
struct ArticleCase {
    const char* name;
    const char* forms;
    const char* senses;
    const char* own;    // expected own senses, "|" between them
    const char* runOns; // expected run-ons, "forms: meaning; meaning" joined by " || "
};

void PrintTo(const ArticleCase& c, std::ostream* os) {
    *os << c.name;
}

class Articles : public Installed, public ::testing::WithParamInterface<ArticleCase> {};

TEST_P(Articles, SplitIntoOwnSensesAndRunOns) {
    const ArticleCase& c = GetParam();
    const QStringList forms = QString::fromUtf8(c.forms).split(u'|');
    QStringList senses;
    for (const QString& sense : QString::fromUtf8(c.senses).split(u'|'))
        senses << repairSense(sense, vocabulary());
    const Article article = splitArticle(forms, senses, vocabulary());
    EXPECT_EQ(article.senses.join(u'|'), QString::fromUtf8(c.own));
    QStringList runOns;
    for (const RunOn& r : article.runOns)
        runOns << r.forms.join(QStringLiteral(", ")) + QStringLiteral(": ") +
                      r.senses.join(QStringLiteral("; "));
    EXPECT_EQ(runOns.join(QStringLiteral(" || ")), QString::fromUtf8(c.runOns));
}

INSTANTIATE_TEST_SUITE_P(
    Real, Articles,
    ::testing::Values(
        ArticleCase{"Usual", "usual",
                    "mutat, alışılmış, olağan, herzamanki. as usual âdet üzere, her zamanki gibi. "
                    "It is usual to do so Böyle yapmak adettir. usually  ekseriyetle, çok kere, "
                    "çoğunlukla.",
                    "mutat, alışılmış, olağan, her zamanki",
                    "as usual: âdet üzere, her zamanki gibi || It is usual to do so: Böyle yapmak "
                    "adettir || usually: ekseriyetle, çok kere, çoğunlukla"},
        ArticleCase{"Birth", "birth",
                    "doğum, doğma, doğuş, veladet|soy, nesep|zuhur. birth control doğum "
                    "kontrolü. birthday  doğum günü .birthmark  doğuştan var olan yüz veya "
                    "vücuttaki leke. give birth to doğurmak, meydana getirmek.",
                    "doğum, doğma, doğuş, veladet|soy, nesep|zuhur",
                    "birth control: doğum kontrolü || birthday: doğum günü || birthmark: doğuştan "
                    "var olan yüz veya vücuttaki leke || give birth to: doğurmak, meydana "
                    "getirmek"},
        // Every sense after the first run-on belongs to the last run-on; the stress mark goes.
        ArticleCase{"Desperate", "desperate",
                    "ümitsiz|dehşetli|aşırı despera'tion . yeis, ümitsizlikten ileri gelen akıl "
                    "dengesizliği.",
                    "ümitsiz|dehşetli|aşırı",
                    "desperation: yeis, ümitsizlikten ileri gelen akıl dengesizliği"},
        ArticleCase{"RunOnWithoutItsFullStop", "abridge",
                    "kısaltmak, özetlemek, kesmek|mahrum etmek abridgement   kısaltma, "
                    "özetleme|azalma, kesilme",
                    "kısaltmak, özetlemek, kesmek|mahrum etmek",
                    "abridgement: kısaltma, özetleme; azalma, kesilme"},
        ArticleCase{"Please", "please",
                    "sevindirmek, hoşnut etmek|istemek. please oneself canının istediği gibi "
                    "hareket etmek. as you please nasıl isterseniz. if you please lütfen, rica "
                    "ederim|isterseniz. when you please ne zaman isterseniz.",
                    "sevindirmek, hoşnut etmek|istemek",
                    "please oneself: canının istediği gibi hareket etmek || as you please: nasıl "
                    "isterseniz || if you please: lütfen, rica ederim; isterseniz || when you "
                    "please: ne zaman isterseniz"},
        ArticleCase{"EveryWithTurkishHer", "every",
                    "her türlü. every day her gün. everyday  her günkü, alışılmış. every now "
                    "and then, every now and again ara sıra, arada bir.",
                    "her türlü",
                    "every day: her gün || everyday: her günkü, alışılmış || every now and then, "
                    "every now and again: ara sıra, arada bir"},
        ArticleCase{"ShortenedEndingsAndPronunciations", "per|truculent",
                    "tarafından. per capita (kap'ltı) nüfus başına. truculence, -cy  vahşilik",
                    "tarafından", "per capita: nüfus başına || truculence, truculency: vahşilik"},
        // A final e drops before the ending; a Turkish word made from the same loan word ends
        // the head.
        ArticleCase{"FinalE", "pule", "çocuk gibi ağlamak, ağlamsamak. puling  mızmız, ağlamsık.",
                    "çocuk gibi ağlamak, ağlamsamak", "puling: mızmız, ağlamsık"},
        ArticleCase{"TurkishLoanWord", "arsenic",
                    "arsenik, sıçanotu. arsenicated arsenikle karışmış olan.", "arsenik, sıçanotu",
                    "arsenicated: arsenikle karışmış olan"},
        // A word made from the headword inside the Turkish text, after a Turkish word.
        ArticleCase{"InsideTheText", "abduction",
                    "(çocuk) kaçırma|kız kaçırma abductor kaçıran kimse|dışarı çeken kas",
                    "(çocuk) kaçırma|kız kaçırma", "abductor: kaçıran kimse; dışarı çeken kas"},
        ArticleCase{"InsideTheTextWithItsWords", "admit",
                    "girmesine müsaade etmek admit of imkân vermek admittance içeriye kabul",
                    "girmesine müsaade etmek",
                    "admit of: imkân vermek || admittance: içeriye kabul"},
        // A short Turkish word ends a sense, no abbreviation.
        ArticleCase{"ShortLastWord", "fanny", "(A.B.D.), (k. dili) but, kaba et.",
                    "(A.B.D.), (k. dili) but, kaba et", ""},
        // A sentence of Turkish alone is no run-on; nor is a cross-reference.
        ArticleCase{"NoRunOn", "hello|a", "(ünlem) Alo. Merhaba Günaydın Hoş geldiniz.|(bak.) an)",
                    "(ünlem) Alo. Merhaba Günaydın Hoş geldiniz|(bak.) an)", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct HeadwordCase {
    const char* headword;
    const char* expected; // "|" between forms
};

void PrintTo(const HeadwordCase& c, std::ostream* os) {
    *os << '"' << c.headword << '"';
}

class HeadwordForms : public Installed, public ::testing::WithParamInterface<HeadwordCase> {};

TEST_P(HeadwordForms, OneEntryPerSpelling) {
    const QSet<QString> taken{QStringLiteral("clock"), QStringLiteral("cell")};
    QStringList forms;
    for (const QString& form : headwordForms(QString::fromUtf8(GetParam().headword), words()))
        forms << repairHeadword(form, words(), taken);
    EXPECT_EQ(forms.join(u'|'), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Real, HeadwordForms,
    ::testing::Values(
        HeadwordCase{"goodby, good-bye", "goodby|good-bye"},
        HeadwordCase{"neighbor, -bour", "neighbor|neighbour"},
        HeadwordCase{"psychic,-chical", "psychic|psychical"},
        HeadwordCase{"laconic, ical", "laconic|laconical"},
        HeadwordCase{"extravagance, cy", "extravagance|extravagancy"},
        HeadwordCase{"color , colour", "color|colour"}, HeadwordCase{"wf , wf", "wf"},
        HeadwordCase{"heroicical", "heroic|heroical"}, HeadwordCase{"cloek", "clock"},
        HeadwordCase{"pavior,-ingiour", "pavior"},
        // Compounds as WordNet spells them; misread letters; names.
        HeadwordCase{"redhanded", "red-handed"}, HeadwordCase{"longdistance", "long-distance"},
        HeadwordCase{"batteringram", "battering ram"}, HeadwordCase{"evoive", "evolve"},
        HeadwordCase{"expiore", "explore"}, HeadwordCase{"monday", "Monday"},
        HeadwordCase{"aegean sea", "Aegean Sea"}, HeadwordCase{"english horn", "English horn"},
        HeadwordCase{"de", "de"}, HeadwordCase{"hiqhsoundinq", "high-sounding"},
        HeadwordCase{"chanqeable", "changeable"}, HeadwordCase{"wordles", "wordless"},
        HeadwordCase{"okapl", "okapi"}, HeadwordCase{"neatsfootoil", "neat's-foot oil"},
        HeadwordCase{"fullingmill", "fulling mill"},
        // Right as they are, or a misreading whose word is a headword already.
        HeadwordCase{"puling", "puling"}, HeadwordCase{"liturgies", "liturgies"},
        HeadwordCase{"clayier", "clayier"}, HeadwordCase{"bookstand", "bookstand"},
        HeadwordCase{"billycock", "billycock"}, HeadwordCase{"wiredraw", "wiredraw"},
        HeadwordCase{"handhold", "handhold"}, HeadwordCase{"hardworking", "hardworking"},
        HeadwordCase{"ceil", "ceil"}, HeadwordCase{"polish", "polish"}));

struct FitCase {
    const char* written;
    const char* sense;
    const char* expected;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << '"' << c.written << '"';
}

class FittedHeadwords : public Installed, public ::testing::WithParamInterface<FitCase> {};

TEST_P(FittedHeadwords, AreWrittenAsTheirSensesShow) {
    const QString written = QString::fromUtf8(GetParam().written);
    const QString repaired = repairHeadword(written, words(), {});
    EXPECT_EQ(fitHeadword(written, repaired, {QString::fromUtf8(GetParam().sense)}, words()),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Real, FittedHeadwords,
    ::testing::Values(FitCase{"ian", "(sonek) özgü: amphibian, Smithsonian", "-ian"},
                      FitCase{"spiro", "(önek), (tıb.) nefes, soluk", "spiro-"},
                      FitCase{"pta", "(kıs.) Parent-Teacher Association", "PTA"},
                      FitCase{"y.m.c.a.", "(kıs.) Young Men's Christian Association", "Y.M.C.A."},
                      FitCase{"vang", "(den.) gizin ablisi iskota halatı", "vang"},
                      // A name, a word that is a suffix as well, an abbreviation of words.
                      FitCase{"brazil", "Brezilya", "Brazil"},
                      FitCase{"herd", "(sonek) çoban, sürücü: cowherd", "herd"},
                      FitCase{"co", "(kıs.) company, county", "co"}));

} // namespace
