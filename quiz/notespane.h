#pragma once

#include "notesbrowser.h"

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineView;

namespace peltavo::quiz {

// The file URL of a page given by its file path. A doubled separator (the folder was the root,
// which already ends in one) still names the file, not a network share.
QUrl notesPageUrl(const QString& path);

// The quiz window's browser pane: a web view showing a saved page from a file, with the browser's
// own error page when the file is missing and its own find. Ctrl+F, pressed while the focus is in
// the pane, opens a small find bar over the page: Enter or "Sonraki" finds the next match,
// Shift+Enter or "Önceki" the one before, and Escape closes the bar and clears the highlighting.
class NotesPane : public QWidget, public NotesBrowser {
    Q_OBJECT

public:
    explicit NotesPane(QWidget* parent = nullptr);
    ~NotesPane() override;

    QWidget* widget() override { return this; }
    void navigate(const QString& path) override;
    void whenLoaded(std::function<void(bool ok)> done) override;
    QWebEngineView* view() const { return view_; }

    // The find bar.
    void openFind();
    void closeFind();
    void findNext();
    void findPrevious();
    QWidget* findBar() const { return findBar_; }
    QLineEdit* findEdit() const { return findEdit_; }
    // Matches of the last search that has answered, and the one among them now selected (from 1).
    int matches() const { return matches_; }
    int activeMatch() const { return activeMatch_; }

signals:
    void loadFinished(bool ok);
    // A search has answered.
    void found(int matches);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void find(bool backward);
    void placeFindBar();

    QWebEngineView* view_;
    QWidget* findBar_;
    QLineEdit* findEdit_;
    QPushButton* previous_;
    QPushButton* next_;
    QLabel* count_;
    QPushButton* close_;
    int matches_ = 0;
    int activeMatch_ = 0;
    std::function<void(bool)> loaded_;
};

} // namespace peltavo::quiz
