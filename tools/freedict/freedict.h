#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// Reading the FreeDict dictionaries that Debian ships for dictd (dict-freedict-eng-tur and
// dict-freedict-tur-eng) and turning them into the two dictionaries of the learning database.
//
// Every failure to read a file is a peltavo::Error whose message names the file and what is wrong
// with it; nothing here returns a partial result after an error.
namespace peltavo::freedict {

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
    int merged = 0;     // articles folded into an earlier entry with the same headword
    int skipped = 0;    // articles without a usable headword or without any sense
    int repaired = 0;   // glued English phrases split into words (Turkish-English only)
    int labelFixes = 0; // words that the source had broken apart with a "(abbr.)" label
    QStringList repairedExamples; // a few of the repairs, "eldersister -> elder sister"
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
// Possessive lines ("Aaron's") are not kept.
class EnglishWords {
public:
    // Throws peltavo::Error when a file cannot be read or holds no word at all.
    static EnglishWords load(const QString& path);
    static EnglishWords load(const QStringList& paths);
    // The system word lists that exist among /usr/share/dict/american-english and
    // british-english; throws peltavo::Error when neither is there.
    static EnglishWords loadSystem();

    void add(const QString& word);
    // Whether the word is known, ignoring letter case.
    bool contains(const QString& word) const;
    // Whether the word may be one piece of a glued phrase: a listed word of three or more
    // letters (spelt in lower case in the list, or exactly as here for names such as "Asia"),
    // one of the common two-letter function words ("of", "to", "by", ...), or "a" / "I".
    bool acceptsPiece(const QString& piece) const;
    qsizetype size() const { return folded_.size(); }

private:
    QSet<QString> folded_; // every word in lower case
    QSet<QString> exact_;  // every word as listed
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
std::vector<Entry> importEngTur(const QString& dictdDir, Report* report = nullptr);
// The English meanings have their glued phrases repaired with words, extended by the single-word
// headwords of the English-Turkish dictionary (so "hardworking" stays whole).
std::vector<Entry> importTurEng(const QString& dictdDir, const EnglishWords& words,
                                Report* report = nullptr);

} // namespace peltavo::freedict
