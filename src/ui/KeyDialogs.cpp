#include "ui/KeyDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "edit/RandomSource.h"
#include "model/CTmpDoc.h"
#include "ui/HexBoxEdit.h"

namespace quillon::ui {

AddKeyDialog::AddKeyDialog(model::CTmpDoc& doc, Prompts& prompts, edit::RandomSource& random,
                           QWidget* parent)
    : QDialog(parent), prompts_(prompts), form_(doc, prompts, random) {
    setWindowTitle(QStringLiteral("Add Key"));

    auto* keyGroup = new QGroupBox(QStringLiteral("Key"), this);
    auto* boxesRow = new QHBoxLayout;
    boxesRow->addWidget(new QLabel(QStringLiteral("0x"), keyGroup));
    for (int i = 0; i < edit::AddKeyForm::kKeyBoxes; ++i) {
        auto* box =
            new HexBoxEdit(QStringLiteral("[0-9A-Fa-f]{0,2}"), QStringLiteral("WW"), keyGroup);
        box->setEchoMode(QLineEdit::Password);
        keyBoxes_[static_cast<size_t>(i)] = box;
        boxesRow->addWidget(box);
    }
    show_ = new QCheckBox(QStringLiteral("Show"), keyGroup);
    clear_ = new QPushButton(QStringLiteral("&Clear Key"), keyGroup);
    generate_ = new QPushButton(QStringLiteral("&Generate Random Key"), keyGroup);
    // Only OK may answer the Enter key.
    clear_->setAutoDefault(false);
    generate_->setAutoDefault(false);
    auto* keyButtons = new QHBoxLayout;
    keyButtons->addWidget(show_);
    keyButtons->addStretch();
    keyButtons->addWidget(clear_);
    keyButtons->addWidget(generate_);
    auto* keyLayout = new QVBoxLayout(keyGroup);
    keyLayout->addLayout(boxesRow);
    keyLayout->addLayout(keyButtons);

    auto* kidGroup = new QGroupBox(QStringLiteral("Key ID"), this);
    // Five characters typed, six ("0xffff") once the box was left.
    kid_ = new HexBoxEdit(QStringLiteral("(0x?)?[0-9A-Fa-f]{0,4}"), QStringLiteral("0xWWWW"),
                          kidGroup);
    auto* kidLayout = new QHBoxLayout(kidGroup);
    kidLayout->addWidget(new QLabel(QStringLiteral("0x"), kidGroup));
    kidLayout->addWidget(kid_);
    kidLayout->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddKeyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keyGroup);
    layout->addWidget(kidGroup);
    layout->addWidget(buttons);

    for (int i = 0; i <= edit::AddKeyForm::kKeyBoxes; ++i) {
        HexBoxEdit* box = Box(i);
        box->onBeep = [this] { prompts_.Beep(); };
        box->acceptsTyped = [this, i](const std::string& text, size_t selStart, size_t selLength,
                                      char c) {
            return form_.AcceptsTyped(i, text, selStart, selLength, c);
        };
        box->acceptsInsert = [this, i](const std::string& text, size_t selStart, size_t selLength,
                                       const std::string& inserted) {
            return form_.AcceptsInsert(i, text, selStart, selLength, inserted);
        };
        connect(box, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { form_.SetText(i, text.toStdString()); });
        box->onLeave = [this, i] {
            form_.LeaveBox(i);
            ShowBoxes();
        };
    }
    connect(show_, &QCheckBox::toggled, this, &AddKeyDialog::ShowKeyInClear);
    connect(clear_, &QPushButton::clicked, this, [this] {
        form_.ClearKey();
        ShowBoxes();
    });
    connect(generate_, &QPushButton::clicked, this, [this] {
        form_.GenerateRandomKey();
        ShowBoxes();
    });
    keyBoxes_[0]->setFocus();
}

AddKeyDialog::~AddKeyDialog() {
    // The boxes outlive the form (children go after the members); a focus
    // change while they are torn down must not reach it.
    for (int i = 0; i <= edit::AddKeyForm::kKeyBoxes; ++i) {
        Box(i)->onLeave = nullptr;
        Box(i)->acceptsTyped = nullptr;
        Box(i)->acceptsInsert = nullptr;
        Box(i)->disconnect(this);
    }
}

HexBoxEdit* AddKeyDialog::Box(int i) const {
    return i == edit::AddKeyForm::kKidBox ? kid_ : keyBoxes_[static_cast<size_t>(i)];
}

void AddKeyDialog::ShowBoxes() {
    for (int i = 0; i <= edit::AddKeyForm::kKeyBoxes; ++i) {
        const QString text = QString::fromStdString(form_.Text(i));
        if (Box(i)->text() != text) {
            Box(i)->setText(text);
        }
    }
}

void AddKeyDialog::ShowKeyInClear(bool shown) {
    for (HexBoxEdit* box : keyBoxes_) {
        box->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    }
}

void AddKeyDialog::accept() {
    if (!form_.Ok()) {
        ShowBoxes();
        if (form_.FocusBox() >= 0) {
            Box(form_.FocusBox())->setFocus();
        }
        return;
    }
    QDialog::accept();
}

EncryptionSettingsDialog::EncryptionSettingsDialog(model::CTmpDoc& doc, Prompts& prompts,
                                                   edit::RandomSource& random, QWidget* parent)
    : QDialog(parent), doc_(doc), prompts_(prompts), random_(random), logic_(doc) {
    setWindowTitle(QStringLiteral("Encryption Settings"));

    auto* group = new QGroupBox(QStringLiteral("Active Keys Sorted by KID"), this);
    list_ = new QListWidget(group);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list_);

    add_ = new QPushButton(QStringLiteral("&Add"), this);
    delete_ = new QPushButton(QStringLiteral("&Delete"), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    add_->setAutoDefault(false);
    delete_->setAutoDefault(false);
    close_->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, [this] {
        logic_.Add([this] {
            AddKeyDialog dialog(doc_, prompts_, random_, this);
            dialog.exec();
        });
        changed_ = true;
        Fill();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        TakeSelection();
        const bool any = !logic_.Selection().empty();
        logic_.Delete();
        changed_ = changed_ || any;
        Fill();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    Fill();
}

void EncryptionSettingsDialog::TakeSelection() {
    std::vector<int> rows;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            rows.push_back(row);
        }
    }
    logic_.Select(rows);
}

void EncryptionSettingsDialog::Fill() {
    list_->clear();
    for (const auto& item : logic_.Items()) {
        auto* row = new QListWidgetItem(QString::fromStdString(item.text), list_);
        row->setData(Qt::UserRole, item.kid);
    }
    for (int pos : logic_.Selection()) {
        list_->item(pos)->setSelected(true);
        list_->setCurrentRow(pos, QItemSelectionModel::Current);
    }
    add_->setEnabled(logic_.AddEnabled());
    delete_->setEnabled(logic_.DeleteEnabled());
    list_->setFocus();
}

bool RunEncryptionDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts) {
    EncryptionSettingsDialog dialog(doc, prompts, edit::DefaultRandomSource(), parent);
    dialog.exec();
    return dialog.Changed();
}

}  // namespace quillon::ui
