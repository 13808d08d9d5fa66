#include "peltavodb.h"

#include "testpaths.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace peltavo::test {

ToolRun runPeltavoDb(const QStringList& args) {
    return runPeltavoDb(args, QByteArray());
}

ToolRun runPeltavoDb(const QStringList& args, const QByteArray& input) {
    QProcess process;
    process.start(runtimeDir() + QStringLiteral("/peltavo-db"), args);
    process.write(input);
    process.closeWriteChannel();
    ToolRun run;
    if (!process.waitForFinished(180000)) {
        ADD_FAILURE() << "peltavo-db " << args.join(u' ').toStdString() << " did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace peltavo::test
