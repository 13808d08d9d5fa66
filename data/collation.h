#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <vector>

namespace peltavo {

// The text order of sorts and filter comparisons: ICU collation through QCollator, letter case
// ignored first, then case, then code points, so the order is total and two texts compare equal
// only when they are the same text. Turkish rules for the Turkish dictionary (ç after c, ı before
// i, İ with i), English rules elsewhere.
class Collation {
public:
    enum class Language { English, Turkish };

    explicit Collation(Language language);

    // The language the learning database's tables use: Turkish for "tsozluk" and its headword
    // field, English otherwise.
    static Language forTable(const QString& tableName);

    Language language() const { return language_; }
    int compare(const QString& a, const QString& b) const;

    // A precomputed key; comparing keys gives the same answer as compare() on their texts.
    class Key {
    public:
        int compare(const Key& other) const;

    private:
        friend class Collation;
        Key(QCollatorSortKey folded, QCollatorSortKey cased, QString text);
        QCollatorSortKey folded_;
        QCollatorSortKey cased_;
        QString text_;
    };
    Key key(const QString& text) const;

private:
    Language language_;
    QCollator folded_;
    QCollator cased_;
};

} // namespace peltavo
