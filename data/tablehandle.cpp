#include "tablehandle.h"

#include "error.h"
#include "jetreader.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// One row of a sort: the first bytes of its key, most significant first, then the row.
struct SortEntry {
    quint64 prefix;
    const char* key; // the whole key, for texts
    int row;
};

// The first eight bytes of a zero-terminated key as one number that orders as the bytes do.
quint64 prefixOf(const char* key) {
    quint64 prefix = 0;
    int i = 0;
    for (; i < 8 && key[i]; ++i)
        prefix = (prefix << 8) | static_cast<unsigned char>(key[i]);
    return prefix << (8 * (8 - i));
}

// A number as an unsigned integer that orders as the number does (zero and minus zero alike).
quint64 orderedBits(double d) {
    if (d == 0)
        d = 0;
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return (bits & (quint64(1) << 63)) ? ~bits : bits | (quint64(1) << 63);
}

// Below this many rows the keys are made on one thread.
constexpr std::size_t kParallelKeys = 50'000;

// All rows of `table` in the order of column `c`: nulls first, in table order; then the values by
// the collation's comparison (a key made once per row), its ties broken by the stored text, then
// by row.
// With `twoThreads`, the keys of a large table are made on two threads.
std::vector<int> sortedOrder(const CompactTable& table, std::size_t c, const Collation& collation,
                             bool twoThreads) {
    const std::size_t rowCount = table.rowCount();
    std::vector<int> nulls;
    std::vector<SortEntry> entries;
    entries.reserve(rowCount);
    for (std::size_t r = 0; r < rowCount; ++r) {
        if (table.isNull(r, c))
            nulls.push_back(static_cast<int>(r));
        else
            entries.push_back({0, nullptr, static_cast<int>(r)});
    }

    std::string keysLow, keysHigh;
    if (isNumeric(table.columns[c].type)) {
        for (SortEntry& e : entries)
            e.prefix = orderedBits(table.text(static_cast<std::size_t>(e.row), c).toDouble());
    } else {
        // Each half of the entries has its own key buffer; the second half is keyed on a second
        // thread for a large table. Both are done before anything reads the keys.
        const std::size_t half = entries.size() / 2;
        const bool split = twoThreads && entries.size() >= kParallelKeys;
        std::vector<std::size_t> offsets(entries.size());
        auto makeKeys = [&](std::size_t from, std::size_t to, std::string& keys) {
            keys.reserve((to - from) * 16);
            for (std::size_t i = from; i < to; ++i) {
                offsets[i] = keys.size();
                collation.appendKey(table.text(static_cast<std::size_t>(entries[i].row), c), keys);
            }
        };
        if (split) {
            std::thread second(makeKeys, half, entries.size(), std::ref(keysHigh));
            try {
                makeKeys(0, half, keysLow);
            } catch (...) {
                second.join();
                throw;
            }
            second.join();
        } else {
            makeKeys(0, entries.size(), keysLow);
            keysHigh.clear();
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string& keys = split && i >= half ? keysHigh : keysLow;
            entries[i].key = keys.data() + offsets[i];
            entries[i].prefix = prefixOf(entries[i].key);
        }
    }

    auto less = [&](const SortEntry& x, const SortEntry& y) {
        if (x.prefix != y.prefix)
            return x.prefix < y.prefix;
        if (x.key) {
            // Equal prefixes whose last byte is not the key's end: the keys go on.
            if ((x.prefix & 0xff) != 0) {
                if (int r = std::strcmp(x.key + 8, y.key + 8))
                    return r < 0;
            }
            const QStringView tx = table.text(static_cast<std::size_t>(x.row), c);
            const QStringView ty = table.text(static_cast<std::size_t>(y.row), c);
            if (int r = collation.compareTies(tx, ty))
                return r < 0;
        }
        return x.row < y.row;
    };
    std::sort(entries.begin(), entries.end(), less);

    std::vector<int> order(rowCount);
    std::copy(nulls.begin(), nulls.end(), order.begin());
    for (std::size_t i = 0; i < entries.size(); ++i)
        order[nulls.size() + i] = entries[i].row;
    return order;
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

TableHandle::~TableHandle() {
    if (readAhead_ && readAhead_->rows.valid())
        readAhead_->rows.wait();
}

void TableHandle::setConnectionString(const QString& connectionString) {
    connectionString_ = connectionString;
}

void TableHandle::setTableName(const QString& tableName) {
    tableName_ = tableName;
}

void TableHandle::readAhead(const QString& connectionString, const QString& tableName,
                            const QString& sortField) {
    if (isOpen())
        return;
    QString path;
    try {
        path = dataSourceOf(connectionString);
    } catch (const Error&) {
        return; // open() reports it
    }
    if (readAhead_)
        readAhead_->rows.wait();
    std::optional<FileIdentity> identity = FileIdentity::of(path, tableName);
    readAhead_ = ReadAhead{path, tableName, identity, {}};
    readAhead_->rows = std::async(std::launch::async, [path, tableName, sortField] {
        // A read ahead yields to the thread that shows the windows whenever both want a core,
        // and has the cores to itself while that thread waits for it.
        errno = 0;
        const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
        if (errno == 0)
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), std::min(nice + 5, 19));
        ReadRows read{JetReader::readCompactTable(path, tableName), std::nullopt};
        // The order the table will be sorted in, made here too when the field is there; when it
        // is not, or making it fails, the sort on opening makes it (and reports what is wrong).
        const int column = sortField.isEmpty() ? -1 : read.table.columnIndex(sortField);
        if (column >= 0) {
            try {
                const Collation collation(Collation::forTable(tableName));
                read.sorted =
                    Presorted{column, sortedOrder(read.table, static_cast<std::size_t>(column),
                                                  collation, false)};
            } catch (...) {
                read.sorted.reset();
            }
        }
        return read;
    });
}

void TableHandle::open() {
    if (isOpen())
        return;
    const QString path = dataSourceOf(connectionString_);
    std::optional<FileIdentity> identity = FileIdentity::of(path, tableName_);
    if (readAhead_) {
        ReadAhead ahead = std::move(*readAhead_);
        readAhead_.reset();
        // The read counts only for the same file, unchanged since it began; else it is awaited
        // and forgotten, errors and all.
        if (ahead.path == path && ahead.table == tableName_ && ahead.identity &&
            ahead.identity == identity) {
            ReadRows read = ahead.rows.get();
            adopt(std::make_shared<const CompactTable>(std::move(read.table)), std::move(identity),
                  std::move(read.sorted));
            return;
        }
        ahead.rows.wait();
    }
    if (data_ && identity && source_ == identity) {
        adopt(data_, identity);
        return;
    }
    auto data = std::make_shared<const CompactTable>(JetReader::readCompactTable(path, tableName_));
    adopt(std::move(data), std::move(identity));
}

void TableHandle::open(TableData rows) {
    if (isOpen())
        return;
    adopt(std::make_shared<const CompactTable>(std::move(rows)), std::nullopt);
}

void TableHandle::open(CompactTable rows) {
    if (isOpen())
        return;
    adopt(std::make_shared<const CompactTable>(std::move(rows)), std::nullopt);
}

std::optional<TableHandle::FileIdentity> TableHandle::FileIdentity::of(const QString& path,
                                                                       const QString& table) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    constexpr qint64 ns = 1'000'000'000;
    return FileIdentity{path,
                        table,
                        static_cast<qint64>(st.st_size),
                        static_cast<qint64>(st.st_ino),
                        static_cast<qint64>(st.st_dev),
                        st.st_mtim.tv_sec * ns + st.st_mtim.tv_nsec,
                        st.st_ctim.tv_sec * ns + st.st_ctim.tv_nsec};
}

void TableHandle::adopt(std::shared_ptr<const CompactTable> data,
                        std::optional<FileIdentity> source, std::optional<Presorted> presorted) {
    if (data != data_) {
        order_.clear();
        orderBuilt_ = false;
        sortColumn_ = -1;
        presorted_ = std::move(presorted);
    }
    data_ = std::move(data);
    source_ = std::move(source);
    open_ = true;
    if (collation_ && collation_->language() != Collation::forTable(tableName_)) {
        collation_.reset();
        orderBuilt_ = false;
    }
    try {
        buildOrder();
        visible_ = filtered_ ? passing(filterText_) : everything();
    } catch (...) {
        close();
        throw;
    }
    showFirst();
}

void TableHandle::close() {
    if (!isOpen())
        return;
    open_ = false;
    if (!source_) {
        data_.reset();
        presorted_.reset();
        order_.clear();
        orderBuilt_ = false;
        sortColumn_ = -1;
    }
    visible_ = RowSet();
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
    visible_ = filtered_ ? passing(filterText_) : everything();
    showFirst();
}

void TableHandle::next() {
    requireOpen();
    const int count = visibleCount();
    if (count == 0 || eof_) {
        eof_ = true;
        return;
    }
    if (current_ + 1 >= count) {
        eof_ = true;
        return;
    }
    ++current_;
    bof_ = false;
    emit currentChanged();
}

void TableHandle::prior() {
    requireOpen();
    if (visibleCount() == 0) {
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
        RowSet rows = passing(expression);
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
        RowSet rows = on ? passing(filterText_) : everything();
        filtered_ = on;
        visible_ = std::move(rows);
        showFirst();
        return;
    }
    filtered_ = on;
}

int TableHandle::recordCount() const {
    requireOpen();
    return visibleCount();
}

int TableHandle::currentIndex() const {
    return isOpen() ? current_ : -1;
}

void TableHandle::moveTo(int index) {
    requireOpen();
    if (index < 0 || index >= visibleCount())
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
    return data_->value(static_cast<std::size_t>(rowAt(current_)),
                        static_cast<std::size_t>(column));
}

FieldValue TableHandle::valueAt(int index, const QString& field) const {
    const int column = requireColumn(field);
    if (index < 0 || index >= visibleCount())
        return std::nullopt;
    return data_->value(static_cast<std::size_t>(rowAt(index)), static_cast<std::size_t>(column));
}

QStringView TableHandle::textAt(int index, const QString& field) const {
    const int column = requireColumn(field);
    if (index < 0 || index >= visibleCount())
        return {};
    return data_->text(static_cast<std::size_t>(rowAt(index)), static_cast<std::size_t>(column));
}

std::vector<QStringView> TableHandle::textsWhereEqual(const QString& keyField, QStringView text,
                                                      const QString& valueField) const {
    requireOpen();
    const auto key = static_cast<std::size_t>(requireColumn(keyField));
    const auto value = static_cast<std::size_t>(requireColumn(valueField));
    const bool numeric = isNumeric(data_->columns[key].type);
    const double number = numeric ? text.toDouble() : 0;
    auto compare = [&](int row) {
        const QStringView v = data_->text(static_cast<std::size_t>(row), key);
        return numeric ? sign(v.toDouble() - number) : collation().compare(v, text);
    };
    auto isNull = [&](int row) { return data_->isNull(static_cast<std::size_t>(row), key); };

    std::vector<QStringView> texts;
    auto take = [&](int row) {
        texts.push_back(data_->text(static_cast<std::size_t>(row), value));
    };
    if (static_cast<std::size_t>(sortColumn_) == key) {
        // Nulls sort first; the equal values are one run of the sorted order behind them.
        const auto values = std::partition_point(order_.begin(), order_.end(), isNull);
        auto row =
            std::partition_point(values, order_.end(), [&](int r) { return compare(r) < 0; });
        for (; row != order_.end() && compare(*row) == 0; ++row)
            take(*row);
    } else {
        for (int row : order_) {
            if (!isNull(row) && compare(row) == 0)
                take(row);
        }
    }
    return texts;
}

const std::vector<Column>& TableHandle::columns() const {
    static const std::vector<Column> none;
    return isOpen() ? data_->columns : none;
}

bool TableHandle::hasField(const QString& field) const {
    return isOpen() && data_->columnIndex(field) >= 0;
}

void TableHandle::requireOpen() const {
    if (!isOpen())
        throw Error(objectName() +
                    QStringLiteral(": Cannot perform this operation on a closed dataset"));
}

int TableHandle::requireColumn(const QString& field) const {
    const int column = isOpen() ? data_->columnIndex(field) : -1;
    if (column < 0)
        throw Error(objectName() + QStringLiteral(": Field '%1' not found").arg(field));
    return column;
}

int TableHandle::visibleCount() const {
    return static_cast<int>(visible_.listed ? visible_.rows.size() : visible_.end - visible_.begin);
}

int TableHandle::rowAt(int index) const {
    const auto i = static_cast<std::size_t>(index);
    return visible_.listed ? visible_.rows[i] : order_[visible_.begin + i];
}

void TableHandle::buildOrder() {
    const int column = sortField_.isEmpty() ? -1 : requireColumn(sortField_);
    if (orderBuilt_ && column == sortColumn_)
        return;
    orderBuilt_ = false;
    if (column < 0) {
        order_.resize(data_->rowCount());
        for (std::size_t i = 0; i < order_.size(); ++i)
            order_[i] = static_cast<int>(i);
    } else if (presorted_ && presorted_->column == column) {
        order_ = std::move(presorted_->rows);
        presorted_.reset();
    } else {
        order_ = sortedOrder(*data_, static_cast<std::size_t>(column), collation(), true);
    }
    sortColumn_ = column;
    orderBuilt_ = true;
}

const Collation& TableHandle::collation() const {
    // Made when first needed: making one loads the language's rules, and a table that is never
    // sorted or filtered (the conversations) has no use for them.
    if (!collation_)
        collation_ = std::make_unique<Collation>(Collation::forTable(tableName_));
    return *collation_;
}

int TableHandle::compareCell(int row, int column, const FilterExpr& expr, double number) const {
    const QStringView v =
        data_->text(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
    if (!isNumeric(data_->columns[static_cast<std::size_t>(column)].type))
        return collation().compare(v, expr.value);
    return sign(v.toDouble() - number);
}

TableHandle::RowSet TableHandle::everything() const {
    return RowSet{0, order_.size(), false, {}};
}

TableHandle::RowSet TableHandle::passing(const QString& expression) const {
    // An empty expression sets no condition.
    if (expression.trimmed().isEmpty())
        return everything();
    return rowsPassing(FilterExpr::parse(expression));
}

TableHandle::RowSet TableHandle::rowsPassing(const FilterExpr& expr) const {
    const int column = requireColumn(expr.field);
    const auto c = static_cast<std::size_t>(column);
    const bool numeric = isNumeric(data_->columns[c].type);
    double number = 0;
    if (numeric) {
        bool ok = false;
        number = expr.value.toDouble(&ok);
        if (!ok)
            throw Error(QStringLiteral("Data type mismatch in criteria expression"));
    }

    // On the sort field the passing rows are one run of the sorted order; find its ends by
    // binary search. Nulls sort first and never pass.
    if (column == sortColumn_ && expr.op != FilterExpr::Op::NotEqual) {
        const auto first = order_.begin();
        auto firstValue = std::partition_point(order_.begin(), order_.end(), [&](int row) {
            return data_->isNull(static_cast<std::size_t>(row), c);
        });
        auto lower = std::partition_point(firstValue, order_.end(), [&](int row) {
            return compareCell(row, column, expr, number) < 0;
        });
        auto upper = std::partition_point(lower, order_.end(), [&](int row) {
            return compareCell(row, column, expr, number) <= 0;
        });
        auto run = [&](auto from, auto to) {
            return RowSet{static_cast<std::size_t>(from - first),
                          static_cast<std::size_t>(to - first),
                          false,
                          {}};
        };
        switch (expr.op) {
        case FilterExpr::Op::Equal:
            return run(lower, upper);
        case FilterExpr::Op::Less:
            return run(firstValue, lower);
        case FilterExpr::Op::LessEqual:
            return run(firstValue, upper);
        case FilterExpr::Op::Greater:
            return run(upper, order_.end());
        case FilterExpr::Op::GreaterEqual:
            return run(lower, order_.end());
        case FilterExpr::Op::NotEqual:
            break;
        }
    }

    RowSet rows;
    rows.listed = true;
    for (int row : order_) {
        if (!data_->isNull(static_cast<std::size_t>(row), c) &&
            expr.accepts(compareCell(row, column, expr, number)))
            rows.rows.push_back(row);
    }
    return rows;
}

void TableHandle::showFirst() {
    const bool empty = visibleCount() == 0;
    current_ = empty ? -1 : 0;
    eof_ = bof_ = empty;
    emit rowsReset();
    emit currentChanged();
}

} // namespace peltavo
