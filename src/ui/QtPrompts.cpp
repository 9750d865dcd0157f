#include "ui/QtPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/ModalGuard.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/PasswordEntryDialog.h"

namespace quillon::ui {

namespace {
QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

Answer QtPrompts::MessageBox(const std::string& text, Icon icon, Buttons buttons,
                             const std::string& caption) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, owner_);
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    qt::ModalGuard guard;
    const int r = box.exec();
    switch (r) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            // Closed by its close box or Esc.
            return buttons == Buttons::Ok      ? Answer::Ok
                   : buttons == Buttons::YesNo ? Answer::No
                                               : Answer::Cancel;
    }
}

void QtPrompts::Beep() {
    QApplication::beep();
}

bool QtPrompts::PasswordEntry(std::string& password) {
    PasswordEntryDialog dlg(owner_);
    if (dlg.exec() != QDialog::Accepted) {
        return false;
    }
    password = dlg.Password().toStdString();
    return true;
}

bool QtPrompts::ChangePassword(std::string& oldPassword, std::string& newPassword) {
    ChangePasswordDialog dlg(owner_);
    if (dlg.exec() != QDialog::Accepted) {
        return false;
    }
    oldPassword = dlg.OldPassword().toStdString();
    newPassword = dlg.NewPassword().toStdString();
    return true;
}

int QtPrompts::Choice(const std::string& title, const std::string& text,
                      const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::NoButton, owner_);
    std::vector<QPushButton*> made;
    for (const auto& b : buttons) {
        made.push_back(box.addButton(QString::fromStdString(b), QMessageBox::AcceptRole));
    }
    qt::ModalGuard guard;
    box.exec();
    for (size_t i = 0; i < made.size(); ++i) {
        if (box.clickedButton() == made[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<std::string> QtPrompts::AskText(const std::string& title, const std::string& label,
                                              int maxLength) {
    QDialog dlg(owner_);
    dlg.setWindowTitle(QString::fromStdString(title));
    auto* text = new QLabel(QString::fromStdString(label), &dlg);
    auto* field = new QLineEdit(&dlg);
    if (maxLength > 0) {
        field->setMaxLength(maxLength);
    }
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(text);
    layout->addWidget(field);
    layout->addWidget(box);
    if (dlg.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return field->text().toStdString();
}

}  // namespace quillon::ui
