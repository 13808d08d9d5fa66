#include "tablehandle.h"

#include "error.h"
#include "jetreader.h"

#include <algorithm>

namespace peltavo {

namespace {

const QString kDataSource = QStringLiteral("Data Source=");
const QString kAfterPath = QStringLiteral(";Persist Security Info=");

int sign(double d) {
    return (d > 0) - (d < 0);
}

bool isNumeric(ColumnType type) {
    return type == ColumnType::Integer;
}

} // namespace

QString dataSourceOf(const QString& connectionString) {
    const qsizetype start = connectionString.indexOf(kDataSource, 0, Qt::CaseInsensitive);
    if (start < 0)
        throw Error(QStringLiteral("The connection string names no data source"));
    const qsizetype from = start + kDataSource.size();
    // The path is inserted unchanged, so it may itself hold ';': it ends where the fixed
    // settings that follow it begin.
    qsizetype end = connectionString.lastIndexOf(kAfterPath, -1, Qt::CaseInsensitive);
    if (end < from)
        end = connectionString.indexOf(u';', from);
    if (end < 0)
        end = connectionString.size();
    const QString path = connectionString.mid(from, end - from);
    if (path.trimmed().isEmpty())
        throw Error(QStringLiteral("The connection string names no data source"));
    return path;
}

TableHandle::TableHandle(const QString& componentName, QObject* parent) : QObject(parent) {
    setObjectName(componentName);
}

TableHandle::~TableHandle() = default;

void TableHandle::setConnectionString(const QString& connectionString) {
    connectionString_ = connectionString;
}

void TableHandle::setTableName(const QString& tableName) {
    tableName_ = tableName;
}

void TableHandle::open() {
    if (isOpen())
        return;
    open(JetReader::readTable(dataSourceOf(connectionString_), tableName_));
}

void TableHandle::open(TableData rows) {
    if (isOpen())
        return;
    auto data = std::make_unique<TableData>(std::move(rows));
    data_ = std::move(data);
    collation_ = std::make_unique<Collation>(Collation::forTable(tableName_));
    try {
        buildOrder();
        visible_ = filtered_ ? passing(filterText_) : order_;
    } catch (...) {
        close();
        throw;
    }
    showFirst();
}

void TableHandle::close() {
    if (!isOpen())
        return;
    data_.reset();
    sortKeys_.clear();
    order_.clear();
    visible_.clear();
    sortColumn_ = -1;
    current_ = -1;
    eof_ = bof_ = false;
    emit rowsReset();
    emit currentChanged();
}

void TableHandle::setSort(const QString& field) {
    if (isOpen() && !field.isEmpty())
        requireColumn(field);
    sortField_ = field;
    if (!isOpen())
        return;
    buildOrder();
    visible_ = filtered_ ? passing(filterText_) : order_;
    showFirst();
}

void TableHandle::next() {
    requireOpen();
    if (visible_.empty() || eof_) {
        eof_ = true;
        return;
    }
    if (current_ + 1 >= static_cast<int>(visible_.size())) {
        eof_ = true;
        return;
    }
    ++current_;
    bof_ = false;
    emit currentChanged();
}

void TableHandle::prior() {
    requireOpen();
    if (visible_.empty()) {
        bof_ = true;
        return;
    }
    eof_ = false;
    if (current_ <= 0) {
        bof_ = true;
        return;
    }
    --current_;
    emit currentChanged();
}

bool TableHandle::eof() const {
    requireOpen();
    return eof_;
}

bool TableHandle::bof() const {
    requireOpen();
    return bof_;
}

void TableHandle::setFilter(const QString& expression) {
    if (expression == filterText_)
        return;
    if (isOpen() && filtered_) {
        std::vector<int> rows = passing(expression);
        filterText_ = expression;
        visible_ = std::move(rows);
        showFirst();
        return;
    }
    filterText_ = expression;
}

void TableHandle::setFiltered(bool on) {
    if (on == filtered_)
        return;
    if (isOpen()) {
        std::vector<int> rows = on ? passing(filterText_) : order_;
        filtered_ = on;
        visible_ = std::move(rows);
        showFirst();
        return;
    }
    filtered_ = on;
}

int TableHandle::recordCount() const {
    requireOpen();
    return static_cast<int>(visible_.size());
}

int TableHandle::currentIndex() const {
    return isOpen() ? current_ : -1;
}

void TableHandle::moveTo(int index) {
    requireOpen();
    if (index < 0 || index >= static_cast<int>(visible_.size()))
        return;
    eof_ = bof_ = false;
    if (index == current_)
        return;
    current_ = index;
    emit currentChanged();
}

QString TableHandle::fieldAsString(const QString& field) const {
    FieldValue value = fieldValue(field);
    if (!value)
        throw Error(QStringLiteral("Could not convert variant of type (Null) into type (String)"));
    return *value;
}

FieldValue TableHandle::fieldValue(const QString& field) const {
    const int column = requireColumn(field);
    if (current_ < 0)
        return std::nullopt;
    return data_->rows[static_cast<size_t>(visible_[static_cast<size_t>(current_)])]
                      [static_cast<size_t>(column)];
}

FieldValue TableHandle::valueAt(int index, const QString& field) const {
    const int column = requireColumn(field);
    if (index < 0 || index >= static_cast<int>(visible_.size()))
        return std::nullopt;
    return data_->rows[static_cast<size_t>(visible_[static_cast<size_t>(index)])]
                      [static_cast<size_t>(column)];
}

const std::vector<Column>& TableHandle::columns() const {
    static const std::vector<Column> none;
    return data_ ? data_->columns : none;
}

bool TableHandle::hasField(const QString& field) const {
    return data_ && data_->columnIndex(field) >= 0;
}

void TableHandle::requireOpen() const {
    if (!isOpen())
        throw Error(objectName() +
                    QStringLiteral(": Cannot perform this operation on a closed dataset"));
}

int TableHandle::requireColumn(const QString& field) const {
    const int column = data_ ? data_->columnIndex(field) : -1;
    if (column < 0)
        throw Error(objectName() + QStringLiteral(": Field '%1' not found").arg(field));
    return column;
}

TableHandle::SortKey TableHandle::keyOf(int column, const QString& text) const {
    SortKey key;
    key.null = false;
    if (isNumeric(data_->columns[static_cast<size_t>(column)].type))
        key.number = text.toDouble();
    else
        key.text = collation_->key(text);
    return key;
}

int TableHandle::compareKeys(const SortKey& a, const SortKey& b) {
    if (a.null || b.null)
        return int(b.null) - int(a.null);
    if (a.text && b.text)
        return a.text->compare(*b.text);
    return sign(a.number - b.number);
}

void TableHandle::buildOrder() {
    const size_t rowCount = data_->rows.size();
    order_.resize(rowCount);
    for (size_t i = 0; i < rowCount; ++i)
        order_[i] = static_cast<int>(i);
    sortKeys_.clear();
    sortColumn_ = sortField_.isEmpty() ? -1 : requireColumn(sortField_);
    if (sortColumn_ < 0)
        return;
    sortKeys_.reserve(rowCount);
    for (const auto& row : data_->rows) {
        const FieldValue& v = row[static_cast<size_t>(sortColumn_)];
        sortKeys_.push_back(v ? keyOf(sortColumn_, *v) : SortKey{});
    }
    std::stable_sort(order_.begin(), order_.end(), [this](int a, int b) {
        return compareKeys(sortKeys_[static_cast<size_t>(a)], sortKeys_[static_cast<size_t>(b)]) <
               0;
    });
}

int TableHandle::compareCell(int row, int column, const FilterExpr& expr,
                             const SortKey& valueKey) const {
    const FieldValue& v = data_->rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
    if (valueKey.text)
        return collation_->compare(*v, expr.value);
    return sign(v->toDouble() - valueKey.number);
}

std::vector<int> TableHandle::passing(const QString& expression) const {
    // An empty expression sets no condition.
    if (expression.trimmed().isEmpty())
        return order_;
    return rowsPassing(FilterExpr::parse(expression));
}

std::vector<int> TableHandle::rowsPassing(const FilterExpr& expr) const {
    const int column = requireColumn(expr.field);
    const bool numeric = isNumeric(data_->columns[static_cast<size_t>(column)].type);
    if (numeric) {
        bool ok = false;
        expr.value.toDouble(&ok);
        if (!ok)
            throw Error(QStringLiteral("Data type mismatch in criteria expression"));
    }
    const SortKey valueKey = keyOf(column, expr.value);

    // On the sort field the passing rows are one run of the sorted order; find its ends by
    // binary search. Nulls sort first and never pass.
    if (column == sortColumn_ && expr.op != FilterExpr::Op::NotEqual) {
        auto less = [this](int row, const SortKey& key) {
            return compareKeys(sortKeys_[static_cast<size_t>(row)], key) < 0;
        };
        auto greater = [this](const SortKey& key, int row) {
            return compareKeys(key, sortKeys_[static_cast<size_t>(row)]) < 0;
        };
        auto firstValue = std::partition_point(order_.begin(), order_.end(), [this](int row) {
            return sortKeys_[static_cast<size_t>(row)].null;
        });
        auto lower = std::lower_bound(firstValue, order_.end(), valueKey, less);
        auto upper = std::upper_bound(lower, order_.end(), valueKey, greater);
        switch (expr.op) {
        case FilterExpr::Op::Equal:
            return {lower, upper};
        case FilterExpr::Op::Less:
            return {firstValue, lower};
        case FilterExpr::Op::LessEqual:
            return {firstValue, upper};
        case FilterExpr::Op::Greater:
            return {upper, order_.end()};
        case FilterExpr::Op::GreaterEqual:
            return {lower, order_.end()};
        case FilterExpr::Op::NotEqual:
            break;
        }
    }

    std::vector<int> rows;
    for (int row : order_) {
        if (data_->rows[static_cast<size_t>(row)][static_cast<size_t>(column)] &&
            expr.accepts(compareCell(row, column, expr, valueKey)))
            rows.push_back(row);
    }
    return rows;
}

void TableHandle::showFirst() {
    current_ = visible_.empty() ? -1 : 0;
    eof_ = bof_ = visible_.empty();
    emit rowsReset();
    emit currentChanged();
}

} // namespace peltavo
