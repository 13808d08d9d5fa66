// The CHM side of the document builder: compiling with chmcmd, clearing the build time stamps so
// that the result depends only on the sources, and reading the archive directory. An independent
// reader, extract_chmLib (chmlib), checks that the archives stay valid and hold the sources.

#include "chm.h"
#include "docsupport.h"
#include "error.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace peltavo::docbuild;
using peltavo::test::extractWithChmlib;
using peltavo::test::readWholeFile;
using peltavo::test::toCp1254;
using peltavo::test::writeWholeFile;

namespace {

const QString chmcmd = QStringLiteral(PELTAVO_CHMCMD);

// A small help project: two pages, a stylesheet and a contents file with Turkish letters.
class SmallProject : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        write("peltest.hhp", "[OPTIONS]\n"
                             "Compiled file=peltest.chm\n"
                             "Contents file=peltest.hhc\n"
                             "Default topic=a.html\n"
                             "Language=0x41f Turkish\n"
                             "Title=Deneme Başlığı\n"
                             "\n[FILES]\na.html\nb.html\ns.css\n");
        write("peltest.hhc", "<HTML><BODY><UL>\n"
                             "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                             "value=\"Giriş Sayfası\"><param name=\"Local\" value=\"a.html\">"
                             "</OBJECT>\n"
                             "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                             "value=\"İkinci\"><param name=\"Local\" value=\"b.html\"></OBJECT>\n"
                             "</UL></BODY></HTML>\n");
        write("a.html", pageA);
        write("b.html", "<html><head><title>B</title></head><body><p>b</p></body></html>\n");
        write("s.css", "p { color: #800080; }\n");
    }

    void write(const QString& name, const QString& text) {
        writeWholeFile(dir.filePath(name), text.toUtf8());
    }

    QString project() const { return dir.filePath(QStringLiteral("peltest.hhp")); }

    // Runs chmcmd on the sources as they are, without the builder.
    QByteArray rawCompile() {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(chmcmd, {QStringLiteral("peltest.hhp")});
        EXPECT_TRUE(process.waitForFinished(120000));
        const QByteArray chm = readWholeFile(dir.filePath(QStringLiteral("peltest.chm")));
        QFile::remove(dir.filePath(QStringLiteral("peltest.chm")));
        return chm;
    }

    QTemporaryDir dir;
    const QString pageA = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Giriş</title>"
                                         "<link rel=\"stylesheet\" href=\"s.css\"></head>"
                                         "<body><h1>Giriş ğüşıöç İĞÜŞÖÇ</h1>"
                                         "<a href=\"b.html\">b</a></body></html>\n");
};

} // namespace

TEST_F(SmallProject, CompiledArchiveListsEveryFileAndIsTurkish) {
    const QByteArray chm = compileChm(project(), chmcmd);
    const ChmDirectory directory = readChmDirectory(chm);
    for (const char* name : {"/a.html", "/b.html", "/s.css", "/peltest.hhc", "/#SYSTEM"})
        EXPECT_NE(directory.find(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(directory.find(QStringLiteral("/peltest.chm")), nullptr);
    EXPECT_EQ(directory.languageId, 0x041fu);
    EXPECT_EQ(directory.timestamp, 0u);
    EXPECT_EQ(chmSystemTimestamp(chm), 0u);
    // The title is stored in #SYSTEM, in the help file's code page.
    const ChmEntry* system = directory.find(QStringLiteral("/#SYSTEM"));
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(readChmSectionZeroFile(chm, directory, *system)
                    .contains(toCp1254(QStringLiteral("Deneme Başlığı"))));
    // Nothing is left beside the sources.
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("peltest.chm"))));
}

TEST_F(SmallProject, ChmlibReadsThePagesBackUnchangedAndTheContentsInCp1254) {
    const auto files = extractWithChmlib(compileChm(project(), chmcmd));
    EXPECT_EQ(files.value(QStringLiteral("a.html")), pageA.toUtf8());
    EXPECT_EQ(files.value(QStringLiteral("s.css")), QByteArray("p { color: #800080; }\n"));
    EXPECT_TRUE(files.value(QStringLiteral("peltest.hhc"))
                    .contains(toCp1254(QStringLiteral("value=\"Giriş Sayfası\""))));
}

TEST_F(SmallProject, CompilingTwiceGivesTheSameBytes) {
    const QByteArray first = compileChm(project(), chmcmd);
    QThread::msleep(1100); // chmcmd's time stamps count seconds
    EXPECT_EQ(first, compileChm(project(), chmcmd));
}

TEST_F(SmallProject, ClearingTimestampsChangesOnlyTheTimestamps) {
    QByteArray chm = rawCompile();
    const ChmDirectory before = readChmDirectory(chm);
    EXPECT_NE(before.timestamp, 0u);
    EXPECT_NE(chmSystemTimestamp(chm), 0u);
    const QByteArray raw = chm;
    clearChmTimestamps(chm);
    ASSERT_EQ(chm.size(), raw.size());
    int changed = 0;
    for (qsizetype i = 0; i < chm.size(); ++i)
        changed += chm[i] != raw[i];
    EXPECT_GT(changed, 0);
    EXPECT_LE(changed, 8);
    const ChmDirectory after = readChmDirectory(chm);
    EXPECT_EQ(after.timestamp, 0u);
    EXPECT_EQ(chmSystemTimestamp(chm), 0u);
    ASSERT_EQ(after.entries.size(), before.entries.size());
    // chmlib still reads the archive, and every file but #SYSTEM is unchanged.
    auto cleared = extractWithChmlib(chm);
    auto original = extractWithChmlib(raw);
    ASSERT_TRUE(cleared.contains(QStringLiteral("#SYSTEM")));
    cleared.remove(QStringLiteral("#SYSTEM"));
    original.remove(QStringLiteral("#SYSTEM"));
    EXPECT_EQ(cleared, original);
}

TEST_F(SmallProject, TextOutsideTheCodePageIsRefused) {
    write("peltest.hhc", "<HTML><BODY><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                         "value=\"ok → not\"><param name=\"Local\" value=\"a.html\"></OBJECT>"
                         "</UL></BODY></HTML>\n");
    try {
        compileChm(project(), chmcmd);
        FAIL() << "no error";
    } catch (const peltavo::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("windows-1254"))) << e.what();
    }
}

TEST_F(SmallProject, DeadLinksFailTheBuild) {
    for (const char* link : {"missing.html", "b.html#nowhere"}) {
        write("b.html", QStringLiteral("<html><body><a href=\"%1\">x</a></body></html>\n")
                            .arg(QLatin1String(link)));
        try {
            compileChm(project(), chmcmd);
            ADD_FAILURE() << "no error for a link to " << link;
        } catch (const peltavo::Error& e) {
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(link).section(u'#', -1)))
                << e.what();
        }
    }
}

TEST_F(SmallProject, MissingCompilerOrOutputNameIsAnError) {
    EXPECT_THROW(compileChm(project(), dir.filePath(QStringLiteral("no-such-chmcmd"))),
                 peltavo::Error);
    write("peltest.hhp", "[OPTIONS]\nTitle=x\n\n[FILES]\na.html\n");
    EXPECT_THROW(compileChm(project(), chmcmd), peltavo::Error);
    EXPECT_THROW(compileChm(dir.filePath(QStringLiteral("none.hhp")), chmcmd), peltavo::Error);
}

// Damaged archives are reported, never read past their end.
class DamagedChm : public testing::TestWithParam<int> {};

TEST_P(DamagedChm, IsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeWholeFile(dir.filePath(QStringLiteral("t.hhp")),
                   "[OPTIONS]\nCompiled file=t.chm\nDefault topic=a.html\n\n[FILES]\na.html\n");
    writeWholeFile(dir.filePath(QStringLiteral("a.html")), "<html><body>a</body></html>\n");
    QByteArray chm = compileChm(dir.filePath(QStringLiteral("t.hhp")), chmcmd);
    const int damage = GetParam();
    if (damage >= 0) {
        chm.truncate(damage); // cut short
    } else {
        // Break a signature: -1 the file's, -2 the directory's, -3 the first listing chunk's.
        const quint64 dirOffset = qFromLittleEndian<quint64>(chm.constData() + 0x48);
        const qsizetype at = damage == -1   ? 0
                             : damage == -2 ? qsizetype(dirOffset)
                                            : qsizetype(dirOffset) + 0x54;
        chm[at] = 'X';
    }
    EXPECT_THROW(readChmDirectory(chm), peltavo::Error);
    EXPECT_THROW(clearChmTimestamps(chm), peltavo::Error);
}

INSTANTIATE_TEST_SUITE_P(CutsAndSignatures, DamagedChm,
                         testing::Values(0, 3, 0x40, 0x60, 0x100, 0x200, -1, -2, -3));
