#include "platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFont>
#include <QUrl>

namespace peltavo::platform {

SystemPlatform::SystemPlatform() : dialogs_(std::make_unique<QtDialogs>()) {}

SystemPlatform::~SystemPlatform() = default;

Dialogs& SystemPlatform::dialogs() {
    return *dialogs_;
}

QString SystemPlatform::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

std::unique_ptr<Voice> SystemPlatform::createVoice() {
    return std::make_unique<EspeakVoice>(EspeakVoice::Output::Audio);
}

void SystemPlatform::openDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void installFontSubstitutes() {
    const QString liberation = QStringLiteral("Liberation Sans");
    QFont::insertSubstitution(QStringLiteral("Arial"), liberation);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), liberation);
}

} // namespace peltavo::platform
