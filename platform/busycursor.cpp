#include "busycursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace peltavo::platform {

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

} // namespace peltavo::platform
