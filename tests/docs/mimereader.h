#pragma once

// A strict reader of MIME multipart documents for the tests: it reads what the MHTML builder
// writes the way a mail or web client would, and refuses what RFC 2045/2046 do not allow
// (bare line feeds in headers, a missing closing delimiter, malformed quoted-printable).

#include <QByteArray>
#include <QList>
#include <QMap>

#include <stdexcept>

namespace peltavo::test {

struct MimeFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct MimeEntity {
    QMap<QByteArray, QByteArray> headers; // names in lower case, folded lines joined
    QByteArray body;                      // as transported (still encoded)

    // The body with its Content-Transfer-Encoding undone (quoted-printable, base64 or none).
    QByteArray decodedBody() const;
};

struct MimeMultipart {
    MimeEntity top; // the document's own headers; its body is the whole multipart body
    QList<MimeEntity> parts;
};

// Splits a document into its headers and parts. Throws MimeFormatError when the document is not
// multipart, has no boundary, or its parts are not closed by the final delimiter.
MimeMultipart parseMultipart(const QByteArray& document);

// The value of a parameter of a structured header ("boundary" of a Content-Type), without
// quotes; empty when absent.
QByteArray headerParameter(const QByteArray& value, const QByteArray& name);

// The value of a header up to its first ';' ("multipart/related"), trimmed.
QByteArray headerMainValue(const QByteArray& value);

// Decodes quoted-printable; hard line breaks become CRLF. Throws MimeFormatError on a '='
// that starts neither a soft break nor two hexadecimal digits.
QByteArray decodeQuotedPrintable(const QByteArray& encoded);

// Decodes a header value made of RFC 2047 encoded words (B or Q, UTF-8) and plain text.
QByteArray decodeHeaderWords(const QByteArray& value);

} // namespace peltavo::test
