#pragma once

#include "qtprint.h"

#include <QString>

namespace peltavo::test {

// A file under tests/fixtures, e.g. fixture("peltavo-sample.mdb").
QString fixture(const QString& relative);
// A file of the source tree, e.g. sourcePath("content/README.md").
QString sourcePath(const QString& relative);
// The folder that holds the built executables (peltavo, peltavo-db) and peltavo.MDB.
QString runtimeDir();

} // namespace peltavo::test
