#pragma once

// The quiz window's fonts and how its line labels measure a text: shared by the window and by the
// content build, which refuses a question that the window could not show whole. Needs a
// QGuiApplication.

#include <QFont>
#include <QString>

class QFontMetrics;

namespace peltavo::quiz {

// The font of the sentence line: the labels `ilke`, `bose` and `ikie`.
QFont lineFont();
// The font of the answer buttons `cb1` ... `cb11`.
QFont answerFont();

// The width a label without frame, margin or indent takes when it fits its width to the plain
// `text` written with `metrics` (what QLabel gives as its size hint).
int fittedLabelWidth(const QFontMetrics& metrics, const QString& text);

// The widest caption an answer button shows whole: its width less the frame and margins that the
// button's style draws on either side.
constexpr int kAnswerCaptionRoom = 88;

} // namespace peltavo::quiz
