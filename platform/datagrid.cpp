#include "datagrid.h"

namespace peltavo::platform {

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus()) {
        QTableView::currentChanged(current, previous);
        return;
    }
    // Everything QTableView adds to this is the accessibility focus event.
    QAbstractItemView::currentChanged(current, previous);
}

} // namespace peltavo::platform
