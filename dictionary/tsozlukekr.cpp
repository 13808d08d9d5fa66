#include "tsozlukekr.h"

#include "programstate.h"

namespace peltavo {

namespace {

const QString kCaption = QStringLiteral(
    "Peltavo tartışma grubuna katıldınız mı? groups.peltavo.example/peltavo-ingilizce");
// The outer size 525 x 300 less a classic sizeable frame.
constexpr QSize kClientSize(517, 266);

} // namespace

Tsozlukekr::Tsozlukekr(ProgramState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setObjectName(QStringLiteral("sozlukekr"));
    setWindowTitle(kCaption);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setAttribute(Qt::WA_QuitOnClose, false);
    move(192, 114);
    resize(kClientSize);
}

Tsozlukekr::~Tsozlukekr() = default;

} // namespace peltavo
