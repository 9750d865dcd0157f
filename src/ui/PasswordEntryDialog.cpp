#include "ui/PasswordEntryDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quillon::ui {

PasswordEntryDialog::PasswordEntryDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Password Entry"));
    auto* label = new QLabel(QStringLiteral("&Password"), this);
    field_ = new QLineEdit(this);
    field_->setEchoMode(QLineEdit::Password);
    label->setBuddy(field_);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString PasswordEntryDialog::Password() const {
    return field_->text();
}

}  // namespace quillon::ui
