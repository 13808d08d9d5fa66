#include "platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
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

Speaker& SystemPlatform::speaker() {
    if (!speaker_)
        speaker_ = std::make_unique<Speaker>(std::make_unique<SystemSpeechEngines>());
    return *speaker_;
}

void SystemPlatform::endSpeech() {
    speaker_.reset();
}

void SystemPlatform::openDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool installQtTurkish() {
    auto turkish = std::make_unique<QTranslator>();
    if (!turkish->load(QLocale(QLocale::Turkish, QLocale::Turkey), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    turkish->setParent(QCoreApplication::instance()); // released with the application
    QCoreApplication::installTranslator(turkish.release());
    return true;
}

void installFontSubstitutes() {
    const QString liberation = QStringLiteral("Liberation Sans");
    QFont::insertSubstitution(QStringLiteral("Arial"), liberation);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), liberation);
}

} // namespace peltavo::platform
