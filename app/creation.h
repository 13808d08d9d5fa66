#pragma once

#include <QString>

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

// Shows an error in the general error box (caption "Peltavo", OK) over `parent`.
void showError(platform::Platform& platform, QWidget* parent, const QString& message);

} // namespace peltavo
