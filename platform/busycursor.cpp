#include "busycursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace peltavo::platform {

BusyCursor::BusyCursor(Qt::CursorShape shape) {
    QGuiApplication::setOverrideCursor(shape);
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

} // namespace peltavo::platform
