#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/Prompts.h"

namespace quillon::sim {

// Prompts for tests and the headless demonstration: every question is
// recorded with its text and icon, and answered from a script.
class ScriptedPrompts : public Prompts {
  public:
    enum class Kind { MessageBox, Beep, PasswordEntry, ChangePassword, Choice, AskText };
    struct Record {
        Kind kind;
        std::string caption;  // the box's caption, or the dialog's title
        std::string text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        std::vector<std::string> choices;
        std::string answer;  // what the script answered, as text
    };

    Answer MessageBox(const std::string& text, Icon icon, Buttons buttons,
                      const std::string& caption) override;
    void Beep() override;
    bool PasswordEntry(std::string& password) override;
    bool ChangePassword(std::string& oldPassword, std::string& newPassword) override;
    int Choice(const std::string& title, const std::string& text,
               const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                       int maxLength) override;

    // Script. Answers are taken in order; an empty queue gives the default.
    void QueueAnswer(Answer a) { answers_.push_back(a); }
    void SetDefaultAnswer(Answer a) { defaultAnswer_ = a; }
    // A password for the next Password Entry; nothing queued means Cancel.
    void QueuePassword(const std::string& pw) { passwords_.push_back(pw); }
    void QueueCancelPassword() { passwords_.push_back(std::nullopt); }
    void QueueChangePassword(const std::string& oldPw, const std::string& newPw) {
        changes_.push_back(std::make_pair(oldPw, newPw));
    }
    void QueueCancelChangePassword() { changes_.push_back(std::nullopt); }
    void QueueChoice(int index) { choiceAnswers_.push_back(index); }
    void QueueText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }

    const std::vector<Record>& Records() const { return records_; }
    // Only the message boxes, in order.
    std::vector<Record> Boxes() const;
    std::vector<std::string> BoxTexts() const;
    int BeepCount() const;
    int CountKind(Kind k) const;
    void ClearRecords() { records_.clear(); }

  private:
    std::vector<Record> records_;
    std::deque<Answer> answers_;
    Answer defaultAnswer_ = Answer::Ok;
    std::deque<std::optional<std::string>> passwords_;
    std::deque<std::optional<std::pair<std::string, std::string>>> changes_;
    std::deque<int> choiceAnswers_;
    std::deque<std::optional<std::string>> texts_;
};

}  // namespace quillon::sim
