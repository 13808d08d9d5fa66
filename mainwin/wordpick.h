#pragma once

#include <QString>

namespace peltavo {

// The word a click into a conversation line picks as the dictionary search text.
//
// `lineText` is one display line (no line breaks); `caretColumn` is the number of its characters
// that stand before the caret (0 at the line's start). The scan back starts at the character two
// before the caret, so a caret right behind a space picks the word before that space. The word
// runs forward up to and including the first space after it (only U+0020 counts as a space), or to
// the line's end, and is then shortened by shortenSearchWord(). An empty line, or a caret column
// past the line, gives what is left of the line from the scan's start: possibly nothing. Never
// fails.
QString wordAtCaret(const QString& lineText, int caretColumn);

// A word of five or more characters is cut to its first (length / 2) + 1 characters; shorter ones
// stay whole. "morning " (8) gives "morni", "Good " (5) gives "Goo", "am " stays.
QString shortenSearchWord(const QString& word);

} // namespace peltavo
