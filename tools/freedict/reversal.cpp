// Reversing the English-Turkish dictionary: clean Turkish terms and the English headwords they
// translate.

#include "reversal.h"

#include "freedict.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace peltavo::freedict {

namespace {

QRegularExpression unicodeRe(const QString& pattern) {
    return QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
}

// A word of a clean term: letters of the Turkish alphabet (with the circumflexed vowels of older
// spellings), joined by hyphens or apostrophes.
bool isTurkishWord(const QString& word) {
    static const QRegularExpression re = unicodeRe(QStringLiteral(
        "^[abcçdefgğhıijklmnoöprsştuüvyzâîû]+(?:['-][abcçdefgğhıijklmnoöprsştuüvyzâîû]+)*$"));
    return re.match(word).hasMatch();
}

// Whether a Turkish text ends in a verb's infinitive ("teslim etmek").
bool endsInVerb(const QString& text) {
    static const QRegularExpression verb = unicodeRe(QStringLiteral("m[ae]k\\W*$"));
    return verb.match(text).hasMatch();
}

QSet<QString> wordSet(const char* words) {
    const QStringList list = QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

// Terms that describe rather than translate ("bir çeşit balık", "balık gibi", "denize ait",
// "denizci olmayan kimse"), that are no term at all ("vb", "kdili") or that hold English words
// ("the", "of") or a lone letter.
bool isDescription(const QStringList& words) {
    // Words that no term holds: conjunctions, abbreviations, English function words.
    static const QSet<QString> anywhere =
        wordSet("gibi için ile veya ve ya yahut vb vs vesaire bkz örn kdili önek sonek "
                "the of to and or up");
    // Words that end a description rather than a name.
    static const QSet<QString> last = wordSet(
        "ait olan olmayan kimse kimseler şey şeyler adam yer ilgili kabilinden benzer olarak "
        "eden veren gelen bulunan yapılan edilen edilmiş yapılmış edilmemiş edilebilir edilemez "
        "mümkün ibaret şeklinde şeklindeki biçiminde tarzda şekilde surette halde göre dair "
        "mahsus özgü cinsinden türünden nevinden yakışır uygun bir biri türü çeşidi");
    // "çeşit balık", "bir tür balık"
    static const QSet<QString> kinds = wordSet("çeşit tür nevi cins bu şu");
    // Three words make a term when they make a verb ("gereğinden fazla pişirmek"); otherwise
    // they describe ("gereği olmayan harf").
    if (words.size() == 3 && !endsInVerb(words.back())) {
        return true;
    }
    if (words.size() > 1 && (kinds.contains(words[0]) || last.contains(words.back()) ||
                             (words[0] == QStringLiteral("bir") &&
                              (kinds.contains(words[1]) || last.contains(words[1]))))) {
        return true;
    }
    return std::any_of(words.begin(), words.end(), [](const QString& w) {
        return anywhere.contains(w) || (w.size() == 1 && w != u'o');
    });
}

// Labels that put a sense aside from the word's plain use: register ("argo", "k. dili", "eski"),
// subject ("bot.", "den."), languages ("Lat."), the plural's own meaning ("çoğ."), interjections.
// Regional spelling, grammatical forms ("(-ped, -ping)", "(stood)") and word classes do not.
bool isSideLabel(const QString& label) {
    static const QSet<QString> neutral = {
        QStringLiteral("a.b.d."), QStringLiteral("a.b.d"), QStringLiteral("abd"),
        QStringLiteral("i̇ng."),   QStringLiteral("ing"),   QStringLiteral("ing."),
        QStringLiteral("edat"),   QStringLiteral("zam."),  QStringLiteral("bağlaç"),
        QStringLiteral("sıfat"),  QStringLiteral("ünlem"), QStringLiteral("isim"),
        QStringLiteral("zarf"),   QStringLiteral("fiil"),  QStringLiteral("b. h."),
        QStringLiteral("b.h."),   QStringLiteral("k. h."), QStringLiteral("k.h.")};
    static const QRegularExpression forms(QStringLiteral("^-|^[a-z ,']+$"));
    const QString l = turkishLower(label.simplified());
    if (neutral.contains(l) || l == QStringLiteral("ing.") || l.startsWith(u'-')) {
        return false;
    }
    return l != QStringLiteral("slang") && l != QStringLiteral("colloq")
               ? !forms.match(l).hasMatch()
               : true;
}

struct SenseTerms {
    QStringList terms;
    int pieces = 0;         // comma-separated pieces of the sense's term part
    bool sideLabel = false; // the sense starts with a side label
    bool excluded = false;  // the sense starts with a label of a use the learner should not copy
    int capital = 0;        // the English word has its capital: see Reversal::Candidate
    bool described = false; // the sense has a piece too long for a term: it explains
};

// Labels of senses that the reversal leaves out: archaic, poetic, dialect or regional, rare,
// slang, vulgar and pejorative uses, and foreign words ("(Fr.) bonjur").
bool isExcludedLabel(const QString& label) {
    static const QSet<QString> excluded =
        wordSet("eski esk şiir argo slang kaba leh iskoç nad aşağ fr lat al it yu yun isp ar fars");
    QString l = turkishLower(label.simplified());
    while (l.endsWith(u'.')) {
        l.chop(1);
    }
    return excluded.contains(l.trimmed()) || l.startsWith(u"güney");
}

// The text of a sense that may hold Turkish terms: without parenthesised labels and remarks,
// up to the first full stop or colon (what follows is an English phrase of the headword with its
// own translation, or an explanation), and up to an abbreviation, cross-reference or affix label
// (what follows that is English, or no word).
QString termPart(QString sense, QStringList* labels) {
    static const QRegularExpression english =
        unicodeRe(QStringLiteral("\\((?:kıs|bak|önek|sonek)\\.?\\)"));
    static const QRegularExpression innermost(QStringLiteral("\\([^()]*\\)|\\[[^\\[\\]]*\\]"));
    static const QRegularExpression leadingLabel(QStringLiteral("^\\s*\\(([^()]*)\\)"));
    static const QRegularExpression end(QStringLiteral("[.:!?()\\[\\]]"));
    // Most senses have no parenthesis and no full stop: the work below is for those that do.
    const bool brackets = sense.contains(u'(') || sense.contains(u')') || sense.contains(u'[');
    if (brackets) {
        const auto m = english.match(sense);
        if (m.hasMatch()) {
            sense.truncate(m.capturedStart());
        }
        // The plural's form inside a broken label: "(çoğ.) -children) bebek, çocuk".
        static const QRegularExpression pluralForm =
            unicodeRe(QStringLiteral("^\\s*\\(çoğ\\.?\\)\\s*-?[A-Za-z]+\\)"));
        sense.remove(pluralForm);
    }
    for (auto label = brackets ? leadingLabel.match(sense) : QRegularExpressionMatch();
         label.hasMatch(); label = leadingLabel.match(sense)) {
        *labels << label.captured(1);
        sense.remove(0, label.capturedEnd());
        sense = sense.trimmed();
        if (sense.startsWith(u',')) {
            sense.remove(0, 1); // "(b. h.), (astr.) ..."
        }
    }
    static const QRegularExpression stray(QStringLiteral("^[\\s.,;:]+")); // "1. .gözyaşı"
    sense.remove(stray);
    // A label inside the sense starts a piece of another kind, often a Latin name:
    // "sarı çinte kuşu, (zool.) Emberiza citrinella". The marker keeps that piece out.
    static const QRegularExpression pieceLabel(QStringLiteral("([,;/]\\s*)\\([^()]*\\)"));
    if (brackets) {
        sense.replace(pieceLabel, QStringLiteral("\\1\u0001"));
        for (qsizetype before = -1; before != sense.size();) {
            before = sense.size();
            sense.replace(innermost, QStringLiteral(" "));
        }
    }
    // An unbalanced remark: "(çoğ.) women) kadın".
    const qsizetype close = sense.lastIndexOf(u')');
    if (close >= 0 && !sense.left(close).contains(u'(')) {
        sense.remove(0, close + 1);
    }
    // Subject labels that lost their parentheses: "(biyol.), kim. globulin".
    static const QRegularExpression bareLabel = unicodeRe(QStringLiteral(
        "(?<!\\w)(?:anat|astr|biyol|bot|coğr|den|dilb|ecza|elek|fels|fiz|foto|geom|gram|hav|"
        "huk|ikt|jeol|kil|kim|leh|mad|mak|mal|mat|matb|mec|mim|min|mit|müz|nad|oto|pol|psik|"
        "tic|tıb|zool)\\.(?!\\w)"));
    if (sense.contains(u'.')) {
        sense.replace(bareLabel, QStringLiteral(" "));
    }
    const qsizetype stop = sense.indexOf(end);
    if (stop >= 0) {
        sense.truncate(stop);
    }
    return sense;
}

// A Latin name as the English-Turkish dictionary gives them for plants and animals, "Otis tarda",
// as opposed to a Turkish name, "Türk lirası", "Kova Burcu": more than one word, plain ASCII
// letters, the last one not ending in a Turkish possessive vowel.
bool isLatinName(const QString& term) {
    static const QRegularExpression latin(QStringLiteral("^[A-Z][a-z]+(?: [a-z]+)*(?<![iıuü])$"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    return term.contains(u' ') && latin.match(term).hasMatch();
}

// Whether a word is written in capitals only ("ABD", "TBMM"): abbreviations, and labels.
bool hasAbbreviation(const QString& term) {
    static const QRegularExpression capitals = unicodeRe(QStringLiteral("(?<!\\w)\\p{Lu}{2,}"));
    return capitals.match(term).hasMatch();
}

// A note on how the English word is used rather than a translation: "ünlemle kullanılır", or
// the name of a word class that labels the sense ("ünlem, (A.B.D.) Hay Allah!") unless the
// English word names that class.
bool isUsageNote(const QStringList& words, const QString& englishHeadword) {
    if (words.back() == QStringLiteral("kullanılır")) {
        return true;
    }
    static const QHash<QString, QStringList> classes = {
        {QStringLiteral("ünlem"), {QStringLiteral("interjection"), QStringLiteral("exclamation")}},
        {QStringLiteral("bağlaç"), {QStringLiteral("conjunction")}},
        {QStringLiteral("edat"),
         {QStringLiteral("preposition"), QStringLiteral("postposition"),
          QStringLiteral("particle")}},
    };
    const auto names = classes.constFind(words.front());
    return words.size() == 1 && names != classes.cend() &&
           !names->contains(englishHeadword.toLower());
}

bool isConjunction(const QString& word) {
    return word == QStringLiteral("veya") || word == QStringLiteral("ve") ||
           word == QStringLiteral("ya") || word == QStringLiteral("yahut");
}

SenseTerms analyse(const QString& sense, const QString& englishHeadword) {
    static const QRegularExpression separators(QStringLiteral("[,;/]"));
    static const QRegularExpression ragged =
        unicodeRe(QStringLiteral("^[^\\w\\x{1}-]+|[^\\w-]+$|^\\d+\\s*"));
    static const QRegularExpression blanks(QStringLiteral("[\\s,]+"));
    // A capital I that stands for an l: no Turkish word starts with "ı" and a vowel.
    static const QRegularExpression misreadL =
        unicodeRe(QStringLiteral("(?<!\\w)I(?=[aâeiîoöuüû])"));
    const QStringList echoes = englishHeadword.toLower().split(blanks, Qt::SkipEmptyParts);
    SenseTerms out;
    QStringList labels;
    QStringList pieces;
    // Two verbs without their comma ("canlandırmak şevklendirmek") are two terms.
    static const QRegularExpression verbs =
        unicodeRe(QStringLiteral("^\\s*(\\p{L}+m[ae]k)\\s+(\\p{L}+m[ae]k)\\s*$"));
    for (const QString& piece : termPart(sense, &labels).split(separators)) {
        const auto m = verbs.match(piece);
        if (m.hasMatch()) {
            pieces << m.captured(1) << m.captured(2);
        } else {
            pieces << piece;
        }
    }
    for (const QString& label : labels) {
        out.sideLabel = out.sideLabel || isSideLabel(label);
        out.excluded = out.excluded || isExcludedLabel(label);
        if (QString(label).remove(u' ') == QStringLiteral("b.h.")) { // "büyük harfle"
            out.capital = 2;
        }
    }
    std::vector<QStringList> words;
    QStringList written; // the pieces as the source writes them
    for (QString& piece : pieces) {
        piece.replace(u'\u2019', u'\'');
        piece.replace(misreadL, QStringLiteral("l")); // "Iütfen" for "lütfen"
        written << piece.remove(ragged).simplified();
        piece = turkishLower(written.back());
        words.push_back(piece.split(u' ', Qt::SkipEmptyParts));
    }
    // A list that runs on into a longer text ("su, hava veya ses hareketlerini ...") names the
    // parts of a description; so do short pieces after a description's first piece.
    std::vector<bool> partOfText(pieces.size(), false);
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i].size() <= 3) {
            continue;
        }
        out.described = true;
        const bool runsOn = isConjunction(words[i].value(1)) || isConjunction(words[i].value(2));
        if (i == 0 || runsOn) {
            for (size_t k = i == 0 ? words.size() : i; k-- > 0;) {
                if (i != 0 && words[k].size() > 3) {
                    break;
                }
                partOfText[k] = true;
            }
        }
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const QString& piece = pieces[static_cast<qsizetype>(i)];
        const QStringList& w = words[i];
        if (w.isEmpty()) {
            continue;
        }
        ++out.pieces;
        if (partOfText[i] || w.size() > 3 || piece.startsWith(u'-') || piece.endsWith(u'-') ||
            !std::all_of(w.begin(), w.end(), isTurkishWord) || isDescription(w) ||
            isUsageNote(w, englishHeadword)) {
            continue;
        }
        // The headword itself, or a word made from it ("hazel" in "elâ hazelnut fındık").
        const bool echoed = std::any_of(w.begin(), w.end(), [&](const QString& x) {
            return std::any_of(echoes.begin(), echoes.end(), [&](const QString& e) {
                return x == e || (e.size() >= 4 && x.startsWith(e));
            });
        });
        // A name keeps its capitals ("Mısır", Egypt, is not "mısır", maize); Latin names and
        // names in a side sense ("(zool.) Natrix") are no Turkish terms.
        const QString& source = written[static_cast<qsizetype>(i)];
        const bool name = source.front().isUpper();
        if (echoed || (name && (out.sideLabel || isLatinName(source) || hasAbbreviation(source)))) {
            continue;
        }
        const QString term = name ? source : piece;
        out.capital = std::max(out.capital, name ? 1 : 0);
        if (!out.terms.contains(term)) {
            out.terms << term;
        }
    }
    return out;
}

} // namespace

QString turkishLower(const QString& text) {
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isUpper(); })) {
        return text; // shared, not copied
    }
    // Only I and İ differ from the general rules; QLocale's own is many times slower.
    QString out = text;
    for (QChar& c : out) {
        if (c == u'I') {
            c = u'ı';
        } else if (c == u'İ') {
            c = u'i';
        }
    }
    return out.toLower();
}

QStringList turkishTerms(const QString& sense, const QString& englishHeadword) {
    return analyse(sense, englishHeadword).terms;
}

void Reversal::add(const ReversalSource& source) {
    static const QRegularExpression plain(
        QStringLiteral("^[A-Za-z]+(?:['-][A-Za-z]+)*(?: [A-Za-z]+(?:['-][A-Za-z]+)*){0,2}$"));
    const QString english = source.english.section(u',', 0, 0).trimmed();
    // Two letters make an abbreviation ("ba" for Buenos Aires) unless they are a common word.
    static const QSet<QString> twoLetters =
        wordSet("am an as at be by do go he hi if in is it me my no of oh ok on or ox so to up "
                "us we ye");
    if (english.size() < 2 || (english.size() == 2 && !twoLetters.contains(english)) ||
        !plain.match(english).hasMatch() || english.toUpper() == english) {
        return;
    }
    const qsizetype leading = std::min<qsizetype>(
        source.senses.size(), source.runOn ? kLeadingRunOnSenses : kLeadingSenses);
    for (qsizetype i = 0; i < leading; ++i) {
        const SenseTerms found = analyse(source.senses[i], english);
        if (found.excluded) {
            continue;
        }
        for (qsizetype j = 0; j < found.terms.size(); ++j) {
            int group = 2;
            if (found.sideLabel || found.described) {
                group = 3;
            } else if (i == 0 && j == 0) {
                group = 0;
            } else if (i == 0 || j <= 1 || found.pieces == 1) {
                group = 1;
            }
            // A phrase from inside another entry gives way to the headwords.
            if (source.runOn && english.contains(u' ')) {
                group = std::min(group + 1, 3);
            }
            const Candidate here{group, static_cast<int>(i), static_cast<int>(j), found.capital};
            Candidate& c = byTerm_[found.terms[j]][english];
            if (c.group < 0 || here < c) {
                c = here;
            }
        }
    }
}

namespace {

// The steps of the SCOWL levels, 0 for the most common words.
int levelRank(int level) {
    static constexpr int kSteps[] = {10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
    int rank = 0;
    for (int step : kSteps) {
        if (level <= step) {
            return rank;
        }
        ++rank;
    }
    return rank;
}

// The English headword as it is written: the words that the lists hold with a capital only get
// it ("english" is "English"); for a Turkish name, a phrase with such a word gets capitals
// throughout but for its small words ("great britain" is "Great Britain").
QString spelt(const QString& english, bool turkishName, int capital, const EnglishWords& words) {
    static const QSet<QString> small = wordSet("and of the on upon de du la");
    if (capital > 0 && !english.contains(u' ')) {
        QString name = english;
        name[0] = name[0].toUpper();
        if (capital == 2 || words.spells(name)) {
            return name;
        }
    }
    QStringList parts = english.split(u' ');
    std::vector<bool> names;
    for (const QString& part : parts) {
        names.push_back(words.isName(part));
    }
    const bool anyName = std::find(names.begin(), names.end(), true) != names.end();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (names[static_cast<size_t>(i)] ||
            (turkishName && anyName && (i == 0 || !small.contains(parts[i])))) {
            parts[i][0] = parts[i][0].toUpper();
        }
    }
    return parts.join(u' ');
}

// How far a group sets a word back against words one SCOWL step more common.
int groupPenalty(int group) {
    static constexpr int kPenalty[] = {0, 1, 3, 4};
    return kPenalty[group];
}

} // namespace

std::vector<Reversal::Result> Reversal::finish(const EnglishWords& common, int cap) const {
    struct Ranked {
        QString english;
        int score;
        Candidate where;
    };
    std::vector<Result> out;
    out.reserve(byTerm_.size());
    for (auto term = byTerm_.cbegin(); term != byTerm_.cend(); ++term) {
        std::vector<Ranked> ranked;
        for (auto e = term->cbegin(); e != term->cend(); ++e) {
            // A term from the third sense on gives way to one from the first senses of a
            // rarer word: "rüşvet" is "bribe" before "price", whose fourth sense it is.
            ranked.push_back({e.key(),
                              levelRank(common.level(e.key())) + groupPenalty(e->group) +
                                  (e->sense >= 2 ? 1 : 0),
                              *e});
        }
        std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
            if (a.score != b.score) {
                return a.score < b.score;
            }
            if (a.where < b.where || b.where < a.where) {
                return a.where < b.where;
            }
            return a.english < b.english;
        });
        Result r{term.key(), {}};
        const bool name = term.key().front().isUpper();
        for (const Ranked& x : ranked) {
            if (r.english.size() == cap) {
                break;
            }
            r.english << spelt(x.english, name, x.where.capital, common);
        }
        out.push_back(std::move(r));
    }
    std::sort(out.begin(), out.end(),
              [](const Result& a, const Result& b) { return a.turkish < b.turkish; });
    return out;
}

} // namespace peltavo::freedict
