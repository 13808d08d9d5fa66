#include "chm.h"

#include "error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtEndian>

#include <optional>

namespace peltavo::docbuild {

namespace {

// Offsets in the ITSF header.
constexpr qsizetype itsfTimestamp = 0x10;
constexpr qsizetype itsfLanguage = 0x14;
constexpr qsizetype itsfDirectoryOffset = 0x48;
constexpr qsizetype itsfDirectoryLength = 0x50;
constexpr qsizetype itsfContentOffset = 0x58; // version 3 only
constexpr qsizetype itsfMinimumHeader = 0x58;

// Offsets in the directory (ITSP) header and in a listing (PMGL) chunk.
constexpr qsizetype itspHeaderLength = 0x08;
constexpr qsizetype itspChunkSize = 0x10;
constexpr qsizetype itspFirstListing = 0x20;
constexpr qsizetype itspChunkCount = 0x2c;
constexpr qsizetype pmglFreeSpace = 0x04;
constexpr qsizetype pmglNext = 0x10;
constexpr qsizetype pmglEntries = 0x14;

constexpr quint16 systemTimestampRecord = 10;

[[noreturn]] void malformed(const QString& what) {
    throw Error(QStringLiteral("not a valid CHM file: %1").arg(what));
}

void need(const QByteArray& data, quint64 offset, quint64 length, const char* what) {
    if (offset > quint64(data.size()) || length > quint64(data.size()) - offset)
        malformed(QStringLiteral("%1 reaches past the end of the file").arg(QLatin1String(what)));
}

quint32 u32(const QByteArray& data, quint64 offset) {
    need(data, offset, 4, "a header field");
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

quint64 u64(const QByteArray& data, quint64 offset) {
    need(data, offset, 8, "a header field");
    return qFromLittleEndian<quint64>(data.constData() + offset);
}

// A variable-length number of the directory: 7 bits a byte, most significant first, the high
// bit set on every byte but the last.
quint64 encint(const QByteArray& data, quint64& pos, quint64 end) {
    quint64 value = 0;
    for (int i = 0; i < 10; ++i) {
        if (pos >= end)
            malformed(QStringLiteral("a directory entry is cut short"));
        const auto byte = static_cast<unsigned char>(data[qsizetype(pos++)]);
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            return value;
    }
    malformed(QStringLiteral("a directory number is too long"));
}

struct SystemRecord {
    qsizetype dataOffset; // absolute offset in the file
    quint16 length;
};

// The record of #SYSTEM with the given code, or nothing.
std::optional<SystemRecord> findSystemRecord(const QByteArray& chm, quint16 code) {
    const ChmDirectory directory = readChmDirectory(chm);
    const ChmEntry* system = directory.find(QStringLiteral("/#SYSTEM"));
    if (!system)
        malformed(QStringLiteral("it has no #SYSTEM file"));
    if (system->section != 0)
        throw Error(
            QStringLiteral("the #SYSTEM file is compressed; its time stamp cannot be read"));
    const quint64 start = directory.contentOffset + system->offset;
    need(chm, start, system->length, "the #SYSTEM file");
    const quint64 end = start + system->length;
    quint64 pos = start + 4; // after the version number
    while (pos + 4 <= end) {
        const quint16 recordCode = qFromLittleEndian<quint16>(chm.constData() + pos);
        const quint16 length = qFromLittleEndian<quint16>(chm.constData() + pos + 2);
        pos += 4;
        if (pos + length > end)
            malformed(QStringLiteral("a #SYSTEM record reaches past its file"));
        if (recordCode == code)
            return SystemRecord{qsizetype(pos), length};
        pos += length;
    }
    return std::nullopt;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        throw Error(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

bool isProjectFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("hhp") || suffix == QLatin1String("hhc") ||
           suffix == QLatin1String("hhk");
}

QByteArray toHelpCodePage(const QByteArray& utf8, const QString& path) {
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(utf8);
    if (decode.hasError())
        throw Error(QStringLiteral("%1 is not valid UTF-8").arg(path));
    QStringEncoder encode("windows-1254");
    if (!encode.isValid())
        throw Error(QStringLiteral("the windows-1254 code page is not available"));
    const QByteArray converted = encode(text);
    if (encode.hasError())
        throw Error(
            QStringLiteral("%1 holds characters that windows-1254 cannot represent").arg(path));
    return converted;
}

// The value of "Compiled file=" in the [OPTIONS] section of a project file.
QString compiledFileName(const QByteArray& project, const QString& path) {
    static const QRegularExpression line(QStringLiteral("^\\s*compiled file\\s*=\\s*(.*?)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::MultilineOption);
    const auto match = line.match(QString::fromUtf8(project));
    if (!match.hasMatch() || match.captured(1).isEmpty())
        throw Error(QStringLiteral("%1 names no compiled file").arg(path));
    return match.captured(1);
}

} // namespace

const ChmEntry* ChmDirectory::find(const QString& name) const {
    for (const ChmEntry& entry : entries)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

ChmDirectory readChmDirectory(const QByteArray& chm) {
    if (!chm.startsWith("ITSF"))
        malformed(QStringLiteral("it does not start with ITSF"));
    const quint32 version = u32(chm, 4);
    const quint32 headerLength = u32(chm, 8);
    if (headerLength < itsfMinimumHeader)
        malformed(QStringLiteral("its header is too short"));
    need(chm, 0, headerLength, "the header");

    ChmDirectory directory;
    directory.timestamp = qFromBigEndian<quint32>(chm.constData() + itsfTimestamp);
    directory.languageId = u32(chm, itsfLanguage);
    const quint64 dirOffset = u64(chm, itsfDirectoryOffset);
    const quint64 dirLength = u64(chm, itsfDirectoryLength);
    need(chm, dirOffset, dirLength, "the directory");
    directory.contentOffset = version >= 3 && headerLength >= itsfContentOffset + 8
                                  ? u64(chm, itsfContentOffset)
                                  : dirOffset + dirLength;

    if (chm.mid(qsizetype(dirOffset), 4) != "ITSP")
        malformed(QStringLiteral("its directory does not start with ITSP"));
    const quint32 itspLength = u32(chm, dirOffset + itspHeaderLength);
    const quint32 chunkSize = u32(chm, dirOffset + itspChunkSize);
    const quint32 chunkCount = u32(chm, dirOffset + itspChunkCount);
    if (chunkSize < pmglEntries ||
        quint64(itspLength) + quint64(chunkSize) * chunkCount > dirLength)
        malformed(QStringLiteral("its directory chunks do not fit the directory"));
    const quint64 chunksStart = dirOffset + itspLength;

    // Follow the chain of listing chunks; each chunk may be visited once.
    qint32 chunk = qint32(u32(chm, dirOffset + itspFirstListing));
    QList<bool> seen(chunkCount, false);
    while (chunk >= 0) {
        if (quint32(chunk) >= chunkCount || seen[chunk])
            malformed(QStringLiteral("its chunk chain is broken"));
        seen[chunk] = true;
        const quint64 start = chunksStart + quint64(chunk) * chunkSize;
        if (chm.mid(qsizetype(start), 4) != "PMGL")
            malformed(QStringLiteral("a listing chunk does not start with PMGL"));
        const quint32 freeSpace = u32(chm, start + pmglFreeSpace);
        if (freeSpace > chunkSize - pmglEntries)
            malformed(QStringLiteral("a listing chunk claims more free space than it has"));
        const quint64 end = start + chunkSize - freeSpace;
        quint64 pos = start + pmglEntries;
        while (pos < end) {
            const quint64 nameLength = encint(chm, pos, end);
            if (nameLength > end - pos)
                malformed(QStringLiteral("a file name reaches past its chunk"));
            ChmEntry entry;
            entry.name = QString::fromUtf8(chm.constData() + pos, qsizetype(nameLength));
            pos += nameLength;
            entry.section = encint(chm, pos, end);
            entry.offset = encint(chm, pos, end);
            entry.length = encint(chm, pos, end);
            directory.entries.append(entry);
        }
        chunk = qint32(u32(chm, start + pmglNext));
    }
    return directory;
}

QByteArray readChmSectionZeroFile(const QByteArray& chm, const ChmDirectory& directory,
                                  const ChmEntry& entry) {
    if (entry.section != 0)
        throw Error(QStringLiteral("%1 is stored compressed").arg(entry.name));
    const quint64 start = directory.contentOffset + entry.offset;
    need(chm, start, entry.length, "a stored file");
    return chm.mid(qsizetype(start), qsizetype(entry.length));
}

quint32 chmSystemTimestamp(const QByteArray& chm) {
    const auto record = findSystemRecord(chm, systemTimestampRecord);
    if (!record || record->length < 4)
        return 0;
    return qFromLittleEndian<quint32>(chm.constData() + record->dataOffset);
}

void clearChmTimestamps(QByteArray& chm) {
    const auto record = findSystemRecord(chm, systemTimestampRecord);
    if (record)
        std::fill_n(chm.data() + record->dataOffset, record->length, '\0');
    std::fill_n(chm.data() + itsfTimestamp, 4, '\0');
}

QByteArray compileChm(const QString& projectPath, const QString& chmcmd) {
    const QFileInfo project(projectPath);
    if (!project.isFile())
        throw Error(QStringLiteral("cannot read %1: no such file").arg(projectPath));
    const QDir sourceDir = project.absoluteDir();
    const QString outputName = compiledFileName(readFile(project.absoluteFilePath()), projectPath);

    QTemporaryDir staging;
    if (!staging.isValid())
        throw Error(
            QStringLiteral("cannot create a temporary folder: %1").arg(staging.errorString()));
    const QDir stage(staging.path());
    QDirIterator it(sourceDir.path(), QDir::Files | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = sourceDir.relativeFilePath(source);
        if (relative.compare(outputName, Qt::CaseInsensitive) == 0)
            continue; // a stale result lying in the sources is not an input
        const QString target = stage.filePath(relative);
        if (!stage.mkpath(QFileInfo(target).path()))
            throw Error(QStringLiteral("cannot create a folder for %1").arg(target));
        QByteArray data = readFile(source);
        if (isProjectFile(source))
            data = toHelpCodePage(data, source);
        writeFile(target, data);
    }

    QProcess process;
    process.setWorkingDirectory(stage.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(chmcmd, {project.fileName()});
    if (!process.waitForStarted())
        throw Error(QStringLiteral("cannot start %1: %2").arg(chmcmd, process.errorString()));
    process.closeWriteChannel();
    if (!process.waitForFinished(5 * 60 * 1000))
        throw Error(QStringLiteral("%1 did not finish: %2").arg(chmcmd, process.errorString()));
    const QString log = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Error(QStringLiteral("%1 failed (exit code %2):\n%3")
                        .arg(chmcmd)
                        .arg(process.exitCode())
                        .arg(log));

    // chmcmd reports a missing page or an undefined anchor but still writes the file; a help
    // file with dead links is not accepted.
    QStringList problems;
    for (const QString& line : log.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("Error")) ||
            trimmed.startsWith(QLatin1String("Warning")))
            problems << trimmed;
    }
    if (!problems.isEmpty())
        throw Error(QStringLiteral("%1 reported problems in %2:\n%3")
                        .arg(chmcmd, projectPath, problems.join(u'\n')));

    const QString output = stage.filePath(outputName);
    if (!QFileInfo(output).isFile())
        throw Error(QStringLiteral("%1 wrote no %2:\n%3").arg(chmcmd, outputName, log));
    QByteArray chm = readFile(output);
    clearChmTimestamps(chm);
    return chm;
}

} // namespace peltavo::docbuild
