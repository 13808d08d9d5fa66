// libFuzzer harness: the input is the bytes of a database file. It goes through what the reader
// process does with a file, in this process and from memory: the header test, then the file cut
// or padded to whole pages, opened once, its tables listed, and every user table read with every
// value converted to text. The tables the program opens are then held, sorted, filtered, moved
// through and read as the windows do. A damaged file may fail any step with a Fault (or
// peltavo::Error in the table handle); anything else (a crash, a hang, a sanitizer report, an
// exception of another type, an error without a message, a table whose cells do not hold
// together) is a finding.
#include "compacttable.h"
#include "dbopening.h"
#include "error.h"
#include "jetfile.h"
#include "tablehandle.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

using namespace peltavo;

namespace {

// Runs one step; a peltavo::Error is the expected outcome for a damaged file, as long as it
// tells the learner something.
template <typename Step> void attempt(Step&& step) {
    try {
        step();
    } catch (const Error& e) {
        if (e.message().trimmed().isEmpty())
            std::abort();
    }
}

struct TableUse {
    const char* table;
    const char* sortField;
    // The fields the program reads, and the one its filter compares with.
    QStringList fields;
    const char* filterField;
    bool numericFilter;
};

const TableUse kTables[] = {
    {"konus", nullptr, {"ikonus", "tkonus"}, nullptr, false},
    {"isozluk", "ikelime", {"ikelime", "tanlam"}, "ikelime", false},
    {"tsozluk", "tkelime", {"tkelime", "ianlam"}, "tkelime", false},
    {"sorubos", nullptr, {"Number", "soru", "testad", "dc1", "dc2", "dc3"}, "Number", true},
    {"cevap",
     nullptr,
     {"testad", "cev1", "cev2", "cev3", "cev4", "cev5", "cev6", "cev7", "cev8", "cev9", "cev10",
      "cev11"},
     "testad",
     false},
};

// Reads every field of every row that exists now, the program's fields as text.
void readAll(TableHandle& table, const TableUse& use) {
    const int count = table.recordCount();
    for (int i = 0; i < count; ++i) {
        for (const Column& c : table.columns())
            (void)table.valueAt(i, c.name);
    }
    attempt([&] {
        for (int steps = 0; !table.eof() && steps <= count; ++steps) {
            for (const QString& field : use.fields)
                attempt([&] { (void)table.fieldAsString(field); });
            table.next();
        }
        table.prior();
        table.prior();
    });
}

// The table as a window holds it: sorted, filtered on a value of its own and on one that matches
// nothing, moved through and read.
void exercise(const TableUse& use, CompactTable rows) {
    TableHandle table(QStringLiteral("Table"));
    table.setTableName(QString::fromLatin1(use.table));
    table.open(std::move(rows));
    if (use.sortField)
        attempt([&] { table.setSort(QString::fromLatin1(use.sortField)); });
    readAll(table, use);
    if (!use.filterField)
        return;
    const QString field = QString::fromLatin1(use.filterField);
    QString value = use.numericFilter ? QStringLiteral("1") : QStringLiteral("b");
    attempt([&] {
        const FieldValue v = table.fieldValue(field);
        if (v && !v->contains(u'\''))
            value = use.numericFilter ? *v : v->left(2);
    });
    const QString op = use.numericFilter || QString::fromLatin1(use.table) == u"cevap"
                           ? QStringLiteral(" = ")
                           : QStringLiteral(" >= ");
    const QString quote = use.numericFilter ? QString() : QStringLiteral("'");
    for (const QString& expression : {field + op + quote + value + quote,
                                      field + op + quote + QStringLiteral("9999") + quote}) {
        attempt([&] {
            table.setFilter(expression);
            table.setFiltered(true);
            readAll(table, use);
        });
    }
    attempt([&] { table.setFiltered(false); });
}

// Reads one table; the compact form it gives must hold together, as the program checks before it
// takes a table from the reader.
void readTable(jet::JetFile& db, const std::string& name) {
    jet::GrowingBuffer text;
    jet::GrowingBuffer cells;
    jet::TableShape shape;
    try {
        shape = db.readTable(name, text, cells);
    } catch (const jet::Fault& f) {
        if (std::strlen(f.what()) == 0 && f.kind() == jet::FaultKind::Damaged)
            std::abort();
        return;
    }
    const std::size_t units = text.size() / sizeof(char16_t);
    const std::size_t count = shape.rows * shape.columns.size();
    if (cells.size() != count * sizeof(std::uint64_t) ||
        !CompactTable::cellsAreSound(reinterpret_cast<const std::uint64_t*>(cells.data()), count,
                                     units))
        std::abort();
    for (const TableUse& use : kTables) {
        if (QString::fromStdString(shape.name)
                .compare(QString::fromLatin1(use.table), Qt::CaseInsensitive) != 0)
            continue;
        std::vector<Column> columns;
        for (const jet::ColumnShape& c : shape.columns)
            columns.push_back(Column{QString::fromStdString(c.name), c.type, c.maxLength});
        // Over the reader's buffers as they are, which outlive the table handle.
        const std::shared_ptr<const void> kept(text.data(), [](const void*) {});
        const CompactTable rows(QString::fromStdString(shape.name), std::move(columns), kept,
                                reinterpret_cast<const char16_t*>(text.data()), units,
                                reinterpret_cast<const std::uint64_t*>(cells.data()), shape.rows);
        exercise(use, rows);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!headerIsJet(QByteArray::fromRawData(
            reinterpret_cast<const char*>(data),
            static_cast<qsizetype>(std::min<std::size_t>(size, kHeaderBytes)))))
        return 0;
    // The reader refuses a file that ends part way through a page: the input is padded to a
    // whole number of pages (2 KiB in an Access 97 file, 4 KiB in later ones) so that every run
    // reaches libmdb.
    const std::size_t page = size > 0x14 && data[0x14] == 0 ? 2048 : 4096;
    std::vector<std::uint8_t> file(data, data + size);
    file.resize((size + page - 1) / page * page, 0);
    try {
        jet::JetFile db(jet::Bytes(file.data(), file.size()));
        for (const std::string& name : db.tableNames())
            readTable(db, name);
    } catch (const jet::Fault& f) {
        if (std::strlen(f.what()) == 0 && f.kind() == jet::FaultKind::Damaged)
            std::abort();
    }
    return 0;
}
