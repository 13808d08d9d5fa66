#include "baseform.h"

#include "dictionarysearch.h"
#include "direction.h"
#include "stemmer.h"
#include "tablehandle.h"

#include <QRegularExpression>

namespace peltavo {

namespace {

// A Turkish verb's infinitive: -mak after a back vowel, -mek after a front one.
QString infinitive(const QString& stem) {
    for (qsizetype i = stem.size() - 1; i >= 0; --i) {
        switch (stem[i].toLower().unicode()) {
        case u'a':
        case u'ı':
        case u'o':
        case u'u':
            return stem + QStringLiteral("mak");
        case u'e':
        case u'i':
        case u'ö':
        case u'ü':
            return stem + QStringLiteral("mek");
        default:
            break;
        }
    }
    return {};
}

} // namespace

QString referencedBase(QStringView meaning) {
    static const QRegularExpression numbered(QStringLiteral("^\\s*1\\.\\s+"));
    static const QRegularExpression arrow(
        QStringLiteral("(?:^|\\s)\\(→\\s*([^()\\s][^()]*?)\\s*\\)\\s*$"));
    QStringView sense = meaning;
    if (const qsizetype end = sense.indexOf(u'\n'); end >= 0)
        sense = sense.left(end);
    if (const auto number = numbered.match(sense); number.hasMatch())
        sense = sense.mid(number.capturedLength());
    const auto named = arrow.match(sense);
    return named.hasMatch() ? named.captured(1) : QString();
}

BaseForms::BaseForms(const TableHandle& dictionary, const DirectionBindings& bindings,
                     const Stemmer* stemmer)
    : dictionary_(dictionary), bindings_(bindings), stemmer_(stemmer) {}

bool BaseForms::searchable(const QString& text) const {
    return !bindings_.englishToTurkish || cutAtApostrophe(text) == text;
}

std::optional<BaseForm> BaseForms::resolve(const QString& candidate) const {
    if (candidate.isEmpty())
        return std::nullopt;
    const std::vector<QStringView> headwords =
        dictionary_.textsWhereEqual(bindings_.headwordField, candidate, bindings_.headwordField);
    if (headwords.empty())
        return std::nullopt;
    const std::vector<QStringView> meanings =
        dictionary_.textsWhereEqual(bindings_.headwordField, candidate, bindings_.meaningField);
    // Of the headwords that compare equal ("Library", "library"; "its", "it's"; "were",
    // "we're"), those spelt exactly as the candidate are its own; failing that, those spelt so
    // but for letter case; failing that, all of them.
    std::vector<std::size_t> own;
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (std::size_t i = 0; i < headwords.size(); ++i) {
            if (headwords[i].compare(candidate, cs) == 0)
                own.push_back(i);
        }
        if (!own.empty())
            break;
    }
    if (own.empty()) {
        for (std::size_t i = 0; i < headwords.size(); ++i)
            own.push_back(i);
    }
    for (std::size_t i : own) {
        const QString text = headwords[i].toString();
        if (referencedBase(meanings[i]).isEmpty() && searchable(text))
            return BaseForm{text, BaseForm::Rule::Headword};
    }
    for (std::size_t i : own) {
        const QString base = referencedBase(meanings[i]);
        if (!base.isEmpty() && searchable(base))
            return BaseForm{base, BaseForm::Rule::Reference};
    }
    return std::nullopt;
}

BaseForm BaseForms::of(const QString& word, const QString& frontHalf) const {
    if (auto found = resolve(word))
        return *found;
    if (stemmer_ && !word.isEmpty()) {
        for (const QString& stem : stemmer_->stems(word)) {
            auto found = resolve(stem);
            if (!found && !bindings_.englishToTurkish)
                found = resolve(infinitive(stem));
            if (found)
                return BaseForm{found->text, BaseForm::Rule::Stem};
        }
    }
    return BaseForm{frontHalf, BaseForm::Rule::FrontHalf};
}

} // namespace peltavo
