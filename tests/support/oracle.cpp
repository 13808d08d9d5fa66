#include "oracle.h"

#include "testpaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace peltavo::test {

namespace {

QJsonObject runDump(const QStringList& args) {
    QProcess node;
    node.setProgram(QStringLiteral("node"));
    node.setArguments(QStringList{sourcePath(QStringLiteral("tests/mdbreader/dump.js"))} + args);
    node.start();
    if (!node.waitForFinished(120000) || node.exitStatus() != QProcess::NormalExit ||
        node.exitCode() != 0) {
        ADD_FAILURE() << "mdb-reader failed on " << args.join(u' ').toStdString() << ": "
                      << node.readAllStandardError().toStdString();
        return {};
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(node.readAllStandardOutput(), &error);
    if (error.error != QJsonParseError::NoError) {
        ADD_FAILURE() << "mdb-reader printed no JSON: " << error.errorString().toStdString();
        return {};
    }
    return doc.object();
}

ColumnType typeOf(const QString& type) {
    if (type == u"integer" || type == u"long" || type == u"byte")
        return ColumnType::Integer;
    if (type == u"text")
        return ColumnType::Text;
    if (type == u"memo")
        return ColumnType::Memo;
    return ColumnType::Other;
}

} // namespace

QStringList oracleTableNames(const QString& path) {
    QStringList names;
    for (const QJsonValue& v : runDump({path}).value(QStringLiteral("tables")).toArray())
        names << v.toString();
    return names;
}

TableData oracleReadTable(const QString& path, const QString& table) {
    const QJsonObject doc = runDump({path, table});
    TableData data;
    data.name = doc.value(QStringLiteral("name")).toString();
    for (const QJsonValue& c : doc.value(QStringLiteral("columns")).toArray()) {
        const QJsonObject col = c.toObject();
        data.columns.push_back(Column{col.value(QStringLiteral("name")).toString(),
                                      typeOf(col.value(QStringLiteral("type")).toString())});
    }
    for (const QJsonValue& r : doc.value(QStringLiteral("rows")).toArray()) {
        std::vector<FieldValue> row;
        for (const QJsonValue& v : r.toArray())
            row.push_back(v.isNull() ? FieldValue{} : FieldValue{v.toString()});
        data.rows.push_back(std::move(row));
    }
    return data;
}

} // namespace peltavo::test
