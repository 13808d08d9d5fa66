// The main window's side of the dictionary: the search button, the detail button and the
// direction switch. What each direction binds and how a search runs live in dictionary/.
#include "datasource.h"
#include "dictionarygridmodel.h"
#include "dictionarysearch.h"
#include "lineedit.h"
#include "memo.h"
#include "programstate.h"
#include "tablehandle.h"
#include "tanaekr.h"
#include "tsozlukekr.h"

#include <QLabel>
#include <QPushButton>

namespace peltavo {

void Tanaekr::sarabClick() {
    const DirectionBindings* bindings = bindingsOf(state_.DirectionMode);
    if (!bindings)
        return;
    pressSearchButton(*dictionaryTable(dictionaryTables(), *bindings), bindings->headwordField,
                      ara->text(), [this](const QString& cut) { ara->setText(cut); });
}

void Tanaekr::sozlukbClick() {
    if (state_.sozlukekr)
        state_.sozlukekr->sozlukbClick();
}

void Tanaekr::turbClick() {
    cumle->clear();
    cumleb->hide();
    Table->close();
    Tablei->close();
    Tablet->close();

    const DirectionBindings& to = switchedFrom(state_.DirectionMode);
    DataSource* dictionary = dictionarySource(dictionaryTables(), to);
    state_.DirectionMode = to.direction;
    sozlukModel->setDataSource(dictionary);
    prog->bind(tablods, to.progField);
    kullandb->bind(tablods, to.kullandbField);
    turb->setText(to.turbCaption);
    sbul->setText(to.sbulCaption);
    sozlukModel->setColumnField(0, to.headwordField);
    sozlukModel->setColumnField(1, to.meaningField);
    if (state_.sozlukekr)
        state_.sozlukekr->bindFields(dictionary, to.headwordField, to.meaningField);

    // Each table comes back on its first record; the dictionaries keep their sort and filter.
    Table->open();
    Tablei->open();
    Tablet->open();
}

} // namespace peltavo
