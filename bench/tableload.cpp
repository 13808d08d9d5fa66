// How fast a table of a learning database loads, sorts and filters, as the program does it.
//   tableload FILE TABLE [SORT_FIELD [SEARCH_TEXT]]
// Prints the rows, the time of each step and the rows per second of the whole load.
#include "dbopening.h"
#include "error.h"
#include "tablehandle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace peltavo;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.size() < 2 || args.size() > 4) {
        QTextStream(stderr) << "usage: tableload FILE TABLE [SORT_FIELD [SEARCH_TEXT]]\n";
        return 64;
    }
    try {
        TableHandle table(QStringLiteral("Table"));
        table.setConnectionString(jetConnectionString(args[0], QStringLiteral("947")));
        table.setTableName(args[1]);
        QElapsedTimer timer;
        timer.start();
        table.open();
        const double readMs = timer.nsecsElapsed() / 1e6;
        const int rows = table.recordCount();
        out << "rows: " << rows << "\nread: " << readMs << " ms ("
            << qRound64(rows / (readMs / 1000.0)) << " rows/s)\n";
        if (args.size() >= 3) {
            timer.restart();
            table.setSort(args[2]);
            const double sortMs = timer.nsecsElapsed() / 1e6;
            out << "sort: " << sortMs << " ms\nopen and sort: " << readMs + sortMs << " ms ("
                << qRound64(rows / ((readMs + sortMs) / 1000.0)) << " rows/s)\n";
        }
        if (args.size() == 4) {
            table.setFiltered(true);
            timer.restart();
            constexpr int searches = 1000;
            for (int i = 0; i < searches; ++i) {
                table.setFilter(QStringLiteral("%1 >= '%2%3'")
                                    .arg(args[2], args[3])
                                    .arg(i % 2 ? QString() : QStringLiteral(" ")));
                table.next();
            }
            out << "search: " << timer.nsecsElapsed() / 1e3 / searches << " us per search, "
                << table.recordCount() << " rows from '" << args[3] << "'\n";
        }
        return 0;
    } catch (const Error& e) {
        QTextStream(stderr) << e.message() << '\n';
        return 2;
    }
}
