#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace peltavo::platform {

// A modeless find-text dialog: the text to find, "Match whole word only", "Match case", the
// direction (up or down, down at first), "Find Next" and "Cancel". It holds the text between
// searches. "Find Next" (or Enter) emits findNext() and leaves the dialog open; "Cancel" or the
// close box only hides it. What a search does is up to whoever listens.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget* parent = nullptr);

    QString findText() const;
    void setFindText(const QString& text);
    bool matchCase() const;
    bool wholeWord() const;
    bool searchDown() const;

    // Shows the dialog without blocking, or brings it to the front when it is open already.
    void execute();

signals:
    void findNext();

private:
    QLineEdit* text_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
    QPushButton* cancel_;
};

} // namespace peltavo::platform
