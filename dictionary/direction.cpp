#include "direction.h"

namespace peltavo {

namespace {

const DirectionBindings kEnglishTurkish{
    QStringLiteral("it"),
    true,
    QStringLiteral("ikelime"),
    QStringLiteral("tanlam"),
    QStringLiteral("ikonus"),
    QStringLiteral("tkonus"),
    QStringLiteral("Türkçe -> İngilizce"),
    QStringLiteral("İngilizce -> Türkçe"),
};

const DirectionBindings kTurkishEnglish{
    QStringLiteral("ti"),
    false,
    QStringLiteral("tkelime"),
    QStringLiteral("ianlam"),
    QStringLiteral("tkonus"),
    QStringLiteral("ikonus"),
    QStringLiteral("İngilizce -> Türkçe"),
    QStringLiteral("Türkçe -> İngilizce"),
};

} // namespace

const DirectionBindings* bindingsOf(const QString& direction) {
    if (direction == kEnglishTurkish.direction)
        return &kEnglishTurkish;
    if (direction == kTurkishEnglish.direction)
        return &kTurkishEnglish;
    return nullptr;
}

const DirectionBindings& switchedFrom(const QString& direction) {
    return direction == kEnglishTurkish.direction ? kTurkishEnglish : kEnglishTurkish;
}

TableHandle* dictionaryTable(const DictionaryTables& tables, const DirectionBindings& bindings) {
    return bindings.englishToTurkish ? tables.Tablei : tables.Tablet;
}

DataSource* dictionarySource(const DictionaryTables& tables, const DirectionBindings& bindings) {
    return bindings.englishToTurkish ? tables.tableids : tables.tabletds;
}

} // namespace peltavo
