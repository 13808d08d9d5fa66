// libFuzzer harness: the input is the bytes of a learning database file. It goes through what the
// program does with a database: the header test, then every table the program opens, opened as the
// windows open them, sorted, filtered, moved through, and every field read as text. A damaged file
// may fail any step with peltavo::Error; anything else (a crash, a hang, a sanitizer report, an
// exception of another type, an error without a message) is a finding.
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "tablehandle.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    const char* component;
    const char* table;
    const char* password;
    const char* sortField;
    // The fields the program reads, and the one its filter compares with.
    QStringList fields;
    const char* filterField;
    bool numericFilter;
};

const TableUse kTables[] = {
    {"Table", "konus", "947", nullptr, {"ikonus", "tkonus"}, nullptr, false},
    {"Tablei", "isozluk", "947", "ikelime", {"ikelime", "tanlam"}, "ikelime", false},
    {"Tablet", "tsozluk", "947", "tkelime", {"tkelime", "ianlam"}, "tkelime", false},
    {"ADO",
     "sorubos",
     "",
     nullptr,
     {"Number", "soru", "testad", "dc1", "dc2", "dc3"},
     "Number",
     true},
    {"ADOCEV",
     "cevap",
     "",
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

void exercise(const QString& path, const TableUse& use) {
    TableHandle table(QString::fromLatin1(use.component));
    table.setConnectionString(jetConnectionString(path, QString::fromLatin1(use.password)));
    table.setTableName(QString::fromLatin1(use.table));
    try {
        table.open();
    } catch (const Error& e) {
        if (e.message().trimmed().isEmpty())
            std::abort();
        return;
    }
    if (use.sortField)
        attempt([&] { table.setSort(QString::fromLatin1(use.sortField)); });
    readAll(table, use);
    if (!use.filterField)
        return;

    // Filter on a value taken from the table itself, as the search and the quiz do, then on one
    // that matches nothing, then off again.
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
    table.close();
    // The direction switch closes and reopens the dictionary tables with the same settings.
    attempt([&] {
        table.open();
        readAll(table, use);
    });
}

// The input is written to a file of the program's name in a folder of its own, as the reader
// takes a path; the folder goes when the process ends normally.
QString scratchPath() {
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir.filePath(QStringLiteral("peltavo.MDB"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = scratchPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size))
            std::abort();
    }
    bool jet = false;
    attempt([&] { jet = headerIsJet(readHeaderBytes(path)); });
    if (!jet)
        return 0;
    attempt([&] { (void)JetReader::tableNames(path); });
    for (const TableUse& use : kTables)
        exercise(path, use);
    return 0;
}
