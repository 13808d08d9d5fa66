// Turning FreeDict articles into learner-facing dictionary entries.
//
// An article is "headword /pronunciation/" on its first line followed by its senses, one per line,
// either numbered ("1. ...") or plain. The English-Turkish data went through a converter that
// wrapped every match of a subject label such as "(sig.)" or "(kıs.)" in parentheses, even inside
// words ("(sig.)orta" for "sigorta", "as(sig.)nment"); those are put back together here.

#include "freedict.h"

#include "error.h"
#include "reversal.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace peltavo::freedict {

namespace {

const QString kEngTur = QStringLiteral("freedict-eng-tur");
const QString kTurEng = QStringLiteral("freedict-tur-eng");

std::vector<Entry> readFreedict(const QString& dictdDir, const QString& name) {
    const QDir dir(dictdDir);
    return readDictd(dir.filePath(name + QStringLiteral(".index")),
                     dir.filePath(name + QStringLiteral(".dict.dz")));
}

QRegularExpression unicodeRe(const QString& pattern) {
    return QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
}

QString simplified(const QString& text) {
    return text.simplified();
}

// The first line of the article without its pronunciation.
QString articleHeadword(const QString& article) {
    QString first = article.section(u'\n', 0, 0);
    if (first.endsWith(u'/')) {
        const qsizetype open = first.lastIndexOf(QLatin1String(" /"), first.size() - 2);
        if (open >= 0) {
            first.truncate(open);
        }
    }
    return first;
}

QStringList articleSenses(const QString& article) {
    static const QRegularExpression number(QStringLiteral("^\\d+\\.\\s+"));
    QStringList senses;
    const QStringList lines = article.split(u'\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines[i];
        line.remove(number);
        line = simplified(line);
        if (!line.isEmpty()) {
            senses << line;
        }
    }
    return senses;
}

// Tidies a headword: runs of blanks, blanks before and repeats of commas, and stray punctuation
// at either end ("atrabilious,", "except,-"); a prefix keeps its hyphen ("arch-").
QString tidyHeadword(QString h) {
    static const QRegularExpression commas(QStringLiteral("\\s*,(?:\\s*,)*"));
    static const QRegularExpression ragged(QStringLiteral("^[\\s,;:]+|(?:[\\s,;:]+-?)+$"));
    h = simplified(h);
    h.replace(commas, QStringLiteral(","));
    h.remove(ragged);
    return h;
}

// The English headword as a learner would write it.
QString cleanEnglishHeadword(QString h) {
    // Homograph numbers: "earth (1)", "ear(2)".
    static const QRegularExpression homograph(QStringLiteral("\\s*\\(\\d+\\)"));
    // Turkish remarks on spelling variants and gender: "color, (İng.) colour",
    // "color, ing colour", "fiance, (eril), fiancee (dişil)".
    static const QRegularExpression remark = unicodeRe(
        QStringLiteral("\\s*\\((?:ing|ýng|İng|eril|diþil|dişil|çoð|çoğ|eski|kýs|kıs)\\.?\\)|"
                       "(?<=,)\\s*(?:ing|ýng)\\b\\.?"));
    // The converter's label markers around plain letters: "(colloq.)uial", "in(sig.)ht",
    // "(i.)'d", "(anat.)".
    static const QRegularExpression marker(QStringLiteral("\\(([A-Za-z]{1,8})\\.\\)"));
    h.remove(homograph);
    h.remove(remark);
    h.replace(marker, QStringLiteral("\\1"));
    // Turkish letters that stand for English ones after a double conversion ("devýate").
    h.replace(u'ý', u'i').replace(u'Ý', u'I').replace(u'þ', u's').replace(u'ð', u'g');
    return tidyHeadword(h);
}

bool isLetters(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c.isLetter(); });
}

bool isLowerLetters(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.isLetter() && c.isLower(); });
}

// Puts the words back together that the converter broke apart with a label marker, and gives a
// real label glued to a word its blank. Which reading is right is settled by the words that
// occur whole elsewhere in the dictionary (corpus).
class LabelRepair {
public:
    explicit LabelRepair(const std::vector<Entry>& articles) {
        static const QRegularExpression word = unicodeRe(QStringLiteral("\\w+"));
        for (const Entry& article : articles) {
            QString body = article.meaning.section(u'\n', 1);
            body.replace(glued(), QStringLiteral(" "));
            for (auto it = word.globalMatch(body); it.hasNext();) {
                corpus_.insert(it.next().captured().toLower());
            }
        }
    }

    QString apply(const QString& sense, int* fixes) const {
        if (!sense.contains(u'(')) {
            return sense;
        }
        QString out;
        qsizetype last = 0;
        for (auto it = glued().globalMatch(sense); it.hasNext();) {
            const auto m = it.next();
            const QString before = m.captured(1);
            const QString label = m.captured(2);
            const QString after = m.captured(3);
            if (before.isEmpty() && after.isEmpty()) {
                continue;
            }
            out += QStringView(sense).mid(last, m.capturedStart() - last);
            last = m.capturedEnd();
            if (shouldJoin(before, label, after)) {
                out += before + label + after;
                ++*fixes;
            } else {
                out += before;
                if (!before.isEmpty()) {
                    out += u' ';
                }
                out += u'(' + label + QStringLiteral(".)");
                if (!after.isEmpty()) {
                    out += u' ' + after;
                }
            }
        }
        out += QStringView(sense).mid(last);
        return out;
    }

private:
    static const QRegularExpression& glued() {
        static const QRegularExpression re =
            unicodeRe(QStringLiteral("(\\w*)\\(([^()\\s]{1,8})\\.\\)(\\w*)"));
        return re;
    }

    bool knownWithPrefix(const QString& joined, qsizetype minimum) const {
        for (qsizetype n = joined.size(); n >= minimum; --n) {
            if (corpus_.contains(joined.left(n))) {
                return true;
            }
        }
        return false;
    }

    bool shouldJoin(const QString& before, const QString& label, const QString& after) const {
        if (!isLetters(label)) {
            return false; // "(A.B.D.)"
        }
        if (!before.isEmpty() && !after.isEmpty()) {
            return true; // "as(sig.)nment", "tıp(kıs.)ı"
        }
        if (!before.isEmpty()) {
            return isLowerLetters(label); // "e(den.)" but "emptor(Lat.)"
        }
        if (!after.front().isLower()) {
            return false; // "(zool.)Acanthophis"
        }
        // "(sig.)orta", "(bakt.)eriyle", but "(kıs.)assistant", "(mat.)asimptot"
        const QString joined = (label + after).toLower();
        return corpus_.contains(joined) || knownWithPrefix(joined, label.size() + 3);
    }

    QSet<QString> corpus_;
};

// Drops the full stop that ends most articles, but not one that ends an abbreviation.
QString withoutFinalStop(const QString& sense) {
    static const QRegularExpression finalWord = unicodeRe(QStringLiteral("(\\w+)\\.$"));
    static const QSet<QString> abbreviations = {
        QStringLiteral("etc"), QStringLiteral("bkz"), QStringLiteral("örn"),
        QStringLiteral("vs"),  QStringLiteral("vb"),  QStringLiteral("Ltd"),
        QStringLiteral("Inc"), QStringLiteral("Co"),  QStringLiteral("St")};
    const auto m = finalWord.match(sense);
    if (!m.hasMatch()) {
        return sense;
    }
    const qsizetype start = m.capturedStart(1);
    const bool abbreviated = (start > 0 && sense[start - 1] == u'.') || m.captured(1).size() < 3 ||
                             abbreviations.contains(m.captured(1));
    return abbreviated ? sense : sense.chopped(1);
}

// Collects the senses of every article per headword, keeping the order of first appearance.
class Merger {
public:
    void add(const QString& headword, const QStringList& senses, Report& report) {
        ++report.articles;
        if (headword.isEmpty() || senses.isEmpty()) {
            ++report.skipped;
            return;
        }
        auto found = slot_.constFind(headword);
        if (found == slot_.cend()) {
            found = slot_.insert(headword, entries_.size());
            entries_.push_back({headword, {}});
        } else {
            ++report.merged;
        }
        QStringList& kept = entries_[*found].senses;
        for (const QString& sense : senses) {
            if (!kept.contains(sense)) {
                kept << sense;
            }
        }
    }

    // Adds one sense to the headword, a new entry when there is none yet; counts no article.
    void append(const QString& headword, const QString& sense) {
        auto found = slot_.constFind(headword);
        if (found == slot_.cend()) {
            found = slot_.insert(headword, entries_.size());
            entries_.push_back({headword, {}});
        }
        entries_[*found].senses << sense;
    }

    struct Pending {
        QString headword;
        QStringList senses;
    };
    const std::vector<Pending>& pending() const { return entries_; }

    std::vector<Entry> finish(Report& report) const {
        std::vector<Entry> out;
        out.reserve(entries_.size());
        for (const Pending& p : entries_) {
            QString meaning;
            if (p.senses.size() == 1) {
                meaning = p.senses.front();
            } else {
                for (qsizetype i = 0; i < p.senses.size(); ++i) {
                    if (i > 0) {
                        meaning += QStringLiteral("\r\n");
                    }
                    meaning += QString::number(i + 1) + QStringLiteral(". ") + p.senses[i];
                }
            }
            out.push_back({p.headword, meaning});
        }
        report.headwords = static_cast<int>(out.size());
        return out;
    }

private:
    QHash<QString, qsizetype> slot_;
    std::vector<Pending> entries_;
};

QString headwordOf(const Entry& article, QString (*clean)(QString)) {
    QString h = clean(articleHeadword(article.meaning));
    return h.isEmpty() ? clean(article.headword) : h;
}

Merger readEngTur(const QString& dictdDir, Report& r) {
    const std::vector<Entry> articles = readFreedict(dictdDir, kEngTur);
    const LabelRepair labels(articles);
    Merger merger;
    for (const Entry& article : articles) {
        QStringList senses = articleSenses(article.meaning);
        for (QString& sense : senses) {
            sense = withoutFinalStop(simplified(labels.apply(sense, &r.labelFixes)));
        }
        senses.removeAll(QString());
        merger.add(headwordOf(article, cleanEnglishHeadword), senses, r);
    }
    return merger;
}

// The English words and phrases that the senses already give, in lower case.
QSet<QString> givenEnglish(const QStringList& senses) {
    static const QRegularExpression separators(QStringLiteral("[,;]"));
    QSet<QString> given;
    for (const QString& sense : senses) {
        for (const QString& item : sense.split(separators)) {
            given.insert(item.simplified().toLower());
        }
    }
    return given;
}

// Adds the reversed English-Turkish entries to the Turkish-English ones.
void addReversed(const Merger& english, const EnglishWords& common, Merger& turkish, Report& r) {
    Reversal reversal;
    for (const Merger::Pending& p : english.pending()) {
        reversal.add(p.headword, p.senses);
    }
    QHash<QString, qsizetype> own; // headword -> index among the Turkish-English entries
    const std::vector<Merger::Pending>& entries = turkish.pending();
    for (qsizetype i = 0; i < static_cast<qsizetype>(entries.size()); ++i) {
        own.insert(entries[i].headword, i);
    }
    for (const Reversal::Result& result : reversal.finish(common, kReversedWordsCap)) {
        const auto found = own.constFind(result.turkish);
        if (found == own.cend()) {
            turkish.append(result.turkish, result.english.join(QStringLiteral(", ")));
            ++r.reversed;
            continue;
        }
        const QString headword = entries[*found].headword; // a copy: append() may grow entries
        const QSet<QString> given = givenEnglish(entries[*found].senses);
        QStringList missing;
        for (const QString& word : result.english) {
            if (!given.contains(word.toLower())) {
                missing << word;
            }
        }
        if (!missing.isEmpty()) {
            turkish.append(headword, missing.join(QStringLiteral(", ")));
            ++r.extended;
        }
    }
}

} // namespace

std::vector<Entry> importEngTur(const QString& dictdDir, Report* report) {
    Report local;
    Report& r = report ? *report : local;
    r = Report{};
    return readEngTur(dictdDir, r).finish(r);
}

std::vector<Entry> importTurEng(const QString& dictdDir, const EnglishWords& words,
                                Report* report) {
    Report local;
    Report& r = report ? *report : local;
    r = Report{};

    Report englishReport;
    const Merger english = readEngTur(dictdDir, englishReport);
    EnglishWords known = words;
    for (const Merger::Pending& p : english.pending()) {
        if (std::all_of(p.headword.begin(), p.headword.end(),
                        [](QChar c) { return c.isLetter() && c.unicode() < 128; })) {
            known.add(p.headword);
        }
    }

    const std::vector<Entry> articles = readFreedict(dictdDir, kTurEng);
    Merger merger;
    QStringList repairs;
    for (const Entry& article : articles) {
        QStringList senses = articleSenses(article.meaning);
        for (QString& sense : senses) {
            sense.replace(u'\u2010', u'-'); // the data's hyphen, as the learner types it
            sense = withoutFinalStop(repairGluedWords(sense, known, nullptr, &repairs));
        }
        merger.add(headwordOf(article, tidyHeadword), senses, r);
    }
    r.repaired = static_cast<int>(repairs.size());
    repairs.removeDuplicates();
    r.repairedExamples = repairs.mid(0, 10);

    addReversed(english, words, merger, r);
    return merger.finish(r);
}

} // namespace peltavo::freedict
