// The double-click into the conversation and the right-click menu's entry that does the same:
// the word is picked as a click picks it, then its base form is searched for in the dictionary
// of the direction in force.
#include "dictionarygridmodel.h"
#include "lineedit.h"
#include "memo.h"
#include "qtprint.h"
#include "tablehandle.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace peltavo {
namespace {

using test::MainWindowOnSample;

class DoubleClick : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(w->Table->isOpen());
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    }
    void TearDown() override { w->hide(); }

    // Where in `prog` the pointer stands over character `offset` of the first `word`.
    QPoint pointAt(const QString& word, int offset = 2) {
        QTextCursor cursor(w->prog->document());
        cursor.setPosition(w->prog->text().indexOf(word) + offset);
        return w->prog->cursorRect(cursor).center();
    }
    void doubleClickOn(const QString& word, int offset = 2) {
        const QPoint point = pointAt(word, offset);
        QTest::mouseClick(w->prog->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(w->prog->viewport(), Qt::LeftButton, {}, point);
    }
    QString firstRow() { return w->sozlukModel->data(w->sozlukModel->index(0, 0)).toString(); }

    MainWindowOnSample w;
};

TEST_F(DoubleClick, PicksTheWordThenListsTheDictionaryFromItsBaseForm) {
    // "I am very well. Where are you going?": the fourth line of the first conversation.
    ASSERT_EQ(w.platform.spellingFolderAsked, 0);
    QTest::mouseClick(w->prog->viewport(), Qt::LeftButton, {}, pointAt(QStringLiteral("going")));
    EXPECT_EQ(w->ara->text(), QStringLiteral("goin")) << "a single click picks as ever";
    EXPECT_EQ(w.platform.spellingFolderAsked, 0) << "a click reads no spelling dictionary";

    QTest::mouseDClick(w->prog->viewport(), Qt::LeftButton, {}, pointAt(QStringLiteral("going")));
    EXPECT_EQ(w->ara->text(), QStringLiteral("go"));
    EXPECT_EQ(firstRow(), QStringLiteral("go"));
    // As after "Sözlükte Ara": the entry after the first is the current one.
    EXPECT_EQ(w->Tablei->currentIndex(), 1);
    EXPECT_FALSE(w->cumleb->isHidden());
    EXPECT_EQ(w.state.CaretLine, 3);
    // The caret stays where the click put it, inside the word, so that a later pick (the sentence
    // button's) finds this word again.
    EXPECT_EQ(w->prog->selectionLength(), 0);
    EXPECT_EQ(w->prog->selectionStart(), w->prog->text().indexOf(QStringLiteral("going")) + 2);
    EXPECT_EQ(w.platform.spellingFolderAsked, 1);
    EXPECT_TRUE(w.platform.fakeDialogs.log.isEmpty());
}

TEST_F(DoubleClick, FindsTheTurkishStemInTheTurkishEnglishDirection) {
    w->turbClick();
    // "Bir kitabı geri vermek için kütüphaneye gidiyorum."
    doubleClickOn(QStringLiteral("kütüphaneye"));
    EXPECT_EQ(w->ara->text(), QStringLiteral("kütüphane"));
    EXPECT_EQ(firstRow(), QStringLiteral("kütüphane"));
    doubleClickOn(QStringLiteral("Bir"), 1);
    EXPECT_EQ(w->ara->text(), QStringLiteral("Bir ")) << "no headword: the click's front half";
    EXPECT_EQ(w.platform.spellingFolderAsked, 1) << "one set of stemmers for the window's life";
}

TEST(DoubleClickWithoutStems, FallsBackOnTheFrontHalfAndSaysNothing) {
    test::ProgramFolder folder;
    test::FakePlatform platform;
    platform.folder = folder.path();
    platform.spellingFolder = QStringLiteral("/nonexistent");
    ProgramState state;
    Tanaekr window(state, platform);
    window.FormCreate();
    // "I am going to the library to return a book."
    window.prog->select(window.prog->text().indexOf(QStringLiteral("going to")) + 2, 0);
    window.progDblClick();
    EXPECT_EQ(window.ara->text(), QStringLiteral("goin"));
    EXPECT_TRUE(platform.fakeDialogs.log.isEmpty());
}

TEST(DoubleClickWithoutDatabase, FailsAsTheSearchButtonDoesAndOffersNoMenuEntry) {
    MainWindowOnSample w(false);
    w.platform.fakeDialogs.log.clear();
    w->prog->setPlainText(QStringLiteral("Where are you going?"));
    w->prog->select(15, 0);
    EXPECT_THROW(w->progDblClick(), Error);
    EXPECT_EQ(w->ara->text(), QStringLiteral("goin")) << "the pick comes first";
    QMenu menu;
    w->progContextMenu(&menu, 15);
    EXPECT_TRUE(menu.actions().isEmpty());
    EXPECT_EQ(w.platform.spellingFolderAsked, 0);
}

// Opens a menu with `open` and reads its entries from inside the menu's own loop ("—" for a
// separator; the accessible name of the first goes to `name`), then chooses the first entry.
QStringList menuShownBy(const std::function<void()>& open, QString* name) {
    QStringList entries;
    // Were no menu shown, the timer dies with this function instead of firing later.
    QObject scope;
    QTimer::singleShot(50, &scope, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("—") : action->text());
        if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu)) {
            if (QAccessibleInterface* first = face->child(0))
                *name = first->text(QAccessible::Name);
        }
        menu->close();
        menu->actions().at(0)->trigger();
    });
    open();
    return entries;
}

TEST_F(DoubleClick, TheRightClickMenuNamesTheBaseFormAndItsEntryDoesWhatADoubleClickDoes) {
    const int going = w->prog->text().indexOf(QStringLiteral("going"));
    QString name;
    const QStringList entries = menuShownBy(
        [&] {
            const QPoint point = pointAt(QStringLiteral("going"), 0); // at the word's start
            QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                    w->prog->viewport()->mapToGlobal(point));
            QApplication::sendEvent(w->prog->viewport(), &event);
        },
        &name);
    ASSERT_GE(entries.size(), 3) << "beside the standard entries";
    EXPECT_EQ(entries[0], QStringLiteral("«go» sözlükte ara"));
    EXPECT_EQ(entries[1], QStringLiteral("—"));
    EXPECT_EQ(name, entries[0]);
    EXPECT_EQ(w->ara->text(), QStringLiteral("go"));
    EXPECT_EQ(firstRow(), QStringLiteral("go"));
    EXPECT_EQ(w.state.CaretLine, 3);
    EXPECT_EQ(w->prog->selectionStart(), going + 1) << "the caret goes into the word";

    // Over nothing but blanks there is no word to offer.
    w->prog->setPlainText(QStringLiteral("a      b"));
    QMenu empty;
    w->progContextMenu(&empty, 4);
    EXPECT_TRUE(empty.actions().isEmpty());
}

TEST_F(DoubleClick, ShiftF10OpensTheMenuForTheWordAtTheCaret) {
    w->prog->setFocus();
    w->prog->select(w->prog->text().indexOf(QStringLiteral("library")) + 3, 0);
    QString name;
    const QStringList entries =
        menuShownBy([&] { QTest::keyClick(w->prog, Qt::Key_F10, Qt::ShiftModifier); }, &name);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries[0], QStringLiteral("«library» sözlükte ara"));
}

} // namespace
} // namespace peltavo
