#pragma once

#include <QLineEdit>

namespace peltavo::platform {

// A single-line edit that, unlike QLineEdit, can leave its text unselected when the keyboard
// focus enters it.
class LineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit LineEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

    // Whether entering by Tab selects the whole text (true by default).
    void setAutoSelect(bool on) { autoSelect_ = on; }
    bool autoSelect() const { return autoSelect_; }

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    bool autoSelect_ = true;
};

} // namespace peltavo::platform

namespace peltavo {
class DataSource;
class FieldLink;
} // namespace peltavo

namespace peltavo::platform {

// A read-only single-line edit that shows one field of a table's current row and follows the row.
// Unbound it shows only what is written into it.
class DataEdit : public LineEdit {
    Q_OBJECT

public:
    explicit DataEdit(QWidget* parent = nullptr);
    ~DataEdit() override;

    // Shows `field` of the current row of `source`'s table; a null source or empty field unbinds.
    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const { return source_; }
    QString dataField() const;

private:
    FieldLink* link_;
    DataSource* source_ = nullptr;
};

} // namespace peltavo::platform
