#include "datasource.h"
#include "dictionarygridmodel.h"
#include "direction.h"
#include "error.h"
#include "lineedit.h"
#include "memo.h"
#include "tablehandle.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

// What the main window and the detail window are bound to after some switches.
struct AfterSwitches {
    int switches;
    const char* direction;
    const char* turb;
    const char* sbul;
    const char* gridTable;
    const char* headword;
    const char* meaning;
    const char* prog;
    const char* kullandb;
    const char* firstHeadword;
};

void PrintTo(const AfterSwitches& a, std::ostream* os) {
    *os << a.switches << " switches";
}

const AfterSwitches kAfter[] = {
    {1, "ti", "İngilizce -> Türkçe", "Türkçe -> İngilizce", "tsozluk", "tkelime", "ianlam",
     "tkonus", "ikonus", "ağaç"},
    {2, "it", "Türkçe -> İngilizce", "İngilizce -> Türkçe", "isozluk", "ikelime", "tanlam",
     "ikonus", "tkonus", "about"},
    {3, "ti", "İngilizce -> Türkçe", "Türkçe -> İngilizce", "tsozluk", "tkelime", "ianlam",
     "tkonus", "ikonus", "ağaç"},
};

class Switch : public ::testing::TestWithParam<AfterSwitches> {
protected:
    test::DictionaryWindows d;
};

TEST_P(Switch, RebindsEverythingAndReopensOnTheFirstConversation) {
    const AfterSwitches& a = GetParam();
    Tanaekr& w = *d.window;
    w.ileribClick();
    w.ileribClick(); // the third conversation
    for (int i = 0; i < a.switches; ++i) {
        w.cumle->setText(QStringLiteral("a line"));
        w.cumleb->show();
        w.turbClick();
        EXPECT_TRUE(w.cumle->text().isEmpty());
        EXPECT_TRUE(w.cumleb->isHidden());
    }
    EXPECT_EQ(d.state.DirectionMode, QLatin1String(a.direction));
    EXPECT_EQ(w.turb->text(), QString::fromUtf8(a.turb));
    EXPECT_EQ(w.sbul->text(), QString::fromUtf8(a.sbul));
    ASSERT_NE(w.sozlukModel->dataSource(), nullptr);
    EXPECT_EQ(w.sozlukModel->dataSource()->dataSet()->tableName(), QLatin1String(a.gridTable));
    EXPECT_EQ(w.sozlukModel->columnField(0), QLatin1String(a.headword));
    EXPECT_EQ(w.sozlukModel->columnField(1), QLatin1String(a.meaning));
    EXPECT_EQ(w.sozlukModel->data(w.sozlukModel->index(0, 0)).toString(),
              QString::fromUtf8(a.firstHeadword));
    EXPECT_EQ(w.prog->dataField(), QLatin1String(a.prog));
    EXPECT_EQ(w.kullandb->dataField(), QLatin1String(a.kullandb));
    EXPECT_EQ(d.detail->DBEdit1->dataSource(), w.sozlukModel->dataSource());
    EXPECT_EQ(d.detail->DBEdit1->dataField(), QLatin1String(a.headword));
    EXPECT_EQ(d.detail->DBMemo1->dataField(), QLatin1String(a.meaning));
    // Every table is open again on its first record.
    for (TableHandle* table : {w.Table, w.Tablei, w.Tablet}) {
        EXPECT_TRUE(table->isOpen());
        EXPECT_EQ(table->currentIndex(), 0);
    }
    EXPECT_EQ(w.prog->text(), w.Table->fieldAsString(QLatin1String(a.prog)).remove(u'\r'));
    EXPECT_EQ(w.kullandb->text(), w.Table->fieldAsString(QLatin1String(a.kullandb)).remove(u'\r'));
}

INSTANTIATE_TEST_SUITE_P(Direction, Switch, ::testing::ValuesIn(kAfter));

TEST(DirectionSwitch, FromAnythingButItLeadsToIt) {
    EXPECT_EQ(switchedFrom(QStringLiteral("it")).direction, QStringLiteral("ti"));
    for (const char* from : {"ti", "", "IT", "it "})
        EXPECT_EQ(switchedFrom(QLatin1String(from)).direction, QStringLiteral("it")) << from;
    EXPECT_EQ(bindingsOf(QStringLiteral("IT")), nullptr);
    EXPECT_EQ(bindingsOf(QString()), nullptr);
}

TEST(DirectionSwitch, KeepsEachDictionarysFilterAndTheTranslationPane) {
    test::DictionaryWindows d;
    Tanaekr& w = *d.window;
    w.ara->setText(QStringLiteral("book"));
    w.sarabClick();
    w.metinbClick(); // translation shown
    w.turbClick();
    w.ara->setText(QStringLiteral("kitap"));
    w.sarabClick();
    EXPECT_TRUE(w.kullandb->isVisibleTo(&w));
    EXPECT_EQ(w.metinb->text(), QStringLiteral("Tercüme Metin Gizle"));
    EXPECT_EQ(w.kullandb->text(), w.Table->fieldAsString(QStringLiteral("ikonus")).remove(u'\r'));

    w.turbClick();
    EXPECT_EQ(w.Tablei->filter(), QStringLiteral("ikelime >= 'book'"));
    EXPECT_TRUE(w.Tablei->filtered());
    EXPECT_EQ(w.Tablei->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("book"));
    EXPECT_EQ(w.Tablet->filter(), QStringLiteral("tkelime >= 'kitap'"));
    EXPECT_EQ(w.Tablei->sortField(), QStringLiteral("ikelime"));
    EXPECT_EQ(w.Tablet->sortField(), QStringLiteral("tkelime"));
    EXPECT_EQ(w.ara->text(), QStringLiteral("kitap")); // the box is not touched
}

TEST(DirectionSwitch, WithoutADatabaseTheBindingsChangeAndReopeningFails) {
    test::MainWindowOnSample w(false);
    ProgramState& state = w.state;
    Tanaekr& window = *w;
    try {
        window.turbClick();
        ADD_FAILURE() << "reopening without a database must fail";
    } catch (const Error& error) {
        EXPECT_FALSE(error.message().isEmpty());
    }
    EXPECT_EQ(state.DirectionMode, QStringLiteral("ti"));
    EXPECT_EQ(window.turb->text(), QStringLiteral("İngilizce -> Türkçe"));
    EXPECT_EQ(window.sbul->text(), QStringLiteral("Türkçe -> İngilizce"));
    EXPECT_EQ(window.prog->dataField(), QStringLiteral("tkonus"));
    for (TableHandle* table : {window.Table, window.Tablei, window.Tablet})
        EXPECT_FALSE(table->isOpen());
}

} // namespace
} // namespace peltavo
