// Repairs of the English-Turkish dictionary's text, one rule per kind of damage.

#include "textrepair.h"

#include "freedict.h"
#include "reversal.h"
#include "speller.h"

#include <QRegularExpression>

#include <algorithm>

namespace peltavo::freedict {

namespace {

QRegularExpression unicodeRe(const QString& pattern) {
    return QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
}

bool isVowel(QChar c) {
    static const QString vowels = QStringLiteral("aeıioöuüâîûAEIİOÖUÜ");
    return vowels.contains(c);
}

bool isApostrophe(QChar c) {
    return c == u'\'' || c == u'\u2019';
}

bool isAsciiLetters(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
}

// Calls fix(word) for every run of letters in text and puts back what it returns.
template <typename Fix> QString mapWords(const QString& text, Fix fix, bool withApostrophes) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!text[i].isLetter()) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() &&
               (text[end].isLetter() || (withApostrophes && isApostrophe(text[end]) &&
                                         end + 1 < text.size() && text[end + 1].isLetter()))) {
            ++end;
        }
        out += fix(text.mid(i, end - i));
        i = end;
    }
    return out;
}

} // namespace

namespace {

// A word with a capital first letter and small letters after it, counted as written.
bool isCapitalized(const QString& word) {
    return word.size() > 1 && word.front().isUpper() &&
           std::all_of(word.begin() + 1, word.end(), [](QChar c) { return c.isLower(); });
}

// Counts the words of text in lower case, and in capitalized, when given, those written with a
// capital first letter as they are written.
void countWords(const QString& text, QHash<QString, int>& counts,
                QHash<QString, int>* capitalized = nullptr) {
    for (qsizetype i = 0; i < text.size();) {
        if (!text[i].isLetter()) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text[end].isLetter()) {
            ++end;
        }
        const QString word = text.mid(i, end - i);
        // A capital I among small letters may be a misread l ("Iânet"): such a word would pass
        // for a word with ı ("ıânet") when counted.
        if (!word.contains(u'I') ||
            std::none_of(word.begin(), word.end(), [](QChar c) { return c.isLower(); })) {
            ++counts[turkishLower(word)];
        }
        if (capitalized && isCapitalized(word)) {
            ++(*capitalized)[word];
        }
        i = end;
    }
}

} // namespace

QString turkishCapitalized(const QString& word) {
    QString out = word;
    out[0] = word[0] == u'i' ? u'İ' : word[0] == u'ı' ? u'I' : word[0].toUpper();
    return out;
}

namespace {

// Counts the pairs of words in small letters that stand one blank apart: "beden eğitimi".
void countPairs(const QString& text, QHash<QString, int>& pairs) {
    qsizetype previousStart = -1; // the word before, when it ended one blank before this one
    for (qsizetype i = 0; i < text.size();) {
        if (!text[i].isLetter()) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool lower = true;
        while (end < text.size() && text[end].isLetter()) {
            lower = lower && text[end].isLower();
            ++end;
        }
        const bool afterBlank = i >= 2 && text[i - 1] == u' ' && text[i - 2].isLetter();
        if (lower && afterBlank && previousStart >= 0) {
            ++pairs[text.mid(previousStart, end - previousStart)];
        }
        previousStart = lower ? i : -1;
        i = end;
    }
}

} // namespace

void Vocabulary::count(const QStringList& senses) {
    static const QRegularExpression number(QStringLiteral("^\\d+\\.\\s+"));
    bool own = true;
    for (QString sense : senses) {
        sense.remove(number);
        countWords(sense, turkish_, &capitalized_);
        countPairs(sense, pairs_);
        if (own) {
            const qsizetype stop = sense.indexOf(u'.');
            countWords(stop < 0 ? sense : sense.left(stop), own_);
            own = stop < 0;
        }
    }
}

int Vocabulary::ownTurkish(const QString& word) const {
    return own_.value(turkishLower(word));
}

int Vocabulary::turkish(const QString& word) const {
    return turkish_.value(turkishLower(word));
}

bool Vocabulary::english(const QString& word) const {
    return english_.isWord(word);
}

bool Vocabulary::spelt(const QString& word) const {
    return speller_ && speller_->accepts(word);
}

bool Vocabulary::writesPrefix(const QString& prefix) const {
    if (sorted_.isEmpty()) {
        sorted_ = turkish_.keys();
        sorted_.sort();
    }
    const auto at = std::lower_bound(sorted_.cbegin(), sorted_.cend(), prefix);
    return at != sorted_.cend() && at->startsWith(prefix);
}

int Vocabulary::pair(const QString& first, const QString& second) const {
    return pairs_.value(first + u' ' + second);
}

QString fixCapitalI(const QString& text, const Vocabulary& words) {
    if (!text.contains(u'I')) {
        return text;
    }
    return mapWords(
        text,
        [&](const QString& word) {
            const qsizetype n = word.size();
            if (!word.contains(u'I') ||
                std::none_of(word.begin(), word.end(), [](QChar c) { return c.isLower(); }) ||
                words.english(word)) {
                return word;
            }
            // The capitals that stand for a small letter: after a small letter (or after such a
            // capital), or first before a small vowel.
            std::vector<qsizetype> bad;
            for (qsizetype k = 0; k < n; ++k) {
                if (word[k] != u'I') {
                    continue;
                }
                const bool afterSmall =
                    k > 0 && (word[k - 1].isLower() ||
                              (word[k - 1] == u'I' && !bad.empty() && bad.back() == k - 1));
                const bool firstBeforeVowel =
                    k == 0 && n > 1 && word[1].isLower() && isVowel(word[1]);
                if (afterSmall || firstBeforeVowel) {
                    bad.push_back(k);
                }
            }
            if (bad.empty() || bad.size() > 4) {
                return word;
            }
            // Every choice of l or ı; the one whose word is known best wins.
            QString best;
            int bestScore = 0;
            for (unsigned mask = 0; mask < (1u << bad.size()); ++mask) {
                QString candidate = word;
                for (size_t b = 0; b < bad.size(); ++b) {
                    candidate[bad[b]] = (mask >> b) & 1 ? u'ı' : u'l';
                }
                const int score = words.english(candidate) ? 1000000 : words.turkish(candidate);
                if (score > bestScore) {
                    best = candidate;
                    bestScore = score;
                }
            }
            if (bestScore > 0) {
                return best;
            }
            // An unknown word: an l before a vowel (ı never stands before one), at the end after
            // a vowel and in English words; a ı between consonants.
            const bool englishLetters = isAsciiLetters(QString(word).remove(u'I'));
            QString guess = word;
            for (qsizetype k : bad) {
                const bool vowelAfter = k + 1 < n && isVowel(word[k + 1]) && word[k + 1] != u'I';
                const bool vowelBefore = k > 0 && isVowel(guess[k - 1]);
                guess[k] = englishLetters || vowelAfter || vowelBefore ? u'l' : u'ı';
            }
            return guess;
        },
        false);
}

QString joinLineBreakHyphens(const QString& text, const Vocabulary& words) {
    static const QRegularExpression broken = unicodeRe(QStringLiteral("(\\p{L}+)- +(\\p{Ll}+)"));
    if (!text.contains(QLatin1String("- "))) {
        return text;
    }
    const auto known = [&](const QString& word, int times) {
        return words.english(word) || words.turkish(word) >= times;
    };
    QString out;
    qsizetype last = 0;
    for (auto it = broken.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString before = m.captured(1);
        const QString after = m.captured(2);
        // A piece of a broken word may recur ("conten- tiousness"); a word of its own is common.
        if (known(before + after, 1) || !known(after, 5)) {
            out += QStringView(text).mid(last, m.capturedStart() - last);
            out += before + after;
            last = m.capturedEnd();
        }
    }
    out += QStringView(text).mid(last);
    return out;
}

QString fixLostPossessive(const QString& text, const Vocabulary& words) {
    static const QRegularExpression pronounHyphen(
        QStringLiteral("\\b(one|someone|anyone|everyone|somebody|anybody|nobody)- (?=[a-z])"));
    static const QRegularExpression lostS(
        QStringLiteral("(?<![\\w'])([A-Za-z]+)['’] (?=[A-Za-z])"));
    static const QRegularExpression looseSuffix = unicodeRe(QStringLiteral(
        "(?<!\\w)(\\p{Lu}\\p{L}+)['’] (un|ün|in|ın|nun|nün|nin|nın|a|e|ya|ye|da|de|ta|te|dan|den|"
        "tan|ten|ı|i|u|ü|yı|yi|yu|yü|la|le|yla|yle|daki|deki|taki|teki)(?!\\p{L})"));
    QString out = text;
    out.replace(pronounHyphen, QStringLiteral("\\1's "));
    QString fixed;
    qsizetype last = 0;
    for (auto it = lostS.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        const QString word = m.captured(1);
        if (word.endsWith(u's') || !words.english(word)) {
            continue;
        }
        fixed += QStringView(out).mid(last, m.capturedStart() - last);
        fixed += word + QStringLiteral("'s ");
        last = m.capturedEnd();
    }
    fixed += QStringView(out).mid(last);
    fixed.replace(looseSuffix, QStringLiteral("\\1'\\2"));
    return fixed;
}

QString fixConverterMarkers(const QString& text, const Vocabulary& words) {
    if (!text.contains(QLatin1String("(ask.)")) && !text.contains(QLatin1String("(I.)"))) {
        return text;
    }
    static const QRegularExpression marker(QStringLiteral("\\((ask|I)\\.\\)"));
    static const QRegularExpression nextWord(QStringLiteral("^ +([A-Za-z]+)"));
    static const QRegularExpression labelsOnly =
        unicodeRe(QStringLiteral("^[\\s,]*(?:\\([^()]*\\)[\\s,]*)*$"));
    static const QRegularExpression endOfPhrase =
        unicodeRe(QStringLiteral("^ *(?:[.,;]|\\s\\p{Lu})"));
    QString out;
    qsizetype last = 0;
    for (auto it = marker.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString rest = text.mid(m.capturedEnd());
        const auto next = nextWord.match(rest);
        const bool englishNext = next.hasMatch() && words.english(next.captured(1)) &&
                                 next.captured(1).front().isLower();
        QString replacement;
        qsizetype start = m.capturedStart();
        if (m.captured(1) == u"ask") {
            // The label stands before a Turkish sense; the verb inside an English phrase.
            if (englishNext && !labelsOnly.match(text.left(start)).hasMatch()) {
                replacement = QStringLiteral("ask");
            }
        } else if (rest.startsWith(u'\'') || rest.startsWith(u'’') || englishNext) {
            // "(kıs.)(I.) am": the word after a label gets its blank.
            replacement =
                start > 0 && text[start - 1] == u')' ? QStringLiteral(" I") : QStringLiteral("I");
        } else if (start > 0 && text[start - 1] == u' ' && start > 1 &&
                   !text[start - 2].isSpace() &&
                   (rest.isEmpty() || endOfPhrase.match(rest).hasMatch())) {
            // "Dear me (I.) Aman (I.)": an exclamation mark.
            replacement = QStringLiteral("!");
            --start;
        }
        if (replacement.isNull()) {
            continue;
        }
        out += QStringView(text).mid(last, start - last);
        out += replacement;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString joinSplitWords(const QString& text, const Vocabulary& words) {
    static const QRegularExpression pair = unicodeRe(
        QStringLiteral("(?<![\\w'])(\\p{L}+(?:'\\p{Ll}+)?) (\\p{Ll}+(?:'\\p{Ll}+)?)(?![\\w'])"));
    if (!text.contains(u' ')) {
        return text;
    }
    const auto loose = [&](const QString& piece) {
        return !words.english(piece) && words.turkish(piece) < 2;
    };
    QString out;
    qsizetype last = 0;
    qsizetype from = 0;
    for (auto m = pair.match(text, from); m.hasMatch(); m = pair.match(text, from)) {
        const QString first = QString(m.captured(1)).remove(u'\'');
        const QString second = QString(m.captured(2)).remove(u'\'');
        // An English suffix written apart: "touch able", "bend able".
        static const QSet<QString> suffixes = {QStringLiteral("able"), QStringLiteral("ible"),
                                               QStringLiteral("ness"), QStringLiteral("less"),
                                               QStringLiteral("ment"), QStringLiteral("ful"),
                                               QStringLiteral("ly"),   QStringLiteral("ity"),
                                               QStringLiteral("tion"), QStringLiteral("ing")};
        // "ing." before a comma is the label of British use.
        const bool label =
            second == u"ing" && m.capturedEnd() < text.size() && text[m.capturedEnd()] == u'.';
        const bool suffix =
            !label && suffixes.contains(second) && isAsciiLetters(first) &&
            (words.english(first + second) || words.words().isLemma(first + second));
        const QString joined = first + second;
        // "özel likle": a piece that the spelling dictionary rejects, and a whole that it takes.
        const auto rejected = [&](const QString& piece) {
            return !words.spelt(piece) && !words.english(piece) && !words.words().isLemma(piece);
        };
        const bool spelt = !suffix && joined.size() >= 5 && words.hasSpeller() &&
                           (rejected(first) || rejected(second)) && words.spelt(joined) &&
                           !words.english(joined);
        // The other two ways need a piece that the text writes once at most.
        if (!suffix && !spelt && words.turkish(first) > 1 && words.turkish(second) > 1) {
            from = m.capturedStart(2);
            continue;
        }
        // An English word: "neigh borly"; a Turkish one that the text writes whole elsewhere:
        // "ko laylıkla".
        const bool english = suffix || (joined.size() >= 6 && isAsciiLetters(joined) &&
                                        words.english(joined) && (loose(first) || loose(second)));
        const bool turkish = !english && joined.size() >= 6 && words.turkish(joined) >= 3 &&
                             !words.english(first) && !words.english(second) &&
                             (words.turkish(first) <= 1 || words.turkish(second) <= 1);
        if (english || turkish || spelt) {
            out += QStringView(text).mid(last, m.capturedStart() - last);
            out += m.captured(1) + m.captured(2);
            last = m.capturedEnd();
            from = m.capturedEnd();
        } else {
            from = m.capturedStart(2); // the second word may start the next pair
        }
    }
    out += QStringView(text).mid(last);
    return out;
}

QString fixMisreadLetters(const QString& text, const Vocabulary& words) {
    // What the scan read for a Turkish letter: the letter without its mark, or an l for ı.
    static const std::pair<QChar, QChar> misread[] = {{u's', u'ş'}, {u'g', u'ğ'}, {u'i', u'ı'},
                                                      {u'c', u'ç'}, {u'o', u'ö'}, {u'u', u'ü'},
                                                      {u'l', u'ı'}};
    return mapWords(
        text,
        [&](const QString& word) {
            if (word.size() < 3 ||
                !std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLower(); })) {
                return word;
            }
            // The same words come back again and again: each is decided once.
            if (const auto known = words.misreadCache_.constFind(word);
                known != words.misreadCache_.cend()) {
                return *known;
            }
            QString& decided = words.misreadCache_[word];
            decided = word;
            if (words.english(word)) {
                return word;
            }
            const int seen = words.turkish(word);
            QString best;
            int bestCount = 0;
            for (qsizetype k = 0; k < word.size(); ++k) {
                for (const auto& [wrong, right] : misread) {
                    // A final i may be right ("kitabi", "tamamiyle"): Arabic and Persian endings.
                    if (word[k] != wrong ||
                        (wrong == u'i' && (k + 1 == word.size() || word.mid(k + 1, 3) == u"yle"))) {
                        continue;
                    }
                    QString candidate = word;
                    candidate[k] = right;
                    const int count = words.turkish(candidate);
                    if (count > bestCount) {
                        best = candidate;
                        bestCount = count;
                    }
                }
            }
            // The right word is written much more often than the misread one: three times as
            // often as a word written once or twice, twenty times as often as a commoner one.
            const int ratio = seen <= 2 ? 3 : 20;
            if (bestCount >= 2 && bestCount >= ratio * seen) {
                decided = best;
            }
            return decided;
        },
        false);
}

namespace {

// A confusion of the scanner: what it read, and what the page had.
struct Confusion {
    const char16_t* read;
    const char16_t* meant;
};

// Letters that a scanner takes for others by their shape: ın, rı, lı run together into m, n, h;
// a 1 for an l; an l for a ı.
constexpr Confusion kShapeConfusions[] = {
    {u"m", u"ın"}, {u"m", u"in"}, {u"m", u"nı"}, {u"m", u"rn"}, {u"n", u"rı"}, {u"n", u"ri"},
    {u"h", u"lı"}, {u"h", u"kı"}, {u"h", u"li"}, {u"h", u"ki"}, {u"1", u"l"},  {u"1", u"ı"},
    {u"1", u"i"},  {u"l", u"ı"},  {u"rn", u"m"}, {u"ii", u"ü"}, {u"cl", u"d"},
};

// A Turkish letter that lost its mark, or an i its dot. (An i for a ı is no such confusion: the
// source writes the Arabic and Persian ending î without its mark, "adali", "katilik".)
constexpr Confusion kMarkConfusions[] = {
    {u"s", u"ş"}, {u"g", u"ğ"}, {u"c", u"ç"}, {u"o", u"ö"},
    {u"u", u"ü"}, {u"ı", u"i"}, {u"z", u"s"},
};

// Every word made from `word` by one confusion at one place or at all its places, in `out`.
template <std::size_t N>
void confusedOnce(const QString& word, const Confusion (&confusions)[N], QStringList& out) {
    for (const Confusion& c : confusions) {
        const QString read = QString::fromUtf16(c.read);
        const QString meant = QString::fromUtf16(c.meant);
        int places = 0;
        for (qsizetype at = word.indexOf(read); at >= 0; at = word.indexOf(read, at + 1)) {
            // An h that ends a word is an Arabic or Persian ending ("fesh", "tenkih").
            if (read == u"h" && at + 1 == word.size()) {
                continue;
            }
            out << word.left(at) + meant + word.mid(at + read.size());
            ++places;
        }
        if (places > 1) {
            out << QString(word).replace(read, meant);
        }
    }
}

// Whether the word shows letters or endings that Turkish does not have: an English word that
// the word lists lack ("ranchman", "vampirism", "vendition") is none of the scan's errors.
bool looksEnglish(const QString& word) {
    static const QRegularExpression english(QStringLiteral(
        "[wxq]|ch|sh|th|ph|ck|gh|(?:ism|ist|ness|tion|sion|ment|ly|ity|able|ible|ous|ful|less|"
        "ship|ing)$"));
    return english.match(word).hasMatch();
}

// A word in small letters, or with a capital first ("Ortodokslann"), of four characters or more,
// digits 1 among them.
bool isScanWord(const QString& word) {
    int letters = 0;
    for (QChar c : word) {
        if (c.isLetter()) {
            if (!c.isLower() && (letters > 0 || !c.isUpper())) {
                return false;
            }
            ++letters;
        } else if (c != u'1') {
            return false;
        }
    }
    return letters >= 3 && word.size() >= 4;
}

// The one accepted word among the candidates, or an empty text.
QString onlyAccepted(const QStringList& candidates, const Vocabulary& words) {
    QString found;
    for (const QString& candidate : candidates) {
        if (candidate == found || !words.spelt(candidate)) {
            continue;
        }
        if (!found.isEmpty()) {
            return QStringLiteral("\n"); // more than one: ambiguous
        }
        found = candidate;
    }
    return found;
}

// A repair that restoreMarks considers: the word, and the first place where it differs.
struct Candidate {
    QString word;
    qsizetype at;
};

// Every word made from `word` by giving marks back to up to three of its letters that may have
// lost them ("kustumotu" is "küstümotu"), in `out`. An i for a ı stays out where the word shows
// a circumflex, which the source writes in Arabic and Persian words whose ending î lost its mark;
// an s for a z is a change of its own.
void withMarks(const QString& word, bool circumflex, std::vector<Candidate>& out) {
    std::vector<std::pair<qsizetype, QChar>> places;
    for (qsizetype k = 0; k < word.size(); ++k) {
        for (const Confusion& c : kMarkConfusions) {
            if (word[k] == QChar(c.read[0]) && !(circumflex && word[k] == u'ı')) {
                places.emplace_back(k, QChar(c.meant[0]));
            }
        }
    }
    const std::size_t n = std::min<std::size_t>(places.size(), 12);
    const auto add = [&](std::initializer_list<std::size_t> chosen) {
        QString candidate = word;
        for (std::size_t i : chosen) {
            const auto [at, meant] = places[i];
            if (candidate[at] != word[at] || (chosen.size() > 1 && word[at] == u'z')) {
                return; // two marks for one letter, or a z among other changes
            }
            candidate[at] = meant;
        }
        out.push_back({candidate, places[*chosen.begin()].first});
    };
    // Or one letter throughout, or two ("gurultulu" is "gürültülü", "ucuncu" is "üçüncü").
    for (const Confusion& c : kMarkConfusions) {
        const QChar read(c.read[0]);
        if (read == u'z' || (circumflex && read == u'ı') || !word.contains(read)) {
            continue;
        }
        const QString once = QString(word).replace(read, QChar(c.meant[0]));
        out.push_back({once, word.indexOf(read)});
        for (const Confusion& d : kMarkConfusions) {
            const QChar other(d.read[0]);
            if (&d > &c && other != u'z' && !(circumflex && other == u'ı') &&
                word.contains(other)) {
                out.push_back({QString(once).replace(other, QChar(d.meant[0])),
                               std::min(word.indexOf(read), word.indexOf(other))});
            }
        }
    }
    for (std::size_t a = 0; a < n; ++a) {
        add({a});
        for (std::size_t b = a + 1; b < n; ++b) {
            add({a, b});
            for (std::size_t c = b + 1; c < n; ++c) {
                add({a, b, c});
            }
        }
    }
}

// The word that the scan's lost marks or letters explain, or an empty text. The candidates: up
// to three letters with their marks back, a ğ lost between two vowels ("sıırtmaç" is
// "sığırtmaç"), a consonant read twice in a word with Turkish letters ("tatssız" is "tatsız";
// not "femme", "otto"). A candidate counts when the
// spelling dictionary accepts it or the text writes it twice ("küstümotu", which the dictionary
// lacks), and the text must write it or the first part of it up to its change. Among several,
// those that the dictionary accepts go first. An s for a z
// needs the word itself twice ("bağımsızlık" for "bağımzızlık", but not "ihtisaslı" for
// "ihtizazlı"). A doubled consonant after a word of its own is a suffix ("siklette",
// "şahıssız", "usulle"). The one candidate that counts,
// or among several the one that the text writes, is the repair. A word that the text writes
// three times or more is taken for a word the dictionary lacks, unless the repair is written
// three times as often.
QString restoreMarks(const QString& word, const Vocabulary& words, bool circumflex) {
    static const QRegularExpression turkishLetter(QStringLiteral("[çğıöşü]"));
    std::vector<Candidate> candidates;
    withMarks(word, circumflex, candidates);
    for (qsizetype k = 1; k < word.size(); ++k) {
        if (word[k] != word[k - 1] || !word[k].isLetter()) {
            continue;
        }
        if (isVowel(word[k])) {
            const QString candidate = word.left(k) + u'ğ' + word.mid(k);
            if (words.turkish(candidate) > 0 || words.writesPrefix(candidate.left(k + 2))) {
                candidates.push_back({candidate, k});
            }
        } else {
            const QString stem = word.left(k);
            const QString candidate = stem + word.mid(k + 1);
            if (turkishLetter.match(word).hasMatch() && !words.spelt(stem) &&
                words.turkish(stem) == 0) {
                candidates.push_back({candidate, k});
            }
        }
    }
    QStringList counted;
    for (const auto& [candidate, at] : candidates) {
        const int written = words.turkish(candidate);
        if (counted.contains(candidate) || !(written >= 2 || words.spelt(candidate))) {
            continue;
        }
        if (word[at] == u'z' && candidate[at] == u's'
                ? written < 2 || !words.spelt(candidate)
                : written == 0 &&
                      !words.writesPrefix(candidate.left(std::max<qsizetype>(at + 1, 5)))) {
            continue;
        }
        counted << candidate;
    }
    // Among several: those the dictionary accepts, then those the text writes.
    if (counted.size() > 1 && std::any_of(counted.begin(), counted.end(),
                                          [&](const QString& c) { return words.spelt(c); })) {
        counted.removeIf([&](const QString& c) { return !words.spelt(c); });
    }
    if (counted.size() > 1) {
        counted.removeIf([&](const QString& c) { return words.turkish(c) == 0; });
    }
    if (counted.size() != 1) {
        return {};
    }
    const int seen = words.turkish(word);
    return seen <= 2 || words.turkish(counted.front()) >= 3 * seen ? counted.front() : QString();
}

// withMarks: whether the word may have lost marks or letters (not Latin or English; see
// fixScanErrors).
QString rescan(const QString& word, const Vocabulary& words, bool withMarks) {
    if (!isScanWord(word) || looksEnglish(word) || words.english(word) ||
        words.words().isLemma(word) || words.spelt(word)) {
        return word;
    }
    if (word.front().isUpper()) {
        // A name, or a sentence's first word: the shapes of the small letters only.
        QStringList once;
        confusedOnce(word.mid(1), kShapeConfusions, once);
        for (QString& candidate : once) {
            candidate.prepend(word.front());
        }
        const QString found = onlyAccepted(once, words);
        return found.isEmpty() || found == u"\n" ? word : found;
    }
    QStringList once;
    confusedOnce(word, kShapeConfusions, once);
    QString found = onlyAccepted(once, words);
    if (found.isEmpty()) {
        // Two confusions: "çmglrdatmak" is "çıngırdatmak" (ın read as m, ı as l).
        QStringList twice;
        for (const QString& first : std::as_const(once)) {
            confusedOnce(first, kShapeConfusions, twice);
        }
        found = onlyAccepted(twice, words);
    }
    // A circumflex ("emlâkini") tells a front vowel that the spelling dictionary does not see.
    static const QRegularExpression circumflex(QStringLiteral("[âîû]"));
    if (found.isEmpty() && withMarks && !word.contains(u'1')) {
        found = restoreMarks(word, words, word.contains(circumflex));
    }
    return found.isEmpty() || found == u"\n" ? word : found;
}

// Calls fix(word, the character after it, where it starts) for every run of letters and digits 1
// in text ("te1aş1anmak") and puts back what it returns.
template <typename Fix> QString mapScanWords(const QString& text, Fix fix) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const auto inWord = [&](qsizetype k) { return text[k].isLetter() || text[k] == u'1'; };
        if (!inWord(i)) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && inWord(end)) {
            ++end;
        }
        out += fix(text.mid(i, end - i), end < text.size() ? text[end] : QChar(), i);
        i = end;
    }
    return out;
}

QSet<QString> wordSet(const char* words) {
    const QStringList list = QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

// The small words that Turkish always writes apart.
bool isFunctionWord(const QString& word) {
    static const QSet<QString> words =
        wordSet("bir ve veya ile için gibi kadar göre de da ki her olarak çok daha en bu şu ne o "
                "iki üç dört beş altı yedi sekiz dokuz on yirmi otuz kırk elli yüz bin");
    return words.contains(word);
}

// The pieces that a glued word may be cut into: words of three letters or more, and the small
// words that stand alone.
bool isPiece(const QString& piece, const Vocabulary& words) {
    return (piece.size() >= 3 || isFunctionWord(piece)) && words.spelt(piece);
}

// Whether the two pieces of a glued word are two words: where a small word or a verb that
// makes verbs of nouns ("etmek", "olmak") is one of them, the text writes them apart elsewhere;
// any other pair the text writes apart at least twice and as often as glued. Compounds that
// Turkish writes as one word stay: names of plants and animals ("kanaryaotu", "ateşböceği"),
// words with "ara", "kara", "yarı" ("arasöz", "karakalem", "yarıtanrı"), "-hane", "-name".
bool areTwoWords(const QString& first, const QString& second, const QString& glued,
                 const Vocabulary& words) {
    static const QRegularExpression lightVerb(
        QStringLiteral("^(?:et(?:m|t|ti|en|er|ir|miş)|ed(?:e|i)|ol(?:m|a|u|d|du)|eyle|kıl)"));
    // An adjective made with -li or -siz after a word that describes it: "sert dokulu".
    static const QRegularExpression adjective(QStringLiteral("(?:lı|li|lu|lü|sız|siz|suz|süz)$"));
    static const QSet<QString> prefixes = wordSet("ara kara yarı orta saf ana alaca ak öz tanrı");
    if (prefixes.contains(first)) {
        return false;
    }
    const int apart = words.pair(first, second);
    if (isFunctionWord(first) || isFunctionWord(second) || lightVerb.match(second).hasMatch() ||
        adjective.match(second).hasMatch()) {
        return apart > 0;
    }
    static const QRegularExpression compoundHead(
        QStringLiteral("(?:otu|çiçeği|böceği|balığı|kuşu|ağacı|dikeni|arısı|tavuğu|kuyruğu|"
                       "sizce|hane|name|zade|bilim|bilimi)$"));
    return apart >= 2 && apart >= words.turkish(glued) && !compoundHead.match(second).hasMatch();
}

} // namespace

QString fixScanErrors(const QString& text, const Vocabulary& words) {
    if (!words.hasSpeller()) {
        return text;
    }
    // Words that are no Turkish of the scan's: the species of a Latin name after its genus
    // ("Atropa bella", "Arctium lappa"), a word that an apostrophe joins to another
    // ("segmen'tal", a stress mark, or "do'nun", a name's ending).
    static const QRegularExpression latin(
        QStringLiteral("(?<![\\p{L}'])([A-Z][a-z]+) (?:[a-z]+ )?[a-z]+(?![\\p{L}'])"));
    QSet<qsizetype> foreign;
    for (auto m = latin.globalMatch(text); m.hasNext();) {
        const auto match = m.next();
        if (!words.spelt(match.captured(1)) && words.turkish(match.captured(1).toLower()) == 0) {
            for (qsizetype k = match.capturedEnd(1) + 1; k < match.capturedEnd(); ++k) {
                if (text[k - 1] == u' ') {
                    foreign.insert(k);
                }
            }
        }
    }
    return mapScanWords(text, [&](const QString& word, QChar next, qsizetype start) {
        // A name with its ending after an apostrophe: "Linne'in".
        if (word.size() < 4 || (word.front().isUpper() && isApostrophe(next))) {
            return word;
        }
        // A label ("(terz.)") is an abbreviation: no word to spell.
        const QChar before = start == 0 ? QChar() : text[start - 1];
        const bool marks = !foreign.contains(start) && !isApostrophe(next) &&
                           !isApostrophe(before) && !(before == u'(' && next == u'.');
        const QString key = marks ? word : QStringLiteral("plain:") + word;
        const auto known = words.scanCache_.constFind(key);
        if (known != words.scanCache_.cend()) {
            return *known;
        }
        const QString fixed = rescan(word, words, marks);
        words.scanCache_.insert(key, fixed);
        return fixed;
    });
}

QString splitGluedWords(const QString& text, const Vocabulary& words) {
    if (!words.hasSpeller()) {
        return text;
    }
    return mapWords(
        text,
        [&](const QString& word) {
            if (word.size() < 6 || !isScanWord(word) || !word.front().isLower() ||
                looksEnglish(word) || words.turkish(word) > 2 || words.english(word) ||
                words.words().isLemma(word) || words.spelt(word)) {
                return word;
            }
            const QString key = QStringLiteral("glued:") + word;
            const auto known = words.scanCache_.constFind(key);
            if (known != words.scanCache_.cend()) {
                return *known;
            }
            QString cut;
            int cuts = 0;
            for (qsizetype k = 1; k < word.size() && cuts < 2; ++k) {
                const QString first = word.left(k);
                const QString second = word.mid(k);
                if (isPiece(first, words) && isPiece(second, words)) {
                    ++cuts;
                    cut = first + u' ' + second;
                }
            }
            const QString first = cut.section(u' ', 0, 0);
            const QString second = cut.section(u' ', 1);
            const QString fixed = cuts == 1 && areTwoWords(first, second, word, words) ? cut : word;
            words.scanCache_.insert(key, fixed);
            return fixed;
        },
        false);
}

void Vocabulary::addNames(const QStringList& names) {
    for (const QString& name : names) {
        if (isCapitalized(name)) {
            names_.insert(turkishLower(name), name);
        }
    }
}

QString fixLowercaseNames(const QString& text, const Vocabulary& words) {
    if (words.names_.isEmpty() && !words.hasSpeller()) {
        return text;
    }
    return mapWords(
        text,
        [&](const QString& word) {
            const auto name = words.names_.constFind(word);
            if (name != words.names_.cend() && word.size() >= 4) {
                return *name;
            }
            // A short name may be a common word as well: "çek", "ren" (geyiği); the spelling
            // dictionary decides below.
            if (word.size() < 3 || !word.front().isLower() || words.english(word) ||
                words.spelt(word)) {
                return word;
            }
            const QString capital = turkishCapitalized(word);
            return words.capitalized(capital) >= 3 && words.spelt(capital) ? capital : word;
        },
        false);
}

QString removeStressMarks(const QString& word, const Vocabulary& words, bool knownEnglish) {
    if (!std::any_of(word.begin(), word.end(), isApostrophe)) {
        return word;
    }
    QString plain = word;
    plain.replace(u'\u2019', u'\'');
    const QString lower = plain.toLower();
    // Contractions, possessives and the apostrophes that English spells.
    static const QRegularExpression kept(QStringLiteral(
        "'(?:s|t|ll|re|ve|d|m)$|s'$|^'|^o'|-o'-|^(?:ma'am|ne'er|e'er|o'er|fo'c'sle|rock'n'roll)$"));
    if (kept.match(lower).hasMatch()) {
        return word;
    }
    QString stripped = plain;
    stripped.remove(u'\'');
    // A word in small letters that ends in an English suffix after its mark is English, known
    // or not ("teesella'tion", "piestis'tic"): a Turkish apostrophe follows a name.
    static const QRegularExpression englishEnding = unicodeRe(QStringLiteral(
        "^\\p{Ll}{2,}'(?:\\p{Ll}*')?(?:tions?|sions?|tic|tical|tically|ic|ics|ical|ically|ibly|"
        "ably|ible|able|ish|tish|ingly|ity|ive|ous|ize|ment|ness|ure|ism|ist|ian|ery)$"));
    if (knownEnglish || englishEnding.match(plain).hasMatch()) {
        return stripped;
    }
    if (stripped.size() >= 4 && isAsciiLetters(stripped) && words.english(stripped) &&
        !words.english(plain)) {
        return stripped;
    }
    return word;
}

QString removeStressMarksInText(const QString& text, const Vocabulary& words) {
    if (!std::any_of(text.begin(), text.end(), isApostrophe)) {
        return text;
    }
    return mapWords(
        text, [&](const QString& word) { return removeStressMarks(word, words); }, true);
}

QString normalizeLabels(const QString& text) {
    // Each label as the dictionary writes it most often; a bare one at the start of a sense or
    // after a comma or semicolon gets its parentheses.
    struct Label {
        QRegularExpression written;
        QString normal;
    };
    static const Label labels[] = {
        {unicodeRe(QStringLiteral("\\(k[.,]? ?dili\\.?\\)|\\(k\\.?\\) "
                                  "?dili\\.?(?!\\p{L})|(?<![\\w(])kdili\\.?(?=[\\s,)]|$)")),
         QStringLiteral("(k. dili)")},
        {unicodeRe(QStringLiteral("\\((?:ing|Ing|İng|ingl|İngl)\\.?\\)|"
                                  "(?:^|(?<=[;,:] ))(?:ing|Ing|İng)\\.?(?=,? (?![a-z]+ing\\b))|"
                                  "(?<= )(?:ing|Ing|İng)\\.(?=, \\()")),
         QStringLiteral("(İng.)")},
        {unicodeRe(QStringLiteral("\\(b\\. ?h\\.?\\)|(?<![\\w.(])b\\.h\\.(?= )")),
         QStringLiteral("(b.h.)")},
        {unicodeRe(QStringLiteral("^(?:kıs|kls)\\.?(?= )")), QStringLiteral("(kıs.)")},
        {unicodeRe(QStringLiteral("\\(A\\.B\\.D\\.?\\)|\\(ABD\\)")), QStringLiteral("(A.B.D.)")},
        // Child's and popular speech, the trade mark: "(ç)dili bebek", "(tic.) mark. bakalit".
        {unicodeRe(QStringLiteral("\\(ç\\.?\\) ?dili\\.?(?!\\p{L})|\\(ç\\. ?dili\\.?\\)")),
         QStringLiteral("(ç. dili)")},
        {unicodeRe(QStringLiteral("\\(h\\.?\\) ?dili\\.?(?!\\p{L})|\\(h\\. ?dili\\.?\\)")),
         QStringLiteral("(h. dili)")},
        {unicodeRe(QStringLiteral("\\(tic\\.\\) ?mark\\.|\\(tic\\. ?mark\\.?\\)")),
         QStringLiteral("(tic. mark.)")},
    };
    QString out = text;
    for (const Label& label : labels) {
        out.replace(label.written, label.normal);
    }
    // "(İng.)gemi": the word after a label gets its blank.
    static const QRegularExpression glued =
        unicodeRe(QStringLiteral("(?<=\\([kçh]\\. dili\\)|\\(İng\\.\\)|\\(b\\.h\\.\\)|\\(kıs\\.\\)|"
                                 "\\(tic\\. mark\\.\\))(?=\\p{L})"));
    out.replace(glued, QStringLiteral(" "));
    return out;
}

QString fixStrayMarks(const QString& text, const Vocabulary& words) {
    // "(çoğ.) fowl, fowls) kuş": the plural's forms inside the label.
    static const QRegularExpression plural =
        unicodeRe(QStringLiteral("\\((?:çoğ|çog|coğ|cog)\\.?\\)\\s*([^()]+?)\\)"));
    // "( (sonek)": a parenthesis opened twice.
    static const QRegularExpression doubleOpen(QStringLiteral("\\(\\s+\\("));
    // "ABD, (argo)": the label of American use without its parentheses, before another label.
    static const QRegularExpression american(
        QStringLiteral("^(?:A\\.?B\\.?D\\.?|AB, D),\\s*(?=\\()"));
    // "cila1amak", "a11": a digit 1 for an l.
    static const QRegularExpression one =
        unicodeRe(QStringLiteral("\\p{L}*(?:\\p{L}1|1\\p{L})[\\p{L}1]*"));
    // "(zool.)) Forficula", "(bot.) )Datura": a label closed twice.
    static const QRegularExpression closedTwice =
        unicodeRe(QStringLiteral("(\\([^()]{1,12}\\.\\))\\s*\\)\\s*"));
    // "(ı) Korfu adası", "(I) ayakkabı bağı": the label of a noun, misread.
    static const QRegularExpression noun(QStringLiteral("^\\((?:ı|I)\\)(?=[ ,])"));
    // "takıl- (mak.)": the end of a word that a line break cut, taken for a label.
    static const QRegularExpression cutEnding =
        unicodeRe(QStringLiteral("(\\p{Ll}+)- \\((mak|mek|den|dan)\\.\\)"));
    QString out = normalizeLabels(text);
    if (out.count(u')') > out.count(u'(')) {
        out = out.replace(closedTwice, QStringLiteral("\\1 ")).trimmed();
    }
    out.replace(noun, QStringLiteral("(i.)"));
    for (auto m = cutEnding.match(out); m.hasMatch();
         m = cutEnding.match(out, m.capturedStart() + 1)) {
        const QString whole = m.captured(1) + m.captured(2);
        if (words.spelt(whole) || words.turkish(whole) > 0) {
            out.replace(m.capturedStart(), m.capturedLength(), whole);
        }
    }
    out.replace(plural, QStringLiteral("(çoğ. \\1)"));
    // "(çoğ.), -la)": a comma where the singular was left out.
    static const QRegularExpression pluralComma =
        unicodeRe(QStringLiteral("\\(çoğ\\. ?,\\s*(?=\\S)"));
    out.replace(pluralComma, QStringLiteral("(çoğ. "));
    out.replace(QStringLiteral("(çoğ. )"), QStringLiteral("(çoğ.)"));
    out.replace(doubleOpen, QStringLiteral("("));
    out.replace(american, QStringLiteral("(A.B.D.) "));
    if (out.contains(u'1')) {
        QString fixed;
        qsizetype last = 0;
        for (auto it = one.globalMatch(out); it.hasNext();) {
            const auto m = it.next();
            QString word = m.captured();
            word.replace(u'1', u'l');
            if (words.english(word) || words.turkish(word) > 0) {
                fixed += QStringView(out).mid(last, m.capturedStart() - last);
                fixed += word;
                last = m.capturedEnd();
            }
        }
        fixed += QStringView(out).mid(last);
        out = fixed;
    }
    return out;
}

QString fixColonSeparators(const QString& text, const Vocabulary& words) {
    if (!words.hasSpeller() || !text.contains(QLatin1String(": "))) {
        return text;
    }
    static const QRegularExpression colon =
        unicodeRe(QStringLiteral("(?<![\\w'])(\\p{Ll}+): (\\p{Ll}+)(?![\\w'])"));
    const auto turkish = [&](const QString& w) {
        return words.spelt(w) && !words.english(w) && !words.words().isLemma(w);
    };
    QString out = text;
    for (qsizetype from = 0;;) {
        const auto m = colon.match(out, from);
        if (!m.hasMatch()) {
            break;
        }
        const qsizetype at = m.capturedEnd(1);
        const bool inParentheses = out.left(at).count(u'(') > out.left(at).count(u')');
        if (!inParentheses && turkish(m.captured(1)) && turkish(m.captured(2))) {
            out[at] = u';';
        }
        from = m.capturedStart(2);
    }
    return out;
}

QString fixInflectionNotes(const QString& text) {
    if (!text.contains(QLatin1String("(-"))) {
        return text;
    }
    // A parenthesis of word endings only, and the endings and "veya" in it.
    static const QRegularExpression note =
        unicodeRe(QStringLiteral("\\((?=\\s*-)(?:-\\s*\\p{L}+|veya\\b|[\\s,.;])+\\)"));
    static const QRegularExpression part = unicodeRe(QStringLiteral("veya\\b|-\\s*(\\p{L}+)"));
    QString out;
    qsizetype last = 0;
    for (auto it = note.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QString normal;
        bool separated = true;
        for (auto parts = part.globalMatch(m.captured()); parts.hasNext();) {
            const auto p = parts.next();
            if (!p.hasCaptured(1)) {
                normal += QStringLiteral(" veya ");
                separated = true;
                continue;
            }
            QString ending = p.captured(1);
            if (ending.endsWith(QLatin1String("inq"))) { // a g misread as a q
                ending.back() = u'g';
            }
            normal += (separated ? QString() : QStringLiteral(", ")) + u'-' + ending;
            separated = false;
        }
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += u'(' + normal.trimmed() + u')';
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString repairSense(const QString& sense, const Vocabulary& words) {
    QString text = fixStrayMarks(fixConverterMarkers(fixInflectionNotes(sense), words), words);
    text.replace(QLatin1String("(lng.)"), QStringLiteral("(İng.)")); // a misread label
    text = fixLostPossessive(text, words);
    text = fixCapitalI(text, words);
    text = joinLineBreakHyphens(text, words);
    text = joinSplitWords(text, words);
    text = fixMisreadLetters(text, words);
    text = fixScanErrors(text, words);
    text = splitGluedWords(text, words);
    text = fixLowercaseNames(text, words);
    text = fixColonSeparators(text, words);
    return removeStressMarksInText(text, words);
}

} // namespace peltavo::freedict
