#pragma once

// Builds a saved web page in the MHTML format (RFC 2557, multipart/related), the form a browser
// writes for "save page as a single file". The lesson notes page is made this way from HTML
// sources; nothing here needs a browser or a window.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace peltavo::docbuild {

struct MhtmlOptions {
    // The address the parts are filed under. Relative links in the main page resolve against it,
    // so "notes.css" in the page finds the part at baseUrl + "notes.css".
    QString baseUrl = QStringLiteral("https://peltavo.invalid/ingcev/");
    // Parts are separated by "--" + boundary. The boundary holds "=_", which neither the
    // quoted-printable nor the base64 encoding can produce, so no encoded body ever contains it.
    QByteArray boundary = "----=_NextPart_Peltavo_Notes";
};

// The whole MHTML document: a header (From, Snapshot-Content-Location, Subject taken from the main
// page's <title>, MIME-Version, Content-Type multipart/related; type="text/html"; boundary=...)
// followed by the main page as the first part and each resource, in the order given, as a
// further part. Text files (html, css, txt, svg) are quoted-printable, everything else base64.
// Each part carries Content-Type, Content-Transfer-Encoding and Content-Location (baseUrl +
// the file's path relative to the main page's folder). Lines end in CRLF. The output depends
// only on the inputs: no date, no random boundary.
// Throws peltavo::Error when a file cannot be read, a resource lies outside the main page's
// folder, two files map to the same location, or options.boundary does not contain "=_".
QByteArray buildMhtml(const QString& mainHtmlPath, const QStringList& resourcePaths,
                      const MhtmlOptions& options = {});

// buildMhtml for a folder: its index.html is the main page, and every other regular file in it
// and below it (hidden ones excepted) is a resource, in byte order of the relative path.
// Throws peltavo::Error when the folder has no index.html or a file cannot be read.
QByteArray buildMhtmlFromFolder(const QString& folder, const MhtmlOptions& options = {});

// Quoted-printable encoding (RFC 2045 section 6.7) that keeps every byte: printable ASCII other
// than '=' stands for itself, everything else (line breaks included) is written =XX, and soft
// line breaks keep each encoded line at 76 characters or less. After each encoded LF a soft
// break starts a new line, so the source's lines stay lines. Decoding gives the input back
// byte for byte. An empty input gives an empty result.
QByteArray encodeQuotedPrintable(const QByteArray& data);

// Base64 in lines of 76 characters, each ended by CRLF. Empty input gives an empty result.
QByteArray encodeBase64Lines(const QByteArray& data);

// The MIME type of a file by its extension (case ignored): html/htm, css, txt, svg, png, jpg/jpeg,
// gif, woff2; anything else is application/octet-stream.
QByteArray mimeTypeForFile(const QString& fileName);

} // namespace peltavo::docbuild
