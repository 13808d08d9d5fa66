#include "jet4format.h"

#include "error.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace peltavo::jet4 {

namespace {

using Page = std::array<std::uint8_t, kPageSize>;
using Bytes = std::vector<std::uint8_t>;

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

void append16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void append32(Bytes& out, std::uint32_t v) {
    append16(out, v);
    append16(out, v >> 16);
}

// A page/row pointer as Jet stores it: row number in the low byte, page number above it.
std::uint32_t pointer(std::uint32_t page, int row) {
    return (page << 8) | static_cast<std::uint32_t>(row);
}

// The value Jet writes into every table and column definition; its meaning is unknown.
constexpr std::uint32_t kDefinitionMagic = 0x0659;
constexpr std::uint16_t kSortGeneral = 0x0409;
constexpr std::uint8_t kTypeUserTable = 0x4e;
constexpr std::uint8_t kTypeSystemTable = 0x53;
constexpr std::uint8_t kFlagFixed = 0x01;
constexpr std::uint8_t kFlagNullable = 0x02;
constexpr std::uint8_t kExtCompressedUnicode = 0x01;

// Data pages: type, flag, free space, owner (definition page or "LVAL"), four reserved bytes,
// row count, then the row offsets; rows fill the page from its end.
constexpr int kDataHeader = 14;
constexpr int kMaxRowsPerPage = 255;
constexpr int kDefinitionHeader = 63;
constexpr int kColumnEntry = 25;
constexpr int kDefinitionPageHeader = 8;

// Usage maps sit as rows of 69 bytes: a type byte and 68 bytes of map. An inline map (type 0)
// holds a start page and a 64-byte bitmap; a reference map (type 1) holds 17 pointers to map
// pages (type 5), each of which covers (4096 - 4) * 8 pages.
constexpr int kMapRowSize = 69;
constexpr std::uint32_t kInlineMapPages = (kMapRowSize - 5) * 8;
constexpr std::uint32_t kMapPageBits = (kPageSize - 4) * 8;
constexpr std::uint32_t kReferencePointers = (kMapRowSize - 1) / 4;

// Long values (Memo, Ole): a 12-byte field in the row giving length and kind, followed by the
// value itself when it is small, or a pointer to a row on a long-value page. Values longer than
// one such row are chained: each row starts with a pointer to the next.
constexpr int kLongValueField = 12;
constexpr int kInlineLongValueMax = 64;
constexpr int kSingleLongValueMax = 4076;
constexpr int kChainedChunk = kSingleLongValueMax - 4;
constexpr std::uint32_t kMaxLongValueBytes = 0x00ffffff;
constexpr std::uint32_t kLongValueInline = 0x80000000;
constexpr std::uint32_t kLongValueSinglePage = 0x40000000;
// Compressed unicode is only allowed for long values up to this many characters.
constexpr qsizetype kMaxCompressedMemo = 1024;

constexpr std::array<std::uint8_t, 4> kHeaderKey{0xc7, 0xda, 0x39, 0x6b};
constexpr int kHeaderMaskedStart = 0x18;
constexpr int kHeaderMaskedLength = 128;

bool isFixed(Type t) {
    switch (t) {
    case Type::Boolean:
    case Type::Byte:
    case Type::Int16:
    case Type::Long:
    case Type::DateTime:
        return true;
    default:
        return false;
    }
}

bool isLongValue(Type t) {
    return t == Type::Memo || t == Type::Ole;
}

// Bytes a fixed column takes in a row (a Boolean lives in the null mask only).
int fixedSize(Type t) {
    switch (t) {
    case Type::Byte:
        return 1;
    case Type::Int16:
        return 2;
    case Type::Long:
        return 4;
    case Type::DateTime:
        return 8;
    default:
        return 0;
    }
}

// Column length as the definition records it: the fixed size, one byte for a Boolean, the
// stored bytes of a Text or Binary column, nothing for long values.
int definedLength(const ColumnSpec& c) {
    switch (c.type) {
    case Type::Boolean:
        return 1;
    case Type::Text:
        return c.length * 2;
    case Type::Binary:
        return c.length;
    default:
        return fixedSize(c.type);
    }
}

// A page that holds rows (table data, long values, usage maps) while it is being filled.
class RowPage {
public:
    void start(std::uint32_t number, std::span<const std::uint8_t, 4> owner) {
        page_.fill(0);
        page_[0] = 0x01;
        page_[1] = 0x01;
        std::memcpy(&page_[4], owner.data(), 4);
        number_ = number;
        rows_ = 0;
        end_ = kPageSize;
        open_ = true;
    }
    bool isOpen() const { return open_; }
    bool fits(int size) const {
        return open_ && rows_ < kMaxRowsPerPage && kDataHeader + 2 * (rows_ + 1) + size <= end_;
    }
    // Reserves `size` bytes for a new row (the caller checked fits); returns where they are.
    std::uint8_t* add(int size, int* row) {
        end_ -= size;
        put16(&page_[static_cast<size_t>(kDataHeader + 2 * rows_)],
              static_cast<std::uint32_t>(end_));
        *row = rows_++;
        return &page_[static_cast<size_t>(end_)];
    }
    int freeSpace() const { return end_ - kDataHeader - 2 * rows_; }
    const Page& finish() {
        put16(&page_[2], static_cast<std::uint32_t>(freeSpace()));
        put16(&page_[12], static_cast<std::uint32_t>(rows_));
        open_ = false;
        return page_;
    }
    std::uint32_t number() const { return number_; }

private:
    Page page_{};
    std::uint32_t number_ = 0;
    int rows_ = 0;
    int end_ = kPageSize;
    bool open_ = false;
};

// The set of pages a usage map marks, and where its 69-byte row lives.
struct UsageMap {
    std::vector<std::uint32_t> pages; // ascending
    std::uint32_t row = 0;            // pointer to the map row
};

struct ColumnLayout {
    ColumnSpec spec;
    int number = 0;
    bool fixed = false;
    int fixedOffset = 0;
    int varIndex = 0; // variable columns: position in the offset table; fixed: variables before
    // Long-value columns keep their own pages.
    UsageMap ownedPages;
    UsageMap freePages;
    RowPage longValuePage;
};

struct TableState {
    TableSpec spec;
    std::vector<ColumnLayout> columns;
    std::vector<size_t> fixedColumns;
    std::vector<size_t> varColumns; // in offset-table order
    int fixedBytes = 0;
    std::vector<std::uint32_t> definitionPages;
    UsageMap ownedPages;
    UsageMap freePages;
    std::uint32_t rows = 0;
    int minRowSize = 0;
    bool written = false;
};

int definitionSize(const TableState& t) {
    int size = kDefinitionHeader + kColumnEntry * static_cast<int>(t.columns.size()) + 2;
    for (const ColumnLayout& c : t.columns) {
        size += 2 + 2 * static_cast<int>(c.spec.name.size());
        if (isLongValue(c.spec.type))
            size += 10;
    }
    return size;
}

int definitionPageCount(int size) {
    if (size <= kPageSize)
        return 1;
    const int rest = size - kPageSize;
    const int perPage = kPageSize - kDefinitionPageHeader;
    return 1 + (rest + perPage - 1) / perPage;
}

QString tooLargeMessage() {
    return QStringLiteral(
        "The database would grow beyond 2 GB, the most an Access 2000 file can hold");
}

} // namespace

void rc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
    std::array<std::uint8_t, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i);
    size_t j = 0;
    for (size_t i = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % key.size()]) & 0xff;
        std::swap(s[i], s[j]);
    }
    size_t i = 0;
    j = 0;
    for (std::uint8_t& b : data) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        b ^= s[(s[i] + s[j]) & 0xff];
    }
}

void encodeText(QStringView text, bool compressible, std::vector<std::uint8_t>& out) {
    const auto* units = text.utf16();
    const qsizetype n = text.size();
    // The compressed form: 0xFF 0xFE, then one byte per character. Readers take any text that
    // starts with those two bytes as compressed, so it is only used when every character fits
    // a single nonzero byte, and only when it saves space.
    if (compressible && n > 2 &&
        std::all_of(units, units + n, [](char16_t u) { return u >= 0x01 && u <= 0xff; })) {
        out.reserve(out.size() + static_cast<size_t>(n) + 2);
        out.push_back(0xff);
        out.push_back(0xfe);
        for (qsizetype i = 0; i < n; ++i)
            out.push_back(static_cast<std::uint8_t>(units[i]));
        return;
    }
    if (n > 0 && units[0] == 0xfeff) {
        // Plain UTF-16LE would begin 0xFF 0xFE and be taken for the compressed form. Write the
        // compressed marker and switch at once to two-byte characters (a zero byte switches);
        // a character with a zero low byte would read as a switch, so it cannot be held.
        const auto* clash =
            std::find_if(units, units + n, [](char16_t u) { return (u & 0xff) == 0; });
        if (clash != units + n) {
            throw Error(QStringLiteral("a text that begins with the character U+FEFF cannot also "
                                       "hold the character U+%1")
                            .arg(QString::number(*clash, 16).toUpper().rightJustified(4, u'0')));
        }
        out.push_back(0xff);
        out.push_back(0xfe);
        out.push_back(0x00);
    }
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) * 2);
    std::uint8_t* p = out.data() + at;
    for (qsizetype i = 0; i < n; ++i) {
        p[2 * i] = static_cast<std::uint8_t>(units[i]);
        p[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
}

// -------------------------------------------------------------------------------------------

class Jet4File::Impl {
public:
    Impl(const QString& path, double creationDate)
        : path_(path), file_(path), creationDate_(creationDate) {
        file_.setDirectWriteFallback(false);
        if (!file_.open(QIODevice::WriteOnly))
            throw Error(QStringLiteral("Cannot create '%1': %2").arg(path, file_.errorString()));
        headerPage_ = allocate();
        globalMapPage_ = allocate();
    }

    std::vector<std::uint32_t> declareTables(std::vector<TableSpec> specs) {
        if (specs.empty() || specs.front().name != u"MSysObjects")
            throw Error(QStringLiteral("The catalog table must come first"));
        std::vector<std::uint32_t> ids;
        for (TableSpec& spec : specs) {
            TableState t;
            t.spec = std::move(spec);
            layOut(t);
            const int pages = definitionPageCount(definitionSize(t));
            for (int i = 0; i < pages; ++i)
                t.definitionPages.push_back(allocate());
            ids.push_back(t.definitionPages.front());
            tables_.push_back(std::move(t));
        }
        // Usage map rows: the table's own two maps, then two per long-value column.
        std::vector<UsageMap*> maps;
        for (TableState& t : tables_) {
            maps.push_back(&t.ownedPages);
            maps.push_back(&t.freePages);
            for (ColumnLayout& c : t.columns) {
                if (isLongValue(c.spec.type)) {
                    maps.push_back(&c.ownedPages);
                    maps.push_back(&c.freePages);
                }
            }
        }
        const size_t perPage = (kPageSize - kDataHeader) / (kMapRowSize + 2);
        for (size_t i = 0; i < maps.size(); ++i) {
            if (i % perPage == 0)
                mapPages_.push_back(allocate());
            maps[i]->row = pointer(mapPages_.back(), static_cast<int>(i % perPage));
        }
        mapRows_ = maps;
        return ids;
    }

    void beginTable(size_t index) {
        if (current_ || index >= tables_.size() || tables_[index].written ||
            (index > 0 && !tables_[index - 1].written))
            throw Error(QStringLiteral("Tables must be written once each, in order"));
        current_ = &tables_[index];
        scratch_.resize(current_->columns.size());
    }

    void addRow(std::span<const Cell> cells) {
        TableState& t = *current_;
        if (cells.size() != t.columns.size())
            throw Error(rowError(t, QStringLiteral("the row holds %1 values for %2 columns")
                                        .arg(cells.size())
                                        .arg(t.columns.size())));
        const size_t nullMaskBytes = (t.columns.size() + 7) / 8;
        nullMask_.assign(nullMaskBytes, 0);
        row_.assign(static_cast<size_t>(2 + t.fixedBytes), 0);
        put16(row_.data(), static_cast<std::uint32_t>(t.columns.size()));

        for (size_t i : t.fixedColumns) {
            const ColumnLayout& c = t.columns[i];
            const Cell& cell = cells[i];
            if (cell.kind == Cell::Kind::Null)
                continue;
            std::uint8_t* at = row_.data() + 2 + c.fixedOffset;
            switch (c.spec.type) {
            case Type::Boolean:
                if (expect(t, c, cell, Cell::Kind::Integer).integer != 0)
                    setNotNull(c.number);
                continue;
            case Type::Byte:
                *at = static_cast<std::uint8_t>(expect(t, c, cell, Cell::Kind::Integer).integer);
                break;
            case Type::Int16:
                put16(at,
                      static_cast<std::uint32_t>(expect(t, c, cell, Cell::Kind::Integer).integer));
                break;
            case Type::Long:
                put32(at,
                      static_cast<std::uint32_t>(expect(t, c, cell, Cell::Kind::Integer).integer));
                break;
            case Type::DateTime: {
                const double v = expect(t, c, cell, Cell::Kind::Real).real;
                std::uint64_t bits;
                std::memcpy(&bits, &v, 8);
                put32(at, static_cast<std::uint32_t>(bits));
                put32(at + 4, static_cast<std::uint32_t>(bits >> 32));
                break;
            }
            default:
                break;
            }
            setNotNull(c.number);
        }

        // Encode the variable values first: the row's size decides where long values go.
        const int trailer =
            2 + 2 * static_cast<int>(t.varColumns.size()) + 2 + static_cast<int>(nullMaskBytes);
        int rowSize = static_cast<int>(row_.size()) + trailer;
        for (size_t i : t.varColumns) {
            const ColumnLayout& c = t.columns[i];
            const Cell& cell = cells[i];
            Bytes& value = scratch_[i];
            value.clear();
            if (cell.kind == Cell::Kind::Null)
                continue;
            encodeValue(t, c, cell, value);
            rowSize += isLongValue(c.spec.type) ? kLongValueField : static_cast<int>(value.size());
        }
        if (rowSize > kMaxRowSize)
            throw Error(rowError(t, QStringLiteral("the row needs %1 bytes, more than the %2 a "
                                                   "row may take")
                                        .arg(rowSize)
                                        .arg(kMaxRowSize)));

        for (size_t i : t.varColumns) {
            ColumnLayout& c = t.columns[i];
            const Cell& cell = cells[i];
            varOffsets_[static_cast<size_t>(c.varIndex)] = static_cast<std::uint32_t>(row_.size());
            if (cell.kind == Cell::Kind::Null)
                continue;
            setNotNull(c.number);
            const Bytes& value = scratch_[i];
            if (!isLongValue(c.spec.type)) {
                row_.insert(row_.end(), value.begin(), value.end());
                continue;
            }
            const auto length = static_cast<std::uint32_t>(value.size());
            const size_t at = row_.size();
            row_.resize(at + kLongValueField, 0);
            if (static_cast<int>(length) <= kInlineLongValueMax &&
                rowSize + static_cast<int>(length) <= kMaxRowSize) {
                rowSize += static_cast<int>(length);
                put32(row_.data() + at, length | kLongValueInline);
                row_.insert(row_.end(), value.begin(), value.end());
            } else if (static_cast<int>(length) <= kSingleLongValueMax) {
                put32(row_.data() + at, length | kLongValueSinglePage);
                put32(row_.data() + at + 4, storeLongValue(c, value.data(), length));
            } else {
                put32(row_.data() + at, length);
                put32(row_.data() + at + 4, storeChainedLongValue(c, value.data(), length));
            }
        }
        if (!t.varColumns.empty()) {
            append16(row_, static_cast<std::uint32_t>(row_.size())); // end of data
            for (size_t v = t.varColumns.size(); v-- > 0;)
                append16(row_, varOffsets_[v]);
            append16(row_, static_cast<std::uint32_t>(t.varColumns.size()));
        }
        row_.insert(row_.end(), nullMask_.begin(), nullMask_.end());

        const int size = static_cast<int>(row_.size());
        if (!dataPage_.fits(size)) {
            closeDataPage();
            dataPage_.start(allocate(), ownerTag(t));
            t.ownedPages.pages.push_back(dataPage_.number());
        }
        int index = 0;
        std::memcpy(dataPage_.add(size, &index), row_.data(), row_.size());
        ++t.rows;
    }

    void endTable() {
        TableState& t = *current_;
        closeDataPage();
        for (ColumnLayout& c : t.columns) {
            if (c.longValuePage.isOpen())
                closeLongValuePage(c);
        }
        t.written = true;
        current_ = nullptr;
    }

    void commit() {
        if (current_ || tables_.empty() || !tables_.back().written)
            throw Error(QStringLiteral("Every declared table must be written before commit"));
        for (UsageMap* map : mapRows_)
            mapRowBytes_.push_back(mapRow(*map));
        writeMapPages();
        for (const TableState& t : tables_)
            writeDefinition(t);
        writeGlobalMap();
        writeHeader();
        for (size_t i = 0; i < written_.size(); ++i) {
            if (!written_[i])
                throw Error(QStringLiteral("Page %1 was never written").arg(i));
        }
        if (!file_.commit())
            throw Error(QStringLiteral("Cannot write '%1': %2").arg(path_, file_.errorString()));
    }

private:
    void layOut(TableState& t) {
        int varCount = 0;
        int number = 0;
        int minRow = 2;
        for (const ColumnSpec& spec : t.spec.columns) {
            ColumnLayout c;
            c.spec = spec;
            c.number = number++;
            c.fixed = isFixed(spec.type);
            if (c.fixed) {
                c.fixedOffset = spec.type == Type::Boolean ? 0 : t.fixedBytes;
                c.varIndex = varCount;
                t.fixedBytes += fixedSize(spec.type);
                t.fixedColumns.push_back(t.columns.size());
            } else {
                c.varIndex = varCount++;
                t.varColumns.push_back(t.columns.size());
            }
            t.columns.push_back(std::move(c));
        }
        minRow += t.fixedBytes + static_cast<int>((t.columns.size() + 7) / 8);
        if (varCount > 0)
            minRow += 4 + 2 * varCount;
        t.minRowSize = minRow;
        varOffsets_.resize(std::max(varOffsets_.size(), static_cast<size_t>(varCount)));
    }

    std::uint32_t allocate() {
        if (next_ >= kMaxPages)
            throw Error(tooLargeMessage());
        written_.push_back(false);
        return next_++;
    }

    void writePage(std::uint32_t number, const Page& page) {
        const qint64 at = static_cast<qint64>(number) * kPageSize;
        if (file_.pos() != at && !file_.seek(at))
            throw Error(QStringLiteral("Cannot write '%1': %2").arg(path_, file_.errorString()));
        if (file_.write(reinterpret_cast<const char*>(page.data()), kPageSize) != kPageSize)
            throw Error(QStringLiteral("Cannot write '%1': %2").arg(path_, file_.errorString()));
        written_[number] = true;
    }

    static std::array<std::uint8_t, 4> ownerTag(const TableState& t) {
        std::array<std::uint8_t, 4> tag{};
        put32(tag.data(), t.definitionPages.front());
        return tag;
    }

    void setNotNull(int column) {
        nullMask_[static_cast<size_t>(column / 8)] |= static_cast<std::uint8_t>(1u << (column % 8));
    }

    QString rowError(const TableState& t, const QString& what) const {
        return QStringLiteral("Table '%1', row %2: %3").arg(t.spec.name).arg(t.rows + 1).arg(what);
    }

    QString cellError(const TableState& t, const ColumnLayout& c, const QString& what) const {
        return QStringLiteral("Table '%1', row %2, column '%3': %4")
            .arg(t.spec.name)
            .arg(t.rows + 1)
            .arg(c.spec.name, what);
    }

    const Cell& expect(const TableState& t, const ColumnLayout& c, const Cell& cell,
                       Cell::Kind kind) const {
        if (cell.kind != kind)
            throw Error(cellError(t, c, QStringLiteral("the value does not suit the column")));
        return cell;
    }

    void encodeValue(const TableState& t, const ColumnLayout& c, const Cell& cell, Bytes& out) {
        switch (c.spec.type) {
        case Type::Text: {
            const QStringView text = expect(t, c, cell, Cell::Kind::Text).text;
            if (text.size() > c.spec.length) {
                throw Error(cellError(t, c,
                                      QStringLiteral("the text has %1 characters, more than the "
                                                     "%2 the column allows")
                                          .arg(text.size())
                                          .arg(c.spec.length)));
            }
            encodeWithContext(t, c, text, c.spec.compressedUnicode, out);
            break;
        }
        case Type::Memo: {
            const QStringView text = expect(t, c, cell, Cell::Kind::Text).text;
            encodeWithContext(t, c, text,
                              c.spec.compressedUnicode && text.size() <= kMaxCompressedMemo, out);
            break;
        }
        case Type::Binary:
        case Type::Ole: {
            const QByteArrayView bytes = expect(t, c, cell, Cell::Kind::Bytes).bytes;
            if (c.spec.type == Type::Binary && bytes.size() > c.spec.length) {
                throw Error(cellError(t, c,
                                      QStringLiteral("the value has %1 bytes, more than the %2 the "
                                                     "column allows")
                                          .arg(bytes.size())
                                          .arg(c.spec.length)));
            }
            out.assign(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                       reinterpret_cast<const std::uint8_t*>(bytes.data()) + bytes.size());
            break;
        }
        default:
            break;
        }
        if (isLongValue(c.spec.type) && out.size() > kMaxLongValueBytes) {
            throw Error(cellError(t, c,
                                  QStringLiteral("the value takes %1 bytes, more than the %2 a "
                                                 "long value may take")
                                      .arg(out.size())
                                      .arg(kMaxLongValueBytes)));
        }
    }

    void encodeWithContext(const TableState& t, const ColumnLayout& c, QStringView text,
                           bool compressible, Bytes& out) {
        try {
            encodeText(text, compressible, out);
        } catch (const Error& e) {
            throw Error(cellError(t, c, e.message()));
        }
    }

    void closeDataPage() {
        if (!dataPage_.isOpen())
            return;
        TableState& t = *current_;
        if (dataPage_.fits(t.minRowSize))
            t.freePages.pages.push_back(dataPage_.number());
        writePage(dataPage_.number(), dataPage_.finish());
    }

    static constexpr std::array<std::uint8_t, 4> kLval{'L', 'V', 'A', 'L'};

    void openLongValuePage(ColumnLayout& c, std::uint32_t number) {
        c.longValuePage.start(number, kLval);
        c.ownedPages.pages.push_back(number);
    }

    void closeLongValuePage(ColumnLayout& c) {
        if (c.longValuePage.fits(kInlineLongValueMax + 1))
            c.freePages.pages.push_back(c.longValuePage.number());
        writePage(c.longValuePage.number(), c.longValuePage.finish());
    }

    // A value that fits one row of a long-value page.
    std::uint32_t storeLongValue(ColumnLayout& c, const std::uint8_t* data, std::uint32_t size) {
        if (!c.longValuePage.fits(static_cast<int>(size))) {
            if (c.longValuePage.isOpen())
                closeLongValuePage(c);
            openLongValuePage(c, allocate());
        }
        int row = 0;
        std::memcpy(c.longValuePage.add(static_cast<int>(size), &row), data, size);
        return pointer(c.longValuePage.number(), row);
    }

    // A longer value, cut into rows that each begin with a pointer to the next one; every row
    // but the last fills a page of its own.
    std::uint32_t storeChainedLongValue(ColumnLayout& c, const std::uint8_t* data,
                                        std::uint32_t size) {
        std::uint32_t done = 0;
        std::uint32_t first = 0;
        std::uint8_t* link = nullptr;
        while (done < size) {
            const std::uint32_t chunk = std::min<std::uint32_t>(kChainedChunk, size - done);
            const int rowSize = static_cast<int>(chunk) + 4;
            std::uint32_t here = 0;
            if (link == nullptr && c.longValuePage.fits(rowSize)) {
                here = c.longValuePage.number();
            } else {
                here = allocate();
                if (link != nullptr)
                    put32(link, pointer(here, 0));
                if (c.longValuePage.isOpen())
                    closeLongValuePage(c);
                openLongValuePage(c, here);
            }
            int row = 0;
            std::uint8_t* at = c.longValuePage.add(rowSize, &row);
            if (link == nullptr)
                first = pointer(here, row);
            std::memcpy(at + 4, data + done, chunk);
            link = at;
            done += chunk;
        }
        return first;
    }

    // The 69 bytes of a usage map row; reference maps get their map pages written here.
    Bytes mapRow(const UsageMap& map) {
        Bytes row(kMapRowSize, 0);
        const auto& pages = map.pages;
        if (pages.empty())
            return row;
        const std::uint32_t last = pages.back();
        const std::uint32_t first = pages.front();
        if (last < kInlineMapPages || last - first < kInlineMapPages) {
            const std::uint32_t start = last < kInlineMapPages ? 0 : first;
            put32(row.data() + 1, start);
            for (std::uint32_t p : pages) {
                const std::uint32_t bit = p - start;
                row[5 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
            }
            return row;
        }
        row[0] = 0x01;
        size_t i = 0;
        while (i < pages.size()) {
            const std::uint32_t block = pages[i] / kMapPageBits;
            Page page{};
            page[0] = 0x05;
            page[1] = 0x01;
            for (; i < pages.size() && pages[i] / kMapPageBits == block; ++i) {
                const std::uint32_t bit = pages[i] % kMapPageBits;
                page[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
            }
            const std::uint32_t number = allocate();
            writePage(number, page);
            put32(row.data() + 1 + 4 * block, number);
        }
        return row;
    }

    void writeMapPages() {
        const size_t perPage = (kPageSize - kDataHeader) / (kMapRowSize + 2);
        static constexpr std::array<std::uint8_t, 4> kNoOwner{};
        for (size_t p = 0; p < mapPages_.size(); ++p) {
            RowPage page;
            page.start(mapPages_[p], kNoOwner);
            for (size_t i = p * perPage; i < std::min(mapRowBytes_.size(), (p + 1) * perPage);
                 ++i) {
                int row = 0;
                std::memcpy(page.add(kMapRowSize, &row), mapRowBytes_[i].data(), kMapRowSize);
            }
            writePage(page.number(), page.finish());
        }
    }

    void writeDefinition(const TableState& t) {
        Bytes d(kDefinitionHeader, 0);
        d[0] = 0x02;
        d[1] = 0x01;
        put32(&d[8], static_cast<std::uint32_t>(definitionSize(t)));
        put32(&d[12], kDefinitionMagic);
        put32(&d[16], t.rows);
        d[24] = 0x01;
        d[40] = t.spec.system ? kTypeSystemTable : kTypeUserTable;
        put16(&d[41], static_cast<std::uint32_t>(t.columns.size()));
        put16(&d[43], static_cast<std::uint32_t>(t.varColumns.size()));
        put16(&d[45], static_cast<std::uint32_t>(t.columns.size()));
        put32(&d[55], t.ownedPages.row);
        put32(&d[59], t.freePages.row);
        for (const ColumnLayout& c : t.columns) {
            const size_t at = d.size();
            d.resize(at + kColumnEntry, 0);
            std::uint8_t* e = &d[at];
            e[0] = static_cast<std::uint8_t>(c.spec.type);
            put32(e + 1, kDefinitionMagic);
            put16(e + 5, static_cast<std::uint32_t>(c.number));
            put16(e + 7, static_cast<std::uint32_t>(c.varIndex));
            put16(e + 9, static_cast<std::uint32_t>(c.number));
            put16(e + 11, kSortGeneral);
            std::uint8_t flags = c.spec.flags;
            if (flags == 0)
                flags = static_cast<std::uint8_t>(kFlagNullable | (c.fixed ? kFlagFixed : 0));
            e[15] = flags;
            e[16] = c.spec.compressedUnicode ? kExtCompressedUnicode : 0;
            put16(e + 21, static_cast<std::uint32_t>(c.fixed ? c.fixedOffset : 0));
            put16(e + 23, static_cast<std::uint32_t>(definedLength(c.spec)));
        }
        for (const ColumnLayout& c : t.columns) {
            append16(d, static_cast<std::uint32_t>(c.spec.name.size() * 2));
            encodeName(c.spec.name, d);
        }
        for (const ColumnLayout& c : t.columns) {
            if (!isLongValue(c.spec.type))
                continue;
            append16(d, static_cast<std::uint32_t>(c.number));
            append32(d, c.ownedPages.row);
            append32(d, c.freePages.row);
        }
        append16(d, 0xffff);

        // Spread over the reserved pages: the first takes the start, each further page an
        // 8-byte page header and the next part.
        size_t done = 0;
        for (size_t p = 0; p < t.definitionPages.size(); ++p) {
            Page page{};
            size_t used = 0;
            if (p == 0) {
                used = std::min<size_t>(d.size(), kPageSize);
                std::memcpy(page.data(), d.data(), used);
            } else {
                page[0] = 0x02;
                page[1] = 0x01;
                const size_t part =
                    std::min<size_t>(d.size() - done, kPageSize - kDefinitionPageHeader);
                std::memcpy(page.data() + kDefinitionPageHeader, d.data() + done, part);
                used = kDefinitionPageHeader + part;
            }
            done += p == 0 ? used : used - kDefinitionPageHeader;
            put16(&page[2],
                  static_cast<std::uint32_t>(std::max(0, kPageSize - static_cast<int>(used) - 8)));
            put32(&page[4], p + 1 < t.definitionPages.size() ? t.definitionPages[p + 1] : 0);
            writePage(t.definitionPages[p], page);
        }
    }

    static void encodeName(const QString& name, Bytes& out) {
        for (const QChar ch : name)
            append16(out, ch.unicode());
    }

    // Page 1: the map of pages not in use (a set bit is a free page); every page up to the end
    // of the file is in use, every page beyond it free.
    void writeGlobalMap() {
        Bytes row(kMapRowSize, 0);
        // Map pages needed if the inline map cannot cover the file; they count as pages too.
        std::uint32_t total = next_;
        if (total > kInlineMapPages) {
            std::uint32_t blocks = 0;
            while (true) {
                const std::uint32_t needed = (total + blocks + kMapPageBits - 1) / kMapPageBits;
                if (needed == blocks)
                    break;
                blocks = needed;
            }
            if (blocks > kReferencePointers)
                throw Error(tooLargeMessage());
            std::vector<std::uint32_t> numbers;
            for (std::uint32_t b = 0; b < blocks; ++b)
                numbers.push_back(allocate());
            total = next_;
            row[0] = 0x01;
            for (std::uint32_t b = 0; b < blocks; ++b) {
                Page page{};
                page[0] = 0x05;
                page[1] = 0x01;
                for (std::uint32_t bit = 0; bit < kMapPageBits; ++bit) {
                    if (b * kMapPageBits + bit >= total)
                        page[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
                }
                writePage(numbers[b], page);
                put32(row.data() + 1 + 4 * b, numbers[b]);
            }
        } else {
            for (std::uint32_t bit = total; bit < kInlineMapPages; ++bit)
                row[5 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
        }
        static constexpr std::array<std::uint8_t, 4> kGlobalOwner{0x01, 0x00, 0x00, 0x00};
        RowPage page;
        page.start(globalMapPage_, kGlobalOwner);
        int index = 0;
        std::memcpy(page.add(kMapRowSize, &index), row.data(), kMapRowSize);
        page.add(kMapRowSize, &index); // a second, empty map, as Jet keeps one
        writePage(globalMapPage_, page.finish());
    }

    void writeHeader() {
        Page page{};
        page[0] = 0x00;
        page[1] = 0x01;
        static constexpr char kSignature[] = "Standard Jet DB";
        std::memcpy(&page[4], kSignature, sizeof kSignature);
        page[0x14] = 0x01; // Jet 4
        // The masked settings block. Its first bytes are constants Jet writes in every file.
        static constexpr std::array<std::uint8_t, 24> kConstants{
            0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
            0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
        std::copy(kConstants.begin(), kConstants.end(), page.begin() + kHeaderMaskedStart);
        put16(&page[0x3c], 1252); // code page
        put32(&page[0x3e], 0);    // no page encryption
        // The password (none: all zero) is stored masked with the creation day number.
        const auto day =
            static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(creationDate_)));
        for (int i = 0; i < 40; i += 4)
            put32(&page[static_cast<size_t>(0x42 + i)], day);
        put16(&page[0x6e], kSortGeneral);
        std::uint64_t bits;
        std::memcpy(&bits, &creationDate_, 8);
        put32(&page[0x72], static_cast<std::uint32_t>(bits));
        put32(&page[0x76], static_cast<std::uint32_t>(bits >> 32));
        rc4(kHeaderKey, std::span(page).subspan(kHeaderMaskedStart, kHeaderMaskedLength));
        // Unmasked trailer values Jet writes in every Jet 4 file.
        static constexpr std::array<std::uint8_t, 8> kTrailer{0x54, 0x06, 0x00, 0x00,
                                                              0x34, 0x2e, 0x30, 0x00};
        std::copy(kTrailer.begin(), kTrailer.end(), page.begin() + 0x98);
        page[0xe00] = 0x01;
        page[0xe01] = 0x01;
        for (size_t i = 0xe02; i < kPageSize; i += 2)
            page[i + 1] = 0x01;
        writePage(headerPage_, page);
    }

    QString path_;
    QSaveFile file_;
    double creationDate_;
    std::uint32_t next_ = 0;
    std::vector<bool> written_;
    std::uint32_t headerPage_ = 0;
    std::uint32_t globalMapPage_ = 0;
    std::vector<TableState> tables_;
    std::vector<std::uint32_t> mapPages_;
    std::vector<UsageMap*> mapRows_;
    std::vector<Bytes> mapRowBytes_;
    TableState* current_ = nullptr;
    RowPage dataPage_;
    // Reused per row.
    Bytes row_;
    Bytes nullMask_;
    std::vector<std::uint32_t> varOffsets_;
    std::vector<Bytes> scratch_;
};

Jet4File::Jet4File(const QString& path, double creationDate)
    : impl_(std::make_unique<Impl>(path, creationDate)) {}

Jet4File::~Jet4File() = default;

std::vector<std::uint32_t> Jet4File::declareTables(std::vector<TableSpec> tables) {
    return impl_->declareTables(std::move(tables));
}

void Jet4File::beginTable(std::size_t index) {
    impl_->beginTable(index);
}

void Jet4File::addRow(std::span<const Cell> cells) {
    impl_->addRow(cells);
}

void Jet4File::endTable() {
    impl_->endTable();
}

void Jet4File::commit() {
    impl_->commit();
}

} // namespace peltavo::jet4
