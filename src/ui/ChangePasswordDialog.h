#pragma once
#include <QDialog>

class QLineEdit;

namespace quillon::ui {

// "Change Password": the old password and the new one twice, every box
// hidden. OK runs the checks in their order and stays open on a failure,
// with the box to correct focused.
class ChangePasswordDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ChangePasswordDialog(QWidget* parent = nullptr);

    QString OldPassword() const;
    QString NewPassword() const;
    QLineEdit* OldBox() const { return old_; }
    QLineEdit* NewBox() const { return new_; }
    QLineEdit* ConfirmBox() const { return confirm_; }

    void accept() override;

  private:
    QLineEdit* old_;
    QLineEdit* new_;
    QLineEdit* confirm_;
};

}  // namespace quillon::ui
