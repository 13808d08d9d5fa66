#pragma once

#include <functional>
#include <memory>

class QWidget;

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
//
// `meanwhile`, when given, runs before the main window's dictionaries are read: after the first
// step of its creation (the conversation open), before the second (see
// Tanaekr::beginFormCreate). No handler may run in it; it is there to show the window early.
WindowSet createWindowSet(ProgramState& state, platform::Platform& platform,
                          const std::function<void(Tanaekr&)>& meanwhile = {});

// Shows `window` and paints it now, before the event loop runs: waits (at most half a second) for
// the window system to expose it, handling no input meanwhile (input that arrives waits for the
// event loop); handling the exposure paints the window and puts the frame on the screen. A window
// already exposed is painted at once.
void paintFirstFrame(QWidget& window);

// Builds the windows, showing and painting the main window as soon as it has its conversation
// (paintFirstFrame), and runs the event loop until the main window is closed; gives the loop's
// exit code.
int runProgram(ProgramState& state, platform::Platform& platform);

} // namespace peltavo
