#include "dictionarygridmodel.h"
#include "error.h"
#include "lineedit.h"
#include "memo.h"
#include "tablehandle.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

const QString kNullToString =
    QStringLiteral("Could not convert variant of type (Null) into type (String)");

class Detail : public ::testing::Test {
protected:
    void search(const QString& text) {
        w->ara->setText(text);
        w->sarabClick();
    }
    QString headword() const { return d.detail->DBEdit1->text(); }
    QString meaning() const { return d.detail->DBMemo1->toPlainText(); }
    QString current(const QString& field = QStringLiteral("ikelime")) {
        TableHandle* table = field == QLatin1String("ikelime") ? w->Tablei : w->Tablet;
        return table->fieldAsString(field);
    }
    // Runs `click` and gives the message of the error it raised.
    template <typename F> QString failureOf(F click) {
        try {
            click();
        } catch (const Error& error) {
            return error.message();
        }
        return QString();
    }

    test::DictionaryWindows d;
    test::MainWindowOnSample& w = d;
};

TEST_F(Detail, OpensOnTheSearchedEntryAndPagesWithTheGrid) {
    search(QStringLiteral("book"));
    w->sozlukbClick();
    EXPECT_TRUE(d.detail->isVisible());
    EXPECT_EQ(d.detail->focusWidget(), d.detail->sonrab);
    EXPECT_EQ(headword(), QStringLiteral("book"));
    EXPECT_EQ(meaning(), QStringLiteral("kitap; defter"));
    EXPECT_EQ(w->sozlukModel->currentRow(), 0);

    const struct {
        void (Tsozlukekr::*click)();
        const char* shown;
        int row;
    } steps[] = {{&Tsozlukekr::sonrabClick, "booking", 1},
                 {&Tsozlukekr::sonrabClick, "bookshop", 2},
                 {&Tsozlukekr::oncebClick, "booking", 1},
                 {&Tsozlukekr::oncebClick, "book", 0},
                 {&Tsozlukekr::oncebClick, "book", 0}}; // the first passing entry stays
    for (const auto& step : steps) {
        (d.detail.get()->*step.click)();
        EXPECT_EQ(headword(), QLatin1String(step.shown));
        EXPECT_EQ(current(), QLatin1String(step.shown));
        EXPECT_EQ(w->sozlukModel->currentRow(), step.row);
        EXPECT_EQ(w->sozluk->currentIndex().row(), step.row);
    }
}

TEST_F(Detail, EachOpeningStepsOneBackAndStopsAtTheFirstEntry) {
    w->Tablei->moveTo(3);
    w->sozlukbClick();
    EXPECT_EQ(w->Tablei->currentIndex(), 2);
    w->sozlukbClick();
    EXPECT_EQ(w->Tablei->currentIndex(), 1);
    w->sozlukbClick();
    w->sozlukbClick();
    EXPECT_EQ(w->Tablei->currentIndex(), 0);
    EXPECT_EQ(headword(), QStringLiteral("about"));
}

TEST_F(Detail, PagingOnTheLastEntryShowsItAgain) {
    search(QStringLiteral("zero"));
    w->sozlukbClick();
    d.detail->sonrabClick();
    d.detail->sonrabClick();
    EXPECT_EQ(headword(), QStringLiteral("zero"));
    EXPECT_EQ(meaning(), QStringLiteral("sıfır"));
}

TEST_F(Detail, NullMeaningKeepsTheHeadwordAndDoesNotOpenTheWindow) {
    search(QStringLiteral("book"));
    w->sozlukbClick();
    d.detail->hide();
    search(QStringLiteral("zebra")); // first zebra, current zero
    EXPECT_EQ(failureOf([&] { w->sozlukbClick(); }), kNullToString);
    EXPECT_FALSE(d.detail->isVisible());
    EXPECT_EQ(headword(), QStringLiteral("zebra"));
    EXPECT_EQ(meaning(), QStringLiteral("kitap; defter")); // the memo keeps its earlier text
    EXPECT_EQ(current(), QStringLiteral("zebra"));         // the move stays
}

TEST_F(Detail, AnEmptyResultFailsAtTheHeadwordAndChangesNothing) {
    search(QStringLiteral("book"));
    w->sozlukbClick();
    d.detail->hide();
    search(QStringLiteral("zzzz"));
    for (auto click :
         {+[](Tsozlukekr& t) { t.sozlukbClick(); }, +[](Tsozlukekr& t) { t.sonrabClick(); },
          +[](Tsozlukekr& t) { t.oncebClick(); }}) {
        EXPECT_EQ(failureOf([&] { click(*d.detail); }), kNullToString);
        EXPECT_EQ(headword(), QStringLiteral("book"));
        EXPECT_EQ(meaning(), QStringLiteral("kitap; defter"));
    }
    EXPECT_FALSE(d.detail->isVisible());
}

TEST_F(Detail, FollowsTheGridOnlyFromTheFirstDirectionSwitchOn) {
    search(QStringLiteral("book"));
    w->sozlukbClick();
    w->Tablei->moveTo(2); // a click into the grid
    EXPECT_EQ(headword(), QStringLiteral("book"));

    w->turbClick(); // Turkish-English: the fields now show tsozluk
    EXPECT_EQ(headword(), QStringLiteral("ağaç"));
    EXPECT_EQ(meaning(), QStringLiteral("tree"));
    w->Tablet->moveTo(1);
    EXPECT_EQ(headword(), QStringLiteral("akşam"));
    d.detail->sozlukbClick();
    EXPECT_EQ(headword(), QStringLiteral("ağaç"));
    EXPECT_EQ(d.detail->Label1->text(), QStringLiteral("Kelime"));
    EXPECT_EQ(d.detail->Label2->text(), QStringLiteral("Anlamı"));

    w->turbClick(); // back: the English-Turkish table reopens on its filter's first entry
    EXPECT_EQ(headword(), QStringLiteral("book"));
    w->Tablei->moveTo(2);
    EXPECT_EQ(headword(), QStringLiteral("bookshop"));
    EXPECT_EQ(meaning(), QStringLiteral("kitapçı"));
    EXPECT_TRUE(d.detail->isVisible()); // an open detail window stays open
}

TEST_F(Detail, IsCentredOnTheMainWindowAtItsFirstShowingOnly) {
    w->move(100, 80);
    w->resize(792, 566);
    w->sozlukbClick();
    const QPoint centre = w->frameGeometry().center();
    EXPECT_NEAR(d.detail->x() + 525 / 2, centre.x(), 2);
    EXPECT_NEAR(d.detail->y() + 300 / 2, centre.y(), 2);
    d.detail->hide();
    d.detail->move(20, 30);
    w->sozlukbClick();
    EXPECT_EQ(d.detail->pos(), QPoint(20, 30));
}

TEST(DetailWithoutDatabase, TheMoveFailsAndTheWindowStaysHidden) {
    test::DictionaryWindows d(false);
    try {
        d.window->sozlukbClick();
        ADD_FAILURE() << "a closed table cannot move";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Tablei: Cannot perform this operation on a closed dataset"));
    }
    EXPECT_FALSE(d.detail->isVisible());
}

} // namespace
} // namespace peltavo
