#include "dictionarygridmodel.h"
#include "directorylist.h"
#include "finddialog.h"
#include "glyphs.h"
#include "lineedit.h"
#include "memo.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using test::FakePlatform;

// A control as the window's layout places it.
struct Placed {
    const char* name;
    QRect geometry;
    QString text; // caption of a button or label; empty for the others
    QString hint; // tooltip
    bool visible; // at start
    QString font; // requested family
    int pixels;
    bool bold;
};

void PrintTo(const Placed& p, std::ostream* os) {
    *os << p.name;
}

const QString kArial = QStringLiteral("Arial");
const QString kSans = QStringLiteral("MS Sans Serif");

const Placed kLayout[] = {
    {"prog", {0, 24, 775, 220}, {}, {}, true, kArial, 13, false},
    {"kullan", {0, 250, 775, 120}, {}, {}, true, kArial, 13, false},
    {"cumle", {0, 375, 775, 21}, {}, {}, true, kSans, 11, false},
    {"kullandb", {0, 400, 775, 50}, {}, {}, false, kSans, 11, false},
    {"sbul", {0, 456, 120, 18}, QStringLiteral("İngilizce -> Türkçe"), {}, true, kArial, 11, true},
    {"sbul2", {0, 480, 120, 17}, QStringLiteral("Aranacak Kelime"), {}, true, kArial, 11, true},
    {"ara", {0, 500, 120, 21}, {}, {}, true, kSans, 11, false},
    {"sarab", {10, 523, 100, 25}, QStringLiteral("Sözlükte Ara"), {}, true, kArial, 13, true},
    {"sozluk", {120, 455, 460, 90}, {}, {}, true, kSans, 11, false},
    {"geri1", {585, 455, 23, 25}, {}, QStringLiteral("Önceki Kayıt"), true, kSans, 11, false},
    {"ilerib", {610, 455, 23, 25}, {}, QStringLiteral("Sonraki Kayıt"), true, kSans, 11, false},
    {"boslukb",
     {633, 455, 23, 25},
     {},
     QStringLiteral("İngilizce cümlelerde boşluk doldurma"),
     true,
     kArial,
     13,
     true},
    {"cumleb",
     {658, 455, 115, 25},
     QStringLiteral("Cümle Tercüme Et"),
     {},
     false,
     kArial,
     12,
     true},
    {"arab",
     {585, 485, 70, 25},
     QStringLiteral("Kelime Ara"),
     QStringLiteral("Tüm kayıtlarda arama yap"),
     true,
     kArial,
     12,
     true},
    {"metinb", {658, 485, 115, 25}, QStringLiteral("Metin Tercüme Et"), {}, true, kArial, 12, true},
    {"sozlukb",
     {585, 515, 23, 25},
     {},
     QStringLiteral("Sözlük Bilgilerini Tam Görüntüle"),
     true,
     kSans,
     11,
     false},
    {"yadimb",
     {610, 515, 22, 25},
     {},
     QStringLiteral("İngilizce Ders Notları"),
     true,
     kArial,
     13,
     true},
    {"sesb",
     {633, 515, 23, 25},
     {},
     QStringLiteral("Aktif ingilizce cümleyi seslendirir"),
     true,
     kSans,
     11,
     false},
    {"turb", {658, 515, 115, 25}, QStringLiteral("Türkçe -> İnglizce"), {}, true, kArial, 12, true},
    {"dizin", {240, 0, 100, 30}, {}, {}, false, kSans, 11, false},
    {"durum", {0, 547, 792, 19}, {}, {}, true, kSans, 11, false},
    {"baslik", {0, 0, 792, 23}, {}, {}, true, kArial, 16, true},
};

QString captionOf(const QWidget* w) {
    if (const auto* button = qobject_cast<const QPushButton*>(w))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    return {};
}

QWidget* control(Tanaekr& window, const char* name) {
    return window.findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

class Layout : public ::testing::TestWithParam<Placed> {
protected:
    FakePlatform platform;
    ProgramState state;
    Tanaekr window{state, platform};
};

TEST_P(Layout, ControlStandsAsLaidOut) {
    const Placed& p = GetParam();
    QWidget* w = control(window, p.name);
    ASSERT_NE(w, nullptr) << p.name;
    EXPECT_EQ(w->geometry(), p.geometry);
    if (std::string(p.name) != "baslik") {
        EXPECT_EQ(captionOf(w), p.text);
    }
    EXPECT_EQ(w->toolTip(), p.hint);
    EXPECT_EQ(!w->isHidden(), p.visible);
    EXPECT_EQ(w->font().family(), p.font);
    EXPECT_EQ(w->font().pixelSize(), p.pixels);
    EXPECT_EQ(w->font().bold(), p.bold);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Layout, ::testing::ValuesIn(kLayout),
                         [](const auto& info) { return std::string(info.param.name); });

class MainWindowLayout : public ::testing::Test {
protected:
    FakePlatform platform;
    ProgramState state;
    Tanaekr window{state, platform};
};

TEST_F(MainWindowLayout, WindowHasItsNameSizeCaptionAndBanner) {
    EXPECT_EQ(window.objectName(), QStringLiteral("anaekr"));
    EXPECT_EQ(window.size(), QSize(792, 566)); // 800 x 600 with the frame
    const QString caption = window.windowTitle();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Peltavo - "))) << caption.toStdString();
    EXPECT_EQ(caption.count(QStringLiteral(" - ")), 3);
    EXPECT_EQ(caption.count(u'@'), 2);
    const QString banner = window.baslik->text();
    EXPECT_TRUE(banner.contains(QStringLiteral("öğrencilerine")));
    EXPECT_TRUE(banner.contains(QStringLiteral("velilerine")));
    EXPECT_FALSE(banner.contains(u'\n'));
    EXPECT_EQ(window.baslik->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(window.font().family(), kSans);
    EXPECT_EQ(window.font().pixelSize(), 11);
}

TEST_F(MainWindowLayout, ArialAndMsSansSerifResolveToLiberationSans) {
    EXPECT_EQ(QFontInfo(window.prog->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(window.cumle->font()).family(), QStringLiteral("Liberation Sans"));
}

TEST_F(MainWindowLayout, ColoursAreThoseOfTheLayout) {
    const QColor purple(128, 0, 128), yellow(255, 255, 0), red(255, 0, 0);
    EXPECT_EQ(window.baslik->palette().color(QPalette::WindowText), purple);
    EXPECT_EQ(window.baslik->palette().color(QPalette::Window), yellow);
    for (QLabel* label : {window.sbul, window.sbul2}) {
        EXPECT_EQ(label->palette().color(QPalette::WindowText), red);
        EXPECT_EQ(label->palette().color(QPalette::Window), yellow);
        EXPECT_TRUE(label->autoFillBackground());
    }
    for (QPushButton* b : {window.sarab, window.cumleb, window.arab, window.metinb, window.turb})
        EXPECT_EQ(b->palette().color(QPalette::ButtonText), red) << b->objectName().toStdString();
    EXPECT_EQ(window.prog->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::ToolTipBase));
    EXPECT_EQ(window.prog->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(window.kullan->palette().color(QPalette::Base), QColor(255, 251, 240));
}

TEST_F(MainWindowLayout, PaintsPurpleBehindTheControlsAndSkyBlueGridTitles) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QImage image = window.grab().toImage();
    EXPECT_EQ(image.pixelColor(783, 300), QColor(128, 0, 128));
    EXPECT_EQ(image.pixelColor(400, 247), QColor(128, 0, 128));
    // The grid's title row.
    const QPoint title = window.sozluk->mapTo(&window, QPoint(30, 4));
    EXPECT_EQ(image.pixelColor(title), QColor(166, 202, 240));
    window.hide();
}

TEST(MainWindowGrid, IndicatorColumnIsSkyBlueAndMarksTheCurrentRow) {
    test::MainWindowOnSample window;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.window.get()));
    QHeaderView* rows = window->sozluk->verticalHeader();
    EXPECT_EQ(rows->width(), 11);
    ASSERT_GT(window->sozlukModel->rowCount(), 3);
    // A row header without the indicator is plain sky blue.
    const QImage plain = rows->grab().toImage();
    const int second = rows->sectionViewportPosition(1) + rows->sectionSize(1) / 2;
    EXPECT_EQ(plain.pixelColor(2, second), QColor(166, 202, 240));
    EXPECT_FALSE(window->sozlukModel->headerData(0, Qt::Vertical, Qt::DecorationRole).isNull());
    EXPECT_TRUE(window->sozlukModel->headerData(1, Qt::Vertical, Qt::DecorationRole).isNull());
    window->Tablei->next();
    EXPECT_TRUE(window->sozlukModel->headerData(0, Qt::Vertical, Qt::DecorationRole).isNull());
    EXPECT_FALSE(window->sozlukModel->headerData(1, Qt::Vertical, Qt::DecorationRole).isNull());
    EXPECT_EQ(window->sozluk->currentIndex().row(), 1);
    window->hide();
}

TEST_F(MainWindowLayout, ResizingMovesOnlyTheBannerWidthAndTheStatusBar) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::map<QString, QRect> before;
    for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        before[w->objectName()] = w->geometry();
    window.resize(1000, 700);
    QCoreApplication::processEvents();
    for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w == window.baslik)
            EXPECT_EQ(w->geometry(), QRect(0, 0, 1000, 23));
        else if (w == window.durum)
            EXPECT_EQ(w->geometry(), QRect(0, 681, 1000, 19));
        else if (w->isWindow())
            continue;
        else
            EXPECT_EQ(w->geometry(), before[w->objectName()]) << w->objectName().toStdString();
    }
    window.hide();
}

TEST_F(MainWindowLayout, TabOrderRunsAsLaidOutAndSkipsTextsAndHiddenParts) {
    const QList<QWidget*> expected{
        window.kullan, window.prog,   window.cumle, window.cumleb,  window.kullandb, window.turb,
        window.metinb, window.sozluk, window.ara,   window.arab,    window.yadimb,   window.sarab,
        window.ilerib, window.geri1,  window.sesb,  window.sozlukb, window.boslukb};
    QList<QWidget*> chain;
    QWidget* w = window.kullan;
    do {
        if (expected.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    } while (w != window.kullan && chain.size() < 40);
    EXPECT_EQ(chain, expected);
    for (QWidget* noStop : std::initializer_list<QWidget*>{window.baslik, window.sbul, window.sbul2,
                                                           window.durum, window.dizin})
        EXPECT_FALSE(noStop->focusPolicy() & Qt::TabFocus) << noStop->objectName().toStdString();
    for (QWidget* stop : expected)
        EXPECT_TRUE(stop->focusPolicy() & Qt::TabFocus) << stop->objectName().toStdString();
}

TEST_F(MainWindowLayout, EveryControlHasAnAccessibleName) {
    for (const Placed& p : kLayout) {
        QWidget* w = control(window, p.name);
        ASSERT_NE(w, nullptr);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(face, nullptr) << p.name;
        const QString caption = captionOf(w);
        EXPECT_EQ(face->text(QAccessible::Name),
                  caption.isEmpty() ? QString::fromLatin1(p.name) : caption)
            << p.name;
        EXPECT_EQ(face->text(QAccessible::Description), p.hint) << p.name;
    }
}

TEST_F(MainWindowLayout, MemosAndEditsBehaveAsLaidOut) {
    EXPECT_TRUE(window.prog->isReadOnly());
    EXPECT_TRUE(window.kullandb->isReadOnly());
    EXPECT_FALSE(window.kullan->isReadOnly());
    EXPECT_TRUE(window.kullan->text().isEmpty());
    EXPECT_TRUE(window.cumle->isReadOnly());
    EXPECT_FALSE(window.ara->isReadOnly());
    EXPECT_FALSE(window.cumle->autoSelect());
    EXPECT_FALSE(window.ara->autoSelect());
    for (platform::Memo* memo : {static_cast<platform::Memo*>(window.prog), window.kullan,
                                 static_cast<platform::Memo*>(window.kullandb)}) {
        EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }
    EXPECT_EQ(window.dizin->directory(), QDir::currentPath());
}

TEST_F(MainWindowLayout, EnteringTheSearchBoxByTabSelectsNothing) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.ara->setText(QStringLiteral("book"));
    window.ara->setCursorPosition(2);
    window.arab->setFocus();
    window.ara->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(window.ara->hasSelectedText());
    window.hide();
}

TEST_F(MainWindowLayout, GridHasItsTwoTitledColumnsAtTheLaidOutWidths) {
    QHeaderView* header = window.sozluk->horizontalHeader();
    ASSERT_EQ(window.sozlukModel->columnCount(), 2);
    EXPECT_EQ(window.sozlukModel->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Kelime"));
    EXPECT_EQ(window.sozlukModel->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Anlamı"));
    EXPECT_EQ(header->sectionSize(0), 100);
    EXPECT_EQ(header->sectionSize(1), 285);
    EXPECT_EQ(header->font().family(), kArial);
    EXPECT_EQ(header->font().pixelSize(), 13);
    EXPECT_TRUE(header->font().bold());
    EXPECT_EQ(window.sozluk->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(window.sozlukModel->dataSource(), window.tableids);
}

TEST_F(MainWindowLayout, GlyphButtonsCarryAPictureWithATransparentBackground) {
    for (QPushButton* b : {window.geri1, window.ilerib, window.boslukb, window.sozlukb,
                           window.yadimb, window.sesb}) {
        EXPECT_TRUE(b->text().isEmpty());
        const QIcon icon = b->icon();
        ASSERT_FALSE(icon.isNull()) << b->objectName().toStdString();
        const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
        const QImage greyed = icon.pixmap(16, 16, QIcon::Disabled).toImage();
        EXPECT_EQ(normal.size(), QSize(16, 16));
        EXPECT_EQ(normal.pixelColor(0, 15).alpha(), 0) << b->objectName().toStdString();
        EXPECT_NE(normal, greyed);
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += normal.pixelColor(x, y).alpha() == 255;
        EXPECT_GT(opaque, 20) << b->objectName().toStdString();
    }
}

// Every caption of the window's buttons (of the two a button may show, the longer) leaves its ink
// clear of the button's edges: the bevel and a pixel of air.
TEST(MainWindowCaptions, EveryCaptionStandsClearOfItsButtonsEdges) {
    test::MainWindowOnSample w;
    w->metinbClick(); // "Tercüme Metin Gizle"
    w->turbClick();   // "İngilizce -> Türkçe"
    for (QPushButton* button : w->findChildren<QPushButton*>()) {
        if (button->text().isEmpty() || button->window() != w.window.get())
            continue;
        const QImage face = button->grab().toImage();
        const QColor ink = button->palette().color(QPalette::ButtonText);
        int first = face.width(), last = -1;
        for (int x = 0; x < face.width(); ++x) {
            for (int y = face.height() / 4; y < face.height() * 3 / 4; ++y) {
                const QColor c = face.pixelColor(x, y);
                if (std::abs(c.red() - ink.red()) + std::abs(c.green() - ink.green()) +
                        std::abs(c.blue() - ink.blue()) <
                    200)
                    first = std::min(first, x), last = x;
            }
        }
        EXPECT_GE(first, 3) << button->text().toStdString();
        EXPECT_LE(last, button->width() - 4) << button->text().toStdString();
    }
}

TEST(Glyphs, AStripSplitsIntoTwoPicturesAndOliveIsTransparent) {
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(QColor(128, 128, 0));
    strip.setPixelColor(3, 3, Qt::red);
    strip.setPixelColor(19, 3, Qt::gray);
    const QIcon icon = platform::iconFromStrip(QPixmap::fromImage(strip));
    const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
    const QImage greyed = icon.pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_EQ(normal.pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(greyed.pixelColor(3, 3), QColor(Qt::gray));
    EXPECT_EQ(normal.pixelColor(8, 8).alpha(), 0);
    EXPECT_TRUE(platform::iconFromStrip(QPixmap(16, 16)).isNull());
}

TEST_F(MainWindowLayout, ShowsCentredOnTheDesktop) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect area = window.screen()->availableGeometry();
    EXPECT_EQ(window.frameGeometry().topLeft(),
              QPoint(area.x() + (area.width() - 800) / 2, area.y() + (area.height() - 600) / 2));
    window.hide();
}

} // namespace
} // namespace peltavo
