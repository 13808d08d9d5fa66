#pragma once

#include <QWidget>

namespace peltavo {

struct ProgramState;

// The dictionary detail window `sozlukekr`: one dictionary entry in full. It owns no tables; it
// reads and moves the main window's dictionary table of the direction in force. Created hidden;
// closing it only hides it.
class Tsozlukekr : public QWidget {
    Q_OBJECT

public:
    explicit Tsozlukekr(ProgramState& state, QWidget* parent = nullptr);
    ~Tsozlukekr() override;

    ProgramState& state() const { return state_; }

private:
    ProgramState& state_;
};

} // namespace peltavo
