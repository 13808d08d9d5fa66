#include "oracle.h"

#include "jetvalues.h"
#include "testpaths.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

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
    if (type == u"ole" || type == u"binary")
        return ColumnType::Binary;
    return ColumnType::Other;
}

OracleTable tableOf(const QJsonObject& doc) {
    OracleTable t;
    t.data.name = doc.value(QStringLiteral("name")).toString();
    for (const QJsonValue& c : doc.value(QStringLiteral("columns")).toArray()) {
        const QJsonObject col = c.toObject();
        const QString type = col.value(QStringLiteral("type")).toString();
        t.data.columns.push_back(
            Column{col.value(QStringLiteral("name")).toString(), typeOf(type)});
        t.types << type;
    }
    for (const QJsonValue& r : doc.value(QStringLiteral("rows")).toArray()) {
        std::vector<FieldValue> row;
        for (const QJsonValue& v : r.toArray())
            row.push_back(v.isNull() ? FieldValue{} : FieldValue{v.toString()});
        t.data.rows.push_back(std::move(row));
    }
    return t;
}

// Milliseconds since 1970 of a date as this program writes it ("YYYY-MM-DD HH:MM:SS", or the
// day number itself outside the years 1 to 9999), nullopt for anything else.
std::optional<double> ourInstant(const QString& text) {
    const QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (t.isValid()) {
        QDateTime utc = t;
        utc.setTimeZone(QTimeZone::utc());
        return double(utc.toMSecsSinceEpoch());
    }
    bool ok = false;
    const double days = text.toDouble(&ok);
    return ok ? std::optional<double>((days - 25569) * 86400000.0) : std::nullopt;
}

// Milliseconds since 1970 of an ISO 8601 date in UTC as mdb-reader writes it, years before 1 too
// (ISO's year 0 is 1 BC, Qt's -1).
std::optional<double> isoInstant(const QString& text) {
    static const QRegularExpression iso(
        QStringLiteral(R"(^([+-]?\d{4,6})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(?:\.(\d{3}))?Z$)"));
    const QRegularExpressionMatch m = iso.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(1).toInt();
    if (year <= 0)
        --year;
    const QDate date(year, m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    const qint64 days = date.toJulianDay() - QDate(1970, 1, 1).toJulianDay();
    return double(days) * 86400000.0 + m.captured(4).toDouble() * 3600000.0 +
           m.captured(5).toDouble() * 60000.0 + m.captured(6).toDouble() * 1000.0 +
           m.captured(7).toDouble();
}

} // namespace

std::vector<OracleTable> oracleReadAll(const QString& path) {
    std::vector<OracleTable> tables;
    for (const QJsonValue& t :
         runDump({path, QStringLiteral("--all")}).value(QStringLiteral("tables")).toArray())
        tables.push_back(tableOf(t.toObject()));
    return tables;
}

bool sameValue(const FieldValue& ours, const FieldValue& theirs, const QString& type,
               QString* why) {
    auto differ = [&](const QString& how) {
        if (why)
            *why = how;
        return false;
    };
    if (!ours || !theirs) {
        return ours.has_value() == theirs.has_value()
                   ? true
                   : differ(ours ? QStringLiteral("theirs is null")
                                 : QStringLiteral("ours is null"));
    }
    if (type == u"datetime") {
        const std::optional<double> a = ourInstant(*ours);
        const std::optional<double> b = isoInstant(*theirs);
        if (!a || !b)
            return differ(QStringLiteral("not dates"));
        // mdb-reader counts a negative day number on as days (-1.25 is 1899-12-28 18:00); Access
        // reads its whole part as the day and its fraction as the time of that day (1899-12-29
        // 06:00). Theirs is read back as Access reads it.
        const double days = *b / 86400000.0 + 25569;
        const double whole = std::trunc(days);
        const double asAccess = (whole + std::fabs(days - whole) - 25569) * 86400000.0;
        return std::fabs(*a - asAccess) <= 500 ? true : differ(QStringLiteral("other instants"));
    }
    if (type == u"float" || type == u"double") {
        bool okA = false;
        bool okB = false;
        const double a = ours->toDouble(&okA);
        const double b = theirs->toDouble(&okB);
        if (!okA || !okB)
            return differ(QStringLiteral("not numbers"));
        if (type == u"float")
            return float(a) == float(b) ? true : differ(QStringLiteral("other floats"));
        return a == b || std::fabs(a - b) <= 1e-15 * std::fabs(b)
                   ? true
                   : differ(QStringLiteral("other doubles"));
    }
    if (type == u"ole" || type == u"binary") {
        const std::optional<std::string> bytes = jet::binaryTextBytes(std::u16string_view(
            reinterpret_cast<const char16_t*>(ours->utf16()), std::size_t(ours->size())));
        if (!bytes)
            return differ(QStringLiteral("ours is not binary text"));
        return QByteArray::fromStdString(*bytes).toBase64() == theirs->toLatin1()
                   ? true
                   : differ(QStringLiteral("other bytes"));
    }
    if (type == u"repid") {
        QString a = *ours;
        a.remove(u'{').remove(u'}');
        return a.compare(*theirs, Qt::CaseInsensitive) == 0 ? true
                                                            : differ(QStringLiteral("other GUIDs"));
    }
    if (*ours == *theirs)
        return true;
    // mdb-reader reads a byte that a single-byte code page leaves undefined (Jet 3 text) as
    // U+FFFD; Windows, and this program, as the control character of the same number.
    if (ours->size() != theirs->size())
        return differ(QStringLiteral("other texts"));
    for (qsizetype i = 0; i < ours->size(); ++i) {
        const char16_t a = (*ours)[i].unicode();
        const char16_t b = (*theirs)[i].unicode();
        if (a != b && !(b == 0xfffd && a >= 0x80 && a < 0xa0))
            return differ(QStringLiteral("other texts"));
    }
    return true;
}

QStringList oracleTableNames(const QString& path) {
    QStringList names;
    for (const QJsonValue& v : runDump({path}).value(QStringLiteral("tables")).toArray())
        names << v.toString();
    return names;
}

TableData oracleReadTable(const QString& path, const QString& table) {
    return tableOf(runDump({path, table})).data;
}

} // namespace peltavo::test
