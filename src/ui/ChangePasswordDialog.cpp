#include "ui/ChangePasswordDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "core/Prompts.h"
#include "ops/ChangePasswordLogic.h"
#include "platform/qt/ModalGuard.h"

namespace quillon::ui {

namespace {
QLineEdit* HiddenBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    return box;
}
}  // namespace

ChangePasswordDialog::ChangePasswordDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Change Password"));
    auto* group = new QGroupBox(QStringLiteral("Password"), this);
    old_ = HiddenBox(group);
    new_ = HiddenBox(group);
    confirm_ = HiddenBox(group);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Old Password"), old_);
    form->addRow(QStringLiteral("New Password"), new_);
    form->addRow(QStringLiteral("New Password"), confirm_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangePasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

QString ChangePasswordDialog::OldPassword() const {
    return old_->text();
}

QString ChangePasswordDialog::NewPassword() const {
    return new_->text();
}

void ChangePasswordDialog::accept() {
    const ChangePasswordCheck check = CheckChangePassword(
        old_->text().toStdString(), new_->text().toStdString(), confirm_->text().toStdString());
    if (check.ok) {
        QDialog::accept();
        return;
    }
    QApplication::beep();
    {
        qt::ModalGuard guard;
        QMessageBox::warning(this, QString::fromLatin1(kAppCaption),
                             QString::fromStdString(check.message));
    }
    switch (check.focus) {
        case PasswordBox::Old:
            old_->setFocus();
            break;
        case PasswordBox::New:
            new_->setFocus();
            break;
        case PasswordBox::Confirm:
            confirm_->setFocus();
            break;
        case PasswordBox::None:
            break;
    }
}

}  // namespace quillon::ui
