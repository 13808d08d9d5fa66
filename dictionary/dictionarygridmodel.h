#pragma once

#include "datasource.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <QHeaderView>

#include <array>

namespace peltavo {

// The two columns of the dictionary grid, "Kelime" and "Anlamı", over the table of a data source:
// one row per row that exists in the table (after its filter), in its order. Each column shows the
// field it is given; a field the table lacks or a null value shows an empty cell, and with no
// source, a closed table or neither column given a field there are no rows. Follows the table's
// rows and current row through its signals; never throws.
//
// When the table's rows change (a search), the views hear of rows added or taken away at the end
// and of every row's data changing rather than of a reset: a view's row header keeps one item per
// row, and rebuilding a million of them on every search costs more than the search.
class DictionaryGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumns = 2;

    explicit DictionaryGridModel(QObject* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    void setColumnField(int column, const QString& field);
    QString columnField(int column) const;

    // The table's current row, or -1 (no table, closed, no rows).
    int currentRow() const;
    // Makes `row` the table's current row, as a click into the grid does.
    void setCurrentRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Column titles; the row header carries the record indicator (a pointing triangle) on the
    // current row.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void currentRowChanged(int row);

private:
    void attach();
    void onCurrentChanged();
    void onRowsChanged();
    // The rows the table offers now (what rowCount() reports once the views have been told).
    int tableRows() const;

    QPointer<DataSource> source_;
    std::array<QString, kColumns> fields_;
    QMetaObject::Connection rowsConnection_;
    QMetaObject::Connection currentConnection_;
    int lastCurrent_ = -1;
    int rows_ = 0;              // the rows the views have been told of
    mutable QPixmap indicator_; // drawn on first use: pixmaps need the GUI application
};

// The grid's row header: a column of fixed width and fixed row height that carries the record
// indicator. Its size hint is that fixed size, so the grid does not measure row titles whenever
// the rows change.
class IndicatorHeader : public QHeaderView {
public:
    IndicatorHeader(int width, int rowHeight, QWidget* parent = nullptr);
    QSize sizeHint() const override;
};

} // namespace peltavo
