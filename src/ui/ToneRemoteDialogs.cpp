#include "ui/ToneRemoteDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/CTmpDoc.h"

namespace quillon::ui {

ToneRemotePropertiesDialog::ToneRemotePropertiesDialog(edit::ToneRemoteProperties& logic,
                                                       QWidget* parent)
    : QDialog(parent), logic_(logic) {
    setWindowTitle(QStringLiteral("Tone Remote Properties"));
    frequency_ = new QComboBox(this);
    function_ = new QComboBox(this);
    // Wide enough for the longest texts ("F10 - 1050Hz", "Channel 511").
    frequency_->setMinimumContentsLength(14);
    function_->setMinimumContentsLength(14);
    for (const auto& item : logic_.Frequencies()) {
        frequency_->addItem(QString::fromStdString(item.text), item.data);
    }
    frequency_->setCurrentIndex(logic_.FrequencySelection());
    FillFunctions();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Frequency"), frequency_);
    form->addRow(QStringLiteral("F&unction"), function_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ToneRemotePropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ToneRemotePropertiesDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(frequency_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
        logic_.SelectFrequency(i);
        FillFunctions();
    });
    connect(function_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int i) { logic_.SelectFunction(i); });
}

void ToneRemotePropertiesDialog::FillFunctions() {
    const QSignalBlocker quiet(function_);
    function_->clear();
    for (const auto& item : logic_.Functions()) {
        function_->addItem(QString::fromStdString(item.text), item.data);
    }
    function_->setCurrentIndex(logic_.FunctionSelection());
}

void ToneRemotePropertiesDialog::accept() {
    logic_.Ok();
    QDialog::accept();
}

void ToneRemotePropertiesDialog::reject() {
    logic_.Cancel();
    QDialog::reject();
}

ToneRemoteSettingsDialog::ToneRemoteSettingsDialog(model::CTmpDoc& doc, Prompts& prompts,
                                                   QWidget* parent)
    : QDialog(parent), logic_(doc, prompts) {
    setWindowTitle(QStringLiteral("Tone Remote Settings"));
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setMinimumWidth(
        list_->fontMetrics().horizontalAdvance(QStringLiteral("F10 - 1050Hz Decrease Audio  ")) +
        list_->fontMetrics().averageCharWidth() * 4);

    add_ = new QPushButton(QStringLiteral("&Add"), this);
    edit_ = new QPushButton(QStringLiteral("&Edit"), this);
    delete_ = new QPushButton(QStringLiteral("&Delete"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* b : {add_, edit_, delete_, cancel}) {
        b->setAutoDefault(false);
    }
    ok->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    const auto run = [this](edit::ToneRemoteProperties& p) { RunProperties(p); };
    connect(add_, &QPushButton::clicked, this, [this, run] {
        logic_.Add(run);
        Fill();
    });
    connect(edit_, &QPushButton::clicked, this, [this, run] {
        TakeSelection();
        logic_.Edit(run);
        Fill();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        TakeSelection();
        logic_.Delete();
        Fill();
    });
    connect(ok, &QPushButton::clicked, this, &ToneRemoteSettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    Fill();
}

void ToneRemoteSettingsDialog::RunProperties(edit::ToneRemoteProperties& properties) {
    ToneRemotePropertiesDialog dialog(properties, this);
    dialog.exec();
}

void ToneRemoteSettingsDialog::TakeSelection() {
    std::vector<int> rows;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            rows.push_back(row);
        }
    }
    logic_.Select(rows);
}

void ToneRemoteSettingsDialog::Fill() {
    list_->clear();
    for (const auto& item : logic_.Items()) {
        auto* row = new QListWidgetItem(QString::fromStdString(item.text), list_);
        row->setData(Qt::UserRole, item.data);
    }
    for (int pos : logic_.Selection()) {
        list_->item(pos)->setSelected(true);
        list_->setCurrentRow(pos, QItemSelectionModel::Current);
    }
    add_->setEnabled(logic_.AddEnabled());
    edit_->setEnabled(logic_.EditEnabled());
    delete_->setEnabled(logic_.DeleteEnabled());
}

void ToneRemoteSettingsDialog::accept() {
    logic_.Ok();
    QDialog::accept();
}

bool RunToneRemoteDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts) {
    ToneRemoteSettingsDialog dialog(doc, prompts, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillon::ui
