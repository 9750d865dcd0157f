#include "ui/SquelchGroupsDialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/SquelchGroupPropertiesDialog.h"

namespace quillon::ui {

SquelchGroupsDialog::SquelchGroupsDialog(model::CTmpDoc& doc, Prompts& prompts, QWidget* parent,
                                         edit::SquelchGroupsEditor::PropertiesFn properties)
    : QDialog(parent), editor_(doc, prompts), properties_(std::move(properties)) {
    setWindowTitle(QStringLiteral("Active Squelch Groups"));
    if (!properties_) {
        properties_ = [this, &prompts](model::SquGroup& groups, int group) {
            return RunSquelchGroupPropertiesDialog(this, groups, group, prompts);
        };
    }

    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const QFontMetrics fm(list_->font());
    // Room for a 16-character name of wide letters, and for all 16 groups.
    list_->setMinimumWidth(fm.horizontalAdvance(QString(16, QLatin1Char('W'))) + 24);
    list_->setMinimumHeight(fm.lineSpacing() * 17);

    add_ = new QPushButton(QStringLiteral("Add"), this);
    edit_ = new QPushButton(QStringLiteral("Edit"), this);
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* b : {add_, edit_, delete_, cancel_}) {
        b->setAutoDefault(false);
    }
    ok_->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, [this] {
        editor_.Add(properties_);
        Show();
    });
    connect(edit_, &QPushButton::clicked, this, [this] {
        editor_.Edit(SelectedRows(), properties_);
        Show();
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) {
        editor_.Edit(SelectedRows(), properties_);
        Show();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        editor_.Delete(SelectedRows());
        Show();
    });
    connect(ok_, &QPushButton::clicked, this, &SquelchGroupsDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    Show();
}

std::vector<int> SquelchGroupsDialog::SelectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            rows.push_back(row);
        }
    }
    return rows;
}

void SquelchGroupsDialog::Show() {
    list_->clear();
    for (const auto& entry : editor_.Entries()) {
        list_->addItem(QString::fromLatin1(entry.text.data(), static_cast<int>(entry.text.size())));
    }
    const int row = editor_.SelectedRow();
    if (row >= 0 && row < list_->count()) {
        list_->item(row)->setSelected(true);
        list_->setCurrentRow(row, QItemSelectionModel::Current);
    }
    const auto states = editor_.Buttons();
    add_->setEnabled(states.add);
    edit_->setEnabled(states.edit);
    delete_->setEnabled(states.remove);
}

void SquelchGroupsDialog::accept() {
    editor_.Ok();
    QDialog::accept();
}

bool RunSquelchGroupsDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts) {
    SquelchGroupsDialog dialog(doc, prompts, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillon::ui
