#include "ui/ChannelSettingsDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>

#include "edit/ChannelSettingsMessages.h"
#include "model/Messages.h"
#include "model/TextForms.h"
#include "ui/ChannelValueEntry.h"
#include "ui/ScanReferenceDialog.h"

namespace quillon::ui {

namespace {

using edit::ChannelControl;
using edit::ControlKind;
using edit::ControlState;
namespace chmsg = edit::chmsg;

// Texts of the document are the card's 8-bit bytes.
QString FromBytes(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

size_t Index(ChannelControl id) {
    return static_cast<size_t>(id);
}

// Makes a child widget show or hide only when that changes, so a widget
// built before its dialog is shown is not shown on its own.
void ShowVisible(QWidget* w, bool visible) {
    if (w->isHidden() == visible) {
        w->setHidden(!visible);
    }
}

}  // namespace

ChannelSettingsDialog::ChannelSettingsDialog(std::unique_ptr<edit::ChannelSettings> engine,
                                             Prompts& prompts, QWidget* parent)
    : QDialog(parent), engine_(std::move(engine)), prompts_(prompts) {
    setWindowTitle(QString::fromLatin1(chmsg::kTitle));
    runReference_ = [](ScanReferenceDialog& dialog) { return dialog.exec() == QDialog::Accepted; };

    auto* left = new QVBoxLayout;
    left->addWidget(BuildChannelBox());
    left->addWidget(BuildModeBox());
    left->addWidget(BuildDigitalBox());
    left->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(BuildFrequencyBox());
    middle->addWidget(BuildTransmitterBox());
    middle->addWidget(BuildCourtesyBox());
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildOptionsBox());
    right->addWidget(BuildScanBox(), 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChannelSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    for (const edit::ControlInfo& c : edit::ChannelControls()) {
        Show(c.id);
    }
    ShowChanges();
    name_->setFocus();
}

ChannelSettingsDialog::~ChannelSettingsDialog() {
    // The widgets call the engine when they lose the focus, also while they
    // are being destroyed: they go before the engine does, and nothing is
    // shown any more.
    closing_ = true;
    const QList<QWidget*> children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

// --- building ----------------------------------------------------------------------

QLabel* ChannelSettingsDialog::MakeLabel(std::vector<C> ids, const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setBuddy(buddy);
    labels_.emplace_back(label, std::move(ids));
    return label;
}

QComboBox* ChannelSettingsDialog::MakeCombo(C id) {
    auto* combo = new QComboBox(this);
    widgets_[Index(id)] = combo;
    connect(combo, qOverload<int>(&QComboBox::activated), this, [this, id](int index) {
        engine_->Select(id, index);
        // Also when refused: the combo goes back to the engine's choice.
        Show(id);
        ShowChanges();
    });
    return combo;
}

QCheckBox* ChannelSettingsDialog::MakeCheck(C id, const QString& text) {
    auto* box = new QCheckBox(text, this);
    widgets_[Index(id)] = box;
    connect(box, &QCheckBox::clicked, this, [this, id](bool on) {
        engine_->SetChecked(id, on);
        Show(id);
        ShowChanges();
    });
    return box;
}

ChannelValueEntry* ChannelSettingsDialog::MakeValue(C id) {
    auto* entry = new ChannelValueEntry(
        *engine_, id, prompts_, [this] { ShowChanges(); }, this);
    widgets_[Index(id)] = entry;
    return entry;
}

QWidget* ChannelSettingsDialog::MakeRadios(C id, const char* title,
                                           const std::vector<const char*>& texts) {
    // A titled set gets its group box; an untitled one sits in a form row.
    QWidget* box =
        title != nullptr ? new QGroupBox(QString::fromLatin1(title), this) : new QWidget(this);
    auto* group = new QButtonGroup(box);
    auto* column = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    if (title == nullptr) {
        column->setContentsMargins(0, 0, 0, 0);
    }
    column->addLayout(row);
    for (size_t i = 0; i < texts.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), box);
        group->addButton(radio, static_cast<int>(i));
        row->addWidget(radio);
    }
    row->addStretch(1);
    widgets_[Index(id)] = box;
    radios_[Index(id)] = group;
    connect(group, &QButtonGroup::idClicked, this, [this, id](int index) {
        engine_->Select(id, index);
        Show(id);
        ShowChanges();
    });
    return box;
}

QWidget* ChannelSettingsDialog::BuildChannelBox() {
    auto* box = new QGroupBox(QStringLiteral("Channel"), this);
    auto* form = new QFormLayout(box);
    QWidget* type = MakeRadios(C::Type, nullptr, {"&Fixed", "&Scan"});
    form->addRow(MakeLabel({C::Type}, "Type:", nullptr), type);

    name_ = new QLineEdit(this);
    // The card keeps 8 name bytes; longer names cannot be typed at all.
    name_->setMaxLength(8);
    widgets_[Index(C::Name)] = name_;
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!engine_->Enter(C::Name, ToBytes(text))) {
            prompts_.Beep();
        }
        Show(C::Name);
        ShowChanges();
    });
    form->addRow(MakeLabel({C::Name}, "&Name:", name_), name_);
    ChannelValueEntry* number = MakeValue(C::Number);
    form->addRow(MakeLabel({C::Number}, "N&umber:", number->LineEdit()), number);
    return box;
}

QWidget* ChannelSettingsDialog::BuildModeBox() {
    auto* box = new QGroupBox(QStringLiteral("Operation"), this);
    auto* form = new QFormLayout(box);
    const struct {
        C id;
        const char* label;
    } combos[] = {{C::Mode, "&Mode:"},
                  {C::Control, "&Control:"},
                  {C::SignalType, "Signal T&ype:"},
                  {C::Bandwidth, "Band&width:"},
                  {C::SquelchSystem, "S&quelch System:"}};
    for (const auto& c : combos) {
        QComboBox* combo = MakeCombo(c.id);
        form->addRow(MakeLabel({c.id}, c.label, combo), combo);
    }
    QCheckBox* enable = MakeCheck(C::GroupEnable, QStringLiteral("Ena&ble"));
    QComboBox* group = MakeCombo(C::SquelchGroup);
    // Room for a group's name even while the list is empty.
    group->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    group->setMinimumContentsLength(8);
    form->addRow(enable);
    form->addRow(MakeLabel({C::SquelchGroup}, "Squelch &Group:", group), group);
    return box;
}

QWidget* ChannelSettingsDialog::BuildFrequencyBox() {
    auto* box = new QGroupBox(QStringLiteral("Receive and Transmit"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("Rx"), box), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Tx"), box), 0, 2, Qt::AlignHCenter);
    const struct {
        C rx;
        C tx;
        const char* label;
    } rows[] = {{C::RxFrequency, C::TxFrequency, "F&req (MHz)"},
                {C::RxNac, C::TxNac, "NAC"},
                {C::RxTone, C::TxTone, "C&xCSS"}};
    int row = 1;
    for (const auto& r : rows) {
        ChannelValueEntry* rx = MakeValue(r.rx);
        ChannelValueEntry* tx = MakeValue(r.tx);
        grid->addWidget(MakeLabel({r.rx, r.tx}, r.label, rx->LineEdit()), row, 0);
        grid->addWidget(rx, row, 1);
        grid->addWidget(tx, row, 2);
        ++row;
    }
    grid->addWidget(MakeCheck(C::RxInvert, QStringLiteral("CDCSS &Invert")), row, 1);
    grid->addWidget(MakeCheck(C::TxInvert, QStringLiteral("CDCSS Invert")), row, 2);
    return box;
}

QWidget* ChannelSettingsDialog::BuildDigitalBox() {
    auto* box = new QGroupBox(QStringLiteral("Digital"), this);
    auto* form = new QFormLayout(box);
    const struct {
        C id;
        const char* label;
    } values[] = {{C::TalkgroupId, "&Talkgroup ID:"}, {C::UnitId, "Unit ID:"}};
    for (const auto& v : values) {
        ChannelValueEntry* entry = MakeValue(v.id);
        form->addRow(MakeLabel({v.id}, v.label, entry->LineEdit()), entry);
    }
    QComboBox* algorithm = MakeCombo(C::AlgorithmId);
    form->addRow(MakeLabel({C::AlgorithmId}, "Algorithm ID:", algorithm), algorithm);
    ChannelValueEntry* key = MakeValue(C::KeyId);
    form->addRow(MakeLabel({C::KeyId}, "&Key ID:", key->LineEdit()), key);
    return box;
}

QWidget* ChannelSettingsDialog::BuildTransmitterBox() {
    auto* box = new QGroupBox(QStringLiteral("Transmitter"), this);
    auto* form = new QFormLayout(box);
    const struct {
        C id;
        const char* label;
    } values[] = {{C::Power, "&Power (W):"},
                  {C::SquelchLevel, "Squelch Le&vel:"},
                  {C::PttTimeout, "PTT Time&out:"},
                  {C::PttTail, "PTT Tail:"},
                  {C::PttDelay, "PTT Delay:"}};
    for (const auto& v : values) {
        ChannelValueEntry* entry = MakeValue(v.id);
        form->addRow(MakeLabel({v.id}, v.label, entry->LineEdit()), entry);
    }
    return box;
}

QWidget* ChannelSettingsDialog::BuildCourtesyBox() {
    auto* box = new QGroupBox(QString::fromLatin1(edit::InfoOf(C::CourtesyGroup).label), this);
    widgets_[Index(C::CourtesyGroup)] = box;
    auto* form = new QFormLayout(box);
    ChannelValueEntry* tail = MakeValue(C::CourtesyTimer);
    form->addRow(MakeLabel({C::CourtesyTimer}, "Tail (sec):", tail->LineEdit()), tail);
    QComboBox* tone = MakeCombo(C::CourtesyTone);
    form->addRow(MakeLabel({C::CourtesyTone}, "Tone:", tone), tone);
    form->addRow(MakeCheck(C::ReverseBurst, QStringLiteral("Reverse Burst")));
    return box;
}

QWidget* ChannelSettingsDialog::BuildOptionsBox() {
    auto* box = new QGroupBox(QStringLiteral("Options"), this);
    auto* column = new QVBoxLayout(box);
    column->addWidget(MakeCheck(C::LinkRadio, QStringLiteral("&Link Radio")));
    column->addWidget(MakeCheck(C::HalfDuplex, QStringLiteral("&Half Duplex")));
    column->addWidget(MakeCheck(C::FrontPanelPtt, QStringLiteral("Enable Front Panel PTT")));

    // The autosense transmit choice, with what a link radio transmits.
    QWidget* transmit = MakeRadios(C::TransmitType, "Transmit Type", {"Analog", "Digital"});
    transmit->layout()->addWidget(MakeCheck(C::TxAsRx, QStringLiteral("Link Radio \"Tx AS Rx\"")));
    column->addWidget(transmit);
    return box;
}

QWidget* ChannelSettingsDialog::BuildScanBox() {
    auto* box = new QGroupBox(QStringLiteral("Scan List"), this);
    widgets_[Index(C::ScanList)] = box;
    scanList_ = new QListWidget(box);
    scanList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const QFontMetrics fm(scanList_->font());
    // "005: NAME     - Dwell Time: 2.5s", eight of them.
    scanList_->setMinimumWidth(
        fm.horizontalAdvance(QStringLiteral("000: WWWWWWWW - Dwell Time: 9.9s")) + 24);
    scanList_->setMinimumHeight(fm.lineSpacing() * 9);
    connect(scanList_, &QListWidget::itemDoubleClicked, this, [this] { EditScan(); });

    const struct {
        C id;
        const char* text;
        void (ChannelSettingsDialog::*slot)();
    } buttons[] = {{C::ScanAdd, "&Add", &ChannelSettingsDialog::AddScan},
                   {C::ScanEdit, "&Edit", &ChannelSettingsDialog::EditScan},
                   {C::ScanDelete, "&Delete", &ChannelSettingsDialog::DeleteScan}};
    auto* row = new QHBoxLayout;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.text), box);
        button->setAutoDefault(false);
        widgets_[Index(b.id)] = button;
        connect(button, &QPushButton::clicked, this, b.slot);
        row->addWidget(button);
    }
    auto* column = new QVBoxLayout(box);
    column->addWidget(scanList_, 1);
    column->addLayout(row);
    return box;
}

// --- showing -------------------------------------------------------------------------

QWidget* ChannelSettingsDialog::Widget(C id) const {
    return widgets_[Index(id)];
}

QLabel* ChannelSettingsDialog::Label(C id) const {
    for (const auto& [label, ids] : labels_) {
        for (C owner : ids) {
            if (owner == id) {
                return label;
            }
        }
    }
    return nullptr;
}

QComboBox* ChannelSettingsDialog::Combo(C id) const {
    return qobject_cast<QComboBox*>(widgets_[Index(id)]);
}

QCheckBox* ChannelSettingsDialog::Check(C id) const {
    return qobject_cast<QCheckBox*>(widgets_[Index(id)]);
}

ChannelValueEntry* ChannelSettingsDialog::Value(C id) const {
    return qobject_cast<ChannelValueEntry*>(widgets_[Index(id)]);
}

QAbstractButton* ChannelSettingsDialog::Radio(C id, int choice) const {
    QButtonGroup* group = radios_[Index(id)];
    return group != nullptr ? group->button(choice) : nullptr;
}

void ChannelSettingsDialog::Show(C id) {
    const ControlState& state = engine_->State(id);
    QWidget* w = widgets_[Index(id)];
    if (w == nullptr) {
        return;
    }
    switch (edit::InfoOf(id).kind) {
        case ControlKind::Radio: {
            // "Neither" is a state too (an autosense channel with no
            // transmit type yet), which exclusive buttons cannot show.
            QButtonGroup* group = radios_[Index(id)];
            group->setExclusive(false);
            for (QAbstractButton* b : group->buttons()) {
                const QSignalBlocker block(b);
                b->setChecked(group->id(b) == state.selection);
            }
            group->setExclusive(true);
            break;
        }
        case ControlKind::Combo: {
            auto* combo = static_cast<QComboBox*>(w);
            const QSignalBlocker block(combo);
            bool same = combo->count() == static_cast<int>(state.choices.size());
            for (int i = 0; same && i < combo->count(); ++i) {
                same = combo->itemText(i) == FromBytes(state.choices[static_cast<size_t>(i)]);
            }
            if (!same) {
                combo->clear();
                for (const std::string& c : state.choices) {
                    combo->addItem(FromBytes(c));
                }
            }
            combo->setCurrentIndex(state.selection);
            break;
        }
        case ControlKind::Check: {
            auto* box = static_cast<QCheckBox*>(w);
            const QSignalBlocker block(box);
            box->setChecked(state.checked);
            break;
        }
        case ControlKind::Text: {
            const QString text = FromBytes(state.text);
            if (name_->text() != text) {
                const QSignalBlocker block(name_);
                name_->setText(text);
            }
            name_->setReadOnly(state.readOnly);
            break;
        }
        case ControlKind::Value:
            static_cast<ChannelValueEntry*>(w)->Refresh();
            break;
        case ControlKind::List: {
            bool same = scanList_->count() == static_cast<int>(state.choices.size());
            for (int i = 0; same && i < scanList_->count(); ++i) {
                same =
                    scanList_->item(i)->text() == FromBytes(state.choices[static_cast<size_t>(i)]);
            }
            if (!same) {
                scanList_->clear();
                for (const std::string& line : state.choices) {
                    scanList_->addItem(FromBytes(line));
                }
            }
            break;
        }
        case ControlKind::Group:
        case ControlKind::Button:
            break;
    }
    w->setEnabled(state.enabled);
    ShowVisible(w, state.visible);
}

void ChannelSettingsDialog::ShowChanges() {
    if (closing_) {
        return;
    }
    for (C id : engine_->TakeChanges()) {
        Show(id);
    }
    for (const auto& [label, ids] : labels_) {
        bool enabled = false;
        bool visible = false;
        for (C id : ids) {
            enabled = enabled || engine_->State(id).enabled;
            visible = visible || engine_->State(id).visible;
        }
        label->setEnabled(enabled);
        ShowVisible(label, visible);
    }
}

// --- the scan list -----------------------------------------------------------------

std::vector<int> ChannelSettingsDialog::SelectedScanRows() const {
    std::vector<int> rows;
    for (int i = 0; i < scanList_->count(); ++i) {
        if (scanList_->item(i)->isSelected()) {
            rows.push_back(i);
        }
    }
    return rows;
}

bool ChannelSettingsDialog::RunReference(ScanReferenceDialog& dialog) {
    return runReference_ && runReference_(dialog);
}

void ChannelSettingsDialog::AddScan() {
    const auto choices = engine_->ScanReferenceChoices();
    const int first = choices.empty() ? -1 : choices.front().channel;
    ScanReferenceDialog dialog(choices, first, "0.0", prompts_, this);
    if (RunReference(dialog) && !engine_->AddScan(dialog.Channel(), dialog.Dwell())) {
        prompts_.Beep();
    }
    ShowChanges();
}

void ChannelSettingsDialog::EditScan() {
    const std::optional<int> index = engine_->EditScanSelected(SelectedScanRows(), prompts_);
    if (!index) {
        return;
    }
    const edit::ScanEntry entry = engine_->ScanEntries()[static_cast<size_t>(*index)];
    const int channel = model::LeadingDecimal(entry.channel);
    ScanReferenceDialog dialog(engine_->ScanReferenceChoices(), channel, entry.dwell, prompts_,
                               this);
    if (RunReference(dialog) && !engine_->EditScan(*index, dialog.Channel(), dialog.Dwell())) {
        prompts_.Beep();
    }
    ShowChanges();
}

void ChannelSettingsDialog::DeleteScan() {
    engine_->DeleteScanSelected(SelectedScanRows(), prompts_);
    ShowChanges();
}

// --- OK ----------------------------------------------------------------------------

void ChannelSettingsDialog::accept() {
    const bool written = engine_->Ok(prompts_);
    // OK left every field and may have corrected some: show them either way.
    ShowChanges();
    if (written) {
        QDialog::accept();
    }
}

bool RunChannelSettingsDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts, int channel,
                              bool addMode) {
    std::unique_ptr<edit::ChannelSettings> engine =
        addMode ? edit::ChannelSettings::OpenAdd(doc)
                : edit::ChannelSettings::OpenEdit(doc, channel);
    if (!engine) {
        // Add on a full table is the Channel Table's message; an unused slot
        // has nothing to edit.
        prompts.Beep();
        if (addMode) {
            prompts.MessageBox(model::msg::kTableFull, Icon::Exclamation);
        }
        return false;
    }
    ChannelSettingsDialog dialog(std::move(engine), prompts, parent);
    return dialog.exec() == QDialog::Accepted;
}

EditChannelFn ChannelSettingsEditor(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts) {
    return [parent, &doc, &prompts](int channel, bool addMode) {
        // Over the Channel Table that asks, when it is up; it is made inside
        // the table's own runner, so its caller cannot name it.
        QWidget* modal = QApplication::activeModalWidget();
        return RunChannelSettingsDialog(modal != nullptr ? modal : parent, doc, prompts, channel,
                                        addMode);
    };
}

}  // namespace quillon::ui
