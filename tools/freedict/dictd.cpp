// Reading dictd's index and (dictzip-compressed) data files.

#include "freedict.h"

#include "error.h"

#include <QFile>

#include <zlib.h>

#include <algorithm>
#include <optional>

namespace peltavo::freedict {

namespace {

QByteArray readWholeFile(const QString& path, const QString& what) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Cannot open the dictionary %1 %2: %3")
                        .arg(what, path, file.errorString()));
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw Error(QStringLiteral("Cannot read the dictionary %1 %2: %3")
                        .arg(what, path, file.errorString()));
    }
    return data;
}

struct InflateStream {
    z_stream z{};
    bool open = false;
    ~InflateStream() {
        if (open) {
            inflateEnd(&z);
        }
    }
};

// A dictzip file is an ordinary gzip file (its random-access table sits in the gzip extra
// field, which zlib skips); a file may also hold several gzip members one after the other.
QByteArray gunzip(const QByteArray& packed, const QString& path) {
    auto damaged = [&](const QString& why) {
        return Error(QStringLiteral("The dictionary data %1 is damaged: %2").arg(path, why));
    };
    if (packed.size() < 18 || static_cast<unsigned char>(packed[0]) != 0x1f ||
        static_cast<unsigned char>(packed[1]) != 0x8b) {
        throw damaged(QStringLiteral("it is not a gzip file"));
    }
    InflateStream stream;
    if (inflateInit2(&stream.z, 16 + MAX_WBITS) != Z_OK) {
        throw damaged(QStringLiteral("zlib could not start"));
    }
    stream.open = true;
    stream.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.z.avail_in = static_cast<uInt>(packed.size());

    QByteArray out;
    out.resize(std::max<qsizetype>(packed.size() * 4, 64 * 1024));
    qsizetype used = 0;
    for (;;) {
        if (used == out.size()) {
            out.resize(out.size() * 2);
        }
        stream.z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        stream.z.avail_out = static_cast<uInt>(std::min<qsizetype>(out.size() - used, 1 << 30));
        const uInt before = stream.z.avail_out;
        const int rc = inflate(&stream.z, Z_NO_FLUSH);
        used += before - stream.z.avail_out;
        if (rc == Z_STREAM_END) {
            if (stream.z.avail_in == 0) {
                break;
            }
            if (inflateReset(&stream.z) != Z_OK) { // the next gzip member
                throw damaged(QStringLiteral("zlib could not continue"));
            }
            continue;
        }
        if (rc == Z_BUF_ERROR && stream.z.avail_in == 0) {
            throw damaged(QStringLiteral("the compressed data ends too early"));
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            throw damaged(QString::fromUtf8(stream.z.msg ? stream.z.msg : "zlib error"));
        }
    }
    out.resize(used);
    return out;
}

// dictd writes offsets and lengths as big-endian numbers in the base64 digit alphabet
// A-Z a-z 0-9 + /, without padding.
std::optional<qint64> decodeNumber(QByteArrayView digits) {
    if (digits.isEmpty() || digits.size() > 10) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (char c : digits) {
        int d = 0;
        if (c >= 'A' && c <= 'Z') {
            d = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            d = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            d = c - '0' + 52;
        } else if (c == '+') {
            d = 62;
        } else if (c == '/') {
            d = 63;
        } else {
            return std::nullopt;
        }
        value = value * 64 + d;
    }
    return value;
}

bool isDescriptionEntry(QByteArrayView headword) {
    return headword.startsWith("00database") || headword.startsWith("00-database");
}

} // namespace

std::vector<Entry> readDictd(const QString& indexPath, const QString& dictPath) {
    const QByteArray index = readWholeFile(indexPath, QStringLiteral("index"));
    const QByteArray stored = readWholeFile(dictPath, QStringLiteral("data"));
    const QByteArray data =
        dictPath.endsWith(QLatin1String(".dz")) ? gunzip(stored, dictPath) : stored;

    std::vector<Entry> entries;
    int lineNumber = 0;
    for (QByteArrayView rest(index); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        ++lineNumber;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            continue;
        }
        const auto malformed = [&] {
            return Error(QStringLiteral("The dictionary index %1 is damaged at line %2")
                             .arg(indexPath)
                             .arg(lineNumber));
        };
        const qsizetype tab2 = line.lastIndexOf('\t');
        const qsizetype tab1 = tab2 > 0 ? line.first(tab2).lastIndexOf('\t') : -1;
        if (tab1 < 0) {
            throw malformed();
        }
        const auto offset = decodeNumber(line.sliced(tab1 + 1, tab2 - tab1 - 1));
        const auto length = decodeNumber(line.sliced(tab2 + 1));
        if (!offset || !length) {
            throw malformed();
        }
        const QByteArrayView headword = line.first(tab1);
        if (isDescriptionEntry(headword)) {
            continue;
        }
        if (*offset + *length > data.size()) {
            throw Error(QStringLiteral("The dictionary index %1 line %2 points past the end of %3")
                            .arg(indexPath)
                            .arg(lineNumber)
                            .arg(dictPath));
        }
        entries.push_back(
            {QString::fromUtf8(headword), QString::fromUtf8(data.constData() + *offset, *length)});
    }
    return entries;
}

} // namespace peltavo::freedict
