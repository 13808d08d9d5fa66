#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace peltavo {

namespace platform {
class Platform;
}

// Runs a window's creation handler. An error it raises (peltavo::Error or another
// std::exception) ends the handler there and is shown in the general error box; the window stays
// and the program goes on. Never throws.
void runCreationHandler(platform::Platform& platform, QWidget* window,
                        const std::function<void()>& handler);

// Runs an event handler connected to a signal. Qt does not let an exception pass through its own
// frames (the signal's activation, the widget's event function): they are left without running
// their destructors, so the event being delivered, its points and the activation's guards leak.
// So an error the handler raises (peltavo::Error or another std::exception) is caught here, before
// it reaches Qt, and handed to the reporter the application object installed, which shows it in
// the general error box just as the application's notify() would. Without a reporter (no
// application object of ours) the error passes on to the caller as before.
void runEventHandler(const std::function<void()>& handler);

// A slot for connect() that runs `handler` through runEventHandler.
template <typename Handler> auto guarded(Handler handler) {
    return [handler = std::move(handler)] { runEventHandler(handler); };
}

// Installs (or, with an empty function, removes) the reporter of runEventHandler.
void setEventHandlerErrorReporter(std::function<void(std::exception_ptr)> reporter);

// Shows an error in the general error box (caption "Peltavo", OK) over `parent`.
void showError(platform::Platform& platform, QWidget* parent, const QString& message);

} // namespace peltavo
