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

QString pressSearchButton(TableHandle& table, const QString& headwordField, const QString& boxText,
                          const std::function<void(const QString&)>& showCut) {
    // The apostrophe would end the quoted text of the filter: the box itself loses it and all
    // that follows, in front of the learner.
    const QString cut = cutAtApostrophe(boxText);
    if (cut.size() != boxText.size() && showCut)
        showCut(cut);
    searchDictionary(table, headwordField, cut);
    return cut;
}

} // namespace peltavo
