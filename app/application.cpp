#include "application.h"

#include "accessibility.h"
#include "creation.h"
#include "error.h"
#include "platform.h"

namespace peltavo {

PeltavoApplication::PeltavoApplication(int& argc, char** argv, platform::Platform& platform)
    : QApplication(argc, argv), platform_(platform) {
    platform::installFontSubstitutes();
    platform::installWindowRoles();
}

bool PeltavoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error& error) {
        showError(platform_, activeWindow(), error.message());
    } catch (const std::exception& error) {
        showError(platform_, activeWindow(), QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace peltavo
