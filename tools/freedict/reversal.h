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

// Collects, for every clean Turkish term of every English headword's senses, the English
// headwords that it translates, with how strongly each one does.
class Reversal {
public:
    // englishHeadword as importEngTur gives it; senses in the dictionary's order, labels and all.
    // Headwords that are no plain English word or phrase of up to three words (abbreviations,
    // prefixes, letters, two letters but for common words, headwords with digits) contribute
    // nothing; of "color, colour" the first spelling counts.
    void add(const QString& englishHeadword, const QStringList& senses);

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
        bool operator<(const Candidate& o) const {
            return std::tie(group, sense, piece) < std::tie(o.group, o.sense, o.piece);
        }
    };
    QHash<QString, QHash<QString, Candidate>> byTerm_;
};

// Turkish lower case: "I" becomes "ı" and "İ" becomes "i".
QString turkishLower(const QString& text);

} // namespace peltavo::freedict
