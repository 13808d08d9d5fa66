#include "translation.h"

#include "displaylines.h"

namespace peltavo {

int storedLineOf(const platform::DisplayLines& lines, int displayLine) {
    const int start = lines.lineStart(displayLine);
    if (start < 0)
        return -1;
    return int(QStringView(lines.text()).left(start).count(u'\n'));
}

QString storedLine(const QString& text, int index) {
    if (index < 0)
        return {};
    qsizetype start = 0;
    for (int line = 0; line < index; ++line) {
        const qsizetype lineBreak = text.indexOf(u'\n', start);
        if (lineBreak < 0)
            return {};
        start = lineBreak + 1;
    }
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0)
        end = text.size();
    if (end > start && text.at(end - 1) == u'\r')
        --end;
    return text.mid(start, end - start);
}

QString storedLineFor(const platform::DisplayLines& lines, int displayLine, const QString& text) {
    return storedLine(text, storedLineOf(lines, displayLine));
}

} // namespace peltavo
