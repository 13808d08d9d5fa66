// Tables held in their compact form: values kept exactly, the sort on keys made once per table,
// and reopening a file that has not changed without reading it again.
#include "compacttable.h"
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>
#include <utime.h>

using namespace peltavo;

namespace {

TEST(CompactTable, KeepsNullsEmptyTextsAndEveryUtf16Unit) {
    TableData data{QStringLiteral("t"),
                   {Column{QStringLiteral("a"), ColumnType::Text, 255},
                    Column{QStringLiteral("b"), ColumnType::Memo, 255}},
                   {}};
    const QString pair = QString::fromUtf16(u"x\xd83d\xde00y");
    const QString lone = QString::fromUtf16(u"\xdc00");
    data.rows = {{FieldValue{}, FieldValue{QString()}},
                 {FieldValue{pair}, FieldValue{}},
                 {FieldValue{QString(70000, u'ç')}, FieldValue{lone}}};
    const TableData expected = data;
    const CompactTable table(std::move(data));
    ASSERT_EQ(table.rowCount(), 3u);
    EXPECT_TRUE(table.isNull(0, 0));
    EXPECT_FALSE(table.isNull(0, 1));
    EXPECT_EQ(table.value(0, 1), FieldValue{QString()});
    EXPECT_EQ(table.text(1, 0), pair);
    EXPECT_EQ(table.value(2, 1), FieldValue{lone});
    EXPECT_EQ(table.textUnits(), std::size_t(4 + 70000 + 1));
    EXPECT_EQ(table.toTableData().rows, expected.rows);
    EXPECT_EQ(table.columnIndex(QStringLiteral("B")), 1);
}

// Words that share long beginnings (keys that agree past their first bytes), differ only in
// case or blanks, repeat, are empty or null. Texts the collation finds equal are ordered by the
// stored text; only the same text keeps table order.
TEST(CompactSort, OrderIsTheCollationOrderAndTiesKeepTableOrder) {
    std::mt19937 random(11);
    const QString letters = QStringLiteral("aAbcçÇdğıIiİoöszZ -");
    for (const char* name : {"isozluk", "tsozluk"}) {
        for (int rows : {300, 60000}) {
            TableData data;
            data.columns = {Column{QStringLiteral("w"), ColumnType::Text, 255},
                            Column{QStringLiteral("n"), ColumnType::Integer, 255}};
            for (int i = 0; i < rows; ++i) {
                QString w = i % 3 == 0 ? QStringLiteral("ortakbaşlangıç") : QString();
                const int n = static_cast<int>(random() % 4);
                for (int k = 0; k < n; ++k)
                    w += letters[static_cast<int>(random() % letters.size())];
                data.rows.push_back(
                    {i % 41 == 0 ? FieldValue{} : FieldValue{w}, FieldValue{QString::number(i)}});
            }
            TableHandle table(QStringLiteral("T"));
            table.setTableName(QString::fromLatin1(name));
            table.open(data);
            table.setSort(QStringLiteral("w"));
            const Collation collation(Collation::forTable(QString::fromLatin1(name)));
            ASSERT_EQ(table.recordCount(), rows);
            for (int i = 0; i + 1 < rows; ++i) {
                const FieldValue a = table.valueAt(i, QStringLiteral("w"));
                const FieldValue b = table.valueAt(i + 1, QStringLiteral("w"));
                const int ra = table.valueAt(i, QStringLiteral("n"))->toInt();
                const int rb = table.valueAt(i + 1, QStringLiteral("n"))->toInt();
                const int order = !a ? (b ? -1 : 0) : !b ? 1 : collation.compareForSort(*a, *b);
                ASSERT_LE(order, 0) << name << " at " << i;
                if (order == 0) {
                    ASSERT_LT(ra, rb) << name << ": equal values in table order";
                }
            }
        }
    }
}

TEST(CompactSort, NumbersSortNumericallyWithNullsFirst) {
    TableData data;
    data.columns = {Column{QStringLiteral("n"), ColumnType::Integer, 255}};
    for (const char* v : {"10", "-3", "2", "0", "-0", "7", "-12"})
        data.rows.push_back({FieldValue{QString::fromLatin1(v)}});
    data.rows.push_back({FieldValue{}});
    TableHandle table(QStringLiteral("T"));
    table.open(data);
    table.setSort(QStringLiteral("n"));
    QStringList got;
    for (int i = 0; i < table.recordCount(); ++i)
        got << table.valueAt(i, QStringLiteral("n")).value_or(QStringLiteral("<NULL>"));
    EXPECT_EQ(got, (QStringList{"<NULL>", "-12", "-3", "0", "-0", "2", "7", "10"}));
}

class Reopening : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFile::copy(test::fixture(QStringLiteral("peltavo-sample.mdb")), path));
        table.setConnectionString(jetConnectionString(path, QStringLiteral("947")));
        table.setTableName(QStringLiteral("konus"));
        table.open();
        table.setSort(QStringLiteral("ikonus"));
        table.close();
    }
    // Opens the table again and says whether that read the file.
    bool reopenReads() {
        const quint64 before = JetReader::tablesRead();
        table.open();
        const bool read = JetReader::tablesRead() != before;
        table.close();
        return read;
    }
    static struct stat statOf(const QString& file) {
        struct stat st {};
        ::stat(QFile::encodeName(file).constData(), &st);
        return st;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
    TableHandle table{QStringLiteral("Table")};
};

TEST_F(Reopening, AnUnchangedFileIsNotReadAgainAndTheTableIsTheSame) {
    table.open();
    const int rows = table.recordCount();
    const QString first = table.fieldAsString(QStringLiteral("ikonus"));
    table.close();
    EXPECT_FALSE(reopenReads());
    EXPECT_FALSE(reopenReads());
    table.open();
    EXPECT_EQ(table.recordCount(), rows);
    EXPECT_EQ(table.fieldAsString(QStringLiteral("ikonus")), first) << "still sorted";
}

TEST_F(Reopening, AnotherTableOfTheSameFileIsRead) {
    table.setSort(QString());
    table.setTableName(QStringLiteral("sorubos"));
    EXPECT_TRUE(reopenReads());
}

TEST_F(Reopening, ANewModificationTimeIsReadAnew) {
    const struct stat st = statOf(path);
    utimbuf times{st.st_atime, st.st_mtime - 10};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
    EXPECT_TRUE(reopenReads());
    EXPECT_FALSE(reopenReads());
}

TEST_F(Reopening, AFileReplacedByAnotherOfTheSameSizeAndTimeIsReadAnew) {
    const QString copy = dir.filePath(QStringLiteral("copy.MDB"));
    ASSERT_TRUE(QFile::copy(path, copy));
    const struct stat st = statOf(path);
    utimbuf times{st.st_atime, st.st_mtime};
    ASSERT_EQ(::utime(QFile::encodeName(copy).constData(), &times), 0);
    ASSERT_EQ(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()),
              0);
    ASSERT_NE(statOf(path).st_ino, st.st_ino);
    EXPECT_TRUE(reopenReads());
}

TEST_F(Reopening, AChangedSizeIsReadAnewAndItsErrorsStillReachTheCaller) {
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("x");
    }
    const quint64 before = JetReader::tablesRead();
    EXPECT_THROW(table.open(), Error);
    EXPECT_NE(JetReader::tablesRead(), before);
    EXPECT_FALSE(table.isOpen());
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_THROW(table.open(), Error) << "a file gone is not served from memory";
}

} // namespace
