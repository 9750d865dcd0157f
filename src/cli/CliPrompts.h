#pragma once
#include <cstdio>
#include <string>

#include "core/ProgressSink.h"
#include "core/Prompts.h"

namespace quillon::cli {

// Message boxes as lines on stderr. Questions get their default answer
// (the command line cannot stop for them); the password comes from the
// command line, the environment, or the terminal without echo.
class CliPrompts : public Prompts {
  public:
    Answer MessageBox(const std::string& text, Icon icon, Buttons buttons,
                      const std::string& caption) override;
    void Beep() override {}
    bool PasswordEntry(std::string& password) override;
    bool ChangePassword(std::string& oldPassword, std::string& newPassword) override;
    int Choice(const std::string& title, const std::string& text,
               const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                       int maxLength) override;

    // What the Change Password dialog answers: the passwords from the
    // command line. Without them it is cancelled.
    void SetPasswordChange(const std::string& oldPassword, const std::string& newPassword);

    // The failures and refusals shown so far (exclamation boxes).
    int Warnings() const { return warnings_; }
    const std::string& LastMessage() const { return last_; }

  private:
    int warnings_ = 0;
    std::string last_;
    bool changeGiven_ = false;
    std::string oldPassword_;
    std::string newPassword_;
};

// The progress window as one line on stderr, redrawn in place:
// "Login: Looking for login prompt... [#####     ]  50%".
class CliProgress : public ProgressSink {
  public:
    explicit CliProgress(std::FILE* out = stderr) : out_(out) {}
    void Show() override;
    void Hide() override;
    bool IsShown() const override { return shown_; }
    void SetTitle(const std::string& title) override;
    void SetText(const std::string& text) override;
    void ResetBar() override;
    void SetBar(float value) override;
    void AdvanceBar(float delta) override;
    float BarValue() const override { return bar_.Value(); }
    // Ends the line in progress, before other output.
    void Break();

  private:
    void Draw();
    std::FILE* out_;
    bool shown_ = false;
    bool drawn_ = false;
    std::string title_;
    std::string text_;
    std::string lastLine_;  // the last phase printed, its numbers left out
    ProgressBar bar_;
};

}  // namespace quillon::cli
