#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <string>

struct UCollator;

namespace peltavo {

// The text order of sorts and filter comparisons, through ICU collation: Turkish rules for the
// Turkish dictionary (ç after c, ı before i, İ the capital of i, I of ı), English rules elsewhere.
//
// Two texts compare by their letters and accents only (ICU strength "secondary", variable
// characters "shifted"): letter case, blanks and punctuation never decide, so "What" equals
// "what", "the " equals "the" and "good-bye" equals "goodbye", while "café" follows "cafe".
// That is the comparison of a filter's = and >=. The sort orders by it too and breaks its ties by
// the stored text, the plain spelling first: fewer blanks and marks first ("be" before "b.e.",
// "well" before "we'll", "ID" before "I'd"), then ICU at full strength (lower case first, then
// punctuation), then code units. So texts equal in a filter stand together, the plainest of them
// first, and the order is total.
class Collation {
public:
    enum class Language { English, Turkish };

    // Throws peltavo::Error when ICU has no collation data.
    explicit Collation(Language language);
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // The language the learning database's tables use: Turkish for "tsozluk" and its headword
    // field, English otherwise.
    static Language forTable(const QString& tableName);

    Language language() const { return language_; }

    // The comparison of filters: <0, 0, >0 by letters and accents alone.
    int compare(QStringView a, QStringView b) const;
    // What the sort does with texts that compare() finds equal: <0, 0 (the same text), >0.
    int compareTies(QStringView a, QStringView b) const;
    // The sort's whole order: compare(), then compareTies().
    int compareForSort(QStringView a, QStringView b) const;

    // Appends the sort key of compare() for `text`, ending in a zero byte, to `out`. Two such keys
    // compared byte by byte (up to the zero) give compare() of their texts; a sort then needs
    // compareTies() only where the keys are equal. Safe to call from several threads.
    void appendKey(QStringView text, std::string& out) const;

private:
    struct UCollatorClose {
        void operator()(UCollator* collator) const;
    };
    using Collator = std::unique_ptr<UCollator, UCollatorClose>;

    Language language_;
    Collator letters_; // compare()
    Collator full_;    // the first step of compareTies()
};

} // namespace peltavo
