#include "notespane.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QOpenGLContext>
#include <QPushButton>
#include <QQuickWindow>
#include <QShortcut>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace peltavo::quiz {

QUrl notesPageUrl(const QString& path) {
    QString file = path;
    while (file.startsWith(QLatin1String("//")))
        file.remove(0, 1);
    return QUrl::fromLocalFile(file);
}

NotesPane::NotesPane(QWidget* parent) : QWidget(parent), view_(new QWebEngineView(this)) {
    view_->setObjectName(QStringLiteral("webView"));
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    setFocusProxy(view_);
    connect(view_, &QWebEngineView::loadFinished, this, &NotesPane::loadFinished);
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (loaded_)
            loaded_(ok);
    });

    findBar_ = new QWidget(this);
    findBar_->setObjectName(QStringLiteral("webFind"));
    findBar_->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(findBar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    findEdit_ = new QLineEdit(findBar_);
    findEdit_->setObjectName(QStringLiteral("webFindText"));
    findEdit_->setPlaceholderText(QStringLiteral("Bul"));
    findEdit_->setAccessibleName(QStringLiteral("Bul"));
    findEdit_->setMinimumWidth(160);
    findEdit_->installEventFilter(this);
    previous_ = new QPushButton(QStringLiteral("Önceki"), findBar_);
    previous_->setObjectName(QStringLiteral("webFindPrevious"));
    next_ = new QPushButton(QStringLiteral("Sonraki"), findBar_);
    next_->setObjectName(QStringLiteral("webFindNext"));
    count_ = new QLabel(findBar_);
    count_->setObjectName(QStringLiteral("webFindCount"));
    count_->setMinimumWidth(48);
    close_ = new QPushButton(QStringLiteral("Kapat"), findBar_);
    close_->setObjectName(QStringLiteral("webFindClose"));
    for (QPushButton* button : {previous_, next_, close_})
        button->setFocusPolicy(Qt::NoFocus);
    row->addWidget(findEdit_);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addWidget(count_);
    row->addWidget(close_);
    findBar_->hide();

    connect(findEdit_, &QLineEdit::returnPressed, this, &NotesPane::findNext);
    connect(findEdit_, &QLineEdit::textEdited, this, &NotesPane::findNext);
    connect(next_, &QPushButton::clicked, this, &NotesPane::findNext);
    connect(previous_, &QPushButton::clicked, this, &NotesPane::findPrevious);
    connect(close_, &QPushButton::clicked, this, &NotesPane::closeFind);
    auto* shortcut = new QShortcut(QKeySequence::Find, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, &NotesPane::openFind);
}

NotesPane::~NotesPane() = default;

void NotesPane::navigate(const QString& path) {
    view_->load(notesPageUrl(path));
}

void NotesPane::whenLoaded(std::function<void(bool ok)> done) {
    loaded_ = std::move(done);
}

void NotesPane::openFind() {
    placeFindBar();
    findBar_->show();
    findBar_->raise();
    findEdit_->setFocus(Qt::ShortcutFocusReason);
    findEdit_->selectAll();
}

void NotesPane::closeFind() {
    findBar_->hide();
    view_->page()->findText(QString()); // clears the highlighting
    matches_ = activeMatch_ = 0;
    count_->clear();
    view_->setFocus(Qt::OtherFocusReason);
}

void NotesPane::findNext() {
    find(false);
}

void NotesPane::findPrevious() {
    find(true);
}

void NotesPane::find(bool backward) {
    const QString text = findEdit_->text();
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    view_->page()->findText(text, flags, [this, text](const QWebEngineFindTextResult& result) {
        matches_ = result.numberOfMatches();
        activeMatch_ = result.activeMatch();
        count_->setText(text.isEmpty() ? QString()
                                       : QStringLiteral("%1/%2").arg(activeMatch_).arg(matches_));
        emit found(matches_);
    });
}

void NotesPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_->setGeometry(rect());
    placeFindBar();
}

// The bar sits at the pane's top right corner, over the page.
void NotesPane::placeFindBar() {
    const QSize size = findBar_->sizeHint();
    findBar_->setGeometry(qMax(0, width() - size.width()), 0, qMin(width(), size.width()),
                          size.height());
}

bool NotesPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == findEdit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            closeFind();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace peltavo::quiz

// Qt's own getter and setter of the context that every OpenGL context of the program shares with
// (exported by Qt GUI, declared in a private header).
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

// Qt WebEngine needs the context that every OpenGL context of the program shares with; a program
// that links it has that context made when its application object starts. This module is loaded
// later, so it makes the context itself before the first view, as the web engine would have.
//
// The pane draws the page with Qt Quick's software renderer, and Chromium composites the page in
// software. An OpenGL pane would make its window composite through OpenGL: a window already on
// the screen is then made anew (it flickers and loses the keyboard focus), and one made that way
// from the start would start OpenGL before its question is shown. A page of notes needs no more.
void prepareWebEngine() {
    if (qt_gl_global_share_context())
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    auto* context = new QOpenGLContext(qApp); // lives as long as the application
    context->create();
    qt_gl_set_global_share_context(context);
}

} // namespace

extern "C" Q_DECL_EXPORT peltavo::quiz::NotesBrowser*
peltavo_create_notes_browser(QWidget* parent) {
    prepareWebEngine();
    return new peltavo::quiz::NotesPane(parent);
}
