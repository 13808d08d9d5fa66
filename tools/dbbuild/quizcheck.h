#pragma once

#include "content.h"

#include <vector>

// The checks of the quiz content against the quiz window itself, measured with the window's own
// fonts and line layout (a QGuiApplication must exist), and against its draw of question numbers.
namespace peltavo::dbbuild {

struct QuizCheck {
    std::vector<Problem> problems;
    int widestLine = 0;     // the furthest right a sentence line reaches, in pixels
    QString lineFontFamily; // what the window's line font resolves to on this system
};

// The right edge that a sentence line may reach: the window's width less a margin as wide as the
// one on its left.
int lineRoom();

// Checks content that has read without problems:
//  - each question's line ends within lineRoom(), when it is asked and with each of its right
//    answers revealed in the gap;
//  - each word of an answer set fits on its button;
//  - each question the quiz never draws (the highest number, and 677 in a quiz of more) repeats
//    an earlier question, sentence, answer set and answers alike, so that nothing is lost.
QuizCheck checkAgainstQuiz(const Content& content);

} // namespace peltavo::dbbuild
