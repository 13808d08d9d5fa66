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
    int moves = 0;

private:
    QStringList texts_;
    int current_;
    bool end_;
};

using Kind = FindResult::Kind;

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
