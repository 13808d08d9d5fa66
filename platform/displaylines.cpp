#include "displaylines.h"

#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace peltavo::platform {

DisplayLines::DisplayLines() : lines_{Line{0, 0}} {}

namespace {

qreal lineWidthFor(qreal width) {
    return width > 0 ? width : qreal(INT_MAX);
}

} // namespace

DisplayLines::DisplayLines(const QString& text, const QFont& font, qreal width,
                           const QTextOption& option, const std::atomic<bool>* stop)
    : text_(text) {
    const qreal lineWidth = lineWidthFor(width);
    int start = 0;
    while (true) {
        int end = text_.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last)
            end = int(text_.size());
        layOutParagraph(start, end, font, lineWidth, option);
        if (last || (stop && stop->load(std::memory_order_relaxed)))
            break;
        start = end + 1;
    }
}

void DisplayLines::layOutParagraph(int start, int end, const QFont& font, qreal lineWidth,
                                   const QTextOption& option) {
    if (start == end) {
        lines_.push_back(Line{start, 0});
        return;
    }
    QTextLayout layout(text_.mid(start, end - start), font);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        lines_.push_back(Line{start + line.textStart(), line.textLength()});
    }
    layout.endLayout();
}

int DisplayLines::lineOfPosition(int position) const {
    const auto after = std::upper_bound(lines_.begin(), lines_.end(), position,
                                        [](int pos, const Line& line) { return pos < line.start; });
    if (after == lines_.begin())
        return 0;
    return int(after - lines_.begin()) - 1;
}

int DisplayLines::lineStart(int line) const {
    if (line < 0 || line >= count())
        return -1;
    return lines_[std::size_t(line)].start;
}

QString DisplayLines::lineText(int line) const {
    if (line < 0 || line >= count())
        return {};
    const Line& l = lines_[std::size_t(line)];
    return text_.mid(l.start, l.length);
}

DisplayLine DisplayLine::holding(const QString& text, int position, const QFont& font, qreal width,
                                 const QTextOption& option) {
    position = std::clamp(position, 0, int(text.size()));
    // A '\n' belongs to the paragraph it ends.
    const int start = position == 0 ? 0 : int(text.lastIndexOf(u'\n', position - 1)) + 1;
    int end = int(text.indexOf(u'\n', start));
    if (end < 0)
        end = int(text.size());
    DisplayLines paragraph;
    paragraph.text_ = text;
    paragraph.lines_.clear();
    paragraph.layOutParagraph(start, end, font, lineWidthFor(width), option);
    // Line numbers within the paragraph; the positions are the whole text's.
    const int line = paragraph.lineOfPosition(position);
    return DisplayLine{paragraph.lineStart(line), paragraph.lineText(line)};
}

DisplayLineIndex::operator int() const {
    if (pending_) {
        line_ = pending_->lines.get().lineOfPosition(position_);
        pending_.reset();
    }
    return line_;
}

} // namespace peltavo::platform
