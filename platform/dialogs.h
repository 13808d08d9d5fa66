#pragma once

#include <QString>

class QWidget;

namespace peltavo::platform {

// What a message box looks like: its icon, caption and text; it always has a single OK button.
struct Message {
    enum class Icon { None, Information, Error };
    Icon icon = Icon::None;
    QString caption;
    QString text;

    friend bool operator==(const Message&, const Message&) = default;
};

// The general error box: the error's message under the caption "Peltavo".
Message errorMessage(const QString& text);
// An information box under the caption "Information".
Message informationMessage(const QString& text);

// The modal dialogs the program shows. Both calls block until the user has closed the dialog.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A file-open dialog whose one filter entry is `filter` in Qt's form, "label (pattern)". Gives
    // the chosen file's absolute path, or an empty string when the user cancels. The user may type
    // the name of a file that does not exist; that path is given as typed.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;

    // A modal message box with a single OK button.
    virtual void showMessage(QWidget* parent, const Message& message) = 0;
};

// The dialogs of Qt Widgets: QFileDialog and QMessageBox.
class QtDialogs : public Dialogs {
public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    void showMessage(QWidget* parent, const Message& message) override;
};

} // namespace peltavo::platform
