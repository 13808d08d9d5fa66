#include "accessibility.h"
#include "dialogs.h"
#include "lineedit.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

// A window's Tab stops as a keyboard user meets them, from its first one round to it again.
struct TabWalk {
    const char* window;
    std::vector<const char*> stops;
};

void PrintTo(const TabWalk& walk, std::ostream* os) {
    *os << walk.window;
}

const TabWalk kWalks[] = {
    // cumleb and kullandb are hidden at start and skipped.
    {"anaekr",
     {"kullan", "prog", "cumle", "turb", "metinb", "sozluk", "ara", "arab", "yadimb", "sarab",
      "ilerib", "geri1", "sesb", "sozlukb", "boslukb"}},
    {"sozlukekr", {"sonrab", "DBEdit1", "DBMemo1", "onceb"}},
};

class Keyboard : public ::testing::TestWithParam<TabWalk> {
protected:
    QWidget* windowNamed(const char* name) {
        return QLatin1String(name) == QLatin1String("anaekr")
                   ? static_cast<QWidget*>(d.window.get())
                   : d.detail.get();
    }
    test::DictionaryWindows d;
};

TEST_P(Keyboard, TabAndShiftTabWalkTheTabOrderWithoutATrap) {
    const TabWalk& walk = GetParam();
    QWidget* window = windowNamed(walk.window);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget* first = window->findChild<QWidget*>(QLatin1String(walk.stops.front()));
    first->setFocus(Qt::TabFocusReason);

    const auto walkWith = [&](Qt::KeyboardModifiers modifiers) {
        std::vector<std::string> seen;
        for (std::size_t i = 0; i <= walk.stops.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            seen.push_back(focus ? focus->objectName().toStdString() : "(none)");
            QTest::keyClick(focus ? focus : window, Qt::Key_Tab, modifiers);
        }
        return seen;
    };
    std::vector<std::string> forward(walk.stops.begin(), walk.stops.end());
    forward.push_back(walk.stops.front());
    EXPECT_EQ(walkWith(Qt::NoModifier), forward);

    std::vector<std::string> backward(forward.rbegin(), forward.rend());
    first->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(walkWith(Qt::ShiftModifier), backward);
}

TEST_P(Keyboard, TheWindowIsAFrameNamedByItsCaption) {
    QWidget* window = windowNamed(GetParam().window);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Window);
    EXPECT_EQ(iface->text(QAccessible::Name), window->windowTitle());
    for (const char* stop : GetParam().stops) {
        QAccessibleInterface* control =
            QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(QLatin1String(stop)));
        ASSERT_NE(control, nullptr);
        EXPECT_FALSE(control->text(QAccessible::Name).isEmpty()) << stop;
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, Keyboard, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.window); });

TEST(MessageBoxFocus, ReturnsToTheControlThatHadItBefore) {
    test::MainWindowOnSample w;
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    w->ara->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(w->ara));
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        EXPECT_NE(QApplication::focusWidget(), nullptr);
        box->close();
    });
    platform::QtDialogs().showMessage(
        w.window.get(), platform::Message{platform::Message::Icon::None, QStringLiteral("Uyarı"),
                                          QStringLiteral("Aranan kelime bulunamadı!")});
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(w->ara));
}

// A button's or label's name is what it shows when a screen reader asks; while it shows nothing,
// its object name. The quiz's answer buttons and sentence labels change caption every question.
TEST(CaptionNames, FollowTheCaptionOfTheMoment) {
    QWidget window;
    auto* button = new QPushButton(&window);
    button->setObjectName(QStringLiteral("cb1"));
    auto* label = new QLabel(&window);
    label->setObjectName(QStringLiteral("ilke"));
    platform::nameControlsForAccessibility(&window);
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    const struct {
        QString caption, heard;
    } cases[] = {{QString(), QStringLiteral("cb1")},
                 {QStringLiteral("are"), QStringLiteral("are")},
                 {QStringLiteral("Fish && &chips"), QStringLiteral("Fish & chips")},
                 {QString(), QStringLiteral("cb1")}};
    for (const auto& c : cases) {
        button->setText(c.caption);
        EXPECT_EQ(name(button), c.heard) << c.caption.toStdString();
    }
    EXPECT_EQ(name(label), QStringLiteral("ilke"));
    label->setText(QStringLiteral("I"));
    EXPECT_EQ(name(label), QStringLiteral("I"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->role(), QAccessible::Button);
}

} // namespace
} // namespace peltavo
