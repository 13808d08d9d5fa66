#include "jetreader.h"

#include "error.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

extern "C" {
#include <mdbtools.h>
}

namespace peltavo {

namespace {

// libmdb reports trouble (an unreadable page, a broken memo chain) only as text on stderr and
// carries on with what it has. While it works for us, stderr goes to a scratch file; whatever
// libmdb said there means the read was not clean.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        scratch_ = std::tmpfile();
        if (scratch_) {
            saved_ = ::dup(STDERR_FILENO);
            if (saved_ >= 0)
                ::dup2(::fileno(scratch_), STDERR_FILENO);
        }
    }
    ~StderrCapture() {
        restore();
        if (scratch_)
            std::fclose(scratch_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Puts stderr back and returns what was written meanwhile.
    QString finish() {
        restore();
        QByteArray text;
        if (scratch_) {
            std::rewind(scratch_);
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, scratch_)) > 0)
                text.append(buffer, static_cast<qsizetype>(n));
        }
        return QString::fromLocal8Bit(text).trimmed();
    }

private:
    void restore() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

    std::FILE* scratch_ = nullptr;
    int saved_ = -1;
};

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

class TableReader {
public:
    TableReader(MdbHandle* mdb, MdbTableDef* table, const QString& path)
        : mdb_(mdb), table_(table), path_(path),
          pageCount_(static_cast<quint64>(QFileInfo(path).size() / mdb->fmt->pg_size)) {}

    TableData read() {
        TableData data;
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
        data.rows.reserve(table_->num_rows);
        mdb_rewind_table(table_);
        while (mdb_fetch_row(table_)) {
            int start = 0;
            size_t length = 0;
            if (mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &length) != 0)
                throw Error(damaged(path_, QStringLiteral("a row cannot be located")));
            const int cracked = mdb_crack_row(table_, start & kOffsetMask, length, fields.data());
            if (cracked < 0)
                throw Error(damaged(path_, QStringLiteral("a row cannot be decoded")));
            std::vector<FieldValue> row(columnCount);
            for (unsigned i = 0; i < columnCount; ++i) {
                const MdbField& field = fields[i];
                auto* col =
                    static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, field.colnum));
                row[static_cast<size_t>(field.colnum)] = value(col, field);
            }
            data.rows.push_back(std::move(row));
        }
        if (data.rows.size() != table_->num_rows) {
            throw Error(damaged(path_, QStringLiteral("table '%1' holds %2 rows, %3 could be read")
                                           .arg(data.name)
                                           .arg(table_->num_rows)
                                           .arg(data.rows.size())));
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
        const auto header = static_cast<quint32>(mdb_get_int32(mdb_->pg_buf, field.start));
        const quint32 length = header & 0x3fffffff;
        if (length == 0)
            return QString();
        if (!(header & 0x80000000)) {
            const auto pointer = static_cast<quint32>(mdb_get_int32(mdb_->pg_buf, field.start + 4));
            if ((pointer >> 8) == 0 || (pointer >> 8) >= pageCount_)
                throw Error(
                    damaged(path_, QStringLiteral("a memo lies beyond the end of the file")));
        }
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
};

// Runs `work` with libmdb's stderr chatter captured; anything it said turns into an error.
template <typename Work> auto quietly(const QString& path, Work&& work) {
    StderrCapture capture;
    auto result = work();
    const QString said = capture.finish();
    if (!said.isEmpty())
        throw Error(damaged(path, said.section(u'\n', 0, 0)));
    return result;
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
