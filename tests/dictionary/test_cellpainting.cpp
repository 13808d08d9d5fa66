#include "cellpainting.h"
#include "dictionarygridmodel.h"
#include "lineedit.h"
#include "tablehandle.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

const QColor kPaper(250, 250, 250);
const QColor kSelection(20, 60, 160);

QPalette gridPalette() {
    QPalette palette;
    palette.setColor(QPalette::Base, kPaper);
    palette.setColor(QPalette::Highlight, kSelection);
    return palette;
}

// Paints one cell of 60 x 18 at (10, 5) on a grey canvas.
QImage paintCell(const QString& text, bool highlighted) {
    QImage image(80, 30, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    painter.setFont(font);
    sozlukDrawColumnCell(painter, QRect(10, 5, 60, 18), text, highlighted, gridPalette());
    return image;
}

// The colours found inside `area` of the image, other than `background`.
QRect inkBounds(const QImage& image, const QRect& area, const QColor& background) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(CellPainting, HighlightedCellIsWhiteOnSelectionOthersBlackOnTheColumnColour) {
    const struct {
        bool highlighted;
        QColor paper, ink;
    } cases[] = {{true, kSelection, Qt::white}, {false, kPaper, Qt::black}};
    const QRect cell(10, 5, 60, 18);
    for (const auto& c : cases) {
        const QImage image = paintCell(QStringLiteral("Hm"), c.highlighted);
        EXPECT_EQ(image.pixelColor(cell.topLeft()), c.paper);
        EXPECT_EQ(image.pixelColor(cell.bottomRight()), c.paper);
        const QRect ink = inkBounds(image, cell, c.paper);
        ASSERT_FALSE(ink.isNull());
        // The text starts 2 px right of and 2 px below the corner.
        EXPECT_GE(ink.left(), cell.left() + 2);
        EXPECT_LE(ink.left(), cell.left() + 4);
        EXPECT_GE(ink.top(), cell.top() + 2);
        bool inkSeen = false;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
                inkSeen |= image.pixelColor(x, y) == c.ink;
        EXPECT_TRUE(inkSeen) << "highlighted " << c.highlighted;
    }
}

TEST(CellPainting, TheWholeTextIsWrittenOnOneLineAndClippedToTheCell) {
    const QString longMeaning = QStringLiteral("1. koşmak\r\n2. işletmek, yönetmek\r\n3. akmak");
    const QImage image = paintCell(longMeaning, false);
    const QRect cell(10, 5, 60, 18);
    // Clipped: nothing outside the cell changed.
    EXPECT_EQ(inkBounds(image, QRect(0, 0, 80, 30), Qt::gray), cell);
    // One line: the text runs up to the cell's right edge instead of breaking.
    const QRect ink = inkBounds(image, cell, kPaper);
    EXPECT_GE(ink.right(), cell.right() - 3);
    EXPECT_LE(ink.height(), 14);
}

class GridOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
        w->ara->setText(QStringLiteral("book"));
        w->sarabClick();
    }
    // The colour in the middle of the left part of the cell, clear of its text.
    QColor cellColour(int row, int column) {
        const QRect rect = w->sozluk->visualRect(w->sozlukModel->index(row, column));
        const QImage image = w->sozluk->viewport()->grab().toImage();
        return image.pixelColor(rect.right() - 2, rect.bottom() - 1);
    }

    test::MainWindowOnSample w;
};

TEST_F(GridOnScreen, CurrentCellIsHighlightedOnlyWhileTheGridHasFocus) {
    w->activateWindow();
    w->sozluk->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(w->sozluk->hasFocus());
    const QColor selection = w->sozluk->palette().color(QPalette::Active, QPalette::Highlight);
    const QColor base = w->sozluk->palette().color(QPalette::Active, QPalette::Base);
    const int current = w->Tablei->currentIndex();
    EXPECT_EQ(cellColour(current, 0), selection);
    EXPECT_EQ(cellColour(current, 1), base); // only the current cell, not the row
    EXPECT_EQ(cellColour(0, 0), base);

    w->ara->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(cellColour(current, 0), base);
}

TEST_F(GridOnScreen, CellsAnswerAScreenReaderWithTheirShownText) {
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w->sozluk);
    ASSERT_NE(grid, nullptr);
    QAccessibleTableInterface* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    QAccessibleInterface* cell = table->cellAt(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("book"));
    QAccessibleInterface* meaning = table->cellAt(0, 1);
    ASSERT_NE(meaning, nullptr);
    EXPECT_EQ(meaning->text(QAccessible::Name), QStringLiteral("kitap; defter"));
}

} // namespace
} // namespace peltavo
