#include "catalogcheck.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace peltavo {

namespace {

quint32 int16At(QByteArrayView b, qsizetype pos) {
    return static_cast<quint8>(b[pos]) |
           (static_cast<quint32>(static_cast<quint8>(b[pos + 1])) << 8);
}

quint32 int32At(QByteArrayView b, qsizetype pos) {
    return int16At(b, pos) | (int16At(b, pos + 2) << 16);
}

// Bytes that libmdb's value conversion reads for a property value of a fixed-size type.
qsizetype fixedSize(int type) {
    switch (type) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
    case MDB_COMPLEX:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_NUMERIC:
        return 17;
    default:
        return 0;
    }
}

// The list of property names: 16-bit length, then that many bytes, to the end. Each name is
// converted as libmdb converts it, as it is libmdb's key for the value.
bool namesSound(MdbHandle* mdb, QByteArrayView b, std::vector<std::string>* names) {
    qsizetype pos = 0;
    names->clear();
    while (pos < b.size()) {
        if (pos + 2 > b.size())
            return false;
        const qsizetype length = int16At(b, pos);
        if (pos + 2 + length > b.size())
            return false;
        std::vector<char> name(static_cast<std::size_t>(3 * length + 1));
        mdb_unicode2ascii(mdb, b.data() + pos + 2, static_cast<std::size_t>(length), name.data(),
                          name.size());
        name.back() = '\0';
        names->emplace_back(name.data());
        pos += 2 + length;
    }
    return true;
}

// A block of values: a header with the block's name, then records of 16-bit length, type, name
// index, 16-bit value size and the value. A property given twice in one block is damage: libmdb
// keeps one of the two and loses track of the other's memory.
bool valuesSound(QByteArrayView b, const std::vector<std::string>& names) {
    if (b.size() < 6)
        return false;
    qsizetype pos = 6 + int16At(b, 4);
    if (pos > b.size())
        return false;
    std::unordered_set<std::string_view> given;
    while (pos < b.size()) {
        if (pos + 8 > b.size())
            return false;
        const qsizetype length = int16At(b, pos);
        const int type = static_cast<quint8>(b[pos + 3]);
        const std::size_t element = int16At(b, pos + 4);
        const qsizetype size = int16At(b, pos + 6);
        if (length < 8 || pos + length > b.size() || element >= names.size() ||
            pos + 8 + size > b.size() || size < fixedSize(type) ||
            !given.insert(names[element]).second)
            return false;
        pos += length;
    }
    return true;
}

bool blockSound(MdbHandle* mdb, QByteArrayView b) {
    if (b.size() < 4 ||
        (std::memcmp(b.data(), "KKD", 4) != 0 && std::memcmp(b.data(), "MR2", 4) != 0))
        return false;
    qsizetype pos = 4;
    std::vector<std::string> names;
    bool named = false;
    while (pos < b.size()) {
        if (pos + 6 > b.size())
            return false;
        const qsizetype length = int32At(b, pos);
        const quint32 type = int16At(b, pos + 4);
        if (length < 6 || length > b.size() - pos)
            return false;
        const QByteArrayView body = b.sliced(pos + 6, length - 6);
        if (type == 0x80) {
            if (!namesSound(mdb, body, &names))
                return false;
            named = true;
        } else if (type <= 2) {
            if (!named || !valuesSound(body, names))
                return false;
        } else {
            return false;
        }
        pos += length;
    }
    return true;
}

struct TableDefFree {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

} // namespace

QString catalogPropertiesFault(MdbHandle* mdb) {
    // The system table MSysObjects, read as libmdb's catalog read reads it.
    MdbCatalogEntry objects;
    std::memset(&objects, 0, sizeof objects);
    objects.mdb = mdb;
    objects.object_type = MDB_TABLE;
    objects.table_pg = 2;
    std::strcpy(objects.object_name, "MSysObjects");
    std::unique_ptr<MdbTableDef, TableDefFree> table(mdb_read_table(&objects));
    if (!table || !mdb_read_columns(table.get()))
        return QStringLiteral("its catalog cannot be read");
    std::vector<char> props(mdb->bind_size);
    int propsSize = 0;
    char name[] = "LvProp";
    const int column = mdb_bind_column_by_name(table.get(), name, props.data(), &propsSize);
    if (column < 1)
        return QString(); // no property blocks to decode
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, column - 1));
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        if (propsSize == 0)
            continue;
        size_t size = 0;
        std::unique_ptr<void, decltype(&std::free)> block(mdb_ole_read_full(mdb, col, &size),
                                                          &std::free);
        if (block && !blockSound(mdb, QByteArrayView(static_cast<const char*>(block.get()),
                                                     static_cast<qsizetype>(size))))
            return QStringLiteral("the properties of an object in its catalog are damaged");
    }
    return QString();
}

} // namespace peltavo
