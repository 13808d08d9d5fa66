// The English word list and the repair of glued English phrases.

#include "freedict.h"

#include "error.h"
#include "speller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace peltavo::freedict {

namespace {

// The word lists hold nearly every pair of letters as an abbreviation ("cf", "mm", "Ed"), so a
// two-letter piece of a phrase must be one of the short words that phrases are made of.
bool isPhraseWord2(const QString& lower) {
    static const QSet<QString> words = {
        QStringLiteral("am"), QStringLiteral("an"), QStringLiteral("as"), QStringLiteral("at"),
        QStringLiteral("be"), QStringLiteral("by"), QStringLiteral("do"), QStringLiteral("go"),
        QStringLiteral("if"), QStringLiteral("in"), QStringLiteral("is"), QStringLiteral("it"),
        QStringLiteral("no"), QStringLiteral("of"), QStringLiteral("on"), QStringLiteral("or"),
        QStringLiteral("so"), QStringLiteral("to"), QStringLiteral("up")};
    return words.contains(lower);
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isWordChar(QChar c) {
    return c.isLetter() || c == u'\'' || c == u'\u2019';
}

// Cuts word into acceptable pieces: fewest pieces first, then the largest sum of squared piece
// lengths (long pieces rather than many middling ones). Returns an empty list when no cut
// exists.
QStringList bestCut(const QString& word, const EnglishWords& words) {
    struct Step {
        int pieces = -1; // -1: this prefix cannot be cut
        int score = 0;
        int from = 0;
    };
    constexpr int kLongestPiece = 30;
    const int n = static_cast<int>(word.size());
    std::vector<Step> best(n + 1);
    best[0].pieces = 0;
    for (int end = 1; end <= n; ++end) {
        for (int start = std::max(0, end - kLongestPiece); start < end; ++start) {
            if (best[start].pieces < 0) {
                continue;
            }
            const int len = end - start;
            if (!words.acceptsPiece(word.mid(start, len))) {
                continue;
            }
            const int pieces = best[start].pieces + 1;
            const int score = best[start].score + len * len;
            Step& here = best[end];
            if (here.pieces < 0 || pieces < here.pieces ||
                (pieces == here.pieces && score > here.score)) {
                here = {pieces, score, start};
            }
        }
    }
    if (best[n].pieces < 2) {
        return {};
    }
    QStringList pieces;
    for (int end = n; end > 0; end = best[end].from) {
        pieces.prepend(word.mid(best[end].from, end - best[end].from));
    }
    return pieces;
}

bool shouldTrySplit(const QString& run, const EnglishWords& words) {
    if (run.size() < 4 || words.contains(run) || words.spellsEnglish(run)) {
        return false; // "spermatic", which Hunspell knows though the word lists do not
    }
    bool hasLower = false;
    for (QChar c : run) {
        if (!isAsciiLetter(c)) {
            return false; // apostrophes, Turkish and other letters
        }
        hasLower = hasLower || c.isLower();
    }
    return hasLower; // "USA", "NATO": abbreviations
}

} // namespace

EnglishWords EnglishWords::load(const QString& path) {
    return load(QStringList{path});
}

EnglishWords EnglishWords::load(const QStringList& paths) {
    EnglishWords result;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            throw Error(QStringLiteral("Cannot open the English word list %1: %2")
                            .arg(path, file.errorString()));
        }
        int lines = 0;
        while (!file.atEnd()) {
            const QString word = QString::fromUtf8(file.readLine()).trimmed();
            if (word.isEmpty()) {
                continue;
            }
            ++lines;
            if (!word.endsWith(QLatin1String("'s"))) {
                result.add(word);
            }
        }
        if (file.error() != QFileDevice::NoError) {
            throw Error(QStringLiteral("Cannot read the English word list %1: %2")
                            .arg(path, file.errorString()));
        }
        if (lines == 0) {
            throw Error(QStringLiteral("The English word list %1 holds no words").arg(path));
        }
    }
    if (paths.isEmpty()) {
        throw Error(QStringLiteral("No English word list was given"));
    }
    return result;
}

EnglishWords EnglishWords::loadSystem() {
    QStringList paths;
    for (const char* name : {"american-english", "british-english"}) {
        const QString path = QStringLiteral("/usr/share/dict/") + QLatin1String(name);
        if (QFileInfo::exists(path)) {
            paths << path;
        }
    }
    if (paths.isEmpty()) {
        throw Error(QStringLiteral("No English word list found: install the Debian package "
                                   "wamerican or wbritish (/usr/share/dict/american-english)"));
    }
    EnglishWords words = load(paths);
    const QString scowl = QStringLiteral("/usr/share/dict/scowl");
    if (QFileInfo(scowl).isDir()) {
        words.loadLevels(scowl, kSystemMaxLevel);
    }
    const QString wordnet = QStringLiteral("/usr/share/wordnet");
    if (QFileInfo::exists(wordnet + QStringLiteral("/index.noun"))) {
        words.loadWordNet(wordnet);
    }
    for (const char* name : {"en_US", "en_GB"}) {
        const QString base = QStringLiteral("/usr/share/hunspell/") + QLatin1String(name);
        if (QFileInfo::exists(base + QStringLiteral(".dic"))) {
            words.addSpeller(base + QStringLiteral(".aff"), base + QStringLiteral(".dic"));
        }
    }
    return words;
}

void EnglishWords::addSpeller(const QString& affPath, const QString& dicPath) {
    spellers_.push_back(std::make_shared<const Speller>(affPath, dicPath));
}

bool EnglishWords::spellsEnglish(const QString& word) const {
    return std::any_of(spellers_.begin(), spellers_.end(),
                       [&](const auto& speller) { return speller->accepts(word); });
}

void EnglishWords::loadWordNet(const QString& dir) {
    int loaded = 0;
    for (const char* part : {"noun", "verb", "adj", "adv"}) {
        const QString path = QDir(dir).filePath(QStringLiteral("index.") + QLatin1String(part));
        QFile file(path);
        if (!file.exists()) {
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            throw Error(QStringLiteral("Cannot open the WordNet index %1: %2")
                            .arg(path, file.errorString()));
        }
        // "red-handed a 1 1 & 1 0 01322959"; the licence at the top starts with blanks.
        while (!file.atEnd()) {
            const QByteArray line = file.readLine();
            if (line.isEmpty() || line.startsWith(' ')) {
                continue;
            }
            const qsizetype blank = line.indexOf(' ');
            QString lemma = QString::fromLatin1(line.left(blank < 0 ? line.size() : blank));
            lemma.replace(u'_', u' ');
            if (lemma.contains(u' ') || lemma.contains(u'-')) {
                QString glued = lemma;
                glued.remove(u' ').remove(u'-').remove(u'\''); // "neat's-foot oil"
                compounds_.insert(glued, lemma);
            } else {
                lemmas_.insert(lemma);
            }
        }
        if (file.error() != QFileDevice::NoError) {
            throw Error(QStringLiteral("Cannot read the WordNet index %1: %2")
                            .arg(path, file.errorString()));
        }
        ++loaded;
    }
    if (loaded == 0) {
        throw Error(QStringLiteral("No WordNet index (index.noun, ...) in %1").arg(dir));
    }
}

QString EnglishWords::compoundSpelling(const QString& glued) const {
    QString lower = glued.toLower();
    lower.remove(u'-').remove(u' ').remove(u'\'');
    if (lemmas_.contains(lower) || !compounds_.contains(lower)) {
        return {};
    }
    return compounds_.value(lower);
}

void EnglishWords::loadLevels(const QString& dir, int maxLevel) {
    const QStringList files =
        QDir(dir).entryList({QStringLiteral("english-words.*")}, QDir::Files, QDir::Name);
    int loaded = 0;
    for (const QString& name : files) {
        bool numeric = false;
        const int level = name.section(u'.', 1).toInt(&numeric);
        if (!numeric || level > maxLevel) {
            continue;
        }
        const QString path = QDir(dir).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            throw Error(QStringLiteral("Cannot open the English word list %1: %2")
                            .arg(path, file.errorString()));
        }
        while (!file.atEnd()) {
            const QString word = QString::fromUtf8(file.readLine()).trimmed().toLower();
            if (word.isEmpty()) {
                continue;
            }
            const auto found = levels_.constFind(word);
            if (found == levels_.cend() || *found > level) {
                levels_.insert(word, level);
            }
        }
        if (file.error() != QFileDevice::NoError) {
            throw Error(QStringLiteral("Cannot read the English word list %1: %2")
                            .arg(path, file.errorString()));
        }
        ++loaded;
    }
    if (loaded == 0) {
        throw Error(QStringLiteral("No SCOWL word list (english-words.LEVEL) in %1").arg(dir));
    }
    // The names of people up to level 50 ("Ian", "Jenny", "Vang").
    for (const QString& name :
         QDir(dir).entryList({QStringLiteral("english-proper-names.*")}, QDir::Files, QDir::Name)) {
        bool numeric = false;
        if (name.section(u'.', 1).toInt(&numeric) > 50 || !numeric) {
            continue;
        }
        QFile file(QDir(dir).filePath(name));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            throw Error(QStringLiteral("Cannot open the English word list %1: %2")
                            .arg(file.fileName(), file.errorString()));
        }
        while (!file.atEnd()) {
            personal_.insert(QString::fromUtf8(file.readLine()).trimmed().toLower());
        }
    }
}

int EnglishWords::level(const QString& wordOrPhrase) const {
    constexpr int kUnknown = 100;
    const QStringList words = wordOrPhrase.toLower().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        return kUnknown;
    }
    int rarest = 0;
    for (const QString& word : words) {
        int level = kUnknown;
        if (!levels_.isEmpty()) {
            level = levels_.value(word, kUnknown);
        } else if (folded_.contains(word)) {
            level = 50;
        }
        rarest = std::max(rarest, level);
    }
    return words.size() > 1 ? std::min(kUnknown, rarest + 1) : rarest;
}

void EnglishWords::add(const QString& word) {
    exact_.insert(word);
    folded_.insert(word.toLower());
}

bool EnglishWords::contains(const QString& word) const {
    return folded_.contains(word.toLower());
}

bool EnglishWords::isWord(const QString& word) const {
    const QString lower = word.toLower();
    return exact_.contains(word) || exact_.contains(lower);
}

bool EnglishWords::isName(const QString& word) const {
    const QString lower = word.toLower();
    return folded_.contains(lower) && !exact_.contains(lower);
}

bool EnglishWords::acceptsPiece(const QString& piece) const {
    const QString lower = piece.toLower();
    switch (piece.size()) {
    case 0:
        return false;
    case 1:
        return piece == u'a' || piece == u'I';
    case 2:
        return isPhraseWord2(lower);
    default:
        return exact_.contains(lower) || exact_.contains(piece);
    }
}

QString repairGluedWords(const QString& text, const EnglishWords& words, bool* changed,
                         QStringList* repairs) {
    QString out;
    out.reserve(text.size() + 8);
    bool any = false;
    for (qsizetype i = 0; i < text.size();) {
        if (!isWordChar(text[i])) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && isWordChar(text[end])) {
            ++end;
        }
        const QString run = text.mid(i, end - i);
        i = end;
        QStringList pieces;
        if (shouldTrySplit(run, words)) {
            pieces = bestCut(run, words);
        }
        if (pieces.isEmpty()) {
            out += run;
            continue;
        }
        const QString split = pieces.join(u' ');
        out += split;
        any = true;
        if (repairs) {
            repairs->append(run + QStringLiteral(" -> ") + split);
        }
    }
    if (changed) {
        *changed = any;
    }
    return any ? out : text;
}

} // namespace peltavo::freedict
