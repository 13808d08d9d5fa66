#pragma once

#include <QFont>
#include <QString>
#include <QTextOption>

#include <atomic>
#include <future>
#include <memory>
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
    // Appends the lines of the paragraph text_[start, end), which holds no '\n'.
    void layOutParagraph(int start, int end, const QFont& font, qreal lineWidth,
                         const QTextOption& option);

    QString text_;
    std::vector<Line> lines_;

    friend struct DisplayLine;
};

// One display line: where it starts in the text and its text without any line-break character.
struct DisplayLine {
    int start = 0;
    QString text;

    // The line of `text` that holds `position`, exactly as DisplayLines(text, font, width,
    // option) has it, found by laying out only the paragraph that holds the position.
    static DisplayLine holding(const QString& text, int position, const QFont& font, qreal width,
                               const QTextOption& option = QTextOption());
};

// The lines a worker thread is laying out, for whoever needs them once they are ready. The worker
// stops early, its lines then incomplete, once `stop` is set; that is done when the last holder
// lets them go, and the worker is then waited for.
struct PendingLines {
    PendingLines(std::shared_ptr<std::atomic<bool>> stop, std::shared_future<DisplayLines> lines)
        : stop(std::move(stop)), lines(std::move(lines)) {}
    PendingLines(const PendingLines&) = delete;
    PendingLines& operator=(const PendingLines&) = delete;
    ~PendingLines() { stop->store(true); }

    const std::shared_ptr<std::atomic<bool>> stop;
    const std::shared_future<DisplayLines> lines;
};

// The index of the display line that holds a position: either known, or counted from lines that
// are still being laid out, in which case reading it waits for them. It keeps the lines it counts
// from, so it means the same whatever happens to the text they came from meanwhile.
class DisplayLineIndex {
public:
    DisplayLineIndex(int line = 0) : line_(line) {}
    DisplayLineIndex(std::shared_ptr<const PendingLines> lines, int position)
        : pending_(std::move(lines)), position_(position) {}

    operator int() const;

private:
    mutable int line_ = 0;
    mutable std::shared_ptr<const PendingLines> pending_;
    int position_ = 0;
};

} // namespace peltavo::platform
