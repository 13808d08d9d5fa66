#include "jetstructure.h"

#include "jetreader.h"

#include <QFile>

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

namespace peltavo::test {

namespace {

constexpr quint32 kPage = 4096;

struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(bool ok, const QString& what) {
    if (!ok)
        throw Fault(what.toStdString());
}

class JetFile {
public:
    explicit JetFile(QByteArray bytes) : bytes_(std::move(bytes)) {
        check(bytes_.size() % kPage == 0, QStringLiteral("the file size is no multiple of 4096"));
    }
    quint32 pageCount() const { return static_cast<quint32>(bytes_.size() / kPage); }
    const uchar* page(quint32 n) const {
        check(n < pageCount(), QStringLiteral("page %1 lies beyond the end").arg(n));
        return reinterpret_cast<const uchar*>(bytes_.constData()) + qsizetype{n} * kPage;
    }
    static quint32 u16(const uchar* p) { return p[0] | (p[1] << 8); }
    static quint32 u32(const uchar* p) { return u16(p) | (u16(p + 2) << 16); }

    // The bytes of the row a page/row pointer names.
    QByteArray row(quint32 pointer) const {
        const quint32 number = pointer >> 8;
        const quint32 index = pointer & 0xff;
        const uchar* p = page(number);
        check(p[0] == 0x01, QStringLiteral("page %1 holds no rows").arg(number));
        check(index < u16(p + 12), QStringLiteral("page %1 has no row %2").arg(number).arg(index));
        const quint32 start = u16(p + 14 + 2 * index) & 0x1fff;
        const quint32 end = index == 0 ? kPage : u16(p + 14 + 2 * (index - 1)) & 0x1fff;
        return QByteArray(reinterpret_cast<const char*>(p) + start, end - start);
    }

    // Pages a usage map row marks; map pages it refers to are added to `mapPages`.
    std::vector<quint32> mapped(const QByteArray& map, std::vector<quint32>& mapPages) const {
        std::vector<quint32> pages;
        const auto* m = reinterpret_cast<const uchar*>(map.constData());
        check(map.size() == 69, QStringLiteral("a usage map row has %1 bytes").arg(map.size()));
        if (m[0] == 0x00) {
            const quint32 start = u32(m + 1);
            for (quint32 bit = 0; bit < 64 * 8; ++bit) {
                if (m[5 + bit / 8] & (1u << (bit % 8)))
                    pages.push_back(start + bit);
            }
            return pages;
        }
        check(m[0] == 0x01, QStringLiteral("unknown usage map type %1").arg(m[0]));
        for (quint32 i = 0; i < 17; ++i) {
            const quint32 number = u32(m + 1 + 4 * i);
            if (number == 0)
                continue;
            const uchar* p = page(number);
            check(p[0] == 0x05, QStringLiteral("map page %1 is no map page").arg(number));
            mapPages.push_back(number);
            for (quint32 bit = 0; bit < (kPage - 4) * 8; ++bit) {
                if (p[4 + bit / 8] & (1u << (bit % 8)))
                    pages.push_back(i * (kPage - 4) * 8 + bit);
            }
        }
        return pages;
    }

private:
    QByteArray bytes_;
};

class Owners {
public:
    void claim(quint32 page, const QString& owner) {
        const auto [it, fresh] = owners_.emplace(page, owner);
        check(fresh,
              QStringLiteral("page %1 belongs to %2 and to %3").arg(page).arg(it->second, owner));
    }
    void claimShared(quint32 page, const QString& owner) {
        const auto it = owners_.find(page);
        if (it == owners_.end())
            owners_.emplace(page, owner);
        else
            check(
                it->second == owner,
                QStringLiteral("page %1 belongs to %2 and to %3").arg(page).arg(it->second, owner));
    }
    bool owned(quint32 page) const { return owners_.count(page) != 0; }

private:
    std::map<quint32, QString> owners_;
};

// A data page's own account of itself: rows, free space, owner.
quint32 checkRowPage(const JetFile& f, quint32 number, const uchar owner[4], const QString& what) {
    const uchar* p = f.page(number);
    check(p[0] == 0x01 && std::equal(owner, owner + 4, p + 4),
          QStringLiteral("page %1 of %2 is not its data page").arg(number).arg(what));
    const quint32 rows = JetFile::u16(p + 12);
    quint32 lowest = kPage;
    for (quint32 i = 0; i < rows; ++i) {
        const quint32 start = JetFile::u16(p + 14 + 2 * i) & 0x1fff;
        check(start < lowest, QStringLiteral("rows of page %1 overlap").arg(number));
        lowest = start;
    }
    check(14 + 2 * rows <= lowest, QStringLiteral("page %1 has rows over its header").arg(number));
    check(JetFile::u16(p + 2) == lowest - 14 - 2 * rows,
          QStringLiteral("page %1 states %2 bytes free, has %3")
              .arg(number)
              .arg(JetFile::u16(p + 2))
              .arg(lowest - 14 - 2 * rows));
    return rows;
}

void checkSubset(const std::vector<quint32>& part, const std::vector<quint32>& whole,
                 const QString& what) {
    const std::set<quint32> all(whole.begin(), whole.end());
    for (quint32 p : part)
        check(all.count(p) != 0,
              QStringLiteral("%1: page %2 has free space but is not owned").arg(what).arg(p));
}

void checkTable(const JetFile& f, quint32 id, Owners& owners) {
    const QString what = QStringLiteral("table %1").arg(id);
    QByteArray def(reinterpret_cast<const char*>(f.page(id)), kPage);
    check(def.at(0) == 0x02, QStringLiteral("page %1 is no table definition").arg(id));
    owners.claim(id, what);
    for (quint32 next = JetFile::u32(f.page(id) + 4); next != 0;
         next = JetFile::u32(f.page(next) + 4)) {
        check(f.page(next)[0] == 0x02,
              QStringLiteral("%1 continues on page %2, no definition").arg(what).arg(next));
        owners.claim(next, what);
        def.append(reinterpret_cast<const char*>(f.page(next)) + 8, kPage - 8);
    }
    const auto* d = reinterpret_cast<const uchar*>(def.constData());
    std::vector<quint32> mapPages;
    auto mapRow = [&](quint32 pointer) {
        owners.claimShared(pointer >> 8, QStringLiteral("usage maps"));
        return f.mapped(f.row(pointer), mapPages);
    };

    uchar owner[4];
    owner[0] = static_cast<uchar>(id);
    owner[1] = static_cast<uchar>(id >> 8);
    owner[2] = static_cast<uchar>(id >> 16);
    owner[3] = static_cast<uchar>(id >> 24);
    const std::vector<quint32> data = mapRow(JetFile::u32(d + 55));
    checkSubset(mapRow(JetFile::u32(d + 59)), data, what);
    quint32 rows = 0;
    for (quint32 p : data) {
        owners.claim(p, what);
        rows += checkRowPage(f, p, owner, what);
    }
    check(rows == JetFile::u32(d + 16), QStringLiteral("%1 says %2 rows, its pages hold %3")
                                            .arg(what)
                                            .arg(JetFile::u32(d + 16))
                                            .arg(rows));

    // Past the column entries and names: the long-value columns' maps, up to 0xFFFF.
    const quint32 columns = JetFile::u16(d + 45);
    quint32 at = 63 + 12 * JetFile::u32(d + 51) + 25 * columns;
    for (quint32 c = 0; c < columns; ++c)
        at += 2 + JetFile::u16(d + at);
    static const uchar kLval[4] = {'L', 'V', 'A', 'L'};
    for (; JetFile::u16(d + at) != 0xffff; at += 10) {
        const QString column = QStringLiteral("%1 column %2").arg(what).arg(JetFile::u16(d + at));
        const std::vector<quint32> values = mapRow(JetFile::u32(d + at + 2));
        checkSubset(mapRow(JetFile::u32(d + at + 6)), values, column);
        for (quint32 p : values) {
            owners.claim(p, column);
            checkRowPage(f, p, kLval, column);
        }
    }
    for (quint32 p : mapPages)
        owners.claim(p, what + QStringLiteral(" map"));
}

} // namespace

::testing::AssertionResult soundJetStructure(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ::testing::AssertionFailure() << "cannot open " << path.toStdString();
    try {
        const JetFile f(file.readAll());
        Owners owners;
        owners.claim(0, QStringLiteral("the header"));
        owners.claim(1, QStringLiteral("the global map"));
        const TableData catalog = JetReader::readTable(path, QStringLiteral("MSysObjects"));
        const int id = catalog.columnIndex(QStringLiteral("Id"));
        const int type = catalog.columnIndex(QStringLiteral("Type"));
        for (const auto& row : catalog.rows) {
            if (row[static_cast<size_t>(type)] == QStringLiteral("1"))
                checkTable(f, row[static_cast<size_t>(id)]->toUInt() & 0xffffff, owners);
        }
        std::vector<quint32> globalPages;
        const std::vector<quint32> free = f.mapped(f.row(1u << 8), globalPages);
        for (quint32 p : globalPages)
            owners.claim(p, QStringLiteral("the global map"));
        for (quint32 p : free)
            check(p >= f.pageCount(), QStringLiteral("the global map marks page %1 free").arg(p));
        for (quint32 p = 0; p < f.pageCount(); ++p)
            check(owners.owned(p), QStringLiteral("page %1 belongs to nothing").arg(p));
    } catch (const Fault& fault) {
        return ::testing::AssertionFailure() << fault.what();
    }
    return ::testing::AssertionSuccess();
}

} // namespace peltavo::test
