#include "dictionarygridmodel.h"
#include "directorylist.h"
#include "error.h"
#include "jetreader.h"
#include "jetwriter.h"
#include "memo.h"
#include "startup.h"
#include "tablehandle.h"
#include "tsorcevekr.h"
#include "tsozlukekr.h"
#include "windowfixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using test::FakePlatform;
using test::ProgramFolder;

const QString kOpenDialog = QStringLiteral("open MS Access DB (peltavo.MDB)");
const QString kNoDatabase = QStringLiteral("Information: No Database Selected");
const QString kInvalid = QStringLiteral("Information: Invalid Access Database");

struct Started {
    explicit Started(bool withDatabase = true) : folder(withDatabase) {
        platform.folder = folder.path();
    }
    void start() { windows = createWindowSet(state, platform); }
    QStringList dialogs() const { return platform.fakeDialogs.log; }

    ProgramFolder folder;
    FakePlatform platform;
    ProgramState state;
    WindowSet windows;
};

void expectMainTablesOpen(const Tanaekr& w, bool open) {
    EXPECT_EQ(w.Table->isOpen(), open);
    EXPECT_EQ(w.Tablei->isOpen(), open);
    EXPECT_EQ(w.Tablet->isOpen(), open);
}

void expectQuizTablesOpen(const Tsorcevekr& w, bool open) {
    EXPECT_EQ(w.ADO->isOpen(), open);
    EXPECT_EQ(w.ADOCEV->isOpen(), open);
}

void expectNothingBound(const Tanaekr& w) {
    EXPECT_TRUE(w.prog->text().isEmpty());
    EXPECT_TRUE(w.kullandb->text().isEmpty());
    EXPECT_TRUE(w.prog->dataField().isEmpty());
    EXPECT_EQ(w.sozlukModel->rowCount(), 0);
    EXPECT_EQ(w.sozluk->horizontalHeader()->sectionSize(0), 100);
    EXPECT_EQ(w.sozluk->horizontalHeader()->sectionSize(1), 285);
}

TEST(StartUp, WithTheDatabaseNextToTheProgramNoDialogIsShown) {
    Started s;
    s.start();
    EXPECT_TRUE(s.dialogs().isEmpty());
    EXPECT_EQ(s.state.DirectionMode, QStringLiteral("it"));
    EXPECT_EQ(s.state.CaretLine, 0);
    const Tanaekr& main = *s.windows.anaekr;
    expectMainTablesOpen(main, true);
    expectQuizTablesOpen(*s.windows.sorcevekr, true);

    // The main window opens on the first conversation, bound as the layout says.
    EXPECT_EQ(main.Table->currentIndex(), 0);
    EXPECT_TRUE(main.prog->text().startsWith(QStringLiteral("Good morning, Ali.")));
    EXPECT_TRUE(main.kullandb->text().startsWith(QStringLiteral("Günaydın, Ali.")));
    EXPECT_EQ(main.sozlukModel->columnField(0), QStringLiteral("ikelime"));
    EXPECT_EQ(main.sozlukModel->columnField(1), QStringLiteral("tanlam"));
    EXPECT_EQ(main.sozlukModel->rowCount(), main.Tablei->recordCount());
    EXPECT_EQ(main.sozluk->horizontalHeader()->sectionSize(0), 150);
    EXPECT_EQ(main.sozluk->horizontalHeader()->sectionSize(1), 270);
    EXPECT_EQ(main.Tablei->sortField(), QStringLiteral("ikelime"));
    EXPECT_EQ(main.Tablet->sortField(), QStringLiteral("tkelime"));
}

TEST(StartUp, WindowsAreBuiltInOrderHiddenAndRecorded) {
    Started s;
    s.start();
    EXPECT_EQ(s.state.anaekr, s.windows.anaekr.get());
    EXPECT_EQ(s.state.sozlukekr, s.windows.sozlukekr.get());
    EXPECT_EQ(s.state.sorcevekr, s.windows.sorcevekr.get());
    EXPECT_EQ(s.windows.anaekr->objectName(), QStringLiteral("anaekr"));
    EXPECT_EQ(s.windows.sozlukekr->objectName(), QStringLiteral("sozlukekr"));
    EXPECT_EQ(s.windows.sorcevekr->objectName(), QStringLiteral("sorcevekr"));
    EXPECT_FALSE(s.windows.anaekr->isVisible());
    EXPECT_FALSE(s.windows.sozlukekr->isVisible());
    EXPECT_FALSE(s.windows.sorcevekr->isVisible());
}

TEST(StartUp, ConnectionStringsDifferOnlyInThePassword) {
    Started s;
    s.start();
    const QString path = s.folder.filePath(QStringLiteral("peltavo.MDB"));
    const QString start =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
        QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=");
    EXPECT_EQ(s.windows.anaekr->connectionString(), start + QStringLiteral("947"));
    EXPECT_EQ(s.windows.sorcevekr->connectionString(), start);
}

TEST(StartUp, MissingDatabaseAsksTwiceAndCancellingTwiceSaysSoTwice) {
    Started s(false);
    s.start();
    EXPECT_EQ(s.dialogs(), (QStringList{kOpenDialog, kNoDatabase, kOpenDialog, kNoDatabase}));
    EXPECT_EQ(s.state.DirectionMode, QStringLiteral("it"));
    expectMainTablesOpen(*s.windows.anaekr, false);
    expectQuizTablesOpen(*s.windows.sorcevekr, false);
    expectNothingBound(*s.windows.anaekr);
}

TEST(StartUp, PickingTheFileForOneWindowOnlyOpensThatWindowsTables) {
    Started s(false);
    s.platform.fakeDialogs.fileAnswers = {QString(),
                                          test::fixture(QStringLiteral("peltavo-sample.mdb"))};
    s.start();
    EXPECT_EQ(s.dialogs(), (QStringList{kOpenDialog, kNoDatabase, kOpenDialog}));
    expectMainTablesOpen(*s.windows.anaekr, false);
    expectQuizTablesOpen(*s.windows.sorcevekr, true);
    EXPECT_EQ(s.state.DirectionMode, QStringLiteral("it"));
}

TEST(StartUp, AnInvalidDatabaseIsReportedForEachWindow) {
    Started s(false);
    QFile file(s.folder.filePath(QStringLiteral("peltavo.MDB")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x00\x01\x00\x00Standard ACE DB", 19));
    file.close();
    s.start();
    EXPECT_EQ(s.dialogs(), (QStringList{kInvalid, kInvalid}));
    EXPECT_EQ(s.state.DirectionMode, QStringLiteral("it"));
    expectMainTablesOpen(*s.windows.anaekr, false);
    expectQuizTablesOpen(*s.windows.sorcevekr, false);
    expectNothingBound(*s.windows.anaekr);
}

TEST(StartUp, AnErrorAtTheHeaderTestIsShownAndLeavesTheDirectionEmpty) {
    Started s(false);
    const QString missing = s.folder.filePath(QStringLiteral("gone/peltavo.MDB"));
    s.platform.fakeDialogs.fileAnswers = {missing, missing};
    s.start();
    EXPECT_EQ(s.dialogs(), (QStringList{kOpenDialog, QStringLiteral("Peltavo: File not found"),
                                        kOpenDialog, QStringLiteral("Peltavo: File not found")}));
    EXPECT_EQ(s.platform.fakeDialogs.messages.at(1).icon, platform::Message::Icon::Error);
    EXPECT_TRUE(s.state.DirectionMode.isEmpty());
    ASSERT_TRUE(s.windows.anaekr && s.windows.sozlukekr && s.windows.sorcevekr);
    expectMainTablesOpen(*s.windows.anaekr, false);
    expectNothingBound(*s.windows.anaekr);
}

TEST(StartUp, AProviderErrorLeavesEarlierTablesOpenAndMakesNoBinding) {
    // A Jet file that has none of the learning database's tables: the first table fails.
    Started s(false);
    ASSERT_TRUE(QFile::copy(test::fixture(QStringLiteral("access/testV2000.mdb")),
                            s.folder.filePath(QStringLiteral("peltavo.MDB"))));
    s.start();
    ASSERT_EQ(s.dialogs().size(), 2);
    EXPECT_TRUE(s.dialogs()[0].startsWith(QStringLiteral("Peltavo: ")))
        << s.dialogs()[0].toStdString();
    EXPECT_TRUE(s.state.DirectionMode.isEmpty());
    expectMainTablesOpen(*s.windows.anaekr, false);
    expectNothingBound(*s.windows.anaekr);
}

TEST(StartUp, AFailingTablePartWayLeavesTheTablesBeforeItOpen) {
    // A learning database without the Turkish-English dictionary: the third table fails.
    Started s(false);
    const QString sample = test::fixture(QStringLiteral("peltavo-sample.mdb"));
    std::vector<TableData> tables;
    for (const QString& name : {QStringLiteral("konus"), QStringLiteral("isozluk"),
                                QStringLiteral("sorubos"), QStringLiteral("cevap")})
        tables.push_back(JetReader::readTable(sample, name));
    writeJet4Database(s.folder.filePath(QStringLiteral("peltavo.MDB")), tables);
    s.start();

    ASSERT_EQ(s.dialogs().size(), 1);
    EXPECT_TRUE(s.dialogs()[0].startsWith(QStringLiteral("Peltavo: ")));
    EXPECT_TRUE(s.state.DirectionMode.isEmpty());
    const Tanaekr& main = *s.windows.anaekr;
    EXPECT_TRUE(main.Table->isOpen());
    EXPECT_TRUE(main.Tablei->isOpen());
    EXPECT_FALSE(main.Tablet->isOpen());
    expectNothingBound(main);
    // The quiz window's tables are all there.
    expectQuizTablesOpen(*s.windows.sorcevekr, true);
}

TEST(StartUp, ClosingTheMainWindowEndsTheProgramTheOthersOnlyHide) {
    Started s;
    s.start();
    s.windows.anaekr->show();
    s.windows.sozlukekr->show();
    s.windows.sorcevekr->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s.windows.sorcevekr.get()));

    bool timedOut = false;
    bool othersStayed = false;
    QTimer::singleShot(0, [&] {
        // The other two only hide and leave the program running; then the main window is closed
        // while the quiz window is visible again.
        s.windows.sozlukekr->close();
        s.windows.sorcevekr->close();
        othersStayed = s.windows.sozlukekr->isHidden() && s.windows.sorcevekr->isHidden();
        s.windows.sorcevekr->show();
        QTimer::singleShot(50, [&] { s.windows.anaekr->close(); });
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    guard.start(5000);
    QApplication::exec();
    EXPECT_TRUE(othersStayed);
    EXPECT_FALSE(timedOut) << "closing the main window did not end the event loop";
    s.windows.sorcevekr->hide();
}

TEST(StartUp, TheQuizWindowKeepsTheFolderCurrentWhenItWasBuilt) {
    Started s;
    s.start();
    EXPECT_EQ(s.windows.sorcevekr->dl->directory(), QDir::currentPath());
    EXPECT_TRUE(s.windows.sorcevekr->dl->isHidden());
}

} // namespace
} // namespace peltavo
