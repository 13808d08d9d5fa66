#pragma once

#include <QString>

namespace peltavo {

namespace platform {
class DisplayLines;
}

// The stored line (counted from 0 between line breaks) that holds display line `displayLine`
// of `lines`; -1 when there is no such display line.
int storedLineOf(const platform::DisplayLines& lines, int displayLine);

// Stored line `index` of `text`, without its line break (a carriage return before the break
// included); empty when the text has no such line.
QString storedLine(const QString& text, int index);

// The line of `text` that stands with display line `displayLine` of the conversation laid out in
// `lines`, `text` being that conversation or its translation: the two are written line for line,
// so it is the whole stored line of the same index, however either text wraps.
QString storedLineFor(const platform::DisplayLines& lines, int displayLine, const QString& text);

} // namespace peltavo
