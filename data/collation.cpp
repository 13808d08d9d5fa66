#include "collation.h"

#include <QLocale>

#include <unicode/ucol.h>

namespace peltavo {

namespace {

QLocale localeOf(Collation::Language language) {
    return language == Collation::Language::Turkish
               ? QLocale(QLocale::Turkish, QLocale::Turkey)
               : QLocale(QLocale::English, QLocale::UnitedStates);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

Collation::Collation(Language language)
    : language_(language), folded_(localeOf(language)), cased_(localeOf(language)) {
    folded_.setCaseSensitivity(Qt::CaseInsensitive);
    cased_.setCaseSensitivity(Qt::CaseSensitive);
    // QCollator's own settings for a case-insensitive collator of this locale.
    const QByteArray name = localeOf(language).bcp47Name().replace('-', '_').toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    rawFolded_.reset(ucol_open(name.constData(), &status));
    if (U_FAILURE(status) || !rawFolded_) {
        rawFolded_.reset();
        return;
    }
    const std::pair<UColAttribute, UColAttributeValue> settings[] = {
        {UCOL_NORMALIZATION_MODE, UCOL_ON},
        {UCOL_STRENGTH, UCOL_SECONDARY},
        {UCOL_NUMERIC_COLLATION, UCOL_OFF},
        {UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE}};
    for (const auto& [attribute, value] : settings) {
        status = U_ZERO_ERROR;
        ucol_setAttribute(rawFolded_.get(), attribute, value, &status);
    }
}

Collation::~Collation() = default;

void Collation::UCollatorClose::operator()(UCollator* collator) const {
    ucol_close(collator);
}

Collation::Language Collation::forTable(const QString& tableName) {
    return tableName.compare(QLatin1String("tsozluk"), Qt::CaseInsensitive) == 0
               ? Language::Turkish
               : Language::English;
}

int Collation::compare(QStringView a, QStringView b) const {
    if (int r = folded_.compare(a, b))
        return sign(r);
    if (int r = cased_.compare(a, b))
        return sign(r);
    return sign(QtPrivate::compareStrings(a, b, Qt::CaseSensitive));
}

int Collation::compareFolded(QStringView a, QStringView b) const {
    return sign(folded_.compare(a, b));
}

int Collation::compareCased(QStringView a, QStringView b) const {
    return sign(cased_.compare(a, b));
}

void Collation::appendFoldedKey(QStringView text, std::string& out) const {
    const std::size_t at = out.size();
    if (!rawFolded_) {
        // Without a collator every key is equal and compare() decides alone.
        out.push_back('\0');
        return;
    }
    // ucol_getSortKey never writes past the room it is given and says how much it needed.
    std::size_t room = 16 + static_cast<std::size_t>(text.size()) * 3;
    for (;;) {
        out.resize(at + room);
        const int32_t needed = ucol_getSortKey(
            rawFolded_.get(), reinterpret_cast<const UChar*>(text.utf16()),
            static_cast<int32_t>(text.size()), reinterpret_cast<uint8_t*>(out.data() + at),
            static_cast<int32_t>(room));
        if (needed <= static_cast<int32_t>(room)) {
            // The key includes its terminating zero.
            out.resize(at + static_cast<std::size_t>(needed));
            if (needed == 0)
                out.push_back('\0');
            return;
        }
        room = static_cast<std::size_t>(needed);
    }
}

Collation::Key::Key(QCollatorSortKey folded, QCollatorSortKey cased, QString text)
    : folded_(std::move(folded)), cased_(std::move(cased)), text_(std::move(text)) {}

int Collation::Key::compare(const Key& other) const {
    if (int r = folded_.compare(other.folded_))
        return sign(r);
    if (int r = cased_.compare(other.cased_))
        return sign(r);
    return sign(QString::compare(text_, other.text_, Qt::CaseSensitive));
}

Collation::Key Collation::key(const QString& text) const {
    return Key(folded_.sortKey(text), cased_.sortKey(text), text);
}

} // namespace peltavo
