#include "dictionarysearch.h"

#include "tablehandle.h"

namespace peltavo {

QString cutAtApostrophe(const QString& text) {
    const qsizetype apostrophe = text.indexOf(u'\'');
    return apostrophe < 0 ? text : text.left(apostrophe);
}

QString headwordFilter(const QString& headwordField, const QString& text) {
    return headwordField + QStringLiteral(" >= '") + text + u'\'';
}

void searchDictionary(TableHandle& table, const QString& headwordField, const QString& text) {
    table.setFilter(headwordFilter(headwordField, text));
    table.setFiltered(true);
    table.next();
}

} // namespace peltavo
