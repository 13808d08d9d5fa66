#include "accessibility.h"

#include <QAbstractButton>
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

} // namespace

void nameControlsForAccessibility(QWidget* window) {
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || hasCaption(widget) ||
            !widget->accessibleName().isEmpty())
            continue;
        widget->setAccessibleName(widget->toolTip().isEmpty() ? name : widget->toolTip());
    }
}

} // namespace peltavo::platform
