#pragma once
#include <QPointer>
#include <QWidget>

#include "core/Prompts.h"

namespace quillon::ui {

// The program's questions as Qt dialogs. Message boxes hold the modal guard,
// so no procedure step or engine step happens while one is open.
class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    Answer MessageBox(const std::string& text, Icon icon, Buttons buttons,
                      const std::string& caption) override;
    void Beep() override;
    bool PasswordEntry(std::string& password) override;
    bool ChangePassword(std::string& oldPassword, std::string& newPassword) override;
    int Choice(const std::string& title, const std::string& text,
               const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                       int maxLength) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace quillon::ui
