#include "finddialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace peltavo::platform {

namespace {

// The space left between the dialog and what it keeps clear of.
constexpr int kGap = 4;

// `frame` moved to `to`, then back onto `screen` as far as its size allows.
QRect onScreen(const QRect& frame, QPoint to, const QRect& screen) {
    const int x = std::clamp(to.x(), screen.left(),
                             std::max(screen.left(), screen.right() + 1 - frame.width()));
    const int y = std::clamp(to.y(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - frame.height()));
    return QRect(QPoint(x, y), frame.size());
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

} // namespace

QPoint placeClearOf(const QRect& frame, const QRect& area, const QRect& screen) {
    if (!frame.intersects(area) && screen.contains(frame))
        return frame.topLeft();
    const QPoint candidates[] = {
        {frame.x(), area.bottom() + 1 + kGap},           // below
        {frame.x(), area.top() - kGap - frame.height()}, // above
        {area.right() + 1 + kGap, frame.y()},            // right
        {area.left() - kGap - frame.width(), frame.y()}, // left
    };
    std::optional<QRect> nearest;
    QRect leastCovering = onScreen(frame, candidates[0], screen);
    for (const QPoint& to : candidates) {
        const QRect there = onScreen(frame, to, screen);
        const auto distance = [&](const QRect& r) {
            return (r.topLeft() - frame.topLeft()).manhattanLength();
        };
        if (screen.contains(there) && !there.intersects(area)) {
            if (!nearest || distance(there) < distance(*nearest))
                nearest = there;
        } else if (overlap(there, area) < overlap(leastCovering, area)) {
            leastCovering = there;
        }
    }
    return nearest.value_or(leastCovering).topLeft();
}

FindDialog::FindDialog(QWidget* parent)
    : QDialog(parent), text_(new QLineEdit(this)),
      wholeWord_(new QCheckBox(QStringLiteral("Yalnızca &tam kelime"), this)),
      matchCase_(new QCheckBox(QStringLiteral("&Büyük/küçük harf duyarlı"), this)),
      up_(new QRadioButton(QStringLiteral("&Yukarı"), this)),
      down_(new QRadioButton(QStringLiteral("A&şağı"), this)),
      findNext_(new QPushButton(QStringLiteral("&Sonrakini Bul"), this)),
      cancel_(new QPushButton(QStringLiteral("İptal"), this)) {
    setWindowTitle(QStringLiteral("Bul"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("&Aranan:"), this);
    label->setBuddy(text_);
    text_->setObjectName(QStringLiteral("findText"));
    wholeWord_->setObjectName(QStringLiteral("wholeWord"));
    matchCase_->setObjectName(QStringLiteral("matchCase"));
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    findNext_->setObjectName(QStringLiteral("findNext"));
    cancel_->setObjectName(QStringLiteral("cancel"));
    down_->setChecked(true);
    findNext_->setDefault(true);
    findNext_->setEnabled(false);

    auto* direction = new QGroupBox(QStringLiteral("Yön"), this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(cancel_);
    buttons->addStretch();

    auto* options = new QVBoxLayout;
    options->addWidget(wholeWord_);
    options->addWidget(matchCase_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(text_, 0, 1, 1, 2);
    grid->addLayout(options, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    grid->addLayout(buttons, 0, 3, 2, 1);

    connect(text_, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::findText() const {
    return text_->text();
}

void FindDialog::setFindText(const QString& text) {
    text_->setText(text);
}

bool FindDialog::matchCase() const {
    return matchCase_->isChecked();
}

bool FindDialog::wholeWord() const {
    return wholeWord_->isChecked();
}

bool FindDialog::searchDown() const {
    return down_->isChecked();
}

void FindDialog::execute(const QRect& keepClear) {
    if (!isVisible()) {
        adjustSize();
        if (!placed_) {
            // Where a dialog opens of itself: centred over its window.
            QRect frame(QPoint(), frameGeometry().size());
            frame.moveCenter(parentWidget() ? parentWidget()->window()->frameGeometry().center()
                                            : QPoint());
            move(frame.topLeft());
            placed_ = true;
        }
        if (!keepClear.isNull())
            moveClearOf(keepClear);
    }
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

void FindDialog::uncover(const QRect& hit, const QRect& area) {
    if (isVisible() && frameGeometry().intersects(hit))
        moveClearOf(area, hit);
}

void FindDialog::moveClearOf(const QRect& area, const QRect& fallback) {
    const QScreen* on = parentWidget() ? parentWidget()->screen() : screen();
    if (!on)
        return;
    const QRect screenArea = on->availableGeometry();
    QPoint to = platform::placeClearOf(frameGeometry(), area, screenArea);
    if (!fallback.isNull() && QRect(to, frameGeometry().size()).intersects(fallback))
        to = platform::placeClearOf(frameGeometry(), fallback, screenArea);
    move(to);
}

} // namespace peltavo::platform
