#pragma once
#include <QDialog>

class QLineEdit;

namespace quillon::ui {

// "Password Entry": one hidden field; OK takes its text.
class PasswordEntryDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PasswordEntryDialog(QWidget* parent = nullptr);
    QString Password() const;
    QLineEdit* Field() const { return field_; }

  private:
    QLineEdit* field_;
};

}  // namespace quillon::ui
