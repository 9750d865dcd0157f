#pragma once
#include <optional>
#include <string>
#include <vector>

namespace quillon {

// The caption of every message box the program shows.
inline constexpr const char* kAppCaption = "Quillon Radio Programmer";

enum class Icon { None, Information, Exclamation, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Everything the core asks the user. The GUI shows real dialogs, the
// command-line tool prints and reads the terminal, tests answer from a script.
class Prompts {
  public:
    virtual ~Prompts() = default;

    // A modal message box. Nothing of the procedures or the block engine may
    // advance while it is open.
    virtual Answer MessageBox(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok,
                              const std::string& caption = kAppCaption) = 0;
    // The default beep.
    virtual void Beep() = 0;
    // The "Password Entry" dialog; false when it was cancelled.
    virtual bool PasswordEntry(std::string& password) = 0;
    // The "Change Password" dialog, its own checks passed; false on Cancel.
    virtual bool ChangePassword(std::string& oldPassword, std::string& newPassword) = 0;
    // A question box with buttons of its own; returns the index of the button
    // chosen, or -1 when the box was closed without one.
    virtual int Choice(const std::string& title, const std::string& text,
                       const std::vector<std::string>& buttons) = 0;
    // A small entry dialog with one text field; nothing on Cancel.
    virtual std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                               int maxLength) = 0;
};

}  // namespace quillon
