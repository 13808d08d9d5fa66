#pragma once

// The page-level Jet 4 (Access 2000) file writer behind writeJet4Database. It knows the file
// format and nothing of the learning database: tables are declared with Jet column types, rows
// arrive as cells, and the file grows page by page while rows stream in.
//
// A file is written in this order: declare all tables (system tables first, MSysObjects first of
// all), then for each table in declaration order beginTable / addRow... / endTable, then commit.
// Definitions, usage maps and the header are written at commit, when every page is known.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace peltavo::jet4 {

inline constexpr int kPageSize = 4096;
// A row may take at most this many bytes of a data page.
inline constexpr int kMaxRowSize = 4060;
// Jet refuses names longer than this, for tables and columns alike.
inline constexpr int kMaxNameLength = 64;
inline constexpr int kMaxColumns = 255;
// The largest file Jet 4 handles: 2 GiB.
inline constexpr std::uint32_t kMaxPages = 0x80000000u / kPageSize;

// Column types by their code in a table definition.
enum class Type : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Int16 = 0x03,
    Long = 0x04,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0a,
    Ole = 0x0b,
    Memo = 0x0c,
};

struct ColumnSpec {
    QString name;
    Type type = Type::Text;
    // Text: maximum length in characters (1 to 255). Binary: maximum length in bytes.
    int length = 0;
    // Text and Memo: values may be stored in Jet's compressed unicode form.
    bool compressedUnicode = false;
    // Column flag byte; 0 picks the usual value for the type (fixed-length flag and "nullable").
    std::uint8_t flags = 0;
};

struct TableSpec {
    QString name;
    bool system = false;
    std::vector<ColumnSpec> columns;
};

// One value of a row. The kind must suit the column: Integer for Boolean, Byte, Int16 and Long
// (range-checked by the caller), Real for DateTime (an OLE day number), Text for Text and Memo,
// Bytes for Binary and Ole. Views must stay valid during the addRow call only.
struct Cell {
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Bytes };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    QStringView text;
    QByteArrayView bytes;

    static Cell null() { return {}; }
    static Cell ofInteger(std::int64_t v) { return {Kind::Integer, v, 0, {}, {}}; }
    static Cell ofReal(double v) { return {Kind::Real, 0, v, {}, {}}; }
    static Cell ofText(QStringView v) { return {Kind::Text, 0, 0, v, {}}; }
    static Cell ofBytes(QByteArrayView v) { return {Kind::Bytes, 0, 0, {}, v}; }
};

// Stores `text` as Jet 4 keeps text (UTF-16LE, or the compressed form when `compressible` and
// the text gains from it), appending to `out`. Throws peltavo::Error for the one text Jet cannot
// hold: one that begins with U+FEFF and also holds a character whose low byte is zero.
void encodeText(QStringView text, bool compressible, std::vector<std::uint8_t>& out);

// RC4, as the header page uses it to mask its settings; applies the key stream in place.
void rc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

class Jet4File {
public:
    // Opens a temporary file next to `path`. `creationDate` is an OLE day number; it goes into
    // the header, whose password mask derives from it. Throws peltavo::Error when the file
    // cannot be created.
    Jet4File(const QString& path, double creationDate);
    ~Jet4File();
    Jet4File(const Jet4File&) = delete;
    Jet4File& operator=(const Jet4File&) = delete;

    // Declares every table of the file and reserves their definition pages. The first table
    // must be MSysObjects (its definition lives on page 2). Returns each table's definition
    // page, which is the table's id in the catalog.
    std::vector<std::uint32_t> declareTables(std::vector<TableSpec> tables);

    // Rows of table `index` (declaration order; each table once, in order).
    void beginTable(std::size_t index);
    // Throws peltavo::Error naming table, row and column for a value the column cannot hold.
    void addRow(std::span<const Cell> cells);
    void endTable();

    // Writes definitions, usage maps and header, and moves the file into place. Without
    // commit, the destructor removes the temporary file.
    void commit();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace peltavo::jet4
