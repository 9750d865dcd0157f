#include "ui/ScanReferenceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "edit/ChannelSettingsMessages.h"
#include "ui/NumericEntry.h"

namespace quillon::ui {

namespace chmsg = edit::chmsg;

ScanReferenceDialog::ScanReferenceDialog(const std::vector<edit::ScanReferenceChoice>& choices,
                                         int channel, const std::string& dwell, Prompts& prompts,
                                         QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(chmsg::kScanReferenceTitle));

    channel_ = new QComboBox(this);
    for (const edit::ScanReferenceChoice& c : choices) {
        // The name bytes are the card's 8-bit text.
        channel_->addItem(QString::fromLatin1(c.text.data(), static_cast<qsizetype>(c.text.size())),
                          c.channel);
    }
    const int start = channel_->findData(channel);
    channel_->setCurrentIndex(start >= 0 ? start : 0);

    // The dwell field's rules are the engine's; the widget is set up from them.
    edit::ValueField setup;
    setup.Configure(edit::DwellFieldSetup());
    dwell_ = new NumericEntry(this, &prompts);
    dwell_->Configure(setup.Logic().Config());
    if (setup.Logic().HasList()) {
        dwell_->AttachLists(setup.Logic().List());
    }
    dwell_->SetValue(dwell);

    auto* channelLabel = new QLabel(QString::fromLatin1(chmsg::kReferenceChannelLabel), this);
    channelLabel->setBuddy(channel_);
    auto* dwellLabel = new QLabel(QString::fromLatin1(chmsg::kDwellTimeLabel), this);
    dwellLabel->setBuddy(dwell_->LineEdit());

    auto* form = new QFormLayout;
    form->addRow(channelLabel, channel_);
    form->addRow(dwellLabel, dwell_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    // Nothing to refer to, nothing to confirm.
    ok_->setEnabled(!choices.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int ScanReferenceDialog::Channel() const {
    return channel_->currentIndex() >= 0 ? channel_->currentData().toInt() : -1;
}

std::string ScanReferenceDialog::Dwell() const {
    return dwell_->Text();
}

void ScanReferenceDialog::accept() {
    // OK pressed with the mouse leaves the focus in the box: leave it here.
    dwell_->Normalise();
    QDialog::accept();
}

}  // namespace quillon::ui
