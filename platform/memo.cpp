#include "memo.h"

#include "datasource.h"
#include "fieldlink.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>

namespace peltavo::platform {

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves the focus on, as in any other control; a memo is no keyboard trap.
    setTabChangesFocus(true);
}

void Memo::setText(const QString& text) {
    setPlainText(text);
}

qreal Memo::wrapWidth() const {
    int width = contentsRect().width();
    const QMargins margins = viewportMargins();
    width -= margins.left() + margins.right();
    const bool barShown = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
                          (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
                           verticalScrollBar()->isVisibleTo(this));
    if (barShown)
        width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    return width - 2 * document()->documentMargin();
}

const DisplayLines& Memo::displayLines() const {
    const LayoutKey key{document()->revision(), wrapWidth(), document()->defaultFont().key()};
    if (cachedKey_ != key) {
        cachedLines_ = DisplayLines(toPlainText(), document()->defaultFont(), key.width,
                                    document()->defaultTextOption());
        cachedKey_ = key;
    }
    return cachedLines_;
}

int Memo::selectionStart() const {
    return textCursor().selectionStart();
}

int Memo::selectionLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void Memo::select(int start, int length) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void Memo::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QPlainTextEdit::mousePressEvent(event);
}

void Memo::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       viewport()->rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

DataMemo::DataMemo(QWidget* parent) : Memo(parent), link_(new FieldLink(this)) {
    setReadOnly(true);
    // Read-only, yet the caret shows and moves, so a click can pick the word under it.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    connect(link_, &FieldLink::textChanged, this, &DataMemo::setText);
}

DataMemo::~DataMemo() = default;

void DataMemo::bind(DataSource* source, const QString& field) {
    source_ = source;
    link_->bind(source ? source->dataSet() : nullptr, field);
}

QString DataMemo::dataField() const {
    return link_->field();
}

} // namespace peltavo::platform
