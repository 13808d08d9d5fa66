#pragma once

#include "freedict.h"

#include <QString>
#include <QStringList>

#include <vector>

// Putting the hand-checked core glossary (content/glossary) in front of an imported dictionary.
namespace peltavo::freedict {

// One line of the glossary: a headword with its senses, learner's sense first, each sense as
// written ("(ünlem) lütfen"); base is set for a form of another headword ("went = go").
struct GlossaryEntry {
    QString headword;
    QString base;
    QStringList senses;
};

struct MergeReport {
    int led = 0;     // dictionary entries whose meaning the glossary now leads
    int added = 0;   // glossary headwords that the dictionary lacked
    int dropped = 0; // dictionary senses left out because the glossary says the same
};

// Which language a dictionary's headwords and meanings are in, for comparing letter case.
enum class Direction { EnglishTurkish, TurkishEnglish };

// The first sense of a form's line names its base: "gitti, gitmiş oldu (→ go)".
QString withBase(const QString& sense, const QString& base);

// Puts the glossary first. Where the glossary has a headword, its senses lead the entry and the
// dictionary's remaining senses follow, but for those that say nothing the glossary does not
// (every equivalent of the sense, labels and remarks aside, is one of the glossary's); the entry
// takes the glossary's spelling ("English" for the dictionary's "english"). A headword matches
// the dictionary's exactly or, when no other glossary line claims that entry exactly, ignoring
// letter case (Turkish rules for Turkish). A glossary headword that the dictionary lacks becomes
// an entry of its own. A form's first sense names its base (withBase). The meaning keeps the
// dictionary's format (joinSenses). Entries come in the dictionary's order, then the new ones in
// the glossary's.
std::vector<Entry> mergeGlossary(std::vector<Entry> dictionary,
                                 const std::vector<GlossaryEntry>& glossary, Direction direction,
                                 MergeReport* report = nullptr);

} // namespace peltavo::freedict
