#include "jetfile.h"

#include "catalogcheck.h"

#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>

#include <sys/types.h>

namespace peltavo::jet {

namespace {

constexpr int kOffsetMask = 0x1fff;
constexpr std::uint64_t kRowsBetweenLettingGo = 4096;
constexpr std::uint32_t kLongValueInline = 0x80000000;
constexpr std::uint32_t kLongValueSinglePage = 0x40000000;
constexpr std::uint32_t kLongValueLength = 0x3fffffff;

[[noreturn]] void damaged(const std::string& detail) {
    throw Fault(FaultKind::Damaged, detail);
}

// While it lives, the C library's stderr is a stream that keeps what is written to it; libmdb's
// complaints land there. Only the stream is turned aside, not the process's standard error, so a
// sanitizer's or the fuzzer's report still reaches it.
class Complaints {
public:
    Complaints() {
        kept().clear();
        std::fflush(stderr);
        saved_ = stderr;
        if (std::FILE* ours = stream())
            stderr = ours;
    }
    ~Complaints() { stderr = saved_; }
    Complaints(const Complaints&) = delete;
    Complaints& operator=(const Complaints&) = delete;

    // Throws the first complaint as damage.
    void check() const {
        const std::string& text = kept();
        std::size_t begin = 0;
        while (begin < text.size()) {
            std::size_t end = text.find('\n', begin);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(begin, end - begin);
            while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
                line.pop_back();
            std::size_t first = 0;
            while (first < line.size() && std::isspace(static_cast<unsigned char>(line[first])))
                ++first;
            if (first < line.size())
                damaged(line.substr(first));
            begin = end + 1;
        }
    }

private:
    static std::string& kept() {
        static std::string text;
        return text;
    }
    static std::FILE* stream() {
        static std::FILE* const made = [] {
            cookie_io_functions_t io{};
            io.write = [](void*, const char* data, size_t size) -> ssize_t {
                // A read that goes on complaining does not fill the memory with it.
                if (kept().size() < 65536)
                    kept().append(data, std::min<size_t>(size, 65536));
                return static_cast<ssize_t>(size);
            };
            std::FILE* f = ::fopencookie(nullptr, "w", io);
            if (f)
                std::setvbuf(f, nullptr, _IONBF, 0);
            return f;
        }();
        return made;
    }

    std::FILE* saved_;
};

// Runs `work` with libmdb's complaints watched; one makes it fail as damage.
template <typename Work> auto watched(Work&& work) {
    Complaints complaints;
    if constexpr (std::is_void_v<decltype(work())>) {
        work();
        complaints.check();
    } else {
        auto result = work();
        complaints.check();
        return result;
    }
}

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableDefFree {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefFree>;

MdbColumn* columnAt(MdbTableDef* table, unsigned i) {
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
}

ColumnType columnType(int mdbType) {
    switch (mdbType) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return ColumnType::Integer;
    case MDB_TEXT:
        return ColumnType::Text;
    case MDB_MEMO:
        return ColumnType::Memo;
    case MDB_BOOL:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_REPID:
    case MDB_NUMERIC:
        return ColumnType::Other;
    default: // OLE objects, binary, and kinds Jet 3 and 4 do not define: their bytes
        return ColumnType::Binary;
    }
}

// libmdb walks a table's data pages by the table's usage map and trusts it: a map shorter than
// its own header, or one naming map pages beyond the end of the file, sends it reading outside
// its buffers. The map is either a bitmap after a 4-byte first page (type 0) or a list of the
// 4-byte numbers of the pages holding the bitmap (type 1).
bool usageMapFits(const MdbTableDef* table, std::uint64_t pageCount) {
    const unsigned char* map = table->usage_map;
    const size_t size = table->map_sz;
    if (!map || size < 1)
        return false;
    if (map[0] == 0)
        return size >= 5;
    if (map[0] != 1)
        return false;
    for (size_t i = 1; i + 4 <= size; i += 4) {
        if (get32(map + i) >= pageCount)
            return false;
    }
    return true;
}

// Whether libmdb reads Jet 3 text in code page `codePage` as something other than windows-1252
// (which it takes when it knows no other).
bool otherCodePage(int codePage) {
    switch (codePage) {
    case 437:
    case 850:
    case 852:
    case 855:
    case 860:
    case 861:
    case 862:
    case 865:
    case 866:
    case 869:
    case 874:
    case 932:
    case 936:
    case 950:
    case 951:
    case 1200:
    case 1201:
    case 1250:
    case 1251:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
    case 1361:
    case 12000:
    case 12001:
    case 20866:
    case 20932:
    case 21866:
    case 28591:
    case 28592:
    case 28593:
    case 28594:
    case 28595:
    case 28596:
    case 28597:
    case 28598:
    case 28599:
    case 28503:
    case 28505:
    case 51932:
    case 51936:
    case 51949:
    case 65000:
    case 65001:
        return true;
    default:
        return false;
    }
}

std::string number(long long value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

} // namespace

struct JetFile::Impl {
    Bytes file;
    MdbPtr mdb;
    std::size_t pageSize = 0;
    std::uint64_t pageCount = 0;
    bool jet3 = false;
    std::function<void()> letGo;       // releases the file's pages from memory
    std::vector<std::uint8_t> scratch; // long values chained over several pages
    std::string converted;             // Jet 3 text on its way through libmdb's code page

    // The bytes of row (pointer & 0xff) of page (pointer >> 8), as libmdb's mdb_find_pg_row
    // locates them, or nullopt when there is no such row.
    std::optional<Bytes> pageRow(std::uint32_t pointer) const {
        const std::uint64_t page = pointer >> 8;
        if (page == 0 || page >= pageCount)
            return std::nullopt;
        const std::uint8_t* base = file.data() + page * pageSize;
        const std::size_t rowCountAt = mdb->fmt->row_count_offset;
        const unsigned row = pointer & 0xff;
        if (rowCountAt + 2 + 2 * (row + 1) > pageSize || row >= get16(base + rowCountAt))
            return std::nullopt;
        const std::size_t start = get16(base + rowCountAt + 2 + row * 2) & kOffsetMask;
        const std::size_t end =
            row == 0 ? pageSize : get16(base + rowCountAt + row * 2) & kOffsetMask;
        if (start > end || end > pageSize)
            return std::nullopt;
        return Bytes(base + start, end - start);
    }

    // A long value (memo, OLE object) whose 12-byte field is `field`: inside the row, on one
    // long-value page, or chained over several. Every byte its header promises must be there,
    // and a length longer than the file is refused before anything is reserved.
    Bytes longValue(Bytes field, const char* what) {
        if (field.size() < MDB_MEMO_OVERHEAD)
            return {};
        const std::uint32_t header = get32(field.data());
        const std::size_t length = header & kLongValueLength;
        const std::string cut = std::string(what) + " value is cut short";
        if (length > file.size())
            damaged(std::string(what) + " value is longer than the whole file");
        if (header & kLongValueInline) {
            if (header & kLongValueSinglePage)
                damaged(std::string(what) + " value is stored in an unknown way");
            if (length > field.size() - MDB_MEMO_OVERHEAD)
                damaged(cut);
            return field.substr(MDB_MEMO_OVERHEAD, length);
        }
        std::uint32_t pointer = get32(field.data() + 4);
        const std::string beyond = std::string(what) + " value lies beyond the end of the file";
        if (header & kLongValueSinglePage) {
            const std::optional<Bytes> row = pageRow(pointer);
            if (!row)
                damaged(beyond);
            if (row->size() < length)
                damaged(cut);
            return row->substr(0, length);
        }
        scratch.clear();
        scratch.reserve(length);
        for (std::uint64_t hops = 0; scratch.size() < length; ++hops) {
            const std::optional<Bytes> row =
                pointer == 0 || hops > pageCount ? std::nullopt : pageRow(pointer);
            if (!row)
                damaged(beyond);
            if (row->size() < 4)
                damaged(cut);
            pointer = get32(row->data());
            const std::size_t take = std::min(row->size() - 4, length - scratch.size());
            scratch.insert(scratch.end(), row->data() + 4, row->data() + 4 + take);
        }
        return Bytes(scratch.data(), scratch.size());
    }

    // Walks the rows of `table`, giving `each` the cracked fields of every row; the page map is
    // checked first, and the row count afterwards.
    template <typename Each>
    void walkRows(MdbTableDef* table, const std::string& name, Each&& each) {
        if (!usageMapFits(table, pageCount))
            damaged("the page map of table '" + name + "' is broken");
        std::vector<MdbField> fields(table->num_cols);
        std::uint64_t rows = 0;
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            int start = 0;
            size_t length = 0;
            if (mdb_find_row(mdb.get(), static_cast<int>(table->cur_row) - 1, &start, &length) != 0)
                damaged("a row cannot be located");
            if (table->num_cols > 0 &&
                mdb_crack_row(table, start & kOffsetMask, length, fields.data()) < 0)
                damaged("a row cannot be decoded");
            each(fields);
            if (++rows % kRowsBetweenLettingGo == 0 && letGo)
                letGo();
        }
        if (rows != table->num_rows) {
            damaged("table '" + name + "' holds " + number(table->num_rows) + " rows, " +
                    number(static_cast<long long>(rows)) + " could be read");
        }
    }

    // The bytes of a field of the current row, checked to lie within the page.
    Bytes fieldBytes(const MdbField& field) const {
        if (field.start < 0 || field.siz < 0 ||
            static_cast<std::size_t>(field.start) + static_cast<std::size_t>(field.siz) > pageSize)
            damaged("a value lies outside its row's page");
        return Bytes(mdb->pg_buf + field.start, static_cast<std::size_t>(field.siz));
    }

    // The catalog: the tables of the file, from the system table MSysObjects, read here as every
    // table is (libmdb's own catalog read also decodes every object's property blocks, trusting
    // their lengths, which the program never needs). libmdb then finds tables by name in it.
    // Property blocks are still checked: a file whose catalog is damaged is not read.
    void readCatalog() {
        MdbCatalogEntry objects;
        std::memset(&objects, 0, sizeof objects);
        objects.mdb = mdb.get();
        objects.object_type = MDB_TABLE;
        objects.table_pg = 2;
        std::strcpy(objects.object_name, "MSysObjects");
        TableDefPtr table(mdb_read_table(&objects));
        if (!table || !mdb_read_columns(table.get()))
            damaged("its catalog cannot be read");
        const auto column = [&](const char* name) {
            for (unsigned i = 0; i < table->num_cols; ++i) {
                if (g_ascii_strcasecmp(columnAt(table.get(), i)->name, name) == 0)
                    return static_cast<int>(i);
            }
            return -1;
        };
        const int id = column("Id");
        const int name = column("Name");
        const int type = column("Type");
        const int flags = column("Flags");
        const int props = column("LvProp");
        if (id < 0 || name < 0 || type < 0 || flags < 0)
            damaged("its catalog cannot be read");
        mdb->catalog = g_ptr_array_new();
        mdb->num_catalog = 0;
        std::vector<const MdbField*> byColumn(table->num_cols);
        walkRows(table.get(), "MSysObjects", [&](const std::vector<MdbField>& fields) {
            std::fill(byColumn.begin(), byColumn.end(), nullptr);
            for (const MdbField& field : fields) {
                if (field.colnum >= 0 && static_cast<unsigned>(field.colnum) < table->num_cols)
                    byColumn[static_cast<unsigned>(field.colnum)] = &field;
            }
            if (props >= 0 && byColumn[unsigned(props)] && !byColumn[unsigned(props)]->is_null &&
                byColumn[unsigned(props)]->siz > 0)
                checkProperties(*byColumn[unsigned(props)]);
            const std::optional<long long> kind = integerOf(table.get(), byColumn, type);
            if (kind != MDB_TABLE)
                return;
            const std::optional<long long> page = integerOf(table.get(), byColumn, id);
            const std::optional<long long> flagBits = integerOf(table.get(), byColumn, flags);
            const MdbField* title = byColumn[unsigned(name)];
            if (!page || !title || title->is_null)
                return;
            std::string text = utf8FromUtf16(textOf(fieldBytes(*title)));
            auto* entry = static_cast<MdbCatalogEntry*>(g_malloc0(sizeof(MdbCatalogEntry)));
            entry->mdb = mdb.get();
            std::size_t length = std::min<std::size_t>(text.size(), MDB_MAX_OBJ_NAME);
            while (length > 0 && length < text.size() && (text[length] & 0xc0) == 0x80)
                --length; // not part way through a character
            std::memcpy(entry->object_name, text.data(), length);
            entry->object_type = MDB_TABLE;
            entry->table_pg = static_cast<unsigned long>(*page & 0x00ffffff);
            entry->flags = static_cast<int>(flagBits.value_or(0));
            g_ptr_array_add(mdb->catalog, entry);
            ++mdb->num_catalog;
        });
    }

    // A property block of the catalog: readable whole and made as libmdb's reading of it expects.
    void checkProperties(const MdbField& field) {
        const char* const fault = "the properties of an object in its catalog are damaged";
        Bytes block;
        try {
            block = longValue(fieldBytes(field), "a property block's");
        } catch (const Fault&) {
            damaged(fault);
        }
        if (!block.empty() && !propertyBlockSound(mdb.get(), block))
            damaged(fault);
    }

    // A whole number of the catalog (a byte, 16- or 32-bit column), nullopt for null or another
    // kind.
    std::optional<long long> integerOf(MdbTableDef* table, const std::vector<const MdbField*>& row,
                                       int column) const {
        const MdbField* field = row[unsigned(column)];
        if (!field || field->is_null)
            return std::nullopt;
        const Bytes b = fieldBytes(*field);
        switch (columnAt(table, unsigned(column))->col_type) {
        case MDB_BYTE:
            return b.size() >= 1 ? std::optional<long long>(b[0]) : std::nullopt;
        case MDB_INT:
            return b.size() >= 2 ? std::optional<long long>(std::int16_t(get16(b.data())))
                                 : std::nullopt;
        case MDB_LONGINT:
            return b.size() >= 4 ? std::optional<long long>(std::int32_t(get32(b.data())))
                                 : std::nullopt;
        default:
            return std::nullopt;
        }
    }

    // A text value of the file's own kind.
    std::u16string textOf(Bytes bytes) {
        GrowingBuffer arena;
        GrowingBuffer cells;
        CompactTableWriter text(arena, cells, 1);
        appendText(text, bytes);
        return std::u16string(reinterpret_cast<const char16_t*>(arena.data()), text.units());
    }

    void appendText(CompactTableWriter& out, Bytes bytes) {
        if (!jet3) {
            out.wrote(decodeJet4Text(bytes, out.room(bytes.size())));
            return;
        }
        // Jet 3 text is in the database's code page: the two most files use read here as
        // Windows reads them; any other through libmdb's iconv.
        const int codePage = mdb->f->code_page;
        if (codePage == 1254 || !otherCodePage(codePage)) {
            char16_t* to = out.room(bytes.size());
            if (codePage == 1254)
                decodeWindows1254(bytes, to);
            else
                decodeWindows1252(bytes, to);
            out.wrote(bytes.size());
            return;
        }
        converted.resize(4 * bytes.size() + 1);
        const int n = mdb_unicode2ascii(mdb.get(), reinterpret_cast<const char*>(bytes.data()),
                                        bytes.size(), converted.data(), converted.size());
        out.append(utf16FromUtf8(std::string_view(converted.data(), static_cast<std::size_t>(n))));
    }

    void appendValue(CompactTableWriter& out, const MdbColumn& col, const MdbField& field) {
        if (col.col_type == MDB_BOOL) {
            out.appendAscii(field.is_null ? "0" : "1");
            out.endCell(false);
            return;
        }
        if (field.is_null) {
            out.endCell(true);
            return;
        }
        const Bytes b = fieldBytes(field);
        const auto need = [&](std::size_t size) {
            if (b.size() < size)
                damaged(std::string("a value of column '") + col.name + "' is cut short");
            return b.data();
        };
        switch (col.col_type) {
        case MDB_BYTE:
            out.appendAscii(number(*need(1)));
            break;
        case MDB_INT:
            out.appendAscii(number(static_cast<std::int16_t>(get16(need(2)))));
            break;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            out.appendAscii(number(static_cast<std::int32_t>(get32(need(4)))));
            break;
        case MDB_MONEY:
            out.appendAscii(moneyText(need(8)));
            break;
        case MDB_FLOAT: {
            const std::uint32_t bits = get32(need(4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            out.appendAscii(floatText(value));
            break;
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            const std::uint64_t bits =
                get32(need(8)) | static_cast<std::uint64_t>(get32(b.data() + 4)) << 32;
            double value;
            std::memcpy(&value, &bits, sizeof value);
            out.appendAscii(col.col_type == MDB_DATETIME ? dateText(value) : doubleText(value));
            break;
        }
        case MDB_NUMERIC:
            // libmdb's col_prec holds the scale (and col_scale the precision).
            out.appendAscii(numericText(need(17), static_cast<unsigned>(col.col_prec)));
            break;
        case MDB_REPID:
            out.appendAscii(guidText(need(16)));
            break;
        case MDB_TEXT:
            appendText(out, b);
            break;
        case MDB_MEMO:
            appendText(out, longValue(b, "a memo"));
            break;
        case MDB_OLE: {
            const Bytes value = longValue(b, "an OLE object");
            decodeBinaryAsText(value, out.room(value.size()));
            out.wrote(value.size());
            break;
        }
        default: // binary, and kinds Jet 3 and 4 do not define
            decodeBinaryAsText(b, out.room(b.size()));
            out.wrote(b.size());
            break;
        }
        out.endCell(false);
    }
};

JetFile::JetFile(Bytes file, std::function<void()> letGo) : impl_(std::make_unique<Impl>()) {
    impl_->file = file;
    impl_->letGo = std::move(letGo);
    watched([&] {
        // libmdb only reads the buffer (read-only mode).
        impl_->mdb.reset(
            mdb_open_buffer(const_cast<std::uint8_t*>(file.data()), file.size(), MDB_NOFLAGS));
        if (!impl_->mdb)
            throw Fault(FaultKind::NotJet, "not an Access (Jet) database");
        MdbHandle* mdb = impl_->mdb.get();
        if (mdb->f->jet_version != MDB_VER_JET3 && mdb->f->jet_version != MDB_VER_JET4)
            throw Fault(FaultKind::NotJet, "not an Access (Jet) database");
        impl_->jet3 = mdb->f->jet_version == MDB_VER_JET3;
        impl_->pageSize = static_cast<std::size_t>(mdb->fmt->pg_size);
        if (impl_->pageSize == 0 || file.size() % impl_->pageSize != 0)
            damaged("the file ends part way through a page");
        impl_->pageCount = file.size() / impl_->pageSize;
        impl_->readCatalog();
    });
}

JetFile::~JetFile() = default;

std::vector<std::string> JetFile::tableNames() {
    return watched([&] {
        MdbHandle* mdb = impl_->mdb.get();
        std::vector<std::string> names;
        for (guint i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
                names.emplace_back(entry->object_name);
        }
        return names;
    });
}

TableShape JetFile::readTable(std::string_view name, GrowingBuffer& arena, GrowingBuffer& cells) {
    return watched([&] {
        MdbHandle* mdb = impl_->mdb.get();
        // The table's entry in the catalog read here (libmdb's own lookup by name would read its
        // catalog again, property blocks and all).
        const std::string wanted(name);
        MdbCatalogEntry* entry = nullptr;
        for (guint i = 0; i < mdb->num_catalog && !entry; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (g_ascii_strcasecmp(e->object_name, wanted.c_str()) == 0)
                entry = e;
        }
        TableDefPtr def(entry ? mdb_read_table(entry) : nullptr);
        if (!entry)
            throw Fault(FaultKind::NoTable, wanted);
        if (!def)
            damaged("table '" + wanted + "' cannot be read");
        TableShape shape;
        shape.name = def->name;
        if (!mdb_read_columns(def.get()))
            damaged("the columns of table '" + shape.name + "' cannot be read");
        const unsigned columnCount = def->num_cols;
        std::vector<const MdbColumn*> columns(columnCount);
        for (unsigned i = 0; i < columnCount; ++i) {
            const MdbColumn* col = columnAt(def.get(), i);
            columns[i] = col;
            ColumnShape c{col->name, columnType(col->col_type), 255};
            if (c.type == ColumnType::Text)
                c.maxLength = col->col_size / (impl_->jet3 ? 1 : 2);
            shape.columns.push_back(std::move(c));
        }
        CompactTableWriter out(arena, cells, columnCount);
        std::vector<const MdbField*> byColumn(columnCount);
        impl_->walkRows(def.get(), shape.name, [&](const std::vector<MdbField>& fields) {
            std::fill(byColumn.begin(), byColumn.end(), nullptr);
            for (const MdbField& field : fields) {
                if (field.colnum < 0 || static_cast<unsigned>(field.colnum) >= columnCount ||
                    byColumn[static_cast<unsigned>(field.colnum)])
                    damaged("a row cannot be decoded");
                byColumn[static_cast<unsigned>(field.colnum)] = &field;
            }
            for (unsigned i = 0; i < columnCount; ++i) {
                if (!byColumn[i])
                    damaged("a row cannot be decoded");
                impl_->appendValue(out, *columns[i], *byColumn[i]);
            }
            out.endRow();
        });
        arena.finish();
        cells.finish();
        shape.rows = out.rows();
        return shape;
    });
}

void JetFile::prepareConversions(bool jet3) {
    // What libmdb opens for a Jet 4 file, which loads the table of conversions on the way.
    (void)iconv_open("UCS-2LE", "UTF-8");
    (void)iconv_open("UTF-8", "UCS-2LE");
    if (!jet3)
        return;
    // What it opens for a Jet 3 file: from the file's code page to UTF-8 and back.
    static const char* const pages[] = {"WINDOWS-874",  "WINDOWS-1250", "WINDOWS-1251",
                                        "WINDOWS-1252", "WINDOWS-1253", "WINDOWS-1254",
                                        "WINDOWS-1255", "WINDOWS-1256", "WINDOWS-1257",
                                        "WINDOWS-1258", "CP1252"};
    for (const char* page : pages) {
        // Kept open: a module once loaded stays while something uses it.
        (void)iconv_open("UTF-8", page);
        (void)iconv_open(page, "UTF-8");
    }
}

} // namespace peltavo::jet
