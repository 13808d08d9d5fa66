#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <tuple>
#include <vector>

// Turning the English-Turkish dictionary around: which English headwords each Turkish term
// translates. Used by importTurEng; not part of the library's interface.
namespace peltavo::freedict {

class EnglishWords;

// What the reversal reads of one English headword or run-on entry of the English-Turkish
// dictionary.
struct ReversalSource {
    QString english;    // the headword ("please") or run-on form ("if you please", "birthday")
    QStringList senses; // its senses in the dictionary's order, labels and all
    bool runOn = false; // a run-on entry inside another headword's article
};

// How many senses of a headword (of a run-on entry) the reversal reads: the leading ones, which
// give the word's plain use; later senses are narrower, figurative or technical.
inline constexpr int kLeadingSenses = 3;
inline constexpr int kLeadingRunOnSenses = 2;

// Collects, for every clean Turkish term of every English headword's senses, the English
// headwords that it translates, with how strongly each one does.
class Reversal {
public:
    // Reads the leading senses of one headword or run-on entry (kLeadingSenses,
    // kLeadingRunOnSenses), but none marked archaic, poetic, dialect, rare, slang, vulgar or
    // foreign ("(eski)", "(şiir)", "(leh.)", "(nad.)", "(argo)", "(kaba)", "(Fr.)"). Headwords that
    // are no plain English word or phrase of up to three words (abbreviations, prefixes, letters,
    // two letters but for common words, headwords with digits) contribute nothing; of
    // "color, colour" the first spelling counts. The English word gets its capital where the
    // sense is of the name ("(b. h.)", or a sense that names a country or language with a
    // capital: "Lehçe" gives "Polish", not "polish") and the word lists spell it so.
    void add(const ReversalSource& source);

    struct Result {
        QString turkish; // as turkishTerms gives it
        // best first, at most the cap, never empty; names capitalised
        QStringList english;
    };
    // One result per Turkish term, sorted by term (UTF-16 order). English words are ordered:
    // headwords whose first sense starts with the term, then those whose first sense holds it or
    // that have it among the first two terms of a sense, then the rest, then those from senses with
    // a side label or an explanation; a group counts against how common the word is (EnglishWords::
    // level). Ties go by group, by where the term stands in the entry, then alphabetically.
    std::vector<Result> finish(const EnglishWords& common, int cap) const;

private:
    struct Candidate {
        int group = -1; // -1: not yet seen
        int sense = 0;  // where the term stands in the English headword's entry
        int piece = 0;
        // The English word is a name in this sense: 1 when the sense names a country or language
        // ("Lehçe"), and the word lists spell the word with a capital ("Polish"); 2 when the
        // sense is labelled "(b. h.)", written with a capital.
        int capital = 0;
        bool operator<(const Candidate& o) const {
            return std::tie(group, sense, piece) < std::tie(o.group, o.sense, o.piece);
        }
    };
    QHash<QString, QHash<QString, Candidate>> byTerm_;
};

// Turkish lower case: "I" becomes "ı" and "İ" becomes "i".
QString turkishLower(const QString& text);

} // namespace peltavo::freedict
