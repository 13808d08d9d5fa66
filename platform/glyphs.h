#pragma once

#include <QIcon>

namespace peltavo::platform {

// The button pictures. Each is stored as a 32x16 strip: the normal 16x16 picture and its greyed
// twin for the disabled state; the colour of the strip's bottom-left pixel (olive) is transparent.
enum class Glyph { ArrowLeft, ArrowRight, Hourglass, OpenBook, QuestionBall, Loudspeaker, Door };

// The picture as an icon with the normal image in QIcon::Normal and the greyed one in
// QIcon::Disabled. Never null: the strips are compiled into the program.
QIcon glyphIcon(Glyph glyph);

// Splits a strip as above; a null icon for a null or wrongly sized strip.
QIcon iconFromStrip(const QPixmap& strip);

} // namespace peltavo::platform
