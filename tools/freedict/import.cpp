// Turning FreeDict articles into learner-facing dictionary entries.
//
// An article is "headword /pronunciation/" on its first line followed by its senses, one per line,
// either numbered ("1. ...") or plain. The English-Turkish data went through a converter that
// wrapped every match of a subject label such as "(sig.)" or "(kıs.)" in parentheses, even inside
// words ("(sig.)orta" for "sigorta", "as(sig.)nment"); those are put back together here.

#include "freedict.h"

#include "article.h"
#include "error.h"
#include "reversal.h"
#include "textrepair.h"

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
        // A stress mark may stand before the marker: "legalis'(tic.)".
        static const QRegularExpression re =
            unicodeRe(QStringLiteral("(\\w*'?)\\(([^()\\s]{1,8})\\.\\)(\\w*)"));
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

// Collects the senses of every article per headword, keeping the order of first appearance: the
// headword's own senses, then the lines of its run-on entries.
class Merger {
public:
    struct Pending {
        QString headword;
        QStringList senses;
        QStringList runOns; // "every now and then: ara sıra, arada bir"
    };

    // Adds an article's senses to the headword; countArticle is false for the further spellings
    // of one headword line.
    void add(const QString& headword, const QStringList& senses, Report& report,
             const QStringList& runOns = {}, bool countArticle = true) {
        if (countArticle) {
            ++report.articles;
        }
        if (headword.isEmpty() || (senses.isEmpty() && runOns.isEmpty())) {
            report.skipped += countArticle;
            return;
        }
        bool fresh = false;
        Pending& p = slot(headword, &fresh);
        if (!fresh) {
            ++report.merged;
        }
        addNew(p.senses, senses);
        addNew(p.runOns, runOns);
    }

    // Adds senses to the headword, a new entry when there is none yet; counts no article.
    // Returns whether the entry is new.
    bool append(const QString& headword, const QStringList& senses) {
        bool fresh = false;
        addNew(slot(headword, &fresh).senses, senses);
        return fresh;
    }

    bool has(const QString& headword) const { return slot_.contains(headword); }

    const std::vector<Pending>& pending() const { return entries_; }

    std::vector<Entry> finish(Report& report) const {
        std::vector<Entry> out;
        out.reserve(entries_.size());
        for (const Pending& p : entries_) {
            QStringList lines = p.senses;
            addNew(lines, p.runOns);
            if (lines.isEmpty()) {
                continue;
            }
            out.push_back({p.headword, joinSenses(lines)});
        }
        report.headwords = static_cast<int>(out.size());
        return out;
    }

private:
    static void addNew(QStringList& kept, const QStringList& more) {
        for (const QString& line : more) {
            if (!line.isEmpty() && !kept.contains(line)) {
                kept << line;
            }
        }
    }

    Pending& slot(const QString& headword, bool* fresh) {
        auto found = slot_.constFind(headword);
        *fresh = found == slot_.cend();
        if (*fresh) {
            found = slot_.insert(headword, entries_.size());
            entries_.push_back({headword, {}, {}});
        }
        return entries_[*found];
    }

    QHash<QString, qsizetype> slot_;
    std::vector<Pending> entries_;
};

QString headwordOf(const Entry& article, QString (*clean)(QString)) {
    QString h = clean(articleHeadword(article.meaning));
    return h.isEmpty() ? clean(article.headword) : h;
}

// The English-Turkish dictionary, imported: the entries, and what the reversal reads of each
// article.
struct EnglishSide {
    Merger merger;
    std::vector<ReversalSource> reversal;
};

// A run-on word spelt right: as a headword is (repairHeadword), or as the phrase it is when it
// is the headword glued to a word ("excessluggage" in "excess" is "excess luggage").
QString repairRunOnWord(const QString& form, const QStringList& headwords,
                        const EnglishWords& words, const QSet<QString>& taken) {
    const QString repaired = repairHeadword(form, words, taken);
    if (repaired != form || words.isWord(form) || words.isLemma(form)) {
        return repaired; // "touchable" is a word, not "touch able"
    }
    for (const QString& headword : headwords) {
        const QString rest = form.mid(headword.size());
        if (form.startsWith(headword, Qt::CaseInsensitive) && rest.size() >= 3 &&
            words.isWord(rest) && words.level(rest) <= 50) {
            return form.left(headword.size()) + u' ' + rest;
        }
    }
    return form;
}

QString runOnLine(const RunOn& runOn) {
    return runOn.forms.join(QStringLiteral(", ")) + QStringLiteral(": ") +
           runOn.senses.join(QStringLiteral("; "));
}

EnglishSide readEngTur(const QString& dictdDir, const EnglishWords& words, Report& r,
                       const Speller* turkish) {
    const std::vector<Entry> articles = readFreedict(dictdDir, kEngTur);
    const LabelRepair labels(articles);

    // The senses with the converter's label markers put right, and the words they use.
    std::vector<QStringList> senses;
    senses.reserve(articles.size());
    Vocabulary vocabulary(words);
    vocabulary.setSpeller(turkish);
    for (const Entry& article : articles) {
        QStringList list = articleSenses(article.meaning);
        for (QString& sense : list) {
            sense = labels.apply(sense, &r.labelFixes);
        }
        vocabulary.count(list);
        senses.push_back(std::move(list));
    }

    // The names that the Turkish-English dictionary writes with a capital, but for those it
    // has in small letters as well (Mısır, Egypt; mısır, maize).
    {
        QStringList capitalized;
        QSet<QString> small;
        for (const Entry& article : readFreedict(dictdDir, kTurEng)) {
            const QString headword = headwordOf(article, tidyHeadword);
            if (headword.isEmpty()) {
                continue;
            }
            if (headword.front().isUpper()) {
                capitalized << headword;
            } else {
                small.insert(headword);
            }
        }
        capitalized.removeIf([&](const QString& name) {
            return name.contains(u' ') || small.contains(turkishLower(name));
        });
        vocabulary.addNames(capitalized);
    }

    // The spellings of every headword line, and which of them are taken.
    std::vector<QStringList> forms;
    forms.reserve(articles.size());
    QSet<QString> taken;
    for (const Entry& article : articles) {
        forms.push_back(headwordForms(headwordOf(article, cleanEnglishHeadword), words));
        for (const QString& form : forms.back()) {
            taken.insert(form.toLower());
        }
    }

    EnglishSide out;
    for (size_t a = 0; a < articles.size(); ++a) {
        QStringList repaired;
        for (const QString& sense : senses[a]) {
            const QString fixed = repairSense(sense, vocabulary);
            r.textRepairs += fixed != sense;
            repaired << fixed;
        }

        QStringList headwords;
        for (const QString& form : forms[a]) {
            const QString spelt =
                fitHeadword(form, repairHeadword(form, words, taken), repaired, words);
            r.headwordRepairs += spelt != form;
            headwords << spelt;
        }
        headwords.removeDuplicates();
        r.splitHeadwords += std::max<int>(0, static_cast<int>(headwords.size()) - 1);
        // The words made from the headword may show the scan's misreading as well
        // ("elipboard" in "elip", now "clip").
        QStringList stems = headwords + forms[a];
        stems.removeDuplicates();
        Article article = splitArticle(stems, repaired, vocabulary);
        article.forms = headwords;
        for (RunOn& runOn : article.runOns) {
            for (QString& form : runOn.forms) {
                // "brotherin-law", "everyfour days", "evervone", "excessluggage"
                form = form.contains(u' ') ? repairGluedWords(form, words)
                                           : repairRunOnWord(form, headwords, words, taken);
            }
            runOn.forms.removeDuplicates();
        }

        QStringList own;
        for (const QString& sense : article.senses) {
            own << withoutFinalStop(simplified(sense));
        }
        own.removeAll(QString());
        own = withLabelsJoined(own);
        QStringList lines;
        for (const RunOn& runOn : article.runOns) {
            if (!runOn.senses.isEmpty()) {
                lines << withoutFinalStop(runOnLine(runOn));
            } else if (&runOn == &article.runOns.back() && !runOn.text.contains(u' ') &&
                       !(lines.isEmpty() ? own : lines).isEmpty() &&
                       !(lines.isEmpty() ? own : lines).back().endsWith(u')')) {
                // A word without its meaning that ends the article ("büyük nehir. artesian"):
                // the printed dictionary's next headword, or a word the scan lost the rest of.
                ++r.fragments;
            } else if (!lines.isEmpty()) {
                lines.back() += QStringLiteral(". ") + runOn.text;
            } else if (!own.isEmpty()) {
                own.back() += QStringLiteral(". ") + runOn.text;
            } else {
                lines << runOn.text;
            }
        }
        if (headwords.isEmpty()) {
            out.merger.add(QString(), own, r, lines);
        }
        for (qsizetype h = 0; h < headwords.size(); ++h) {
            out.merger.add(headwords[h], own, r, lines, h == 0);
        }
        if (!headwords.isEmpty()) {
            out.reversal.push_back({headwords.front(), own, false});
        }

        for (const RunOn& runOn : article.runOns) {
            if (runOn.senses.isEmpty()) {
                continue;
            }
            QStringList meanings;
            for (const QString& sense : runOn.senses) {
                meanings << withoutFinalStop(sense);
            }
            for (const QString& form : runOn.forms) {
                out.reversal.push_back({form, meanings, true});
                if (form.contains(u' ') ||
                    std::any_of(headwords.begin(), headwords.end(), [&](const QString& h) {
                        return h.compare(form, Qt::CaseInsensitive) == 0;
                    })) {
                    continue;
                }
                r.runOnHeadwords += out.merger.append(form, meanings);
            }
        }
    }
    return out;
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
void addReversed(const EnglishSide& english, const EnglishWords& common, Merger& turkish,
                 Report& r) {
    Reversal reversal;
    for (const ReversalSource& source : english.reversal) {
        reversal.add(source);
    }
    QHash<QString, qsizetype> own; // headword -> index among the Turkish-English entries
    const std::vector<Merger::Pending>& entries = turkish.pending();
    for (qsizetype i = 0; i < static_cast<qsizetype>(entries.size()); ++i) {
        own.insert(entries[i].headword, i);
    }
    for (const Reversal::Result& result : reversal.finish(common, kReversedWordsCap)) {
        const auto found = own.constFind(result.turkish);
        if (found == own.cend()) {
            turkish.append(result.turkish, {result.english.join(QStringLiteral(", "))});
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
            turkish.append(headword, {missing.join(QStringLiteral(", "))});
            ++r.extended;
        }
    }
}

} // namespace

std::vector<Entry> importEngTur(const QString& dictdDir, const EnglishWords& words, Report* report,
                                const Speller* turkish) {
    Report local;
    Report& r = report ? *report : local;
    r = Report{};
    return readEngTur(dictdDir, words, r, turkish).merger.finish(r);
}

namespace {

std::vector<Entry> turEngFrom(const QString& dictdDir, const EnglishSide& english,
                              const EnglishWords& words, Report& r) {
    EnglishWords known = words;
    for (const Merger::Pending& p : english.merger.pending()) {
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

} // namespace

std::vector<Entry> importTurEng(const QString& dictdDir, const EnglishWords& words, Report* report,
                                const Speller* turkish) {
    Report local;
    Report& r = report ? *report : local;
    r = Report{};
    Report englishReport;
    return turEngFrom(dictdDir, readEngTur(dictdDir, words, englishReport, turkish), words, r);
}

Dictionaries importDictionaries(const QString& dictdDir, const EnglishWords& words,
                                Report* englishReport, Report* turkishReport,
                                const Speller* turkish) {
    Report localEnglish, localTurkish;
    Report& e = englishReport ? *englishReport : localEnglish;
    Report& t = turkishReport ? *turkishReport : localTurkish;
    e = Report{};
    t = Report{};
    const EnglishSide english = readEngTur(dictdDir, words, e, turkish);
    Dictionaries out;
    out.turkishEnglish = turEngFrom(dictdDir, english, words, t);
    out.englishTurkish = english.merger.finish(e);
    return out;
}

QString joinSenses(const QStringList& senses) {
    if (senses.size() == 1) {
        return senses.front();
    }
    QString meaning;
    for (qsizetype i = 0; i < senses.size(); ++i) {
        if (i > 0) {
            meaning += QStringLiteral("\r\n");
        }
        meaning += QString::number(i + 1) + QStringLiteral(". ") + senses[i];
    }
    return meaning;
}

QStringList splitSenses(const QString& meaning) {
    const QStringList lines = meaning.split(QStringLiteral("\r\n"));
    if (lines.size() == 1) {
        return lines;
    }
    static const QRegularExpression number(QStringLiteral("^\\d+\\. "));
    QStringList senses;
    for (QString line : lines) {
        senses << line.remove(number);
    }
    return senses;
}

} // namespace peltavo::freedict
