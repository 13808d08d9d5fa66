// The core glossary in the content: its problems, each with file and line, and the build that
// puts it in front of the dictionaries.
#include "contentfolder.h"
#include "glossary.h"
#include "jetreader.h"
#include "peltavodb.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace peltavo;
using namespace peltavo::dbbuild;
using peltavo::test::ContentFolder;

namespace {

QStringList messages(const std::vector<Problem>& problems) {
    QStringList out;
    for (const Problem& p : problems)
        out << p.toString();
    return out;
}

struct BadSnippet {
    const char* name;
    std::string text;
    const char* problem; // the one problem expected, as "FILE:LINE: message" without FILE
};

void PrintTo(const BadSnippet& c, std::ostream* os) {
    *os << c.name;
}

class BadGlossary : public ::testing::TestWithParam<BadSnippet> {};

TEST_P(BadGlossary, IsReportedWithItsLine) {
    const BadSnippet& c = GetParam();
    std::vector<Problem> problems;
    const auto lines =
        parseGlossaryFile(u"en-tr/core.txt"_qs, QByteArray::fromStdString(c.text), problems);
    checkGlossaryFolder(u"en-tr"_qs, lines, problems);
    ASSERT_EQ(problems.size(), 1u) << messages(problems).join(u'\n').toStdString();
    EXPECT_EQ(problems.front().toString(), u"en-tr/core.txt"_qs + QString::fromUtf8(c.problem));
}

INSTANTIATE_TEST_SUITE_P(
    Snippets, BadGlossary,
    ::testing::Values(
        BadSnippet{"NoSense", "# core\nplease | (ünlem) lütfen\ngood morning\n",
                   ":3: expected: headword | sense | sense ..., or form = base | sense ..."},
        BadSnippet{"EmptySense", "please | (ünlem) lütfen || (f.) sevindirmek\n",
                   ":1: sense 2 is empty"},
        BadSnippet{"TrailingBar", "please | lütfen |\n", ":1: sense 2 is empty"},
        BadSnippet{"LabelOutsideTheList", "\nbook | (n.) kitap\n",
                   ":2: sense 1 starts with \"(n.)\", which is no label of the list: (i.) (f.) "
                   "(s.) (zf.) (zm.) (edat) (bağlaç) (ünlem) (kısaltma) (gündelik)"},
        BadSnippet{"LabelAlone", "hello | (ünlem)\n",
                   ":1: sense 1 has a label but nothing after it"},
        BadSnippet{"OpenParenthesis", "hello | (ünlem merhaba\n",
                   ":1: sense 1 opens a parenthesis that it does not close"},
        BadSnippet{"EmptyHeadword", " | merhaba\n", ":1: the headword is empty"},
        BadSnippet{"EmptyBase", "went = | gitti\n", ":1: the base is empty"},
        BadSnippet{"TwoBases", "went = go = walk | gitti\n",
                   ":1: more than one \"=\" before the senses; a form has one base"},
        BadSnippet{"OwnBase", "go = go | gitmek\n", ":1: \"go\" is given as its own base"},
        BadSnippet{"MissingBase", "went = go | gitti\n",
                   ":1: the base \"go\" has no line of its own in en-tr"},
        BadSnippet{"Duplicate", "go | gitmek\nwent = go | gitti\ngo | yürümek\n",
                   ":3: the headword \"go\" is given twice in en-tr (first at en-tr/core.txt:1)"},
        BadSnippet{"Tab", "go |\tgitmek\n", ":1: the line holds a tab; use blanks instead"},
        BadSnippet{"NotUtf8", "go | gitmek\ng\xF6z | eye\n",
                   ":2: the line is not valid UTF-8 text"},
        BadSnippet{"LongLine", "long | " + std::string(400, 'a') + "\n",
                   ":1: the line is longer than 400 characters"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Glossary, GoodLinesAsWritten) {
    std::vector<Problem> problems;
    const auto lines =
        parseGlossaryFile(u"f.txt"_qs,
                          "\xEF\xBB\xBF# A comment\n\n"
                          "please | (ünlem) lütfen | (f.) memnun etmek, sevindirmek\r\n"
                          "went = go | gitti, gitmiş oldu\n"
                          "hoşça kal | goodbye (giden kişi söyler)",
                          problems);
    EXPECT_TRUE(problems.empty()) << messages(problems).join(u'\n').toStdString();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].line, 3);
    EXPECT_EQ(lines[0].entry.senses,
              (QStringList{u"(ünlem) lütfen"_qs, u"(f.) memnun etmek, sevindirmek"_qs}));
    EXPECT_EQ(lines[1].entry.headword, u"went"_qs);
    EXPECT_EQ(lines[1].entry.base, u"go"_qs);
    EXPECT_EQ(lines[2].entry.senses, QStringList{u"goodbye (giden kişi söyler)"_qs});
}

TEST(Glossary, FoldersReadInNameOrderAndMissingFoldersAreNoProblem) {
    ContentFolder folder;
    folder.set(u"glossary/en-tr/b-words.txt"_qs, "book | (i.) kitap\n");
    folder.set(u"glossary/en-tr/a-words.txt"_qs, "apple | (i.) elma\nbook | (i.) defter\n");
    std::vector<Problem> problems;
    const Glossary glossary = readGlossary(folder.write(), problems);
    EXPECT_EQ(messages(problems),
              QStringList{folder.path(u"glossary/en-tr/b-words.txt"_qs) +
                          u":1: the headword \"book\" is given twice in "_qs +
                          folder.path(u"glossary/en-tr"_qs) + u" (first at "_qs +
                          folder.path(u"glossary/en-tr/a-words.txt"_qs) + u":2)"_qs});
    ASSERT_EQ(glossary.englishTurkish.size(), 3u);
    EXPECT_EQ(glossary.englishTurkish[0].headword, u"apple"_qs);
    EXPECT_TRUE(glossary.turkishEnglish.empty());

    ContentFolder none;
    std::vector<Problem> noProblems;
    const Glossary empty = readGlossary(none.write(), noProblems);
    EXPECT_TRUE(noProblems.empty());
    EXPECT_TRUE(empty.englishTurkish.empty() && empty.turkishEnglish.empty());
}

// The build puts a good glossary in front of the dictionaries (a bad line stops it: see
// test_buildchecks.cpp).
TEST(BuildCommand, GlossaryLeadsTheDictionaries) {
    ContentFolder folder;
    folder.set(u"glossary/en-tr/core.txt"_qs,
               "please | (ünlem) lütfen | (f.) memnun etmek, sevindirmek\n"
               "laptop | (i.) dizüstü bilgisayar\n");
    folder.set(u"glossary/tr-en/core.txt"_qs, "lütfen | (ünlem) please\n");
    const QString root = folder.write();
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("peltavo.MDB"));
    const test::ToolRun run = test::runPeltavoDb({u"build"_qs, root, u"-o"_qs, output});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"glossary, English-Turkish: 2 lines, 1 entries led, 1 added"_qs))
        << run.out.toStdString();

    auto meaningOf = [&](const QString& table, const QString& headword) {
        for (const auto& row : JetReader::readTable(output, table).rows) {
            if (row[1] == headword)
                return *row[2];
        }
        return QString();
    };
    EXPECT_TRUE(
        meaningOf(u"isozluk"_qs, u"please"_qs)
            .startsWith(u"1. (ünlem) lütfen\r\n2. (f.) memnun etmek, sevindirmek\r\n3. "_qs));
    EXPECT_EQ(meaningOf(u"isozluk"_qs, u"laptop"_qs), u"(i.) dizüstü bilgisayar"_qs);
    EXPECT_TRUE(meaningOf(u"tsozluk"_qs, u"lütfen"_qs).startsWith(u"1. (ünlem) please\r\n2. "_qs));
}

} // namespace
