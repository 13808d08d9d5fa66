#include "application.h"

#include "accessibility.h"
#include "creation.h"
#include "error.h"
#include "platform.h"

#include <QIcon>

#include <utility>

// The icon's pictures lie in a library of their own (packaging/); registered by name.
static void registerIconPictures() {
    static bool registered = false;
    if (!std::exchange(registered, true))
        Q_INIT_RESOURCE(peltavo_icon);
}

namespace peltavo {

QIcon programIcon() {
    registerIconPictures();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/peltavo/icons/%1x%1/peltavo.png").arg(size),
                     QSize(size, size));
    return icon;
}

namespace {

// What QApplication is given of the command line: the program's name and nothing more. Qt takes
// options of its own from there (-reverse, -style, -stylesheet, -platform and others), which would
// change the program; it takes no arguments.
struct NameOnly {
    int argc = 1;
    char* argv[2] = {nullptr, nullptr};
};

NameOnly& nameOnly(int argc, char** argv) {
    static char fallback[] = "peltavo";
    static NameOnly arguments;
    arguments.argv[0] = argc > 0 && argv[0] ? argv[0] : fallback;
    return arguments;
}

} // namespace

PeltavoApplication::PeltavoApplication(int argc, char** argv, platform::Platform& platform)
    : QApplication(nameOnly(argc, argv).argc, nameOnly(argc, argv).argv), platform_(platform) {
    platform::installQtTurkish();
    platform::installFontSubstitutes();
    platform::installWindowRoles();
    // The handlers connected to signals catch their errors before Qt's frames; they are shown
    // here.
    setEventHandlerErrorReporter([this](std::exception_ptr error) { showUncaught(error); });
}

PeltavoApplication::~PeltavoApplication() {
    // The voice's connection to the speech service is a Qt object: released while Qt runs.
    platform_.endSpeech();
    setEventHandlerErrorReporter({});
}

bool PeltavoApplication::notify(QObject* receiver, QEvent* event) {
    // The last stop for an error that an event function of ours lets out; the handlers
    // connected to signals (guarded()) never get here.
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error&) {
        showUncaught(std::current_exception());
    } catch (const std::exception&) {
        showUncaught(std::current_exception());
    }
    return false;
}

void PeltavoApplication::showUncaught(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        showError(platform_, activeWindow(), e.message());
    } catch (const std::exception& e) {
        showError(platform_, activeWindow(), QString::fromLocal8Bit(e.what()));
    }
}

} // namespace peltavo
