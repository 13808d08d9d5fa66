#pragma once

// Compiled HTML Help (.chm) files: compiling a help project with chmcmd (Free Pascal) so that the
// result depends only on the sources, and reading the archive's directory to check the result.
//
// The container is the ITSF format: a header, a directory of PMGL chunks listing every stored
// file (name, content section, offset, length), content section 0 stored plainly and section 1
// LZX-compressed. Only what this project needs is read: the directory and files of section 0.

#include <QByteArray>
#include <QList>
#include <QString>

namespace peltavo::docbuild {

struct ChmEntry {
    QString name;        // "/index.html", "/#SYSTEM", "::DataSpace/NameList", ...
    quint64 section = 0; // 0 = stored plainly, 1 = compressed
    quint64 offset = 0;  // within the content section
    quint64 length = 0;
};

struct ChmDirectory {
    quint32 languageId = 0;    // from the ITSF header, e.g. 0x041f for Turkish
    quint32 timestamp = 0;     // the ITSF header's time stamp, as stored (big-endian)
    quint64 contentOffset = 0; // where content section 0 starts in the file
    QList<ChmEntry> entries;   // in directory order (sorted by name, case ignored)

    // The entry with exactly this name, or nullptr.
    const ChmEntry* find(const QString& name) const;
};

// Reads the header and the whole directory. Throws peltavo::Error when the data is not an ITSF
// archive or the header, a chunk or an entry reaches past the end of the data.
ChmDirectory readChmDirectory(const QByteArray& chm);

// The bytes of a file stored in content section 0. Throws peltavo::Error when the entry is in
// another section or reaches past the end of the data.
QByteArray readChmSectionZeroFile(const QByteArray& chm, const ChmDirectory& directory,
                                  const ChmEntry& entry);

// The time stamp that the #SYSTEM file carries (record code 10), or 0 when it has no such record.
// Throws peltavo::Error when #SYSTEM is missing or not stored plainly.
quint32 chmSystemTimestamp(const QByteArray& chm);

// Sets the build time stamps (the ITSF header's and the #SYSTEM record 10) to zero, in place.
// These are the only bytes in which two compilations of the same sources by chmcmd differ.
// Throws peltavo::Error when the data is not an ITSF archive or #SYSTEM cannot be found in
// content section 0.
void clearChmTimestamps(QByteArray& chm);

// Compiles the project file (.hhp) with chmcmd and returns the finished .chm with its time
// stamps cleared. The project's folder is copied to a temporary folder first, so chmcmd writes
// nothing beside the sources. Project, contents and index files (.hhp, .hhc, .hhk) are kept in
// UTF-8 in the sources and converted to windows-1254, the code page help viewers use for a
// Turkish help file; HTML pages are copied unchanged (they declare their own charset).
// Throws peltavo::Error when chmcmd cannot be started, fails, writes no output, reports an error
// or a warning (a linked page that does not exist, an undefined anchor), or a project file holds
// text that windows-1254 cannot represent.
QByteArray compileChm(const QString& projectPath, const QString& chmcmd = QStringLiteral("chmcmd"));

} // namespace peltavo::docbuild
