#include "accessibility.h"

#include "memo.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>

#include <algorithm>

namespace peltavo::platform {

namespace {

constexpr const char* kWindowProperty = "peltavoWindow";

// A caption as a screen reader reads it: the mnemonic marks taken out ("&&" stays one "&").
QString withoutMnemonics(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 == caption.size())
                break;
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

bool isOwnName(const QString& objectName) {
    return !objectName.isEmpty() && !objectName.startsWith(QLatin1String("qt_"));
}

// A push button or a label, named by what it shows at the moment it is asked, or by its object
// name while it shows nothing. Captions change while the program runs (the quiz's answer
// buttons and sentence labels get new ones with every question), so the name is never stored.
class CaptionedControl : public QAccessibleWidget {
public:
    CaptionedControl(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        if (!widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        QString caption = this->caption();
        if (caption.isEmpty() && isOwnName(widget()->objectName()))
            caption = widget()->objectName();
        return caption.isEmpty() ? QAccessibleWidget::text(kind) : caption;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (const auto* button = qobject_cast<const QPushButton*>(widget())) {
            state.pressed = button->isDown();
            state.defaultButton = button->isDefault();
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (button() && widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && button() && widget()->isEnabled())
            button()->animateClick();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }

    QString caption() const {
        if (const QAbstractButton* b = button())
            return withoutMnemonics(b->text());
        const auto* label = qobject_cast<const QLabel*>(widget());
        QString text = label->text();
        if (label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument document;
            document.setHtml(text);
            text = document.toPlainText();
        }
        return text;
    }
};

// A memo's text as a screen reader and a magnifier reach it. Qt's own interface for a plain text
// edit places every character of a wrapped paragraph at the height of the paragraph's first line
// (and scrolls by lines where it means pixels), so a magnifier that follows the caret looks at the
// wrong line; this one asks the memo where each character stands on the screen.
class MemoText : public QAccessibleWidget,
                 public QAccessibleTextInterface,
                 public QAccessibleEditableTextInterface {
public:
    explicit MemoText(Memo* memo) : QAccessibleWidget(memo, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface && !memo()->isReadOnly())
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectableText = true;
        state.multiLine = true;
        state.readOnly = memo()->isReadOnly();
        state.editable = !memo()->isReadOnly();
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? memo()->toPlainText() : QAccessibleWidget::text(kind);
    }

    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind != QAccessible::Value)
            QAccessibleWidget::setText(kind, text);
        else if (!memo()->isReadOnly())
            memo()->setPlainText(text);
    }

    // The selection and the caret.
    void selection(int index, int* start, int* end) const override {
        const QTextCursor cursor = memo()->textCursor();
        const bool there = index == 0 && cursor.hasSelection();
        *start = there ? cursor.selectionStart() : 0;
        *end = there ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return memo()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0)
            setCursorPosition(cursorPosition());
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0)
            memo()->setTextCursor(range(start, end));
    }
    int cursorPosition() const override { return memo()->textCursor().position(); }
    void setCursorPosition(int position) override {
        memo()->setTextCursor(range(position, position));
    }

    // The text.
    QString text(int start, int end) const override {
        return range(start, end).selectedText().replace(QChar::ParagraphSeparator, u'\n');
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        const int before =
            QAccessible::qAccessibleTextBoundaryHelper(range(offset, offset), boundary).first;
        return textAround(before - 1, boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        const int after =
            QAccessible::qAccessibleTextBoundaryHelper(range(offset, offset), boundary).second;
        return textAround(after, boundary, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        return textAround(offset, boundary, start, end);
    }
    int characterCount() const override { return memo()->document()->characterCount() - 1; }

    // Where a character stands: on its own display line, from where the caret stands before it.
    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= characterCount())
            return {};
        const QRect before = memo()->cursorRect(range(offset, offset));
        const QRect after = memo()->cursorRect(range(offset + 1, offset + 1));
        const QChar character = memo()->document()->characterAt(offset);
        const int width = after.top() == before.top() && after.left() > before.left()
                              ? after.left() - before.left()
                              : memo()->fontMetrics().horizontalAdvance(character);
        const QRect area(before.left(), before.top(), std::max(width, 1), before.height());
        return QRect(memo()->viewport()->mapToGlobal(area.topLeft()), area.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint inside = memo()->viewport()->mapFromGlobal(point);
        if (!memo()->viewport()->rect().contains(inside))
            return -1;
        return memo()->cursorForPosition(inside).position();
    }
    void scrollToSubstring(int, int) override {} // the memo keeps its caret; nothing moves
    QString attributes(int offset, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        if (offset < -2 || offset > *end) {
            *start = *end = -1;
            return {};
        }
        const QFont font = memo()->font();
        return QStringLiteral("font-family:\"%1\";font-size:%2px;font-weight:%3;")
            .arg(font.family())
            .arg(font.pixelSize())
            .arg(font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"));
    }

    // Editing, for the memo that may be typed into.
    void deleteText(int start, int end) override { range(start, end).removeSelectedText(); }
    void insertText(int offset, const QString& text) override {
        range(offset, offset).insertText(text);
    }
    void replaceText(int start, int end, const QString& text) override {
        range(start, end).insertText(text);
    }

private:
    Memo* memo() const { return static_cast<Memo*>(widget()); }

    // A cursor over [start, end) of the text, both kept within it.
    QTextCursor range(int start, int end) const {
        QTextCursor cursor(memo()->document());
        const int last = characterCount();
        cursor.setPosition(std::clamp(start, 0, last));
        cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
        return cursor;
    }

    QString textAround(int offset, QAccessible::TextBoundaryType boundary, int* start,
                       int* end) const {
        const auto [from, to] =
            QAccessible::qAccessibleTextBoundaryHelper(range(offset, offset), boundary);
        *start = from;
        *end = to;
        return text(from, to);
    }
};

// Qt asks every factory about every object that gets an accessibility interface, once for each
// class name of the object's class and its bases, the web engine's own Qt Quick items too. Those
// classes are compiled, like Chromium, without run-time type information: a call on such an
// object through QObject (even qobject_cast or isWidgetType()) is reported by
// UndefinedBehaviorSanitizer's dynamic type check as a call on an object of the wrong type. So
// the class name that Qt passes decides before the object is touched: a class of ours, in
// namespace peltavo, may be one of our windows; the exact classes QPushButton and QLabel are
// captioned controls.
QAccessibleInterface* peltavoInterface(const QString& className, QObject* object) {
    if (className.startsWith(QLatin1String("peltavo::"))) {
        if (auto* memo = qobject_cast<Memo*>(object))
            return new MemoText(memo);
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget && widget->isWindow() && widget->property(kWindowProperty).toBool())
            return new QAccessibleWidget(widget, QAccessible::Window);
        return nullptr;
    }
    // Check boxes, radio buttons and Qt's other buttons keep Qt's own interfaces.
    if (className == QLatin1String("QPushButton")) {
        auto* button = static_cast<QPushButton*>(object);
        return button->isCheckable() ? nullptr : new CaptionedControl(button, QAccessible::Button);
    }
    if (className == QLatin1String("QLabel")) {
        auto* label = static_cast<QLabel*>(object);
        return label->buddy() ? nullptr : new CaptionedControl(label, QAccessible::StaticText);
    }
    return nullptr;
}

} // namespace

void installWindowRoles() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(peltavoInterface);
}

void nameControlsForAccessibility(QWidget* window) {
    window->setProperty(kWindowProperty, true);
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QString name = widget->objectName();
        if (!isOwnName(name))
            continue;
        if (!widget->toolTip().isEmpty() && widget->accessibleDescription().isEmpty())
            widget->setAccessibleDescription(widget->toolTip());
        // Buttons and labels name themselves by their caption of the moment; a window by its
        // caption, as the bus reports any window.
        if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget) ||
            !widget->accessibleName().isEmpty() ||
            (widget->isWindow() && !widget->windowTitle().isEmpty()))
            continue;
        widget->setAccessibleName(name);
    }
}

} // namespace peltavo::platform
