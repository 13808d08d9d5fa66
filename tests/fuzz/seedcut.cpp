// Writes a smaller copy of a learning database for the fuzzer's seeds: every table with its
// columns, keeping the first ROWS rows (memos included whole).
//
//   fuzz_seedcut IN OUT ROWS
#include "error.h"
#include "jetreader.h"
#include "jetwriter.h"

#include <QString>

#include <cstdio>
#include <vector>

using namespace peltavo;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: fuzz_seedcut IN OUT ROWS\n");
        return 64;
    }
    const QString in = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    bool ok = false;
    const qsizetype rows = QString::fromLocal8Bit(argv[3]).toLongLong(&ok);
    if (!ok || rows < 0) {
        std::fprintf(stderr, "fuzz_seedcut: ROWS must be a number of rows\n");
        return 64;
    }
    try {
        std::vector<TableData> tables;
        for (const QString& name : JetReader::tableNames(in)) {
            TableData table = JetReader::readTable(in, name);
            if (table.rows.size() > static_cast<size_t>(rows))
                table.rows.resize(static_cast<size_t>(rows));
            tables.push_back(std::move(table));
        }
        writeJet4Database(out, tables);
    } catch (const Error& e) {
        std::fprintf(stderr, "fuzz_seedcut: %s\n", e.what());
        return 1;
    }
    return 0;
}
