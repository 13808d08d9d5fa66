// Learning databases as they come from anywhere: odd paths, missing fields, wrong and empty values,
// huge memos, and files that change under the running program. Each case checks the message the
// learner sees, and that the program can go on.
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "jetwriter.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace peltavo;

namespace {

QString samplePath() {
    return test::fixture(QStringLiteral("peltavo-sample.mdb"));
}

// The message of the peltavo::Error that `action` throws, or "(no error)".
QString messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

std::unique_ptr<TableHandle> openTable(const QString& path, const QString& component,
                                       const QString& table) {
    auto handle = std::make_unique<TableHandle>(component);
    handle->setConnectionString(jetConnectionString(path, QStringLiteral("947")));
    handle->setTableName(table);
    handle->open();
    return handle;
}

// ---- Paths ------------------------------------------------------------------------------------

struct PathCase {
    const char* name;
    const char* folder; // made inside the temporary folder; "" for none
    const char* file;
    bool symlink; // the database is reached through a symbolic link of that name
};

class DatabasePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(DatabasePath, OpensEveryTable) {
    QTemporaryDir dir;
    const PathCase& c = GetParam();
    const QString folder = dir.filePath(QString::fromUtf8(c.folder));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + u'/' + QString::fromUtf8(c.file);
    if (c.symlink) {
        const QString real = dir.filePath(QStringLiteral("real.mdb"));
        ASSERT_TRUE(QFile::copy(samplePath(), real));
        ASSERT_TRUE(QFile::link(real, path));
    } else {
        ASSERT_TRUE(QFile::copy(samplePath(), path));
    }
    EXPECT_TRUE(headerIsJet(readHeaderBytes(path)));
    const std::pair<const char*, int> tables[] = {
        {"konus", 6}, {"isozluk", 8}, {"tsozluk", 9}, {"sorubos", 12}, {"cevap", 6}};
    for (const auto& [name, minimum] : tables) {
        auto table = openTable(path, QStringLiteral("Table"), QString::fromLatin1(name));
        EXPECT_GE(table->recordCount(), minimum) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DatabasePath,
    ::testing::Values(PathCase{"blanks", "my learning files", "peltavo copy.MDB", false},
                      PathCase{"semicolons", "a;b", "x;Data Source=y;.MDB", false},
                      PathCase{"turkishLetters", "Çalışma ğüşiöç İı", "peltavo.MDB", false},
                      PathCase{"symlink", "", "peltavo.MDB", true},
                      PathCase{"symlinkInTurkishFolder", "Öğrenci", "peltavo.MDB", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DatabasePath, AFolderNamedLikeTheDatabaseOrNoFileAtAll) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("peltavo.MDB"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(messageOf([&] { (void)readHeaderBytes(folder); }), u"File access denied");
    EXPECT_EQ(messageOf([&] { (void)openTable(folder, QStringLiteral("Table"), "konus"); }),
              QStringLiteral("Cannot open '%1': it is a folder").arg(folder));
    const QString none = dir.filePath(QStringLiteral("none.MDB"));
    EXPECT_EQ(messageOf([&] { (void)readHeaderBytes(none); }), u"File not found");
    EXPECT_EQ(messageOf([&] { (void)openTable(none, QStringLiteral("Table"), "konus"); }),
              QStringLiteral("Cannot open '%1': no such file").arg(none));
    // A symbolic link that leads nowhere is a missing file too.
    const QString dangling = dir.filePath(QStringLiteral("dangling.MDB"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone.mdb")), dangling));
    EXPECT_EQ(messageOf([&] { (void)readHeaderBytes(dangling); }), u"File not found");
}

// ---- Contents ---------------------------------------------------------------------------------

Column text(const char* name) {
    return Column{QString::fromLatin1(name), ColumnType::Text, 255};
}
Column memo(const char* name) {
    return Column{QString::fromLatin1(name), ColumnType::Memo, 255};
}
Column integer(const char* name) {
    return Column{QString::fromLatin1(name), ColumnType::Integer, 255};
}

class WrittenDatabase : public ::testing::Test {
protected:
    QString write(std::vector<TableData> tables) {
        const QString path = dir_.filePath(QStringLiteral("peltavo.MDB"));
        writeJet4Database(path, tables);
        return path;
    }

private:
    QTemporaryDir dir_;
};

TEST_F(WrittenDatabase, AMissingFieldIsNamedWithTheTable) {
    TableData questions{
        QStringLiteral("sorubos"),
        {integer("Number"), text("soru"), text("testad")},
        {{QStringLiteral("1"), QStringLiteral("I ... a student."), QStringLiteral("t1")}}};
    TableData dictionary{QStringLiteral("isozluk"), {text("kelime"), memo("tanlam")}, {}};
    const QString path = write({questions, dictionary});

    auto ado = openTable(path, QStringLiteral("ADO"), QStringLiteral("sorubos"));
    EXPECT_EQ(messageOf([&] { (void)ado->fieldAsString(QStringLiteral("dc1")); }),
              u"ADO: Field 'dc1' not found");
    EXPECT_EQ(ado->fieldAsString(QStringLiteral("soru")), u"I ... a student.");
    auto tablei = openTable(path, QStringLiteral("Tablei"), QStringLiteral("isozluk"));
    EXPECT_EQ(messageOf([&] { tablei->setSort(QStringLiteral("ikelime")); }),
              u"Tablei: Field 'ikelime' not found");
    EXPECT_EQ(messageOf([&] {
                  tablei->setFilter(QStringLiteral("ikelime >= 'b'"));
                  tablei->setFiltered(true);
              }),
              u"Tablei: Field 'ikelime' not found");
    EXPECT_TRUE(tablei->isOpen());
}

TEST_F(WrittenDatabase, ANumberThatIsNotANumber) {
    TableData questions{QStringLiteral("sorubos"),
                        {text("Number"), text("soru")},
                        {{QStringLiteral("abc"), QStringLiteral("first")},
                         {QStringLiteral("3"), QStringLiteral("third")},
                         {std::nullopt, QStringLiteral("none")}}};
    auto ado = openTable(write({questions}), QStringLiteral("ADO"), QStringLiteral("sorubos"));
    // Compared as text, "Number = 3" still finds its row; the others simply do not match.
    ado->setFilter(QStringLiteral("Number = 3"));
    ado->setFiltered(true);
    EXPECT_EQ(ado->recordCount(), 1);
    EXPECT_EQ(ado->fieldAsString(QStringLiteral("soru")), u"third");
    // A drawn number that no row holds leaves no row: reading the question is the conversion
    // error, and the program goes on.
    ado->setFilter(QStringLiteral("Number = 7"));
    EXPECT_EQ(ado->recordCount(), 0);
    EXPECT_TRUE(ado->eof());
    EXPECT_EQ(messageOf([&] { (void)ado->fieldAsString(QStringLiteral("soru")); }),
              u"Could not convert variant of type (Null) into type (String)");
}

TEST_F(WrittenDatabase, ANullInEveryFieldReadAsText) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> tables = {
        {"isozluk", {"ikelime", "tanlam"}},
        {"tsozluk", {"tkelime", "ianlam"}},
        {"sorubos", {"soru", "testad", "dc1", "dc2", "dc3"}},
        {"cevap",
         {"testad", "cev1", "cev2", "cev3", "cev4", "cev5", "cev6", "cev7", "cev8", "cev9", "cev10",
          "cev11"}},
    };
    std::vector<TableData> data;
    for (const auto& [name, fields] : tables) {
        TableData t{QString::fromLatin1(name), {}, {}};
        for (const char* field : fields)
            t.columns.push_back(text(field));
        t.rows.assign(2, std::vector<FieldValue>(fields.size()));
        data.push_back(t);
    }
    data.push_back(TableData{
        QStringLiteral("konus"), {memo("ikonus"), memo("tkonus")}, {{std::nullopt, std::nullopt}}});
    const QString path = write(data);

    for (const auto& [name, fields] : tables) {
        auto table = openTable(path, QStringLiteral("T"), QString::fromLatin1(name));
        table->next();
        for (const char* field : fields) {
            SCOPED_TRACE(field);
            EXPECT_EQ(messageOf([&] { (void)table->fieldAsString(QString::fromLatin1(field)); }),
                      u"Could not convert variant of type (Null) into type (String)");
            EXPECT_EQ(table->fieldValue(QString::fromLatin1(field)), std::nullopt);
            EXPECT_EQ(table->currentIndex(), 1);
        }
    }
    // Shown in a memo, a null conversation is empty text.
    auto konus = openTable(path, QStringLiteral("Table"), QStringLiteral("konus"));
    EXPECT_EQ(konus->fieldValue(QStringLiteral("ikonus")), std::nullopt);
}

TEST_F(WrittenDatabase, ATenMegabyteMemoIsReadWhole) {
    // 10 MB as stored: five million UTF-16 characters.
    constexpr qsizetype kCharacters = 5 * 1024 * 1024;
    QString big;
    big.reserve(kCharacters + 64);
    const QString line = QStringLiteral("Çok uzun bir satır, İngilizce öğrenenler için.\r\n");
    while (big.size() < kCharacters)
        big += line;
    big += QStringLiteral("zanzibar");
    TableData konus{QStringLiteral("konus"),
                    {memo("ikonus"), memo("tkonus")},
                    {{big, QStringLiteral("kısa")}, {QStringLiteral("next"), std::nullopt}}};
    auto table = openTable(write({konus}), QStringLiteral("Table"), QStringLiteral("konus"));
    const QString read = table->fieldAsString(QStringLiteral("ikonus"));
    EXPECT_EQ(read.size(), big.size());
    EXPECT_TRUE(read == big);
    table->next();
    EXPECT_EQ(table->fieldAsString(QStringLiteral("ikonus")), u"next");
}

// ---- The file changes under the running program -----------------------------------------------

struct ChangeCase {
    const char* name;
    std::function<void(const QString& path)> change;
    const char* reopenMessage; // %1 is the path
};

class FileChangedAfterOpening : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(FileChangedAfterOpening, TheTablesGoOnWithWhatWasRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
    ASSERT_TRUE(QFile::copy(samplePath(), path));
    auto tablei = openTable(path, QStringLiteral("Tablei"), QStringLiteral("isozluk"));
    tablei->setSort(QStringLiteral("ikelime"));
    auto ado = openTable(path, QStringLiteral("ADO"), QStringLiteral("sorubos"));
    const int words = tablei->recordCount();

    GetParam().change(path);

    tablei->setFilter(QStringLiteral("ikelime >= 'book'"));
    tablei->setFiltered(true);
    EXPECT_EQ(tablei->fieldAsString(QStringLiteral("ikelime")), u"book");
    tablei->next();
    EXPECT_EQ(tablei->fieldAsString(QStringLiteral("ikelime")), u"booking");
    tablei->setFiltered(false);
    EXPECT_EQ(tablei->recordCount(), words);
    ado->setFilter(QStringLiteral("Number = 5"));
    ado->setFiltered(true);
    EXPECT_EQ(ado->recordCount(), 1);

    // Reopening, as the direction switch does, reads the file again and tells what it found.
    tablei->close();
    EXPECT_EQ(messageOf([&] { tablei->open(); }),
              QString::fromUtf8(GetParam().reopenMessage).arg(path));
    EXPECT_FALSE(tablei->isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FileChangedAfterOpening,
    ::testing::Values(ChangeCase{"deleted", [](const QString& p) { ASSERT_TRUE(QFile::remove(p)); },
                                 "Cannot open '%1': no such file"},
                      ChangeCase{"replacedByJunk",
                                 [](const QString& p) {
                                     ASSERT_TRUE(QFile::remove(p));
                                     QFile f(p);
                                     ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                                     f.write(QByteArray(8192, 'x'));
                                 },
                                 "'%1' is not an Access (Jet) database"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
