#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace peltavo {

class TableHandle;

// Binds one field of a table's current row to whatever shows it. Emits textChanged whenever the
// row, the table or the binding changes; a null field, a closed table, no row or no binding give
// an empty text. The link reads with fieldValue(), so it never throws.
class FieldLink : public QObject {
    Q_OBJECT

public:
    explicit FieldLink(QObject* parent = nullptr);

    // Binds to `field` of `table`; a null table or empty field unbinds.
    void bind(TableHandle* table, const QString& field);
    TableHandle* table() const { return table_; }
    QString field() const { return field_; }
    QString text() const;

signals:
    void textChanged(const QString& text);

private:
    void refresh();

    QPointer<TableHandle> table_;
    QString field_;
    QMetaObject::Connection connection_;
};

} // namespace peltavo
