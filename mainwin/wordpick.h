#pragma once

#include "baseform.h"

#include <QString>
#include <QStringView>

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

// A word of a display line: its first character (counted from 0) and its length.
struct WordSpan {
    int start = 0;
    int length = 0;
};

// The word (a run of characters other than U+0020) that a caret at `column` touches: the one
// that begins at the caret, else the one that ends there. A caret between two spaces, in an
// empty line or past the line's end touches none (length 0).
WordSpan wordTouching(const QString& lineText, int column);

// The word without the punctuation around it: quotes, brackets, commas, stops and the like go,
// an apostrophe or a hyphen inside stays ("(don't!)" gives "don't").
QString bareWord(QStringView word);

// What a double-click at `column` of `lineText` searches for: the base form (BaseForms::of) of
// the word the caret touches, whose front half is the one a click into that word picks. A
// caret that touches no word gives what a click there picks, as the front half.
BaseForm doubleClickSearchText(const QString& lineText, int column, const BaseForms& forms);

} // namespace peltavo
