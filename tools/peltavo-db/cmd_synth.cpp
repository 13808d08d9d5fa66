// peltavo-db synth: a learning database with a made-up dictionary of any size, for measuring
// how the program and the writer cope with large tables. Same arguments, same bytes.
#include "commands.h"

#include "error.h"
#include "jetwriter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <array>

namespace peltavo::db {

namespace {

constexpr auto kUsage = "usage: peltavo-db synth --rows N -o FILE\n";
constexpr qint64 kMaxRows = 10'000'000;

// Syllables for made-up words: every number spells a different word, written as its digits in
// base 20, lowest first, one syllable per digit.
constexpr std::array<const char16_t*, 20> kEnglishSyllables{
    u"ba", u"ce", u"di", u"fo", u"gu", u"ha", u"je", u"ki", u"lo", u"mu",
    u"na", u"pe", u"ri", u"so", u"tu", u"va", u"we", u"xi", u"yo", u"zu"};
constexpr std::array<const char16_t*, 20> kTurkishSyllables{
    u"ba", u"ça", u"de", u"gö", u"ğı", u"ha", u"ış", u"ke", u"lü", u"mö",
    u"na", u"öz", u"pe", u"ra", u"sü", u"şi", u"ta", u"üç", u"ve", u"yı"};

template <size_t N> QString word(qint64 n, const std::array<const char16_t*, N>& syllables) {
    QString w;
    do {
        w += QStringView(syllables[static_cast<size_t>(n % N)]);
        n /= N;
    } while (n > 0);
    return w;
}

Column text(const char* name, int length = 255) {
    return {QString::fromLatin1(name), ColumnType::Text, length};
}
Column memo(const char* name) {
    return {QString::fromLatin1(name), ColumnType::Memo, 255};
}

// Meanings of varying length: most short enough to sit in the row, some long enough for a
// long-value page, as in a real dictionary.
QString meaning(qint64 i, const QString& headword, bool turkish) {
    const int senses = 1 + static_cast<int>((i * 7919) % 5) + (i % 97 == 0 ? 40 : 0);
    QString m;
    for (int s = 0; s < senses; ++s) {
        if (s > 0)
            m += QStringLiteral("; ");
        m += QStringLiteral("%1. ").arg(s + 1);
        m += turkish ? word(i * 31 + s + 7, kTurkishSyllables)
                     : word(i * 31 + s + 7, kEnglishSyllables);
    }
    if (i % 13 == 0)
        m += turkish ? QStringLiteral(" (çoğul: %1ler)").arg(headword)
                     : QStringLiteral(" (plural: %1s)").arg(headword);
    return m;
}

TableData dictionary(const char* name, const char* headwordColumn, const char* meaningColumn,
                     qint64 rows, bool turkishHeadwords) {
    TableData t{QString::fromLatin1(name), {text(headwordColumn, 60), memo(meaningColumn)}, {}};
    t.rows.reserve(static_cast<size_t>(rows));
    for (qint64 i = 0; i < rows; ++i) {
        QString headword =
            turkishHeadwords ? word(i, kTurkishSyllables) : word(i, kEnglishSyllables);
        // A capital dotted I now and then, for the Turkish case rules of the search.
        if (turkishHeadwords && i % 50 == 1)
            headword.prepend(u'İ');
        QString m = meaning(i, headword, !turkishHeadwords);
        t.rows.push_back({std::move(headword), std::move(m)});
    }
    return t;
}

TableData conversations() {
    TableData t{QStringLiteral("konus"), {memo("ikonus"), memo("tkonus")}, {}};
    const QString crlf = QStringLiteral("\r\n");
    t.rows.push_back({QStringList{QStringLiteral("Hello, how are you?"),
                                  QStringLiteral("I am fine, thank you. And you?"),
                                  QStringLiteral("Very well, thanks.")}
                          .join(crlf),
                      QStringList{QStringLiteral("Merhaba, nasılsın?"),
                                  QStringLiteral("İyiyim, teşekkür ederim. Ya sen?"),
                                  QStringLiteral("Çok iyiyim, sağ ol.")}
                          .join(crlf)});
    t.rows.push_back(
        {QStringList{QStringLiteral("Where is the station?"),
                     QStringLiteral("It is next to the post office."),
                     QStringLiteral("Is it far from here?"),
                     QStringLiteral("No, it is a five-minute walk.")}
             .join(crlf),
         QStringList{QStringLiteral("İstasyon nerede?"), QStringLiteral("Postanenin yanında."),
                     QStringLiteral("Buradan uzak mı?"),
                     QStringLiteral("Hayır, beş dakikalık yürüme mesafesinde.")}
             .join(crlf)});
    t.rows.push_back({QStringList{QStringLiteral("Can I have the menu, please?"),
                                  QStringLiteral("Of course. Here you are.")}
                          .join(crlf),
                      QStringList{QStringLiteral("Menüyü alabilir miyim, lütfen?"),
                                  QStringLiteral("Tabii. Buyurun.")}
                          .join(crlf)});
    return t;
}

// Three answer sets and questions numbered from 1 without gaps; every correct answer is among its
// set's words.
std::vector<TableData> quiz() {
    TableData answers{QStringLiteral("cevap"), {text("testad")}, {}};
    for (int i = 1; i <= 11; ++i)
        answers.columns.push_back({QStringLiteral("cev%1").arg(i), ColumnType::Text, 255});
    auto set = [&](const QString& name, const QStringList& words) {
        std::vector<FieldValue> row{name};
        for (int i = 0; i < 11; ++i)
            row.push_back(i < words.size() ? FieldValue{words[i]} : FieldValue{});
        answers.rows.push_back(std::move(row));
    };
    set(QStringLiteral("be"), {QStringLiteral("am"), QStringLiteral("is"), QStringLiteral("are")});
    set(QStringLiteral("article"),
        {QStringLiteral("a"), QStringLiteral("an"), QStringLiteral("the")});
    set(QStringLiteral("pronoun"),
        {QStringLiteral("I"), QStringLiteral("It"), QStringLiteral("They")});

    TableData questions{QStringLiteral("sorubos"),
                        {{QStringLiteral("Number"), ColumnType::Integer, 255},
                         text("soru"),
                         text("testad"),
                         text("dc1"),
                         text("dc2"),
                         text("dc3")},
                        {}};
    const std::array<std::array<const char*, 3>, 6> items{{
        {"I   a student.", "be", "am"},
        {"They   at home.", "be", "are"},
        {"   is my book.", "pronoun", "It"},
        {"She has   apple.", "article", "an"},
        {"This is   car I told you about.", "article", "the"},
        {"He is   teacher.", "article", "a"},
    }};
    int number = 0;
    for (const auto& [sentence, set, answer] : items) {
        questions.rows.push_back({QString::number(++number), QString::fromLatin1(sentence),
                                  QString::fromLatin1(set), QString::fromLatin1(answer),
                                  FieldValue{}, FieldValue{}});
    }
    return {std::move(questions), std::move(answers)};
}

} // namespace

int runSynth(const QStringList& args) {
    QTextStream err(stderr);
    qint64 rows = -1;
    QString output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == u"--rows" || a == u"-o") && i + 1 < args.size()) {
            const QString value = args[++i];
            if (a == u"-o") {
                output = value;
                continue;
            }
            bool ok = false;
            rows = value.toLongLong(&ok);
            if (!ok || rows < 0 || rows > kMaxRows) {
                err << "peltavo-db synth: --rows takes a whole number from 0 to " << kMaxRows
                    << ", not '" << value << "'\n"
                    << kUsage;
                return 64;
            }
        } else {
            err << kUsage;
            return 64;
        }
    }
    if (rows < 0 || output.isEmpty()) {
        err << kUsage;
        return 64;
    }

    QElapsedTimer timer;
    timer.start();
    try {
        std::vector<TableData> tables;
        tables.push_back(conversations());
        tables.push_back(dictionary("isozluk", "ikelime", "tanlam", rows, false));
        tables.push_back(dictionary("tsozluk", "tkelime", "ianlam", rows, true));
        for (TableData& t : quiz())
            tables.push_back(std::move(t));
        writeJet4Database(output, tables);
    } catch (const Error& e) {
        err << "peltavo-db synth: " << e.message() << '\n';
        return 2;
    }
    QTextStream(stdout) << "Wrote " << output << ": " << rows << " headwords in each dictionary, "
                        << QFileInfo(output).size() << " bytes, in " << timer.elapsed() << " ms\n";
    return 0;
}

} // namespace peltavo::db
