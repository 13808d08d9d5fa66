#pragma once

#include "dialogs.h"
#include "speech.h"

#include <QString>

#include <memory>

namespace peltavo::platform {

// The operating-system services the windows use, behind one face so that tests can put doubles in
// their place.
class Platform {
public:
    virtual ~Platform() = default;

    virtual Dialogs& dialogs() = 0;
    // The folder of the running program's executable file, without a trailing separator.
    virtual QString programFolder() const = 0;
    // A new voice of the speech engine for one request; throws peltavo::Error when none can be
    // had. The caller releases it when the request ends.
    virtual std::unique_ptr<Voice> createVoice() = 0;
    // Opens the document at `path` in the viewer the desktop associates with it, without waiting
    // for the viewer. A missing file or viewer is not reported.
    virtual void openDocument(const QString& path) = 0;
    // The folder of the Hunspell spelling dictionaries (en_US and tr_TR, .aff and .dic) whose
    // stems a double-click looks up; Debian's by default.
    virtual QString spellingDictionaryFolder() const {
        return QStringLiteral("/usr/share/hunspell");
    }
};

// The real services: Qt's dialogs, QCoreApplication::applicationDirPath(), espeak-ng playing on
// the sound device, and QDesktopServices (xdg-open) for documents.
class SystemPlatform : public Platform {
public:
    SystemPlatform();
    ~SystemPlatform() override;

    Dialogs& dialogs() override;
    QString programFolder() const override;
    std::unique_ptr<Voice> createVoice() override;
    void openDocument(const QString& path) override;

private:
    std::unique_ptr<Dialogs> dialogs_;
};

// Makes the Windows font names the windows ask for resolve to metric-compatible free fonts:
// "Arial" and "MS Sans Serif" to Liberation Sans. Call once after the application object exists.
void installFontSubstitutes();

} // namespace peltavo::platform
