#include "mhtml.h"

#include "error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace peltavo::docbuild {

namespace {

constexpr int maxLine = 76;
const QByteArray crlf = "\r\n";

QByteArray readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

bool isTextType(const QByteArray& mimeType) {
    return mimeType.startsWith("text/") || mimeType == "image/svg+xml";
}

// The page title as plain text, or an empty string when the page has none.
QString pageTitle(const QByteArray& html) {
    static const QRegularExpression titleTag(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                             QRegularExpression::CaseInsensitiveOption |
                                                 QRegularExpression::DotMatchesEverythingOption);
    const auto match = titleTag.match(QString::fromUtf8(html));
    if (!match.hasMatch())
        return {};
    return match.captured(1).simplified();
}

// A header value in RFC 2047 encoded words when it is not plain ASCII. Words are cut at
// character boundaries so that each stays under the 75-character limit.
QByteArray encodeHeaderText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const bool plain = std::all_of(utf8.begin(), utf8.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x7f;
    });
    if (plain)
        return utf8;
    QByteArray out;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = std::min(start + 45, utf8.size());
        // Step back over continuation bytes so no character is split between two words.
        while (end < utf8.size() && end > start &&
               (static_cast<unsigned char>(utf8[end]) & 0xc0) == 0x80)
            --end;
        if (!out.isEmpty())
            out += crlf + ' ';
        out += "=?utf-8?B?" + utf8.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return out;
}

struct Part {
    QByteArray mimeType;
    QByteArray location;
    QByteArray body;
};

QByteArray encodePart(const Part& part) {
    const bool text = isTextType(part.mimeType);
    QByteArray out;
    out += "Content-Type: " + part.mimeType;
    if (text)
        out += "; charset=utf-8";
    out += crlf;
    out += "Content-Transfer-Encoding: ";
    out += text ? "quoted-printable" : "base64";
    out += crlf;
    out += "Content-Location: " + part.location + crlf;
    out += crlf;
    out += text ? encodeQuotedPrintable(part.body) : encodeBase64Lines(part.body);
    return out;
}

QString relativeInside(const QDir& root, const QString& path) {
    const QString relative = root.relativeFilePath(QFileInfo(path).absoluteFilePath());
    if (relative.startsWith(QStringLiteral("../")) || relative == QStringLiteral("..") ||
        QDir::isAbsolutePath(relative))
        throw Error(QStringLiteral("%1 lies outside %2").arg(path, root.path()));
    return relative;
}

} // namespace

QByteArray encodeQuotedPrintable(const QByteArray& data) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(data.size() + data.size() / 8);
    int column = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto u = static_cast<unsigned char>(data[i]);
        // Every encoded line ends in a soft break except the last, so white space may stand for
        // itself anywhere but at the very end, where a transport could strip it.
        const bool blank = u == ' ' || u == '\t';
        const bool literal = (u >= 0x21 && u <= 0x7e && u != '=') || (blank && i + 1 < data.size());
        const int width = literal ? 1 : 3;
        // Keep room for the '=' of a soft break.
        if (column + width > maxLine - 1) {
            out += '=';
            out += crlf;
            column = 0;
        }
        if (literal) {
            out += static_cast<char>(u);
        } else {
            out += '=';
            out += hex[u >> 4];
            out += hex[u & 0x0f];
        }
        column += width;
        if (u == '\n' && i + 1 < data.size()) {
            out += '=';
            out += crlf;
            column = 0;
        }
    }
    return out;
}

QByteArray encodeBase64Lines(const QByteArray& data) {
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / maxLine * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += maxLine)
        out += encoded.mid(i, maxLine) + crlf;
    return out;
}

QByteArray mimeTypeForFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return "text/html";
    if (suffix == QLatin1String("css"))
        return "text/css";
    if (suffix == QLatin1String("txt"))
        return "text/plain";
    if (suffix == QLatin1String("svg"))
        return "image/svg+xml";
    if (suffix == QLatin1String("png"))
        return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "image/jpeg";
    if (suffix == QLatin1String("gif"))
        return "image/gif";
    if (suffix == QLatin1String("woff2"))
        return "font/woff2";
    return "application/octet-stream";
}

QByteArray buildMhtml(const QString& mainHtmlPath, const QStringList& resourcePaths,
                      const MhtmlOptions& options) {
    if (!options.boundary.contains("=_"))
        throw Error(QStringLiteral("the MHTML boundary must contain \"=_\""));
    const QDir root = QFileInfo(mainHtmlPath).absoluteDir();

    QList<Part> parts;
    QSet<QString> locations;
    auto addPart = [&](const QString& path) {
        const QString relative = relativeInside(root, path);
        if (locations.contains(relative))
            throw Error(QStringLiteral("%1 is given twice").arg(relative));
        locations.insert(relative);
        parts.append(
            {mimeTypeForFile(path), (options.baseUrl + relative).toUtf8(), readWhole(path)});
    };
    addPart(mainHtmlPath);
    for (const QString& path : resourcePaths)
        addPart(path);

    const QByteArray& boundary = options.boundary;
    QByteArray out;
    out += "From: <Saved by peltavo-docbuild>" + crlf;
    out += "Snapshot-Content-Location: " + parts.front().location + crlf;
    out += "Subject: " + encodeHeaderText(pageTitle(parts.front().body)) + crlf;
    out += "MIME-Version: 1.0" + crlf;
    out += "Content-Type: multipart/related;" + crlf;
    out += "\ttype=\"text/html\";" + crlf;
    out += "\tboundary=\"" + boundary + "\"" + crlf;
    out += crlf;
    for (const Part& part : parts) {
        out += "--" + boundary + crlf;
        // The line break in front of the next delimiter belongs to the delimiter, not the body.
        out += encodePart(part) + crlf;
    }
    out += "--" + boundary + "--" + crlf;
    return out;
}

QByteArray buildMhtmlFromFolder(const QString& folder, const MhtmlOptions& options) {
    // Absolute, so that a path such as "../notes" gives the same relative names as any other.
    const QDir root(QFileInfo(folder).absoluteFilePath());
    const QString mainPage = root.filePath(QStringLiteral("index.html"));
    if (!QFileInfo(mainPage).isFile())
        throw Error(QStringLiteral("%1 has no index.html").arg(folder));

    QList<QByteArray> relatives;
    QDirIterator it(root.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = root.relativeFilePath(path);
        if (relative == QLatin1String("index.html"))
            continue;
        // Skip hidden files and anything in a hidden folder (editor backups, VCS data).
        if (relative.startsWith(u'.') || relative.contains(QStringLiteral("/.")))
            continue;
        relatives.append(relative.toUtf8());
    }
    std::sort(relatives.begin(), relatives.end());
    QStringList resources;
    for (const QByteArray& relative : relatives)
        resources.append(root.filePath(QString::fromUtf8(relative)));
    return buildMhtml(mainPage, resources, options);
}

} // namespace peltavo::docbuild
