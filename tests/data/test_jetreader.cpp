// Our libmdb reader against an independent one (mdb-reader), on every fixture database.
#include "error.h"
#include "jetreader.h"
#include "oracle.h"
#include "testpaths.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace peltavo;
using peltavo::test::fixture;

namespace {

QStringList fixtureDatabases() {
    QStringList files{fixture(QStringLiteral("peltavo-sample.mdb"))};
    for (const QString& name :
         QDir(fixture(QStringLiteral("access"))).entryList({QStringLiteral("*.mdb")}, QDir::Files))
        files << fixture(QStringLiteral("access/") + name);
    return files;
}

std::string show(const FieldValue& v) {
    return v ? '"' + v->left(60).toStdString() + (v->size() > 60 ? "...\"" : "\"") : "null";
}

class ReaderAgreesWithOracle : public ::testing::TestWithParam<QString> {};

TEST_P(ReaderAgreesWithOracle, EveryTableEveryComparableValue) {
    const QString path = GetParam();
    const QStringList names = JetReader::tableNames(path);
    ASSERT_EQ(names, test::oracleTableNames(path));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const TableData ours = JetReader::readTable(path, name);
        const TableData theirs = test::oracleReadTable(path, name);
        ASSERT_EQ(ours.columns.size(), theirs.columns.size());
        ASSERT_EQ(ours.rows.size(), theirs.rows.size());
        for (size_t c = 0; c < ours.columns.size(); ++c) {
            EXPECT_EQ(ours.columns[c].name, theirs.columns[c].name);
            const ColumnType type = theirs.columns[c].type;
            if (type == ColumnType::Other)
                continue; // dates, money, floats: formats differ between readers
            EXPECT_EQ(ours.columns[c].type, type) << ours.columns[c].name.toStdString();
            for (size_t r = 0; r < ours.rows.size(); ++r) {
                ASSERT_EQ(ours.rows[r][c], theirs.rows[r][c])
                    << "row " << r << " column " << ours.columns[c].name.toStdString() << ": "
                    << show(ours.rows[r][c]) << " vs " << show(theirs.rows[r][c]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReaderAgreesWithOracle, ::testing::ValuesIn(fixtureDatabases()),
    [](const auto& info) {
        return QFileInfo(info.param).completeBaseName().replace(u'-', u'_').toStdString();
    });

} // namespace
