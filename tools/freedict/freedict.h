#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Reading the FreeDict dictionaries that Debian ships for dictd (dict-freedict-eng-tur and
// dict-freedict-tur-eng) and turning them into the two dictionaries of the learning database.
//
// Every failure to read a file is a peltavo::Error whose message names the file and what is wrong
// with it; nothing here returns a partial result after an error.
namespace peltavo::freedict {

class Speller;

// One dictionary entry. For readDictd the meaning is the raw article text of the dictionary; for
// the imports it is the learner-facing meaning: one sense per line, lines separated by "\r\n" (as
// a memo field stores them), numbered "1. ", "2. ", ... only when there are several senses.
struct Entry {
    QString headword;
    QString meaning;
};

struct Report {
    int headwords = 0;  // entries returned
    int articles = 0;   // articles read from the dictionary (before duplicates were merged)
    int merged = 0;     // articles (or their further spellings) folded into an earlier entry
    int skipped = 0;    // articles without a usable headword or without any sense
    int repaired = 0;   // glued English phrases split into words (Turkish-English only)
    int labelFixes = 0; // words that the source had broken apart with a "(abbr.)" label
    QStringList repairedExamples; // a few of the repairs, "eldersister -> elder sister"
    int reversed = 0; // Turkish-English headwords made from the English-Turkish dictionary alone
    int extended = 0; // Turkish-English headwords given English words from the reversal as well
    // English-Turkish only:
    int textRepairs = 0;     // senses changed by the repairs of textrepair.h
    int headwordRepairs = 0; // headword spellings put right (compounds, misread letters, names)
    int splitHeadwords =
        0; // further spellings of a headword line ("good-bye" of "goodby, good-bye")
    int runOnHeadwords = 0; // headwords made from another article's run-on entries
    int fragments = 0;      // garbage left out: run-on heads at an article's end without meaning
};

// Reads a dictd dictionary: the index (lines "headword TAB offset TAB length", the numbers in
// dictd's base64 digits) and the data file, gzip/dictzip compressed when its name ends in ".dz",
// plain otherwise. Returns one entry per index line, in index order, with the index headword and
// the article text exactly as stored (UTF-8 decoded). The dictionary's own description entries
// (headwords starting "00database" or "00-database") are left out. An index with no articles
// gives an empty result. Throws peltavo::Error when a file is missing or unreadable, when the
// data cannot be decompressed, or when an index line is malformed or points outside the data.
std::vector<Entry> readDictd(const QString& indexPath, const QString& dictPath);

// A set of known English words, loaded from word lists with one word per line such as
// /usr/share/dict/american-english (Debian wamerican) or british-english (wbritish).
// Possessive lines ("Aaron's") are not kept. It may also know how common words are, from the
// size levels of SCOWL (Debian scowl): level 10 holds the most common words, 20 the next, and so
// on up to 95.
class EnglishWords {
public:
    // The SCOWL levels that loadSystem reads. Levels 80 and 95 hold rare words, two thirds of
    // the lists and of the time to read them; read as unknown (100) instead, they change the
    // reversal's order only among rare words.
    static constexpr int kSystemMaxLevel = 70;

    // Throws peltavo::Error when a file cannot be read or holds no word at all.
    static EnglishWords load(const QString& path);
    static EnglishWords load(const QStringList& paths);
    // The system word lists that exist among /usr/share/dict/american-english and
    // british-english; throws peltavo::Error when neither is there. The levels of
    // /usr/share/dict/scowl up to kSystemMaxLevel, the lemmas of /usr/share/wordnet (Debian
    // wordnet-base) and the Hunspell dictionaries en_US and en_GB of /usr/share/hunspell (Debian
    // hunspell-en-us, hunspell-en-gb) are loaded as well when they are there.
    static EnglishWords loadSystem();

    // Loads the lemmas of WordNet's index files (index.noun, index.verb, index.adj, index.adv)
    // in dir, for compoundSpelling alone: WordNet lists names and foreign words in lower case
    // ("kim", "ada"), which would pass Turkish words for English ones. Throws
    // peltavo::Error when dir holds no index file or one cannot be read.
    void loadWordNet(const QString& dir);
    // How WordNet spells a compound that is written here without its hyphens or blanks
    // ("redhanded" is "red-handed", "batteringram" is "battering ram"), in lower case; empty
    // when WordNet knows no such compound or knows the word as it is written.
    QString compoundSpelling(const QString& glued) const;

    // Loads the levels from the SCOWL files "english-words.LEVEL" in dir (each file holds the
    // words that enter at that level), and the names of people of "english-proper-names.LEVEL"
    // up to level 50. Throws peltavo::Error when dir holds no such file or one
    // cannot be read. A word keeps the lowest level it is found at. Levels above maxLevel are
    // not read: their words count as unknown (100).
    void loadLevels(const QString& dir, int maxLevel = 100);

    void add(const QString& word);
    // Whether the word is known, ignoring letter case.
    bool contains(const QString& word) const;
    // Whether the lists hold the word as it is written or in lower case: "look" and "Indian",
    // but not "kim", which they hold as the name "Kim" only.
    bool isWord(const QString& word) const;
    // Whether WordNet holds the word (in lower case); see loadWordNet for why isWord does not ask.
    bool isLemma(const QString& word) const { return lemmas_.contains(word.toLower()); }
    // Whether the lists hold the word written exactly so ("Polish").
    bool spells(const QString& word) const { return exact_.contains(word); }
    // Whether the word may be one piece of a glued phrase: a listed word of three or more
    // letters (spelt in lower case in the list, or exactly as here for names such as "Asia"),
    // one of the common two-letter function words ("of", "to", "by", ...), or "a" / "I".
    bool acceptsPiece(const QString& piece) const;
    qsizetype size() const { return folded_.size(); }
    // Whether the word lists hold the word with a capital only ("Egypt", "English").
    bool isName(const QString& word) const;
    // Adds a Hunspell dictionary that spellsEnglish asks; throws as Speller does.
    void addSpeller(const QString& affPath, const QString& dicPath);
    // Whether one of the Hunspell dictionaries accepts the word as it is written ("puling",
    // "caviler", which the word lists lack); false without one.
    bool spellsEnglish(const QString& word) const;
    bool hasSpellers() const { return !spellers_.empty(); }
    // Whether SCOWL lists the word as a person's name ("Ian", "Jenny"), ignoring case; loaded
    // with the levels.
    bool isPersonalName(const QString& word) const { return personal_.contains(word.toLower()); }

    // How common a word or phrase is, from 10 (most common) to 100 (unknown), ignoring case.
    // With levels loaded, a word has its SCOWL level, or 100; without, a listed word has 50 and
    // any other 100. A phrase has the level of its rarest word, plus one for being a phrase.
    int level(const QString& wordOrPhrase) const;

private:
    QSet<QString> folded_;       // every word in lower case
    QSet<QString> exact_;        // every word as listed
    QHash<QString, int> levels_; // lower case word -> SCOWL level
    QSet<QString> lemmas_;       // WordNet's single-word lemmas
    QSet<QString> personal_;     // SCOWL's names of people, in lower case
    std::vector<std::shared_ptr<const Speller>> spellers_;
    QHash<QString, QString> compounds_; // WordNet's compounds without blanks and hyphens
};

// Splits each glued English phrase of text ("eldersister", "besorryabout", "storagebattery")
// into known words ("elder sister", ...). Only runs of ASCII letters that the word list does not
// know and that can be cut entirely into acceptable pieces are touched; among the possible cuts
// the one with the fewest pieces wins, then the one with the longest pieces. Known words
// ("everything", "through"), runs with no clean cut, words with an apostrophe, all-capital
// abbreviations and words with other letters (Turkish ones included) stay as they are.
// *changed, when given, tells whether anything was split; each repair is appended to *repairs,
// when given, as "glued -> split".
QString repairGluedWords(const QString& text, const EnglishWords& words, bool* changed = nullptr,
                         QStringList* repairs = nullptr);

// The two imports for the learning database; dictdDir is normally /usr/share/dictd and must hold
// freedict-eng-tur.index and freedict-eng-tur.dict.dz (both imports read them) and, for the
// Turkish-English import, freedict-tur-eng.index and .dict.dz.
//
// Each returns one entry per headword, in no particular order: the headword as the article
// writes it (case, hyphens and apostrophes kept, the converter's stray "(abbr.)" markers and
// homograph numbers removed, no surrounding blanks), and every sense of every article with that
// headword, duplicates dropped. Pronunciations are left out (the program speaks words aloud
// instead). Every returned headword and meaning is non-empty. Throws peltavo::Error as
// readDictd does.
//
// The English-Turkish import also repairs the damage of the source's conversions (see
// textrepair.h: stress marks, a capital I for l or ı, line-break hyphens, the converter's "(ask.)"
// and "(I.)", lost possessives); gives each spelling of a headword line its own entry
// ("goodby, good-bye"); spells headwords right (compounds as WordNet spells them, misread
// letters, names with their capital); and splits each article into the headword's own senses and
// its run-on entries (see article.h). A meaning lists the own senses first, then one line per
// run-on entry, "forms: meaning; meaning". A run-on entry that is one word ("birthday" in
// "birth") becomes a headword of its own as well, with its meanings as senses.
//
// With a Turkish spelling dictionary (Speller::loadTurkish), the repairs also put right the
// Turkish words that the scan misread, glued together or cut apart, and names in small letters
// (see textrepair.h).
std::vector<Entry> importEngTur(const QString& dictdDir, const EnglishWords& words,
                                Report* report = nullptr, const Speller* turkish = nullptr);
//
// The Turkish-English import starts from the Turkish-English dictionary, whose English meanings
// have their glued phrases repaired with words, extended by the single-word headwords of the
// English-Turkish dictionary (so "hardworking" stays whole). It then adds the English-Turkish
// dictionary turned around: every clean Turkish term (see turkishTerms) of an English headword
// that is a plain word or phrase of up to three words gets that headword as a meaning (the first
// spelling of "color, colour"). A headword of the Turkish-English dictionary spelt exactly like
// the term keeps its own senses first and gets one more line with the English words that its
// senses do not already give; any other term becomes a headword of its own with one line of
// English words. Such a line holds at most kReversedWordsCap words, separated by ", ", best
// first: how common a word is (EnglishWords::level) weighed against how plainly it translates
// the term (first term of the first sense best, a sense with a subject or register label or an
// explanation worst), ties broken by place in the English entry, then alphabetically. English
// words that the word lists hold with a capital only get it ("English"), and a phrase with such a
// word for a Turkish name gets capitals throughout ("Great Britain" for "Britanya"). Entries come
// in the Turkish-English dictionary's order, then the new headwords in UTF-16 order; the result is
// the same for the same files and word lists.
std::vector<Entry> importTurEng(const QString& dictdDir, const EnglishWords& words,
                                Report* report = nullptr, const Speller* turkish = nullptr);
inline constexpr int kReversedWordsCap = 8;

// Both imports at once, reading the English-Turkish dictionary once.
struct Dictionaries {
    std::vector<Entry> englishTurkish;
    std::vector<Entry> turkishEnglish;
};
Dictionaries importDictionaries(const QString& dictdDir, const EnglishWords& words,
                                Report* englishReport = nullptr, Report* turkishReport = nullptr,
                                const Speller* turkish = nullptr);

// The learner-facing meaning of a list of senses: one per line, "\r\n" between lines, numbered
// "1. ", "2. ", ... only when there are several. splitSenses gives the senses back.
QString joinSenses(const QStringList& senses);
QStringList splitSenses(const QString& meaning);

// The clean Turkish terms of one sense of the English-Turkish dictionary, as the reversal uses
// them, in the order they appear, each once. A term is in lower case (Turkish rules: "I" is "ı",
// "İ" is "i") unless the source writes it with a capital: a name ("Mısır", "Türk lirası") keeps
// the source's spelling. Parenthesised labels and remarks are dropped; the text stops at the
// first full stop or colon (English phrases with their own translations follow) and at an
// abbreviation, cross-reference or affix label ("(kıs.)", "(bak.)", "(önek)"); the rest is cut at
// commas, semicolons and slashes. A term is one or two words of the Turkish alphabet (hyphens and
// apostrophes inside words allowed), or three when they end in a verb ("gereğinden fazla
// pişirmek"); it is no prefix or suffix, no description ("bir çeşit ...", "... gibi",
// "... ait", "... veya ...", short pieces that run on into a longer text), no Latin name, no
// abbreviation in capitals, no name in a sense with a subject label, and repeats no word of
// englishHeadword nor a word made from one ("hazelnut" for "hazel"). An empty result means the
// sense has no clean term.
QStringList turkishTerms(const QString& sense, const QString& englishHeadword);

} // namespace peltavo::freedict
