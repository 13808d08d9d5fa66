#include "testpaths.h"

namespace peltavo::test {

QString fixture(const QString& relative) {
    return QStringLiteral(PELTAVO_FIXTURES_DIR) + u'/' + relative;
}

QString sourcePath(const QString& relative) {
    return QStringLiteral(PELTAVO_SOURCE_DIR) + u'/' + relative;
}

QString runtimeDir() {
    return QStringLiteral(PELTAVO_RUNTIME_DIR);
}

} // namespace peltavo::test
