#pragma once

#include <QStringList>

// The subcommands of peltavo-db. Each takes the arguments after its own name and returns the
// process exit code: 0 on success, 2 on a failure it has reported on stderr, 64 on a usage error.
namespace peltavo::db {

int runTables(const QStringList& args);
int runDump(const QStringList& args);
int runBuild(const QStringList& args);
int runSynth(const QStringList& args);
int runSearch(const QStringList& args);

// Throws peltavo::Error unless `path` exists, can be read and passes the program's own header
// test ("Invalid Access Database").
void checkDatabase(const QString& path);

} // namespace peltavo::db
