// The MHTML builder: document structure, part encodings read back by an independent MIME reader,
// the guarantees of the quoted-printable encoder, and the lesson notes page built from content/.

#include "docsupport.h"
#include "error.h"
#include "mhtml.h"
#include "mimereader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using peltavo::docbuild::buildMhtml;
using peltavo::docbuild::buildMhtmlFromFolder;
using peltavo::docbuild::encodeQuotedPrintable;
using peltavo::docbuild::MhtmlOptions;
using peltavo::test::decodeHeaderWords;
using peltavo::test::decodeQuotedPrintable;
using peltavo::test::headerMainValue;
using peltavo::test::headerParameter;
using peltavo::test::parseMultipart;
using peltavo::test::readWholeFile;
using peltavo::test::writeWholeFile;

namespace {

const QString notesDir = QStringLiteral(PELTAVO_SOURCE_DIR "/content/notes");

// Every line ends in CRLF, is at most 76 characters long and holds only printable ASCII.
void expectCleanLines(const QByteArray& document) {
    ASSERT_TRUE(document.endsWith("\r\n"));
    qsizetype start = 0;
    int lineNo = 0;
    while (start < document.size()) {
        const qsizetype end = document.indexOf("\r\n", start);
        ASSERT_GE(end, 0);
        const QByteArray line = document.mid(start, end - start);
        ++lineNo;
        EXPECT_LE(line.size(), 76) << "line " << lineNo << ": " << line.toStdString();
        for (const char c : line) {
            const auto u = static_cast<unsigned char>(c);
            ASSERT_TRUE(u == '\t' || (u >= 0x20 && u < 0x7f))
                << "line " << lineNo << " holds byte " << int(u);
        }
        if (!line.isEmpty()) {
            EXPECT_FALSE(line.endsWith(' ') || line.endsWith('\t')) << "line " << lineNo;
        }
        start = end + 2;
    }
}

} // namespace

TEST(MhtmlDocument, NotesFolderBecomesMultipartRelatedWithPageFirst) {
    const QByteArray document = buildMhtmlFromFolder(notesDir);
    const auto mime = parseMultipart(document);

    EXPECT_EQ(mime.top.headers.value("mime-version"), "1.0");
    const QByteArray contentType = mime.top.headers.value("content-type");
    EXPECT_EQ(headerMainValue(contentType), "multipart/related");
    EXPECT_EQ(headerParameter(contentType, "type"), "text/html");
    EXPECT_EQ(headerParameter(contentType, "boundary"), MhtmlOptions{}.boundary);
    EXPECT_EQ(QString::fromUtf8(decodeHeaderWords(mime.top.headers.value("subject"))),
              QStringLiteral("İngilizce Ders Notları"));
    EXPECT_EQ(mime.top.headers.value("snapshot-content-location"),
              "https://peltavo.invalid/ingcev/index.html");

    ASSERT_EQ(mime.parts.size(), 2);
    const auto& page = mime.parts[0];
    EXPECT_EQ(page.headers.value("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(page.headers.value("content-transfer-encoding"), "quoted-printable");
    EXPECT_EQ(page.headers.value("content-location"), "https://peltavo.invalid/ingcev/index.html");
    EXPECT_EQ(page.decodedBody(), readWholeFile(notesDir + "/index.html"));

    const auto& style = mime.parts[1];
    EXPECT_EQ(style.headers.value("content-type"), "text/css; charset=utf-8");
    EXPECT_EQ(style.headers.value("content-location"), "https://peltavo.invalid/ingcev/notes.css");
    EXPECT_EQ(style.decodedBody(), readWholeFile(notesDir + "/notes.css"));
}

TEST(MhtmlDocument, IsPlainCrlfAsciiWithShortLines) {
    expectCleanLines(buildMhtmlFromFolder(notesDir));
}

TEST(MhtmlDocument, SameSourcesGiveSameBytesAndTheBuiltFileIsCurrent) {
    const QByteArray first = buildMhtmlFromFolder(notesDir);
    EXPECT_EQ(first, buildMhtmlFromFolder(notesDir));
    EXPECT_EQ(first, readWholeFile(QStringLiteral(PELTAVO_RUNTIME_DIR "/ingcev.mht")))
        << "the ingcev.mht of the build differs from its sources; rebuild target peltavo_docs";
}

TEST(MhtmlDocument, RelativeFolderPathGivesTheSameDocument) {
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(PELTAVO_SOURCE_DIR "/tests")));
    const QByteArray relative = buildMhtmlFromFolder(QStringLiteral("../content/notes"));
    QDir::setCurrent(saved);
    EXPECT_EQ(relative, buildMhtmlFromFolder(notesDir));
}

TEST(MhtmlDocument, BinaryResourcesAreBase64InPathOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray binary;
    for (int i = 0; i < 1000; ++i)
        binary += static_cast<char>((i * 37) & 0xff);
    writeWholeFile(dir.filePath("index.html"), "<html><head><title>t</title></head></html>");
    writeWholeFile(dir.filePath("img/pixel.png"), binary);
    writeWholeFile(dir.filePath("a.css"), "p { color: red; }\n");
    writeWholeFile(dir.filePath(".hidden.png"), "not a resource");

    const QByteArray document = buildMhtmlFromFolder(dir.path());
    expectCleanLines(document);
    const auto mime = parseMultipart(document);
    ASSERT_EQ(mime.parts.size(), 3);
    EXPECT_TRUE(mime.parts[1].headers.value("content-location").endsWith("/a.css"));
    const auto& image = mime.parts[2];
    EXPECT_EQ(image.headers.value("content-location"),
              "https://peltavo.invalid/ingcev/img/pixel.png");
    EXPECT_EQ(image.headers.value("content-type"), "image/png");
    EXPECT_EQ(image.headers.value("content-transfer-encoding"), "base64");
    EXPECT_EQ(image.decodedBody(), binary);
}

TEST(MhtmlDocument, BoundaryTextInsideThePageDoesNotSplitIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray html =
        "<p>\r\n--" + MhtmlOptions{}.boundary + "\r\n--" + MhtmlOptions{}.boundary + "--\r\n</p>\n";
    writeWholeFile(dir.filePath("index.html"), html);
    const auto mime = parseMultipart(buildMhtmlFromFolder(dir.path()));
    ASSERT_EQ(mime.parts.size(), 1);
    EXPECT_EQ(mime.parts[0].decodedBody(), html);
}

TEST(MhtmlDocument, LongTurkishTitleIsSplitIntoEncodedWords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString title = QStringLiteral(
        "Çok uzun bir başlık: İngilizce öğrenen Türkçe konuşanlar için ders notları ve "
        "alıştırmalar, ğüşıöç İĞÜŞÖÇ");
    writeWholeFile(dir.filePath("index.html"), "<title>" + title.toUtf8() + "</title>");
    const auto mime = parseMultipart(buildMhtmlFromFolder(dir.path()));
    const QByteArray subject = mime.top.headers.value("subject");
    EXPECT_EQ(QString::fromUtf8(decodeHeaderWords(subject)), title);
    static const QRegularExpression word(QStringLiteral("=\\?[^ ]*\\?="));
    auto it = word.globalMatch(QString::fromLatin1(subject));
    int words = 0;
    while (it.hasNext()) {
        EXPECT_LE(it.next().capturedLength(), 75);
        ++words;
    }
    EXPECT_GT(words, 1);
}

TEST(MhtmlDocument, AsciiTitleStaysPlain) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeWholeFile(dir.filePath("index.html"), "<html><TITLE>\n  English  notes </TITLE></html>");
    const auto mime = parseMultipart(buildMhtmlFromFolder(dir.path()));
    EXPECT_EQ(mime.top.headers.value("subject"), "English notes");
}

TEST(MhtmlErrors, RefusesWhatItCannotBuild) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_THROW(buildMhtmlFromFolder(dir.path()), peltavo::Error); // no index.html
    writeWholeFile(dir.filePath("index.html"), "<p>x</p>");
    EXPECT_THROW(buildMhtml(dir.filePath("index.html"), {dir.filePath("missing.css")}),
                 peltavo::Error);
    QTemporaryDir other;
    writeWholeFile(other.filePath("outside.css"), "p{}");
    EXPECT_THROW(buildMhtml(dir.filePath("index.html"), {other.filePath("outside.css")}),
                 peltavo::Error);
    EXPECT_THROW(buildMhtml(dir.filePath("index.html"), {dir.filePath("index.html")}),
                 peltavo::Error);
    MhtmlOptions unsafe;
    unsafe.boundary = "plain-boundary";
    EXPECT_THROW(buildMhtml(dir.filePath("index.html"), {}, unsafe), peltavo::Error);
}

// Quoted-printable: whatever goes in comes out, and the encoded form obeys the line rules.
struct QpCase {
    const char* name;
    QByteArray data;
};

std::ostream& operator<<(std::ostream& os, const QpCase& c) {
    return os << c.name;
}

class QuotedPrintableRoundTrip : public testing::TestWithParam<QpCase> {};

TEST_P(QuotedPrintableRoundTrip, DecodesToTheInputWithinLineRules) {
    const QByteArray input = GetParam().data;
    const QByteArray encoded = encodeQuotedPrintable(input);
    EXPECT_EQ(decodeQuotedPrintable(encoded), input);
    if (!encoded.isEmpty())
        expectCleanLines(encoded + "\r\n");
}

namespace {
QByteArray allBytes() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Inputs, QuotedPrintableRoundTrip,
    testing::Values(QpCase{"Empty", QByteArray()}, QpCase{"EqualsSign", "a=b"},
                    QpCase{"EqualsAroundLineFeed", "=\n="},
                    QpCase{"TurkishLetters", QStringLiteral("İıĞğŞşÇçÖöÜü – “tırnak”").toUtf8()},
                    QpCase{"LongLine", QByteArray(300, 'x')},
                    QpCase{"BlanksBeforeLineEnds", "trailing blanks   \nnext\t\n"},
                    QpCase{"CrLfLines", "crlf\r\nline\r\n"}, QpCase{"LoneCr", "lone\rcr"},
                    QpCase{"EndsInBlank", "ends in a blank "},
                    QpCase{"EscapesAtTheLineLimit",
                           QByteArray(74, 'x') + "===" + QByteArray(80, ' ') + "y"},
                    QpCase{"EveryByte", allBytes()}, QpCase{"OnlyLineFeeds", "\n\n\n"}),
    [](const testing::TestParamInfo<QpCase>& info) { return std::string(info.param.name); });

TEST(QuotedPrintable, KeepsReadableTextReadable) {
    EXPECT_EQ(encodeQuotedPrintable("<p class=\"a\">İ</p>\nok"),
              "<p class=3D\"a\">=C4=B0</p>=0A=\r\nok");
}

// The notes themselves: enough topics, and every link of the table of contents has its target.
TEST(NotesContent, HasTenTopicsAndWorkingContentsLinks) {
    const QString html = QString::fromUtf8(readWholeFile(notesDir + "/index.html"));
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([^\"]+)\"[^>]*>"));
    QStringList ids;
    for (auto it = heading.globalMatch(html); it.hasNext();)
        ids << it.next().captured(1);
    EXPECT_GE(ids.size(), 10);

    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    int links = 0;
    for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(target)))
            << "no target for #" << target.toStdString();
    }
    EXPECT_GE(links, ids.size());
}

// Every answer set of the quiz has a topic in the notes: the topic's heading names the sets it
// explains in its data-quiz attribute, and every name there is a set of the quiz.
TEST(NotesContent, EveryQuizSetHasItsTopic) {
    const QString html = QString::fromUtf8(readWholeFile(notesDir + "/index.html"));
    static const QRegularExpression named(QStringLiteral("<h2 [^>]*data-quiz=\"([^\"]*)\""));
    QStringList explained;
    for (auto it = named.globalMatch(html); it.hasNext();)
        explained << it.next().captured(1).split(u' ', Qt::SkipEmptyParts);

    const QString sets = QString::fromUtf8(
        readWholeFile(QStringLiteral(PELTAVO_SOURCE_DIR "/content/quiz/answer-sets.txt")));
    QStringList quizSets;
    for (const QString& raw : sets.split(u'\n')) {
        const QString line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            quizSets << line.section(u'|', 0, 0).trimmed();
    }
    ASSERT_GE(quizSets.size(), 20);

    for (const QString& set : quizSets)
        EXPECT_TRUE(explained.contains(set)) << "no topic of the lesson notes names the quiz set "
                                             << set.toStdString() << " in its data-quiz attribute";
    for (const QString& set : explained)
        EXPECT_TRUE(quizSets.contains(set))
            << "the lesson notes name " << set.toStdString() << ", which is no quiz set";
}
