#pragma once

#include "baseform.h"
#include "databaseopening.h"
#include "direction.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTableView;

namespace peltavo {

class DataSource;
class DictionaryGridModel;
class LazyStemmers;
class TableHandle;
struct ProgramState;

namespace platform {
class DataMemo;
class DirectoryList;
class FindDialog;
class LineEdit;
class Memo;
class Platform;
} // namespace platform

// The main window `anaekr`: one conversation in the memo `prog`, its translation in the hidden
// memo `kullandb`, the sentence box, a note area, the dictionary search box and grid and a block
// of buttons. Every control stands at a fixed place; resizing moves only the banner's width and
// the status bar. Its controls are public so that the other windows and the handlers of every
// area can reach them, as they reach the window through ProgramState::anaekr.
//
// Construction builds the controls only; FormCreate() opens the database. The handlers work on
// the controls and tables directly and let errors of the data layer (a closed table) pass to the
// event loop, which shows them.
class Tanaekr : public QWidget {
    Q_OBJECT

public:
    Tanaekr(ProgramState& state, platform::Platform& platform, QWidget* parent = nullptr);
    ~Tanaekr() override;

    // The controls and tables, in the window's declared order.
    QLabel* baslik;
    TableHandle* Table;
    DataSource* tablods;
    QStatusBar* durum;
    platform::Memo* kullan;
    platform::DataMemo* prog;
    platform::FindDialog* bul;
    platform::LineEdit* cumle;
    QPushButton* cumleb;
    platform::DataMemo* kullandb;
    QPushButton* turb;
    QPushButton* metinb;
    QTableView* sozluk;
    TableHandle* Tablei;
    TableHandle* Tablet;
    DataSource* tableids;
    DataSource* tabletds;
    QLabel* sbul;
    QLabel* sbul2;
    platform::LineEdit* ara;
    QPushButton* arab;
    QPushButton* yadimb;
    platform::DirectoryList* dizin;
    QPushButton* sarab;
    QPushButton* ilerib;
    QPushButton* geri1;
    QPushButton* sesb;
    QPushButton* sozlukb;
    QPushButton* boslukb;
    // The model behind the grid `sozluk`.
    DictionaryGridModel* sozlukModel;

    // Creation: opens the database with the password "947", then sets DirectionMode to "it".
    // Errors of the opening pass through (the window-creation step shows them).
    void FormCreate();
    // FormCreate() in two steps, so that the window can be shown and painted between them,
    // before the dictionaries are read. The first opens the conversation table and binds the
    // panes to it; the second reads and opens the dictionaries (the second one on a worker thread
    // beside the first), binds the grid and sets DirectionMode. When the first step fails, or does
    // not reach the tables, the second does what FormCreate() would have done after it: nothing
    // more, or only the direction. An error of the dictionaries unbinds the panes again, leaving
    // the window as FormCreate() leaves it.
    void beginFormCreate();
    void finishFormCreate();

    // The database opening of this window (see DatabaseOpening): its tables are `Table`
    // ("konus"), `Tablei` ("isozluk", sorted by "ikelime") and `Tablet` ("tsozluk", sorted by
    // "tkelime"); once all three are open, `prog` shows "ikonus", `kullandb` "tkonus" and the
    // grid "ikelime" and "tanlam" at widths 150 and 270.
    void ConnectToMSAccessDB(const QString& fileName, const QString& password);
    QString GetDBPath(const QString& fileName);
    bool CheckIfAccessDB(const QString& path);
    void ConnectToAccessDB(const QString& path, const QString& password);
    // The connection string built by ConnectToAccessDB; empty before.
    QString connectionString() const { return connectionString_; }

    // Conversation browsing.
    void geri1Click();
    void ileribClick();
    void progClick();
    void progExit();
    // Focuses `prog`, records the caret's display line in CaretLine and puts the word at the
    // caret, shortened, into `ara`.
    void TakeWordUnderCaret();
    // Double-click into `prog`: picks the word as a click does, then puts the base form of the
    // word at the caret (baseFormAt) into `ara` and lists the dictionary from it, as
    // "Sözlükte Ara" does.
    void progDblClick();
    // The right-click menu of `prog` for the pointer at text position `position`: puts an entry
    // "«<base form>» sözlükte ara" before the standard ones, which places the caret in that word
    // and does what a double-click does. No entry where the pointer touches no word or no
    // dictionary is open.
    void progContextMenu(QMenu* menu, int position);
    // The search text of a double-click with the caret at text position `position` of `prog`,
    // in the dictionary of the direction in force (BaseForms): nothing without a direction or
    // with that dictionary closed. The Hunspell dictionary of the language is read the first
    // time it is needed.
    std::optional<BaseForm> baseFormAt(int position);
    void arabClick();
    // Looks for the find dialog's text from the end of `prog`'s selection on, then in the
    // following conversations; selects a match, or says "Aranan kelime bulunamadı!" when nothing
    // is left to search.
    void bulFind();

    // Shows the quiz window, or only brings it to the front when it is already visible.
    void boslukbClick();

    // Translation panes. cumlebClick picks the word under the caret again and puts the line of
    // `kullandb` that translates the caret's line into `cumle`; metinbClick shows or hides
    // `kullandb`, its caption recording which.
    void cumlebClick();
    void metinbClick();
    // Speaks the English line of the caret (the stored line of `prog` in "it", of `kullandb` in
    // "ti", that holds or translates display line `CaretLine` of `prog`) and shows it in `cumle`. A
    // voice is made for the request and released at its end; when none can be made the error passes
    // before `cumle` is touched.
    void sesbClick();
    // Opens peltchm.chm in the folder that was current when the window was built.
    void yadimbClick();

    // Dictionary. sarabClick lists the dictionary of the direction in force from the text of
    // `ara` on (cut at its first apostrophe); sozlukbClick opens the detail window one entry back;
    // turbClick switches the direction, rebinding the panes, the grid and the detail window while
    // the three tables are closed, then opening them again.
    void sarabClick();
    void sozlukbClick();
    void turbClick();
    DictionaryTables dictionaryTables() const { return {Tablei, Tablet, tableids, tabletds}; }

    ProgramState& state() const { return state_; }
    platform::Platform& platform() const { return platform_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildGrid();
    void setTabOrder();
    void connectHandlers();
    void followGridCurrentRow();
    void openConversation(const QString& path, const QString& password);
    void openDictionaries();
    // The stored line of `of` (`prog` or `kullandb`) that stands with the caret's display line.
    QString lineAtCaret(const platform::Memo& of) const;

    ProgramState& state_;
    platform::Platform& platform_;
    DatabaseOpening opening_;
    QString connectionString_;
    bool centred_ = false;
    // Creation's state between its two steps.
    bool deferDictionaries_ = false;
    bool dictionariesPending_ = false;
    bool creationBegun_ = false;
    // The stems of double-clicked words; nothing is read before the first double-click.
    std::unique_ptr<LazyStemmers> stemmers_;
};

} // namespace peltavo
