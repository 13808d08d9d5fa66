// The floor for start-up: a minimal Qt Widgets program that shows an empty 800 x 600 window and
// ends once it has been painted. Timed as a whole process next to the program's own start.
//   emptywindow [--text]
// --text puts one line of text in the window, in the program's font: what drawing any text at
// all adds to Qt's start (the font configuration, a font, its glyphs).
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <cstring>

namespace {

class Window : public QWidget {
protected:
    bool event(QEvent* e) override {
        const bool handled = QWidget::event(e);
        if (e->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // Ends as the program's start is timed: at once after the first frame.
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return handled;
    }

private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.resize(800, 600);
    if (argc == 2 && std::strcmp(argv[1], "--text") == 0) {
        auto* line = new QLabel(QStringLiteral("Good morning, Can. How are you today?"), &window);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        line->setFont(font);
        line->setGeometry(8, 8, 400, 20);
    }
    window.show();
    return QApplication::exec();
}
