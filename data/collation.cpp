#include "collation.h"

#include "error.h"

#include <unicode/ucol.h>

#include <utility>

namespace peltavo {

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

const UChar* units(QStringView text) {
    return reinterpret_cast<const UChar*>(text.utf16());
}

int32_t length(QStringView text) {
    return static_cast<int32_t>(text.size());
}

// How many characters of the text weigh nothing in compare(): blanks, punctuation and symbols,
// everything but letters, their marks and digits.
int ignorables(QStringView text) {
    int count = 0;
    for (QChar c : text) {
        if (!c.isLetterOrNumber() && !c.isMark() && !c.isSurrogate())
            ++count;
    }
    return count;
}

// A collator of the language's rules with these settings; throws when ICU cannot give one.
//   strength: UCOL_SECONDARY compares letters (primary) and accents (secondary) and nothing
//       after them: case is the third level. UCOL_IDENTICAL goes on through case, punctuation
//       (the fourth level, as the characters are shifted there) and code points.
//   UCOL_ALTERNATE_HANDLING = UCOL_SHIFTED: blanks and punctuation (ICU's variable characters,
//       up to punctuation) weigh nothing on the first three levels.
UCollator* openCollator(Collation::Language language, UColAttributeValue strength) {
    const bool turkish = language == Collation::Language::Turkish;
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(turkish ? "tr" : "en", &status);
    // English uses the root rules; Turkish must have its own, or ı and ç would sort wrongly.
    if (U_FAILURE(status) || (turkish && status == U_USING_DEFAULT_WARNING)) {
        ucol_close(collator);
        throw Error(QStringLiteral("The %1 text collation is not available (ICU: %2)")
                        .arg(turkish ? QStringLiteral("Turkish") : QStringLiteral("English"),
                             QString::fromLatin1(u_errorName(status))));
    }
    const std::pair<UColAttribute, UColAttributeValue> settings[] = {
        {UCOL_NORMALIZATION_MODE, UCOL_ON},
        {UCOL_STRENGTH, strength},
        {UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED},
        {UCOL_NUMERIC_COLLATION, UCOL_OFF},
    };
    for (const auto& [attribute, value] : settings) {
        ucol_setAttribute(collator, attribute, value, &status);
        if (U_FAILURE(status)) {
            ucol_close(collator);
            throw Error(QStringLiteral("The text collation cannot be set up (ICU: %1)")
                            .arg(QString::fromLatin1(u_errorName(status))));
        }
    }
    return collator;
}

} // namespace

Collation::Collation(Language language)
    : language_(language), letters_(openCollator(language, UCOL_SECONDARY)),
      full_(openCollator(language, UCOL_IDENTICAL)) {}

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
    return sign(ucol_strcoll(letters_.get(), units(a), length(a), units(b), length(b)));
}

int Collation::compareTies(QStringView a, QStringView b) const {
    // The plain spelling first: "be" before "b.e.", "well" before "we'll", "ID" before "I'd".
    if (int r = ignorables(a) - ignorables(b))
        return sign(r);
    if (int r = ucol_strcoll(full_.get(), units(a), length(a), units(b), length(b)))
        return sign(r);
    // Texts ICU finds identical differ at most in how they are composed (é as one character or
    // as e and an accent): their code units decide.
    return sign(QtPrivate::compareStrings(a, b, Qt::CaseSensitive));
}

int Collation::compareForSort(QStringView a, QStringView b) const {
    if (int r = compare(a, b))
        return r;
    return compareTies(a, b);
}

void Collation::appendKey(QStringView text, std::string& out) const {
    const std::size_t at = out.size();
    // ucol_getSortKey never writes past the room it is given and says how much it needed.
    std::size_t room = 16 + static_cast<std::size_t>(text.size()) * 3;
    for (;;) {
        out.resize(at + room);
        const int32_t needed = ucol_getSortKey(letters_.get(), units(text), length(text),
                                               reinterpret_cast<uint8_t*>(out.data() + at),
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

} // namespace peltavo
