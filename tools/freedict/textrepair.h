#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Repairs of the English-Turkish dictionary's text: the damage that its conversions (an OCR of a
// printed dictionary, then a converter that took every "(abbr.)" for a label) left behind, one
// rule per kind of damage. Used by importEngTur; not part of the library's interface.
//
// Each rule changes only what it recognises for certain; what it cannot decide stays as it is.
namespace peltavo::freedict {

class EnglishWords;
class Speller;

// The words a repair may rely on: English from the word lists, Turkish counted in the dictionary's
// own text (a word that the text writes elsewhere is taken as a real Turkish word).
class Vocabulary {
public:
    explicit Vocabulary(const EnglishWords& english) : english_(english) {}

    // Counts the words of one article's senses (without their numbers): all of them, and those
    // of its first senses up to the first full stop, which are the headword's own and so Turkish
    // (run-on entries in English follow a full stop).
    void count(const QStringList& senses);
    // How often the dictionary's text writes the word, letter case ignored (Turkish rules).
    int turkish(const QString& word) const;
    // Names of countries, peoples and languages as they are written ("İngiltere"), for
    // fixLowercaseNames; words that are no name in small letters must not be among them.
    void addNames(const QStringList& names);
    // How often the word stands where only Turkish does: in the first part of an article.
    int ownTurkish(const QString& word) const;
    // Whether the word lists hold the word as it is written or in lower case ("look", "Indian";
    // but not "kim", which they hold as the name "Kim" only).
    bool english(const QString& word) const;
    const EnglishWords& words() const { return english_; }

    // The Turkish spelling dictionary the repairs may ask; none by default.
    void setSpeller(const Speller* speller) { speller_ = speller; }
    // Whether the Turkish spelling dictionary accepts the word; false without one.
    bool spelt(const QString& word) const;
    bool hasSpeller() const { return speller_ != nullptr; }
    // How often the text writes the two words one after the other, "beden eğitimi" (as
    // written, small letters only).
    int pair(const QString& first, const QString& second) const;
    // Whether the text writes a word that starts with prefix (in lower case, Turkish rules).
    bool writesPrefix(const QString& prefix) const;
    // How often the text writes the word with a capital first letter, as written.
    int capitalized(const QString& word) const { return capitalized_.value(word); }

private:
    const EnglishWords& english_;
    const Speller* speller_ = nullptr;
    QHash<QString, int> turkish_;
    QHash<QString, int> pairs_;
    mutable QStringList sorted_; // the keys of turkish_, sorted, made when first asked
    QHash<QString, int> own_;
    QHash<QString, int> capitalized_; // "İngiltere", as written
    QHash<QString, QString> names_;   // "ingiltere" -> "İngiltere"
    friend QString fixLowercaseNames(const QString& text, const Vocabulary& words);
    // What fixMisreadLetters decided for each word it has seen.
    mutable QHash<QString, QString> misreadCache_;
    friend QString fixMisreadLetters(const QString& text, const Vocabulary& words);
    // What fixScanErrors and splitGluedWords decided for each word they have seen.
    mutable QHash<QString, QString> scanCache_;
    friend QString fixScanErrors(const QString& text, const Vocabulary& words);
    friend QString splitGluedWords(const QString& text, const Vocabulary& words);
};

// A capital I that stands for an l or a dotless ı inside a word or at its start before a vowel:
// "öIçmeye" is "ölçmeye", "Iâkayt" is "lâkayt", "Iook" is "look", "kIrmızı" is "kırmızı". Which
// letter is right is settled by the words the vocabulary knows; words that it knows as they stand
// ("It", "Indian", "Irak") and words in capitals ("ABD") stay.
QString fixCapitalI(const QString& text, const Vocabulary& words);

// Words that a line break had cut with a hyphen: "ay- rıntılarını" is "ayrıntılarını",
// "presen- tation" is "presentation". A hyphen before a word of its own ("pre- and post-war") or
// a possessive ("one- teeth", see fixLostPossessive) stays.
QString joinLineBreakHyphens(const QString& text, const Vocabulary& words);

// Words that the scan cut in two with a blank: "neigh borly" is "neighborly",
// "incon trovert'ibly" is "incontrovert'ibly", "ko laylıkla" is "kolaylıkla", "özel likle" is
// "özellikle". Only where a piece is no word of its own and the two make a known English word, a
// Turkish word that the text writes whole elsewhere, or one that the Turkish spelling dictionary
// accepts while it rejects a piece.
QString joinSplitWords(const QString& text, const Vocabulary& words);

// Turkish letters that the scan misread: a letter without its mark ("sey" is "şey",
// "kemigine" is "kemiğine") or an l for ı ("kıvlrmak" is "kıvırmak", "vlz" is "vız"). Only a
// word in small letters and no English word, for a word that differs in one letter and that the
// text writes much more often: three times as often as a word that it writes once or twice,
// twenty times as often as a commoner one.
QString fixMisreadLetters(const QString& text, const Vocabulary& words);

// Turkish words that the scan misread in the ways a scanner confuses letters, put right with the
// Turkish spelling dictionary: "taslağmda" is "taslağında" (ın read as m), "Ortodokslann" is
// "Ortodoksların" (rı read as n), "te1aş1anmak" is "telaşlanmak", "hrmızıya" is "kırmızıya".
// Only a word in small letters that is no English word and that the dictionary rejects, for the
// one word made from it by the scanner's confusions (one of them, the same one throughout, or
// two) that the dictionary accepts; none or several leave the word as it is. A lost mark
// ("bollasmak" is "bollaşmak") only where no such confusion explains the word, the text writes it
// twice at most and writes the repaired word elsewhere.
QString fixScanErrors(const QString& text, const Vocabulary& words);

// Turkish words that the scan glued together: "bedeneğitimi" is "beden eğitimi", "hareketetmek"
// is "hareket etmek". Only a word in small letters that the text writes twice at most and that
// the Turkish spelling dictionary rejects, cut in the one place where both pieces are accepted
// Turkish words and the text writes them apart elsewhere (with a small word or "etmek",
// "olmak" once; otherwise twice and as often as glued). Compounds that Turkish writes as one
// word stay ("kanaryaotu", "karakalem").
QString splitGluedWords(const QString& text, const Vocabulary& words);

// Names that the source wrote in small letters: "ingiliz kadını" is "İngiliz kadını",
// "ispanya sineği" is "İspanya sineği", for the names given to the vocabulary (addNames) of four
// letters or more: a shorter one may be a common word as well ("ren geyiği", "çek"); and, with a
// spelling dictionary, a word that it accepts only with a capital and that the text writes with
// one at least three times ("çin" is "Çin", "ispanyolca" is "İspanyolca").
QString fixLowercaseNames(const QString& text, const Vocabulary& words);

// The possessive "'s" that the conversion lost: "one' way" is "one's way", "It' your turn" is
// "It's your turn", "cut one- teeth" is "cut one's teeth"; a Turkish suffix that came loose from
// its name is joined again ("Davud' un" is "Davud'un"). A plural's possessive ("Venus' ",
// "wives' ") stays.
QString fixLostPossessive(const QString& text, const Vocabulary& words);

// The converter's "(ask.)" and "(I.)" markers where the source had the English words "ask" and
// "I", or an exclamation mark: "(ask.) for trouble" is "ask for trouble", "(I.)'ll go" is
// "I'll go", "Dear me (I.) Aman (I.)" is "Dear me! Aman!". "(ask.)" as the military label before
// a Turkish sense stays.
QString fixConverterMarkers(const QString& text, const Vocabulary& words);

// Stress marks in English words: "despera'tion" is "desperation". Contractions and possessives
// ("don't", "one's", "o'clock") and Turkish apostrophes ("Amerika'da") stay. With knownEnglish,
// the word is English whatever the lists say (a run-on headword); otherwise only a word that the
// lists know without its marks is changed.
QString removeStressMarks(const QString& word, const Vocabulary& words, bool knownEnglish = false);
// removeStressMarks for every word of a text.
QString removeStressMarksInText(const QString& text, const Vocabulary& words);

// Marks that the conversions misplaced: the plural's forms outside their label
// ("(çoğ.) fowl, fowls) kuş" is "(çoğ. fowl, fowls) kuş"), a parenthesis opened twice, the label
// "A.B.D." without its parentheses before another label ("ABD, (argo)"), a digit 1 for an l in a
// word that is known with the l ("cila1amak" is "cilalamak", "a11" is "all").
QString fixStrayMarks(const QString& text, const Vocabulary& words);

// Labels written otherwise than the dictionary writes them most often, or without their
// parentheses: "kdili" and "(k.dili.)" are "(k. dili)", "ing, kdili korku" is
// "(İng.), (k. dili) korku", "b.h. papa" is "(b.h.) papa", "(A.B.D)" is "(A.B.D.)". Used by
// fixStrayMarks.
QString normalizeLabels(const QString& text);

// A colon between two Turkish words, where the source separates senses: "sıçratmak: çamurlamak"
// is "sıçratmak; çamurlamak". A colon after an English word ("in him: Ona ...") or inside
// parentheses stays. Needs the spelling dictionary.
QString fixColonSeparators(const QString& text, const Vocabulary& words);

// The endings of an inflected verb as the dictionary writes them: "(-ed, - ing veya- led, - ling)"
// is "(-ed, -ing veya -led, -ling)", "(-ted.- ting)" is "(-ted, -ting)", "(-ped -ping)" is
// "(-ped, -ping)", "(-red, - rinq)" is "(-red, -ring)".
QString fixInflectionNotes(const QString& text);

// All the repairs above on one sense, in the order they depend on each other.
QString repairSense(const QString& sense, const Vocabulary& words);

} // namespace peltavo::freedict
