// The structure of an English-Turkish article: own senses and run-on entries.

#include "article.h"

#include "freedict.h"
#include "textrepair.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace peltavo::freedict {

namespace {

QSet<QString> wordSet(const char* words) {
    const QStringList list = QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

bool isEnglishLetters(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'\'' || c == u'-';
    });
}

// Applies a shortened spelling to the one before: "neighbor" and "-bour" make "neighbour",
// "truculence" and "-cy" make "truculency", "pyrotechnic" and "-nical" make "pyrotechnical".
// The ending replaces the previous word from the last place where its first letters stand.
QString expandEnding(const QString& previous, const QString& ending) {
    for (qsizetype overlap = std::min<qsizetype>(3, ending.size()); overlap > 0; --overlap) {
        const qsizetype at = previous.lastIndexOf(ending.left(overlap));
        if (at > 0) {
            return previous.left(at) + ending;
        }
    }
    return {};
}

// The words of a phrase that are no English, however the word lists have them: the Turkish
// words that a translation most often starts with.
bool isTurkishWord(const QString& lower) {
    static const QSet<QString> words =
        wordSet("her bir ve veya ile bu şu ne de da ki hem tam hal pek çok daha en kendi gibi "
                "için kadar olan olarak biri birini birine birinin bunu onu ona onun");
    return words.contains(lower);
}

// The small words that English phrases are made of, which Turkish may write as well ("on" is
// ten, "at" a horse).
bool isParticle(const QString& lower) {
    static const QSet<QString> words = wordSet(
        "on in at to up out off over down away about around back by for from into onto of with "
        "without through across along after before under above behind the a an and or not no it "
        "its his him me you your my our their them us all as so be is are was were do does did "
        "have has had get got go make take give put set keep come well good bad one two three");
    return words.contains(lower);
}

// "one", "someone", "one's": the stand-ins of the dictionary's phrases.
bool isPlaceholder(const QString& lower) {
    static const QSet<QString> words =
        wordSet("one one's oneself someone someone's something somebody somebody's anyone "
                "anything sb sth");
    return words.contains(lower);
}

const QSet<QString>& articles() {
    static const QSet<QString> words = wordSet("a an the");
    return words;
}

class HeadParser {
public:
    HeadParser(const QStringList& forms, const Vocabulary& words) : words_(words) {
        for (const QString& form : forms) {
            const QString lower = form.toLower();
            own_.insert(lower);
            QString whole = lower;
            whole.remove(u' ').remove(u'-');
            addStem(whole);
            addStem(lower.section(u' ', 0, 0));
        }
    }

    struct Head {
        qsizetype start = 0;
        qsizetype end = 0; // where the meaning starts
        QStringList forms;
    };

    // The run-on head that starts at pos, if there is one.
    std::optional<Head> parse(const QString& text, qsizetype pos) const {
        static const QRegularExpression token(QStringLiteral("\\S+"));
        QStringList english; // the head's tokens as written
        bool related = false;
        qsizetype end = pos;
        bool expectEnding = false; // after a comma, "-ness" may follow
        for (auto it = token.globalMatch(text, pos); it.hasNext();) {
            const auto m = it.next();
            QString tok = m.captured();
            QString core = tok;
            const bool comma = core.endsWith(u',');
            while (!core.isEmpty() && QStringLiteral(",;:!?.\"").contains(core.back())) {
                core.chop(1);
            }
            if (core.isEmpty()) {
                break;
            }
            // A pronunciation after a derived word: "perannum (an'lm) senelik".
            if (core.startsWith(u'(')) {
                if (related && core.endsWith(u')') && core.contains(u'\'')) {
                    end = m.capturedEnd();
                }
                break;
            }
            const bool ending = expectEnding && core.startsWith(u'-') && core.size() > 2;
            // A word that Turkish spells and English does not is the translation, however like
            // the headword it looks: "arsenikle" after "arsenicated".
            const bool turkish = words_.spelt(core) && !words_.english(core) &&
                                 !words_.words().isLemma(core.toLower());
            if (turkish) {
                break;
            }
            // "on" before a Turkish number word is ten: "baker's dozen on üç", "dozenth on
            // ikinci", "Hessian boots on dokuzuncu yüzyılda".
            static const QRegularExpression tens(
                QStringLiteral("^ (?:bir|iki|üç|dört|beş|altı|yedi|sekiz|dokuz)"
                               "(?:inci|nci|üncü|uncu|ıncı)?\\b"),
                QRegularExpression::UseUnicodePropertiesOption);
            if (!english.isEmpty() && core == QLatin1String("on") && tok == core &&
                tens.match(QStringView(text).mid(m.capturedEnd())).hasMatch()) {
                break;
            }
            // An article stands before its noun, though Turkish spells the noun as well: "many
            // a time", "pass the hat", "dead as a doornail".
            const bool afterArticle = !english.isEmpty() && articles().contains(english.back());
            const bool isRelated = !ending && relates(core);
            // A word the lists lack, followed by its pronunciation: "per capita (kap'ltı)".
            static const QRegularExpression pronounced(
                QStringLiteral("^ \\([^()\\s]*'[^()\\s]*\\)"));
            const bool beforePronunciation = related && isEnglishLetters(core) &&
                                             pronounced.match(text.mid(m.capturedEnd())).hasMatch();
            if (!ending && !isRelated && !beforePronunciation && !isEnglish(core)) {
                break;
            }
            // After the headword's word, a word that the dictionary's Turkish uses as its own
            // starts the translation: "problem child problem çocuk", "eleventh hour son dakika";
            // but not where it makes an English compound with the word before ("cabin boy").
            const bool compound = !english.isEmpty() &&
                                  !words_.words().compoundSpelling(english.back() + core).isEmpty();
            // Only a word that Turkish spells, or a name ("Man"): the Turkish text holds English
            // run-ons as well ("rush order").
            const bool turkishSpelt =
                !words_.hasSpeller() || core.front().isUpper() || words_.spelt(core) ||
                words_.spelt(core.front() == u'i' ? u'İ' + core.mid(1)
                                                  : core.front().toUpper() + core.mid(1));
            if (related && !isRelated && !ending && !compound && !afterArticle && turkishSpelt &&
                words_.ownTurkish(core) >= 3 && !isParticle(core.toLower()) &&
                !isPlaceholder(core.toLower())) {
                break;
            }
            // A name that Turkish writes as English does is its own translation: "Yugoslav
            // Yugoslav".
            if (!english.isEmpty() && core == english.back() && core.front().isUpper()) {
                break;
            }
            if (tok.back() == u':' || tok.back() == u'!' || tok.back() == u'?') {
                // A sentence that ends inside the head: no run-on of the kind looked for.
                if (!isRelated && !related) {
                    break;
                }
            }
            related = related || isRelated;
            english << (comma ? core + u',' : core);
            end = m.capturedEnd();
            expectEnding = comma;
            // Two blanks end a derived word's head ("birthday  doğum günü").
            if (related && (text.mid(end, 2) == QLatin1String("  ") ||
                            text.mid(end, 3) == QLatin1String(" . "))) {
                break;
            }
            if (tok.back() == u'.' || tok.back() == u':' || tok.back() == u'!' ||
                tok.back() == u'?') {
                break;
            }
        }
        // A list of forms does not end in a comma: "(Fr.) bonjur, günaydın" is no run-on.
        if (!related || english.isEmpty() || english.back().endsWith(u',')) {
            return std::nullopt;
        }
        Head head{pos, end, splitForms(english)};
        if (head.forms.isEmpty() ||
            std::all_of(head.forms.begin(), head.forms.end(),
                        [&](const QString& f) { return own_.contains(f.toLower()); })) {
            return std::nullopt;
        }
        return head;
    }

    // A word made from the headword that is English: the word lists know it, or it starts with
    // the whole headword ("caperer" after "caper").
    bool isDerived(const QString& written) const {
        if (!relates(written)) {
            return false;
        }
        QString plain = written;
        plain.remove(u'\'').remove(u'’');
        if (words_.english(plain) || words_.words().isLemma(plain.toLower())) {
            return true;
        }
        const QString lower = plain.toLower();
        return std::any_of(stems_.begin(), stems_.end(), [&](const QString& stem) {
            const QString base = stem.endsWith(u'e') ? stem.chopped(1) : stem;
            return lower.size() > stem.size() && lower.startsWith(base);
        });
    }

    // Whether the word is the headword as it stands (any case).
    bool isOwn(const QString& written) const { return own_.contains(written.toLower()); }

    bool relates(const QString& written) const {
        QString w = written.toLower();
        w.remove(u'\'').remove(u'\u2019').remove(QLatin1String("(al)"));
        if (!isEnglishLetters(w)) {
            return false;
        }
        QString joined = w;
        joined.remove(u'-');
        // A word made from the headword shares all of it but for up to three letters at its
        // end (four of a long one): "birthday" and "birth", "exclamatory" and "exclamation",
        // "persuasion" and "persuade", "acrimony" and "acrimonious".
        for (const QString& stem : stems_) {
            qsizetype common = 0;
            while (common < stem.size() && common < joined.size() &&
                   stem[common] == joined[common]) {
                ++common;
            }
            if (common >= 4 && common >= stem.size() - (stem.size() >= 8 ? 4 : 3)) {
                return true;
            }
            // A final e drops before an ending: "puling" and "pule".
            if (stem.endsWith(u'e') && common == stem.size() - 1 && common >= 3 &&
                joined.size() > common && QStringLiteral("aeiouy").contains(joined[common])) {
                return true;
            }
        }
        for (const QString& shortForm : short_) {
            if (joined == shortForm) {
                return true;
            }
            static const QSet<QString> endings =
                wordSet("s es ed d ing ings er ers n ne en nt ly y ie ies");
            if (joined.startsWith(shortForm) && endings.contains(joined.mid(shortForm.size()))) {
                return true;
            }
            // A derived word or compound that the word lists know: "aptness", "airman",
            // "airmanship".
            if (joined.startsWith(shortForm) && words_.english(joined) &&
                isEnding(joined.mid(shortForm.size()))) {
                return true;
            }
        }
        return false;
    }

private:
    // An English word or a suffix, or one followed by a suffix: "ness", "man", "manship".
    bool isEnding(const QString& rest) const {
        static const QSet<QString> suffixes =
            wordSet("ness ment ship ful less ish ist ism ity able ably ance ence ward wards");
        if (suffixes.contains(rest) || (rest.size() >= 3 && words_.english(rest))) {
            return true;
        }
        for (const QString& suffix : suffixes) {
            if (rest.endsWith(suffix) && rest.size() - suffix.size() >= 3 &&
                words_.english(rest.chopped(suffix.size()))) {
                return true;
            }
        }
        return false;
    }

    void addStem(const QString& lower) {
        if (lower.size() <= 3) {
            if (!lower.isEmpty()) {
                short_.insert(lower);
            }
            return;
        }
        stems_.insert(lower);
    }

    bool isEnglish(const QString& written) const {
        QString w = written;
        w.replace(u'\u2019', u'\'');
        const QString lower = w.toLower();
        if (!isEnglishLetters(w) || isTurkishWord(lower)) {
            return false;
        }
        if (isPlaceholder(lower)) {
            return true;
        }
        if (lower.endsWith(QLatin1String("'s"))) {
            w.chop(2);
        }
        if (w.contains(u'-')) {
            const QStringList parts = w.split(u'-', Qt::SkipEmptyParts);
            return !parts.isEmpty() &&
                   std::all_of(parts.begin(), parts.end(), [&](const QString& p) {
                       return words_.english(p) || isPlaceholder(p.toLower());
                   });
        }
        return words_.english(w) || words_.english(removeStressMarks(w, words_));
    }

    // The head's tokens as forms: cut at commas, stress marks removed from the words that come
    // from the headword, shortened endings ("-cy") spelt out, "(al)" made a second form.
    QStringList splitForms(const QStringList& tokens) const {
        QStringList forms;
        QStringList current;
        auto flush = [&]() {
            if (!current.isEmpty()) {
                forms << current.join(u' ');
                current.clear();
            }
        };
        for (QString tok : tokens) {
            const bool comma = tok.endsWith(u',');
            if (comma) {
                tok.chop(1);
            }
            if (tok.startsWith(u'-') && current.isEmpty() && !forms.isEmpty()) {
                const QString expanded = expandEnding(forms.back(), tok.mid(1));
                if (!expanded.isEmpty()) {
                    forms << expanded;
                }
            } else if (tok.endsWith(QLatin1String("(al)"))) {
                const QString base = removeStressMarks(tok.chopped(4), words_, true);
                current << base;
                flush();
                forms << base + QStringLiteral("al");
            } else {
                current << removeStressMarks(tok, words_, relates(tok));
            }
            if (comma) {
                flush();
            }
        }
        flush();
        for (QString& form : forms) {
            form = form.trimmed();
        }
        forms.removeAll(QString());
        forms.removeDuplicates();
        return forms;
    }

    const Vocabulary& words_;
    QSet<QString> own_;
    QSet<QString> stems_;
    QSet<QString> short_;
};

// Where sentences end in text: after ". ", ": ", "! " and "? " outside parentheses, and after a
// full stop glued to the next word ("günü .birthmark", "aktif.working"). Abbreviations ("vb.",
// "k. dili") end none.
std::vector<qsizetype> sentenceStarts(const QString& text) {
    static const QSet<QString> abbreviations =
        wordSet("vb vs vd örn bkz bak kıs çoğ hz st dr mr mrs ms etc no vol ing ingl fr lat al "
                "yun ar fars it isp müz den huk tıb zool bot kim mat");
    std::vector<qsizetype> starts;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            depth = std::max(0, depth - 1);
        }
        // A remark in parentheses may end a translation, and an example sentence follow:
        // "dönüvermek (hastalık) It's your turn."
        if (c == u')' && depth == 0 && i + 2 < text.size() && text[i + 1] == u' ' &&
            text[i + 2].isLetter()) {
            const qsizetype open = text.lastIndexOf(u'(', i);
            // A label that opens the sense, "(Fr.) bonjur", ends no translation.
            if (open >= 0 && text.left(open).trimmed().isEmpty()) {
                continue;
            }
            static const QSet<QString> references = wordSet("bak. bak bkz. bkz see");
            if (open < 0 || !references.contains(text.mid(open + 1, i - open - 1).trimmed())) {
                starts.push_back(i + 2);
            } else {
                // After the word referred to: "(bak.) amenability amenably uysalca".
                const qsizetype blank = text.indexOf(u' ', i + 2);
                if (blank > 0 && blank + 1 < text.size() && text[blank + 1].isLetter() &&
                    text[blank - 1].isLetter()) {
                    starts.push_back(blank + 1);
                }
            }
            continue;
        }
        if (depth > 0 || (c != u'.' && c != u':' && c != u'!' && c != u'?')) {
            continue;
        }
        qsizetype next = i + 1;
        while (next < text.size() && text[next] == u' ') {
            ++next;
        }
        if (next >= text.size() || !text[next].isLetter()) {
            continue;
        }
        if (c == u'.') {
            qsizetype wordStart = i;
            while (wordStart > 0 && text[wordStart - 1].isLetter()) {
                --wordStart;
            }
            const QString before = text.mid(wordStart, i - wordStart).toLower();
            if (before.size() == 1 || abbreviations.contains(before)) {
                continue;
            }
        }
        starts.push_back(next);
    }
    return starts;
}

// Where a word stands that is followed by two blanks or a lone full stop: a derived word whose
// full stop before it was lost ("mahrum etmek abridgement   kısaltma", "aşırı despera'tion .
// yeis").
std::vector<qsizetype> doubleBlankWords(const QString& text) {
    static const QRegularExpression word(
        QStringLiteral("(?<!\\S)[A-Za-z][A-Za-z'’(),-]*(?=  | \\. )"));
    std::vector<qsizetype> starts;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        starts.push_back(it.next().capturedStart());
    }
    return starts;
}

// Where a word made from the headword stands inside the Turkish text, with neither a full stop
// nor two blanks before it: "hissi emotively hissi olarak", "etmek admittance içeriye kabul".
// Only an English word (the word lists know it, or it holds the whole headword) that Turkish
// does not spell, after a Turkish word that is no English particle ("in", "a").
std::vector<qsizetype> embeddedWords(const QString& text, const HeadParser& parser,
                                     const Vocabulary& words) {
    static const QRegularExpression word(QStringLiteral("(?<![\\w'’-])[\\p{L}'’]+(?![\\w'’])"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    std::vector<qsizetype> starts;
    QString previous;
    qsizetype previousEnd = -1;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString token = m.captured();
        // Only a blank between the two words: no comma, colon or parenthesis.
        const bool adjacent =
            previousEnd >= 0 && m.capturedStart() == previousEnd + 1 && text[previousEnd] == u' ';
        const QString lower = previous.toLower();
        // The headword itself, though Turkish spells it, where an English word follows that
        // Turkish does not: "geçmeden ere now bundan önce".
        static const QRegularExpression next(QStringLiteral("^ ([a-z]+) "));
        const auto after = next.match(QStringView(text).mid(m.capturedEnd()));
        const bool ownPhrase = token.size() > 2 && !isParticle(token.toLower()) &&
                               parser.isOwn(token) && after.hasMatch() &&
                               words.english(after.captured(1)) && !words.spelt(after.captured(1));
        if (adjacent && words.spelt(previous) && !isParticle(lower) && !isPlaceholder(lower) &&
            ((!words.spelt(token) && parser.isDerived(token)) || ownPhrase)) {
            starts.push_back(m.capturedStart());
        }
        previous = token;
        previousEnd = m.capturedEnd();
    }
    return starts;
}

// Where a run-on entry may start without a full stop before it, to be taken only where Turkish
// follows its head: after a comma or semicolon ("meltem, etesian wind meltem"); after a word
// that is no English ("Mimosa pudica sensitively hassasiyetle"); an English word before the
// headword itself, after a Turkish word ("sakaroz white beet şeker pancarı").
std::vector<qsizetype> looseStarts(const QString& text, const HeadParser& parser,
                                   const Vocabulary& words) {
    static const QRegularExpression word(QStringLiteral("(?<![\\w'’-])[\\p{L}'’]+(?![\\w'’])"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    std::vector<qsizetype> starts;
    std::vector<std::pair<qsizetype, QString>> tokens;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        tokens.emplace_back(m.capturedStart(), m.captured());
    }
    int depth = 0;
    qsizetype scanned = 0;
    for (size_t t = 1; t < tokens.size(); ++t) {
        const auto& [start, token] = tokens[t];
        const auto& [previousStart, previous] = tokens[t - 1];
        for (; scanned < start; ++scanned) {
            depth += text[scanned] == u'(' ? 1 : text[scanned] == u')' ? -1 : 0;
        }
        if (depth > 0) {
            continue;
        }
        const QString between =
            text.mid(previousStart + previous.size(), start - previousStart - previous.size());
        const QString lower = previous.toLower();
        // The head's first word is English that Turkish does not write: not "optimist",
        // "Prusyaya", "galvanizme".
        QString plain = token;
        plain.remove(u'\'').remove(u'’');
        if (words.spelt(token) || words.ownTurkish(plain.toLower()) > 0 ||
            !(words.english(plain) || words.words().spellsEnglish(plain))) {
            continue;
        }
        if (between == QLatin1String(", ") || between == QLatin1String("; ")) {
            // After a Turkish meaning, not in a list of English forms ("blackheaded gull,
            // laughing gull").
            if (words.spelt(previous) && !words.english(previous)) {
                starts.push_back(start);
            }
        } else if (between == QLatin1String(" ") && token.front().isLower() && !isParticle(lower) &&
                   !isPlaceholder(lower)) {
            // A derived word, or an English word before the headword itself ("white beet"),
            // after a Latin name ("Mimosa pudica", "(bot.) Fraxinus"), or the latter after a
            // Turkish word.
            const bool beforeHeadword = t + 1 < tokens.size() && words.english(token) &&
                                        parser.isOwn(tokens[t + 1].second) &&
                                        text.mid(start + token.size(), 1) == QLatin1String(" ");
            const QString before = t >= 2 ? tokens[t - 2].second : QString();
            const bool latin =
                !words.english(previous) && !words.spelt(previous) && !before.isEmpty() &&
                (previous.front().isLower()
                     ? before.front().isUpper()
                     : before == QLatin1String("bot") || before == QLatin1String("zool"));
            const bool afterLatin = latin && (beforeHeadword || parser.isDerived(token));
            const bool afterTurkish =
                beforeHeadword && words.spelt(previous) && !words.english(previous);
            if (afterLatin || afterTurkish) {
                starts.push_back(start);
            }
        }
    }
    return starts;
}

// Whether the text at pos goes on with a Turkish word.
bool turkishFollows(const QString& text, qsizetype pos, const Vocabulary& words) {
    // Labels may stand before it: "teachers college. (A.B.D.) eğitim fakültesi".
    static const QRegularExpression word(
        QStringLiteral("^[\\s:]*(?:\\([^()]{1,12}\\)\\s*)*([\\p{L}]+)"),
        QRegularExpression::UseUnicodePropertiesOption);
    const auto m = word.match(QStringView(text).mid(pos));
    return m.hasMatch() && words.spelt(m.captured(1)) && !words.english(m.captured(1));
}

QString tidyMeaning(QString text) {
    // A final full stop stays for the caller: it may end an abbreviation ("vb.").
    static const QRegularExpression ragged(QStringLiteral("^[\\s.,;:!?]+|[\\s,;:]+$|\\s+\\.$"));
    text.remove(ragged);
    return withoutFinalStop(text.simplified());
}

} // namespace

QString fitHeadword(const QString& written, const QString& repaired, const QStringList& senses,
                    const EnglishWords& words) {
    if (senses.isEmpty() || repaired.contains(u' ')) {
        return repaired;
    }
    const QString& first = senses.front();
    // A capital that the name rule gave a word that is a person's name as well as a word of
    // its own, where the meaning names no one: "vang", "(den.) gizin ablisi iskota halatı";
    // "jenny", "kip".
    QString h = repaired;
    if (repaired != written && repaired.compare(written, Qt::CaseInsensitive) == 0) {
        static const QRegularExpression capital(QStringLiteral("(?<![\\w(])\\p{Lu}"),
                                                QRegularExpression::UseUnicodePropertiesOption);
        static const QRegularExpression parenthesised(QStringLiteral("\\([^()]*\\)"));
        const bool named = std::any_of(senses.begin(), senses.end(), [&](const QString& sense) {
            return QString(sense).remove(parenthesised).contains(capital);
        });
        if ((!named && words.isPersonalName(written)) ||
            first.startsWith(QStringLiteral("(önek)")) ||
            first.startsWith(QStringLiteral("(sonek)"))) {
            h = written;
        }
    }
    // A prefix or suffix that lost its hyphen: "spiro" is "spiro-", "ian" is "-ian".
    if (!h.contains(u'-') && !words.isWord(h)) {
        if (first.startsWith(QStringLiteral("(önek)"))) {
            return h.toLower() + u'-';
        }
        if (first.startsWith(QStringLiteral("(sonek)"))) {
            return u'-' + h.toLower();
        }
    }
    // An abbreviation of a name in capitals: "PTA", Parent-Teacher Association.
    if (first.startsWith(QStringLiteral("(kıs.) "))) {
        static const QRegularExpression word(QStringLiteral("[A-Za-z']+"));
        QString initials;
        for (auto it = word.globalMatch(first, 7); it.hasNext();) {
            const QString w = it.next().captured();
            if (w.front().isUpper()) {
                initials += w.front();
            } else if (w != u"of" && w != u"and" && w != u"for" && w != u"the" && w != u"per") {
                break;
            }
        }
        QString letters = h;
        letters.remove(u'.').remove(u' ');
        if (initials.size() >= 2 && letters.compare(initials, Qt::CaseInsensitive) == 0) {
            return h.toUpper();
        }
    }
    return h;
}

namespace {
QString misreadHeadword(const QString& headword, const EnglishWords& words,
                        const QSet<QString>& taken);
QString gluedHeadword(const QString& headword, const EnglishWords& words);
} // namespace

QString withoutFinalStop(const QString& sense) {
    static const QRegularExpression finalWord(QStringLiteral("(\\w+)\\.$"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    static const QSet<QString> abbreviations = {
        QStringLiteral("etc"), QStringLiteral("bkz"), QStringLiteral("örn"),
        QStringLiteral("vs"),  QStringLiteral("vb"),  QStringLiteral("Ltd"),
        QStringLiteral("Inc"), QStringLiteral("Co"),  QStringLiteral("St")};
    if (sense.endsWith(QLatin1String(" ."))) {
        return sense.chopped(2).trimmed(); // "koyuca ."
    }
    const auto m = finalWord.match(sense);
    if (!m.hasMatch()) {
        return sense;
    }
    // The short Turkish words that end a sense ("kaba et", "şöyle ki") are no abbreviations.
    static const QSet<QString> shortWords =
        wordSet("et ki de da ve su iş ev ay ok on ön öz üç un il ip iz at ot ut ak al an ar as az "
                "el en er ez in ol ya ye yün");
    const qsizetype start = m.capturedStart(1);
    const bool abbreviated = (start > 0 && sense[start - 1] == u'.') ||
                             (m.captured(1).size() < 3 && !shortWords.contains(m.captured(1))) ||
                             abbreviations.contains(m.captured(1));
    return abbreviated ? sense : sense.chopped(1);
}

Article splitArticle(const QStringList& forms, const QStringList& senses, const Vocabulary& words) {
    const HeadParser parser(forms, words);
    Article article{forms, {}, {}};
    for (const QString& sense : senses) {
        std::vector<qsizetype> candidates = sentenceStarts(sense);
        const std::vector<qsizetype> blanks = doubleBlankWords(sense);
        candidates.insert(candidates.end(), blanks.begin(), blanks.end());
        if (words.hasSpeller()) {
            const std::vector<qsizetype> embedded = embeddedWords(sense, parser, words);
            candidates.insert(candidates.end(), embedded.begin(), embedded.end());
        }
        std::vector<qsizetype> strict = candidates;
        std::sort(strict.begin(), strict.end());
        std::vector<qsizetype> loose;
        if (words.hasSpeller()) {
            loose = looseStarts(sense, parser, words);
            std::sort(loose.begin(), loose.end());
            candidates.insert(candidates.end(), loose.begin(), loose.end());
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

        std::vector<HeadParser::Head> heads;
        qsizetype from = 0;
        for (qsizetype pos : candidates) {
            if (pos < from) {
                continue;
            }
            if (auto head = parser.parse(sense, pos)) {
                if (std::binary_search(loose.begin(), loose.end(), pos) &&
                    !std::binary_search(strict.begin(), strict.end(), pos) &&
                    !turkishFollows(sense, head->end, words)) {
                    continue;
                }
                from = head->end;
                heads.push_back(std::move(*head));
            }
        }

        const QString own = tidyMeaning(sense.left(heads.empty() ? sense.size() : heads[0].start));
        if (!own.isEmpty()) {
            if (article.runOns.empty()) {
                article.senses << own;
            } else {
                article.runOns.back().senses << own;
            }
        }
        for (size_t h = 0; h < heads.size(); ++h) {
            const qsizetype stop = h + 1 < heads.size() ? heads[h + 1].start : sense.size();
            RunOn runOn{
                heads[h].forms, {}, tidyMeaning(sense.mid(heads[h].start, stop - heads[h].start))};
            const QString meaning = tidyMeaning(sense.mid(heads[h].end, stop - heads[h].end));
            if (!meaning.isEmpty()) {
                runOn.senses << meaning;
            }
            article.runOns.push_back(std::move(runOn));
        }
    }
    return article;
}

namespace {

// Whether two words are spellings of one, a letter apart where English spelling varies:
// "gibe" and "jibe", "apprise" and "apprize", "fryer" and "frier". Not words whose vowel or
// first sound differs ("slipslop", "hokeypokey", "tricktrack"), which are compounds.
bool areSpellings(const QString& a, const QString& b) {
    if (a.size() != b.size()) {
        return false;
    }
    static const QSet<QString> pairs = wordSet("sz zs gj jg iy yi ck kc");
    qsizetype differ = -1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            if (differ >= 0) {
                return false;
            }
            differ = i;
        }
    }
    return differ >= 0 && pairs.contains(QString(a[differ]) + b[differ]);
}

// A headword that is two spellings of one word glued: "appriseapprize". Empty for any other.
QStringList gluedVariants(const QString& piece, const EnglishWords& words) {
    if (piece.size() < 7 || !isEnglishLetters(piece) || piece.contains(u'-') ||
        piece.contains(u' ') || !piece.front().isLower() || words.isWord(piece) ||
        words.isLemma(piece) || piece.size() % 2 != 0) {
        return {};
    }
    const QString first = piece.left(piece.size() / 2);
    const QString second = piece.mid(piece.size() / 2);
    if (words.isWord(first) && words.isWord(second) && areSpellings(first, second)) {
        return {first, second};
    }
    return {};
}

} // namespace

QStringList headwordForms(const QString& headword, const EnglishWords& words) {
    QStringList forms;
    for (QString piece : headword.split(u',')) {
        piece = piece.simplified();
        if (piece.isEmpty()) {
            continue;
        }
        if (!forms.isEmpty() &&
            (piece.startsWith(u'-') || (piece.size() <= 5 && !words.isWord(piece) &&
                                        !piece.contains(u' ') && piece.front().isLower()))) {
            // "-bour", "- ical", "ical"
            QString ending = piece;
            ending.remove(u'-');
            ending = ending.trimmed();
            const QString expanded = expandEnding(forms.front(), ending);
            // A short ending is a suffix ("ical", "cy"); a long one must make a known word.
            if (!expanded.isEmpty() && (words.isWord(expanded) || ending.size() <= 4)) {
                forms << expanded;
            }
            continue;
        }
        // "gibejibe": two spellings glued, "gibe, jibe".
        const QStringList glued = gluedVariants(piece, words);
        if (!glued.isEmpty()) {
            forms << glued;
            continue;
        }
        // "heroicical": the source's way of writing "heroic, heroical".
        if (piece.endsWith(QLatin1String("icical")) && words.isWord(piece.chopped(4))) {
            forms << piece.chopped(4) << piece.chopped(6) + QStringLiteral("ical");
            continue;
        }
        forms << piece;
    }
    forms.removeDuplicates();
    return forms;
}

QString repairHeadword(const QString& headword, const EnglishWords& words,
                       const QSet<QString>& taken) {
    if (!isEnglishLetters(QString(headword).remove(u' ')) || headword.contains(u'\'')) {
        return headword;
    }
    // A name: "brazil" is "Brazil", "english horn" is "English horn", "aegean sea" is "Aegean
    // Sea"; "de" (the prefix) is none.
    const QStringList parts = headword.split(u' ');
    if (headword.front().isLower() && parts.front().size() >= 3 && words.isName(parts.front())) {
        static const QSet<QString> places =
            wordSet("sea ocean river lake island islands mountains bay gulf strait peninsula "
                    "desert canal channel");
        QStringList name;
        for (QString part : parts) {
            if (name.isEmpty() || words.isName(part) || places.contains(part)) {
                part[0] = part[0].toUpper();
            }
            name << part;
        }
        return name.join(u' ');
    }
    if (words.isWord(headword)) {
        return headword;
    }
    if (const QString compound = words.compoundSpelling(headword); !compound.isEmpty()) {
        return compound;
    }
    // A word that English spells so, though the word lists lack it: "puling", "caviler".
    if (headword.size() < 4 || headword.contains(u' ') || headword.contains(u'-') ||
        words.spellsEnglish(headword)) {
        return headword;
    }
    // "-ieal" for "-ical", when English spells the word so or the word it is made from:
    // "bucolieal" is "bucolical" (from "bucolic"), "subcritieal" "subcritical".
    if (headword.endsWith(QLatin1String("ieal"))) {
        const QString ical = headword.chopped(4) + QStringLiteral("ical");
        const QString ic = headword.chopped(4) + QStringLiteral("ic");
        if (words.spellsEnglish(ical) || words.isWord(ic) ||
            (ical.startsWith(QLatin1String("sub")) && words.isWord(ical.mid(3)))) {
            return ical;
        }
    }
    const QString misread = misreadHeadword(headword, words, taken);
    return misread != headword ? misread : gluedHeadword(headword, words);
}

namespace {

// A word that the scan misread as the known word it stands for.
QString misreadHeadword(const QString& headword, const EnglishWords& words,
                        const QSet<QString>& taken) {
    const bool spelt = words.spellsEnglish(headword);
    // Letters that the scan of the printed dictionary misread.
    static const std::pair<const char*, const char*> misreadings[] = {
        {"i", "l"}, {"l", "i"}, {"1", "l"}, {"0", "o"},  {"rn", "m"}, {"e", "c"},
        {"c", "e"}, {"v", "y"}, {"q", "g"}, {"cl", "d"}, {"li", "h"}, {"ee", "cc"}};
    QStringList candidates;
    const auto consider = [&](const QString& candidate, bool common, bool mayBeTaken = false) {
        // A compound that lost its hyphen as well ("hiqhsoundinq" is "high-sounding").
        const QString compound =
            words.isWord(candidate) ? QString() : words.compoundSpelling(candidate);
        const QString found = compound.isEmpty() ? candidate : compound;
        // A common word, or for a shape English hardly writes a rarer one that WordNet knows.
        const bool known =
            common ? words.level(candidate) <= 60
                   : words.isWord(candidate) || !compound.isEmpty() || words.isLemma(candidate);
        // A headword of its own already is taken only for the commonest misreading, a c read
        // as an e, and where Hunspell's English dictionaries reject the misread word ("elip" is
        // "clip"; "ceil" stays, "mlle" is no "mile").
        const bool free = !taken.contains(found) || (mayBeTaken && words.hasSpellers() && !spelt);
        if (known && free && !candidates.contains(found)) {
            candidates << found;
        }
    };
    // A letter the scan lost: an s or h of two ("wordles" is "wordless", "withold" is
    // "withhold"), a final e ("ideat").
    for (qsizetype at = 0; at < headword.size(); ++at) {
        if (headword[at] == u's' || headword[at] == u'h') {
            consider(headword.left(at + 1) + headword.mid(at), true);
        }
    }
    consider(headword + u'e', true);
    for (const auto& [wrong, right] : misreadings) {
        const QString w = QString::fromLatin1(wrong);
        // A letter that English hardly writes so ("q" without "u", "ee" before a consonant and
        // an "a") is misread whatever the word: a rare one may be right ("saeeate" is
        // "saccate"); otherwise only a common word is taken.
        const bool rareShape = w == u"q" || w == u"1" || w == u"0" || w == u"ee";
        int places = 0;
        for (qsizetype at = headword.indexOf(w); at >= 0; at = headword.indexOf(w, at + 1)) {
            consider(headword.left(at) + QLatin1String(right) + headword.mid(at + w.size()),
                     !rareShape, w == u"e");
            ++places;
        }
        if (places > 1) {
            // The same letter misread throughout: "saeeate", "hiqhsoundinq".
            consider(QString(headword).replace(w, QLatin1String(right)), !rareShape);
        }
    }
    return candidates.size() == 1 ? candidates.front() : headword;
}

// Two words that the scan glued together: "fullingmill" is "fulling mill".
QString gluedHeadword(const QString& headword, const EnglishWords& words) {
    if (headword.size() < 7 || words.isWord(headword) || words.isLemma(headword) ||
        !isEnglishLetters(headword) || headword.contains(u'\'') || headword.contains(u'-') ||
        !headword.front().isLower()) {
        return headword;
    }
    // English writes many compounds as one word ("bookstand", "afterclap"), but none whose
    // first word ends in -ing, -ed or -ly: such a word is two ("cruisingspeed", "criticallyill"),
    // cut in one way only.
    // The ending must be one: "fulling" is "full" and -ing, "cruising" "cruise", but "swing",
    // "billy" and "wired raw" are none.
    const auto inflected = [&](const QString& w) {
        for (const QLatin1String ending : {QLatin1String("ing"), QLatin1String("ed")}) {
            const QString stem = w.chopped(ending.size());
            if (w.endsWith(ending) && stem.size() >= 3 &&
                (words.isWord(stem) || words.isWord(stem + u'e'))) {
                return true;
            }
        }
        return w.endsWith(QLatin1String("ly")) && words.isWord(w.chopped(2));
    };
    QString cut;
    for (qsizetype k = 5; k + 4 <= headword.size(); ++k) {
        const QString first = headword.left(k);
        const QString second = headword.mid(k);
        if (words.isWord(first) && words.isWord(second) && inflected(first)) {
            if (!cut.isEmpty()) {
                return headword;
            }
            cut = first + u' ' + second;
        }
    }
    return cut.isEmpty() ? headword : cut;
}

} // namespace

QStringList withLabelsJoined(QStringList senses) {
    static const QRegularExpression label(QStringLiteral("^\\([^()]{1,16}\\)$"));
    for (qsizetype i = 0; i + 1 < senses.size();) {
        if (label.match(senses[i]).hasMatch()) {
            senses[i + 1].prepend(senses[i] + u' ');
            senses.removeAt(i);
        } else {
            ++i;
        }
    }
    return senses;
}

} // namespace peltavo::freedict
