#include "tabledata.h"

namespace peltavo {

int TableData::columnIndex(const QString& name) const {
    return columnIndexIn(columns, name);
}

int columnIndexIn(const std::vector<Column>& columns, const QString& name) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == name)
            return static_cast<int>(i);
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace peltavo
