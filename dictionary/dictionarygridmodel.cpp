#include "dictionarygridmodel.h"

#include "datasource.h"
#include "tablehandle.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace peltavo {

namespace {

const std::array<QString, DictionaryGridModel::kColumns> kTitles = {QStringLiteral("Kelime"),
                                                                    QStringLiteral("Anlamı")};

QPixmap drawIndicator() {
    QPixmap pixmap(6, 9);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QPainterPath triangle;
    triangle.moveTo(0, 0);
    triangle.lineTo(5, 4.5);
    triangle.lineTo(0, 9);
    triangle.closeSubpath();
    painter.fillPath(triangle, Qt::black);
    return pixmap;
}

} // namespace

DictionaryGridModel::DictionaryGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DictionaryGridModel::setDataSource(DataSource* source) {
    beginResetModel();
    source_ = source;
    attach();
    rows_ = tableRows();
    endResetModel();
    onCurrentChanged();
}

void DictionaryGridModel::attach() {
    disconnect(rowsConnection_);
    disconnect(currentConnection_);
    TableHandle* table = source_ ? source_->dataSet() : nullptr;
    if (!table)
        return;
    rowsConnection_ =
        connect(table, &TableHandle::rowsReset, this, &DictionaryGridModel::onRowsChanged);
    currentConnection_ =
        connect(table, &TableHandle::currentChanged, this, &DictionaryGridModel::onCurrentChanged);
}

void DictionaryGridModel::setColumnField(int column, const QString& field) {
    if (column < 0 || column >= kColumns)
        return;
    beginResetModel();
    fields_[std::size_t(column)] = field;
    rows_ = tableRows();
    endResetModel();
    onCurrentChanged();
}

QString DictionaryGridModel::columnField(int column) const {
    if (column < 0 || column >= kColumns)
        return {};
    return fields_[std::size_t(column)];
}

int DictionaryGridModel::currentRow() const {
    const TableHandle* table = source_ ? source_->dataSet() : nullptr;
    return table ? table->currentIndex() : -1;
}

void DictionaryGridModel::setCurrentRow(int row) {
    TableHandle* table = source_ ? source_->dataSet() : nullptr;
    if (table && table->isOpen())
        table->moveTo(row);
}

void DictionaryGridModel::onRowsChanged() {
    const int before = rows_;
    const int after = tableRows();
    if (after < before) {
        beginRemoveRows(QModelIndex(), after, before - 1);
        rows_ = after;
        endRemoveRows();
    } else if (after > before && after - before < after / 3) {
        beginInsertRows(QModelIndex(), before, after - 1);
        rows_ = after;
        endInsertRows();
    } else if (after > before) {
        // The header makes an item per added row, which costs more than a reset beyond a third.
        beginResetModel();
        rows_ = after;
        endResetModel();
        return;
    }
    // Every row may show another entry now; the indicator follows the current row's signal.
    if (after > 0)
        emit dataChanged(index(0, 0), index(after - 1, kColumns - 1));
}

void DictionaryGridModel::onCurrentChanged() {
    const int current = currentRow();
    const int previous = lastCurrent_;
    lastCurrent_ = current;
    const int rows = rowCount();
    if (previous >= 0 && previous < rows)
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (current >= 0 && current < rows)
        emit headerDataChanged(Qt::Vertical, current, current);
    emit currentRowChanged(current);
}

int DictionaryGridModel::tableRows() const {
    const TableHandle* table = source_ ? source_->dataSet() : nullptr;
    const bool bound = std::any_of(fields_.begin(), fields_.end(),
                                   [](const QString& field) { return !field.isEmpty(); });
    if (!bound || !table || !table->isOpen())
        return 0;
    return table->recordCount();
}

int DictionaryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DictionaryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant DictionaryGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const TableHandle* table = source_ ? source_->dataSet() : nullptr;
    const QString& field = fields_[std::size_t(index.column())];
    if (!table || !table->isOpen() || field.isEmpty() || !table->hasField(field))
        return QString();
    return table->valueAt(index.row(), field).value_or(QString());
}

QVariant DictionaryGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= kColumns)
            return {};
        if (role == Qt::DisplayRole)
            return kTitles[std::size_t(section)];
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    if (role == Qt::DisplayRole)
        return QString();
    if (role == Qt::DecorationRole && section == currentRow() && section < rows_) {
        if (indicator_.isNull())
            indicator_ = drawIndicator();
        return indicator_;
    }
    return {};
}

Qt::ItemFlags DictionaryGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

IndicatorHeader::IndicatorHeader(int width, int rowHeight, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent) {
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultSectionSize(rowHeight);
    setFixedWidth(width);
}

QSize IndicatorHeader::sizeHint() const {
    return QSize(width(), defaultSectionSize());
}

} // namespace peltavo
