#pragma once

#include "collation.h"
#include "compacttable.h"
#include "filterexpr.h"
#include "tabledata.h"

#include <QObject>
#include <QString>

#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace peltavo {

// An open table of the learning database, held whole in memory (a client-side cursor): open reads
// every row; sorting, filtering, counting and moving then happen on those rows.
//
// The handle's objectName is its component name ("Table", "Tablei", "ADO", ...); the errors below
// start with it:
//   moving, the end/beginning test or counting on a closed table:
//       "<name>: Cannot perform this operation on a closed dataset"
//   reading a field of a closed table, or one the table lacks: "<name>: Field '<field>' not found"
//   reading a null field as text: "Could not convert variant of type (Null) into type (String)"
// All are thrown as peltavo::Error, and nothing changes when one is thrown.
class TableHandle : public QObject {
    Q_OBJECT

public:
    explicit TableHandle(const QString& componentName, QObject* parent = nullptr);
    ~TableHandle() override;

    // Settings kept across close and reopen.
    void setConnectionString(const QString& connectionString);
    QString connectionString() const { return connectionString_; }
    void setTableName(const QString& tableName);
    QString tableName() const { return tableName_; }

    // Reads the table named by tableName() from the file named in the connection string, then makes
    // the first row current (in sort order, of the filtered rows when the filter is on). Throws
    // peltavo::Error when the file or the table cannot be read; the handle then stays closed.
    void open();
    // Starts reading `tableName` from the file named in `connectionString` on a worker thread,
    // leaving the handle's own settings as they are. The next open() with those settings takes
    // its rows from there, waiting for the read to end if need be, and throws that read's error
    // at the moment it would have read the file itself; were the file changed since the read
    // began, or the settings other, open() reads the file itself. Nothing else ever sees the rows
    // before open() has taken them. Does nothing on an open table.
    // With `sortField`, the worker also sorts the rows on that field, as setSort() would, and the
    // setSort() after the open() takes that order.
    void readAhead(const QString& connectionString, const QString& tableName,
                   const QString& sortField = QString());
    // Opens on rows already in memory instead of reading the file (tools and tests). The table
    // name set before decides the collation, as with open().
    void open(TableData data);
    // The same with rows already in the compact form, taken as they are.
    void open(CompactTable rows);
    // Releases the rows; the table name, sort and filter stay set for the next open.
    void close();
    bool isOpen() const { return open_; }

    // Orders the rows ascending by `field` (collated text; numbers numerically). On an open table
    // the first row in the new order becomes current. An empty name removes the sort. Throws the
    // field-not-found error for an unknown field on an open table.
    void setSort(const QString& field);
    QString sortField() const { return sortField_; }

    // Movement. At the last row next stays and sets the end flag; at the first row prior stays and
    // sets the beginning flag. A move back clears the end flag; a move forward the beginning flag.
    void next();
    void prior();
    bool eof() const;
    bool bof() const;

    // Filter. While it is on, only the rows that satisfy the expression exist. A different
    // expression while on, turning it on and turning it off each make the first row of the new set
    // current; the same expression again, or any expression while off, moves nothing. On a closed
    // table these only record the setting. A malformed expression throws peltavo::Error (on an open
    // table with the filter on, or when the filter is switched on) and changes nothing. An empty
    // expression sets no condition.
    void setFilter(const QString& expression);
    QString filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // Rows that exist now (all rows when the filter is off).
    int recordCount() const;
    // Position of the current row among the rows that exist, or -1 when there is none.
    int currentIndex() const;
    // Makes the row at `index` (0 <= index < recordCount()) current, as a grid click does. Leaves
    // the end and beginning flags clear.
    void moveTo(int index);

    // The current row's field as text; throws the conversion error when it holds no value (also
    // when the table has no current row).
    QString fieldAsString(const QString& field) const;
    // The current row's field, null kept as std::nullopt (std::nullopt also when there is no row).
    FieldValue fieldValue(const QString& field) const;
    // A field of the row at `index` among the rows that exist; for views that show many rows.
    FieldValue valueAt(int index, const QString& field) const;
    // The same field's text read in place, empty for null or no such row; valid until the table
    // closes. For scans over many rows.
    QStringView textAt(int index, const QString& field) const;
    // The texts of `valueField` (empty for null) of every row, filtered out or not, whose
    // `keyField` equals `text` as a filter's "=" compares them, in sort order; nulls equal
    // nothing. A binary search when `keyField` is the sort field, a look at every row otherwise.
    // The views stay valid until the table closes. Throws the closed-table error on a closed
    // table and the field-not-found error for a field it lacks.
    std::vector<QStringView> textsWhereEqual(const QString& keyField, QStringView text,
                                             const QString& valueField) const;
    // The table's columns; empty while closed.
    const std::vector<Column>& columns() const;
    bool hasField(const QString& field) const;

signals:
    // The current row changed, or the table opened or closed: bound controls reread their field.
    void currentChanged();
    // The set of rows or their order changed (open, close, sort, filter): views reread everything.
    void rowsReset();

private:
    // Identifies one state of a file: a file with the same identity was not changed meanwhile.
    struct FileIdentity {
        QString path;
        QString table;
        qint64 size = -1;
        qint64 inode = -1;
        qint64 device = -1;
        qint64 modifiedNs = -1;
        qint64 changedNs = -1;
        bool operator==(const FileIdentity&) const = default;
        static std::optional<FileIdentity> of(const QString& path, const QString& table);
    };

    // A set of rows as positions into order_: either the run [begin, end) of it, or the rows
    // listed (a filter that had to test every row).
    struct RowSet {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool listed = false;
        std::vector<int> rows;
    };

    // The rows in the order of one column, made before they were needed.
    struct Presorted {
        int column;
        std::vector<int> rows;
    };
    struct ReadRows {
        CompactTable table;
        std::optional<Presorted> sorted;
    };
    // A read begun by readAhead(): what it reads and the file's state when it began.
    struct ReadAhead {
        QString path;
        QString table;
        std::optional<FileIdentity> identity;
        std::future<ReadRows> rows;
    };

    void requireOpen() const;
    int requireColumn(const QString& field) const;
    void adopt(std::shared_ptr<const CompactTable> data, std::optional<FileIdentity> source,
               std::optional<Presorted> presorted = std::nullopt);
    void buildOrder();
    RowSet everything() const;
    RowSet passing(const QString& expression) const;
    RowSet rowsPassing(const FilterExpr& expr) const;
    int compareCell(int row, int column, const FilterExpr& expr, double number) const;
    // The collation of the table's language.
    const Collation& collation() const;
    int visibleCount() const;
    int rowAt(int index) const;
    void showFirst();

    QString connectionString_;
    QString tableName_;
    QString sortField_;
    QString filterText_;
    bool filtered_ = false;

    bool open_ = false;
    // The rows; after close they stay only when read from a file, so that reopening the same,
    // unchanged file does not read it again (source_ says which file, in which state).
    std::shared_ptr<const CompactTable> data_;
    std::optional<FileIdentity> source_;
    std::optional<ReadAhead> readAhead_;
    // Made by collation() when first needed.
    mutable std::unique_ptr<Collation> collation_;
    int sortColumn_ = -1;                // the column order_ is sorted on, or -1
    std::vector<int> order_;             // all rows in sort order (table order when unsorted)
    bool orderBuilt_ = false;            // order_ is that of data_ sorted on sortColumn_
    std::optional<Presorted> presorted_; // an order of data_ made on the read's worker
    RowSet visible_;                     // rows that exist now
    int current_ = -1;                   // index into the visible rows
    bool eof_ = false;
    bool bof_ = false;
};

// Parses the database path out of a connection string of the form
// "Provider=...;Data Source=<path>;Persist Security Info=False;Jet OLEDB:Database Password=<pw>".
// The path is taken unchanged, so paths holding ';' or blanks work. Throws peltavo::Error when the
// string names no data source.
QString dataSourceOf(const QString& connectionString);

} // namespace peltavo
