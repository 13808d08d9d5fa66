#include "conversationfind.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

// Conversations held in a list, moving like the conversation table: a move past the last one
// stays there and sets the end flag, which an empty list has from the start.
class ListWalk : public ConversationWalk {
public:
    explicit ListWalk(QStringList texts, int current = 0)
        : texts_(std::move(texts)), current_(current), end_(texts_.isEmpty()) {}

    QString currentText() const override { return texts_.value(current_); }
    bool atEnd() const override { return end_; }
    void moveNext() override {
        ++moves;
        if (current_ + 1 >= texts_.size())
            end_ = true;
        else
            ++current_;
    }
    int current() const { return current_; }
    int count() const { return int(texts_.size()); }
    QString text(int i) const { return texts_.value(i); }
    // Moves `k` on without setting the end flag (k stays within the list).
    void advance(int k) { current_ += k; }
    int moves = 0;

private:
    QStringList texts_;
    int current_;
    bool end_;
};

// The same conversations, looked at ahead without moving: the find moves it once per search.
class LookAheadWalk : public ListWalk {
public:
    using ListWalk::ListWalk;
    int conversationsAhead() const override { return count() - 1 - current(); }
    bool aheadHolds(int k, const QString& needle) const override {
        return text(current() + k).contains(needle);
    }
    void moveAhead(int k) override {
        ++jumps;
        advance(k);
    }
    int jumps = 0;
};

using Kind = FindResult::Kind;

TEST(FindInConversations, LookingAheadEndsAsMovingOneAtATimeDoes) {
    const struct {
        QStringList texts;
        const char* needle;
        int start; // current conversation
        int from;
    } cases[] = {
        {{"a", "b", "c target", "target"}, "target", 0, 0},
        {{"target a", "b", "c target"}, "target", 0, 1},
        {{"one", "two", "three"}, "zzz", 0, 0},
        {{"one", "two", "three"}, "zzz", 2, 0},
        {{"one", "two", "three"}, "", 0, 9},
        {{"x", "", "y"}, "y", 0, 0},
        {{"x"}, "x", 0, 1},
        {{}, "x", 0, 0},
        {{"ab", "abab", "b"}, "ba", 0, 0},
        {{"last holds it", "no", "no", "it"}, "it", 0, 12},
    };
    for (const auto& c : cases) {
        const QString needle = QString::fromUtf8(c.needle);
        ListWalk steps(c.texts, c.start);
        LookAheadWalk ahead(c.texts, c.start);
        // Twice each: the second search starts from the state the first one left.
        for (int round = 0; round < 2; ++round) {
            const FindResult expected = findInConversations(needle, c.from, steps);
            EXPECT_EQ(findInConversations(needle, c.from, ahead), expected)
                << c.needle << " round " << round;
            EXPECT_EQ(ahead.current(), steps.current()) << c.needle;
            EXPECT_EQ(ahead.atEnd(), steps.atEnd()) << c.needle;
        }
        EXPECT_LE(ahead.jumps, 2) << c.needle;
    }
}

TEST(FindInConversations, FindsInTheCurrentTextFromThePositionOn) {
    ListWalk walk({QStringLiteral("Did you finish your homework? Here you are.")});
    EXPECT_EQ(findInConversations(QStringLiteral("you"), 0, walk), (FindResult{Kind::Found, 4}));
    EXPECT_EQ(findInConversations(QStringLiteral("you"), 7, walk), (FindResult{Kind::Found, 15}));
    EXPECT_EQ(findInConversations(QStringLiteral("you"), 18, walk), (FindResult{Kind::Found, 35}));
    EXPECT_EQ(walk.moves, 0);
}

TEST(FindInConversations, CaseCountsAndMatchesMayLieInsideWords) {
    ListWalk walk({QStringLiteral("You know your way.")});
    EXPECT_EQ(findInConversations(QStringLiteral("you"), 0, walk), (FindResult{Kind::Found, 9}));
    ListWalk turkish({QStringLiteral("İyi, ıyi değil")});
    EXPECT_EQ(findInConversations(QStringLiteral("iyi"), 0, turkish).kind, Kind::StoppedAtLast);
}

TEST(FindInConversations, MovesOnToALaterTextAndSearchesItFromItsStart) {
    ListWalk walk({QStringLiteral("abc Ankara"), QStringLiteral("nothing"),
                   QStringLiteral("Ankara again"), QStringLiteral("last")});
    EXPECT_EQ(findInConversations(QStringLiteral("Ankara"), 5, walk), (FindResult{Kind::Found, 0}));
    EXPECT_EQ(walk.current(), 2);
    EXPECT_EQ(walk.moves, 2);
}

TEST(FindInConversations, StopsSilentlyOnTheLastTextThenReportsNotFound) {
    ListWalk walk({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    EXPECT_EQ(findInConversations(QStringLiteral("zzz"), 0, walk).kind, Kind::StoppedAtLast);
    EXPECT_EQ(walk.current(), 2);
    EXPECT_TRUE(walk.atEnd());
    const int moves = walk.moves;
    EXPECT_EQ(findInConversations(QStringLiteral("zzz"), 0, walk).kind, Kind::NotFound);
    EXPECT_EQ(walk.moves, moves);
}

TEST(FindInConversations, OnTheLastTextAMissStopsWithoutSearchingItTwice) {
    // The move from the last text only sets the end flag; the text is not searched again from its
    // start, so a match before the search position is not found.
    ListWalk walk({QStringLiteral("first"), QStringLiteral("target then more")}, 1);
    EXPECT_EQ(findInConversations(QStringLiteral("target"), 3, walk).kind, Kind::StoppedAtLast);
    EXPECT_EQ(walk.current(), 1);
}

TEST(FindInConversations, NoConversationsAtAllIsNotFoundAtOnce) {
    ListWalk walk({});
    EXPECT_EQ(findInConversations(QStringLiteral("a"), 0, walk).kind, Kind::NotFound);
    EXPECT_EQ(walk.moves, 0);
}

TEST(FindInConversations, SearchesTheWholeOfALongText) {
    const QString longText = QString(70000, u'x') + QStringLiteral(" zanzibar");
    ListWalk walk({QStringLiteral("short"), longText});
    EXPECT_EQ(findInConversations(QStringLiteral("zanzibar"), 0, walk),
              (FindResult{Kind::Found, 70001}));
}

TEST(FindInConversations, APositionPastTheTextFindsNothingThere) {
    ListWalk walk({QStringLiteral("abc"), QStringLiteral("abc")});
    EXPECT_EQ(findInConversations(QStringLiteral("abc"), 3, walk), (FindResult{Kind::Found, 0}));
    EXPECT_EQ(walk.current(), 1);
}

} // namespace
} // namespace peltavo
