#include "dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace peltavo::platform {

Message errorMessage(const QString& text) {
    return Message{Message::Icon::Error, QStringLiteral("Peltavo"), text};
}

Message informationMessage(const QString& text) {
    return Message{Message::Icon::Information, QStringLiteral("Information"), text};
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    // A typed name of no file is handed on as typed, for the opening to say "File not found",
    // rather than refused with a box of the dialog's own; so the dialog takes any name, and it is
    // Qt's own dialog (a desktop's own file dialog takes only files that exist).
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void QtDialogs::showMessage(QWidget* parent, const Message& message) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (message.icon) {
    case Message::Icon::None:
        break;
    case Message::Icon::Information:
        icon = QMessageBox::Information;
        break;
    case Message::Icon::Error:
        icon = QMessageBox::Critical;
        break;
    }
    // The box takes the focus while it is open; afterwards it goes back where it was.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    QMessageBox box(icon, message.caption, message.text, QMessageBox::Ok, parent);
    // The program's boxes say "OK" on their button, whatever language Qt speaks.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
    if (focused) {
        focused->activateWindow();
        focused->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace peltavo::platform
