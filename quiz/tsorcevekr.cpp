#include "tsorcevekr.h"

#include "accessibility.h"
#include "busycursor.h"
#include "busycursor.h"
#include "creation.h"
#include "datasource.h"
#include "dbopening.h"
#include "directorylist.h"
#include "error.h"
#include "glyphs.h"
#include "keyboard.h"
#include "layout.h"
#include "lineedit.h"
#include "notesbrowser.h"
#include "platform.h"
#include "programstate.h"
#include "quizfonts.h"
#include "tablehandle.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>

#include <utility>

namespace peltavo {

namespace {

using platform::pixelFont;
using platform::place;

const QString kCaption =
    QStringLiteral("Peltavo İngilizce tartışma grubumuza siz de katılın: groups.peltavo.example");
// The outer size 800 x 550 less a classic sizeable frame.
using quiz::kClientSize;
constexpr int kStatusHeight = 19;
constexpr int kLineTop = 10;

const QColor kRed(255, 0, 0);
const QColor kSkyBlue(166, 202, 240);

const QString kNotesComing = QStringLiteral("Ders notları açılıyor, lütfen bekleyin…");

QFont arialBold(int pixels) {
    return pixelFont(QStringLiteral("Arial"), pixels, true);
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QFont& font, const QColor& ink,
                  const QColor& paper, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ink);
    palette.setColor(QPalette::Window, paper);
    label->setPalette(palette);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& text) {
    return new QPushButton(text, parent);
}

QPushButton* makeGlyphButton(QWidget* parent, platform::Glyph glyph, const QString& text) {
    auto* button = new QPushButton(platform::glyphIcon(glyph), text, parent);
    button->setIconSize(QSize(16, 16));
    return button;
}

// A label that fits its width to its text; its height and place stay. A label with no text takes
// no width, so that its colour does not stand in the line as a block.
void fitWidth(QLabel* label) {
    label->resize(label->text().isEmpty() ? 0 : label->sizeHint().width(), label->height());
}

} // namespace

Tsorcevekr::Tsorcevekr(ProgramState& state, platform::Platform& platform, QWidget* parent)
    : QWidget(parent), state_(state), platform_(platform), opening_(platform, this) {
    setObjectName(QStringLiteral("sorcevekr"));
    setWindowTitle(kCaption);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::ToolTipBase));
    setPalette(palette);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_QuitOnClose, false);
    move(192, 114);
    resize(kClientSize);

    ADO = new TableHandle(QStringLiteral("ADO"), this);
    DS = new DataSource(QStringLiteral("DS"), ADO, this);
    ADOCEV = new TableHandle(QStringLiteral("ADOCEV"), this);
    dscev = new DataSource(QStringLiteral("dscev"), ADOCEV, this);
    dl = new platform::DirectoryList(this);
    dl->setObjectName(QStringLiteral("dl"));
    dl->setFocusPolicy(Qt::NoFocus);
    dl->hide();

    buildControls();
    setTabOrder();
    connectHandlers();
    platform::nameControlsForAccessibility(this);
    platform::pressButtonsWithEnter(this);
}

Tsorcevekr::~Tsorcevekr() = default;

void Tsorcevekr::buildControls() {
    const QFont lineFont = quiz::lineFont();
    const QColor windowText = QApplication::palette().color(QPalette::WindowText);
    ilke = place(makeLabel(this, QString(), lineFont, windowText, kSkyBlue, Qt::AlignLeft), "ilke",
                 10, 10, 228, 24);
    bose = place(makeLabel(this, QString(), lineFont, Qt::white,
                           QApplication::palette().color(QPalette::Highlight), Qt::AlignHCenter),
                 "bose", 220, 10, 60, 24);
    ikie = place(makeLabel(this, QString(), lineFont, windowText, kSkyBlue, Qt::AlignLeft), "ikie",
                 440, 10, 228, 24);

    // Two rows of answer buttons; the first row leaves the place at left 600 empty.
    static constexpr int kLefts[] = {10, 120, 240, 360, 480};
    const QFont answerFont = quiz::answerFont();
    for (int k = 0; k < 11; ++k) {
        const int left = k < 5 ? kLefts[k] : k < 10 ? kLefts[k - 5] : 600;
        const int top = k < 5 ? 45 : 75;
        const QByteArray name = "cb" + QByteArray::number(k + 1);
        cb[k] = place(makeButton(this, QString()), name.constData(), left, top,
                      quiz::kAnswerButtonWidth, 25);
        cb[k]->setFont(answerFont);
        QPalette ink = cb[k]->palette();
        ink.setColor(QPalette::ButtonText, Qt::black);
        cb[k]->setPalette(ink);
    }

    nextb =
        place(makeGlyphButton(this, platform::Glyph::ArrowRight, QStringLiteral("Sonraki soru")),
              "nextb", 672, 45, 110, 25);
    nextb->setFont(arialBold(11));
    QPalette red = nextb->palette();
    red.setColor(QPalette::ButtonText, kRed);
    nextb->setPalette(red);
    nextb->hide();
    cikb = place(makeGlyphButton(this, platform::Glyph::Door, QStringLiteral("Çıkış")), "cikb", 713,
                 75, 75, 25);

    const QColor windowColour = QApplication::palette().color(QPalette::Base);
    Label1 = place(makeLabel(this, QStringLiteral("Doğru:"), arialBold(11), kRed, windowColour,
                             Qt::AlignRight),
                   "Label1", 0, 132, 40, 13);
    Label2 = place(makeLabel(this, QStringLiteral("Yanlış:"), arialBold(11), kRed, windowColour,
                             Qt::AlignRight),
                   "Label2", 0, 153, 40, 13);
    pb1 = place(new QProgressBar(this), "pb1", 40, 130, 650, 17);
    pb2 = place(new QProgressBar(this), "pb2", 40, 153, 650, 17);
    for (QProgressBar* bar : {pb1, pb2}) {
        bar->setRange(0, quiz::kBarMaximum);
        bar->setValue(0);
        bar->setTextVisible(false);
    }

    cumle = place(new platform::LineEdit(this), "cumle", 5, 180, 500, 21);
    cumle->setKeepSelection(true);
    secb = place(makeButton(this, QStringLiteral("Tümünü Seç")), "secb", 520, 178, 75, 25);
    kopyab = place(makeButton(this, QStringLiteral("Kopyala")), "kopyab", 610, 178, 75, 25);
    sesb =
        place(new QPushButton(platform::glyphIcon(platform::Glyph::Loudspeaker), QString(), this),
              "sesb", 695, 178, 25, 25);
    sesb->setIconSize(QSize(16, 16));
    sesb->setToolTip(QStringLiteral("İngilizce Cümleyi Seslendir"));

    Label3 = place(makeLabel(this,
                             QStringLiteral("Aşağıdaki bilgilere tıkladıktan sonra CTRL+F tuş "
                                            "bileşimine basarak kelime arayabilirsiniz."),
                             pixelFont(QStringLiteral("MS Sans Serif"), 11, true), Qt::white, kRed,
                             Qt::AlignLeft),
                   "Label3", 150, 205, 505, 13);

    // Where the browser pane goes, a line that stands over it until the notes page is loaded.
    webNote = place(makeLabel(this, QString(), pixelFont(QStringLiteral("Arial"), 13, false),
                              QApplication::palette().color(QPalette::PlaceholderText),
                              QApplication::palette().color(QPalette::Base), Qt::AlignHCenter),
                    "webNote", 5, 220, 780, 250);
    webNote->setWordWrap(true);
    webNote->setFrameShape(QFrame::StyledPanel);
    webNote->hide();

    sb = place(new QStatusBar(this), "sb", 0, height() - kStatusHeight, width(), kStatusHeight);
    sb->setSizeGripEnabled(false);
}

void Tsorcevekr::setTabOrder() {
    const QList<QWidget*> order{cb[0], cb[1], cb[3], cb[4],  cb[5], cb[6], nextb,  cikb, cb[2],
                                cb[7], cb[8], cb[9], cb[10], cumle, secb,  kopyab, sesb};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Tsorcevekr::connectHandlers() {
    for (QPushButton* button : cb)
        connect(button, &QPushButton::clicked, this, guarded([this, button] { cevkont(button); }));
    connect(nextb, &QPushButton::clicked, this, guarded([this] { sorusor(); }));
    connect(cikb, &QPushButton::clicked, this, guarded([this] { cikbClick(); }));
    connect(secb, &QPushButton::clicked, this, guarded([this] { secbClick(); }));
    connect(kopyab, &QPushButton::clicked, this, guarded([this] { kopyabClick(); }));
    connect(sesb, &QPushButton::clicked, this, guarded([this] { sesbClick(); }));
}

void Tsorcevekr::FormCreate() {
    ConnectToMSAccessDB(QStringLiteral("peltavo.MDB"), QString());
}

void Tsorcevekr::ConnectToMSAccessDB(const QString& fileName, const QString& password) {
    opening_.connectToDatabase(fileName, password, [this](const QString& path, const QString& pw) {
        ConnectToAccessDB(path, pw);
    });
}

QString Tsorcevekr::GetDBPath(const QString& fileName) {
    return opening_.databasePath(fileName);
}

bool Tsorcevekr::CheckIfAccessDB(const QString& path) {
    return opening_.checkHeader(path);
}

void Tsorcevekr::ConnectToAccessDB(const QString& path, const QString& password) {
    connectionString_ = jetConnectionString(path, password);
    openTables(connectionString_, {{ADO, QStringLiteral("sorubos"), QString()},
                                   {ADOCEV, QStringLiteral("cevap"), QString()}});
}

QString Tsorcevekr::notesPath() const {
    return dl->directory() + QStringLiteral("/ingcev.mht");
}

void Tsorcevekr::FormShow() {
    loadNotes();
    for (int k = 2; k < 11; ++k)
        cb[k]->hide();
    resize(kClientSize);
    random_ = quiz::clockSeededGenerator();
    sorusor();
}

// The notes page is sent to the pane; before the pane exists, the window first goes on the screen
// with its question and a line in the pane's place, and the pane is made right after.
void Tsorcevekr::loadNotes() {
    if (!notesProblem_.isEmpty())
        return; // the line says why there is no pane
    notesBusy_.emplace(Qt::BusyCursor);
    if (notes_) {
        notes_->navigate(notesPath());
        return;
    }
    webNote->setText(kNotesComing);
    webNote->show();
    webNote->raise();
    paneAfterPaint_ = true;
}

// The web engine starts here, on the pane's first making. A pane that cannot be made is named in
// the line that stands in its place; the quiz goes on without it.
void Tsorcevekr::buildNotesPane() {
    if (notes_ || !notesProblem_.isEmpty())
        return;
    try {
        notes_ = quiz::createNotesBrowser(this);
    } catch (const Error& error) {
        notesProblem_ = error.message();
        webNote->setText(QStringLiteral("Ders notları gösterilemiyor. ") + notesProblem_);
        notesBusy_.reset();
        return;
    }
    web = place(notes_->widget(), "web", 5, 220, 780, 250);
    QWidget::setTabOrder(sesb, web);
    web->show();
    webNote->raise(); // until the page is there
    platform::nameControlsForAccessibility(this);
    notes_->whenLoaded([this](bool) { notesLoaded(); });
    notes_->navigate(notesPath());
}

void Tsorcevekr::notesLoaded() {
    webNote->hide();
    notesBusy_.reset();
}

bool Tsorcevekr::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Posted from the first paint, it runs once that frame is on the screen.
    if (event->type() == QEvent::Paint && std::exchange(paneAfterPaint_, false))
        QTimer::singleShot(0, this, [this] { buildNotesPane(); });
    return handled;
}

void Tsorcevekr::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar was not hidden.
    if (event->spontaneous())
        return;
    try {
        FormShow();
    } catch (const Error& error) {
        showError(platform_, this, error.message());
    } catch (const std::exception& error) {
        showError(platform_, this, QString::fromLocal8Bit(error.what()));
    }
}

void Tsorcevekr::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        notesBusy_.reset(); // the page may go on loading; nobody waits for it now
}

void Tsorcevekr::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sb->setGeometry(0, height() - kStatusHeight, width(), kStatusHeight);
}

void Tsorcevekr::setBoseAutoSize(bool on) {
    boseAutoSize_ = on;
    if (on)
        fitWidth(bose);
}

void Tsorcevekr::sorusor() {
    random_ = quiz::clockSeededGenerator();
    bose->setText(quiz::kGapBlanks);
    if (boseAutoSize_)
        fitWidth(bose);

    ADO->setFiltered(false);
    const int number = quiz::drawQuestionNumber(ADO->recordCount(), random_);
    ADO->setFilter(QStringLiteral("Number = %1").arg(number));
    ADO->setFiltered(true);
    const QString sentence = ADO->fieldAsString(QStringLiteral("soru"));
    const QString test = ADO->fieldAsString(QStringLiteral("testad"));
    cumle->setText(sentence);
    setBoseAutoSize(false);
    layOut(sentence);

    ADOCEV->setFiltered(false);
    ADOCEV->setFilter(QStringLiteral("testad = '") + test + QStringLiteral("'"));
    ADOCEV->setFiltered(true);
    for (int k = 2; k < 11; ++k)
        cb[k]->hide();
    for (QPushButton* button : cb)
        button->setText(QString());
    const auto field = [](int k) { return QStringLiteral("cev%1").arg(k + 1); };
    for (int k = 2; k < 11; ++k) {
        if (ADOCEV->fieldValue(field(k)))
            cb[k]->show();
    }
    cb[0]->setText(ADOCEV->fieldAsString(field(0)));
    cb[1]->setText(ADOCEV->fieldAsString(field(1)));
    for (int k = 2; k < 11; ++k) {
        if (const FieldValue value = ADOCEV->fieldValue(field(k)))
            cb[k]->setText(*value);
    }
    nextb->hide();
}

// Splits the sentence onto the three labels and places them; a sentence that passes neither
// gap test leaves them as they were.
void Tsorcevekr::layOut(const QString& sentence) {
    const quiz::SentenceSplit split = quiz::splitSentence(sentence);
    if (split.kind == quiz::GapKind::Unchanged)
        return;
    ilke->setText(split.ilke);
    fitWidth(ilke);
    if (split.kind == quiz::GapKind::Inner) {
        ikie->setText(split.ikie);
        fitWidth(ikie);
    }
    const quiz::LinePlaces places =
        quiz::placeQuestionLine(split.kind, ilke->width(), bose->width());
    if (places.boseWidth)
        bose->resize(*places.boseWidth, bose->height());
    ilke->move(places.ilkeLeft, kLineTop);
    bose->move(places.boseLeft, kLineTop);
    if (places.ikieVisible)
        ikie->move(places.ikieLeft, kLineTop);
    ikie->setVisible(places.ikieVisible);
}

void Tsorcevekr::cevkont(QPushButton* pressed) {
    const QString chosen = pressed->text();
    const QString dc1 = ADO->fieldAsString(QStringLiteral("dc1"));
    const quiz::Judgement judgement =
        quiz::judgeAnswer(chosen, dc1, ADO->fieldValue(QStringLiteral("dc2")),
                          ADO->fieldValue(QStringLiteral("dc3")));
    if (judgement.right)
        bose->setText(judgement.revealed);
    setBoseAutoSize(true);

    const bool inner = !ikie->isHidden();
    const int left =
        quiz::placeAfterAnswer(inner, ilke->x(), ilke->width(), bose->x(), bose->width());
    if (inner)
        ikie->move(left, kLineTop);
    else
        ilke->move(left, kLineTop);

    QProgressBar* bar = judgement.right ? pb1 : pb2;
    bar->setValue(quiz::advanceBar(bar->value()));
    // QProgressBar repaints only for steps wider than a chunk; every press is to be seen.
    bar->update();
    if (judgement.right)
        nextb->show();
}

void Tsorcevekr::secbClick() {
    cumle->setHideSelection(false);
    cumle->selectAll();
}

void Tsorcevekr::kopyabClick() {
    if (cumle->hasSelectedText())
        QGuiApplication::clipboard()->setText(cumle->selectedText());
}

void Tsorcevekr::sesbClick() {
    // The program's one voice, the main window's too: a line of either cuts off the other.
    platform::Speaker& speaker = platform_.speaker();
    {
        // The first press connects to the speech service, which takes a moment.
        const platform::BusyCursor busy(Qt::BusyCursor);
        speaker.prepare();
    }
    speaker.say(cumle->text());
}

void Tsorcevekr::cikbClick() {
    close();
}

} // namespace peltavo
