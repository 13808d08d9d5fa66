#include "displaylines.h"
#include "memo.h"

#include <QFontMetricsF>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using platform::DisplayLines;

QFont arial13() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

struct Line {
    int start;
    QString text;
    bool operator==(const Line&) const = default;
};

void PrintTo(const Line& line, std::ostream* os) {
    *os << line.start << ":\"" << line.text.toStdString() << "\"";
}

std::vector<Line> linesOf(const DisplayLines& lines) {
    std::vector<Line> out;
    for (int i = 0; i < lines.count(); ++i)
        out.push_back(Line{lines.lineStart(i), lines.lineText(i)});
    return out;
}

// The lines as the memo itself has laid them out.
std::vector<Line> memoLayoutLines(platform::Memo& memo) {
    std::vector<Line> out;
    QTextDocument* document = memo.document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        document->documentLayout()->blockBoundingRect(block); // lays the block out
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            out.push_back(Line{block.position() + line.textStart(),
                               block.text().mid(line.textStart(), line.textLength())});
        }
        if (layout->lineCount() == 0)
            out.push_back(Line{block.position(), QString()});
    }
    return out;
}

TEST(DisplayLines, EmptyTextHasOneEmptyLine) {
    for (const DisplayLines& lines : {DisplayLines(), DisplayLines(QString(), arial13(), 100)}) {
        EXPECT_EQ(lines.count(), 1);
        EXPECT_EQ(lines.lineStart(0), 0);
        EXPECT_EQ(lines.lineText(0), QString());
        EXPECT_EQ(lines.lineOfPosition(0), 0);
        EXPECT_EQ(lines.lineOfPosition(7), 0);
    }
}

TEST(DisplayLines, LineBreaksCountOneCharacterAndEmptyLinesStay) {
    const DisplayLines lines(QStringLiteral("ab\n\ncd\n"), arial13(), 500);
    EXPECT_EQ(
        linesOf(lines),
        (std::vector<Line>{
            {0, QStringLiteral("ab")}, {3, QString()}, {4, QStringLiteral("cd")}, {7, QString()}}));
    EXPECT_EQ(lines.lineOfPosition(2), 0); // on the first line break
    EXPECT_EQ(lines.lineOfPosition(3), 1);
    EXPECT_EQ(lines.lineOfPosition(4), 2);
    EXPECT_EQ(lines.lineOfPosition(7), 3);
    EXPECT_EQ(lines.lineOfPosition(-3), 0);
    EXPECT_EQ(lines.lineOfPosition(99), 3);
}

TEST(DisplayLines, LinesThatDoNotExistAnswerEmpty) {
    const DisplayLines lines(QStringLiteral("one"), arial13(), 500);
    EXPECT_EQ(lines.lineStart(1), -1);
    EXPECT_EQ(lines.lineStart(-1), -1);
    EXPECT_EQ(lines.lineText(1), QString());
    EXPECT_EQ(lines.lineText(-1), QString());
}

TEST(DisplayLines, WrapsAtWordsWithinTheWidthAndKeepsEveryCharacter) {
    const QString paragraph = QStringLiteral("station market train city ticket ").repeated(8);
    const QString text = QStringLiteral("first\n") + paragraph + QStringLiteral("\nlast");
    const qreal width = 240;
    const DisplayLines lines(text, arial13(), width, QTextOption());
    ASSERT_GT(lines.count(), 4);
    const QFontMetricsF metrics(arial13());
    QString joined;
    for (int i = 1; i + 1 < lines.count(); ++i) {
        const QString line = lines.lineText(i);
        EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), width) << line.toStdString();
        EXPECT_FALSE(line.contains(u'\n'));
        if (i > 1) { // a wrapped line starts with a word, never inside one
            EXPECT_TRUE(joined.endsWith(u' ')) << line.toStdString();
        }
        EXPECT_EQ(lines.lineStart(i), 6 + joined.size());
        joined += line;
    }
    EXPECT_EQ(joined, paragraph);
    EXPECT_EQ(lines.lineText(lines.count() - 1), QStringLiteral("last"));
}

// Every position, the text's edges and beyond them included, finds the line the whole layout has.
TEST(DisplayLines, TheParagraphAloneGivesTheLineThatHoldsAPosition) {
    const QString text = QStringLiteral("\nfirst\n\n") +
                         QStringLiteral("station market train city ticket ").repeated(6) +
                         QStringLiteral("\nlast\n");
    const DisplayLines whole(text, arial13(), 240);
    ASSERT_GT(whole.count(), 7);
    for (int position = -2; position <= text.size() + 2; ++position) {
        const int line = whole.lineOfPosition(position);
        const platform::DisplayLine found =
            platform::DisplayLine::holding(text, position, arial13(), 240);
        EXPECT_EQ((Line{found.start, found.text}),
                  (Line{whole.lineStart(line), whole.lineText(line)}))
            << position;
    }
}

TEST(DisplayLines, NoWidthMeansNoWrapping) {
    const QString text = QStringLiteral("word ").repeated(500);
    EXPECT_EQ(DisplayLines(text, arial13(), 0).count(), 1);
}

class MemoLines : public ::testing::TestWithParam<bool> {};

// The memo's own answer agrees with the lines it lays out on the screen, whether it was asked
// while hidden (then shown) or while shown.
TEST_P(MemoLines, AgreeWithTheMemosOwnLayout) {
    const bool askWhileHidden = GetParam();
    QWidget window;
    window.resize(800, 300);
    platform::Memo memo(&window);
    memo.setGeometry(0, 0, 775, 220);
    memo.setFont(arial13());
    memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("Line %1: ").arg(i) +
                QStringLiteral("a friend at the market station ").repeated(i % 7) +
                (i % 5 == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n"));
    memo.setText(text);

    std::vector<Line> asked;
    if (askWhileHidden) {
        memo.hide();
        window.show();
        asked = linesOf(memo.displayLines());
        memo.show();
    } else {
        window.show();
        asked = linesOf(memo.displayLines());
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const std::vector<Line> laidOut = memoLayoutLines(memo);
    EXPECT_GT(laidOut.size(), 45u); // some lines wrapped
    EXPECT_EQ(asked, laidOut);
}

INSTANTIATE_TEST_SUITE_P(HiddenAndShown, MemoLines, ::testing::Bool());

TEST(Memo, SelectionStartAndLengthFollowSelect) {
    platform::Memo memo;
    memo.setText(QStringLiteral("one two\nthree"));
    memo.select(4, 5);
    EXPECT_EQ(memo.selectionStart(), 4);
    EXPECT_EQ(memo.selectionLength(), 5);
    EXPECT_EQ(memo.textCursor().selectedText(),
              QString(QStringLiteral("two")) + QChar(0x2029) + QStringLiteral("t"));
    memo.setText(QStringLiteral("new text"));
    EXPECT_EQ(memo.selectionStart(), 0);
    EXPECT_EQ(memo.selectionLength(), 0);
}

} // namespace
} // namespace peltavo

namespace peltavo {
namespace {

// `count` lines that wrap in a memo 300 pixels wide, with an empty line after every
// `emptyEvery`th (none when 0).
QString wrappingLines(int count, int emptyEvery = 0) {
    QString text;
    for (int i = 0; i < count; ++i)
        text +=
            QStringLiteral("line %1 of a text long enough to wrap more than once here\n").arg(i) +
            (emptyEvery && i % emptyEvery == 0 ? QStringLiteral("\n") : QString());
    return text;
}

// `text` laid out as `memo` lays out its own.
DisplayLines laidOutAs(const platform::Memo& memo, const QString& text) {
    return DisplayLines(text, memo.document()->defaultFont(), memo.wrapWidth(),
                        memo.document()->defaultTextOption());
}

// The lines laid out on the worker belong to the text shown last, however quickly texts follow
// one another, and agree with lines laid out on the spot.
TEST(Memo, LinesLaidOutMeanwhileAreThoseOfTheLastText) {
    QWidget window;
    platform::Memo memo(&window);
    memo.setGeometry(0, 0, 300, 120);
    const QString text = wrappingLines(300);
    // 18,000 characters and more, laid out meanwhile; the last rounds are short enough to be laid
    // out when asked.
    for (int round = 0; round < 8; ++round) {
        const QString shown = text.left(round < 6 ? text.size() - round * 997 : 1000 * round);
        memo.setText(text);
        memo.setText(shown);
        const DisplayLines& lines = memo.displayLines();
        const DisplayLines expected = laidOutAs(memo, memo.text());
        EXPECT_EQ(linesOf(lines), linesOf(expected)) << round;
        EXPECT_GT(lines.count(), round < 6 ? 300 : 10);
    }
}

// A click at once after a long text is shown gets the line and line index the whole layout
// gives, and the index keeps that meaning once the memo shows something else.
TEST(Memo, ALineAskedWhileTheTextIsLaidOutIsThatOfTheWholeLayout) {
    QWidget window;
    platform::Memo memo(&window);
    memo.setGeometry(0, 0, 300, 120);
    const QString text = wrappingLines(3000, 9);
    const int positions[] = {0,
                             5,
                             61,
                             62,
                             int(text.size()) / 2,
                             int(text.size()) - 70,
                             int(text.size()) - 1,
                             int(text.size())};
    for (const int position : positions) {
        memo.setText(text);
        const platform::DisplayLineIndex index = memo.lineIndexOf(position);
        const platform::DisplayLine line = memo.lineAt(position);
        memo.setText(QStringLiteral("the next record"));
        const DisplayLines whole = laidOutAs(memo, text);
        const int expected = whole.lineOfPosition(position);
        EXPECT_EQ(int(index), expected) << position;
        EXPECT_EQ((Line{line.start, line.text}),
                  (Line{whole.lineStart(expected), whole.lineText(expected)}))
            << position;
    }
}

TEST(Memo, ShownTextIsWhatTheMemoHandsBack) {
    const QString cases[] = {QStringLiteral("plain text, nothing to change"),
                             QStringLiteral("one\r\ntwo\r\n"),
                             QStringLiteral("lone\rbreak\r"),
                             QStringLiteral("\n\r\r\n\r"),
                             QStringLiteral("no\u00a0break space"),
                             QStringLiteral("line\u2028and\u2029paragraph"),
                             QStringLiteral("\ufdd0frame\ufdd1"),
                             QStringLiteral("tab\there, \u00e7\u0131\u011f"),
                             QString()};
    platform::Memo memo;
    for (const QString& text : cases) {
        memo.setText(text);
        EXPECT_EQ(platform::shownText(text), memo.text()) << text.toStdString();
        EXPECT_TRUE(platform::shownTextHolds(text, memo.text())) << text.toStdString();
    }
    EXPECT_TRUE(platform::shownTextHolds(u"a\u00a0b", u"a b"));
    EXPECT_FALSE(platform::shownTextHolds(u"a\u00a0b", u"\u00a0"));
    EXPECT_TRUE(platform::shownTextHolds(u"x\r\ny", u"x\ny"));
    EXPECT_FALSE(platform::shownTextHolds(u"x\r\ny", u"\r"));
    EXPECT_TRUE(platform::shownTextHolds(u"x\r\ny\u00a0z", u"y"));
    EXPECT_TRUE(platform::shownTextHolds(u"x\r\ny\u00a0z", u"y z"));
    EXPECT_FALSE(platform::shownTextHolds(u"x\r\ny\u00a0z", u"x\r"));
}

} // namespace
} // namespace peltavo
