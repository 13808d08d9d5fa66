#include "mimereader.h"

#include <QRegularExpression>

namespace peltavo::test {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads header lines up to the empty line; returns the offset just after it.
qsizetype readHeaders(const QByteArray& data, qsizetype pos, QMap<QByteArray, QByteArray>& out) {
    QByteArray lastName;
    while (true) {
        const qsizetype end = data.indexOf("\r\n", pos);
        if (end < 0)
            throw MimeFormatError("header block not ended by an empty line");
        const QByteArray line = data.mid(pos, end - pos);
        pos = end + 2;
        if (line.contains('\n') || line.contains('\r'))
            throw MimeFormatError("bare CR or LF in a header line");
        if (line.isEmpty())
            return pos;
        if (line.startsWith(' ') || line.startsWith('\t')) {
            if (lastName.isEmpty())
                throw MimeFormatError("continuation line without a header");
            out[lastName] += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            throw MimeFormatError("header line without a name");
        lastName = line.left(colon).trimmed().toLower();
        if (out.contains(lastName))
            throw MimeFormatError("header given twice: " + lastName.toStdString());
        out[lastName] = line.mid(colon + 1).trimmed();
    }
}

} // namespace

QByteArray headerMainValue(const QByteArray& value) {
    const qsizetype semicolon = value.indexOf(';');
    return (semicolon < 0 ? value : value.left(semicolon)).trimmed();
}

QByteArray headerParameter(const QByteArray& value, const QByteArray& name) {
    const QList<QByteArray> pieces = value.split(';');
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QByteArray piece = pieces[i].trimmed();
        const qsizetype eq = piece.indexOf('=');
        if (eq < 0 || piece.left(eq).trimmed().toLower() != name)
            continue;
        QByteArray v = piece.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
            v = v.mid(1, v.size() - 2);
        return v;
    }
    return {};
}

QByteArray decodeQuotedPrintable(const QByteArray& encoded) {
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c != '=') {
            out += c;
            continue;
        }
        if (encoded.mid(i + 1, 2) == "\r\n") {
            i += 2;
            continue;
        }
        const int hi = i + 1 < encoded.size() ? hexValue(encoded[i + 1]) : -1;
        const int lo = i + 2 < encoded.size() ? hexValue(encoded[i + 2]) : -1;
        if (hi < 0 || lo < 0)
            throw MimeFormatError("malformed quoted-printable escape");
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

QByteArray decodeHeaderWords(const QByteArray& value) {
    static const QRegularExpression word(QStringLiteral("=\\?([^?]+)\\?([BbQq])\\?([^?]*)\\?="));
    const QString text = QString::fromLatin1(value);
    QByteArray out;
    qsizetype last = 0;
    auto it = word.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QByteArray between = value.mid(last, m.capturedStart() - last);
        // White space between two encoded words is not part of the text.
        if (last == 0 || !between.trimmed().isEmpty())
            out += between;
        if (m.captured(1).toLower() != QLatin1String("utf-8"))
            throw MimeFormatError("encoded word in an unexpected charset");
        const QByteArray payload = m.captured(3).toLatin1();
        if (m.captured(2).toUpper() == QLatin1String("B")) {
            out += QByteArray::fromBase64(payload);
        } else {
            QByteArray q = payload;
            q.replace('_', ' ');
            out += decodeQuotedPrintable(q);
        }
        last = m.capturedEnd();
    }
    out += value.mid(last);
    return out;
}

QByteArray MimeEntity::decodedBody() const {
    const QByteArray encoding = headers.value("content-transfer-encoding").toLower();
    if (encoding == "quoted-printable")
        return decodeQuotedPrintable(body);
    if (encoding == "base64") {
        QByteArray compact = body;
        compact.replace("\r\n", "");
        const auto result =
            QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        if (!result)
            throw MimeFormatError("malformed base64 body");
        return result.decoded;
    }
    if (encoding.isEmpty() || encoding == "7bit" || encoding == "8bit" || encoding == "binary")
        return body;
    throw MimeFormatError("unknown transfer encoding");
}

MimeMultipart parseMultipart(const QByteArray& document) {
    MimeMultipart result;
    const qsizetype bodyStart = readHeaders(document, 0, result.top.headers);
    result.top.body = document.mid(bodyStart);
    const QByteArray contentType = result.top.headers.value("content-type");
    if (!headerMainValue(contentType).toLower().startsWith("multipart/"))
        throw MimeFormatError("not a multipart document");
    const QByteArray boundary = headerParameter(contentType, "boundary");
    if (boundary.isEmpty())
        throw MimeFormatError("multipart document without a boundary");

    // Every delimiter follows a line break; the one in front of the first part may follow the
    // header block directly.
    const QByteArray body = "\r\n" + result.top.body;
    const QByteArray delimiter = "\r\n--" + boundary;
    qsizetype pos = body.indexOf(delimiter);
    if (pos < 0)
        throw MimeFormatError("no delimiter found");
    while (true) {
        pos += delimiter.size();
        if (body.mid(pos, 2) == "--")
            return result; // closing delimiter
        const qsizetype lineEnd = body.indexOf("\r\n", pos);
        if (lineEnd < 0 || !body.mid(pos, lineEnd - pos).trimmed().isEmpty())
            throw MimeFormatError("delimiter line with trailing text");
        const qsizetype next = body.indexOf(delimiter, lineEnd);
        if (next < 0)
            throw MimeFormatError("part not closed by a delimiter");
        MimeEntity part;
        const QByteArray raw = body.mid(lineEnd + 2, next - lineEnd - 2) + "\r\n";
        const qsizetype partBody = readHeaders(raw, 0, part.headers);
        part.body = raw.mid(partBody, raw.size() - partBody - 2);
        result.parts.append(part);
        pos = next;
    }
}

} // namespace peltavo::test
