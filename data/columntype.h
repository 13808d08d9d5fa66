#pragma once

namespace peltavo {

// Column kinds as the program reads them. Integer, Text and Memo are what the learning database
// uses; Binary is an OLE object or binary column, read as text one byte to a character; every
// other kind a Jet file may hold (dates, floats, money, booleans, ...) is read as text and
// reported as Other.
enum class ColumnType { Integer, Text, Memo, Other, Binary };

} // namespace peltavo
