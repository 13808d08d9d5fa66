// OLE objects and binary values: read through the program's own long-value code, each byte one
// character of the learner's Windows code page, as the program shows every field as text. A
// learning database whose conversation column is an OLE object column opens and reads that way.
#include "dbopening.h"
#include "jetpatch.h"
#include "jetreader.h"
#include "oracle.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace peltavo;

namespace {

// The bytes as text: windows-1254, the bytes it leaves undefined as the control characters of the
// same number (as Windows reads them).
QString windows1254(const QByteArray& bytes) {
    QStringDecoder decode("windows-1254");
    QString text;
    for (const char b : bytes) {
        const QString c = decode.decode(QByteArrayView(&b, 1));
        text += c.size() == 1 && c[0] != QChar::ReplacementCharacter ? c[0] : QChar(uchar(b));
    }
    return text;
}

TEST(BinaryValues, AConversationColumnThatIsAnOleObjectReadsAsItsBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
    test::writeSampleWithOleConversations(path);

    TableHandle table(QStringLiteral("Table"));
    table.setConnectionString(jetConnectionString(path, QStringLiteral("947")));
    table.setTableName(QStringLiteral("konus"));
    table.open();
    const int column = columnIndexIn(table.columns(), QStringLiteral("ikonus"));
    ASSERT_GE(column, 0);
    EXPECT_EQ(table.columns()[std::size_t(column)].type, ColumnType::Binary);

    // The same bytes as the independent reader's, value for value.
    std::optional<test::OracleTable> theirs;
    for (test::OracleTable& t : test::oracleReadAll(path)) {
        if (t.data.name == u"konus")
            theirs = std::move(t);
    }
    ASSERT_TRUE(theirs);
    const int their = theirs->data.columnIndex(QStringLiteral("ikonus"));
    ASSERT_EQ(theirs->types[their], QStringLiteral("ole"));
    ASSERT_EQ(table.recordCount(), int(theirs->data.rows.size()));
    for (int r = 0; r < table.recordCount(); ++r) {
        const FieldValue& value = theirs->data.rows[std::size_t(r)][std::size_t(their)];
        EXPECT_EQ(table.valueAt(r, QStringLiteral("ikonus")),
                  value ? FieldValue(windows1254(QByteArray::fromBase64(value->toLatin1())))
                        : FieldValue())
            << "row " << r;
    }
    // The first conversation, stored as UTF-16 (it holds a Turkish letter), reads as each letter
    // followed by the character of code 0.
    QString words;
    for (const QChar c : QStringLiteral("Good morning, Ali."))
        words += QString(c) + QChar(0);
    EXPECT_TRUE(table.fieldAsString(QStringLiteral("ikonus")).startsWith(words));
    // The other columns read as before.
    EXPECT_TRUE(table.fieldAsString(QStringLiteral("tkonus")).startsWith(u"Günaydın, Ali."));
}

} // namespace
