#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace peltavo::quiz {

// The quiz window's browser pane as the window sees it. The pane and the web engine behind it
// live in a module of their own, peltavo-notes.so, loaded the first time the pane is needed, so
// that the program's start neither loads nor initialises the web engine.
class NotesBrowser {
public:
    virtual ~NotesBrowser() = default;

    // The pane itself; its parent owns it.
    virtual QWidget* widget() = 0;
    // Loads the page found at the file path `path`, or shows the browser's error page.
    virtual void navigate(const QString& path) = 0;
    // `done` runs each time a load has ended: with true when the page was loaded, false when the
    // browser shows its error page instead.
    virtual void whenLoaded(std::function<void(bool ok)> done) = 0;
};

// The module's entry point: makes a pane as a child of `parent`.
using CreateNotesBrowser = NotesBrowser* (*)(QWidget* parent);
inline constexpr char kCreateNotesBrowserSymbol[] = "peltavo_create_notes_browser";

// Loads the module (next to the executable, else in the folder given below) and makes a pane.
// Throws peltavo::Error when the module cannot be loaded.
NotesBrowser* createNotesBrowser(QWidget* parent);

// A further folder to look for the module in, for programs that do not run beside it (the tests
// and benchmarks of the build tree). The program itself only looks beside its executable.
void setNotesModuleFolder(const QString& folder);

} // namespace peltavo::quiz
