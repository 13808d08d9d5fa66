#pragma once

#include "busycursor.h"
#include "databaseopening.h"
#include "quizlogic.h"

#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <random>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace peltavo {

class DataSource;
class TableHandle;
struct ProgramState;

namespace platform {
class DirectoryList;
class LineEdit;
class Platform;
} // namespace platform

namespace quiz {
class NotesBrowser;
}

// The quiz window `sorcevekr`: an English sentence with a gap on three labels, up to eleven
// answer buttons, the right and wrong bars, the sentence in an edit box with select-all, copy and
// speech, and the lesson notes page in a browser pane. It opens the learning database for itself
// when it is created and owns the questions table `ADO` ("sorubos") and the answer sets table
// `ADOCEV` ("cevap"). Created hidden; closing it only hides it, and every showing asks a new
// question (FormShow).
//
// The browser pane `web` is built once the window's first showing is on the screen, so that
// neither the program's start nor the question waits for the web engine. Until the notes page is
// painted, a line in the pane's place (`webNote`) says that it is coming and the busy cursor is up;
// when the pane cannot be made, the line says why and the quiz goes on without it.
class Tsorcevekr : public QWidget {
    Q_OBJECT

public:
    Tsorcevekr(ProgramState& state, platform::Platform& platform, QWidget* parent = nullptr);
    ~Tsorcevekr() override;

    // The controls and tables.
    TableHandle* ADO;
    DataSource* DS;
    TableHandle* ADOCEV;
    DataSource* dscev;
    QLabel* ilke;
    QLabel* bose;
    QLabel* ikie;
    // `cb1` ... `cb11`: cb[0] is `cb1`.
    std::array<QPushButton*, 11> cb{};
    QPushButton* nextb;
    QPushButton* cikb;
    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* pb1;
    QProgressBar* pb2;
    platform::LineEdit* cumle;
    QPushButton* secb;
    QPushButton* kopyab;
    QPushButton* sesb;
    QLabel* Label3;
    // The browser pane (see quiz::NotesBrowser); null until the window's first showing is on the
    // screen.
    QWidget* web = nullptr;
    // Stands in the pane's place, over it, until the notes page has been loaded: what is coming,
    // or why the pane stays empty.
    QLabel* webNote;
    QStatusBar* sb;
    // Holds the folder current when the window was built; the lesson notes are looked for there.
    platform::DirectoryList* dl;

    // Creation: opens the database with an empty password. Errors of the opening pass through
    // (the window-creation step shows them).
    void FormCreate();

    // The database opening of this window (see DatabaseOpening): `ADO` on "sorubos", then
    // `ADOCEV` on "cevap"; no sort, no bindings.
    void ConnectToMSAccessDB(const QString& fileName, const QString& password);
    QString GetDBPath(const QString& fileName);
    bool CheckIfAccessDB(const QString& path);
    void ConnectToAccessDB(const QString& path, const QString& password);
    QString connectionString() const { return connectionString_; }

    // Runs each time the window goes from hidden to visible, before it is on the screen: loads
    // the notes page (the first time, once the window is on the screen: see above), hides `cb3`
    // ... `cb11`, puts the window back to its size and asks a question. An error of the question
    // is shown and the window still appears.
    void FormShow();
    // Asks the next question: draws its number, lays the sentence out around the gap and puts
    // the answer set on the buttons. Errors of the data layer pass through; what was done stays.
    void sorusor();
    // Judges the answer on `pressed` (one of `cb1` ... `cb11`) and counts it on a bar.
    void cevkont(QPushButton* pressed);
    void secbClick();
    void kopyabClick();
    void sesbClick();
    void cikbClick();

    // The lesson notes page: the folder taken when the window was built, then "/ingcev.mht".
    QString notesPath() const;
    // The gap label's self-sizing: while on, `bose` fits its width to its text.
    bool boseAutoSize() const { return boseAutoSize_; }

    ProgramState& state() const { return state_; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    void connectHandlers();
    void loadNotes();
    void buildNotesPane();
    void notesLoaded();
    void setBoseAutoSize(bool on);
    void layOut(const QString& sentence);

    ProgramState& state_;
    platform::Platform& platform_;
    DatabaseOpening opening_;
    QString connectionString_;
    quiz::NotesBrowser* notes_ = nullptr; // the pane `web`, owned by this window
    bool paneAfterPaint_ = false;         // build the pane once the window has been painted
    QString notesProblem_;                // why the pane could not be made
    std::optional<platform::BusyCursor> notesBusy_; // up until the notes page has been loaded
    std::mt19937 random_;
    bool boseAutoSize_ = true;
};

} // namespace peltavo
