#include "collation.h"

#include <QLocale>

namespace peltavo {

namespace {

QLocale localeOf(Collation::Language language) {
    return language == Collation::Language::Turkish
               ? QLocale(QLocale::Turkish, QLocale::Turkey)
               : QLocale(QLocale::English, QLocale::UnitedStates);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

Collation::Collation(Language language)
    : language_(language), folded_(localeOf(language)), cased_(localeOf(language)) {
    folded_.setCaseSensitivity(Qt::CaseInsensitive);
    cased_.setCaseSensitivity(Qt::CaseSensitive);
}

Collation::Language Collation::forTable(const QString& tableName) {
    return tableName.compare(QLatin1String("tsozluk"), Qt::CaseInsensitive) == 0
               ? Language::Turkish
               : Language::English;
}

int Collation::compare(const QString& a, const QString& b) const {
    if (int r = folded_.compare(a, b))
        return sign(r);
    if (int r = cased_.compare(a, b))
        return sign(r);
    return sign(QString::compare(a, b, Qt::CaseSensitive));
}

Collation::Key::Key(QCollatorSortKey folded, QCollatorSortKey cased, QString text)
    : folded_(std::move(folded)), cased_(std::move(cased)), text_(std::move(text)) {}

int Collation::Key::compare(const Key& other) const {
    if (int r = folded_.compare(other.folded_))
        return sign(r);
    if (int r = cased_.compare(other.cased_))
        return sign(r);
    return sign(QString::compare(text_, other.text_, Qt::CaseSensitive));
}

Collation::Key Collation::key(const QString& text) const {
    return Key(folded_.sortKey(text), cased_.sortKey(text), text);
}

} // namespace peltavo
