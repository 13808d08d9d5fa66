#include "displaylines.h"

#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace peltavo::platform {

DisplayLines::DisplayLines() : lines_{Line{0, 0}} {}

DisplayLines::DisplayLines(const QString& text, const QFont& font, qreal width,
                           const QTextOption& option, const std::atomic<bool>* stop)
    : text_(text) {
    const qreal lineWidth = width > 0 ? width : qreal(INT_MAX);
    int start = 0;
    while (true) {
        int end = text_.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last)
            end = int(text_.size());
        const QString paragraph = text_.mid(start, end - start);
        if (paragraph.isEmpty()) {
            lines_.push_back(Line{start, 0});
        } else {
            QTextLayout layout(paragraph, font);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(lineWidth);
                lines_.push_back(Line{start + line.textStart(), line.textLength()});
            }
            layout.endLayout();
        }
        if (last || (stop && stop->load(std::memory_order_relaxed)))
            break;
        start = end + 1;
    }
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

} // namespace peltavo::platform
