// peltavo-db tables / dump: look into a learning database with the same code the program uses.
#include "commands.h"

#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "jetvalues.h"
#include "tablehandle.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace peltavo::db {

void checkDatabase(const QString& path) {
    if (!QFile::exists(path))
        throw Error(QStringLiteral("%1: no such file").arg(path));
    QByteArray header;
    try {
        header = readHeaderBytes(path);
    } catch (const Error&) {
        throw Error(QStringLiteral("%1: cannot be read (permission denied)").arg(path));
    }
    if (!headerIsJet(header))
        throw Error(QStringLiteral("Invalid Access Database"));
}

namespace {

QString columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Integer:
        return QStringLiteral("integer");
    case ColumnType::Text:
        return QStringLiteral("text");
    case ColumnType::Memo:
        return QStringLiteral("memo");
    case ColumnType::Binary:
        return QStringLiteral("binary");
    case ColumnType::Other:
        break;
    }
    return QStringLiteral("other");
}

// One value on one line of a tab-separated dump: <NULL> for no value, escapes for the
// characters that would break the line.
QString plain(const FieldValue& value) {
    if (!value)
        return QStringLiteral("<NULL>");
    QString out;
    out.reserve(value->size());
    for (QChar c : *value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A value of a binary column (an OLE object, say) is read as text one byte to a character; the
// JSON dump gives its bytes in base64.
QJsonValue jsonValue(const FieldValue& value, ColumnType type) {
    if (!value)
        return QJsonValue(QJsonValue::Null);
    if (type != ColumnType::Binary)
        return QJsonValue(*value);
    const std::optional<std::string> bytes =
        jet::binaryTextBytes(std::u16string_view(reinterpret_cast<const char16_t*>(value->utf16()),
                                                 static_cast<std::size_t>(value->size())));
    return QJsonValue(
        QString::fromLatin1(QByteArray::fromStdString(bytes.value_or(std::string())).toBase64()));
}

// The elements of a compact JSON array without its brackets, as QJsonDocument writes them.
QByteArray jsonElements(const QJsonArray& array) {
    const QByteArray text = QJsonDocument(array).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

// The whole table as one JSON object {"columns", "rows", "table"} (the order QJsonObject keeps),
// byte for byte as QJsonDocument writes it, but written a batch of rows at a time: memory stays
// that of the table, however long the output.
void writeJson(const TableHandle& table, const std::vector<Column>& columns,
               const QString& tableName) {
    constexpr int kBatch = 2048;
    QJsonArray cols;
    for (const Column& c : columns)
        cols.append(QJsonObject{{QStringLiteral("name"), c.name},
                                {QStringLiteral("type"), columnTypeName(c.type)}});
    QByteArray out = "{\"columns\":[" + jsonElements(cols) + "],\"rows\":[";
    const int rows = table.recordCount();
    for (int from = 0; from < rows; from += kBatch) {
        QJsonArray batch;
        for (int r = from; r < std::min(rows, from + kBatch); ++r) {
            QJsonArray row;
            for (const Column& c : columns)
                row.append(jsonValue(table.valueAt(r, c.name), c.type));
            batch.append(row);
        }
        if (from > 0)
            out += ',';
        out += jsonElements(batch);
        std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
        out.clear();
    }
    out += "],\"table\":" + jsonElements(QJsonArray{tableName}) + "}\n";
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    std::fflush(stdout);
}

int fail(const Error& e) {
    QTextStream(stderr) << e.message() << '\n';
    return 2;
}

} // namespace

int runTables(const QStringList& args) {
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: peltavo-db tables FILE\n";
        return 64;
    }
    try {
        checkDatabase(args[0]);
        QTextStream out(stdout);
        for (const QString& name : JetReader::tableNames(args[0]))
            out << name << '\n';
        return 0;
    } catch (const Error& e) {
        return fail(e);
    }
}

int runDump(const QStringList& args) {
    QStringList positional;
    QString sort;
    QString filter;
    bool haveFilter = false;
    bool json = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--json") {
            json = true;
        } else if ((a == u"--sort" || a == u"--filter") && i + 1 < args.size()) {
            (a == u"--sort" ? sort : filter) = args[++i];
            haveFilter = haveFilter || a == u"--filter";
        } else if (a.startsWith(u"--")) {
            positional.clear();
            break;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2) {
        QTextStream(stderr)
            << "usage: peltavo-db dump FILE TABLE [--sort FIELD] [--filter EXPR] [--json]\n";
        return 64;
    }
    try {
        checkDatabase(positional[0]);
        TableHandle table(QStringLiteral("dump"));
        table.setConnectionString(jetConnectionString(positional[0], QString()));
        table.setTableName(positional[1]);
        table.open();
        if (!sort.isEmpty())
            table.setSort(sort);
        if (haveFilter) {
            table.setFilter(filter);
            table.setFiltered(true);
        }

        const std::vector<Column> columns = table.columns();
        const int rows = table.recordCount();
        QTextStream out(stdout);
        if (json) {
            writeJson(table, columns, positional[1]);
            return 0;
        }
        QStringList header;
        for (const Column& c : columns)
            header << c.name;
        out << header.join(u'\t') << '\n';
        for (int r = 0; r < rows; ++r) {
            QStringList line;
            for (const Column& c : columns)
                line << plain(table.valueAt(r, c.name));
            out << line.join(u'\t') << '\n';
        }
        return 0;
    } catch (const Error& e) {
        return fail(e);
    }
}

} // namespace peltavo::db
