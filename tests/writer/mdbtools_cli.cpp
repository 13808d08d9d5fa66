#include "mdbtools_cli.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace peltavo::test {

namespace {

// Separators that never occur in the test data.
constexpr char16_t kField = u'\x1f';
constexpr char16_t kRecord = u'\x1e';
constexpr char16_t kNull = u'\x1d';

QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ' ' << args.join(u' ').toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    const QByteArray errors = p.readAllStandardError();
    if (!errors.isEmpty())
        ADD_FAILURE() << program.toStdString() << " complained: " << errors.toStdString();
    return p.readAllStandardOutput();
}

} // namespace

QStringList cliTableNames(const QString& path) {
    return QString::fromUtf8(run(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), path}))
        .split(u'\n', Qt::SkipEmptyParts);
}

std::vector<std::vector<FieldValue>> cliExportRows(const QString& path, const QString& table) {
    const QString out =
        QString::fromUtf8(run(QStringLiteral("mdb-export"),
                              {QStringLiteral("-H"), QStringLiteral("-Q"), QStringLiteral("-d"),
                               QString(kField), QStringLiteral("-R"), QString(kRecord),
                               QStringLiteral("-0"), QString(kNull), path, table}));
    std::vector<std::vector<FieldValue>> rows;
    for (const QString& record : out.split(kRecord, Qt::SkipEmptyParts)) {
        std::vector<FieldValue> row;
        for (const QString& field : record.split(kField)) {
            if (field == QString(kNull) || field.isEmpty())
                row.emplace_back();
            else
                row.emplace_back(field);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

QString cliVersion(const QString& path) {
    return QString::fromUtf8(run(QStringLiteral("mdb-ver"), {path})).trimmed();
}

} // namespace peltavo::test
