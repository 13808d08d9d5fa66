#include "fieldlink.h"

#include "tablehandle.h"

namespace peltavo {

FieldLink::FieldLink(QObject* parent) : QObject(parent) {}

void FieldLink::bind(TableHandle* table, const QString& field) {
    disconnect(connection_);
    table_ = table;
    field_ = field;
    if (table_)
        connection_ = connect(table_, &TableHandle::currentChanged, this, &FieldLink::refresh);
    refresh();
}

QString FieldLink::text() const {
    if (!table_ || field_.isEmpty() || !table_->isOpen() || !table_->hasField(field_))
        return QString();
    return table_->fieldValue(field_).value_or(QString());
}

void FieldLink::refresh() {
    emit textChanged(text());
}

} // namespace peltavo
