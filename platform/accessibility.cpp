#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QWidget>

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
