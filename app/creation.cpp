#include "creation.h"

#include "error.h"
#include "platform.h"

namespace peltavo {

void runCreationHandler(platform::Platform& platform, QWidget* window,
                        const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Error& error) {
        showError(platform, window, error.message());
    } catch (const std::exception& error) {
        showError(platform, window, QString::fromLocal8Bit(error.what()));
    }
}

namespace {

std::function<void(std::exception_ptr)>& eventHandlerErrorReporter() {
    static std::function<void(std::exception_ptr)> reporter;
    return reporter;
}

} // namespace

void setEventHandlerErrorReporter(std::function<void(std::exception_ptr)> reporter) {
    eventHandlerErrorReporter() = std::move(reporter);
}

void runEventHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        const auto& reporter = eventHandlerErrorReporter();
        if (!reporter)
            throw;
        reporter(std::current_exception());
    }
}

void showError(platform::Platform& platform, QWidget* parent, const QString& message) {
    platform.dialogs().showMessage(parent, platform::errorMessage(message));
}

} // namespace peltavo
