#include "tanaekr.h"

#include "accessibility.h"
#include "busycursor.h"
#include "cellpainting.h"
#include "creation.h"
#include "datagrid.h"
#include "datasource.h"
#include "dbopening.h"
#include "dictionarygridmodel.h"
#include "directorylist.h"
#include "finddialog.h"
#include "glyphs.h"
#include "keyboard.h"
#include "layout.h"
#include "lineedit.h"
#include "memo.h"
#include "platform.h"
#include "programstate.h"
#include "stemmer.h"
#include "tablehandle.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>

#include <utility>

namespace peltavo {

namespace {

using platform::pixelFont;
using platform::place;

const QString kCaption = QStringLiteral(
    "Peltavo - www.peltavo.example - bilgi@peltavo.example - peltavo.destek@posta.example");
const QString kBanner = QStringLiteral(
    "Bu program Çamlıca Yıldız İlköğretim Okulu öğrencilerine ve velilerine armağandır.");

// The window's outer size; the client area is what is left inside a classic sizeable frame.
constexpr QSize kOuterSize(800, 600);
constexpr QSize kClientSize(792, 566);
constexpr int kBannerHeight = 23;
constexpr int kStatusHeight = 19;

const QColor kPurple(128, 0, 128);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kCream(255, 251, 240);
const QColor kSkyBlue(166, 202, 240);

QFont arial(int pixels, bool bold = false) {
    return pixelFont(QStringLiteral("Arial"), pixels, bold);
}

void colourText(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A static text with its own background.
QLabel* makeLabel(QWidget* parent, const QString& text, const QFont& font, const QColor& ink,
                  const QColor& paper) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ink);
    palette.setColor(QPalette::Window, paper);
    label->setPalette(palette);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& text, const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setFont(font);
    colourText(button, QPalette::ButtonText, kRed);
    return button;
}

QPushButton* makeGlyphButton(QWidget* parent, platform::Glyph glyph, const QString& hint) {
    auto* button = new QPushButton(parent);
    button->setIcon(platform::glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    return button;
}

platform::DataMemo* makeDataMemo(QWidget* parent) {
    auto* memo = new platform::DataMemo(parent);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

} // namespace

Tanaekr::Tanaekr(ProgramState& state, platform::Platform& platform, QWidget* parent)
    : QWidget(parent), state_(state), platform_(platform), opening_(platform, this) {
    setObjectName(QStringLiteral("anaekr"));
    setWindowTitle(kCaption);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    resize(kClientSize);
    buildControls();
    setTabOrder();
    connectHandlers();
    platform::nameControlsForAccessibility(this);
    platform::pressButtonsWithEnter(this);
}

Tanaekr::~Tanaekr() = default;

void Tanaekr::buildControls() {
    const QFont arial11Bold = arial(11, true);
    const QFont arial12Bold = arial(12, true);
    const QFont arial13Bold = arial(13, true);

    baslik = place(makeLabel(this, kBanner, arial(16, true), kPurple, kYellow), "baslik", 0, 0,
                   width(), kBannerHeight);

    Table = new TableHandle(QStringLiteral("Table"), this);
    tablods = new DataSource(QStringLiteral("tablods"), Table, this);

    durum =
        place(new QStatusBar(this), "durum", 0, height() - kStatusHeight, width(), kStatusHeight);
    durum->setAutoFillBackground(true);
    durum->setPalette(QApplication::palette(durum));

    kullan = place(new platform::Memo(this), "kullan", 0, 250, 775, 120);
    kullan->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    kullan->setFont(arial(13));
    colourText(kullan, QPalette::Base, kCream);

    prog = place(makeDataMemo(this), "prog", 0, 24, 775, 220);
    prog->setFont(arial(13));
    colourText(prog, QPalette::Base, QApplication::palette().color(QPalette::ToolTipBase));
    colourText(prog, QPalette::Text, Qt::black);

    bul = new platform::FindDialog(this);
    bul->setObjectName(QStringLiteral("bul"));

    cumle = place(new platform::LineEdit(this), "cumle", 0, 375, 775, 21);
    cumle->setReadOnly(true);
    cumle->setAutoSelect(false);

    cumleb = place(makeButton(this, QStringLiteral("Cümle Tercüme Et"), arial12Bold), "cumleb", 658,
                   455, 115, 25);
    cumleb->hide();

    kullandb = place(makeDataMemo(this), "kullandb", 0, 400, 775, 50);
    kullandb->hide();

    turb = place(makeButton(this, QStringLiteral("Türkçe -> İnglizce"), arial12Bold), "turb", 658,
                 515, 115, 25);
    metinb = place(makeButton(this, QStringLiteral("Metin Tercüme Et"), arial12Bold), "metinb", 658,
                   485, 115, 25);
    // Its other caption, "Tercüme Metin Gizle", is as wide as the button in this font: set a shade
    // closer, it keeps clear of the button's edges.
    QFont closer = arial12Bold;
    closer.setLetterSpacing(QFont::PercentageSpacing, 93);
    metinb->setFont(closer);

    Tablei = new TableHandle(QStringLiteral("Tablei"), this);
    Tablet = new TableHandle(QStringLiteral("Tablet"), this);
    tableids = new DataSource(QStringLiteral("tableids"), Tablei, this);
    tabletds = new DataSource(QStringLiteral("tabletds"), Tablet, this);
    buildGrid();

    sbul = place(makeLabel(this, QStringLiteral("İngilizce -> Türkçe"), arial11Bold, kRed, kYellow),
                 "sbul", 0, 456, 120, 18);
    sbul2 = place(makeLabel(this, QStringLiteral("Aranacak Kelime"), arial11Bold, kRed, kYellow),
                  "sbul2", 0, 480, 120, 17);

    ara = place(new platform::LineEdit(this), "ara", 0, 500, 120, 21);
    ara->setAutoSelect(false);

    arab = place(makeButton(this, QStringLiteral("Kelime Ara"), arial12Bold), "arab", 585, 485, 70,
                 25);
    arab->setToolTip(QStringLiteral("Tüm kayıtlarda arama yap"));

    yadimb = place(makeGlyphButton(this, platform::Glyph::QuestionBall,
                                   QStringLiteral("İngilizce Ders Notları")),
                   "yadimb", 610, 515, 22, 25);
    yadimb->setFont(arial13Bold);
    colourText(yadimb, QPalette::ButtonText, kRed);

    dizin = place(new platform::DirectoryList(this), "dizin", 240, 0, 100, 30);
    dizin->setFocusPolicy(Qt::NoFocus);
    dizin->hide();

    sarab = place(makeButton(this, QStringLiteral("Sözlükte Ara"), arial13Bold), "sarab", 10, 523,
                  100, 25);
    ilerib =
        place(makeGlyphButton(this, platform::Glyph::ArrowRight, QStringLiteral("Sonraki Kayıt")),
              "ilerib", 610, 455, 23, 25);
    geri1 = place(makeGlyphButton(this, platform::Glyph::ArrowLeft, QStringLiteral("Önceki Kayıt")),
                  "geri1", 585, 455, 23, 25);
    sesb = place(makeGlyphButton(this, platform::Glyph::Loudspeaker,
                                 QStringLiteral("Aktif ingilizce cümleyi seslendirir")),
                 "sesb", 633, 515, 23, 25);
    sozlukb = place(makeGlyphButton(this, platform::Glyph::OpenBook,
                                    QStringLiteral("Sözlük Bilgilerini Tam Görüntüle")),
                    "sozlukb", 585, 515, 23, 25);
    boslukb = place(makeGlyphButton(this, platform::Glyph::Hourglass,
                                    QStringLiteral("İngilizce cümlelerde boşluk doldurma")),
                    "boslukb", 633, 455, 23, 25);
    boslukb->setFont(arial13Bold);
    colourText(boslukb, QPalette::ButtonText, kRed);

    // The banner and the status bar stay on top of anything they overlap.
    baslik->raise();
    durum->raise();
}

void Tanaekr::buildGrid() {
    sozlukModel = new DictionaryGridModel(this);
    sozlukModel->setDataSource(tableids);
    sozluk = place(new platform::DataGrid(this), "sozluk", 120, 455, 460, 90);
    sozluk->setVerticalHeader(new IndicatorHeader(11, 18, sozluk));
    sozluk->setModel(sozlukModel);
    sozluk->setItemDelegate(new DictionaryCellPainter(sozluk));
    sozluk->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sozluk->setSelectionMode(QAbstractItemView::SingleSelection);
    sozluk->setSelectionBehavior(QAbstractItemView::SelectItems);
    sozluk->setWordWrap(false);
    sozluk->setTextElideMode(Qt::ElideNone); // long meanings are cut at the cell's edge
    sozluk->setCornerButtonEnabled(false);
    // The arrow keys move between cells and rows; Tab leaves the grid for the next control.
    sozluk->setTabKeyNavigation(false);

    QHeaderView* titles = sozluk->horizontalHeader();
    titles->setFont(arial(13, true));
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->resizeSection(0, 100);
    titles->resizeSection(1, 285);

    QHeaderView* indicator = sozluk->verticalHeader();
    indicator->setSectionsClickable(false);
    indicator->setHighlightSections(false);

    const QString skyBlue = kSkyBlue.name();
    sozluk->setStyleSheet(
        QStringLiteral("QHeaderView { background-color: palette(base); }"
                       "QHeaderView::section { background-color: %1; border: none;"
                       " border-right: 1px solid gray; border-bottom: 1px solid gray;"
                       " padding: 0px; }"
                       "QTableCornerButton::section { background-color: %1; border: none;"
                       " border-right: 1px solid gray; border-bottom: 1px solid gray; }")
            .arg(skyBlue));
    followGridCurrentRow();
}

void Tanaekr::followGridCurrentRow() {
    connect(sozlukModel, &DictionaryGridModel::currentRowChanged, sozluk, [this](int row) {
        const int column = qMax(sozluk->currentIndex().column(), 0);
        const QModelIndex index = sozlukModel->index(row, column);
        // The current cell moves without being selected; the grid's painting marks it.
        if (index.isValid() && index != sozluk->currentIndex())
            sozluk->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    });
    connect(sozluk->selectionModel(), &QItemSelectionModel::currentRowChanged, sozlukModel,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != sozlukModel->currentRow())
                    sozlukModel->setCurrentRow(current.row());
            });
}

void Tanaekr::setTabOrder() {
    const QList<QWidget*> order{kullan, prog,   cumle, cumleb, kullandb, turb, metinb,  sozluk, ara,
                                arab,   yadimb, sarab, ilerib, geri1,    sesb, sozlukb, boslukb};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Tanaekr::connectHandlers() {
    connect(prog, &platform::Memo::clicked, this, guarded([this] { progClick(); }));
    prog->setKeepCaretOnDoubleClick(true);
    connect(prog, &platform::Memo::doubleClicked, this, guarded([this] { progDblClick(); }));
    connect(prog, &platform::Memo::contextMenuOpening, this, [this](QMenu* menu, int position) {
        runEventHandler([&] { progContextMenu(menu, position); });
    });
    connect(kullan, &platform::Memo::clicked, this, guarded([this] { progExit(); }));
    connect(geri1, &QPushButton::clicked, this, guarded([this] { geri1Click(); }));
    connect(ilerib, &QPushButton::clicked, this, guarded([this] { ileribClick(); }));
    connect(arab, &QPushButton::clicked, this, guarded([this] { arabClick(); }));
    connect(bul, &platform::FindDialog::findNext, this, guarded([this] { bulFind(); }));
    connect(boslukb, &QPushButton::clicked, this, guarded([this] { boslukbClick(); }));
    connect(cumleb, &QPushButton::clicked, this, guarded([this] { cumlebClick(); }));
    connect(metinb, &QPushButton::clicked, this, guarded([this] { metinbClick(); }));
    connect(sesb, &QPushButton::clicked, this, guarded([this] { sesbClick(); }));
    connect(yadimb, &QPushButton::clicked, this, guarded([this] { yadimbClick(); }));
    connect(sarab, &QPushButton::clicked, this, guarded([this] { sarabClick(); }));
    connect(sozlukb, &QPushButton::clicked, this, guarded([this] { sozlukbClick(); }));
    connect(turb, &QPushButton::clicked, this, guarded([this] { turbClick(); }));
}

void Tanaekr::FormCreate() {
    beginFormCreate();
    finishFormCreate();
}

void Tanaekr::beginFormCreate() {
    creationBegun_ = false;
    dictionariesPending_ = false;
    deferDictionaries_ = true;
    const auto stopDeferring = qScopeGuard([this] { deferDictionaries_ = false; });
    ConnectToMSAccessDB(QStringLiteral("peltavo.MDB"), QStringLiteral("947"));
    creationBegun_ = true;
}

void Tanaekr::finishFormCreate() {
    if (!std::exchange(creationBegun_, false))
        return;
    if (std::exchange(dictionariesPending_, false))
        openDictionaries();
    state_.DirectionMode = QStringLiteral("it");
}

void Tanaekr::ConnectToMSAccessDB(const QString& fileName, const QString& password) {
    opening_.connectToDatabase(fileName, password, [this](const QString& path, const QString& pw) {
        ConnectToAccessDB(path, pw);
    });
}

QString Tanaekr::GetDBPath(const QString& fileName) {
    return opening_.databasePath(fileName);
}

bool Tanaekr::CheckIfAccessDB(const QString& path) {
    return opening_.checkHeader(path);
}

void Tanaekr::ConnectToAccessDB(const QString& path, const QString& password) {
    openConversation(path, password);
    if (deferDictionaries_)
        dictionariesPending_ = true;
    else
        openDictionaries();
}

void Tanaekr::openConversation(const QString& path, const QString& password) {
    connectionString_ = jetConnectionString(path, password);
    // The dictionaries are read only in openDictionaries(), once the window has been painted:
    // reads on other threads would slow the first paint, on two cores, more than they gain.
    openTables(connectionString_, {{Table, QStringLiteral("konus"), QString()}});
    prog->bind(tablods, QStringLiteral("ikonus"));
    kullandb->bind(tablods, QStringLiteral("tkonus"));
}

void Tanaekr::openDictionaries() {
    // Restored before any message about the dictionaries is shown.
    const platform::BusyCursor busy;
    try {
        openTables(connectionString_,
                   {{Tablei, QStringLiteral("isozluk"), QStringLiteral("ikelime")},
                    {Tablet, QStringLiteral("tsozluk"), QStringLiteral("tkelime")}});
    } catch (...) {
        // The panes show the conversation only once all three tables are open.
        prog->bind(nullptr, QString());
        kullandb->bind(nullptr, QString());
        throw;
    }
    sozlukModel->setColumnField(0, QStringLiteral("ikelime"));
    sozlukModel->setColumnField(1, QStringLiteral("tanlam"));
    sozluk->horizontalHeader()->resizeSection(0, 150);
    sozluk->horizontalHeader()->resizeSection(1, 270);
}

void Tanaekr::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPurple);
}

void Tanaekr::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    baslik->setGeometry(0, 0, width(), kBannerHeight);
    durum->setGeometry(0, height() - kStatusHeight, width(), kStatusHeight);
}

void Tanaekr::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* desktop = screen()) {
        const QRect area = desktop->availableGeometry();
        move(area.x() + (area.width() - kOuterSize.width()) / 2,
             area.y() + (area.height() - kOuterSize.height()) / 2);
    }
}

} // namespace peltavo
