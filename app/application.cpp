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
    // The handlers connected to signals catch their errors before Qt's frames; they are shown
    // here.
    setEventHandlerErrorReporter([this](std::exception_ptr error) { showUncaught(error); });
}

PeltavoApplication::~PeltavoApplication() {
    setEventHandlerErrorReporter({});
}

bool PeltavoApplication::notify(QObject* receiver, QEvent* event) {
    // The last stop for an error that an event function of ours lets out; the handlers
    // connected to signals (guarded()) never get here.
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error&) {
        showUncaught(std::current_exception());
    } catch (const std::exception&) {
        showUncaught(std::current_exception());
    }
    return false;
}

void PeltavoApplication::showUncaught(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        showError(platform_, activeWindow(), e.message());
    } catch (const std::exception& e) {
        showError(platform_, activeWindow(), QString::fromLocal8Bit(e.what()));
    }
}

} // namespace peltavo
