#include "sim/ScriptedPrompts.h"

namespace quillon::sim {

namespace {
const char* AnswerName(Answer a) {
    switch (a) {
        case Answer::Ok:
            return "Ok";
        case Answer::Cancel:
            return "Cancel";
        case Answer::Yes:
            return "Yes";
        case Answer::No:
            return "No";
    }
    return "?";
}

// A scripted answer must be one the box offers; anything else counts as the
// box's natural "closed" answer, so a script mistake cannot invent a button.
Answer Fit(Answer a, Buttons b) {
    switch (b) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return (a == Answer::Ok || a == Answer::Cancel) ? a : Answer::Cancel;
        case Buttons::YesNo:
            return (a == Answer::Yes || a == Answer::No) ? a : Answer::No;
        case Buttons::YesNoCancel:
            return (a == Answer::Yes || a == Answer::No || a == Answer::Cancel) ? a
                                                                                : Answer::Cancel;
    }
    return a;
}
}  // namespace

Answer ScriptedPrompts::MessageBox(const std::string& text, Icon icon, Buttons buttons,
                                   const std::string& caption) {
    Answer a = defaultAnswer_;
    if (!answers_.empty()) {
        a = answers_.front();
        answers_.pop_front();
    }
    a = Fit(a, buttons);
    records_.push_back(Record{Kind::MessageBox, caption, text, icon, buttons, {}, AnswerName(a)});
    return a;
}

void ScriptedPrompts::Beep() {
    records_.push_back(Record{Kind::Beep, "", "", Icon::None, Buttons::Ok, {}, ""});
}

bool ScriptedPrompts::PasswordEntry(std::string& password) {
    std::optional<std::string> pw;
    if (!passwords_.empty()) {
        pw = passwords_.front();
        passwords_.pop_front();
    }
    records_.push_back(Record{Kind::PasswordEntry,
                              "Password Entry",
                              "",
                              Icon::None,
                              Buttons::OkCancel,
                              {},
                              pw ? "Ok" : "Cancel"});
    if (!pw) {
        return false;
    }
    password = *pw;
    return true;
}

bool ScriptedPrompts::ChangePassword(std::string& oldPassword, std::string& newPassword) {
    std::optional<std::pair<std::string, std::string>> c;
    if (!changes_.empty()) {
        c = changes_.front();
        changes_.pop_front();
    }
    records_.push_back(Record{Kind::ChangePassword,
                              "Change Password",
                              "",
                              Icon::None,
                              Buttons::OkCancel,
                              {},
                              c ? "Ok" : "Cancel"});
    if (!c) {
        return false;
    }
    oldPassword = c->first;
    newPassword = c->second;
    return true;
}

int ScriptedPrompts::Choice(const std::string& title, const std::string& text,
                            const std::vector<std::string>& buttons) {
    int idx = -1;
    if (!choiceAnswers_.empty()) {
        idx = choiceAnswers_.front();
        choiceAnswers_.pop_front();
    }
    if (idx >= static_cast<int>(buttons.size())) {
        idx = -1;
    }
    records_.push_back(Record{Kind::Choice, title, text, Icon::None, Buttons::Ok, buttons,
                              idx >= 0 ? buttons[static_cast<size_t>(idx)] : "closed"});
    return idx;
}

std::optional<std::string> ScriptedPrompts::AskText(const std::string& title,
                                                    const std::string& label, int maxLength) {
    std::optional<std::string> t;
    if (!texts_.empty()) {
        t = texts_.front();
        texts_.pop_front();
    }
    if (t && maxLength > 0 && t->size() > static_cast<size_t>(maxLength)) {
        t->resize(static_cast<size_t>(maxLength));  // the field takes no more
    }
    records_.push_back(
        Record{Kind::AskText, title, label, Icon::None, Buttons::OkCancel, {}, t ? *t : "Cancel"});
    return t;
}

std::vector<ScriptedPrompts::Record> ScriptedPrompts::Boxes() const {
    std::vector<Record> out;
    for (const auto& r : records_) {
        if (r.kind == Kind::MessageBox) {
            out.push_back(r);
        }
    }
    return out;
}

std::vector<std::string> ScriptedPrompts::BoxTexts() const {
    std::vector<std::string> out;
    for (const auto& r : records_) {
        if (r.kind == Kind::MessageBox) {
            out.push_back(r.text);
        }
    }
    return out;
}

int ScriptedPrompts::BeepCount() const {
    return CountKind(Kind::Beep);
}

int ScriptedPrompts::CountKind(Kind k) const {
    int n = 0;
    for (const auto& r : records_) {
        n += (r.kind == k) ? 1 : 0;
    }
    return n;
}

}  // namespace quillon::sim
