#pragma once

#include <QTableView>

namespace peltavo::platform {

// The data grid: a table view that tells a screen reader of a new current cell only while it
// has the keyboard focus. QTableView reports every change of its current cell as a focus move,
// so a search that moves the current record from a button would have a screen reader announce
// that the focus jumped into the grid while the keyboard stays on the button.
class DataGrid : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

} // namespace peltavo::platform
