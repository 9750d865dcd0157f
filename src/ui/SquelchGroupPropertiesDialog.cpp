#include "ui/SquelchGroupPropertiesDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/NumericEntry.h"

namespace quillon::ui {

namespace {

constexpr std::array<SquelchGroupPropertiesDialog::Code, 3> kCodes = {
    SquelchGroupPropertiesDialog::Code::Nac, SquelchGroupPropertiesDialog::Code::Ctcss,
    SquelchGroupPropertiesDialog::Code::Cdcss};
constexpr std::array<const char*, 3> kLabels = {"NAC", "CTCSS", "CDCSS"};

QString FromEightBit(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToEightBit(const QString& text) {
    return text.toLatin1().toStdString();
}

}  // namespace

SquelchGroupPropertiesDialog::SquelchGroupPropertiesDialog(model::SquGroup& groups, int group,
                                                           Prompts& prompts, QWidget* parent)
    : QDialog(parent), target_(groups), props_(groups, group, prompts) {
    setWindowTitle(QStringLiteral("Squelch Group Properties"));

    auto* nameLabel = new QLabel(QStringLiteral("Group Name"), this);
    name_ = new QLineEdit(FromEightBit(props_.Name()), this);
    nameLabel->setBuddy(name_);

    items_ = new QListWidget(this);
    items_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const QFontMetrics fm(items_->font());
    // "CTCSS  100.0" and the like, 16 of them.
    items_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("CTCSS  0xfff")) +
                            4 * fm.averageCharWidth() + 24);
    items_->setMinimumHeight(fm.lineSpacing() * 17);

    auto* fields = new QGridLayout;
    for (size_t i = 0; i < kCodes.size(); ++i) {
        const Code code = kCodes[i];
        adds_[i] = new QPushButton(QStringLiteral("<<"), this);
        adds_[i]->setAutoDefault(false);
        adds_[i]->setMaximumWidth(fm.horizontalAdvance(QStringLiteral("<<")) * 3);
        labels_[i] = new QLabel(QString::fromLatin1(kLabels[i]), this);
        entries_[i] = new NumericEntry(this, &prompts);
        entries_[i]->Configure(props_.Field(code).Config());
        if (props_.Field(code).HasList()) {
            entries_[i]->AttachLists(props_.Field(code).List());
        }
        labels_[i]->setBuddy(entries_[i]->LineEdit());
        const int row = static_cast<int>(i);
        fields->addWidget(adds_[i], row, 0);
        fields->addWidget(labels_[i], row, 1);
        fields->addWidget(entries_[i], row, 2);

        connect(adds_[i], &QPushButton::clicked, this, [this, code] {
            TakeField(code);
            props_.AddCode(code);
            ShowAll();
        });
        // Whatever the user does in the box, the editor sees the field as
        // the box has it.
        connect(entries_[i], &NumericEntry::Normalised, this, [this, code] { TakeField(code); });
        connect(entries_[i], &NumericEntry::Stepped, this, [this, code] { TakeField(code); });
        connect(entries_[i], &NumericEntry::Edited, this, [this, code] { TakeField(code); });
    }
    fields->setRowStretch(static_cast<int>(kCodes.size()), 1);

    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    delete_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    ok_->setDefault(true);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(items_, 1);
    middle->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    connect(items_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (filling_ || row < 0) {
            return;
        }
        props_.SelectItem(row);
        for (Code code : kCodes) {
            ShowField(code);
        }
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        props_.DeleteItems(SelectedRows());
        ShowAll();
    });
    connect(ok_, &QPushButton::clicked, this, &SquelchGroupPropertiesDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    ShowAll();
}

void SquelchGroupPropertiesDialog::ShowField(Code code) {
    NumericEntry* entry = entries_[Index(code)];
    const bool enabled = props_.FieldEnabled(code);
    entry->Logic() = props_.Field(code);
    // The widget keeps the field's blanking in step with its own state.
    entry->setEnabled(enabled);
    entry->Refresh();
    adds_[Index(code)]->setEnabled(enabled);
    labels_[Index(code)]->setEnabled(enabled);
}

void SquelchGroupPropertiesDialog::TakeField(Code code) {
    props_.Field(code) = entries_[Index(code)]->Logic();
}

void SquelchGroupPropertiesDialog::ShowItems() {
    filling_ = true;
    items_->clear();
    for (const auto& item : props_.Items()) {
        items_->addItem(FromEightBit(item.text));
    }
    items_->setCurrentRow(-1);
    filling_ = false;
}

void SquelchGroupPropertiesDialog::ShowAll() {
    ShowItems();
    for (Code code : kCodes) {
        ShowField(code);
    }
}

std::vector<int> SquelchGroupPropertiesDialog::SelectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < items_->count(); ++row) {
        if (items_->item(row)->isSelected()) {
            rows.push_back(row);
        }
    }
    return rows;
}

void SquelchGroupPropertiesDialog::accept() {
    props_.SetName(ToEightBit(name_->text()));
    if (props_.Ok(target_)) {
        QDialog::accept();
    }
}

SquelchGroupPropertiesDialog::~SquelchGroupPropertiesDialog() {
    // Closing the window takes the focus from a box, which then reports
    // itself normalised; by then this dialog is half destroyed.
    for (NumericEntry* entry : entries_) {
        if (entry != nullptr) {
            entry->disconnect(this);
        }
    }
}

bool RunSquelchGroupPropertiesDialog(QWidget* parent, model::SquGroup& groups, int group,
                                     Prompts& prompts) {
    SquelchGroupPropertiesDialog dialog(groups, group, prompts, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillon::ui
