#pragma once

#include <QApplication>

#include <exception>

class QIcon;

namespace peltavo {

namespace platform {
class Platform;
}

// The program's icon (packaging/peltavo.svg) at the sizes a window's icon is drawn at, 16 to 128.
QIcon programIcon();

// The application object. An error that an event handler raises and does not catch
// (peltavo::Error or another std::exception) ends that handler; its message is shown in the
// general error box and the program goes on dispatching events. A handler connected to a signal
// is run through runEventHandler (creation.h), which stops the error before Qt's frames and hands
// it here.
class PeltavoApplication : public QApplication {
    Q_OBJECT

public:
    // Of the command line only the program's name, argv[0], is used.
    PeltavoApplication(int argc, char** argv, platform::Platform& platform);
    ~PeltavoApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    // Shows `error` (a peltavo::Error or another std::exception) in the general error box over
    // the active window; any other exception passes on.
    void showUncaught(std::exception_ptr error);

    platform::Platform& platform_;
};

} // namespace peltavo
