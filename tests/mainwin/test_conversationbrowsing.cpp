#include "error.h"
#include "finddialog.h"
#include "lineedit.h"
#include "memo.h"
#include "tablehandle.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using test::MainWindowOnSample;

const platform::Message kNotFound{platform::Message::Icon::None, QStringLiteral("Uyarı"),
                                  QStringLiteral("Aranan kelime bulunamadı!")};

class Browsing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(w->Table->isOpen()); }

    // Makes conversation `n` (counted from 1) current.
    void goTo(int n) {
        while (w->Table->currentIndex() > n - 1)
            w->geri1Click();
        while (w->Table->currentIndex() < n - 1)
            w->ileribClick();
        ASSERT_EQ(w->Table->currentIndex(), n - 1);
    }

    void offerSentence() {
        w->cumle->setText(QStringLiteral("a translated line"));
        w->cumleb->show();
    }

    void expectNoOffer() {
        EXPECT_TRUE(w->cumle->text().isEmpty());
        EXPECT_TRUE(w->cumleb->isHidden());
    }

    // Places the caret at `position` of prog and runs the click handler.
    void clickAt(int position) {
        w->prog->select(position, 0);
        w->progClick();
    }

    void find(const QString& text) {
        w->bul->setFindText(text);
        w->bulFind();
    }

    QString selected() { return w->prog->textCursor().selectedText(); }

    MainWindowOnSample w;
};

TEST_F(Browsing, NextAndPreviousMoveTheRecordAndWithdrawTheSentenceOffer) {
    offerSentence();
    w->ileribClick();
    expectNoOffer();
    EXPECT_EQ(w->Table->currentIndex(), 1);
    EXPECT_TRUE(w->prog->text().startsWith(QStringLiteral("Excuse me, could you")));
    EXPECT_TRUE(w->kullandb->text().startsWith(QStringLiteral("Affedersiniz")));
    EXPECT_EQ(w->prog->selectionStart(), 0);

    offerSentence();
    w->geri1Click();
    expectNoOffer();
    EXPECT_EQ(w->Table->currentIndex(), 0);
    EXPECT_TRUE(w->prog->text().startsWith(QStringLiteral("Good morning, Ali.")));
}

TEST_F(Browsing, MovesStopAtBothEndsWithoutWrapping) {
    w->geri1Click();
    EXPECT_EQ(w->Table->currentIndex(), 0);
    EXPECT_TRUE(w->Table->bof());
    const int last = w->Table->recordCount() - 1;
    goTo(last + 1);
    const QString text = w->prog->text();
    w->ileribClick();
    EXPECT_EQ(w->Table->currentIndex(), last);
    EXPECT_TRUE(w->Table->eof());
    EXPECT_EQ(w->prog->text(), text);
    EXPECT_TRUE(w.platform.fakeDialogs.log.isEmpty());
}

TEST_F(Browsing, ClickIntoTheConversationOffersTheSentenceAndPicksTheWord) {
    // "Good morning, Ali." / "Good morning, Ayşe. How are you?" ...
    const QString text = w->prog->text();
    const int morning = text.indexOf(QStringLiteral("morning"), 20);
    w->cumle->setText(QStringLiteral("old"));
    clickAt(morning + 3);
    EXPECT_FALSE(w->cumleb->isHidden());
    EXPECT_TRUE(w->cumle->text().isEmpty());
    EXPECT_EQ(w->ara->text(), QStringLiteral("morni"));
    EXPECT_EQ(w.state.CaretLine, 1);
}

TEST_F(Browsing, ClickIntoTheNotesWithdrawsTheOffer) {
    clickAt(3);
    w->cumle->setText(QStringLiteral("old"));
    w->progExit();
    expectNoOffer();
    EXPECT_EQ(w->ara->text(), QStringLiteral("Goo"));
}

TEST_F(Browsing, WordPickFollowsTheWrappedDisplayLines) {
    goTo(2);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    // The memo's own layout: the first stored line wraps.
    const QTextBlock first = w->prog->document()->begin();
    w->prog->document()->documentLayout()->blockBoundingRect(first);
    const int wrapped = first.layout()->lineCount();
    ASSERT_GE(wrapped, 2) << "the first line of conversation 2 should wrap";

    // A word on the second stored line sits on display line `wrapped`.
    const QString text = w->prog->text();
    const int half = text.indexOf(QStringLiteral("half past"));
    clickAt(half + 2);
    EXPECT_EQ(w.state.CaretLine, wrapped);
    EXPECT_EQ(w->ara->text(), QStringLiteral("hal"));

    // At the start of the continuation line the pick takes that line's first word.
    const QTextLine continuation = first.layout()->lineAt(1);
    const int start = first.position() + continuation.textStart();
    clickAt(start);
    EXPECT_EQ(w.state.CaretLine, 1);
    const QString lineText = text.mid(start, continuation.textLength());
    const QString firstWord = lineText.left(lineText.indexOf(u' ') + 1);
    EXPECT_EQ(w->ara->text(),
              firstWord.size() >= 5 ? firstWord.left(firstWord.size() / 2 + 1) : firstWord);
    w->hide();
}

TEST_F(Browsing, AMouseClickIntoTheMemoRunsTheWordPick) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    const int position = w->prog->text().indexOf(QStringLiteral("library"));
    QTextCursor cursor(w->prog->document());
    cursor.setPosition(position + 2);
    const QPoint point = w->prog->cursorRect(cursor).center();
    QTest::mouseClick(w->prog->viewport(), Qt::LeftButton, {}, point);
    EXPECT_FALSE(w->cumleb->isHidden());
    EXPECT_EQ(w->ara->text(), QStringLiteral("libra")); // "library " cut to 5
    EXPECT_EQ(w.state.CaretLine, 4);

    QTest::mouseClick(w->kullan->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(w->cumleb->isHidden());
    w->hide();
}

TEST_F(Browsing, ASelectionPicksTheWordAtItsStart) {
    const QString text = w->prog->text();
    const int fine = text.indexOf(QStringLiteral("fine, thank"));
    w->prog->select(fine + 1, 12);
    w->progClick();
    EXPECT_EQ(w->ara->text(), QStringLiteral("fine")); // "fine, " cut to 4
    EXPECT_EQ(w.state.CaretLine, 2);
}

TEST_F(Browsing, AnEmptyDisplayLineEmptiesTheSearchBox) {
    w->prog->setText(QStringLiteral("first line\n\nthird line"));
    w->ara->setText(QStringLiteral("typed"));
    clickAt(11);
    EXPECT_TRUE(w->ara->text().isEmpty());
    EXPECT_EQ(w.state.CaretLine, 1);
}

TEST_F(Browsing, MovingLeavesTheCaretLine) {
    clickAt(w->prog->text().indexOf(QStringLiteral("very well")));
    EXPECT_EQ(w.state.CaretLine, 3);
    w->ileribClick();
    w->ileribClick();
    w->geri1Click();
    EXPECT_EQ(w.state.CaretLine, 3);
}

TEST_F(Browsing, FindButtonOpensTheModelessFindDialog) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    const int current = w->Tablei->currentIndex();
    w->arab->click();
    EXPECT_TRUE(w->bul->isVisible());
    EXPECT_FALSE(w->bul->isModal());
    EXPECT_EQ(w->Tablei->currentIndex(), current);
    w->bul->hide();
    w->hide();
}

// The find dialog speaks the program's language, whatever the locale.
TEST_F(Browsing, TheFindDialogIsTurkish) {
    QStringList captions{w->bul->windowTitle(), w->bul->findChild<QGroupBox*>()->title()};
    for (const QLabel* label : w->bul->findChildren<QLabel*>())
        captions << label->text();
    for (const QAbstractButton* button : w->bul->findChildren<QAbstractButton*>())
        captions << button->text();
    EXPECT_EQ(captions.join(u'|'),
              QStringLiteral("Bul|Yön|&Aranan:|Yalnızca &tam kelime|&Büyük/küçük harf duyarlı|"
                             "&Sonrakini Bul|İptal|&Yukarı|A&şağı"));
}

// Opened beside the conversation; moved off a hit that falls under it.
TEST_F(Browsing, TheFindDialogNeverCoversAMatch) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    const QRect memo(w->prog->mapToGlobal(QPoint(0, 0)), w->prog->size());
    w->arab->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w->bul));
    EXPECT_FALSE(w->bul->frameGeometry().intersects(memo));
    w->bul->move(memo.center() - QPoint(w->bul->width() / 2, 0)); // the learner drags it there
    find(QStringLiteral("zanzibar")); // near the end of a long conversation
    ASSERT_EQ(selected(), QStringLiteral("zanzibar"));
    EXPECT_TRUE(memo.contains(w->prog->selectionArea().center()));
    EXPECT_FALSE(w->bul->frameGeometry().intersects(w->prog->selectionArea()));
    w->bul->hide();
    w->hide();
}

TEST(FindDialogPlace, GoesToTheNearestPlaceOnTheScreenThatLeavesTheAreaClear) {
    const QRect screen(0, 0, 1024, 768);
    const struct {
        QRect frame, area;
        QPoint to;
    } cases[] = {
        {{300, 400, 400, 130}, {112, 108, 775, 220}, {300, 400}}, // clear already
        {{312, 319, 400, 130}, {112, 108, 775, 220}, {312, 332}}, // below
        {{100, 620, 400, 130}, {0, 600, 1024, 160}, {100, 466}},  // no room below: above
        {{500, 100, 300, 130}, {400, 0, 624, 768}, {96, 100}},    // full height: left
        {{900, 50, 300, 130}, {0, 300, 1024, 100}, {724, 50}},    // off the screen: onto it
        {{100, 100, 300, 130}, {0, 0, 1024, 700}, {100, 638}},    // nowhere: covers the least
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::placeClearOf(c.frame, c.area, screen), c.to) << "case " << (&c - cases);
}

TEST_F(Browsing, FindSkipsCapitalisedMatchesAndFindsInsideWords) {
    goTo(3);
    const QString text = w->prog->text();
    const int capital = text.indexOf(QStringLiteral("You know"));
    ASSERT_GE(capital, 0);
    QList<int> hits;
    for (int i = 0; i < 4; ++i) {
        find(QStringLiteral("you"));
        ASSERT_EQ(w->Table->currentIndex(), 2) << "hit " << i;
        hits << w->prog->selectionStart();
        EXPECT_EQ(selected(), QStringLiteral("you"));
    }
    EXPECT_FALSE(hits.contains(capital));
    EXPECT_TRUE(std::is_sorted(hits.begin(), hits.end()));
    EXPECT_EQ(std::count_if(hits.begin(), hits.end(),
                            [&](int at) { return text.mid(at, 4) == QStringLiteral("your"); }),
              2);
    EXPECT_TRUE(w.platform.fakeDialogs.log.isEmpty());
}

TEST_F(Browsing, AMatchInALaterRecordMovesTheRecordAndSelectsIt) {
    offerSentence();
    w->ara->setText(QStringLiteral("kept"));
    find(QStringLiteral("Ankara"));
    EXPECT_EQ(w->Table->currentIndex(), 1);
    EXPECT_EQ(selected(), QStringLiteral("Ankara"));
    EXPECT_TRUE(w->kullandb->text().startsWith(QStringLiteral("Affedersiniz, Ankara")));
    // The find leaves the sentence box, its button and the search box alone.
    EXPECT_EQ(w->cumle->text(), QStringLiteral("a translated line"));
    EXPECT_FALSE(w->cumleb->isHidden());
    EXPECT_EQ(w->ara->text(), QStringLiteral("kept"));
}

TEST_F(Browsing, AFailedFindEndsOnTheLastRecordThenSaysNotFound) {
    find(QStringLiteral("nowhere to be found"));
    EXPECT_EQ(w->Table->currentIndex(), w->Table->recordCount() - 1);
    EXPECT_TRUE(w.platform.fakeDialogs.messages.empty());
    find(QStringLiteral("nowhere to be found"));
    ASSERT_EQ(w.platform.fakeDialogs.messages.size(), 1u);
    EXPECT_EQ(w.platform.fakeDialogs.messages[0], kNotFound);
    EXPECT_EQ(w->Table->currentIndex(), w->Table->recordCount() - 1);
}

TEST_F(Browsing, FindReachesBeyondCharacter65534OfALongConversation) {
    find(QStringLiteral("zanzibar"));
    EXPECT_EQ(w->Table->currentIndex(), 5);
    EXPECT_GT(w->prog->selectionStart(), 65534);
    EXPECT_EQ(selected(), QStringLiteral("zanzibar"));
    EXPECT_GT(w->prog->text().size(), 65534);
}

TEST_F(Browsing, FindOnTheLastRecordAfterItsLastMatchSaysNotFoundAtOnceAfterTheEndFlag) {
    find(QStringLiteral("zanzibar"));
    ASSERT_EQ(w->Table->currentIndex(), 5);
    find(QStringLiteral("zanzibar")); // moves past the last record: end flag, no message
    EXPECT_TRUE(w.platform.fakeDialogs.messages.empty());
    find(QStringLiteral("zanzibar"));
    EXPECT_EQ(w.platform.fakeDialogs.messages.size(), 1u);
}

// The find reads later conversations from the table without showing each: what it matches there
// must be the text as the memo shows it, and it must end where moving one at a time ends.
TEST(BrowsingStoredTexts, FindMatchesLaterRecordsAsTheMemoShowsThem) {
    const struct {
        QStringList stored;
        QString needle;
        int record; // where the find ends
        int at;     // the selection's start there; -1: none, and a second find says not found
    } cases[] = {
        {{"abc", "x\r\ny", "z"}, QStringLiteral("x\ny"), 1, 0},
        {{"abc", "say a\u00a0b", "z"}, QStringLiteral("a b"), 1, 4},
        {{"abc", "one\rtwo"}, QStringLiteral("one\ntwo"), 1, 0},
        {{"abc", "no\u00a0break", "z"}, QStringLiteral("\u00a0"), 2, -1},
        {{"abc", "x\r\ny", "z"}, QStringLiteral("\r"), 2, -1},
        {{"abc", "def", "ghi"}, QStringLiteral("zz"), 2, -1},
        {{"first", QString(), "third"}, QStringLiteral("third"), 2, 0},
    };
    for (const auto& c : cases) {
        MainWindowOnSample w;
        TableData data{QStringLiteral("konus"),
                       {Column{QStringLiteral("ikonus"), ColumnType::Memo, 0},
                        Column{QStringLiteral("tkonus"), ColumnType::Memo, 0}},
                       {}};
        for (const QString& text : c.stored)
            data.rows.push_back({text.isNull() ? FieldValue() : FieldValue(text), text});
        w->Table->close();
        w->Table->open(std::move(data));
        w->bul->setFindText(c.needle);
        w->bulFind();
        const std::string name = c.needle.toStdString();
        EXPECT_EQ(w->Table->currentIndex(), c.record) << name;
        EXPECT_EQ(w->prog->selectionLength(), c.at < 0 ? 0 : c.needle.size()) << name;
        EXPECT_EQ(w->prog->selectionStart(), std::max(c.at, 0)) << name;
        EXPECT_EQ(w->kullandb->text(), platform::shownText(c.stored[c.record])) << name;
        EXPECT_TRUE(w.platform.fakeDialogs.messages.empty()) << name;
        if (c.at < 0) {
            w->bulFind();
            EXPECT_EQ(w.platform.fakeDialogs.messages.size(), 1u) << name;
        }
    }
}

TEST(BrowsingWithoutDatabase, ErrorsOfAClickAreShownByTheEventLoop) {
    test::ProgramFolder folder(false);
    test::FakePlatform platform;
    platform.folder = folder.path();
    ProgramState state;
    Tanaekr window(state, platform);
    window.FormCreate();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto& shown = test::applicationPlatform().fakeDialogs.messages;
    shown.clear();
    QTest::mouseClick(window.ilerib, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], platform::errorMessage(QStringLiteral(
                            "Table: Cannot perform this operation on a closed dataset")));
    // The handler had emptied the sentence box before the table failed; the window goes on.
    EXPECT_TRUE(window.cumleb->isHidden());
    // A find on the closed table fails the same way.
    window.bul->setFindText(QStringLiteral("x"));
    EXPECT_THROW(window.bulFind(), Error);
    window.hide();
}

} // namespace
} // namespace peltavo
