#pragma once

#include <QString>

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

} // namespace peltavo
