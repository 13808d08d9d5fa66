#include "databaseopening.h"
#include "dbopening.h"
#include "error.h"
#include "fakeplatform.h"
#include "jetreader.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using test::FakePlatform;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

struct Opened {
    QStringList paths;
    QStringList passwords;
};

// Runs the whole opening and records what reached the connecting step.
Opened open(FakePlatform& platform, const QString& password = QStringLiteral("947")) {
    Opened opened;
    DatabaseOpening opening(platform, nullptr);
    opening.connectToDatabase(QStringLiteral("peltavo.MDB"), password,
                              [&](const QString& path, const QString& pw) {
                                  opened.paths << path;
                                  opened.passwords << pw;
                              });
    return opened;
}

const QByteArray kJetHeader = QByteArray("\x00\x01\x00\x00Standard Jet DB", 19) + "\x01rest";

TEST(DatabaseOpening, UsesTheFileNextToTheProgramWithoutADialog) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("peltavo.MDB"), kJetHeader);
    FakePlatform platform;
    platform.folder = dir.path();
    const Opened opened = open(platform);
    EXPECT_EQ(opened.paths, QStringList{path});
    EXPECT_EQ(opened.passwords, QStringList{QStringLiteral("947")});
    EXPECT_TRUE(platform.fakeDialogs.log.isEmpty());
}

TEST(DatabaseOpening, TheNameNextToTheProgramMustMatchExactly) {
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("peltavo.mdb"), kJetHeader);
    FakePlatform platform;
    platform.folder = dir.path();
    EXPECT_TRUE(open(platform).paths.isEmpty());
    EXPECT_EQ(platform.fakeDialogs.log,
              (QStringList{QStringLiteral("open MS Access DB (peltavo.MDB)"),
                           QStringLiteral("Information: No Database Selected")}));
}

TEST(DatabaseOpening, AFolderNamedLikeTheFileDoesNotCount) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("peltavo.MDB")));
    FakePlatform platform;
    platform.folder = dir.path();
    open(platform);
    EXPECT_EQ(platform.fakeDialogs.log.value(0), QStringLiteral("open MS Access DB (peltavo.MDB)"));
}

TEST(DatabaseOpening, AcceptsAChosenFileOfAnotherNameWhoseHeaderPasses) {
    QTemporaryDir dir;
    const QString chosen = writeFile(dir, QStringLiteral("other name.mdb"), kJetHeader);
    FakePlatform platform;
    platform.folder = dir.filePath(QStringLiteral("bin"));
    platform.fakeDialogs.fileAnswers = {chosen};
    const Opened opened = open(platform, QString());
    EXPECT_EQ(opened.paths, QStringList{chosen});
    EXPECT_EQ(opened.passwords, QStringList{QString()});
    EXPECT_EQ(platform.fakeDialogs.messages.size(), 0u);
}

TEST(DatabaseOpening, ACancelledDialogOrABlankPathIsNoDatabase) {
    for (const QString& answer : {QString(), QStringLiteral("   "), QStringLiteral("\t \x01")}) {
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        platform.fakeDialogs.fileAnswers = {answer};
        EXPECT_TRUE(open(platform).paths.isEmpty());
        ASSERT_EQ(platform.fakeDialogs.messages.size(), 1u);
        EXPECT_EQ(
            platform.fakeDialogs.messages[0],
            (platform::Message{platform::Message::Icon::Information, QStringLiteral("Information"),
                               QStringLiteral("No Database Selected")}));
    }
}

TEST(DatabaseOpening, AChosenPathThatNamesNoFileIsAFileError) {
    QTemporaryDir dir;
    FakePlatform platform;
    platform.folder = dir.path();
    platform.fakeDialogs.fileAnswers = {dir.filePath(QStringLiteral("missing.MDB"))};
    try {
        open(platform);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), QStringLiteral("File not found"));
    }
    EXPECT_TRUE(platform.fakeDialogs.messages.empty());
}

TEST(DatabaseOpening, APathWithBlanksAroundItIsPassedOnAsGiven) {
    QTemporaryDir dir;
    const QString chosen = writeFile(dir, QStringLiteral(" spaced.mdb "), kJetHeader);
    FakePlatform platform;
    platform.folder = dir.path();
    platform.fakeDialogs.fileAnswers = {chosen};
    EXPECT_EQ(open(platform).paths, QStringList{chosen});
}

struct HeaderCase {
    const char* what;
    QByteArray bytes;
    bool jet;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.what;
}

class HeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTest, PassesOnlyTheJetSignature) {
    const HeaderCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("peltavo.MDB"), c.bytes);
    FakePlatform platform;
    platform.folder = dir.path();
    DatabaseOpening opening(platform, nullptr);
    EXPECT_EQ(opening.checkHeader(path), c.jet);
    if (c.jet) {
        EXPECT_TRUE(platform.fakeDialogs.log.isEmpty());
    } else {
        EXPECT_EQ(platform.fakeDialogs.log,
                  QStringList{QStringLiteral("Information: Invalid Access Database")});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderTest,
    ::testing::Values(
        HeaderCase{"Jet 4 header", kJetHeader, true},
        HeaderCase{"exactly the 19 header bytes", kJetHeader.left(19), true},
        HeaderCase{"signature without the leading bytes", QByteArray("Standard Jet DB"), true},
        HeaderCase{"control bytes between the words",
                   QByteArray("\x00Standard\x09Jet\x0a\x0d"
                              "DB",
                              17),
                   true},
        HeaderCase{"empty file", QByteArray(), false},
        HeaderCase{"shorter than the signature", QByteArray("\x00\x01\x00\x00Standard", 12), false},
        HeaderCase{"other letter case", QByteArray("\x00\x01\x00\x00Standard JET DB", 19), false},
        HeaderCase{"Access 2007 signature", QByteArray("\x00\x01\x00\x00Standard ACE DB", 19),
                   false},
        HeaderCase{"signature starting after byte 19",
                   QByteArray("\x00\x01\x00\x00\x00Standard Jet DB", 20), false},
        HeaderCase{"text file", QByteArray("This is not a database at all."), false}));

TEST(DatabaseOpeningFixtures, RealFilesAreJudgedByTheirSignature) {
    FakePlatform platform;
    DatabaseOpening opening(platform, nullptr);
    EXPECT_TRUE(opening.checkHeader(test::fixture(QStringLiteral("peltavo-sample.mdb"))));
    EXPECT_TRUE(opening.checkHeader(test::fixture(QStringLiteral("access/testV1997.mdb"))));
    EXPECT_FALSE(opening.checkHeader(test::fixture(QStringLiteral("access/testV2007.accdb"))));
}

TEST(TrimControlAndBlanks, RemovesCodes32AndBelowAtBothEndsOnly) {
    EXPECT_EQ(trimControlAndBlanks(QStringLiteral(" \t\x01 a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(trimControlAndBlanks(QStringLiteral("\x7f")), QStringLiteral("\x7f"));
    EXPECT_EQ(trimControlAndBlanks(QString(u'\u00a0')), QString(u'\u00a0'));
    EXPECT_TRUE(trimControlAndBlanks(QStringLiteral(" \x1f ")).isEmpty());
}

} // namespace
} // namespace peltavo

namespace peltavo {
namespace {

// The tables after the first are read ahead on worker threads; they still open, and fail, one by
// one in the order given, each failure leaving the tables after it closed.
TEST(OpenTables, OpenAndFailInTheOrderGiven) {
    const struct {
        const char* names[3];
        int failing; // the first table that cannot be read, -1 for none
    } cases[] = {{{"konus", "isozluk", "tsozluk"}, -1},
                 {{"konus", "nosuch1", "nosuch2"}, 1},
                 {{"nosuch0", "isozluk", "nosuch2"}, 0},
                 {{"konus", "isozluk", "nosuch2"}, 2}};
    const QString connection =
        jetConnectionString(test::fixture(QStringLiteral("peltavo-sample.mdb")), QString());
    for (const auto& c : cases) {
        TableHandle a(QStringLiteral("Table")), b(QStringLiteral("Tablei")),
            t(QStringLiteral("Tablet"));
        TableHandle* tables[] = {&a, &b, &t};
        QString message;
        try {
            openTables(connection, {{&a, QString::fromLatin1(c.names[0]), QString()},
                                    {&b, QString::fromLatin1(c.names[1]), QString()},
                                    {&t, QString::fromLatin1(c.names[2]), QString()}});
        } catch (const Error& e) {
            message = e.message();
        }
        if (c.failing >= 0)
            EXPECT_TRUE(message.contains(QLatin1String(c.names[c.failing])))
                << message.toStdString();
        else
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
        for (int i = 0; i < 3; ++i) {
            const bool open = c.failing < 0 || i < c.failing;
            EXPECT_EQ(tables[i]->isOpen(), open) << c.names[i];
            if (open) {
                EXPECT_EQ(tables[i]->recordCount(),
                          int(JetReader::readTable(dataSourceOf(connection),
                                                   QString::fromLatin1(c.names[i]))
                                  .rows.size()));
            }
        }
    }
}

} // namespace
} // namespace peltavo
