#include "childtest.h"
#include "dialogs.h"
#include "dictionarygridmodel.h"
#include "directorylist.h"
#include "error.h"
#include "finddialog.h"
#include "jetpatch.h"
#include "jetreader.h"
#include "jetwriter.h"
#include "memo.h"
#include "startup.h"
#include "tablehandle.h"
#include "tsorcevekr.h"
#include "tsozlukekr.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

namespace peltavo {
namespace {

using namespace Qt::StringLiterals;

using test::FakePlatform;
using test::ProgramFolder;

const QString kOpenDialog = QStringLiteral("open MS Access DB (peltavo.MDB)");
const QString kNoDatabase = QStringLiteral("Information: No Database Selected");
const QString kInvalid = QStringLiteral("Information: Invalid Access Database");

// Counts the paints of the widget it watches.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

struct Started {
    explicit Started(bool withDatabase = true) : folder(withDatabase) {
        platform.folder = folder.path();
    }
    void start(const std::function<void(Tanaekr&)>& meanwhile = {}) {
        windows = createWindowSet(state, platform, meanwhile);
    }
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

// Writes the named tables of the sample database as the program's database.
void writeSampleTables(const Started& s, const QStringList& names) {
    std::vector<TableData> tables;
    for (const QString& name : names)
        tables.push_back(JetReader::readTable(test::fixture(u"peltavo-sample.mdb"_s), name));
    writeJet4Database(s.folder.filePath(u"peltavo.MDB"_s), tables);
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

// A learning database next to the program that the user may not read: the header test cannot
// open the file and raises the file routines' error, which the creation step of each window shows
// as "File access denied"; nothing is opened.
//
// Root opens every file whatever its mode, so as root the check runs in a child: a copy of this
// test program, started by setpriv with the rights of the user nobody (group nogroup, no other
// groups), runs this same test on a folder that the parent laid out, whose peltavo.MDB belongs
// to root with mode 000. The copy lies in that folder, so that nobody can reach it wherever the
// build tree is. As any other user the file is made unreadable (mode 000) in place.
constexpr const char* kUnreadableFolderVariable = "PELTAVO_TEST_UNREADABLE_FOLDER";
const char* const kUnreadableTest =
    "StartUp.AnUnreadableDatabaseIsReportedAsAccessDeniedForEachWindow";

void expectAccessDenied(const QString& programFolder) {
    const QString database = programFolder + QStringLiteral("/peltavo.MDB");
    ASSERT_TRUE(QFileInfo::exists(database));
    ASSERT_FALSE(QFile(database).open(QIODevice::ReadOnly)) << "the database can still be read";
    FakePlatform platform;
    platform.folder = programFolder;
    ProgramState state;
    const WindowSet windows = createWindowSet(state, platform);
    const QString denied = QStringLiteral("Peltavo: File access denied");
    EXPECT_EQ(platform.fakeDialogs.log, (QStringList{denied, denied}));
    ASSERT_EQ(platform.fakeDialogs.messages.size(), 2u);
    EXPECT_EQ(platform.fakeDialogs.messages[0].icon, platform::Message::Icon::Error);
    EXPECT_TRUE(state.DirectionMode.isEmpty());
    ASSERT_TRUE(windows.anaekr && windows.sozlukekr && windows.sorcevekr);
    expectMainTablesOpen(*windows.anaekr, false);
    expectNothingBound(*windows.anaekr);
    expectQuizTablesOpen(*windows.sorcevekr, false);
}

TEST(StartUp, AnUnreadableDatabaseIsReportedAsAccessDeniedForEachWindow) {
    const QByteArray given = qgetenv(kUnreadableFolderVariable);
    if (!given.isEmpty()) { // the child started below
        ASSERT_NE(::geteuid(), 0u);
        expectAccessDenied(QString::fromLocal8Bit(given));
        return;
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString database = folder.filePath(QStringLiteral("peltavo.MDB"));
    ASSERT_TRUE(QFile::copy(test::fixture(QStringLiteral("peltavo-sample.mdb")), database));
    ASSERT_TRUE(QFile::setPermissions(database, QFileDevice::Permissions()));
    if (::geteuid() != 0) {
        expectAccessDenied(folder.path());
        return;
    }

    const QString program = folder.filePath(QStringLiteral("test_program"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/proc/self/exe"), program));
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                          QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(program, everyone));
    ASSERT_TRUE(QFile::setPermissions(folder.path(), everyone));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kUnreadableFolderVariable), folder.path());
    // Nothing of root's own folders is used by nobody.
    environment.insert(QStringLiteral("HOME"), folder.path());
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                 QStringLiteral("--clear-groups"), QStringLiteral("--"), program,
                 QStringLiteral("--gtest_filter=") + QString::fromLatin1(kUnreadableTest)});
    ASSERT_TRUE(child.waitForStarted(10000)) << child.errorString().toStdString();
    ASSERT_TRUE(child.waitForFinished(120000)) << "the child did not end";
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    // The test did run there (a filter that matches nothing passes too).
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test."))) << output.toStdString();
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
    // The busy cursor of the dictionaries' read is gone before the message, and stays gone.
    EXPECT_EQ(s.platform.fakeDialogs.shownUnderBusyCursor, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(s.state.DirectionMode.isEmpty());
    const Tanaekr& main = *s.windows.anaekr;
    EXPECT_TRUE(main.Table->isOpen());
    EXPECT_TRUE(main.Tablei->isOpen());
    EXPECT_FALSE(main.Tablet->isOpen());
    expectNothingBound(main);
    // The quiz window's tables are all there.
    expectQuizTablesOpen(*s.windows.sorcevekr, true);
}

// The program shows and paints the main window between the two steps of its creation. At that
// moment it shows the conversation and nothing has been said yet; once the dictionaries are open
// (or have failed) everything stands as after a creation in one step, messages included.
TEST(StartUp, TheMainWindowIsPaintedBeforeTheDictionariesOpenAndEndsAsIfNot) {
    const QString sample = test::fixture(QStringLiteral("peltavo-sample.mdb"));
    struct Case {
        const char* name;
        QStringList tables; // written to the program's database; empty: the sample itself
        bool shownMeanwhile;
    };
    const Case cases[] = {
        {"sound", {}, true},
        {"no Turkish-English dictionary",
         {QStringLiteral("konus"), QStringLiteral("isozluk"), QStringLiteral("sorubos"),
          QStringLiteral("cevap")},
         true},
        {"no conversations", {QStringLiteral("isozluk"), QStringLiteral("tsozluk")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto prepare = [&](Started& s) {
            if (!c.tables.isEmpty())
                return writeSampleTables(s, c.tables);
            ASSERT_TRUE(QFile::copy(sample, s.folder.filePath(QStringLiteral("peltavo.MDB"))));
        };
        Started inOneStep(false);
        prepare(inOneStep);
        inOneStep.start();

        Started early(false);
        prepare(early);
        bool ran = false;
        early.start([&](Tanaekr& main) {
            ran = true;
            EXPECT_EQ(!main.prog->text().isEmpty(), c.shownMeanwhile);
            EXPECT_FALSE(main.Tablei->isOpen());
            EXPECT_TRUE(early.dialogs().isEmpty() || !c.shownMeanwhile);
            EXPECT_TRUE(early.state.DirectionMode.isEmpty());
            PaintCount count;
            main.installEventFilter(&count);
            paintFirstFrame(main);
            main.removeEventFilter(&count);
            EXPECT_TRUE(main.isVisible());
            EXPECT_EQ(count.paints, 1) << "painted once, before the dictionaries are read";
        });
        EXPECT_TRUE(ran);
        auto said = [](const Started& s) {
            return s.dialogs().replaceInStrings(s.folder.path(), QStringLiteral("FOLDER"));
        };
        EXPECT_EQ(said(early), said(inOneStep));
        EXPECT_EQ(early.state.DirectionMode, inOneStep.state.DirectionMode);
        const Tanaekr& a = *early.windows.anaekr;
        const Tanaekr& b = *inOneStep.windows.anaekr;
        EXPECT_EQ(a.prog->text(), b.prog->text());
        EXPECT_EQ(a.kullandb->text(), b.kullandb->text());
        EXPECT_EQ(a.prog->dataField(), b.prog->dataField());
        EXPECT_EQ(a.sozlukModel->rowCount(), b.sozlukModel->rowCount());
        EXPECT_EQ(a.Tablei->isOpen(), b.Tablei->isOpen());
        EXPECT_EQ(a.Tablet->isOpen(), b.Tablet->isOpen());
        EXPECT_EQ(a.sozluk->horizontalHeader()->sectionSize(0),
                  b.sozluk->horizontalHeader()->sectionSize(0));
    }
}

// Whatever the two database openings show comes before the main window is shown; the main window
// is shown early, before the dictionaries are read, only when nothing will be.
TEST(StartUp, EverythingTheOpeningsShowComesBeforeTheMainWindow) {
    const struct {
        const char* tables; // of the sample, written as peltavo.MDB; "": no file; "-": not Jet
        int said;
    } cases[] = {{"konus isozluk tsozluk sorubos cevap", 0},
                 {"", 4},
                 {"-", 2},
                 {"konus isozluk tsozluk", 1},
                 {"konus isozluk sorubos cevap", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tables);
        Started s(false);
        QFile file(s.folder.filePath(QStringLiteral("peltavo.MDB")));
        if (qstrcmp(c.tables, "-") == 0 && file.open(QIODevice::WriteOnly))
            file.write(QByteArray("\x00\x01\x00\x00Standard ACE DB", 19));
        else if (*c.tables)
            writeSampleTables(s, QString::fromLatin1(c.tables).split(u' '));
        int overTheWindow = 0;
        s.platform.fakeDialogs.whenShown = [&] {
            overTheWindow += s.state.anaekr && s.state.anaekr->isVisible();
        };
        s.windows = startWindows(s.state, s.platform);
        EXPECT_EQ(s.dialogs().size(), c.said) << s.dialogs().join(u'|').toStdString();
        EXPECT_EQ(overTheWindow, 0);
        EXPECT_EQ(s.windows.anaekr->isVisible(), c.said == 0); // shown early
        s.windows.anaekr->hide();
    }
}

// A learning database whose conversation column is an OLE object column: everything opens, and
// the memo shows what reading that value as text gives, each byte one character (the English
// text is stored as UTF-16, so each letter is followed by the character of code 0).
TEST(StartUp, AConversationColumnOfOleObjectsOpensAndShowsItsBytesAsText) {
    Started s(false);
    test::writeSampleWithOleConversations(s.folder.filePath(QStringLiteral("peltavo.MDB")));
    s.start();
    EXPECT_TRUE(s.dialogs().isEmpty()) << s.dialogs().join(u'\n').toStdString();
    const Tanaekr& main = *s.windows.anaekr;
    expectMainTablesOpen(main, true);
    expectQuizTablesOpen(*s.windows.sorcevekr, true);
    const QString value = main.Table->fieldAsString(QStringLiteral("ikonus"));
    QString letters;
    for (const QChar c : QStringLiteral("Good morning, Ali."))
        letters += QString(c) + QChar(0);
    EXPECT_TRUE(value.startsWith(letters));
    // The memo shows each line break (CR LF, or CR or LF alone, as here between the codes 0) as
    // one.
    EXPECT_EQ(
        main.prog->text(),
        QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n'));
    EXPECT_TRUE(main.kullandb->text().startsWith(QStringLiteral("Günaydın, Ali.")));
}

// A reader of the database that crashes, hangs or eats memory: each window that reads says so in
// the program's error box, naming the file and the table, and is built all the same; the file is
// not changed; and the next start, with a sound reader, opens everything.
TEST(StartUp, AReaderThatFailsIsReportedForEachWindowAndTheProgramGoesOn) {
    const struct {
        const char* reader;
        std::chrono::milliseconds time;
        quint64 memory;
        const char* what;
    } cases[] = {
        {"crash", std::chrono::seconds(30), 1ull << 30,
         "stopped with a fault (Segmentation fault)"},
        {"hang", std::chrono::seconds(1), 1ull << 30, "took longer than 1 second"},
        {"eat", std::chrono::seconds(60), 64ull << 20, "needed more than 64 MiB of memory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reader);
        Started s;
        const QString path = s.folder.filePath(QStringLiteral("peltavo.MDB"));
        auto digest = [&] {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray before = digest();
        const QString reader = s.folder.filePath(QString::fromLatin1(c.reader));
        ASSERT_TRUE(QFile::link(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                                    QStringLiteral("/standin_reader"),
                                reader));
        JetReader::setSettings({reader, c.time, c.memory});
        auto restore = qScopeGuard([] { JetReader::setSettings({}); });
        s.start();
        const QString failed = QStringLiteral("Peltavo: The database '%1' cannot be read whole: "
                                              "reading table '%2' ") +
                               QString::fromLatin1(c.what);
        EXPECT_EQ(s.dialogs(), (QStringList{failed.arg(path, QStringLiteral("konus")),
                                            failed.arg(path, QStringLiteral("sorubos"))}));
        ASSERT_TRUE(s.windows.anaekr && s.windows.sozlukekr && s.windows.sorcevekr);
        expectMainTablesOpen(*s.windows.anaekr, false);
        expectNothingBound(*s.windows.anaekr);
        expectQuizTablesOpen(*s.windows.sorcevekr, false);
        EXPECT_EQ(digest(), before);

        JetReader::setSettings({});
        Started again;
        again.start();
        EXPECT_TRUE(again.dialogs().isEmpty());
        expectMainTablesOpen(*again.windows.anaekr, true);
    }
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

// The program takes no arguments: Qt's own options on its command line change nothing.
TEST(StartUp, QtsOwnCommandLineOptionsChangeNothing) {
    if (qEnvironmentVariableIsEmpty("PELTAVO_TEST_COMMAND_LINE")) // the application has them there
        return test::expectPassesInChild("StartUp.QtsOwnCommandLineOptionsChangeNothing",
                                         "PELTAVO_TEST_COMMAND_LINE", u"-reverse -style windows"_s);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_NE(QApplication::style()->name(), u"windows"_s);
}

// A typed name of a file that does not exist goes from the file dialog to the opening (which says
// "File not found"), without a box of the dialog's own (which would be closed here).
TEST(StartUp, TheFileDialogHandsOnATypedNameOfNoFile) {
    const QString typed = QDir::temp().filePath(u"gone/peltavo.MDB"_s);
    QTimer::singleShot(0, [&] {
        auto* name = QApplication::activeModalWidget()->findChild<QLineEdit*>(u"fileNameEdit"_s);
        name->setText(typed);
        // Runs while a box of the dialog is open, if one is.
        QTimer::singleShot(0, [dialog = QPointer<QWidget>(QApplication::activeModalWidget())] {
            while (dialog && QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
        });
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(platform::QtDialogs().openFileName(nullptr, u"MS Access DB (peltavo.MDB)"_s), typed);
}

// Every window carries the program's icon, as its menu entry does.
TEST(StartUp, EveryWindowCarriesTheProgramsIcon) {
    Started s;
    s.windows = startWindows(s.state, s.platform);
    s.windows.anaekr->hide();
    for (const QWidget* window :
         QList<QWidget*>{s.windows.anaekr.get(), s.windows.sozlukekr.get(),
                         s.windows.sorcevekr.get(), s.windows.anaekr->bul}) {
        const QIcon icon = window->windowIcon();
        EXPECT_EQ(icon.availableSizes().size(), 5) << window->objectName().toStdString();
        EXPECT_EQ(icon.pixmap(48).toImage().pixelColor(24, 24).alpha(), 255); // drawn, not empty
    }
}

TEST(StartUp, TheQuizWindowKeepsTheFolderCurrentWhenItWasBuilt) {
    Started s;
    s.start();
    EXPECT_EQ(s.windows.sorcevekr->dl->directory(), QDir::currentPath());
    EXPECT_TRUE(s.windows.sorcevekr->dl->isHidden());
}

} // namespace
} // namespace peltavo
