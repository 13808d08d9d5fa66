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
