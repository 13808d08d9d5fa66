#pragma once

// What the benchmarks that drive the main window share: the window opened on the database under
// test as the program opens it at start, and a list of timings with its quantiles.
#include "application.h"
#include "programfolder.h"
#include "programstate.h"
#include "tanaekr.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace peltavo::bench {

// The main window, created and shown as at start, on the database linked into `folder`; the
// window's pending events are handled before the constructor returns.
struct MainWindowOn {
    MainWindowOn(int& argc, char** argv, const QTemporaryDir& folder)
        : platform(folder.path()), app(argc, argv, platform), window(state, platform) {
        state.anaekr = &window;
        window.FormCreate();
        window.show();
        QCoreApplication::processEvents();
    }

    // In the order they are made: the window after the application, and gone before it.
    FolderPlatform platform;
    PeltavoApplication app;
    ProgramState state;
    Tanaekr window;
};

// Timings in milliseconds.
class Timings {
public:
    void add(const QElapsedTimer& clock) { millis_.push_back(double(clock.nsecsElapsed()) / 1e6); }
    // The q-quantile (0.5 the median, 0.99 the 99th percentile); there must be a timing.
    double at(double q) {
        std::sort(millis_.begin(), millis_.end());
        return millis_[std::min(millis_.size() - 1, std::size_t(q * double(millis_.size())))];
    }
    std::size_t size() const { return millis_.size(); }

private:
    std::vector<double> millis_;
};

} // namespace peltavo::bench
