#include "jetreader.h"

#include "catalogcheck.h"
#include "error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <sys/mman.h>
#include <unistd.h>

extern "C" {
#include <mdbtools.h>
}

namespace peltavo {

namespace {

std::atomic<quint64> tablesReadSoFar{0};

bool isLibmdbComplaint(const QString& line);

// libmdb reports trouble (an unreadable page, a broken memo chain) only as text on stderr and
// carries on with what it has. While it works for us, the C library's stderr stream is a stream of
// ours that keeps what is written to it; whatever libmdb said there means the read was not clean.
// Only the stream is turned aside, not the process's standard error: what is written there
// directly, such as a sanitizer's or the fuzzer's report of a fault met in the middle of a read,
// still reaches it.
//
// stderr is one for the whole process, so reads running at the same time on several threads share
// one capture: the first to start turns stderr aside, the last to end puts it back, and each read
// gets what was written while it ran. A read that ran beside another cannot tell whose complaint
// it got; it is then run again alone (see quietly()). What is not libmdb's goes on to the real
// stderr, once. Another thread may still hold our stream for a moment after it was put back: what
// it writes then goes straight to standard error, so our stream is never closed.
class StderrCapture {
public:
    StderrCapture() {
        const std::lock_guard lock(mutex_);
        if (active_++ == 0) {
            std::FILE* ours = stream();
            if (ours) {
                std::fflush(stderr);
                saved_ = stderr;
                stderr = ours;
            }
        }
        startedAfter_ = ++started_;
        alongside_ = active_ > 1;
        start_ = kept_.size();
    }
    ~StderrCapture() { finish(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends this read's capture and returns what was written meanwhile (once; later calls give
    // nothing). What is not libmdb's goes on to the real stderr as soon as a read ends.
    QString finish() {
        const std::lock_guard lock(mutex_);
        if (done_)
            return {};
        done_ = true;
        alongside_ = alongside_ || started_ != startedAfter_;
        const QByteArray text = kept_.sliced(start_);
        // Everything not yet passed on, whoever's read it came in: whole lines while other reads
        // go on, the rest with the last.
        const qsizetype upTo = active_ > 1 ? kept_.lastIndexOf('\n') + 1 : kept_.size();
        if (passedOn_ < upTo) {
            passOn(kept_.sliced(passedOn_, upTo - passedOn_));
            passedOn_ = upTo;
        }
        if (--active_ == 0) {
            if (saved_) {
                stderr = saved_;
                saved_ = nullptr;
            }
            kept_.clear();
            passedOn_ = 0;
        }
        return QString::fromLocal8Bit(text).trimmed();
    }
    // Whether another read was capturing at some moment of this one.
    bool ranAlongside() const { return alongside_; }

private:
    // Our stream, made once: unbuffered, as stderr itself is.
    static std::FILE* stream() {
        static std::FILE* const made = [] {
            cookie_io_functions_t io{};
            io.write = &StderrCapture::write;
            std::FILE* f = ::fopencookie(nullptr, "w", io);
            if (f)
                std::setvbuf(f, nullptr, _IONBF, 0);
            return f;
        }();
        return made;
    }

    static ssize_t write(void*, const char* data, size_t size) {
        {
            const std::lock_guard lock(mutex_);
            if (active_ > 0) {
                kept_.append(data, static_cast<qsizetype>(size));
                return static_cast<ssize_t>(size);
            }
        }
        // Written through our stream after it was put back.
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(STDERR_FILENO, data + done, size - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        return static_cast<ssize_t>(size);
    }

    // Writes the lines of `text` that are not libmdb's to the real stderr.
    static void passOn(const QByteArray& text) {
        for (const QByteArray& line : text.split('\n')) {
            if (!line.trimmed().isEmpty() && !isLibmdbComplaint(QString::fromLocal8Bit(line)))
                std::fprintf(saved_, "%s\n", line.constData());
        }
    }

    static inline std::mutex mutex_;
    static inline int active_ = 0;
    static inline quint64 started_ = 0;
    static inline std::FILE* saved_ = nullptr;
    static inline QByteArray kept_;        // what was written to our stream while reads ran
    static inline qsizetype passedOn_ = 0; // how much of kept_ has been passed on

    qsizetype start_ = 0;
    quint64 startedAfter_ = 0;
    bool alongside_ = false;
    bool done_ = false;
};

// Reads that found a complaint beside another read run again while no other read runs.
std::shared_mutex readsAlone;

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableDefFree {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
struct GFree {
    void operator()(void* p) const { g_free(p); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefFree>;
using GString = std::unique_ptr<char, GFree>;

constexpr int kOffsetMask = 0x1fff;
constexpr size_t kMinBindSize = MDB_BIND_SIZE;

// Jet 4 stores text as UTF-16LE, or compressed: after the marker FF FE, runs of one-byte
// characters (U+0001 to U+00FF) and of UTF-16LE characters, switched by each 00 byte. Decoding it
// here, rather than through libmdb's iconv round trip to UTF-8, keeps every UTF-16 unit (surrogate
// pairs included) and reads a large table several times faster.
QString decodeJet4Text(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out;
    if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        out.resize(n);
        QChar* d = out.data();
        bool oneByte = true;
        for (qsizetype i = 2; i < n;) {
            if (p[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                *d++ = QChar(p[i]);
                ++i;
            } else if (i + 1 < n) {
                *d++ = QChar(char16_t(p[i] | (p[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        out.truncate(d - out.constData());
        return out;
    }
    out.resize(n / 2);
    QChar* d = out.data();
    for (qsizetype i = 0; i + 1 < n; i += 2)
        *d++ = QChar(char16_t(p[i] | (p[i + 1] << 8)));
    return out;
}

QString damaged(const QString& path, const QString& detail) {
    return QStringLiteral("The database '%1' cannot be read whole: %2").arg(path, detail);
}

MdbPtr openFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("Cannot open '%1': no such file").arg(path));
    if (info.isDir())
        throw Error(QStringLiteral("Cannot open '%1': it is a folder").arg(path));
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open '%1': %2").arg(path, probe.errorString()));
    probe.close();

    const QByteArray native = QFile::encodeName(path);
    MdbPtr mdb(mdb_open(native.constData(), MDB_NOFLAGS));
    if (!mdb)
        throw Error(QStringLiteral("'%1' is not an Access (Jet) database").arg(path));
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d");
    const qint64 pageSize = mdb->fmt->pg_size;
    if (pageSize <= 0 || info.size() % pageSize != 0)
        throw Error(damaged(path, QStringLiteral("the file ends part way through a page")));
    // Every read starts with libmdb's catalog read, which must not meet a damaged property block.
    const QString fault = catalogPropertiesFault(mdb.get());
    if (!fault.isEmpty())
        throw Error(damaged(path, fault));
    return mdb;
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
    default:
        return ColumnType::Other;
    }
}

// libmdb walks a table's data pages by the table's usage map and trusts it: a map shorter than
// its own header, or one naming map pages beyond the end of the file, sends it reading outside
// its buffers. The map is either a bitmap after a 4-byte first page (type 0) or a list of the
// 4-byte numbers of the pages holding the bitmap (type 1).
bool usageMapFits(const MdbTableDef* table, quint64 pageCount) {
    const unsigned char* map = table->usage_map;
    const size_t size = table->map_sz;
    if (!map || size < 1)
        return false;
    if (map[0] == 0)
        return size >= 5;
    if (map[0] != 1)
        return false;
    for (size_t i = 1; i + 4 <= size; i += 4) {
        const quint32 page = quint32(map[i]) | quint32(map[i + 1]) << 8 |
                             quint32(map[i + 2]) << 16 | quint32(map[i + 3]) << 24;
        if (page >= pageCount)
            return false;
    }
    return true;
}

class TableReader {
public:
    TableReader(MdbHandle* mdb, MdbTableDef* table, const QString& path)
        : mdb_(mdb), table_(table), path_(path),
          pageCount_(static_cast<quint64>(QFileInfo(path).size() / mdb->fmt->pg_size)),
          file_(path) {
        // Long values are read straight from a read-only mapping of the file when one can be
        // made; libmdb's own page swap per long value costs more than the rest of the read.
        if (file_.open(QIODevice::ReadOnly))
            mapped_ = file_.map(0, file_.size());
    }

    CompactTable read() {
        CompactTable data;
        data.name = QString::fromUtf8(table_->name);
        if (!mdb_read_columns(table_))
            throw Error(damaged(
                path_, QStringLiteral("the columns of table '%1' cannot be read").arg(data.name)));
        const unsigned columnCount = table_->num_cols;
        for (unsigned i = 0; i < columnCount; ++i) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i));
            Column c{QString::fromUtf8(col->name), columnType(col->col_type), 255};
            if (c.type == ColumnType::Text)
                c.maxLength = col->col_size / (mdb_->f->jet_version == MDB_VER_JET3 ? 1 : 2);
            data.columns.push_back(c);
        }

        std::vector<MdbField> fields(columnCount);
        // Every UTF-16 unit of text comes from at least one byte of the file. The header's row
        // count is only a hint, and a damaged header may give any count: what is reserved for
        // the cells stays within a byte of the file per cell.
        const size_t fileBytes = static_cast<size_t>(file_.size());
        const size_t rowsHint =
            std::min<size_t>(table_->num_rows, fileBytes / std::max(1u, columnCount));
        data.reserve(rowsHint, fileBytes);
        std::vector<FieldValue> row(columnCount);
        if (!usageMapFits(table_, pageCount_))
            throw Error(damaged(
                path_, QStringLiteral("the page map of table '%1' is broken").arg(data.name)));
        mdb_rewind_table(table_);
        while (mdb_fetch_row(table_)) {
            int start = 0;
            size_t length = 0;
            if (mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &length) != 0)
                throw Error(damaged(path_, QStringLiteral("a row cannot be located")));
            const int cracked = mdb_crack_row(table_, start & kOffsetMask, length, fields.data());
            if (cracked < 0)
                throw Error(damaged(path_, QStringLiteral("a row cannot be decoded")));
            std::fill(row.begin(), row.end(), FieldValue());
            for (unsigned i = 0; i < columnCount; ++i) {
                const MdbField& field = fields[i];
                auto* col =
                    static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, field.colnum));
                row[static_cast<size_t>(field.colnum)] = value(col, field);
            }
            data.appendRow(row);
        }
        if (data.rowCount() != table_->num_rows) {
            throw Error(damaged(path_, QStringLiteral("table '%1' holds %2 rows, %3 could be read")
                                           .arg(data.name)
                                           .arg(table_->num_rows)
                                           .arg(data.rowCount())));
        }
        return data;
    }

private:
    FieldValue value(MdbColumn* col, const MdbField& field) {
        if (col->col_type == MDB_BOOL)
            return QString(field.is_null ? QStringLiteral("0") : QStringLiteral("1"));
        if (field.is_null)
            return std::nullopt;
        switch (col->col_type) {
        case MDB_TEXT:
            if (field.siz == 0)
                return QString();
            if (mdb_->f->jet_version != MDB_VER_JET3) {
                return decodeJet4Text(QByteArrayView(
                    reinterpret_cast<const char*>(mdb_->pg_buf) + field.start, field.siz));
            }
            return text(col->col_type, field.start, field.siz, static_cast<size_t>(field.siz));
        case MDB_MEMO:
            return memo(field);
        case MDB_NUMERIC:
            return QString::fromUtf8(
                GString(mdb_numeric_to_string(mdb_, field.start, col->col_scale, col->col_prec))
                    .get());
        case MDB_BINARY:
            return QString::fromLatin1(
                QByteArray(reinterpret_cast<const char*>(mdb_->pg_buf) + field.start, field.siz)
                    .toBase64());
        case MDB_OLE:
            return ole(col);
        default:
            return text(col->col_type, field.start, field.siz, 0);
        }
    }

    QString text(int type, int start, int size, size_t storedBytes) {
        // libmdb cuts converted text at its bind size; give it room for every character.
        mdb_set_bind_size(mdb_, std::max(kMinBindSize, storedBytes * 3 + 16));
        GString converted(mdb_col_to_string(mdb_, mdb_->pg_buf, start, type, size));
        mdb_set_bind_size(mdb_, kMinBindSize);
        return QString::fromUtf8(converted.get());
    }

    QString memo(const MdbField& field) {
        if (field.siz < MDB_MEMO_OVERHEAD)
            return QString();
        if (mdb_->f->jet_version == MDB_VER_JET3)
            return jet3Memo(field);
        return decodeJet4Text(memoBytes(field));
    }

    // The stored bytes of a memo: inside the row, on one long-value page, or chained over
    // several. Every byte the memo's header promises must be there.
    QByteArray memoBytes(const MdbField& field) {
        const auto* row = static_cast<const unsigned char*>(mdb_->pg_buf);
        const auto header = static_cast<quint32>(mdb_get_int32(mdb_->pg_buf, field.start));
        const qsizetype length = header & 0x3fffffff;
        if (header & 0x80000000) {
            return QByteArray(reinterpret_cast<const char*>(row) + field.start + MDB_MEMO_OVERHEAD,
                              field.siz - MDB_MEMO_OVERHEAD);
        }
        QByteArray bytes;
        bytes.reserve(length);
        auto pointer = static_cast<quint32>(mdb_get_int32(mdb_->pg_buf, field.start + 4));
        const bool chained = !(header & 0x40000000);
        if (chained && (header & 0xff000000))
            throw Error(damaged(path_, QStringLiteral("a memo is stored in an unknown way")));
        for (quint64 hops = 0; bytes.size() < length; ++hops) {
            void* page = nullptr;
            int offset = 0;
            size_t size = 0;
            if (pointer == 0 || (pointer >> 8) >= pageCount_ || hops > pageCount_ ||
                !findLongValueRow(pointer, &page, &offset, &size))
                throw Error(
                    damaged(path_, QStringLiteral("a memo lies beyond the end of the file")));
            const char* data = static_cast<const char*>(page) + offset;
            if (!chained) {
                bytes.append(data, static_cast<qsizetype>(std::min<size_t>(size, length)));
                break;
            }
            if (size < 4)
                break;
            pointer = static_cast<quint32>(mdb_get_int32(page, offset));
            bytes.append(data + 4, static_cast<qsizetype>(size - 4));
        }
        if (bytes.size() < length)
            throw Error(damaged(path_, QStringLiteral("a memo value is cut short")));
        bytes.truncate(length);
        return bytes;
    }

    // Locates row (pointer & 0xff) of page (pointer >> 8), as libmdb's mdb_find_pg_row does.
    bool findLongValueRow(quint32 pointer, void** page, int* offset, size_t* size) {
        if (!mapped_)
            return mdb_find_pg_row(mdb_, static_cast<int>(pointer), page, offset, size) == 0;
        const qint64 pageSize = mdb_->fmt->pg_size;
        // Every page read through the map stays in the process's resident memory until it is
        // unmapped, so a table of long values would hold, for the whole read, as much of the file
        // as its own text again. The pages are let go every few megabytes; the kernel keeps them
        // cached, and one asked for again is mapped again from there.
        if (++pagesSinceRelease_ >= kReleaseEvery) {
            pagesSinceRelease_ = 0;
            ::madvise(mapped_, static_cast<size_t>(file_.size()), MADV_DONTNEED);
        }
        uchar* base = mapped_ + static_cast<qint64>(pointer >> 8) * pageSize;
        const int row = static_cast<int>(pointer & 0xff);
        const int rowCountOffset = mdb_->fmt->row_count_offset;
        if (row >= mdb_get_int16(base, rowCountOffset))
            return false;
        const int start = mdb_get_int16(base, rowCountOffset + 2 + row * 2) & kOffsetMask;
        const int end = row == 0 ? static_cast<int>(pageSize)
                                 : mdb_get_int16(base, rowCountOffset + row * 2) & kOffsetMask;
        if (start > end || end > pageSize)
            return false;
        *page = base;
        *offset = start;
        *size = static_cast<size_t>(end - start);
        return true;
    }

    QString jet3Memo(const MdbField& field) {
        const auto header = static_cast<quint32>(mdb_get_int32(mdb_->pg_buf, field.start));
        const quint32 length = header & 0x3fffffff;
        if (length == 0)
            return QString();
        QString value = text(MDB_MEMO, field.start, field.siz, length);
        if (value.isEmpty())
            throw Error(damaged(path_, QStringLiteral("a memo value cannot be read")));
        return value;
    }

    QString ole(MdbColumn* col) {
        size_t size = 0;
        std::unique_ptr<void, decltype(&std::free)> bytes(mdb_ole_read_full(mdb_, col, &size),
                                                          &std::free);
        if (!bytes)
            return QString();
        return QString::fromLatin1(
            QByteArray(static_cast<const char*>(bytes.get()), static_cast<qsizetype>(size))
                .toBase64());
    }

    MdbHandle* mdb_;
    MdbTableDef* table_;
    QString path_;
    quint64 pageCount_;
    QFile file_;
    uchar* mapped_ = nullptr;                  // unmapped when file_ closes
    static constexpr int kReleaseEvery = 2048; // long-value pages read between releases
    int pagesSinceRelease_ = 0;
};

// Runs `work` with libmdb's stderr chatter captured; anything it said turns into an error.
// Whether a line written to stderr is one of libmdb's complaints about the file. Other threads of
// the program (the browser pane's, say) may write to stderr meanwhile; their lines are passed on.
bool isLibmdbComplaint(const QString& line) {
    static const QRegularExpression complaint(
        QStringLiteral(
            R"(^(warning|error|unhandled|unable|couldn't|can't|oops|offset \d+ is beyond eof|eof reached|)"
            R"(unknown|unrecognized|mdb_|detected invalid|critical|sequence error|out of memory|)"
            R"(file not found|no msysrelationships))"),
        QRegularExpression::CaseInsensitiveOption);
    return complaint.match(line.trimmed()).hasMatch();
}

// Runs `work` with libmdb's stderr chatter captured; a complaint of libmdb's turns into an error.
// When the complaint may have come from a read on another thread, `work` runs once more with no
// other read beside it, and that run's result or complaint counts.
template <typename Work> auto quietly(const QString& path, Work&& work) {
    auto attempt = [&](bool alone, bool* unsure) {
        StderrCapture capture;
        auto result = work();
        const QStringList lines = capture.finish().split(u'\n', Qt::SkipEmptyParts);
        QString complaint;
        for (const QString& line : lines) {
            if (isLibmdbComplaint(line)) {
                complaint = line.trimmed();
                break;
            }
        }
        *unsure = !complaint.isEmpty() && !alone && capture.ranAlongside();
        if (!complaint.isEmpty() && !*unsure)
            throw Error(damaged(path, complaint));
        return result;
    };
    bool unsure = false;
    {
        const std::shared_lock beside(readsAlone);
        auto result = attempt(false, &unsure);
        if (!unsure)
            return result;
    }
    const std::unique_lock alone(readsAlone);
    return attempt(true, &unsure);
}

} // namespace

QStringList JetReader::tableNames(const QString& path) {
    return quietly(path, [&] {
        MdbPtr mdb = openFile(path);
        GPtrArray* catalog = mdb_read_catalog(mdb.get(), MDB_TABLE);
        if (!catalog)
            throw Error(damaged(path, QStringLiteral("its catalog cannot be read")));
        QStringList names;
        for (guint i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
                names << QString::fromUtf8(entry->object_name);
        }
        return names;
    });
}

TableData JetReader::readTable(const QString& path, const QString& table) {
    return readCompactTable(path, table).toTableData();
}

quint64 JetReader::tablesRead() {
    return tablesReadSoFar.load();
}

CompactTable JetReader::readCompactTable(const QString& path, const QString& table) {
    ++tablesReadSoFar;
    return quietly(path, [&] {
        MdbPtr mdb = openFile(path);
        if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
            throw Error(damaged(path, QStringLiteral("its catalog cannot be read")));
        QByteArray name = table.toUtf8();
        TableDefPtr def(mdb_read_table_by_name(mdb.get(), name.data(), MDB_TABLE));
        if (!def)
            throw Error(QStringLiteral("The database '%1' has no table '%2'").arg(path, table));
        return TableReader(mdb.get(), def.get(), path).read();
    });
}

} // namespace peltavo
