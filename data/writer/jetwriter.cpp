#include "jetwriter.h"

#include "error.h"
#include "jet4format.h"

#include <QSet>

#include <limits>

namespace peltavo {

namespace {

using jet4::Cell;
using jet4::ColumnSpec;
using jet4::TableSpec;
using jet4::Type;

// Every object carries the same creation date (2024-01-01 as an OLE day number), so the same
// tables always give the same bytes.
constexpr double kFixedDate = 45292.0;

// Catalog ids of the containers Jet keeps its objects in, and of the database object.
constexpr std::int32_t kRootId = 0x0f000000;
constexpr std::int32_t kTablesId = 0x0f000001;
constexpr std::int32_t kDatabasesId = 0x0f000002;
constexpr std::int32_t kRelationshipsId = 0x0f000003;
constexpr std::int32_t kDatabaseObjectId = 0x10000000;
constexpr std::int32_t kSystemFlag = std::numeric_limits<std::int32_t>::min(); // 0x80000000

constexpr std::int64_t kTypeTable = 1;
constexpr std::int64_t kTypeDatabase = 2;
constexpr std::int64_t kTypeContainer = 3;

// The security ids of a new database without a workgroup: the engine (owner of the system
// objects), the creating user, and the two groups Jet grants rights to.
const QByteArray kEngineSid = QByteArray::fromHex("6589");
const QByteArray kCreatorSid = QByteArray::fromHex("648b");
const QByteArray kAdminsSid = QByteArray::fromHex("658b");
const QByteArray kUsersSid = QByteArray::fromHex("658e");

ColumnSpec col(const char* name, Type type, int length = 0, std::uint8_t flags = 0) {
    return ColumnSpec{QString::fromLatin1(name), type, length, false, flags};
}

// Flags Jet gives the columns of its own tables.
constexpr std::uint8_t kSysFixed = 0x13;
constexpr std::uint8_t kSysVar = 0x12;
constexpr std::uint8_t kSysSid = 0x32;

TableSpec msysObjects() {
    return {
        QStringLiteral("MSysObjects"),
        true,
        {col("Id", Type::Long, 0, kSysFixed), col("ParentId", Type::Long, 0, kSysFixed),
         col("Name", Type::Text, 255, kSysVar), col("Type", Type::Int16, 0, kSysFixed),
         col("DateCreate", Type::DateTime, 0, kSysFixed),
         col("DateUpdate", Type::DateTime, 0, kSysFixed), col("Owner", Type::Binary, 510, kSysSid),
         col("Flags", Type::Long, 0, kSysFixed), col("Database", Type::Memo, 0, kSysVar),
         col("Connect", Type::Memo, 0, kSysVar), col("ForeignName", Type::Text, 255, kSysVar),
         col("RmtInfoShort", Type::Binary, 510, kSysVar), col("RmtInfoLong", Type::Ole, 0, kSysVar),
         col("Lv", Type::Ole, 0, kSysVar), col("LvProp", Type::Ole, 0, kSysVar),
         col("LvModule", Type::Ole, 0, kSysVar), col("LvExtra", Type::Ole, 0, kSysVar)}};
}

TableSpec msysAces() {
    return {QStringLiteral("MSysACEs"),
            true,
            {col("ObjectId", Type::Long, 0, kSysFixed), col("SID", Type::Binary, 510, kSysSid),
             col("ACM", Type::Long, 0, kSysFixed),
             col("FInheritable", Type::Boolean, 0, kSysFixed)}};
}

TableSpec msysQueries() {
    return {QStringLiteral("MSysQueries"),
            true,
            {col("ObjectId", Type::Long, 0, kSysFixed), col("Attribute", Type::Byte, 0, kSysFixed),
             col("Order", Type::Binary, 510, kSysVar), col("Name1", Type::Text, 255, kSysVar),
             col("Name2", Type::Text, 255, kSysVar), col("Expression", Type::Memo, 0, kSysVar),
             col("Flag", Type::Int16, 0, kSysFixed), col("LvExtra", Type::Long, 0, kSysFixed)}};
}

TableSpec msysRelationships() {
    return {QStringLiteral("MSysRelationships"),
            true,
            {col("szRelationship", Type::Text, 255, kSysVar),
             col("grbit", Type::Long, 0, kSysFixed), col("ccolumn", Type::Long, 0, kSysFixed),
             col("icolumn", Type::Long, 0, kSysFixed), col("szObject", Type::Text, 255, kSysVar),
             col("szColumn", Type::Text, 255, kSysVar),
             col("szReferencedObject", Type::Text, 255, kSysVar),
             col("szReferencedColumn", Type::Text, 255, kSysVar)}};
}

constexpr int kSystemTables = 4;

// Why `name` cannot name a table or column in Jet, or an empty string.
QString nameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("it is empty");
    if (name.size() > jet4::kMaxNameLength)
        return QStringLiteral("it is longer than %1 characters").arg(jet4::kMaxNameLength);
    if (name.front() == u' ')
        return QStringLiteral("it begins with a blank");
    for (const QChar ch : name) {
        if (ch.unicode() < 0x20)
            return QStringLiteral("it holds a control character");
        if (ch == u'.' || ch == u'!' || ch == u'`' || ch == u'[' || ch == u']')
            return QStringLiteral("it holds the character '%1'").arg(ch);
    }
    return {};
}

void validate(const std::vector<TableData>& tables) {
    QSet<QString> tableNames;
    for (const TableData& t : tables) {
        if (const QString problem = nameProblem(t.name); !problem.isEmpty())
            throw Error(
                QStringLiteral("The table name '%1' cannot be used: %2").arg(t.name, problem));
        if (t.name.startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive)) {
            throw Error(QStringLiteral("The table name '%1' cannot be used: names beginning with "
                                       "MSys belong to the system tables")
                            .arg(t.name));
        }
        if (tableNames.contains(t.name.toCaseFolded()))
            throw Error(QStringLiteral("Two tables are named '%1'").arg(t.name));
        tableNames.insert(t.name.toCaseFolded());

        if (t.columns.empty())
            throw Error(QStringLiteral("Table '%1' has no columns").arg(t.name));
        if (t.columns.size() > jet4::kMaxColumns) {
            throw Error(QStringLiteral("Table '%1' has %2 columns, more than the %3 Access allows")
                            .arg(t.name)
                            .arg(t.columns.size())
                            .arg(jet4::kMaxColumns));
        }
        QSet<QString> columnNames;
        for (const Column& c : t.columns) {
            if (const QString problem = nameProblem(c.name); !problem.isEmpty()) {
                throw Error(QStringLiteral("Table '%1': the column name '%2' cannot be used: %3")
                                .arg(t.name, c.name, problem));
            }
            if (columnNames.contains(c.name.toCaseFolded()))
                throw Error(
                    QStringLiteral("Table '%1' has two columns named '%2'").arg(t.name, c.name));
            columnNames.insert(c.name.toCaseFolded());
            if (c.type == ColumnType::Other || c.type == ColumnType::Binary) {
                throw Error(QStringLiteral("Table '%1', column '%2': only Integer, Text and Memo "
                                           "columns can be written")
                                .arg(t.name, c.name));
            }
            if (c.type == ColumnType::Text && (c.maxLength < 1 || c.maxLength > 255)) {
                throw Error(QStringLiteral("Table '%1', column '%2': a text column holds 1 to 255 "
                                           "characters, not %3")
                                .arg(t.name, c.name)
                                .arg(c.maxLength));
            }
        }
    }
}

TableSpec userTable(const TableData& t) {
    TableSpec spec{t.name, false, {}};
    for (const Column& c : t.columns) {
        switch (c.type) {
        case ColumnType::Integer:
            spec.columns.push_back({c.name, Type::Long, 0, false, 0});
            break;
        case ColumnType::Text:
            spec.columns.push_back({c.name, Type::Text, c.maxLength, true, 0});
            break;
        case ColumnType::Memo:
        case ColumnType::Other:
        case ColumnType::Binary:
            spec.columns.push_back({c.name, Type::Memo, 0, true, 0});
            break;
        }
    }
    return spec;
}

// A decimal whole number that fits 32 bits: an optional minus sign and digits, nothing else.
bool parseLong(QStringView text, std::int64_t* value) {
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text.front() == u'-';
    if (negative)
        ++i;
    if (i == text.size())
        return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            return false;
        v = v * 10 + (ch - u'0');
        if (v > std::int64_t{1} << 31)
            return false;
    }
    v = negative ? -v : v;
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return false;
    *value = v;
    return true;
}

void writeUserRows(jet4::Jet4File& file, const TableData& t) {
    std::vector<Cell> cells(t.columns.size());
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::vector<FieldValue>& row = t.rows[r];
        if (row.size() != t.columns.size()) {
            throw Error(QStringLiteral("Table '%1', row %2: the row holds %3 values for %4 columns")
                            .arg(t.name)
                            .arg(r + 1)
                            .arg(row.size())
                            .arg(t.columns.size()));
        }
        for (size_t c = 0; c < row.size(); ++c) {
            const FieldValue& v = row[c];
            if (!v) {
                cells[c] = Cell::null();
            } else if (t.columns[c].type == ColumnType::Integer) {
                std::int64_t number = 0;
                if (!parseLong(*v, &number)) {
                    throw Error(QStringLiteral("Table '%1', row %2, column '%3': '%4' is not a "
                                               "whole number from -2147483648 to 2147483647")
                                    .arg(t.name)
                                    .arg(r + 1)
                                    .arg(t.columns[c].name, v->left(40)));
                }
                cells[c] = Cell::ofInteger(number);
            } else {
                cells[c] = Cell::ofText(*v);
            }
        }
        file.addRow(cells);
    }
}

void writeCatalog(jet4::Jet4File& file, const std::vector<TableData>& tables,
                  const std::vector<std::uint32_t>& ids) {
    auto object = [&](std::int64_t id, std::int64_t parent, const QString& name, std::int64_t type,
                      const QByteArray& owner, std::int64_t flags) {
        std::vector<Cell> cells(17, Cell::null());
        cells[0] = Cell::ofInteger(id);
        cells[1] = Cell::ofInteger(parent);
        cells[2] = Cell::ofText(name);
        cells[3] = Cell::ofInteger(type);
        cells[4] = Cell::ofReal(kFixedDate);
        cells[5] = Cell::ofReal(kFixedDate);
        cells[6] = Cell::ofBytes(owner);
        cells[7] = Cell::ofInteger(flags);
        file.addRow(cells);
    };
    file.beginTable(0);
    object(kTablesId, kRootId, QStringLiteral("Tables"), kTypeContainer, kEngineSid, kSystemFlag);
    object(kDatabasesId, kRootId, QStringLiteral("Databases"), kTypeContainer, kEngineSid,
           kSystemFlag);
    object(kRelationshipsId, kRootId, QStringLiteral("Relationships"), kTypeContainer, kEngineSid,
           kSystemFlag);
    object(kDatabaseObjectId, kDatabasesId, QStringLiteral("MSysDb"), kTypeDatabase, kCreatorSid,
           kSystemFlag);
    const QString systemNames[kSystemTables] = {
        QStringLiteral("MSysObjects"), QStringLiteral("MSysACEs"), QStringLiteral("MSysQueries"),
        QStringLiteral("MSysRelationships")};
    for (int i = 0; i < kSystemTables; ++i)
        object(ids[static_cast<size_t>(i)], kTablesId, systemNames[i], kTypeTable, kEngineSid,
               kSystemFlag);
    for (size_t i = 0; i < tables.size(); ++i)
        object(ids[kSystemTables + i], kTablesId, tables[i].name, kTypeTable, kCreatorSid, 0);
    file.endTable();

    // The rights Jet grants in a new database: read access to the system tables, full rights
    // on the table and relationship containers, passed on to the tables inside them.
    struct Ace {
        std::int64_t object;
        const QByteArray& sid;
        std::int64_t rights;
        bool inheritable;
    };
    const Ace aces[] = {
        {ids[0], kCreatorSid, 0x60000, false},
        {ids[1], kCreatorSid, 0x60000, false},
        {ids[2], kCreatorSid, 0x60000, false},
        {ids[3], kCreatorSid, 0xe0000, false},
        {kTablesId, kUsersSid, 0xf00fe, true},
        {kTablesId, kCreatorSid, 0x60001, false},
        {kRelationshipsId, kUsersSid, 0xf00fe, true},
        {kRelationshipsId, kCreatorSid, 0x60001, false},
        {kDatabasesId, kCreatorSid, 0x60000, false},
        {kDatabaseObjectId, kCreatorSid, 0x6000e, false},
        {kDatabaseObjectId, kAdminsSid, 0x0e, false},
        {ids[2], kAdminsSid, 0x14, false},
        {ids[3], kAdminsSid, 0x14, false},
        {ids[0], kAdminsSid, 0x14, false},
        {kTablesId, kAdminsSid, 0xffeff, true},
        {kRelationshipsId, kAdminsSid, 0xfffff, true},
    };
    file.beginTable(1);
    for (const Ace& ace : aces) {
        const Cell cells[] = {Cell::ofInteger(ace.object), Cell::ofBytes(ace.sid),
                              Cell::ofInteger(ace.rights),
                              Cell::ofInteger(ace.inheritable ? 1 : 0)};
        file.addRow(cells);
    }
    file.endTable();

    file.beginTable(2); // MSysQueries: no queries
    file.endTable();
    file.beginTable(3); // MSysRelationships: no relationships
    file.endTable();
}

} // namespace

void writeJet4Database(const QString& path, const std::vector<TableData>& tables) {
    validate(tables);
    jet4::Jet4File file(path, kFixedDate);
    std::vector<TableSpec> specs{msysObjects(), msysAces(), msysQueries(), msysRelationships()};
    for (const TableData& t : tables)
        specs.push_back(userTable(t));
    const std::vector<std::uint32_t> ids = file.declareTables(std::move(specs));
    writeCatalog(file, tables, ids);
    for (size_t i = 0; i < tables.size(); ++i) {
        file.beginTable(kSystemTables + i);
        writeUserRows(file, tables[i]);
        file.endTable();
    }
    file.commit();
}

} // namespace peltavo
