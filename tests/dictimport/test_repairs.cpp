// The repairs of the English-Turkish dictionary's text, the split of its articles into own senses
// and run-on entries, and its headwords: one table of real entries per kind of damage, with the
// word lists and the dictionary that Debian installs (their absence is a broken set-up).
#include "article.h"
#include "freedict.h"
#include "installed.h"
#include "speller.h"
#include "textrepair.h"


#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace peltavo::freedict;

namespace {

using peltavo::freedict::test::Installed;

// One kind of damage: its repair and its real senses, each with what it must become (the last
// ones of a kind are right as they are and must stay so).
struct Damage {
    const char* kind;
    QString (*repair)(const QString&, const Vocabulary&);
    std::vector<std::pair<const char*, const char*>> senses;
    bool givenNames = false; // repaired with the vocabulary that knows four names
};

const Damage kDamage[] = {
    {"StressMarks",
     removeStressMarksInText,
     {{"dışbükey olan cisim. convex'ity dışbükeylik", "dışbükey olan cisim. convexity dışbükeylik"},
      {"zayıf. pueril'ity, puerileness çocukluk", "zayıf. puerility, puerileness çocukluk"},
      {"wheat'en buğdaydan yapılmış", "wheaten buğdaydan yapılmış"},
      // Contractions, possessives, o'clock and Turkish apostrophes stay.
      {"Don't be silly! Amerika'da, one's way, It's your turn, o'clock, kur'a",
       "Don't be silly! Amerika'da, one's way, It's your turn, o'clock, kur'a"},
      {"6. (müz.) armür dö kle'den sonra", "6. (müz.) armür dö kle'den sonra"}}},
    {"CapitalI",
     fixCapitalI,
     {{"arazi öIçmeye mahsus cubuk", "arazi ölçmeye mahsus cubuk"},
      {"duygusuz, hissiz, Iâkayt, kayıtsız", "duygusuz, hissiz, lâkayt, kayıtsız"},
      {"birlikte çaIışma, işbirliği", "birlikte çalışma, işbirliği"},
      {"(bot.) Iimonluk", "(bot.) limonluk"},
      {"Iânet etmek, belâ okumak", "lânet etmek, belâ okumak"},
      {"Iaw court mahkeme", "law court mahkeme"},
      {"Iook out! dikkat!", "look out! dikkat!"},
      {"alında kırışık Iık hâsıl etmek", "alında kırışık lık hâsıl etmek"},
      // Words that are right with their capital I, and capitals only.
      {"It is usual to do so. Indian ink, Irak, ABD, II. Abdülhamit",
       "It is usual to do so. Indian ink, Irak, ABD, II. Abdülhamit"}}},
    {"LineBreakHyphens",
     joinLineBreakHyphens,
     {{"randıman dü- şüklüğü", "randıman düşüklüğü"},
      {"profoundly de- rinden", "profoundly derinden"},
      {"sıra ile de- nemek", "sıra ile denemek"},
      {"poison gas ze- hirli gaz", "poison gas zehirli gaz"},
      {"presen- tation copy hediyelik nüsha", "presentation copy hediyelik nüsha"},
      {"propitiously uygun bir şekilde. propi- tiousness lütufkârlık",
       "propitiously uygun bir şekilde. propitiousness lütufkârlık"},
      {"tama- men, baştan başa", "tamamen, baştan başa"},
      // A hyphen before a word of its own stays.
      {"iç- ve dış kulak, pre- and post-war", "iç- ve dış kulak, pre- and post-war"}}},
    {"SplitWords",
     joinSplitWords,
     {{"komşu, yakın. neigh borly komşuya yakışır", "komşu, yakın. neighborly komşuya yakışır"},
      {"tembih etmek. excita'ti on tahrik, tembih", "tembih etmek. excita'tion tahrik, tembih"},
      {"yadsınamaz. incon trovert'ibly yadsınamayacak şekilde",
       "yadsınamaz. incontrovert'ibly yadsınamayacak şekilde"},
      {"parmağını kıpırdatmadan, ko laylıkla", "parmağını kıpırdatmadan, kolaylıkla"},
      {"bükülmek. bend able eğilir", "bükülmek. bendable eğilir"},
      {"dokunulur, touch able", "dokunulur, touchable"},
      {"aygıtlar, özel likle elektronik cihazlar", "aygıtlar, özellikle elektronik cihazlar"},
      {"davranış bozuklukları, uyur gezerlik", "davranış bozuklukları, uyurgezerlik"},
      // Two words that are words.
      {"every one her biri, in to içine, bir den fazla",
       "every one her biri, in to içine, bir den fazla"}}},
    {"StrayMarks",
     fixStrayMarks,
     {{"(çoğ.) fowl, fowls) kuş", "(çoğ. fowl, fowls) kuş"},
      {"(çoğ.) Midrashim) Eski Ahidin", "(çoğ. Midrashim) Eski Ahidin"},
      {"( (sonek), (biyol.) mantar", "(sonek), (biyol.) mantar"},
      {"ABD, (argo) kız, (slang) piliç", "(A.B.D.) (argo) kız, (slang) piliç"},
      {"baskı ile cila1amak (kağıt)", "baskı ile cilalamak (kağıt)"},
      {"can't be troubled with a11 the petty problems",
       "can't be troubled with all the petty problems"},
      // Numbers stay.
      {"1926'da kullanılmaya başlanan, 1 kırat=200 mg",
       "1926'da kullanılmaya başlanan, 1 kırat=200 mg"}}},
    // Labels are written as the dictionary writes them most often.
    {"Labels",
     fixStrayMarks,
     {{"ing, kdili korku, dehşet", "(İng.), (k. dili) korku, dehşet"},
      {"(b. h.) Hazreti Meryem", "(b.h.) Hazreti Meryem"},
      {"b.h. hümanizma", "(b.h.) hümanizma"},
      {"(A.B.D), (k.dili.) kodaman", "(A.B.D.), (k. dili) kodaman"},
      {"(ing)gemi mutfağı", "(İng.) gemi mutfağı"},
      {"King's Counsel ing., (huk.) kralın hukuk müşaviri",
       "King's Counsel (İng.), (huk.) kralın hukuk müşaviri"},
      // The ending of an English verb stays.
      {"(-ed, - ing veya -led) eşit olmak", "(-ed, - ing veya -led) eşit olmak"}}},
    // A colon between Turkish words separates senses.
    {"ColonSeparators",
     fixColonSeparators,
     {{"serpmek, sıçratmak: çamurlamak", "serpmek, sıçratmak; çamurlamak"},
      {"enişte; kayınbirader: bacanak", "enişte; kayınbirader; bacanak"},
      // After an English word, inside parentheses: colons.
      {"I have confidence in him: Ona itimadım var", "I have confidence in him: Ona itimadım var"},
      {"(Not: harf tarif edatı) kaba et.", "(Not: harf tarif edatı) kaba et."}}},
    {"LowercaseNames",
     fixLowercaseNames,
     {{"ingiliz kadını", "İngiliz kadını"},
      {"ispanya sineği, (zool.) Lytta vesicatoria", "İspanya sineği, (zool.) Lytta vesicatoria"},
      {"(şiir) ingiltere", "(şiir) İngiltere"},
      // A short name that is a common word as well.
      {"ren geyiği, çin tavuğu", "ren geyiği, çin tavuğu"}},
     true},
    {"NamesTheSpellerKnows",
     fixLowercaseNames,
     {{"en geçerli olan şive, standart ispanyolca", "en geçerli olan şive, standart İspanyolca"},
      {"ince yünlü iskoç kumaşı", "ince yünlü İskoç kumaşı"},
      // A word the text writes with a capital too seldom: the illness, not Korea.
      {"(tıb.) kore hastalığı", "(tıb.) kore hastalığı"}}},
    {"ScanErrors",
     fixScanErrors,
     {{"(bot.) örtü (tohum taslağmda), integüment", "(bot.) örtü (tohum taslağında), integüment"},
      {"Katolik ve Ortodokslann büyük perhizden önce",
       "Katolik ve Ortodoksların büyük perhizden önce"},
      {"ABD spor araba yanşı", "ABD spor araba yarışı"},
      {"confidence game dolandıncılık", "confidence game dolandırıcılık"},
      {"üzülmek, te1aş1anmak", "üzülmek, telaşlanmak"},
      {"gıcırtı. glclrtılı", "gıcırtı. gıcırtılı"},
      {"birleşmek, kavusmak", "birleşmek, kavuşmak"},
      {"Amerikan bağımzızlık savaş taraftarı", "Amerikan bağımsızlık savaş taraftarı"},
      // Right as they are: an ending î without its mark, a circumflex, English words that the
      // word lists lack.
      {"dikkat, katilik, kesinlik; adali kuvvet", "dikkat, katilik, kesinlik; adali kuvvet"},
      {"mucir kimse, emlâkini kiraya veren", "mucir kimse, emlâkini kiraya veren"},
      {"titrek, ihtizazlı", "titrek, ihtizazlı"},
      {"tabiat bilgini Karl von Linne'in", "tabiat bilgini Karl von Linne'in"},
      {"ranchman, vampirism, vendition", "ranchman, vampirism, vendition"}}},
    // Glued words are cut where the text writes them apart.
    {"GluedWords",
     splitGluedWords,
     {{"bedeneğitimi, jimnastik", "beden eğitimi, jimnastik"},
      {"bir tabakdolusu şey", "bir tabak dolusu şey"},
      {"belli etmeden hareketetmek veya konuşmak", "belli etmeden hareket etmek veya konuşmak"},
      {"bir cins karabiber, herhangibir", "bir cins karabiber, herhangi bir"},
      // Compounds that Turkish writes as one word.
      {"kanaryaotu, (bot.) Senecio; çizim, karakalem resim",
       "kanaryaotu, (bot.) Senecio; çizim, karakalem resim"}}},
    {"MisreadLetters",
     fixMisreadLetters,
     {{"ödenen sey", "ödenen şey"},
      {"incik kemigine atılan tekme", "incik kemiğine atılan tekme"},
      {"kıvlrmak, bükmek, eğmek", "kıvırmak, bükmek, eğmek"},
      {"Bana vlz gelir", "Bana vız gelir"},
      {"suya batmlş kazan", "suya batmış kazan"},
      {"barinak, bulanik", "barınak, bulanık"},
      // Words that are right as they are, English words, names.
      {"sis, kurt, sure, Ranunculus, cabbage, kitabi, tamamiyle",
       "sis, kurt, sure, Ranunculus, cabbage, kitabi, tamamiyle"}}},
    {"LostPossessive",
     fixLostPossessive,
     {{"pay one' way masraflarını ödemek", "pay one's way masraflarını ödemek"},
      {"It' your turn. Sıra sizde.", "It's your turn. Sıra sizde."},
      {"That' that. İşte o kadar.", "That's that. İşte o kadar."},
      {"cut one- teeth on ile başlamak", "cut one's teeth on ile başlamak"},
      {"philosopher' stone", "philosopher's stone"},
      {"Hazreti Davud' un öldürdüğü dev", "Hazreti Davud'un öldürdüğü dev"},
      // A plural's possessive stays.
      {"Venus' flytrap, old wives' tale", "Venus' flytrap, old wives' tale"}}},
    // Markers the converter put in give the English words back.
    {"ConverterMarkers",
     fixConverterMarkers,
     {{"niyaz etmek. (ask.) for sormak, aramak", "niyaz etmek. ask for sormak, aramak"},
      {"rahatsızlık, hastalık. (ask.) for trouble. bela aramak",
       "rahatsızlık, hastalık. ask for trouble. bela aramak"},
      {"Heads (I.) win, tails you lose", "Heads I win, tails you lose"},
      {"Go along ! Haydi, git ! (I.)'ll go along now.",
       "Go along ! Haydi, git ! I'll go along now."},
      {"Dear me (I.) Aman (I.) Canım (I.) Yarabbi", "Dear me! Aman! Canım! Yarabbi"},
      {"Can it (I.) Yeter be (I.)", "Can it! Yeter be!"},
      // The military label stays.
      {"(ask.) ileri karakol, posta", "(ask.) ileri karakol, posta"},
      {"sealed orders (ask.) vakti gelince açılıp okunacak",
       "sealed orders (ask.) vakti gelince açılıp okunacak"}}},
};

struct Case {
    const Damage* damage;
    const char* source;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.damage->kind << ": \"" << c.source << '"';
}

std::vector<Case> everySense() {
    std::vector<Case> cases;
    for (const Damage& damage : kDamage) {
        for (const auto& [source, expected] : damage.senses)
            cases.push_back({&damage, source, expected});
    }
    return cases;
}

class Repairs : public Installed, public ::testing::WithParamInterface<Case> {};

TEST_P(Repairs, MendTheirKindOfDamageAndLeaveTheRest) {
    const Case& c = GetParam();
    EXPECT_EQ(c.damage->repair(QString::fromUtf8(c.source),
                               c.damage->givenNames ? names() : vocabulary()),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Real, Repairs, ::testing::ValuesIn(everySense()), [](const auto& info) {
    return info.param.damage->kind + std::to_string(info.index);
});

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
