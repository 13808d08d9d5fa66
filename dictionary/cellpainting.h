#pragma once

#include <QStyledItemDelegate>

class QPainter;
class QPalette;
class QRect;

namespace peltavo {

// Paints one data cell of the dictionary grid: the rectangle filled in the selection colour for
// the highlighted cell and in the base (column) colour for every other, then the whole stored
// text, on one line, in white on the highlighted cell and black elsewhere, starting 2 pixels
// right of and 2 pixels below the cell's top left corner and clipped to the cell. The painter's
// font is used as it is.
void sozlukDrawColumnCell(QPainter& painter, const QRect& cell, const QString& text,
                          bool highlighted, const QPalette& palette);

// The grid's delegate: a cell is highlighted when it is the grid's current cell and the grid has
// the keyboard focus; selection plays no part.
class DictionaryCellPainter : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace peltavo
