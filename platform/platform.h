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
    // The program's voice, made on the first call: nothing of speech is loaded or connected at
    // start. Kept until endSpeech().
    virtual Speaker& speaker() = 0;
    // Silences and releases the voice, if there is one; the application calls it as it ends,
    // while Qt still runs.
    virtual void endSpeech() = 0;
    // Opens the document at `path` in the viewer the desktop associates with it, without waiting
    // for the viewer. A missing file or viewer is not reported.
    virtual void openDocument(const QString& path) = 0;
    // The folder of the Hunspell spelling dictionaries (en_US and tr_TR, .aff and .dic) whose
    // stems a double-click looks up; Debian's by default.
    virtual QString spellingDictionaryFolder() const {
        return QStringLiteral("/usr/share/hunspell");
    }
};

// The real services: Qt's dialogs, QCoreApplication::applicationDirPath(), the desktop's speech
// service (or espeak-ng where it has none), and QDesktopServices (xdg-open) for documents.
class SystemPlatform : public Platform {
public:
    SystemPlatform();
    ~SystemPlatform() override;

    Dialogs& dialogs() override;
    QString programFolder() const override;
    Speaker& speaker() override;
    void endSpeech() override;
    void openDocument(const QString& path) override;

private:
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<Speaker> speaker_;
};

// Makes Qt draw its own texts (the file dialog, the right-click menus of the text boxes, memos
// and grid, the buttons of its dialogs) in Turkish, from the translations Qt ships
// (qtbase_tr.qm in Qt's translations folder); the program's own texts are its own. Call once
// after the application object exists; the translation lives as long as it. Gives false when Qt's
// Turkish is not installed, and Qt then speaks English.
bool installQtTurkish();

// Makes the Windows font names the windows ask for resolve to metric-compatible free fonts:
// "Arial" and "MS Sans Serif" to Liberation Sans. Call once after the application object exists.
void installFontSubstitutes();

} // namespace peltavo::platform
