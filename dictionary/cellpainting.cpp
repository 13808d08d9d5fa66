#include "cellpainting.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPalette>

namespace peltavo {

void sozlukDrawColumnCell(QPainter& painter, const QRect& cell, const QString& text,
                          bool highlighted, const QPalette& palette) {
    painter.save();
    painter.setClipRect(cell);
    painter.fillRect(
        cell, palette.color(QPalette::Active, highlighted ? QPalette::Highlight : QPalette::Base));
    painter.setPen(highlighted ? QColor(0xFF, 0xFF, 0xFF) : QColor(0, 0, 0));
    painter.drawText(cell.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text);
    painter.restore();
}

void DictionaryCellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const auto* grid = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool highlighted = grid && grid->hasFocus() && index == grid->currentIndex();
    painter->setFont(option.font);
    sozlukDrawColumnCell(*painter, option.rect, index.data(Qt::DisplayRole).toString(), highlighted,
                         option.palette);
}

} // namespace peltavo
