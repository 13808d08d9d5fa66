#pragma once

#include <QString>
#include <QStringList>

namespace peltavo::test {

// What a run of the built peltavo-db gave: exit code (-1 when it crashed or did not finish),
// standard output and standard error.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs peltavo-db from the build's program folder with `args`; a run that does not finish within
// three minutes fails the calling test.
ToolRun runPeltavoDb(const QStringList& args);
// The same with `input` on its standard input.
ToolRun runPeltavoDb(const QStringList& args, const QByteArray& input);

} // namespace peltavo::test
