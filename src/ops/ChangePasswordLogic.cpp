#include "ops/ChangePasswordLogic.h"

#include "ops/Messages.h"

namespace quillon {

ChangePasswordCheck CheckChangePassword(const std::string& oldPassword,
                                        const std::string& newPassword,
                                        const std::string& confirmation) {
    if (newPassword.empty()) {
        return {false, msg::kEnterNewPassword, PasswordBox::New};
    }
    if (confirmation.empty()) {
        return {false, msg::kEnterNewPasswordAgain, PasswordBox::Confirm};
    }
    if (newPassword != confirmation) {
        return {false, msg::kNewPasswordMismatch, PasswordBox::New};
    }
    if (oldPassword == newPassword) {
        return {false, msg::kPasswordsMustDiffer, PasswordBox::Old};
    }
    return {true, std::string(), PasswordBox::None};
}

}  // namespace quillon
