// peltavo-db search FILE it|ti [--rows N] [--clicks | --double-clicks [--hunspell FOLDER]]
//
// What the dictionary grid lists after "Sözlükte Ara", for many search texts in one run: the
// dictionary of the direction is opened and sorted as the main window does it, and each text goes
// through the search button's own code (apostrophe cut, filter, move).
//
// Standard input holds one JSON string a line, so that blanks at either end survive. For each,
// one line is printed: a JSON array of the first N (default 10) headwords the grid shows, null
// for a headword without a value.
//
// With --clicks, each input line is a line of a conversation instead. The learner's click into
// each word of it (a word: characters up to a blank) goes through the word pick, and the line
// printed is a JSON array with one object per word: {"pick": the search text the click puts into
// the box, "rows": the headwords as above, "word": the word as it stands in the line}.
//
// With --double-clicks, the same for a double-click on each word: "pick" is the base form the
// double-click puts into the box, and "rule" says what gave it ("headword", "reference", "stem"
// or "front half"). The stems come from the Hunspell dictionaries in FOLDER (default
// /usr/share/hunspell), read when the first word needs them, as the window reads them.
#include "commands.h"

#include "baseform.h"
#include "dbopening.h"
#include "dictionarysearch.h"
#include "direction.h"
#include "error.h"
#include "stemmer.h"
#include "tablehandle.h"
#include "wordpick.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>
#include <optional>

namespace peltavo::db {

namespace {

constexpr auto kUsage =
    "usage: peltavo-db search FILE it|ti [--rows N]\n"
    "                          [--clicks | --double-clicks [--hunspell FOLDER]]\n"
    "  (search texts on standard input, one JSON string a line)\n";

struct SearchArgs {
    QString file;
    QString direction;
    int rows = 10;
    bool clicks = false;
    bool doubleClicks = false;
    QString hunspellFolder = LazyStemmers::defaultFolder();
};

bool parseArgs(const QStringList& args, SearchArgs* out) {
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--rows" && i + 1 < args.size()) {
            bool ok = false;
            out->rows = args[++i].toInt(&ok);
            if (!ok || out->rows < 0)
                return false;
        } else if (arg == u"--clicks") {
            out->clicks = true;
        } else if (arg == u"--double-clicks") {
            out->doubleClicks = true;
        } else if (arg == u"--hunspell" && i + 1 < args.size()) {
            out->hunspellFolder = args[++i];
        } else if (arg.startsWith(u"--")) {
            return false;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2 || !bindingsOf(positional[1]) || (out->clicks && out->doubleClicks))
        return false;
    out->file = positional[0];
    out->direction = positional[1];
    return true;
}

// The one JSON string of an input line; throws when the line is anything else.
QString jsonString(const QByteArray& line, qint64 number) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson("[" + line + "]", &error);
    if (error.error != QJsonParseError::NoError || doc.array().size() != 1 ||
        !doc.array().at(0).isString())
        throw Error(QStringLiteral("standard input, line %1: expected one JSON string, "
                                   "such as \"the \"")
                        .arg(number));
    return doc.array().at(0).toString();
}

// The dictionary as the main window holds it: opened with its password, sorted on its headword.
class Dictionary {
public:
    Dictionary(const QString& file, const DirectionBindings& bindings)
        : bindings_(bindings),
          table_(bindings.englishToTurkish ? QStringLiteral("Tablei") : QStringLiteral("Tablet")) {
        table_.setConnectionString(jetConnectionString(file, QStringLiteral("947")));
        table_.setTableName(bindings.englishToTurkish ? QStringLiteral("isozluk")
                                                      : QStringLiteral("tsozluk"));
        table_.open();
        table_.setSort(bindings.headwordField);
    }

    // The first `rows` headwords the grid lists after a press of the search button with `text`
    // in the box.
    QJsonArray search(const QString& text, int rows) {
        pressSearchButton(table_, bindings_.headwordField, text);
        QJsonArray headwords;
        for (int i = 0; i < rows && i < table_.recordCount(); ++i) {
            const FieldValue v = table_.valueAt(i, bindings_.headwordField);
            headwords.append(v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null));
        }
        return headwords;
    }

    const TableHandle& table() const { return table_; }
    const DirectionBindings& bindings() const { return bindings_; }

private:
    const DirectionBindings& bindings_;
    TableHandle table_;
};

// Calls `visit(word, caret)` for each space-separated word of a conversation line, with the caret
// behind the word's first character, where a click (or a double-click's first click) leaves it.
template <typename Visit> void forEachWord(const QString& line, Visit visit) {
    constexpr QChar kSpace = u' ';
    for (qsizetype start = 0; start < line.size(); ++start) {
        if (line[start] == kSpace || (start > 0 && line[start - 1] != kSpace))
            continue;
        qsizetype end = line.indexOf(kSpace, start);
        if (end < 0)
            end = line.size();
        visit(line.mid(start, end - start), static_cast<int>(start) + 1);
    }
}

// A click into each word of a conversation line, and what each finds.
QJsonArray clicks(Dictionary& dictionary, const QString& line, int rows) {
    QJsonArray words;
    forEachWord(line, [&](const QString& word, int caret) {
        const QString pick = wordAtCaret(line, caret);
        words.append(QJsonObject{{QStringLiteral("word"), word},
                                 {QStringLiteral("pick"), pick},
                                 {QStringLiteral("rows"), dictionary.search(pick, rows)}});
    });
    return words;
}

QString ruleName(BaseForm::Rule rule) {
    switch (rule) {
    case BaseForm::Rule::Headword:
        return QStringLiteral("headword");
    case BaseForm::Rule::Reference:
        return QStringLiteral("reference");
    case BaseForm::Rule::Stem:
        return QStringLiteral("stem");
    case BaseForm::Rule::FrontHalf:
        break;
    }
    return QStringLiteral("front half");
}

// A double-click on each word of a conversation line, and what each finds.
QJsonArray doubleClicks(Dictionary& dictionary, LazyStemmers& stemmers, const QString& line,
                        int rows) {
    QJsonArray words;
    std::optional<BaseForms> forms;
    forEachWord(line, [&](const QString& word, int caret) {
        if (!forms) {
            const auto language = dictionary.bindings().englishToTurkish
                                      ? LazyStemmers::Language::English
                                      : LazyStemmers::Language::Turkish;
            forms.emplace(dictionary.table(), dictionary.bindings(),
                          stemmers.forLanguage(language));
        }
        const BaseForm pick = doubleClickSearchText(line, caret, *forms);
        words.append(QJsonObject{{QStringLiteral("word"), word},
                                 {QStringLiteral("pick"), pick.text},
                                 {QStringLiteral("rule"), ruleName(pick.rule)},
                                 {QStringLiteral("rows"), dictionary.search(pick.text, rows)}});
    });
    return words;
}

void writeLine(const QJsonArray& array) {
    QByteArray text = QJsonDocument(array).toJson(QJsonDocument::Compact);
    text += '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int runSearch(const QStringList& args) {
    SearchArgs options;
    if (!parseArgs(args, &options)) {
        QTextStream(stderr) << kUsage;
        return 64;
    }
    try {
        checkDatabase(options.file);
        Dictionary dictionary(options.file, *bindingsOf(options.direction));
        LazyStemmers stemmers(options.hunspellFolder);
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            throw Error(QStringLiteral("standard input cannot be read"));
        qint64 number = 0;
        // A line read is empty only at the end of the input; a blank line still has its break.
        for (QByteArray line = in.readLine(); !line.isEmpty(); line = in.readLine()) {
            ++number;
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            const QString text = jsonString(line, number);
            if (options.doubleClicks)
                writeLine(doubleClicks(dictionary, stemmers, text, options.rows));
            else if (options.clicks)
                writeLine(clicks(dictionary, text, options.rows));
            else
                writeLine(dictionary.search(text, options.rows));
        }
        return 0;
    } catch (const Error& e) {
        QTextStream(stderr) << "peltavo-db search: " << e.message() << '\n';
        return 2;
    }
}

} // namespace peltavo::db
