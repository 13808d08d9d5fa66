#include "catalogcheck.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace peltavo::jet {

namespace {

using Size = std::ptrdiff_t;

std::uint32_t int16At(Bytes b, Size pos) {
    return get16(b.data() + pos);
}

std::uint32_t int32At(Bytes b, Size pos) {
    return get32(b.data() + pos);
}

Size sizeOf(Bytes b) {
    return static_cast<Size>(b.size());
}

// Bytes that libmdb's value conversion reads for a property value of a fixed-size type.
Size fixedSize(int type) {
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
bool namesSound(MdbHandle* mdb, Bytes b, std::vector<std::string>* names) {
    Size pos = 0;
    names->clear();
    while (pos < sizeOf(b)) {
        if (pos + 2 > sizeOf(b))
            return false;
        const Size length = int16At(b, pos);
        if (pos + 2 + length > sizeOf(b))
            return false;
        std::vector<char> name(static_cast<std::size_t>(3 * length + 1));
        mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(b.data() + pos + 2),
                          static_cast<std::size_t>(length), name.data(), name.size());
        name.back() = '\0';
        names->emplace_back(name.data());
        pos += 2 + length;
    }
    return true;
}

// A block of values: a header with the block's name, then records of 16-bit length, type, name
// index, 16-bit value size and the value. A property given twice in one block is damage: libmdb
// keeps one of the two and loses track of the other's memory.
bool valuesSound(Bytes b, const std::vector<std::string>& names) {
    if (sizeOf(b) < 6)
        return false;
    Size pos = 6 + int16At(b, 4);
    if (pos > sizeOf(b))
        return false;
    std::unordered_set<std::string_view> given;
    while (pos < sizeOf(b)) {
        if (pos + 8 > sizeOf(b))
            return false;
        const Size length = int16At(b, pos);
        const int type = b[static_cast<std::size_t>(pos) + 3];
        const std::size_t element = int16At(b, pos + 4);
        const Size size = int16At(b, pos + 6);
        if (length < 8 || pos + length > sizeOf(b) || element >= names.size() ||
            pos + 8 + size > sizeOf(b) || size < fixedSize(type) ||
            !given.insert(names[element]).second)
            return false;
        pos += length;
    }
    return true;
}

} // namespace

bool propertyBlockSound(MdbHandle* mdb, Bytes b) {
    if (b.size() < 4 ||
        (std::memcmp(b.data(), "KKD", 4) != 0 && std::memcmp(b.data(), "MR2", 4) != 0))
        return false;
    Size pos = 4;
    std::vector<std::string> names;
    bool named = false;
    while (pos < sizeOf(b)) {
        if (pos + 6 > sizeOf(b))
            return false;
        const Size length = static_cast<Size>(int32At(b, pos));
        const std::uint32_t type = int16At(b, pos + 4);
        if (length < 6 || length > sizeOf(b) - pos)
            return false;
        const Bytes body =
            b.substr(static_cast<std::size_t>(pos) + 6, static_cast<std::size_t>(length) - 6);
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

} // namespace peltavo::jet
