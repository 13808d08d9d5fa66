// Qt's own texts in the program's dialogs are Turkish (the application installs Qt's Turkish
// translations); the program's own texts stay as they are. The right-click menus are walked over
// the accessibility bus (tests/accessibility, Bus.QtTexts), as a screen reader meets them.
#include "dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace peltavo {
namespace {

// Qt's English texts of its file dialog: its buttons, their hints and its labels.
const QStringList kQtEnglish = {QStringLiteral("Open"),
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

// A text as the learner reads it: without the mnemonic's ampersand.
QString shown(QString text) {
    return text.remove(u'&').trimmed();
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
