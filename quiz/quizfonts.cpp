#include "quizfonts.h"

#include "quizlogic.h"

#include <QFontMetrics>
#include <QRect>

namespace peltavo::quiz {

namespace {

QFont boldQuizFont(int pixels) {
    QFont font(kQuizFontFamily);
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

QFont lineFont() {
    return boldQuizFont(kLinePixels);
}

QFont answerFont() {
    return boldQuizFont(kAnswerPixels);
}

int fittedLabelWidth(const QFontMetrics& metrics, const QString& text) {
    // A label lays its text out in a wide box and takes the width of the text's bounding box, with
    // any centring left out so that no rounding creeps in.
    constexpr int kRoomy = 2000;
    return metrics.boundingRect(QRect(0, 0, kRoomy, kRoomy), Qt::AlignLeft, text).width();
}

} // namespace peltavo::quiz
