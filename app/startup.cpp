#include "startup.h"

#include "application.h"
#include "creation.h"
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "platform.h"
#include "programstate.h"
#include "tablehandle.h"
#include "tanaekr.h"
#include "tsorcevekr.h"
#include "tsozlukekr.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <QWindow>

namespace peltavo {

WindowSet::WindowSet() = default;
WindowSet::WindowSet(WindowSet&&) noexcept = default;
WindowSet& WindowSet::operator=(WindowSet&&) noexcept = default;
WindowSet::~WindowSet() = default;

WindowSet createWindowSet(ProgramState& state, platform::Platform& platform,
                          const std::function<void(Tanaekr&)>& meanwhile) {
    WindowSet windows;
    // The conversations are the first table the program reads, the main window's as it is
    // created, from the database beside the program when it is there. Their reader starts now and
    // works while the windows are built; the main window takes what it read (see
    // JetReader::readSoon()).
    const QString database = platform.programFolder() + QStringLiteral("/peltavo.MDB");
    if (QFileInfo(database).isFile())
        JetReader::readSoon(database, QStringLiteral("konus"));

    windows.anaekr = std::make_unique<Tanaekr>(state, platform);
    state.anaekr = windows.anaekr.get();
    // FormCreate() in its two steps, with `meanwhile` between them. An error of the first ends
    // the creation there, as it would end FormCreate(); the second then does nothing.
    runCreationHandler(platform, windows.anaekr.get(), [&] { windows.anaekr->beginFormCreate(); });
    if (meanwhile)
        meanwhile(*windows.anaekr);
    runCreationHandler(platform, windows.anaekr.get(), [&] { windows.anaekr->finishFormCreate(); });

    windows.sozlukekr = std::make_unique<Tsozlukekr>(state, windows.anaekr->dictionaryTables(),
                                                     windows.anaekr.get());
    state.sozlukekr = windows.sozlukekr.get();

    windows.sorcevekr = std::make_unique<Tsorcevekr>(state, platform);
    state.sorcevekr = windows.sorcevekr.get();
    runCreationHandler(platform, windows.sorcevekr.get(), [&] { windows.sorcevekr->FormCreate(); });

    return windows;
}

void paintFirstFrame(QWidget& window) {
    window.show();
    const QWindow* handle = window.windowHandle();
    if (handle && handle->isExposed()) {
        window.repaint();
        return;
    }
    QElapsedTimer waited;
    waited.start();
    QTimer wake; // bounds each wait below
    wake.start(20);
    // Qt paints the whole window and puts it on the screen as it handles the exposure.
    while (handle && !handle->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

bool restOfStartIsSilent(const Tanaekr& main, const platform::Platform& platform) {
    if (!main.Table->isOpen())
        return false; // the first step did not get as far as the conversation
    // The quiz window looks next to the program first, as the main window did.
    const QString path = platform.programFolder() + QStringLiteral("/peltavo.MDB");
    const QFileInfo file(path);
    if (!file.exists() || file.isDir())
        return false;
    try {
        if (!headerIsJet(readHeaderBytes(path)))
            return false;
        const QStringList tables = JetReader::tableNames(path);
        for (const char* wanted : {"isozluk", "tsozluk", "sorubos", "cevap"}) {
            if (!tables.contains(QLatin1String(wanted), Qt::CaseInsensitive))
                return false;
        }
    } catch (const Error&) {
        return false;
    }
    return true;
}

void giveWindowsTheProgramsIcon() {
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(programIcon());
}

WindowSet startWindows(ProgramState& state, platform::Platform& platform) {
    WindowSet windows = createWindowSet(state, platform, [&platform](Tanaekr& main) {
        if (!restOfStartIsSilent(main, platform))
            return;
        paintFirstFrame(main);
        giveWindowsTheProgramsIcon();
    });
    giveWindowsTheProgramsIcon();
    return windows;
}

int runProgram(ProgramState& state, platform::Platform& platform) {
    WindowSet windows = startWindows(state, platform);
    windows.anaekr->show();
    const int code = QApplication::exec();
    state.anaekr = nullptr;
    state.sozlukekr = nullptr;
    state.sorcevekr = nullptr;
    return code;
}

} // namespace peltavo
