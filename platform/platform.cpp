#include "platform.h"

#include <QCoreApplication>
#include <QFont>

namespace peltavo::platform {

SystemPlatform::SystemPlatform() : dialogs_(std::make_unique<QtDialogs>()) {}

SystemPlatform::~SystemPlatform() = default;

Dialogs& SystemPlatform::dialogs() {
    return *dialogs_;
}

QString SystemPlatform::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

void installFontSubstitutes() {
    const QString liberation = QStringLiteral("Liberation Sans");
    QFont::insertSubstitution(QStringLiteral("Arial"), liberation);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), liberation);
}

} // namespace peltavo::platform
