#include "ui/RadioWideSettingsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "model/CTmpDoc.h"

namespace quillon::ui {

void LogicSpinBox::stepBy(int steps) {
    if (!onStep || !onStep(steps)) {
        QApplication::beep();
    }
}

QString LogicSpinBox::textFromValue(int value) const {
    return isEnabled() ? QSpinBox::textFromValue(value) : QString();
}

void LogicSpinBox::Refresh() {
    lineEdit()->setText(textFromValue(value()));
}

QAbstractSpinBox::StepEnabled LogicSpinBox::stepEnabled() const {
    // Both arrows stay live at the ends of the range, so a step beyond it
    // reaches stepBy and beeps instead of doing nothing.
    return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

RadioWideSettingsDialog::RadioWideSettingsDialog(model::CTmpDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), logic_(doc) {
    setWindowTitle(QStringLiteral("Radio Wide Settings"));

    auto* front = new QGroupBox(QStringLiteral("Front Panel"), this);
    audio_ = new QCheckBox(QStringLiteral("Audio"), front);
    levelLabel_ = new QLabel(QStringLiteral("Audio &Level"), front);
    level_ = new LogicSpinBox(front);
    level_->setRange(RadioWideSettingsLogic::kLevelMin, RadioWideSettingsLogic::kLevelMax);
    levelLabel_->setBuddy(level_);
    auto* frontLayout = new QGridLayout(front);
    frontLayout->addWidget(audio_, 0, 0, 1, 2);
    frontLayout->addWidget(levelLabel_, 1, 0);
    frontLayout->addWidget(level_, 1, 1);

    auto* def = new QGroupBox(QStringLiteral("Default Channel"), this);
    channelLabel_ = new QLabel(QStringLiteral("Channel Number"), def);
    channel_ = new LogicSpinBox(def);
    channel_->setRange(RadioWideSettingsLogic::kChannelMin, RadioWideSettingsLogic::kChannelMax);
    useBoxId_ = new QCheckBox(QStringLiteral("Use Box ID (see User Manual)"), def);
    auto* defLayout = new QGridLayout(def);
    defLayout->addWidget(channelLabel_, 0, 0);
    defLayout->addWidget(channel_, 0, 1);
    defLayout->addWidget(useBoxId_, 1, 0, 1, 2);

    auto* rear = new QGroupBox(QStringLiteral("Rear Serial Output"), this);
    diagnostic_ = new QCheckBox(QStringLiteral("Diagnostic Data"), rear);
    gps_ = new QCheckBox(QStringLiteral("P25 GPS Data"), rear);
    auto* rearLayout = new QVBoxLayout(rear);
    rearLayout->addWidget(diagnostic_);
    rearLayout->addWidget(gps_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &RadioWideSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(front);
    layout->addWidget(def);
    layout->addWidget(rear);
    layout->addWidget(buttons);

    level_->onStep = [this](int steps) {
        const bool ok = logic_.StepLevel(steps);
        ShowState();
        return ok;
    };
    channel_->onStep = [this](int steps) {
        const bool ok = logic_.StepChannel(steps);
        ShowState();
        return ok;
    };
    connect(level_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { logic_.SetLevel(v); });
    connect(channel_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { logic_.SetChannel(v); });
    connect(audio_, &QCheckBox::clicked, this, [this](bool checked) {
        logic_.ClickAudio(checked);
        ShowState();
    });
    connect(useBoxId_, &QCheckBox::clicked, this, [this](bool checked) {
        logic_.ClickUseBoxId(checked);
        ShowState();
    });
    connect(diagnostic_, &QCheckBox::clicked, this,
            [this](bool checked) { logic_.SetDiagnostic(checked); });
    connect(gps_, &QCheckBox::clicked, this, [this](bool checked) { logic_.SetGps(checked); });
    ShowState();
}

void RadioWideSettingsDialog::ShowState() {
    audio_->setChecked(logic_.Audio());
    levelLabel_->setEnabled(logic_.LevelEnabled());
    level_->setEnabled(logic_.LevelEnabled());
    level_->setValue(logic_.Level());
    useBoxId_->setChecked(logic_.UseBoxId());
    channelLabel_->setEnabled(logic_.ChannelEnabled());
    channel_->setEnabled(logic_.ChannelEnabled());
    channel_->setValue(logic_.Channel());
    // Enabling does not redraw the text by itself.
    level_->Refresh();
    channel_->Refresh();
    diagnostic_->setChecked(logic_.Diagnostic());
    gps_->setChecked(logic_.Gps());
}

void RadioWideSettingsDialog::accept() {
    // A value typed into a box counts as well as one stepped to.
    logic_.SetLevel(level_->value());
    logic_.SetChannel(channel_->value());
    logic_.Apply(doc_);
    QDialog::accept();
}

}  // namespace quillon::ui
