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

// Whether the rest of the start-up, once the main window has opened its conversation, can be told
// beforehand to show nothing: the quiz window will find the database next to the program with no
// dialog, its header passes, and the file holds the tables both windows still have to open. Only
// then may the main window be shown early: whatever the openings show comes before it.
bool restOfStartIsSilent(const Tanaekr& main, const platform::Platform& platform);

// Gives every window of the program its icon (programIcon()), unless they have it. Reading the
// pictures takes a few milliseconds (Qt looks for image plugins first), which the first frame does
// not wait for.
void giveWindowsTheProgramsIcon();

// Builds the windows as the program does (createWindowSet), showing and painting the main window
// as soon as it has its conversation when the rest of the start is silent (restOfStartIsSilent);
// otherwise every window is built, and all the openings have said what they have to say, before
// the main window is shown. The windows get their icon once the first frame is on the screen.
WindowSet startWindows(ProgramState& state, platform::Platform& platform);

// Builds the windows (startWindows), shows the main window and runs the event loop until the main
// window is closed; gives the loop's exit code.
int runProgram(ProgramState& state, platform::Platform& platform);

} // namespace peltavo
