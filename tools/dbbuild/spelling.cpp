#include "spelling.h"

#include "dictionary.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace peltavo::dbbuild {

namespace {

struct Seen {
    int count = 0;
    int order = 0;
    const DictionaryEntry* entry = nullptr;
};

// The words of the labels, as they stand in them: "çoğ.", "argo", "tıb." (and in "(çoğ. -men)").
const QSet<QString>& labelWords() {
    static const QSet<QString> words = [] {
        QSet<QString> all;
        for (const QString& label : dictionaryLabels())
            for (const QString& word : label.mid(1, label.size() - 2).split(u' '))
                all.insert(word);
        return all;
    }();
    return words;
}

void collectWords(const QString& text, const DictionaryEntry& entry, QHash<QString, Seen>& seen) {
    qsizetype i = 0;
    while (i < text.size()) {
        if (!text.at(i).isLetter()) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && (text.at(end).isLetter() || text.at(end).isMark()))
            ++end;
        const QString word = text.mid(i, end - i);
        // An ending or a prefix written with its hyphen ("-ing", "ön-") is no word of its own.
        const bool affix = (i > 0 && text.at(i - 1) == u'-') ||
                           (end < text.size() && text.at(end) == u'-' &&
                            (end + 1 == text.size() || !text.at(end + 1).isLetter()));
        const bool label =
            labelWords().contains(end < text.size() && text.at(end) == u'.' ? word + u'.' : word);
        i = end;
        if (affix || label || word.size() < 2 || !word.front().isLower())
            continue;
        Seen& s = seen[word];
        if (s.count++ == 0) {
            s.order = static_cast<int>(seen.size());
            s.entry = &entry;
        }
    }
}

} // namespace

SpellingReport checkSpelling(const Content& content, const std::vector<Speller>& spellers) {
    QHash<QString, Seen> seen;
    for (const auto* dictionary : {&content.englishTurkish, &content.turkishEnglish}) {
        for (const DictionaryEntry& entry : *dictionary) {
            collectWords(entry.headword, entry, seen);
            for (const QString& sense : entry.senses)
                collectWords(sense, entry, seen);
        }
    }
    SpellingReport report;
    report.words = static_cast<int>(seen.size());
    std::vector<std::pair<int, UnknownWord>> unknown;
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        const bool known = std::any_of(spellers.begin(), spellers.end(),
                                       [&](const Speller& spells) { return spells(it.key()); });
        if (!known)
            unknown.push_back({it->order, {it.key(), it->count, it->entry->file, it->entry->line}});
    }
    std::sort(unknown.begin(), unknown.end(), [](const auto& a, const auto& b) {
        return a.second.count != b.second.count ? a.second.count > b.second.count
                                                : a.first < b.first;
    });
    for (auto& [order, word] : unknown)
        report.unknown.push_back(std::move(word));
    return report;
}

} // namespace peltavo::dbbuild
