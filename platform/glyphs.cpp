#include "glyphs.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

namespace peltavo::platform {

namespace {

QString resourceOf(Glyph glyph) {
    switch (glyph) {
    case Glyph::ArrowLeft:
        return QStringLiteral(":/glyphs/arrow-left.xpm");
    case Glyph::ArrowRight:
        return QStringLiteral(":/glyphs/arrow-right.xpm");
    case Glyph::Hourglass:
        return QStringLiteral(":/glyphs/hourglass.xpm");
    case Glyph::OpenBook:
        return QStringLiteral(":/glyphs/open-book.xpm");
    case Glyph::QuestionBall:
        return QStringLiteral(":/glyphs/question-ball.xpm");
    case Glyph::Loudspeaker:
        return QStringLiteral(":/glyphs/loudspeaker.xpm");
    case Glyph::Door:
        return QStringLiteral(":/glyphs/door.xpm");
    }
    return {};
}

} // namespace

QIcon iconFromStrip(const QPixmap& strip) {
    constexpr int side = 16;
    if (strip.isNull() || strip.width() != 2 * side || strip.height() != side)
        return {};
    const QImage image = strip.toImage();
    const QColor transparent = image.pixelColor(0, side - 1);
    QPixmap masked = strip;
    masked.setMask(
        QBitmap::fromImage(image.createMaskFromColor(transparent.rgb(), Qt::MaskInColor)));
    QIcon icon;
    icon.addPixmap(masked.copy(0, 0, side, side), QIcon::Normal);
    icon.addPixmap(masked.copy(side, 0, side, side), QIcon::Disabled);
    return icon;
}

QIcon glyphIcon(Glyph glyph) {
    return iconFromStrip(QPixmap(resourceOf(glyph)));
}

} // namespace peltavo::platform
