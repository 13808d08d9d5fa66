#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <memory>
#include <string>
#include <vector>

struct UCollator;

namespace peltavo {

// The text order of sorts and filter comparisons: ICU collation through QCollator, letter case
// ignored first, then case, then code points, so the order is total and two texts compare equal
// only when they are the same text. Turkish rules for the Turkish dictionary (ç after c, ı before
// i, İ with i), English rules elsewhere.
class Collation {
public:
    enum class Language { English, Turkish };

    explicit Collation(Language language);
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // The language the learning database's tables use: Turkish for "tsozluk" and its headword
    // field, English otherwise.
    static Language forTable(const QString& tableName);

    Language language() const { return language_; }
    int compare(QStringView a, QStringView b) const;
    // The case-blind first step of compare() alone (<0, 0, >0).
    int compareFolded(QStringView a, QStringView b) const;
    // The case-sensitive second step of compare() alone.
    int compareCased(QStringView a, QStringView b) const;

    // Appends the case-blind sort key of `text`, ending in a zero byte, to `out`. Two such keys
    // compared byte by byte (up to the zero) give compareFolded() of their texts; a sort then
    // needs compare() only where the keys are equal. Safe to call from several threads.
    void appendFoldedKey(QStringView text, std::string& out) const;

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
    struct UCollatorClose {
        void operator()(UCollator* collator) const;
    };

    Language language_;
    QCollator folded_;
    QCollator cased_;
    // The same case-blind rules as folded_, driven directly for keys written into a buffer.
    std::unique_ptr<UCollator, UCollatorClose> rawFolded_;
};

} // namespace peltavo
