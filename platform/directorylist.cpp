#include "directorylist.h"

#include <QDir>

namespace peltavo::platform {

DirectoryList::DirectoryList(QWidget* parent)
    : QListWidget(parent), directory_(QDir::currentPath()) {}

} // namespace peltavo::platform
