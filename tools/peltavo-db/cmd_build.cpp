#include "commands.h"

#include <QTextStream>

namespace peltavo::db {

// Not built yet: this subcommand is under way.
int runBuild(const QStringList&) {
    QTextStream(stderr) << "peltavo-db build: not available in this build\n";
    return 2;
}

} // namespace peltavo::db
