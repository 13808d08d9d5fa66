#pragma once

#include <QString>

#include <functional>

namespace peltavo {

class TableHandle;

// The search text as the search box keeps it: everything from the first apostrophe on is cut
// away ("don't" becomes "don", "'abc" becomes empty). No other character is touched.
QString cutAtApostrophe(const QString& text);

// The filter that lists a dictionary from `text` on: "<headwordField> >= '<text>'", the text
// inserted exactly as given (a trailing blank stays).
QString headwordFilter(const QString& headwordField, const QString& text);

// Lists `table` from `text` on: the filter is set and switched on (a new expression makes the
// first passing entry current; the same one again changes nothing), then the table moves one entry
// forward. The table's binary search on its sort field does the work, so the cost does not grow
// with the dictionary. Errors of a closed table pass through once the filter has been recorded.
void searchDictionary(TableHandle& table, const QString& headwordField, const QString& text);

// One press of "Sözlükte Ara" with `boxText` in the search box: the text is cut at its first
// apostrophe, `showCut` (when given) is handed the cut text before anything else happens, as the
// box must show it even when the search then fails, and `table` is listed from the cut text on
// (searchDictionary). `showCut` is not called when the cut takes nothing away. Returns the text
// searched for.
QString pressSearchButton(TableHandle& table, const QString& headwordField, const QString& boxText,
                          const std::function<void(const QString&)>& showCut = {});

} // namespace peltavo
