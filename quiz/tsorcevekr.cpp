#include "tsorcevekr.h"

#include "datasource.h"
#include "dbopening.h"
#include "directorylist.h"
#include "programstate.h"
#include "tablehandle.h"

#include <QApplication>

namespace peltavo {

namespace {

const QString kCaption =
    QStringLiteral("Peltavo İngilizce tartışma grubumuza siz de katılın: groups.peltavo.example");
// The outer size 800 x 550 less a classic sizeable frame.
constexpr QSize kClientSize(792, 516);

} // namespace

Tsorcevekr::Tsorcevekr(ProgramState& state, platform::Platform& platform, QWidget* parent)
    : QWidget(parent), state_(state), platform_(platform), opening_(platform, this) {
    setObjectName(QStringLiteral("sorcevekr"));
    setWindowTitle(kCaption);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::ToolTipBase));
    setPalette(palette);
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
}

Tsorcevekr::~Tsorcevekr() = default;

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

} // namespace peltavo
