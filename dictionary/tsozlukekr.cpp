#include "tsozlukekr.h"

#include "accessibility.h"
#include "creation.h"
#include "glyphs.h"
#include "keyboard.h"
#include "layout.h"
#include "lineedit.h"
#include "memo.h"
#include "programstate.h"
#include "tablehandle.h"

#include <QLabel>
#include <QPushButton>

namespace peltavo {

namespace {

using platform::place;

const QString kCaption = QStringLiteral(
    "Peltavo tartışma grubuna katıldınız mı? groups.peltavo.example/peltavo-ingilizce");
// The outer size 525 x 300 less a classic sizeable frame.
constexpr QSize kOuterSize(525, 300);
constexpr QSize kClientSize(517, 266);

QLabel* fieldLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    palette.setColor(QPalette::Window, QColor(255, 255, 0));
    label->setPalette(palette);
    return label;
}

QPushButton* arrowButton(QWidget* parent, platform::Glyph glyph) {
    auto* button = new QPushButton(parent);
    button->setIcon(platform::glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    return button;
}

} // namespace

Tsozlukekr::Tsozlukekr(ProgramState& state, const DictionaryTables& tables, QWidget* mainWindow,
                       QWidget* parent)
    : QWidget(parent), state_(state), tables_(tables), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("sozlukekr"));
    setWindowTitle(kCaption);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setAttribute(Qt::WA_QuitOnClose, false);
    move(192, 114);
    resize(kClientSize);

    Label1 = place(fieldLabel(this, QStringLiteral("Kelime")), "Label1", 0, 10, 50, 14);
    Label2 = place(fieldLabel(this, QStringLiteral("Anlamı")), "Label2", 0, 35, 50, 14);
    DBEdit1 = place(new platform::DataEdit(this), "DBEdit1", 55, 8, 450, 21);
    DBMemo1 = place(new platform::DataMemo(this), "DBMemo1", 55, 35, 450, 200);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    onceb = place(arrowButton(this, platform::Glyph::ArrowLeft), "onceb", 250, 240, 25, 25);
    sonrab = place(arrowButton(this, platform::Glyph::ArrowRight), "sonrab", 300, 240, 25, 25);

    QWidget::setTabOrder(sonrab, DBEdit1);
    QWidget::setTabOrder(DBEdit1, DBMemo1);
    QWidget::setTabOrder(DBMemo1, onceb);

    connect(sonrab, &QPushButton::clicked, this, guarded([this] { sonrabClick(); }));
    connect(onceb, &QPushButton::clicked, this, guarded([this] { oncebClick(); }));
    platform::nameControlsForAccessibility(this);
    platform::pressButtonsWithEnter(this);
}

Tsozlukekr::~Tsozlukekr() = default;

void Tsozlukekr::sozlukbClick() {
    if (const DirectionBindings* bindings = bindingsOf(state_.DirectionMode)) {
        TableHandle& table = *dictionaryTable(tables_, *bindings);
        table.prior();
        writeEntry(table, *bindings);
    }
    const bool opening = !isVisible();
    show();
    raise();
    activateWindow();
    // A window that opens takes the keyboard focus on its first stop.
    if (opening)
        sonrab->setFocus(Qt::ActiveWindowFocusReason);
}

void Tsozlukekr::sonrabClick() {
    page(Step::Forward);
}

void Tsozlukekr::oncebClick() {
    page(Step::Back);
}

void Tsozlukekr::page(Step step) {
    const DirectionBindings* bindings = bindingsOf(state_.DirectionMode);
    if (!bindings)
        return;
    TableHandle& table = *dictionaryTable(tables_, *bindings);
    if (step == Step::Forward)
        table.next();
    else
        table.prior();
    writeEntry(table, *bindings);
}

void Tsozlukekr::writeEntry(const TableHandle& table, const DirectionBindings& bindings) {
    DBEdit1->setText(table.fieldAsString(bindings.headwordField));
    DBEdit1->setCursorPosition(0);
    DBMemo1->setText(table.fieldAsString(bindings.meaningField));
}

void Tsozlukekr::bindFields(DataSource* source, const QString& headwordField,
                            const QString& meaningField) {
    DBEdit1->bind(source, headwordField);
    DBMemo1->bind(source, meaningField);
}

void Tsozlukekr::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    // Centred on the main window the first time; later showings keep where the learner left it.
    if (mainWindow_) {
        const QPoint centre = mainWindow_->frameGeometry().center();
        move(centre.x() - kOuterSize.width() / 2, centre.y() - kOuterSize.height() / 2);
    }
}

} // namespace peltavo
