#pragma once

#include <Qt>

namespace peltavo::platform {

// Shows the busy cursor over the program's windows for as long as it lives: for work on the main
// thread that keeps the event loop from running, such as reading the dictionaries once the main
// window is on the screen. The cursor is sent to the window system at once, since nothing else
// would send it before the work ends. Needs the application object.
class BusyCursor {
public:
    // Qt::BusyCursor (the arrow with the hourglass) instead says that work goes on while the
    // program still answers.
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace peltavo::platform
