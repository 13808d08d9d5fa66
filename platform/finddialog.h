#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace peltavo::platform {

// Where a window whose frame is `frame` goes so that it covers nothing of `area`, all of it on
// `screen` (global coordinates). A frame that covers nothing of `area` and lies on the screen
// stays where it is; otherwise it goes below, above, right or left of `area`, whichever of those
// that fit on the screen is nearest to where it was. When none fits, it goes where it covers the
// least of `area`.
QPoint placeClearOf(const QRect& frame, const QRect& area, const QRect& screen);

// A modeless find-text dialog ("Bul"): the text to find ("Aranan:"), "Yalnızca tam kelime",
// "Büyük/küçük harf duyarlı", the direction ("Yön": "Yukarı" or "Aşağı", down at first),
// "Sonrakini Bul" and "İptal". It holds the text between searches. "Sonrakini Bul" (or Enter)
// emits findNext() and leaves the dialog open; "İptal" or the close box only hides it. What a
// search does is up to whoever listens.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget* parent = nullptr);

    QString findText() const;
    void setFindText(const QString& text);
    bool matchCase() const;
    bool wholeWord() const;
    bool searchDown() const;

    // Shows the dialog without blocking, placed where it covers nothing of `keepClear` (global
    // coordinates; see placeClearOf()), or brings it to the front when it is open already.
    void execute(const QRect& keepClear = QRect());
    // When the open dialog covers any of `hit`, moves it off `area`, which holds the hit, or,
    // where the screen leaves no room for that, off the hit alone.
    void uncover(const QRect& hit, const QRect& area);

signals:
    void findNext();

private:
    void moveClearOf(const QRect& area, const QRect& fallback = QRect());

    bool placed_ = false; // shown before, at a place of its own

    QLineEdit* text_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
    QPushButton* cancel_;
};

} // namespace peltavo::platform
