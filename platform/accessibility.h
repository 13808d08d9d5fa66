#pragma once

class QWidget;

namespace peltavo::platform {

// Gives every named control of `window` (its named descendants; Qt's own inner parts, named
// "qt_...", left out) an accessible name, its caption when it has one, else its object name, and
// its hint (tooltip), where it has one, as its description. Push buttons and labels are named
// when a screen reader asks, by their caption of that moment (see installWindowRoles()); the
// others get their object name set once.
void nameControlsForAccessibility(QWidget* window);

// Makes the windows given to nameControlsForAccessibility() report themselves to screen readers as
// windows (a frame, named by its caption) rather than as a plain panel, and every push button and
// label report its caption of the moment as its name, or its object name while it shows none.
// Call once after the application object exists, before any window is built.
void installWindowRoles();

} // namespace peltavo::platform
