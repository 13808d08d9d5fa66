// The floor for start-up: a minimal Qt Widgets program that shows an empty 800 x 600 window and
// ends once it has been painted. Timed as a whole process next to the program's own start.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

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
    window.show();
    return QApplication::exec();
}
