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

void showError(platform::Platform& platform, QWidget* parent, const QString& message) {
    platform.dialogs().showMessage(parent, platform::errorMessage(message));
}

} // namespace peltavo
