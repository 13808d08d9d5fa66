#include "startup.h"

#include "creation.h"
#include "programstate.h"
#include "tanaekr.h"
#include "tsorcevekr.h"
#include "tsozlukekr.h"

#include <QApplication>

namespace peltavo {

WindowSet::WindowSet() = default;
WindowSet::WindowSet(WindowSet&&) noexcept = default;
WindowSet& WindowSet::operator=(WindowSet&&) noexcept = default;
WindowSet::~WindowSet() = default;

WindowSet createWindowSet(ProgramState& state, platform::Platform& platform) {
    WindowSet windows;

    windows.anaekr = std::make_unique<Tanaekr>(state, platform);
    state.anaekr = windows.anaekr.get();
    runCreationHandler(platform, windows.anaekr.get(), [&] { windows.anaekr->FormCreate(); });

    windows.sozlukekr = std::make_unique<Tsozlukekr>(state, windows.anaekr->dictionaryTables(),
                                                     windows.anaekr.get());
    state.sozlukekr = windows.sozlukekr.get();

    windows.sorcevekr = std::make_unique<Tsorcevekr>(state, platform);
    state.sorcevekr = windows.sorcevekr.get();
    runCreationHandler(platform, windows.sorcevekr.get(), [&] { windows.sorcevekr->FormCreate(); });

    return windows;
}

int runProgram(ProgramState& state, platform::Platform& platform) {
    WindowSet windows = createWindowSet(state, platform);
    windows.anaekr->show();
    const int code = QApplication::exec();
    state.anaekr = nullptr;
    state.sozlukekr = nullptr;
    state.sorcevekr = nullptr;
    return code;
}

} // namespace peltavo
