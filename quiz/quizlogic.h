#pragma once

// The quiz's rules that need no window: how a question sentence is split around its gap and where
// the three labels of the line go, which question number is drawn, and how a picked answer is
// judged. The window measures its labels with their real font and applies what these return.

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <random>

namespace peltavo::quiz {

// What the gap label shows before an answer is revealed.
inline const QString kGapBlanks = QStringLiteral("         ");

// The window's inside, which the line of the sentence has to fit.
constexpr QSize kClientSize(792, 516);

// The fonts of the sentence line (`ilke`, `bose`, `ikie`) and of the answer buttons: this family,
// bold, with these character heights in pixels. The answer buttons are this wide.
inline const QString kQuizFontFamily = QStringLiteral("Arial");
constexpr int kLinePixels = 21;
constexpr int kAnswerPixels = 13;
constexpr int kAnswerButtonWidth = 100;

// The line's left margin, the gap label's width for a leading gap and the space between labels.
constexpr int kLineLeft = 10;
constexpr int kLeadingGapWidth = 60;
constexpr int kLabelSpacing = 10;

// How a sentence was split.
enum class GapKind {
    Leading,   // the gap opens the sentence: `ilke` holds what follows it, `ikie` is hidden
    Inner,     // the gap lies inside: `ilke` before it, `ikie` after it
    NoGap,     // no pair of blanks at all: the whole sentence in `ilke`, laid out as Leading
    Unchanged, // neither test passes (one or two leading blanks, or "!" first): labels stay
};

struct SentenceSplit {
    GapKind kind = GapKind::Unchanged;
    QString ilke; // text of the label before (or, for a leading gap, after) the gap
    QString ikie; // text of the label after an inner gap; empty otherwise
};

// Splits `sentence` at its gap, a run of two or more blanks: the first pair of adjacent blanks
// opens it and the last pair closes it. A sentence whose first three characters sort at or before
// three blanks has a leading gap; one whose first character sorts after "!" may have an inner gap.
SentenceSplit splitSentence(const QString& sentence);

// The left edges of the line's labels; `boseWidth` is set only when the gap label takes a width of
// its own (a leading gap), otherwise it keeps the one it has.
struct LinePlaces {
    int ilkeLeft = kLineLeft;
    int boseLeft = kLineLeft;
    std::optional<int> boseWidth;
    int ikieLeft = kLineLeft;
    bool ikieVisible = false;
};

// Where the labels go for a new question, given the widths `ilke` and `bose` have once `ilke`
// shows its new text. Not meaningful for GapKind::Unchanged (the labels are left alone).
LinePlaces placeQuestionLine(GapKind kind, int ilkeWidth, int boseWidth);

// After an answer has been judged and the gap label has fitted its width to its text: the new
// left edge of `ikie` when it is visible (the gap lies inside), else of `ilke` (it follows the
// gap). The gap label itself stays.
int placeAfterAnswer(bool ikieVisible, int ilkeLeft, int ilkeWidth, int boseLeft, int boseWidth);

// The width a label of the line takes when it fits its width to a text.
using LabelWidth = std::function<int(const QString&)>;

// The right edge, in pixels from the window's left edge, of the labels of a sentence split by
// splitSentence (not GapKind::Unchanged), laid out as the window lays them out:
// when the question is asked and the gap label is `gapWidth` wide (a leading gap takes
// kLeadingGapWidth instead) ...
int lineEndAsked(const SentenceSplit& split, const LabelWidth& labelWidth, int gapWidth);
// ... and after a press, once the gap label has fitted its width to `gapText`.
int lineEndAfterPress(const SentenceSplit& split, const LabelWidth& labelWidth,
                      const QString& gapText);

// How far right the line of a sentence reaches, and what the gap shows then.
struct LineEnd {
    int right = 0;
    QString gapText; // kGapBlanks when the question has just been asked
};

// The furthest right the labels of `sentence` reach: when the question is asked, and after a press
// with each of `gapTexts` in the gap (the answers that count as right). When it is asked, an inner
// gap is as wide as its blanks, or as a leading gap if the question before had one and was left
// unanswered. Nothing for a sentence the window does not lay out (GapKind::Unchanged).
std::optional<LineEnd> furthestLineEnd(const QString& sentence, const QStringList& gapTexts,
                                       const LabelWidth& labelWidth);

// A question number for a table of `recordCount` questions: uniformly 1 to recordCount - 1 (1
// when the table holds at most one record), with 677 replaced by 678.
int drawQuestionNumber(int recordCount, std::mt19937& generator);

// Whether drawQuestionNumber ever gives `number` for a table of `recordCount` questions: never the
// highest number of a table of two or more, and never 677.
bool canBeDrawn(int number, int recordCount);

// A generator seeded from the clock, as before every question.
std::mt19937 clockSeededGenerator();

// Maps the letters A to Z to a to z and leaves every other character as it is.
QString foldLetters(const QString& text);

struct Judgement {
    bool right = false;
    QString revealed; // the last matching correct answer as stored; empty when wrong
};

// Judges the picked caption against the correct answers (dc2 and dc3 skipped when empty): equal
// after folding, with the same length. The last one that matches is revealed.
Judgement judgeAnswer(const QString& chosen, const QString& dc1, const std::optional<QString>& dc2,
                      const std::optional<QString>& dc3);

// A bar's range and one press counted on it; a full bar stays full.
constexpr int kBarMaximum = 100;
constexpr int advanceBar(int position) {
    return position < kBarMaximum ? position + 1 : kBarMaximum;
}

} // namespace peltavo::quiz
