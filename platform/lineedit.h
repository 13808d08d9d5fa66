#pragma once

#include <QLineEdit>

namespace peltavo::platform {

// A single-line edit that, unlike QLineEdit, can leave its text unselected when the keyboard
// focus enters it, and can keep its selection when the focus leaves it.
class LineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit LineEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

    // Whether entering by Tab selects the whole text (true by default).
    void setAutoSelect(bool on) { autoSelect_ = on; }
    bool autoSelect() const { return autoSelect_; }

    // Whether the selection survives losing the focus (off by default: QLineEdit drops it), so
    // that a button pressed afterwards still finds it.
    void setKeepSelection(bool on) { keepSelection_ = on; }
    bool keepSelection() const { return keepSelection_; }
    // Whether a kept selection is hidden while the edit lacks the focus (true by default); it
    // shows again as soon as the focus returns.
    void setHideSelection(bool on);
    bool hideSelection() const { return hideSelection_; }
    // Whether the selection is drawn highlighted at this moment.
    bool showsSelection() const { return hasFocus() || !hideSelection_; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateSelectionLook();

    bool autoSelect_ = true;
    bool keepSelection_ = false;
    bool hideSelection_ = true;
    bool highlightHidden_ = false;
    QPalette shown_; // the palette with its own highlight, while that is hidden
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
