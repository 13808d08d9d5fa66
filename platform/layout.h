#pragma once

#include <QFont>
#include <QLatin1String>
#include <QString>
#include <QWidget>

namespace peltavo::platform {

// A font of `family` with a character height of `pixels`, as the windows' layouts give it.
inline QFont pixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Names a control and puts it at its fixed place in its window.
template <typename W> W* place(W* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

} // namespace peltavo::platform
