#pragma once

#include <QFont>
#include <QString>
#include <QTextOption>

#include <atomic>
#include <vector>

namespace peltavo::platform {

// The display lines of a memo: its text broken at each '\n' and wrapped at a width in a font, the
// way a QPlainTextEdit lays it out. Positions count characters of the text from 0, a line break
// counting as one character, as the memo's cursor does.
//
// A text always has at least one line: the empty text has one empty line, and a text ending in
// '\n' has an empty last line. Questions about a line that does not exist get an empty answer
// (an empty text, -1), never an error.
class DisplayLines {
public:
    // No text: one empty line.
    DisplayLines();
    // Lays `text` out at `width` pixels (no wrapping when the width is 0 or less) in `font`,
    // with the wrap mode, tab stops and alignment of `option`.
    // With `stop`, the work ends early once *stop is set (the lines are then incomplete: for
    // throwing away only). Laying out may run on any thread.
    DisplayLines(const QString& text, const QFont& font, qreal width,
                 const QTextOption& option = QTextOption(),
                 const std::atomic<bool>* stop = nullptr);

    int count() const { return static_cast<int>(lines_.size()); }
    // The line that holds `position`: the last line starting at or before it. Positions before the
    // text count as 0, positions after it as its end.
    int lineOfPosition(int position) const;
    // Position of the line's first character, or -1 when there is no such line.
    int lineStart(int line) const;
    // The line's text without any line-break character; empty when there is no such line.
    QString lineText(int line) const;

    const QString& text() const { return text_; }

private:
    struct Line {
        int start;
        int length;
    };
    QString text_;
    std::vector<Line> lines_;
};

} // namespace peltavo::platform
