#pragma once

// What the confined reader (peltavo-jetread) tells the program on its standard output once it is
// done: the table it wrote into the two memory files it was given, the names of the file's tables,
// or why it could not. No Qt; both sides use this.
#include "columntype.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace peltavo::jet {

// Why a file could not be read. The program words the message, with the file's path.
enum class FaultKind : std::uint8_t {
    NotJet = 1,      // not an Access (Jet) database
    Damaged = 2,     // cannot be read whole; the detail says what is wrong
    NoTable = 3,     // no table of the name asked for
    OutOfMemory = 4, // the table does not fit in the memory the reader may use
};

struct ColumnShape {
    std::string name; // UTF-8
    ColumnType type = ColumnType::Text;
    int maxLength = 255;
};

struct Report {
    enum class Kind : std::uint8_t { Table = 1, Names = 2, Fault = 3 };
    Kind kind = Kind::Fault;
    // Kind::Fault
    FaultKind fault = FaultKind::Damaged;
    std::string detail;
    // Kind::Table: its name as the file spells it, its columns, and how much of each memory file
    // it wrote (UTF-16 units of text, rows of cells).
    std::string table;
    std::vector<ColumnShape> columns;
    std::uint64_t rows = 0;
    std::uint64_t units = 0;
    // Kind::Names
    std::vector<std::string> names;
};

std::string encodeReport(const Report& report);
// The report in `bytes`, or nullopt when they are not one whole report.
std::optional<Report> decodeReport(std::string_view bytes);

// The largest report the program reads.
inline constexpr std::size_t kMaxReportBytes = 16 << 20;

} // namespace peltavo::jet
