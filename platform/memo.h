#pragma once

#include "displaylines.h"

#include <QPlainTextEdit>

class QMenu;

#include <memory>
#include <optional>

namespace peltavo {
class DataSource;
class FieldLink;
} // namespace peltavo

namespace peltavo::platform {

// A multi-line text box that wraps long lines at its width and answers questions about its
// display lines. Positions count characters of text() from 0, a line break counting as one.
class Memo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit Memo(QWidget* parent = nullptr);
    ~Memo() override;

    QString text() const { return toPlainText(); }
    // Replaces the text and puts the caret at its start. The display lines of a long text are
    // laid out on a worker thread meanwhile, so that the first question about them (a click
    // into it) finds them ready.
    void setText(const QString& text);

    // The display lines as the memo lays them out at its present width and font. Computed from
    // the memo's geometry rather than from its viewport, so the answer holds while the memo is
    // hidden too. Waits for the worker's lines of the same text, width and font when they are
    // still being laid out; lays the text out here when there are none.
    const DisplayLines& displayLines() const;
    // The display line that holds `position`, as displayLines() has it. While the worker is
    // still laying out the text, only the paragraph that holds the position is laid out here.
    DisplayLine lineAt(int position) const;
    // The index of the display line that holds `position`, as displayLines() has it. While the
    // worker is still laying out the text, the index is counted when it is first read, from the
    // worker's lines, which then go on being laid out whatever the memo shows meanwhile.
    DisplayLineIndex lineIndexOf(int position) const;
    // The width in pixels at which lines wrap.
    qreal wrapWidth() const;

    int selectionStart() const;
    int selectionLength() const;
    // Selects `length` characters from `start`; a length of 0 just places the caret.
    void select(int start, int length);
    // Where the selection (or the caret) stands on the screen, in global coordinates: from the
    // line of its start to the line of its end.
    QRect selectionArea() const;

    // With `keep`, a double-click leaves the caret where its first click put it instead of
    // selecting the word (so that a word pick after it finds that word, not the one before).
    void setKeepCaretOnDoubleClick(bool keep) { keepCaretOnDoubleClick_ = keep; }

signals:
    // The left mouse button was pressed and released over the text area; the caret or selection
    // already stands where the mouse put it.
    void clicked();
    // The left mouse button was double-clicked over the text area. The first click of it has
    // been reported by clicked() already.
    void doubleClicked();
    // The right-click menu is about to be shown, with the standard entries in it, for the
    // pointer at text position `position` (the nearest place for a caret), or for the caret when
    // the menu key or Shift+F10 opened it: a receiver may add entries. The menu is destroyed once
    // it has closed.
    void contextMenuOpening(QMenu* menu, int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct LayoutKey {
        int revision;
        qreal width;
        QString font;
        bool operator==(const LayoutKey&) const = default;
    };
    LayoutKey currentKey() const;
    // The worker's lines when they are of the present text, width and font.
    std::shared_ptr<const PendingLines> pendingLines() const;
    // The same, only while the worker has not finished them.
    std::shared_ptr<const PendingLines> linesStillBeingLaidOut() const;
    void cancelLayout() const;

    mutable std::optional<LayoutKey> cachedKey_;
    mutable DisplayLines cachedLines_;
    // The lines being laid out on a worker thread, for the text, width and font of `layoutKey_`.
    mutable std::optional<LayoutKey> layoutKey_;
    mutable std::shared_ptr<const PendingLines> layout_;
    bool pressed_ = false;
    bool keepCaretOnDoubleClick_ = false;
};

// The text a memo given `text` hands back: its line breaks ("\r\n", a lone '\r', U+2028,
// U+2029) become '\n' and a no-break space a plain space, as the memo's document stores them.
// Without any of those the text comes back as it is.
QString shownText(const QString& text);
// Whether shownText(text) holds `needle`, without copying a text that needs no change.
bool shownTextHolds(QStringView text, QStringView needle);

// A read-only memo that shows one field of a table's current row and follows the row.
class DataMemo : public Memo {
    Q_OBJECT

public:
    explicit DataMemo(QWidget* parent = nullptr);
    ~DataMemo() override;

    // Shows `field` of the current row of `source`'s table; a null source or empty field shows
    // nothing.
    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const { return source_; }
    QString dataField() const;

private:
    FieldLink* link_;
    DataSource* source_ = nullptr;
};

} // namespace peltavo::platform
