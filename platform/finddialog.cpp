#include "finddialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace peltavo::platform {

FindDialog::FindDialog(QWidget* parent)
    : QDialog(parent), text_(new QLineEdit(this)),
      wholeWord_(new QCheckBox(QStringLiteral("Match &whole word only"), this)),
      matchCase_(new QCheckBox(QStringLiteral("Match &case"), this)),
      up_(new QRadioButton(QStringLiteral("&Up"), this)),
      down_(new QRadioButton(QStringLiteral("&Down"), this)),
      findNext_(new QPushButton(QStringLiteral("&Find Next"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
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

    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
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

void FindDialog::execute() {
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

} // namespace peltavo::platform
