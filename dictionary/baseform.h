#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace peltavo {

class Stemmer;
class TableHandle;
struct DirectionBindings;

// The base that a dictionary entry names when its meaning's first sense ends in " (→ base)", as
// the entry of a form does ("gitti, gitmiş oldu (→ go)" names "go"); empty when it names none.
// The first sense is the meaning's first line, without its number "1. " when it has one.
QString referencedBase(QStringView meaning);

// The search text of a double-click: the text put into the search box, and which rule gave it.
struct BaseForm {
    enum class Rule {
        Headword,  // the word itself is a headword with an entry of its own
        Reference, // the word's entry names its base
        Stem,      // a stem of the word (a Turkish one with -mak/-mek) is a headword
        FrontHalf, // none of those: the front half, as a click picks it
    };
    QString text;
    Rule rule;
};

// Chooses the search text that lists a word's own entry, or its base's, first in a dictionary.
// The dictionary is the table of one direction, open and sorted on its headword; headwords
// compare as its filters compare them (letters and accents only), and each lookup is a binary
// search of its rows, filter or not.
class BaseForms {
public:
    // `stemmer` (of the dictionary's headword language) may be null: then no stem is tried.
    // The table, the bindings and the stemmer must outlive this.
    BaseForms(const TableHandle& dictionary, const DirectionBindings& bindings,
              const Stemmer* stemmer);

    // The first of: the word, when it is a headword with an entry of its own (the headword as
    // the dictionary spells it); the base that the word's entry names; the first stem of the
    // word that is a headword (its entry's base when it names one), a Turkish stem with -mak or
    // -mek after it when the stem alone is not one; else `frontHalf` as it is. `word` is the
    // word without the punctuation around it. In the English-Turkish direction a text with an
    // apostrophe is never chosen for a headword, since the search cuts it there.
    BaseForm of(const QString& word, const QString& frontHalf) const;

private:
    // The headword `candidate` stands for: its own spelling in the dictionary, or the base its
    // entry names; nothing when it is no headword (or only one the search cannot reach).
    std::optional<BaseForm> resolve(const QString& candidate) const;
    bool searchable(const QString& text) const;

    const TableHandle& dictionary_;
    const DirectionBindings& bindings_;
    const Stemmer* stemmer_;
};

} // namespace peltavo
