#pragma once

#include "content.h"

#include <QString>

#include <functional>
#include <vector>

// The words of the dictionaries that no speller knows: misread letters and words run together
// show up among them, but so do rare words, names and Latin, so they are listed for a reader to
// look at and never refused.
namespace peltavo::dbbuild {

// Whether a speller knows a word as it is written.
using Speller = std::function<bool(const QString&)>;

struct UnknownWord {
    QString word;
    int count = 0; // how often the dictionaries hold it
    QString file;  // where it first stands
    int line = 0;
};

struct SpellingReport {
    int words = 0;                    // distinct words looked at
    std::vector<UnknownWord> unknown; // the commonest first, then in the order of the text
};

// Looks at every word of both dictionaries, headwords and senses: a run of letters of two or more,
// written in small letters (a capital starts a name); the words of labels ("çoğ." also in
// "(çoğ. -men)"), and endings or prefixes written with their hyphen ("-ing", "ön-"), are left
// alone. A word is unknown when none of the spellers knows it; a word
// of a bilingual text may be of either language, so every speller is asked.
SpellingReport checkSpelling(const Content& content, const std::vector<Speller>& spellers);

} // namespace peltavo::dbbuild
