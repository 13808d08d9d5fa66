#include "dictionary.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <functional>
#include <map>

namespace peltavo::dbbuild {

namespace {

// Labels of other dictionaries that readers took for ours; the learner reads Turkish ones.
const QSet<QString>& englishLabels() {
    static const QSet<QString> labels{
        u"slang"_qs, u"colloq."_qs, u"colloq"_qs, u"informal"_qs, u"fig."_qs, u"archaic"_qs,
        u"obs."_qs,  u"vulg."_qs,   u"abbr."_qs,  u"Brit."_qs,    u"U.S."_qs, u"Am."_qs,
        u"pl."_qs,   u"n."_qs,      u"v."_qs,     u"adj."_qs,     u"adv."_qs, u"prep."_qs,
        u"conj."_qs, u"interj."_qs, u"pron."_qs,  u"vt."_qs,      u"vi."_qs,  u"esp."_qs};
    return labels;
}

// Words that never end an English phrase: a colon after one of them stands inside the phrase.
const QSet<QString>& phraseInnerWords() {
    static const QSet<QString> words{u"and"_qs, u"or"_qs,    u"the"_qs,  u"a"_qs,
                                     u"an"_qs,  u"my"_qs,    u"your"_qs, u"his"_qs,
                                     u"our"_qs, u"their"_qs, u"one's"_qs};
    return words;
}

// Marks that the scanned source put into English words to show their stress.
bool isStressMark(QChar c) {
    return c == u'\u02C8' || c == u'\u02CC' || c == u'\u00B4' || c == u'`';
}

QString bracketProblem(const QString& sense) {
    int depth = 0;
    for (const QChar c : sense) {
        if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth < 0) {
            return QStringLiteral("closes a parenthesis that it never opened");
        }
    }
    return depth > 0 ? QStringLiteral("opens a parenthesis that it does not close") : QString();
}

// The labels that stand where a label may: at the start of the sense, of a phrase's meaning
// ("go about: (den.) ...") or after "; ", one after another ("(A.B.D.) (k. dili)").
QStringList labelsInPlace(const QString& sense) {
    QStringList found;
    auto takeRun = [&](qsizetype from) {
        while (from < sense.size() && sense.at(from) == u'(') {
            const qsizetype close = sense.indexOf(u')', from);
            const qsizetype nested = sense.indexOf(u'(', from + 1);
            if (close < 0 || (nested >= 0 && nested < close))
                return;
            found << sense.mid(from + 1, close - from - 1);
            from = close + 1;
            while (from < sense.size() && (sense.at(from) == u' ' || sense.at(from) == u','))
                ++from;
        }
    };
    takeRun(0);
    for (const QString& separator : {QStringLiteral(": "), QStringLiteral("; ")}) {
        qsizetype at = 0;
        while ((at = sense.indexOf(separator, at)) >= 0) {
            at += separator.size();
            takeRun(at);
        }
    }
    return found;
}

QString labelProblem(const QString& label) {
    const QString written = u'(' + label + u')';
    if (dictionaryLabels().contains(written))
        return {};
    if (englishLabels().contains(label))
        return QStringLiteral("carries the English label \"%1\"; use the Turkish label of the "
                              "list in dictionary/README.md")
            .arg(written);
    // An abbreviation, or a few of them ("güz. san."), takes a label's place; a remark in
    // parentheses ("fena anlamda", "got, got, A.B.D. gotten") does not.
    const QStringList words = label.split(u' ', Qt::SkipEmptyParts);
    // A label with what it labels: a plural, "(çoğ. nos.)", or the abbreviation, "(kıs. i.e.)".
    if (words.size() > 1 && dictionaryLabels().contains(u'(' + words.front() + u')'))
        return {};
    const bool abbreviation =
        !label.contains(u',') && !words.isEmpty() &&
        std::all_of(words.begin(), words.end(), [](const QString& w) { return w.endsWith(u'.'); });
    if (abbreviation)
        return QStringLiteral("carries \"%1\", which is no label of the list in "
                              "dictionary/README.md")
            .arg(written);
    return {};
}

// "(A.B.D.), (argo)": two labels of the list with a comma between them, where the house writes
// them one after the other.
QString labelCommaProblem(const QString& sense) {
    static const QRegularExpression pair(QStringLiteral("(\\([^()]+\\)), (\\([^()]+\\))"));
    for (auto it = pair.globalMatch(sense); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (dictionaryLabels().contains(match.captured(1)) &&
            dictionaryLabels().contains(match.captured(2)))
            return QStringLiteral("writes the labels \"%1\" with a comma between them; write "
                                  "them one after the other: \"%2 %3\"")
                .arg(match.captured(0), match.captured(1), match.captured(2));
    }
    return {};
}

// "rank and: file fertler": the text before the colon ends in a word that no phrase ends in.
QString colonProblem(const QString& sense) {
    const qsizetype colon = sense.indexOf(QStringLiteral(": "));
    if (colon < 0)
        return {};
    const QString phrase = sense.left(colon);
    if (phrase.contains(u'(') || !phrase.contains(u' '))
        return {};
    const QString last = phrase.section(u' ', -1).toLower();
    if (!phraseInnerWords().contains(last))
        return {};
    return QStringLiteral("has its colon inside the phrase, after \"%1\"; it belongs after the "
                          "whole phrase")
        .arg(phrase);
}

QString headwordProblem(const QString& headword, const QString& what) {
    if (headword.isEmpty())
        return QStringLiteral("the %1 is empty").arg(what);
    if (headword.size() > kHeadwordMaxLength)
        return QStringLiteral("the %1 is longer than %2 characters")
            .arg(what)
            .arg(kHeadwordMaxLength);
    return {};
}

// Reads "headword" or "form = base" into the entry; false after reporting a problem.
bool readName(const QString& name, DictionaryEntry& entry,
              const std::function<void(const QString&)>& report) {
    const QStringList parts = name.split(u'=');
    if (parts.size() > 2) {
        report(QStringLiteral("more than one \"=\" in the headword; a form has one base"));
        return false;
    }
    entry.headword = parts.front().simplified();
    if (const QString problem = headwordProblem(entry.headword, QStringLiteral("headword"));
        !problem.isEmpty()) {
        report(problem);
        return false;
    }
    if (parts.size() == 2) {
        entry.base = parts.back().simplified();
        if (const QString problem = headwordProblem(entry.base, QStringLiteral("base"));
            !problem.isEmpty()) {
            report(problem);
            return false;
        }
        if (entry.base == entry.headword) {
            report(QStringLiteral("\"%1\" is given as its own base").arg(entry.base));
            return false;
        }
    }
    return true;
}

} // namespace

const QStringList& dictionaryLabels() {
    // Grammar, usage, region and origin, then the fields; content/dictionary/README.md explains
    // each.
    static const QStringList labels = [] {
        QStringList written;
        for (const char* label :
             {"i.",         "f.",       "s.",        "zf.",      "zm.",     "edat",    "bağlaç",
              "ünlem",      "önek",     "sonek",     "kısaltma", "kıs.",    "çoğ.",    "dişil",
              "bak.",       "b.h.",     "k. h.",     "gen.",     "nad.",    "mec.",    "zıt.",
              "k. dili",    "h. dili",  "ç. dili",   "argo",     "kaba",    "şaka",    "aşağ.",
              "eski",       "şiir",     "leh.",      "A.B.D.",   "İng.",    "İskoç.",  "İrl.",
              "Kan.",       "Avust.",   "Lat.",      "Fr.",      "Al.",     "İt.",     "İsp.",
              "Yu.",        "İbr.",     "Ar.",       "Far.",     "T.",      "Ru.",     "Kat.",
              "tic. mark.", "anat.",    "antro.",    "ark.",     "ask.",    "astr.",   "astrol.",
              "aşçı.",      "bahç.",    "bayt.",     "biyokim.", "biyol.",  "bot.",    "coğr.",
              "d.y.",       "den.",     "dilb.",     "dişçi.",   "ecza.",   "edeb.",   "elek.",
              "fels.",      "fiz.",     "fizyol.",   "foto.",    "gazet.",  "geom.",   "gram.",
              "güz. san.",  "hane.",    "hav.",      "huk.",     "ikt.",    "ilah.",   "jeol.",
              "kil.",       "kim.",     "kon. san.", "mad.",     "mak.",    "man.",    "mat.",
              "matb.",      "meteor.",  "mim.",      "min.",     "mit.",    "müh.",    "müz.",
              "oto.",       "paleont.", "pol.",      "psik.",    "sosyol.", "tar.",    "tek.",
              "terz.",      "tıb.",     "tic.",      "zool.",    "spor",    "tiyatro", "radyo",
              "iskambil",   "briç",     "satranç",   "beysbol",  "kriket",  "futbol",  "tenis",
              "istatistik"})
            written << u'(' + QString::fromUtf8(label) + u')';
        return written;
    }();
    return labels;
}

QStringList senseProblems(const QString& sense, DictionaryDirection direction) {
    if (sense.isEmpty())
        return {QStringLiteral("is empty")};
    QStringList problems;
    if (const QString problem = bracketProblem(sense); !problem.isEmpty())
        problems << problem;
    for (const QString& label : labelsInPlace(sense))
        if (const QString problem = labelProblem(label); !problem.isEmpty())
            problems << problem;
    if (const QString problem = labelCommaProblem(sense); !problem.isEmpty())
        problems << problem;
    if (std::any_of(sense.begin(), sense.end(), isStressMark))
        problems << QStringLiteral("holds a stress mark; write the word without it");
    if (direction == DictionaryDirection::EnglishTurkish)
        if (const QString problem = colonProblem(sense); !problem.isEmpty())
            problems << problem;
    return problems;
}

std::vector<DictionaryEntry> parseDictionaryFile(const QString& file, const QByteArray& bytes,
                                                 DictionaryDirection direction,
                                                 std::vector<Problem>& problems) {
    std::vector<DictionaryEntry> entries;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QList<QByteArray> raw = data.split('\n');
    bool blockOpen = false; // the last entry is a block that takes further sense lines
    auto closeBlock = [&] {
        if (blockOpen && entries.back().senses.isEmpty())
            problems.push_back({file, entries.back().line,
                                QStringLiteral("\"%1\" has no sense: write its senses on its line "
                                               "after \" | \", or indented on the lines below")
                                    .arg(entries.back().headword)});
        blockOpen = false;
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        auto report = [&](const QString& message) { problems.push_back({file, number, message}); };
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(raw[i]);
        if (decoder.hasError()) {
            report(QStringLiteral("the line is not valid UTF-8 text"));
            continue;
        }
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
        if (text.isEmpty()) {
            closeBlock();
            continue;
        }
        if (text.trimmed().startsWith(u'#'))
            continue;
        if (text.contains(u'\t')) {
            report(QStringLiteral("the line holds a tab; use blanks instead"));
            continue;
        }
        auto addSense = [&](const QString& written, qsizetype position) {
            const QString sense = written.simplified();
            for (const QString& problem : senseProblems(sense, direction))
                report(QStringLiteral("sense %1 of \"%2\" %3")
                           .arg(position)
                           .arg(entries.back().headword, problem));
            entries.back().senses << sense;
        };
        if (text.front().isSpace()) {
            if (!blockOpen) {
                report(QStringLiteral("an indented sense line without its headword above it"));
                continue;
            }
            if (text.contains(u'|')) {
                report(QStringLiteral("a \"|\" inside a sense; in a block each sense has a line "
                                      "of its own"));
                continue;
            }
            addSense(text, entries.back().senses.size() + 1);
            continue;
        }
        closeBlock();
        const QStringList fields = text.split(u'|');
        DictionaryEntry entry{{}, {}, {}, file, number};
        if (!readName(fields.front(), entry, report))
            continue;
        entries.push_back(std::move(entry));
        if (fields.size() == 1) {
            blockOpen = true;
            continue;
        }
        for (qsizetype s = 1; s < fields.size(); ++s)
            addSense(fields[s], s);
    }
    closeBlock();
    return entries;
}

void checkDictionary(const std::vector<DictionaryEntry>& entries, std::vector<Problem>& problems) {
    std::map<QString, const DictionaryEntry*> first;
    for (const DictionaryEntry& entry : entries) {
        const auto [it, fresh] = first.emplace(entry.headword, &entry);
        if (!fresh)
            problems.push_back({entry.file, entry.line,
                                QStringLiteral("the headword \"%1\" is given twice (first at "
                                               "%2:%3); give each headword one entry")
                                    .arg(entry.headword, it->second->file)
                                    .arg(it->second->line)});
    }
    for (const DictionaryEntry& entry : entries)
        if (!entry.base.isEmpty() && !first.count(entry.base))
            problems.push_back(
                {entry.file, entry.line,
                 QStringLiteral("the base \"%1\" has no entry of its own").arg(entry.base)});
}

std::vector<DictionaryEntry> readDictionary(const QString& folder, DictionaryDirection direction,
                                            std::vector<Problem>& problems) {
    const QDir dir(folder);
    QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files);
    std::sort(files.begin(), files.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    if (files.isEmpty()) {
        problems.push_back({folder, 0, QStringLiteral("no dictionary file (*.txt) in the folder")});
        return {};
    }
    std::vector<DictionaryEntry> entries;
    for (const QString& name : std::as_const(files)) {
        const QString path = dir.filePath(name);
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) {
            problems.push_back(
                {path, 0, QStringLiteral("cannot read the file: %1").arg(in.errorString())});
            continue;
        }
        std::vector<DictionaryEntry> more =
            parseDictionaryFile(path, in.readAll(), direction, problems);
        entries.insert(entries.end(), std::make_move_iterator(more.begin()),
                       std::make_move_iterator(more.end()));
    }
    checkDictionary(entries, problems);
    return entries;
}

QString meaningOf(const DictionaryEntry& entry) {
    QStringList senses = entry.senses;
    if (!entry.base.isEmpty() && !senses.isEmpty())
        senses.front() += QStringLiteral(" (→ ") + entry.base + u')';
    if (senses.size() == 1)
        return senses.front();
    for (qsizetype i = 0; i < senses.size(); ++i)
        senses[i].prepend(QString::number(i + 1) + QStringLiteral(". "));
    return senses.join(QStringLiteral("\r\n"));
}

} // namespace peltavo::dbbuild
