#pragma once

#include "dialogs.h"

#include <QString>

#include <memory>

namespace peltavo::platform {

// The operating-system services the windows use, behind one face so that tests can put doubles in
// their place. Later services (speech, the shell) join here.
class Platform {
public:
    virtual ~Platform() = default;

    virtual Dialogs& dialogs() = 0;
    // The folder of the running program's executable file, without a trailing separator.
    virtual QString programFolder() const = 0;
};

// The real services: Qt's dialogs and QCoreApplication::applicationDirPath().
class SystemPlatform : public Platform {
public:
    SystemPlatform();
    ~SystemPlatform() override;

    Dialogs& dialogs() override;
    QString programFolder() const override;

private:
    std::unique_ptr<Dialogs> dialogs_;
};

// Makes the Windows font names the windows ask for resolve to metric-compatible free fonts:
// "Arial" and "MS Sans Serif" to Liberation Sans. Call once after the application object exists.
void installFontSubstitutes();

} // namespace peltavo::platform
