#pragma once

#include "tablehandle.h"

#include <QObject>
#include <QPointer>

namespace peltavo {

// Names the table that data-bound controls show; the controls are bound to a source and a field,
// so a window can point a control at another table by handing it another source. The source does
// not own the table; once the table is gone, dataSet() is null.
class DataSource : public QObject {
public:
    DataSource(const QString& name, TableHandle* dataSet, QObject* parent = nullptr)
        : QObject(parent), dataSet_(dataSet) {
        setObjectName(name);
    }

    TableHandle* dataSet() const { return dataSet_.data(); }

private:
    QPointer<TableHandle> dataSet_;
};

} // namespace peltavo
