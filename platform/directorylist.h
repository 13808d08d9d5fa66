#pragma once

#include <QListWidget>
#include <QString>

namespace peltavo::platform {

// A folder list that takes the process's current folder when it is built and keeps it; windows
// keep one, hidden, to remember the folder they were started in.
class DirectoryList : public QListWidget {
    Q_OBJECT

public:
    explicit DirectoryList(QWidget* parent = nullptr);

    // The folder current when the list was built (QDir::currentPath(), '/' separators, no
    // trailing separator except for the root).
    QString directory() const { return directory_; }

private:
    QString directory_;
};

} // namespace peltavo::platform
