#pragma once

#include <memory>

namespace peltavo {

class Tanaekr;
class Tsozlukekr;
class Tsorcevekr;
struct ProgramState;

namespace platform {
class Platform;
}

// The program's three windows, owned for the whole run.
struct WindowSet {
    WindowSet();
    WindowSet(WindowSet&&) noexcept;
    WindowSet& operator=(WindowSet&&) noexcept;
    ~WindowSet();

    std::unique_ptr<Tanaekr> anaekr;
    std::unique_ptr<Tsozlukekr> sozlukekr;
    std::unique_ptr<Tsorcevekr> sorcevekr;
};

// Builds the windows in their fixed order, all hidden: the main window, whose creation handler
// opens the database and sets DirectionMode; the detail window; the quiz window, whose creation
// handler opens the database once more. An error in a creation handler is shown in the general
// error box and the window is kept. Records the windows in `state`. Needs the application object.
WindowSet createWindowSet(ProgramState& state, platform::Platform& platform);

// Builds the windows, shows the main window and runs the event loop until the main window is
// closed; gives the loop's exit code.
int runProgram(ProgramState& state, platform::Platform& platform);

} // namespace peltavo
