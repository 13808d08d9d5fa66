// Qt's own texts in the program's windows are Turkish (the application installs Qt's Turkish
// translations); the program's own texts stay as they are.
#include "dialogs.h"
#include "lineedit.h"
#include "memo.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace peltavo {
namespace {

// Qt's English texts that a learner could meet in the program's windows: the entries of the
// right-click menus of text boxes and memos, and the buttons and labels of its dialogs.
const QStringList kQtEnglish = {QStringLiteral("Undo"),
                                QStringLiteral("Redo"),
                                QStringLiteral("Cut"),
                                QStringLiteral("Copy"),
                                QStringLiteral("Paste"),
                                QStringLiteral("Delete"),
                                QStringLiteral("Select All"),
                                QStringLiteral("Copy Link Location"),
                                QStringLiteral("Open"),
                                QStringLiteral("Cancel"),
                                QStringLiteral("Look in:"),
                                QStringLiteral("File name:"),
                                QStringLiteral("Files of type:"),
                                QStringLiteral("Back"),
                                QStringLiteral("Forward"),
                                QStringLiteral("Parent Directory"),
                                QStringLiteral("Create New Folder"),
                                QStringLiteral("List View"),
                                QStringLiteral("Detail View")};

// A text as the learner reads it: without the mnemonic's ampersand and the shortcut after a tab.
QString shown(QString text) {
    text = text.section(u'\t', 0, 0);
    text.remove(u'&');
    return text.trimmed();
}

// Opens the right-click menu of `control` (the memo's through its viewport, as a click does) and
// gives the entries it lists, separators left out.
QStringList rightClickMenuOf(QWidget& control, QWidget& receiver) {
    control.setFocus();
    const QPoint at(10, 10);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, receiver.mapToGlobal(at));
    QApplication::sendEvent(&receiver, &click);
    // Qt pops the menu up and returns; it is there once the events have been handled.
    QMenu* menu = nullptr;
    for (int i = 0; i < 100 && !menu; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    EXPECT_NE(menu, nullptr) << control.objectName().toStdString();
    if (!menu)
        return {};
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            entries << shown(action->text());
    }
    menu->close();
    return entries;
}

struct MenuCase {
    const char* control;
    std::function<QWidget&(Tanaekr&)> receiver;
    QStringList entries;
};

TEST(QtInTurkish, TheRightClickMenusOfTheMemoAndTheSearchBoxListNoEnglishEntry) {
    test::MainWindowOnSample w;
    w->show();
    // Qt's Turkish, as it names the entries of an editable text box, and of a read-only box or
    // memo (the conversation memo, the sentence box).
    const QStringList editable = {QStringLiteral("Geri al"),   QStringLiteral("Yinele"),
                                  QStringLiteral("Kes"),       QStringLiteral("Kopyala"),
                                  QStringLiteral("Yapıştır"),  QStringLiteral("Sil"),
                                  QStringLiteral("Tümünü Seç")};
    const QStringList readOnly = {QStringLiteral("Kopyala"), QStringLiteral("Tümünü Seç")};
    const MenuCase cases[] = {
        {"prog", [](Tanaekr& t) -> QWidget& { return *t.prog->viewport(); }, readOnly},
        {"kullan", [](Tanaekr& t) -> QWidget& { return *t.kullan->viewport(); }, editable},
        {"ara", [](Tanaekr& t) -> QWidget& { return *t.ara; }, editable},
        {"cumle", [](Tanaekr& t) -> QWidget& { return *t.cumle; }, readOnly},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.control);
        QWidget& receiver = c.receiver(*w);
        QWidget* control = w->findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(control, nullptr);
        const QStringList entries = rightClickMenuOf(*control, receiver);
        EXPECT_EQ(entries, c.entries);
        for (const QString& entry : entries)
            EXPECT_FALSE(kQtEnglish.contains(entry)) << entry.toStdString();
    }
}

// Runs `inspect` on the modal dialog that `show` opens, then closes it.
void inspectModal(const std::function<void()>& show, const std::function<void(QDialog&)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        inspect(*dialog);
        dialog->reject();
    });
    show();
    EXPECT_TRUE(seen);
}

TEST(QtInTurkish, TheFileDialogSpeaksTurkish) {
    platform::QtDialogs dialogs;
    inspectModal([&] { dialogs.openFileName(nullptr, QStringLiteral("Access (*.mdb)")); },
                 [](QDialog& dialog) {
                     QStringList texts;
                     for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
                         texts << shown(button->text()) << shown(button->toolTip());
                     for (const QLabel* label : dialog.findChildren<QLabel*>())
                         texts << shown(label->text());
                     texts.removeAll(QString());
                     EXPECT_FALSE(texts.isEmpty());
                     for (const QString& text : texts)
                         EXPECT_FALSE(kQtEnglish.contains(text)) << text.toStdString();
                     EXPECT_TRUE(texts.contains(QStringLiteral("İptal")))
                         << texts.join(u'|').toStdString();
                 });
}

// The program's own boxes keep their texts, the English ones of the database opening included,
// and their button says "OK".
TEST(QtInTurkish, TheProgramsMessageBoxesKeepTheirTextsAndTheirOkButton) {
    const platform::Message messages[] = {
        platform::informationMessage(QStringLiteral("No Database Selected")),
        platform::informationMessage(QStringLiteral("Invalid Access Database")),
        platform::Message{platform::Message::Icon::None, QStringLiteral("Uyarı"),
                          QStringLiteral("Aranan kelime bulunamadı!")},
    };
    platform::QtDialogs dialogs;
    for (const platform::Message& message : messages) {
        SCOPED_TRACE(message.text.toStdString());
        inspectModal([&] { dialogs.showMessage(nullptr, message); },
                     [&](QDialog& dialog) {
                         auto& box = static_cast<QMessageBox&>(dialog);
                         EXPECT_EQ(box.windowTitle(), message.caption);
                         EXPECT_EQ(box.text(), message.text);
                         ASSERT_EQ(box.buttons().size(), 1);
                         EXPECT_EQ(box.buttons().front()->text(), QStringLiteral("OK"));
                     });
    }
    EXPECT_EQ(platform::informationMessage(QString()).caption, QStringLiteral("Information"));
}

} // namespace
} // namespace peltavo
