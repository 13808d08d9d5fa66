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

QAccessibleInterface* windowInterface(const QString&, QObject* object) {
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
        // A window (the find dialog, say) is named by its caption, as the bus reports any window.
        if (hasCaption(widget) || !widget->accessibleName().isEmpty() ||
            (widget->isWindow() && !widget->windowTitle().isEmpty()))
            continue;
        widget->setAccessibleName(name);
    }
}

} // namespace peltavo::platform
