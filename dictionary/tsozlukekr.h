#pragma once

#include "direction.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace peltavo {

struct ProgramState;

namespace platform {
class DataEdit;
class DataMemo;
} // namespace platform

// The dictionary detail window `sozlukekr`: one dictionary entry in full, its headword in
// `DBEdit1` and its meaning in `DBMemo1`, with two arrows that page through the entries. It owns
// no tables: it reads and moves the main window's dictionary table of the direction in force, so
// the main window's grid follows every step. The two fields are unbound until the first direction
// switch binds them; from then on they also follow moves made in the grid. Created hidden; closing
// it only hides it. Errors of the table (a closed table, a null field) pass to the caller.
class Tsozlukekr : public QWidget {
    Q_OBJECT

public:
    // `mainWindow` is the window it is centred on at its first showing.
    Tsozlukekr(ProgramState& state, const DictionaryTables& tables, QWidget* mainWindow,
               QWidget* parent = nullptr);
    ~Tsozlukekr() override;

    QLabel* Label1;
    QLabel* Label2;
    platform::DataEdit* DBEdit1;
    platform::DataMemo* DBMemo1;
    QPushButton* onceb;
    QPushButton* sonrab;

    // The main window's detail button: one entry back, that entry written into the two fields,
    // then the window shown (or brought to the front). A null field ends the click before the
    // window is shown.
    void sozlukbClick();
    // One entry forward or back, then that entry written into the two fields.
    void sonrabClick();
    void oncebClick();

    // Binds the two fields to a dictionary; the direction switch calls it.
    void bindFields(DataSource* source, const QString& headwordField, const QString& meaningField);

    ProgramState& state() const { return state_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class Step { Forward, Back };
    void page(Step step);
    // Writes the current entry of `table`: the headword, then the meaning. A null field throws the
    // conversion error there, leaving what was written before it.
    void writeEntry(const TableHandle& table, const DirectionBindings& bindings);

    ProgramState& state_;
    DictionaryTables tables_;
    QPointer<QWidget> mainWindow_;
    bool placed_ = false;
};

} // namespace peltavo
