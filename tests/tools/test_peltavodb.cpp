// peltavo-db as people who keep learning databases run it: output, exit codes, messages.
#include "jetpatch.h"
#include "jetreader.h"
#include "jetwriter.h"
#include "oracle.h"
#include "peltavodb.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using peltavo::test::runPeltavoDb;
using peltavo::test::ToolRun;

QString sample() {
    return peltavo::test::fixture(QStringLiteral("peltavo-sample.mdb"));
}

TEST(PeltavoDb, ListsTables) {
    const ToolRun r = runPeltavoDb({QStringLiteral("tables"), sample()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("konus\nisozluk\ntsozluk\nsorubos\ncevap\n"));
}

TEST(PeltavoDb, JsonDumpKeepsNullApartFromEmptyText) {
    const ToolRun r = runPeltavoDb({QStringLiteral("dump"), sample(), QStringLiteral("cevap"),
                                    QStringLiteral("--filter"), QStringLiteral("testad = 't3'"),
                                    QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray rows = doc.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 1);
    const QJsonArray t3 = rows.at(0).toArray();
    EXPECT_TRUE(t3.at(5).isNull());                         // cev5: no value
    EXPECT_EQ(t3.at(7).toString(QStringLiteral("x")), u""); // cev7: zero-length text
    EXPECT_TRUE(t3.at(7).isString());
}

// The JSON dump as one QJsonDocument holds it, built from the table read independently.
QString wholeDocument(const QString& file, const QString& table) {
    const peltavo::TableData data = peltavo::JetReader::readTable(file, table);
    QJsonArray cols;
    for (const peltavo::Column& c : data.columns)
        cols.append(QJsonObject{{QStringLiteral("name"), c.name},
                                {QStringLiteral("type"), c.type == peltavo::ColumnType::Integer
                                                             ? QStringLiteral("integer")
                                                             : QStringLiteral("text")}});
    QJsonArray rows;
    for (const auto& row : data.rows) {
        QJsonArray r;
        for (const peltavo::FieldValue& v : row)
            r.append(v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null));
        rows.append(r);
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("table"), table},
                                                       {QStringLiteral("columns"), cols},
                                                       {QStringLiteral("rows"), rows}})
                                 .toJson(QJsonDocument::Compact)) +
           u'\n';
}

TEST(PeltavoDb, JsonDumpWrittenInPartsIsTheWholeDocument) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("parts.mdb"));
    peltavo::TableData big{QStringLiteral("big"),
                           {{QStringLiteral("n"), peltavo::ColumnType::Integer, 255},
                            {QStringLiteral("w"), peltavo::ColumnType::Text, 100}},
                           {}};
    const QStringList odd = {QStringLiteral("say \"hi\""),       QStringLiteral("back\\slash"),
                             QStringLiteral("tab\tnew\nline\r"), QString(QChar(1)),
                             QStringLiteral("çığ İı €"),         QString()};
    for (int i = 0; i < 5000; ++i)
        big.rows.push_back({peltavo::FieldValue{QString::number(i)},
                            i % 7 == 0
                                ? peltavo::FieldValue{}
                                : peltavo::FieldValue{odd[i % odd.size()] + QString::number(i)}});
    peltavo::TableData empty{
        QStringLiteral("empty"), {{QStringLiteral("w"), peltavo::ColumnType::Text, 10}}, {}};
    peltavo::writeJet4Database(file, {big, empty});
    for (const QString& table : {QStringLiteral("big"), QStringLiteral("empty")}) {
        const ToolRun r =
            runPeltavoDb({QStringLiteral("dump"), file, table, QStringLiteral("--json")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, wholeDocument(file, table)) << table.toStdString();
    }
}

TEST(PeltavoDb, DumpAppliesSortAndFilterLikeTheProgram) {
    const ToolRun r = runPeltavoDb({QStringLiteral("dump"), sample(), QStringLiteral("tsozluk"),
                                    QStringLiteral("--sort"), QStringLiteral("tkelime"),
                                    QStringLiteral("--filter"), QStringLiteral("tkelime >= 'ı'")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("tno\ttkelime\tianlam"));
    EXPECT_TRUE(lines[1].contains(u"\tılık\t")) << lines[1].toStdString();
}

// OLE objects and binary values: the plain dump shows them as the program does (one byte to a
// character), the JSON dump gives their bytes in base64, the bytes mdb-reader reads.
TEST(PeltavoDb, JsonDumpGivesBinaryValuesInBase64) {
    // An OLE object written by Access (Jet 3 and Jet 4), and the sample with its conversations
    // declared OLE objects.
    const QString jet3 = peltavo::test::fixture(QStringLiteral("access/test2V1997.mdb"));
    const QString jet4 = peltavo::test::fixture(QStringLiteral("access/test2V2003.mdb"));
    QTemporaryDir dir;
    const QString patched = dir.filePath(QStringLiteral("ole.mdb"));
    peltavo::test::writeSampleWithOleConversations(patched);
    int values = 0;
    for (const QString& path : {jet3, jet4, patched}) {
        for (const peltavo::test::OracleTable& theirs : peltavo::test::oracleReadAll(path)) {
            const ToolRun r = runPeltavoDb(
                {QStringLiteral("dump"), path, theirs.data.name, QStringLiteral("--json")});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
            const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
            const QJsonArray columns = doc.value(QStringLiteral("columns")).toArray();
            const QJsonArray rows = doc.value(QStringLiteral("rows")).toArray();
            ASSERT_EQ(rows.size(), qsizetype(theirs.data.rows.size()));
            for (qsizetype c = 0; c < theirs.types.size(); ++c) {
                if (theirs.types[c] != u"ole" && theirs.types[c] != u"binary")
                    continue;
                EXPECT_EQ(columns.at(c).toObject().value(QStringLiteral("type")).toString(),
                          QStringLiteral("binary"));
                for (qsizetype row = 0; row < rows.size(); ++row) {
                    const peltavo::FieldValue& want =
                        theirs.data.rows[std::size_t(row)][std::size_t(c)];
                    const QJsonValue got = rows.at(row).toArray().at(c);
                    EXPECT_EQ(got.isNull(), !want);
                    if (want) {
                        EXPECT_EQ(got.toString(), *want) << theirs.data.name.toStdString();
                        ++values;
                    }
                }
            }
        }
    }
    EXPECT_GE(values, 2 + 5);
}

TEST(PeltavoDb, BadFilesExitTwoWithAClearMessage) {
    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral("fake.mdb"));
    QFile f(fake);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a database at all");
    f.close();

    ToolRun r = runPeltavoDb({QStringLiteral("tables"), fake});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Invalid Access Database"));
    r = runPeltavoDb({QStringLiteral("dump"),
                      peltavo::test::fixture(QStringLiteral("access/testV2007.accdb")),
                      QStringLiteral("Table1")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Invalid Access Database"));

    r = runPeltavoDb({QStringLiteral("dump"), dir.filePath(QStringLiteral("missing.mdb")),
                      QStringLiteral("konus")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"no such file")) << r.err.toStdString();

    r = runPeltavoDb({QStringLiteral("dump"), sample(), QStringLiteral("nosuch")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"nosuch"));

    r = runPeltavoDb({QStringLiteral("dump"), sample(), QStringLiteral("konus"),
                      QStringLiteral("--filter"), QStringLiteral("ikonus >>= 'a'")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(u"Malformed filter expression"));

    EXPECT_EQ(runPeltavoDb({QStringLiteral("dump"), sample()}).exitCode, 64);
    EXPECT_EQ(runPeltavoDb({}).exitCode, 64);
}

// The grid after "Sözlükte Ara", for many texts in one run: one JSON array a line of input.
TEST(PeltavoDbSearch, ListsWhatTheGridShowsForEachText) {
    const struct {
        const char* name;
        QStringList options; // after FILE
        const char* input;   // one JSON string a line
        const char* output;
    } cases[] = {
        {"apostrophe cut, the grid's first ten, nothing after the last headword",
         {"it"},
         "\"don't\"\n\"zzzz\"\n\"'abc\"\n",
         "[\"don\",\"evening\",\"go\",\"good\",\"goodbye\",\"hello\",\"homework\",\"how\",\"I\","
         "\"kilo\"]\n[]\n"
         "[\"about\",\"above\",\"accept\",\"afternoon\",\"again\",\"always\",\"am\",\"and\","
         "\"Ankara\",\"apple\"]\n"},
        {"rows asked for; the same text twice lists the same",
         {"it", "--rows", "3"},
         "\"book\"\n\"book\"\n\"kit\"\n\"zero\"\n",
         "[\"book\",\"booking\",\"bookshop\"]\n[\"book\",\"booking\",\"bookshop\"]\n"
         "[\"leave\",\"library\",\"Library\"]\n[\"zero\"]\n"},
        {"Turkish, apostrophe cut, escaped letters in the input",
         {"ti", "--rows", "2"},
         "\"\\u0131l\\u0131k\"\n\"çay'ın\"\n",
         "[\"ılık\",\"ışık\"]\n[\"çay\",\"çok\"]\n"},
        {"case, blanks and punctuation do not decide",
         {"it", "--rows", "2"},
         "\"book \"\n\"LIBRARY\"\n\"good-bye\"\n",
         "[\"book\",\"booking\"]\n[\"library\",\"Library\"]\n[\"goodbye\",\"hello\"]\n"},
        {"a click into each word of a line",
         {"it", "--rows", "2", "--clicks"},
         "\"Good morning, I am in the Library.\"\n\"\"\n",
         "[{\"pick\":\"Goo\",\"rows\":[\"good\",\"goodbye\"],\"word\":\"Good\"},"
         "{\"pick\":\"morni\",\"rows\":[\"morning\",\"notebook\"],\"word\":\"morning,\"},"
         "{\"pick\":\"I \",\"rows\":[\"I\",\"kilo\"],\"word\":\"I\"},"
         "{\"pick\":\"am \",\"rows\":[\"am\",\"and\"],\"word\":\"am\"},"
         "{\"pick\":\"in \",\"rows\":[\"kilo\",\"leave\"],\"word\":\"in\"},"
         "{\"pick\":\"the \",\"rows\":[\"the\",\"ticket\"],\"word\":\"the\"},"
         "{\"pick\":\"Libra\",\"rows\":[\"library\",\"Library\"],\"word\":\"Library.\"}]"
         "\n[]\n"},
        // The stems come from the installed Hunspell dictionaries.
        {"a double-click on each word of a line",
         {"it", "--rows", "1", "--double-clicks"},
         "\"Thank you, it leaves.\"\n",
         "[{\"pick\":\"thank\",\"rows\":[\"thank\"],\"rule\":\"headword\",\"word\":\"Thank\"},"
         "{\"pick\":\"you\",\"rows\":[\"you\"],\"rule\":\"headword\",\"word\":\"you,\"},"
         "{\"pick\":\"it \",\"rows\":[\"kilo\"],\"rule\":\"front half\",\"word\":\"it\"},"
         "{\"pick\":\"leave\",\"rows\":[\"leave\"],\"rule\":\"stem\",\"word\":\"leaves.\"}]\n"},
        {"a double-click without the spelling dictionaries",
         {"ti", "--rows", "1", "--double-clicks", "--hunspell", "/nonexistent"},
         "\"kütüphaneye\"\n",
         "[{\"pick\":\"kütüph\",\"rows\":[\"kütüphane\"],\"rule\":\"front half\","
         "\"word\":\"kütüphaneye\"}]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun r = runPeltavoDb(QStringList{QStringLiteral("search"), sample()} + c.options,
                                       QByteArray(c.input));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::fromUtf8(c.output));
    }
}

TEST(PeltavoDbSearch, RefusesWhatItCannotRead) {
    ToolRun r = runPeltavoDb({QStringLiteral("search"), sample(), QStringLiteral("it")},
                             "\"cat\"\nbook\n\"book\"\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, QStringLiteral("[\"cat\",\"don\",\"evening\",\"go\",\"good\",\"goodbye\","
                                    "\"hello\",\"homework\",\"how\",\"I\"]\n"));
    EXPECT_EQ(r.err, QStringLiteral("peltavo-db search: standard input, line 2: expected one JSON "
                                    "string, such as \"the \"\n"));
    r = runPeltavoDb(
        {QStringLiteral("search"), QStringLiteral("/nonexistent/x.mdb"), QStringLiteral("ti")},
        "\"a\"\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"no such file")) << r.err.toStdString();
    for (const QStringList& bad :
         {QStringList{sample(), QStringLiteral("xx")}, QStringList{sample()},
          QStringList{sample(), QStringLiteral("it"), QStringLiteral("--rows"),
                      QStringLiteral("-1")},
          QStringList{sample(), QStringLiteral("it"), QStringLiteral("--nosuch")}})
        EXPECT_EQ(runPeltavoDb(QStringList{QStringLiteral("search")} + bad, "\"a\"\n").exitCode, 64)
            << bad.join(u' ').toStdString();
}

// tools/lookup-report.py on a small database: which clicks find the word's own entry or its
// lemma (a dictionary's form, an English rule), first, among the four rows shown, among ten.
TEST(LookupReport, CountsTheClicksThatFindTheWordOrItsLemma) {
    using peltavo::Column;
    using peltavo::ColumnType;
    using peltavo::FieldValue;
    QTemporaryDir dir;
    auto column = [](const char* name, ColumnType type) {
        return Column{QString::fromLatin1(name), type, 255};
    };
    auto dictionary = [&](const char* name, const char* number, const char* headword,
                          const char* meaning, const QStringList& words) {
        peltavo::TableData t{QString::fromLatin1(name),
                             {column(number, ColumnType::Integer),
                              column(headword, ColumnType::Text),
                              column(meaning, ColumnType::Memo)},
                             {}};
        for (const QString& w : words)
            t.rows.push_back({FieldValue{QString::number(t.rows.size() + 1)}, FieldValue{w},
                              FieldValue{QStringLiteral("-")}});
        return t;
    };
    const peltavo::TableData konus{
        QStringLiteral("konus"),
        {column("kno", ColumnType::Integer), column("ikonus", ColumnType::Memo),
         column("tkonus", ColumnType::Memo)},
        {{FieldValue{QStringLiteral("1")},
          FieldValue{QStringLiteral("Hello! I'm the cats — 42 children they tried\r\n"
                                    "beautiful Cathy zoo")},
          FieldValue{QStringLiteral("Evet, kitaplar çok güzel.\r\nIRMAK Ankara'da")}}}};
    const QString db = dir.filePath(QStringLiteral("report.mdb"));
    peltavo::writeJet4Database(
        db, {konus,
             dictionary("isozluk", "ino", "ikelime", "tanlam",
                        {"zoo", "beautician", "beautification", "beautified", "beautifier",
                         "beautiful", "cat", "catch", "child", "childhood", "hell", "hello", "I",
                         "icon", "the", "then", "trial", "trick", "try"}),
             dictionary("tsozluk", "tno", "tkelime", "ianlam",
                        {"evet", "evgin", "kitap", "kitaplık", "çok", "çok acele", "güzel",
                         "güzellik", "ırmak"})});
    const QString dictionaries = dir.filePath(QStringLiteral("dictionary"));
    for (const auto& [folder, text] :
         {std::pair{"en-tr", "child | (i.) çocuk\nchildren = child\n    (i.) çocuklar\n"},
          std::pair{"tr-en", "kitap | (i.) book\nkitaplar = kitap | books\n"}}) {
        ASSERT_TRUE(QDir(dictionaries).mkpath(QString::fromLatin1(folder)));
        peltavo::test::writeBytes(
            dictionaries + u'/' + QString::fromLatin1(folder) + QStringLiteral("/c.txt"), text);
    }

    QProcess report;
    report.start(QStringLiteral("python3"),
                 {QStringLiteral(PELTAVO_SOURCE_DIR "/tools/lookup-report.py"),
                  QStringLiteral("--db"), db, QStringLiteral("--tool"),
                  peltavo::test::runtimeDir() + QStringLiteral("/peltavo-db"),
                  QStringLiteral("--dictionary"), dictionaries});
    ASSERT_TRUE(report.waitForFinished(60000));
    const QString out = QString::fromUtf8(report.readAllStandardOutput());
    ASSERT_EQ(report.exitCode(), 0) << report.readAllStandardError().toStdString();
    // English: I'm (I), the, cats (cat), children (child), zoo first; Hello! (hello after hell)
    // and tried (try after trial, trick) shown; beautiful fifth; they and Cathy missed; the dash
    // and the number are no words.
    EXPECT_TRUE(
        out.contains(u"| English conversations, English–Turkish | 10 | 50 % | 70 % | 80 % |"))
        << out.toStdString();
    // Turkish: Evet, kitaplar (kitap), çok, güzel., IRMAK (ırmak) first; Ankara'da missed.
    EXPECT_TRUE(
        out.contains(u"| Turkish conversations, Turkish–English | 6 | 83 % | 83 % | 83 % |"))
        << out.toStdString();
    EXPECT_TRUE(out.contains(u"| 1 | cathy | \"Cath\" | child, childhood, hell, hello |"))
        << out.toStdString();
    // A double-click: Hello! and the are headwords; cats (cat), tried (try) and kitaplar (kitap)
    // are found by their Hunspell stems; children and I'm (cut to I) by their front half; they,
    // Cathy and Ankara'da missed.
    EXPECT_TRUE(out.contains(u"| English conversations, English–Turkish | 10 | 50 % | 70 % | 80 % "
                             u"| 80 % | 80 % |"))
        << out.toStdString();
    EXPECT_TRUE(out.contains(u"| Turkish conversations, Turkish–English | 6 | 83 % | 83 % | 83 % "
                             u"| 83 % | 83 % |"))
        << out.toStdString();
    EXPECT_TRUE(out.contains(u"| English conversations, English–Turkish | its Hunspell stem | 2 "
                             u"| 100 % |"))
        << out.toStdString();
    EXPECT_TRUE(out.contains(u"| 1 | ankara'da | \"Ankar\" (front half) |")) << out.toStdString();
}

} // namespace
