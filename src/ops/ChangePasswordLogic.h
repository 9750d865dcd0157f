#pragma once
// The checks of the "Change Password" dialog's OK, without its widgets.
#include <string>

namespace quillon {

enum class PasswordBox { None, Old, New, Confirm };

struct ChangePasswordCheck {
    bool ok = false;
    std::string message;  // shown with the exclamation icon after a beep
    PasswordBox focus = PasswordBox::None;
};

// In order: new password empty, confirmation empty, the two differ, old and
// new equal. The old password may be empty.
ChangePasswordCheck CheckChangePassword(const std::string& oldPassword,
                                        const std::string& newPassword,
                                        const std::string& confirmation);

}  // namespace quillon
