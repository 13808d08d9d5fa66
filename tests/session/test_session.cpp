// Whole sessions over the windows: the database file is never written, and a long run keeps its
// memory.
#include "sessionsteps.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace peltavo::test {
namespace {

struct FileState {
    QByteArray digest;
    qint64 size = -1;
    QDateTime modified;
    QStringList folder;

    bool operator==(const FileState&) const = default;
};

FileState stateOf(const SessionWindows& w) {
    FileState s;
    QFile f(w.databasePath());
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    s.digest = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    const QFileInfo info(w.databasePath());
    s.size = info.size();
    s.modified = info.lastModified();
    s.folder =
        QDir(w.dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return s;
}

// Resident memory of this process, in KiB.
long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

TEST(Session, AWholeSessionLeavesTheDatabaseAsItWas) {
    SessionWindows w(fixture(QStringLiteral("peltavo-sample.mdb")));
    const FileState before = stateOf(w);
    ASSERT_EQ(before.folder, QStringList{QStringLiteral("peltavo.MDB")});
    std::vector<SessionStep> steps = sessionRound();
    steps.push_back(switchDirection());
    int pressed = 0;
    for (int round = 0; round < 3; ++round) {
        for (const SessionStep& step : steps) {
            press(w, step);
            ++pressed;
        }
    }
    EXPECT_EQ(pressed, 3 * static_cast<int>(steps.size()));
    // Something was read and shown: the session did reach the tables.
    EXPECT_TRUE(w.main->Tablei->isOpen());
    EXPECT_FALSE(w.main->prog->toPlainText().isEmpty());
    EXPECT_TRUE(stateOf(w) == before) << "the database or its folder changed";
}

// 100,000 handler calls on the bundled database, each followed by the delivery of the events it
// posted (press()). Resident memory is measured after a first round (caches, fonts, the tables
// read, the quiz window's web engine started), half way and at the end; it may grow by at most
// kGrowthKiB in all and by at most kSecondHalfKiB over the second half, where a leak of even
// 100 bytes a call would show as 5 MiB.
TEST(Soak, AHundredThousandPressesKeepTheirMemory) {
    constexpr int kCalls = 100000;
    constexpr long kGrowthKiB = 16 * 1024;
    constexpr long kSecondHalfKiB = 4 * 1024;
    // The direction switch reads the dictionaries again; a learner does it now and then.
    constexpr int kCallsPerSwitch = 2000;

    SessionWindows w(runtimeDir() + QStringLiteral("/peltavo.MDB"));
    const std::vector<SessionStep> round = sessionRound();
    const SessionStep switchStep = switchDirection();
    for (const SessionStep& step : round)
        press(w, step);
    press(w, switchStep);
    press(w, switchStep);
    const long start = residentKiB();

    int errors = 0;
    long middle = 0;
    for (int call = 0; call < kCalls; ++call) {
        if (call == kCalls / 2)
            middle = residentKiB();
        const bool isSwitch = call % kCallsPerSwitch == kCallsPerSwitch - 1;
        errors += press(w, isSwitch ? switchStep : round[static_cast<size_t>(call) % round.size()]);
    }
    const long end = residentKiB();
    std::printf("soak: %d handler calls (%d raised an error), resident memory %ld KiB at the "
                "start, %ld KiB half way, %ld KiB at the end, %+ld KiB (bound %ld KiB), "
                "%+ld KiB over the second half (bound %ld KiB)\n",
                kCalls, errors, start, middle, end, end - start, kGrowthKiB, end - middle,
                kSecondHalfKiB);
    RecordProperty("rss_start_kib", std::to_string(start));
    RecordProperty("rss_middle_kib", std::to_string(middle));
    RecordProperty("rss_end_kib", std::to_string(end));
    EXPECT_LE(end - start, kGrowthKiB);
    EXPECT_LE(end - middle, kSecondHalfKiB);
}

} // namespace
} // namespace peltavo::test
