#include "glyphs.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

namespace peltavo::platform {

namespace {

// The pictures are XPM, which is C: compiled in and read by QPixmap's own XPM reader, they cost
// no file or image plugin lookup at start.
#include "glyphs/arrow-left.xpm"
#include "glyphs/arrow-right.xpm"
#include "glyphs/door.xpm"
#include "glyphs/hourglass.xpm"
#include "glyphs/loudspeaker.xpm"
#include "glyphs/open-book.xpm"
#include "glyphs/question-ball.xpm"

const char* const* pictureOf(Glyph glyph) {
    switch (glyph) {
    case Glyph::ArrowLeft:
        return arrow_left;
    case Glyph::ArrowRight:
        return arrow_right;
    case Glyph::Hourglass:
        return hourglass;
    case Glyph::OpenBook:
        return open_book;
    case Glyph::QuestionBall:
        return question_ball;
    case Glyph::Loudspeaker:
        return loudspeaker;
    case Glyph::Door:
        return door;
    }
    return nullptr;
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
    const char* const* picture = pictureOf(glyph);
    return picture ? iconFromStrip(QPixmap(picture)) : QIcon();
}

} // namespace peltavo::platform
