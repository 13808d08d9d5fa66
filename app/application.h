#pragma once

#include <QApplication>

namespace peltavo {

namespace platform {
class Platform;
}

// The application object. An error that an event handler raises and does not catch
// (peltavo::Error or another std::exception) ends that handler; notify() shows its message in the
// general error box and the program goes on dispatching events.
class PeltavoApplication : public QApplication {
    Q_OBJECT

public:
    PeltavoApplication(int& argc, char** argv, platform::Platform& platform);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    platform::Platform& platform_;
};

} // namespace peltavo
