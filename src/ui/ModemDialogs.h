#pragma once
#include <QDialog>

class QLineEdit;

namespace quillon {
class CTmpApp;
}

namespace quillon::ui {

// "Modem Commands": the init, dial and hang-up strings, stored as typed on
// OK (the modem is the judge of them).
class ModemCommandsDialog : public QDialog {
    Q_OBJECT
  public:
    ModemCommandsDialog(CTmpApp& app, QWidget* parent = nullptr);
    QLineEdit* InitEdit() const { return init_; }
    QLineEdit* DialEdit() const { return dial_; }
    QLineEdit* HangupEdit() const { return hangup_; }
    void accept() override;

  private:
    CTmpApp& app_;
    QLineEdit* init_;
    QLineEdit* dial_;
    QLineEdit* hangup_;
};

// "Dial": the number; its Dial button starts the call, and the dialog
// stays open when there is no port to call on.
class DialDialog : public QDialog {
    Q_OBJECT
  public:
    DialDialog(CTmpApp& app, QWidget* parent = nullptr);
    QLineEdit* NumberEdit() const { return number_; }
    void Dial();

  private:
    CTmpApp& app_;
    QLineEdit* number_;
};

}  // namespace quillon::ui
