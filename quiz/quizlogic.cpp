#include "quizlogic.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace peltavo::quiz {

namespace {

const QString kThreeBlanks = QStringLiteral("   ");
constexpr QChar kBlank = QLatin1Char(' ');
constexpr QChar kExclamation = QLatin1Char('!');
// The draw never gives this number and gives the next one in its place.
constexpr int kNeverAsked = 677;
constexpr int kAskedInstead = 678;

bool pairAt(const QString& s, qsizetype i) {
    return s.at(i) == kBlank && s.at(i + 1) == kBlank;
}

// Index (from 0) of the first pair of adjacent blanks, or -1.
qsizetype firstPair(const QString& s) {
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (pairAt(s, i))
            return i;
    }
    return -1;
}

// Index (from 0) of the last pair of adjacent blanks, or -1.
qsizetype lastPair(const QString& s) {
    for (qsizetype i = s.size() - 2; i >= 0; --i) {
        if (pairAt(s, i))
            return i;
    }
    return -1;
}

SentenceSplit wholeSentence(const QString& sentence) {
    return {GapKind::NoGap, sentence, QString()};
}

// Where the line ends with the gap label at `gapLeft`, `gapWidth` wide, and the label behind the
// gap (`ikie` for an inner gap, `ilke` for a leading one) at `behindLeft`. When that label is empty
// (the gap ends the sentence) the line ends with the gap.
int lineEnd(const SentenceSplit& split, const LabelWidth& labelWidth, int gapLeft, int gapWidth,
            int behindLeft) {
    const QString& behind = split.kind == GapKind::Inner ? split.ikie : split.ilke;
    return behind.isEmpty() ? gapLeft + gapWidth : behindLeft + labelWidth(behind);
}

} // namespace

SentenceSplit splitSentence(const QString& sentence) {
    // Code-unit order: a proper beginning sorts before the longer text.
    if (sentence.left(3) <= kThreeBlanks) {
        const qsizetype last = lastPair(sentence);
        if (last < 0)
            return wholeSentence(sentence);
        // What follows the gap, headed by the blanks of its closing pair.
        return {GapKind::Leading, sentence.mid(last), QString()};
    }
    if (sentence.at(0) > kExclamation) {
        const qsizetype first = firstPair(sentence);
        if (first < 0)
            return wholeSentence(sentence);
        // The words before the gap keep the gap's first blank; those after it lose the blanks.
        return {GapKind::Inner, sentence.left(first + 1), sentence.mid(lastPair(sentence) + 2)};
    }
    return {};
}

LinePlaces placeQuestionLine(GapKind kind, int ilkeWidth, int boseWidth) {
    LinePlaces places;
    switch (kind) {
    case GapKind::Leading:
    case GapKind::NoGap:
        places.boseLeft = kLineLeft;
        places.boseWidth = kLeadingGapWidth;
        places.ilkeLeft = kLineLeft + kLeadingGapWidth + kLabelSpacing;
        places.ikieVisible = false;
        break;
    case GapKind::Inner:
        places.ilkeLeft = kLineLeft;
        places.boseLeft = kLineLeft + ilkeWidth + kLabelSpacing;
        places.ikieLeft = kLineLeft + ilkeWidth + boseWidth + 2 * kLabelSpacing;
        places.ikieVisible = true;
        break;
    case GapKind::Unchanged:
        break;
    }
    return places;
}

int placeAfterAnswer(bool ikieVisible, int ilkeLeft, int ilkeWidth, int boseLeft, int boseWidth) {
    if (ikieVisible)
        return ilkeLeft + ilkeWidth + boseWidth + 2 * kLabelSpacing;
    return boseLeft + boseWidth + kLabelSpacing;
}

int lineEndAsked(const SentenceSplit& split, const LabelWidth& labelWidth, int gapWidth) {
    const LinePlaces places = placeQuestionLine(split.kind, labelWidth(split.ilke), gapWidth);
    return lineEnd(split, labelWidth, places.boseLeft, places.boseWidth.value_or(gapWidth),
                   places.ikieVisible ? places.ikieLeft : places.ilkeLeft);
}

int lineEndAfterPress(const SentenceSplit& split, const LabelWidth& labelWidth,
                      const QString& gapText) {
    const int ilkeWidth = labelWidth(split.ilke);
    const int gapWidth = labelWidth(gapText);
    const LinePlaces places = placeQuestionLine(split.kind, ilkeWidth, gapWidth);
    const int behindLeft =
        placeAfterAnswer(places.ikieVisible, places.ilkeLeft, ilkeWidth, places.boseLeft, gapWidth);
    return lineEnd(split, labelWidth, places.boseLeft, gapWidth, behindLeft);
}

std::optional<LineEnd> furthestLineEnd(const QString& sentence, const QStringList& gapTexts,
                                       const LabelWidth& labelWidth) {
    const SentenceSplit split = splitSentence(sentence);
    if (split.kind == GapKind::Unchanged)
        return std::nullopt;
    const int askedGap = std::max(labelWidth(kGapBlanks), kLeadingGapWidth);
    LineEnd furthest{lineEndAsked(split, labelWidth, askedGap), kGapBlanks};
    for (const QString& text : gapTexts) {
        if (const int right = lineEndAfterPress(split, labelWidth, text); right > furthest.right)
            furthest = {right, text};
    }
    return furthest;
}

int drawQuestionNumber(int recordCount, std::mt19937& generator) {
    // recordCount - 1 equally likely numbers; a table of one record (or none) still gives one.
    const int choices = std::max(recordCount - 1, 1);
    std::uniform_int_distribution<int> draw(0, choices - 1);
    const int number = draw(generator) + 1;
    return number == kNeverAsked ? kAskedInstead : number;
}

bool canBeDrawn(int number, int recordCount) {
    const int choices = std::max(recordCount - 1, 1);
    if (number == kNeverAsked)
        return false;
    if (number == kAskedInstead)
        return choices >= kNeverAsked;
    return number >= 1 && number <= choices;
}

std::mt19937 clockSeededGenerator() {
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    return std::mt19937(seed);
}

QString foldLetters(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

Judgement judgeAnswer(const QString& chosen, const QString& dc1, const std::optional<QString>& dc2,
                      const std::optional<QString>& dc3) {
    const QString picked = foldLetters(chosen);
    Judgement judgement;
    for (const std::optional<QString>& answer : {std::optional<QString>(dc1), dc2, dc3}) {
        if (answer && foldLetters(*answer) == picked) {
            judgement.right = true;
            judgement.revealed = *answer;
        }
    }
    return judgement;
}

} // namespace peltavo::quiz
