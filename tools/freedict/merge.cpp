// The core glossary in front of an imported dictionary.

#include "merge.h"

#include "reversal.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace peltavo::freedict {

namespace {

QString folded(const QString& text, Direction language) {
    return language == Direction::EnglishTurkish ? text.toLower() : turkishLower(text);
}

// The equivalents that a sense gives, without its labels and remarks, in lower case:
// "(f.) memnun etmek, sevindirmek (kibar)" gives "memnun etmek" and "sevindirmek".
QSet<QString> equivalents(const QString& sense, Direction meanings) {
    static const QRegularExpression remarks(QStringLiteral("\\([^()]*\\)"));
    static const QRegularExpression separators(QStringLiteral("[,;]"));
    QString text = sense;
    text.remove(remarks);
    QSet<QString> items;
    for (const QString& item : text.split(separators)) {
        const QString plain = item.simplified();
        if (!plain.isEmpty()) {
            items.insert(folded(plain, meanings));
        }
    }
    return items;
}

} // namespace

QString withBase(const QString& sense, const QString& base) {
    return sense + QStringLiteral(" (→ ") + base + u')';
}

std::vector<Entry> mergeGlossary(std::vector<Entry> dictionary,
                                 const std::vector<GlossaryEntry>& glossary, Direction direction,
                                 MergeReport* report) {
    MergeReport local;
    MergeReport& r = report ? *report : local;
    r = MergeReport{};
    if (glossary.empty()) {
        return dictionary;
    }
    // Headwords are in the first language, meanings in the other.
    const Direction headwords = direction;
    const Direction meanings = direction == Direction::EnglishTurkish ? Direction::TurkishEnglish
                                                                      : Direction::EnglishTurkish;

    // Only the headwords that a glossary line may name ignoring letter case are looked up so.
    QSet<QString> wanted;
    for (const GlossaryEntry& g : glossary) {
        wanted.insert(folded(g.headword, headwords));
    }
    QHash<QString, qsizetype> exact;
    QHash<QString, QList<qsizetype>> byFolded;
    for (qsizetype i = 0; i < static_cast<qsizetype>(dictionary.size()); ++i) {
        exact.insert(dictionary[i].headword, i);
        if (QString key = folded(dictionary[i].headword, headwords); wanted.contains(key)) {
            byFolded[key] << i;
        }
    }
    // The entries that a glossary line names exactly are its own.
    QSet<qsizetype> claimed;
    for (const GlossaryEntry& g : glossary) {
        if (const auto found = exact.constFind(g.headword); found != exact.cend()) {
            claimed.insert(*found);
        }
    }

    std::vector<Entry> added;
    for (const GlossaryEntry& g : glossary) {
        QStringList senses = g.senses;
        if (!g.base.isEmpty() && !senses.isEmpty()) {
            senses.front() = withBase(senses.front(), g.base);
        }
        qsizetype at = -1;
        if (const auto found = exact.constFind(g.headword); found != exact.cend()) {
            at = *found;
        } else {
            for (qsizetype candidate : byFolded.value(folded(g.headword, headwords))) {
                if (!claimed.contains(candidate)) {
                    at = candidate;
                    claimed.insert(candidate);
                    break;
                }
            }
        }
        if (at < 0) {
            added.push_back({g.headword, joinSenses(senses)});
            ++r.added;
            continue;
        }
        QSet<QString> given;
        for (const QString& sense : g.senses) {
            given.unite(equivalents(sense, meanings));
        }
        QStringList lines = senses;
        for (const QString& sense : splitSenses(dictionary[at].meaning)) {
            const QSet<QString> items = equivalents(sense, meanings);
            if (!items.isEmpty() && given.contains(items)) {
                ++r.dropped;
            } else if (!lines.contains(sense)) {
                lines << sense;
            }
        }
        dictionary[at] = {g.headword, joinSenses(lines)};
        ++r.led;
    }
    dictionary.insert(dictionary.end(), added.begin(), added.end());
    return dictionary;
}

} // namespace peltavo::freedict
