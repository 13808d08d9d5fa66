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

WordSpan wordTouching(const QString& lineText, int column) {
    const int n = int(lineText.size());
    if (column < 0 || column > n)
        return {};
    int at = column;
    if (at == n || lineText[at] == kSpace) {
        if (at == 0 || lineText[at - 1] == kSpace)
            return {};
        at -= 1;
    }
    int start = at;
    while (start > 0 && lineText[start - 1] != kSpace)
        --start;
    int end = at + 1;
    while (end < n && lineText[end] != kSpace)
        ++end;
    return {start, end - start};
}

QString bareWord(QStringView word) {
    auto isPart = [](QChar c) { return c.isLetterOrNumber() || c.isMark(); };
    qsizetype from = 0;
    qsizetype to = word.size();
    while (from < to && !isPart(word[from]))
        ++from;
    while (to > from && !isPart(word[to - 1]))
        --to;
    return word.mid(from, to - from).toString();
}

BaseForm doubleClickSearchText(const QString& lineText, int column, const BaseForms& forms) {
    const WordSpan span = wordTouching(lineText, column);
    if (span.length == 0)
        return BaseForm{wordAtCaret(lineText, column), BaseForm::Rule::FrontHalf};
    // A click behind the word's first character picks this word, whatever stands before it.
    return forms.of(bareWord(QStringView(lineText).mid(span.start, span.length)),
                    wordAtCaret(lineText, span.start + 1));
}

} // namespace peltavo
