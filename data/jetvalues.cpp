#include "jetvalues.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace peltavo::jet {

namespace {

// Numeric values are 128-bit numbers.
__extension__ typedef unsigned __int128 Uint128;

// windows-1254 from 0x80 on; below that it is ASCII (and Latin-1).
constexpr std::array<char16_t, 128> kWindows1254High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x008D, 0x008E, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x011E, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x0130, 0x015E, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x011F, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x0131, 0x015F, 0x00FF,
};

// windows-1252 from 0x80 to 0x9f; from 0xa0 on it is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252C1 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Days from 1899-12-30 to 0001-01-01 and to 10000-01-01 (proleptic Gregorian calendar).
constexpr double kFirstDay = -693593;
constexpr double kEndDay = 2958466;

struct Civil {
    long long year;
    unsigned month;
    unsigned day;
};

// The calendar date `z` days after 1970-01-01 (Howard Hinnant's civil_from_days).
Civil civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<long long>(yoe) + era * 400 + (m <= 2), m, d};
}

std::string decimal(Uint128 value) {
    char digits[40];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    std::string out;
    out.reserve(static_cast<std::size_t>(n));
    while (n > 0)
        out += digits[--n];
    return out;
}

// `digits` with a decimal point before its last `scale` digits, padded to one digit before it.
std::string withScale(std::string digits, unsigned scale, bool negative) {
    if (digits.size() < scale + 1)
        digits.insert(0, scale + 1 - digits.size(), '0');
    if (scale > 0)
        digits.insert(digits.size() - scale, 1, '.');
    return negative ? '-' + digits : digits;
}

template <typename Float> std::string general(Float value, int precision) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, precision);
    return std::string(text, end.ptr);
}

} // namespace

std::size_t decodeJet4Text(Bytes bytes, char16_t* out) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    char16_t* d = out;
    if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        bool oneByte = true;
        for (std::size_t i = 2; i < n;) {
            if (p[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                *d++ = p[i];
                ++i;
            } else if (i + 1 < n) {
                *d++ = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        return static_cast<std::size_t>(d - out);
    }
    // UTF-16LE, the machine's own order.
    static_assert(std::endian::native == std::endian::little);
    if (n >= 2)
        std::memcpy(out, p, n & ~std::size_t(1));
    return n / 2;
}

void decodeBinaryAsText(Bytes bytes, char16_t* out) {
    decodeWindows1254(bytes, out);
}

void decodeWindows1254(Bytes bytes, char16_t* out) {
    for (const std::uint8_t b : bytes)
        *out++ = b < 0x80 ? char16_t(b) : kWindows1254High[b - 0x80];
}

void decodeWindows1252(Bytes bytes, char16_t* out) {
    for (const std::uint8_t b : bytes)
        *out++ = b >= 0x80 && b < 0xa0 ? kWindows1252C1[b - 0x80] : char16_t(b);
}

std::optional<std::string> binaryTextBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        std::size_t i = 0;
        while (i < kWindows1254High.size() && kWindows1254High[i] != c)
            ++i;
        if (i == kWindows1254High.size())
            return std::nullopt;
        bytes += static_cast<char>(0x80 + i);
    }
    return bytes;
}

std::u16string utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char lead = p[i];
        int more = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xe0) == 0xc0) {
            more = 1;
            c = lead & 0x1f;
        } else if ((lead & 0xf0) == 0xe0) {
            more = 2;
            c = lead & 0x0f;
        } else if ((lead & 0xf8) == 0xf0) {
            more = 3;
            c = lead & 0x07;
        } else {
            out += u'\xfffd';
            ++i;
            continue;
        }
        bool ok = i + static_cast<std::size_t>(more) < n;
        for (int k = 1; ok && k <= more; ++k) {
            if ((p[i + static_cast<std::size_t>(k)] & 0xc0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (p[i + static_cast<std::size_t>(k)] & 0x3f);
        }
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < kSmallest[more] || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) {
            out += u'\xfffd';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xd800 + (c >> 10));
            out += static_cast<char16_t>(0xdc00 + (c & 0x3ff));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return out;
}

std::string utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xd800 && c <= 0xdbff && i + 1 < utf16.size() && utf16[i + 1] >= 0xdc00 &&
            utf16[i + 1] <= 0xdfff) {
            c = 0x10000 + ((c - 0xd800) << 10) + (utf16[i + 1] - 0xdc00);
            ++i;
        } else if (c >= 0xd800 && c <= 0xdfff) {
            c = 0xfffd;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xe0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char>(0x80 | (c & 0x3f));
        } else {
            out += static_cast<char>(0xf0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

std::string dateText(double days) {
    if (!(days > kFirstDay - 1 && days < kEndDay))
        return doubleText(days);
    const double whole = std::trunc(days);
    long long day = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(days - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    if (day < kFirstDay || day >= kEndDay)
        return doubleText(days);
    const Civil c = civilFromDays(day - 25569);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02lld:%02lld:%02lld", c.year, c.month,
                  c.day, seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string moneyText(const std::uint8_t* bytes) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes[i];
    const bool negative = (bits >> 63) != 0;
    const std::uint64_t magnitude = negative ? ~bits + 1 : bits;
    return withScale(decimal(magnitude), 4, negative);
}

std::string numericText(const std::uint8_t* bytes, unsigned scale) {
    // A sign byte, then four 32-bit little-endian words, the most significant first.
    Uint128 magnitude = 0;
    for (int word = 0; word < 4; ++word)
        magnitude = (magnitude << 32) | get32(bytes + 1 + 4 * word);
    return withScale(decimal(magnitude), scale, (bytes[0] & 0x80) != 0);
}

std::string floatText(float value) {
    return general(value, 8);
}

std::string doubleText(double value) {
    return general(value, 16);
}

std::string guidText(const std::uint8_t* b) {
    char text[40];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

} // namespace peltavo::jet
