#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace peltavo::platform {

namespace {

bool hasCaption(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return !button->text().isEmpty();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return !label->text().isEmpty();
    return false;
}

constexpr const char* kWindowProperty = "peltavoWindow";

// Qt asks every factory about every object that gets an accessibility interface, once for each
// class name of the object's class and its bases, the web engine's own Qt Quick items too. Those
// classes are compiled, like Chromium, without run-time type information: a call on such an
// object through QObject (even qobject_cast or isWidgetType()) is reported by
// UndefinedBehaviorSanitizer's dynamic type check as a call on an object of the wrong type. The
// class name that Qt passes tells our windows apart without touching the object: only a class of
// ours, in namespace peltavo, is looked at further.
QAccessibleInterface* windowInterface(const QString& className, QObject* object) {
    if (!className.startsWith(QLatin1String("peltavo::")))
        return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow() || !widget->property(kWindowProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void installWindowRoles() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(windowInterface);
}

void nameControlsForAccessibility(QWidget* window) {
    window->setProperty(kWindowProperty, true);
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        if (!widget->toolTip().isEmpty() && widget->accessibleDescription().isEmpty())
            widget->setAccessibleDescription(widget->toolTip());
        if (hasCaption(widget) || !widget->accessibleName().isEmpty())
            continue;
        widget->setAccessibleName(name);
    }
}

} // namespace peltavo::platform
