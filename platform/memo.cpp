#include "memo.h"

#include "datasource.h"
#include "fieldlink.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>

#include <algorithm>
#include <chrono>
#include <future>

namespace peltavo::platform {

namespace {

// Texts from this many characters on are laid out on a worker thread as soon as they are shown;
// shorter ones take well under a millisecond when first asked about.
constexpr int kLayOutMeanwhile = 4096;

// The characters the memo's document does not keep as they are.
bool changedInMemo(QChar c) {
    switch (c.unicode()) {
    case u'\r':
    case 0x00a0:
    case 0x2028:
    case 0x2029:
    case 0xfdd0:
    case 0xfdd1:
        return true;
    default:
        return false;
    }
}

bool needsChange(QStringView text) {
    return std::any_of(text.begin(), text.end(), changedInMemo);
}

} // namespace

QString shownText(const QString& text) {
    if (!needsChange(text))
        return text;
    QString shown(text.size(), Qt::Uninitialized);
    QChar* out = shown.data();
    const QChar* in = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (!changedInMemo(c))
            *out++ = c;
        else if (c.unicode() == 0x00a0)
            *out++ = u' ';
        else if (c != u'\r' || i + 1 >= n || in[i + 1] != u'\n')
            *out++ = u'\n'; // "\r\n" is one break: its '\n' follows
    }
    shown.truncate(out - shown.constData());
    return shown;
}

bool shownTextHolds(QStringView text, QStringView needle) {
    // The memo's text never holds the characters it changes.
    if (needsChange(needle))
        return false;
    // They all become a line break or a space; a needle with neither matches the stored text
    // exactly where it matches the shown one.
    const bool mayMeetChanged = needle.contains(u'\n') || needle.contains(u' ');
    if (!mayMeetChanged || !needsChange(text))
        return text.contains(needle);
    return shownText(text.toString()).contains(needle);
}

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves the focus on, as in any other control; a memo is no keyboard trap.
    setTabChangesFocus(true);
}

Memo::~Memo() {
    cancelLayout();
}

void Memo::setText(const QString& text) {
    cancelLayout();
    setPlainText(text);
    const LayoutKey key = currentKey();
    if (cachedKey_ == key || document()->characterCount() < kLayOutMeanwhile)
        return;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    layoutKey_ = key;
    // The worker gets a font of its own: copies of a QFont share one private part, whose engine
    // cache each thread would otherwise reset under the other's feet.
    QFont font;
    font.fromString(document()->defaultFont().toString());
    std::shared_future<DisplayLines> lines =
        std::async(std::launch::async, [text = toPlainText(), font = std::move(font),
                                        option = document()->defaultTextOption(), width = key.width,
                                        stop] {
            return DisplayLines(text, font, width, option, stop.get());
        }).share();
    layout_ = std::make_shared<const PendingLines>(std::move(stop), std::move(lines));
}

void Memo::cancelLayout() const {
    // Lines that a line index still counts from go on being laid out; others stop here.
    layout_.reset();
    layoutKey_.reset();
}

std::shared_ptr<const PendingLines> Memo::pendingLines() const {
    if (!layout_ || layoutKey_ != currentKey())
        return nullptr;
    return layout_;
}

Memo::LayoutKey Memo::currentKey() const {
    return LayoutKey{document()->revision(), wrapWidth(), document()->defaultFont().key()};
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
    const LayoutKey key = currentKey();
    if (cachedKey_ != key) {
        if (const auto pending = pendingLines()) {
            cachedLines_ = pending->lines.get();
            cancelLayout(); // done: the lines are kept here now
        } else {
            cachedLines_ = DisplayLines(toPlainText(), document()->defaultFont(), key.width,
                                        document()->defaultTextOption());
        }
        cachedKey_ = key;
    }
    return cachedLines_;
}

std::shared_ptr<const PendingLines> Memo::linesStillBeingLaidOut() const {
    auto pending = pendingLines();
    if (pending && pending->lines.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        return nullptr;
    return pending;
}

DisplayLine Memo::lineAt(int position) const {
    if (!linesStillBeingLaidOut()) {
        const DisplayLines& lines = displayLines();
        const int line = lines.lineOfPosition(position);
        return DisplayLine{lines.lineStart(line), lines.lineText(line)};
    }
    return DisplayLine::holding(toPlainText(), position, document()->defaultFont(), wrapWidth(),
                                document()->defaultTextOption());
}

DisplayLineIndex Memo::lineIndexOf(int position) const {
    if (auto pending = linesStillBeingLaidOut())
        return DisplayLineIndex(std::move(pending), position);
    return displayLines().lineOfPosition(position);
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

QRect Memo::selectionArea() const {
    QTextCursor start = textCursor();
    QTextCursor end = start;
    start.setPosition(start.selectionStart());
    end.setPosition(end.selectionEnd());
    const QRect area = cursorRect(start).united(cursorRect(end));
    return QRect(viewport()->mapToGlobal(area.topLeft()), area.size());
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

void Memo::mouseDoubleClickEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton &&
                      viewport()->rect().contains(event->position().toPoint());
    if (left && keepCaretOnDoubleClick_)
        event->accept();
    else
        QPlainTextEdit::mouseDoubleClickEvent(event);
    if (left)
        emit doubleClicked();
}

void Memo::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The mouse opens it at the pointer (the event's place is in the text area's coordinates),
    // the menu key at the caret.
    const bool mouse = event->reason() == QContextMenuEvent::Mouse;
    const int position =
        mouse ? cursorForPosition(event->pos()).position() : textCursor().position();
    emit contextMenuOpening(menu.get(), position);
    menu->exec(mouse ? event->globalPos() : viewport()->mapToGlobal(cursorRect().center()));
}

void Memo::keyPressEvent(QKeyEvent* event) {
    // Shift+F10 opens the right-click menu, as the menu key does: not every keyboard has one.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint at = cursorRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        contextMenuEvent(&menu);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
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
