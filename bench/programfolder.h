#pragma once

// The benchmarks' program folder: a temporary folder holding a link named peltavo.MDB to the
// database under test, where the main window looks for its database.
#include "platform.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace peltavo::bench {

class FolderPlatform : public platform::SystemPlatform {
public:
    explicit FolderPlatform(QString folder) : folder_(std::move(folder)) {}
    QString programFolder() const override { return folder_; }

private:
    QString folder_;
};

// Links `database` into `folder` as peltavo.MDB; says so on stderr and gives false when it can't.
inline bool linkDatabase(const QTemporaryDir& folder, const char* database) {
    if (QFile::link(QFileInfo(QString::fromLocal8Bit(database)).absoluteFilePath(),
                    folder.filePath(QStringLiteral("peltavo.MDB"))))
        return true;
    std::fprintf(stderr, "cannot link %s\n", database);
    return false;
}

} // namespace peltavo::bench
