#include "quizlogic.h"

#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace peltavo::quiz {
namespace {

struct SplitCase {
    const char* sentence;
    GapKind kind;
    const char* ilke;
    const char* ikie;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << '"' << c.sentence << '"';
}

class SentenceSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(SentenceSplitting, PutsTheWordsAroundTheGapOnTheLabels) {
    const SplitCase& c = GetParam();
    const SentenceSplit split = splitSentence(QString::fromUtf8(c.sentence));
    EXPECT_EQ(split.kind, c.kind);
    EXPECT_EQ(split.ilke, QString::fromUtf8(c.ilke));
    EXPECT_EQ(split.ikie, QString::fromUtf8(c.ikie));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SentenceSplitting,
    testing::Values(
        // A leading gap: what follows it, headed by the blanks of its last pair.
        SplitCase{"   is my book.", GapKind::Leading, "  is my book.", ""},
        SplitCase{"      end", GapKind::Leading, "  end", ""},
        SplitCase{"   ", GapKind::Leading, "  ", ""},
        // A control character sorts before the blank: the leading-gap test passes.
        SplitCase{"\tab  cd", GapKind::Leading, "  cd", ""},
        // Inner gaps: the first blank of the gap stays with the words before it.
        SplitCase{"This is my          .", GapKind::Inner, "This is my ", "."},
        SplitCase{"This is          ", GapKind::Inner, "This is ", ""},
        SplitCase{"ab  cd", GapKind::Inner, "ab ", "cd"},
        SplitCase{"İyi          günler", GapKind::Inner, "İyi ", "günler"},
        // Two runs: the words between them appear in neither label.
        SplitCase{"He has          apples and          pears.", GapKind::Inner, "He has ",
                  "pears."},
        // Neither test passes: one or two leading blanks, or "!" first.
        SplitCase{" single leading blank then a word", GapKind::Unchanged, "", ""},
        SplitCase{"  x  y", GapKind::Unchanged, "", ""},
        SplitCase{"!  Wow", GapKind::Unchanged, "", ""},
        // No pair at all: the whole sentence, and the scans stop.
        SplitCase{"No pair here.", GapKind::NoGap, "No pair here.", ""},
        SplitCase{"a", GapKind::NoGap, "a", ""}, SplitCase{"", GapKind::NoGap, "", ""},
        SplitCase{"\t", GapKind::NoGap, "\t", ""},
        SplitCase{"   ab", GapKind::Leading, "  ab", ""}));

TEST(LinePlacing, InnerGapFollowsTheMeasuredWidths) {
    const LinePlaces places = placeQuestionLine(GapKind::Inner, 120, 90);
    EXPECT_EQ(places.ilkeLeft, 10);
    EXPECT_EQ(places.boseLeft, 140); // 10 + 120 + 10
    EXPECT_FALSE(places.boseWidth);  // the gap keeps its width
    EXPECT_EQ(places.ikieLeft, 240); // 10 + 120 + 90 + 20
    EXPECT_TRUE(places.ikieVisible);
}

TEST(LinePlacing, LeadingGapAndNoGapPutTheGapFirstWithWidth60) {
    for (GapKind kind : {GapKind::Leading, GapKind::NoGap}) {
        const LinePlaces places = placeQuestionLine(kind, 333, 97);
        EXPECT_EQ(places.boseLeft, 10);
        EXPECT_EQ(places.boseWidth, 60);
        EXPECT_EQ(places.ilkeLeft, 80);
        EXPECT_FALSE(places.ikieVisible);
    }
}

TEST(LinePlacing, AfterAnAnswerTheLabelBehindTheGapMoves) {
    // Inner gap: `ikie` 10 pixels right of the gap label, measured from `ilke`.
    EXPECT_EQ(placeAfterAnswer(true, 10, 120, 140, 75), 225);
    // Leading gap: `ilke` 10 pixels right of the gap label.
    EXPECT_EQ(placeAfterAnswer(false, 80, 200, 10, 97), 117);
}

// Line ends with labels 5 pixels wide per character: the nine gap blanks take 45 pixels, less
// than a leading gap's 60.
int fivePerCharacter(const QString& text) {
    return 5 * int(text.size());
}

const QString kGap = QString(9, u' ');

struct LineEndCase {
    const char* name;
    QString sentence;
    int askedGap;     // the gap label's width when the question is asked
    int asked;        // where the line ends then
    const char* text; // the gap's text after a press
    int afterPress;   // where the line ends then
};

void PrintTo(const LineEndCase& c, std::ostream* os) {
    *os << c.name;
}

class LineEnds : public testing::TestWithParam<LineEndCase> {};

TEST_P(LineEnds, FollowTheWindowsPlacesOfTheLabels) {
    const LineEndCase& c = GetParam();
    const SentenceSplit split = splitSentence(c.sentence);
    EXPECT_EQ(lineEndAsked(split, fivePerCharacter, c.askedGap), c.asked);
    EXPECT_EQ(lineEndAfterPress(split, fivePerCharacter, QString::fromUtf8(c.text)), c.afterPress);
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, LineEnds,
    testing::Values(
        // "ab " 15 wide at 10, the gap at 35, "cdef" 20 wide 10 pixels right of the gap.
        LineEndCase{"InnerGap", u"ab"_qs + kGap + u"cdef"_qs, 45, 35 + 45 + 10 + 20, "longword",
                    35 + 40 + 10 + 20},
        LineEndCase{"InnerGapKeptWideByALeadingGapBefore", u"ab"_qs + kGap + u"cdef"_qs, 60,
                    35 + 60 + 10 + 20, "xy", 35 + 10 + 10 + 20},
        // The gap at 10, 60 wide whatever it had; "  cd" 20 wide 10 pixels right of it.
        LineEndCase{"LeadingGap", kGap + u"cd"_qs, 45, 10 + 60 + 10 + 20, "Are", 10 + 15 + 10 + 20},
        // Nothing behind the gap: the line ends with the gap label.
        LineEndCase{"GapAtTheEnd", u"ab"_qs + kGap, 45, 35 + 45, "xyz", 35 + 15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineEnds, FurthestIsTheWidestOfAskedAndEachAnswerRevealed) {
    const QString sentence = u"ab"_qs + kGap + u"cdef"_qs;
    // Asked, the gap counts as 60 wide, as a leading gap before may have left it.
    const std::optional<LineEnd> asked =
        furthestLineEnd(sentence, {u"xy"_qs, u"longword"_qs}, fivePerCharacter);
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->right, 35 + 60 + 10 + 20);
    EXPECT_EQ(asked->gapText, kGapBlanks);

    const std::optional<LineEnd> revealed =
        furthestLineEnd(sentence, {u"xy"_qs, u"a very long answer"_qs, u"z"_qs}, fivePerCharacter);
    ASSERT_TRUE(revealed);
    EXPECT_EQ(revealed->right, 35 + 90 + 10 + 20);
    EXPECT_EQ(revealed->gapText, u"a very long answer");

    EXPECT_FALSE(furthestLineEnd(u" x  y"_qs, {u"x"_qs}, fivePerCharacter));
}

// What canBeDrawn says is what a long run of draws gives.
TEST(QuestionDraw, CanBeDrawnNamesExactlyTheNumbersTheDrawGives) {
    std::mt19937 generator(99);
    for (int count : {1, 2, 3, 10, 678, 680}) {
        std::set<int> drawn;
        for (int i = 0; i < 200 * count; ++i)
            drawn.insert(drawQuestionNumber(count, generator));
        std::set<int> expected;
        for (int number = 0; number <= count + 1; ++number) {
            if (canBeDrawn(number, count))
                expected.insert(number);
        }
        EXPECT_EQ(drawn, expected) << count;
    }
}

TEST(QuestionDraw, StaysWithinOneToCountLessOneAndReachesEveryNumber) {
    std::mt19937 generator(12345);
    for (int count : {2, 3, 5, 12}) {
        std::map<int, int> seen;
        for (int i = 0; i < 5000; ++i)
            ++seen[drawQuestionNumber(count, generator)];
        EXPECT_EQ(seen.begin()->first, 1) << count;
        EXPECT_EQ(seen.rbegin()->first, count - 1) << count;
        EXPECT_EQ(int(seen.size()), count - 1) << count;
    }
}

TEST(QuestionDraw, OneRecordOrNoneAlwaysGivesQuestionOne) {
    std::mt19937 generator(7);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(drawQuestionNumber(1, generator), 1);
        EXPECT_EQ(drawQuestionNumber(0, generator), 1);
    }
}

// 699 numbers (a table of 700), 400 draws each expected: 677 never comes, 678 twice as often.
// With the fixed seed the counts are fixed; the bounds are 5 standard deviations of a binomial
// count (about 100 for 400, 141 for 800), so a faulty draw (677 kept, or the range shifted) fails.
TEST(QuestionDraw, NeverAsks677AndAsks678TwiceAsOften) {
    constexpr int count = 700;
    constexpr int perNumber = 400;
    std::mt19937 generator(20240601);
    std::map<int, int> seen;
    for (int i = 0; i < (count - 1) * perNumber; ++i)
        ++seen[drawQuestionNumber(count, generator)];
    EXPECT_EQ(seen.count(677), 0u);
    EXPECT_EQ(seen.count(count), 0u);
    EXPECT_EQ(seen.rbegin()->first, count - 1);
    EXPECT_NEAR(seen[678], 2 * perNumber, 141);
    for (const auto& [number, times] : seen) {
        if (number != 678) {
            EXPECT_NEAR(times, perNumber, 100) << number;
        }
    }
}

TEST(QuestionDraw, ClockSeededGeneratorsDiffer) {
    std::mt19937 a = clockSeededGenerator();
    std::mt19937 b = clockSeededGenerator();
    EXPECT_NE(a(), b());
}

TEST(Folding, OnlyAToZAreLowered) {
    EXPECT_EQ(foldLetters(QStringLiteral("Between ABC xyz")), QStringLiteral("between abc xyz"));
    EXPECT_EQ(foldLetters(QStringLiteral("İIıiÇĞÖŞÜ")), QStringLiteral("İiıiÇĞÖŞÜ"));
    EXPECT_EQ(foldLetters(QStringLiteral("@[`{")), QStringLiteral("@[`{"));
}

struct JudgeCase {
    const char* chosen;
    const char* dc1;
    std::optional<const char*> dc2;
    std::optional<const char*> dc3;
    bool right;
    const char* revealed;
};

void PrintTo(const JudgeCase& c, std::ostream* os) {
    *os << '"' << c.chosen << "\" against \"" << c.dc1 << '"';
}

class Judging : public testing::TestWithParam<JudgeCase> {};

TEST_P(Judging, ComparesFoldedWholeTextsAndRevealsTheLastMatch) {
    const JudgeCase& c = GetParam();
    const auto optional = [](std::optional<const char*> text) -> std::optional<QString> {
        if (!text)
            return std::nullopt;
        return QString::fromUtf8(*text);
    };
    const Judgement j = judgeAnswer(QString::fromUtf8(c.chosen), QString::fromUtf8(c.dc1),
                                    optional(c.dc2), optional(c.dc3));
    EXPECT_EQ(j.right, c.right);
    EXPECT_EQ(j.revealed, QString::fromUtf8(c.revealed));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Judging,
    testing::Values(JudgeCase{"Between", "between", std::nullopt, std::nullopt, true, "between"},
                    JudgeCase{"between", "Between", std::nullopt, std::nullopt, true, "Between"},
                    JudgeCase{"are ", "are", std::nullopt, std::nullopt, false, ""},
                    JudgeCase{"betwee", "between", std::nullopt, std::nullopt, false, ""},
                    JudgeCase{"İs", "is", std::nullopt, std::nullopt, false, ""},
                    JudgeCase{"Is", "is", std::nullopt, std::nullopt, true, "is"},
                    JudgeCase{"glad", "happy", "glad", std::nullopt, true, "glad"},
                    JudgeCase{"run", "go", "walk", "run", true, "run"},
                    JudgeCase{"walk", "go", "walk", "run", true, "walk"},
                    // Several matches: the last one shows, as stored.
                    JudgeCase{"HAPPY", "happy", "Happy", std::nullopt, true, "Happy"},
                    JudgeCase{"go", "go", std::nullopt, "GO", true, "GO"},
                    JudgeCase{"", "", std::nullopt, std::nullopt, true, ""}));

// The answer set t5 offers "are " with a trailing blank; the right answer "are" is not among the
// options, so every button is wrong.
TEST(Judging, AnAnswerMissingFromTheSetMakesEveryOptionWrong) {
    for (const char* option : {"four", "two", "are ", "is"}) {
        const Judgement j = judgeAnswer(QString::fromUtf8(option), QStringLiteral("are"),
                                        std::nullopt, std::nullopt);
        EXPECT_FALSE(j.right) << option;
    }
}

TEST(Bars, AdvanceByOneAndStopAtTheTop) {
    EXPECT_EQ(advanceBar(0), 1);
    EXPECT_EQ(advanceBar(99), 100);
    EXPECT_EQ(advanceBar(100), 100);
    int bar = 0;
    for (int i = 0; i < 105; ++i)
        bar = advanceBar(bar);
    EXPECT_EQ(bar, kBarMaximum);
}

} // namespace
} // namespace peltavo::quiz
