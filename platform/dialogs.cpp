#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace peltavo::platform {

Message errorMessage(const QString& text) {
    return Message{Message::Icon::Error, QStringLiteral("Peltavo"), text};
}

Message informationMessage(const QString& text) {
    return Message{Message::Icon::Information, QStringLiteral("Information"), text};
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
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
    QMessageBox box(icon, message.caption, message.text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace peltavo::platform
