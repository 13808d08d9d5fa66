#pragma once

// The values of a Jet file as the program reads them: every kind of field turned into text by
// functions of bytes alone. No Qt and no libmdb, so that the confined reader and the fuzzer use
// them as they are; each checks the bytes it is given and never reads past them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace peltavo::jet {

using Bytes = std::basic_string_view<std::uint8_t>;

// Jet 4 text: UTF-16LE, or compressed (after the marker FF FE, runs of one-byte characters U+0001
// to U+00FF and of UTF-16LE characters, switched by each 00 byte). Writes at most `bytes.size()`
// units to `out` and returns how many; every UTF-16 unit is kept, surrogates included. A last odd
// byte is dropped.
std::size_t decodeJet4Text(Bytes bytes, char16_t* out);

// Binary values (OLE objects, binary columns) read as text: each byte one character of the
// Windows code page of the learner's system (windows-1254, Turkish), the five bytes that code page
// leaves undefined as the control characters of the same number, as Windows reads them. Writes
// exactly `bytes.size()` units.
void decodeBinaryAsText(Bytes bytes, char16_t* out);
// Single-byte text (Jet 3 files) in the code pages of Windows most files use: western (1252) and
// Turkish (1254). Writes exactly `bytes.size()` units; the bytes a code page leaves undefined read
// as the control characters of the same number, as Windows reads them.
void decodeWindows1252(Bytes bytes, char16_t* out);
void decodeWindows1254(Bytes bytes, char16_t* out);
// The bytes a binary value read as text was read from; nullopt when a character is not one of the
// 256.
std::optional<std::string> binaryTextBytes(std::u16string_view text);

// UTF-8 (libmdb's names and Jet 3 text) as UTF-16; a malformed sequence gives U+FFFD.
std::u16string utf16FromUtf8(std::string_view utf8);
// UTF-16 as UTF-8; a lone surrogate gives U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

// A date and time: days since 1899-12-30, the whole part the day (counted back for negative
// values) and the fraction's size the time of day, rounded to the second. Written
// "YYYY-MM-DD HH:MM:SS" for every year from 1 to 9999 (Access itself writes 100 to 9999); a value
// outside those years, or not a number, is written as the number it is (doubleText).
std::string dateText(double days);

// Fixed-size numbers as the program shows them. `bytes` must hold the value's size (money 8,
// numeric 17, GUID 16); the callers check it.
std::string moneyText(const std::uint8_t* bytes);                   // four decimals, "0.5000"
std::string numericText(const std::uint8_t* bytes, unsigned scale); // `scale` decimals
std::string floatText(float value);                                 // 8 significant digits
std::string doubleText(double value);                               // 16 significant digits
std::string guidText(const std::uint8_t* bytes); // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}

// Little-endian integers of the file.
inline std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace peltavo::jet
