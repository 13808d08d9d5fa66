#include "wordpick.h"

#include <algorithm>

namespace peltavo {

namespace {

constexpr QChar kSpace = u' ';

// The character at 1-based `position` of `text`.
QChar at(const QString& text, int position) {
    return text.at(position - 1);
}

} // namespace

QString wordAtCaret(const QString& lineText, int caretColumn) {
    const int n = int(lineText.size());
    // Scan back from the second character before the caret to the space in front of the word.
    int p = std::min(caretColumn - 1, n);
    while (p > 0 && at(lineText, p) != kSpace)
        --p;
    p = std::max(p, 0);

    // Copy forward, ending after the first space or at the line's end.
    QString word;
    for (int i = p + 1; i <= n; ++i) {
        word.append(at(lineText, i));
        if (at(lineText, i) == kSpace)
            break;
    }
    return shortenSearchWord(word);
}

QString shortenSearchWord(const QString& word) {
    const qsizetype k = word.size();
    if (k < 5)
        return word;
    return word.left(k / 2 + 1);
}

} // namespace peltavo
