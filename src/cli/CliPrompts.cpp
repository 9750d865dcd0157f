#include "cli/CliPrompts.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace quillon::cli {

Answer CliPrompts::MessageBox(const std::string& text, Icon icon, Buttons buttons,
                              const std::string&) {
    std::fprintf(stderr, "%s\n", text.c_str());
    last_ = text;
    if (icon == Icon::Exclamation) {
        ++warnings_;
    }
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
    }
    return Answer::Ok;
}

bool CliPrompts::PasswordEntry(std::string& password) {
    if (const char* env = std::getenv("QUILLON_PASSWORD")) {
        password = env;
        return true;
    }
    if (!isatty(STDIN_FILENO)) {
        return static_cast<bool>(std::getline(std::cin, password));
    }
    std::fprintf(stderr, "Password: ");
    std::fflush(stderr);
    termios old{};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    const bool ok = static_cast<bool>(std::getline(std::cin, password));
    tcsetattr(STDIN_FILENO, TCSANOW, &old);
    std::fprintf(stderr, "\n");
    return ok;
}

void CliPrompts::SetPasswordChange(const std::string& oldPassword, const std::string& newPassword) {
    changeGiven_ = true;
    oldPassword_ = oldPassword;
    newPassword_ = newPassword;
}

bool CliPrompts::ChangePassword(std::string& oldPassword, std::string& newPassword) {
    if (!changeGiven_) {
        return false;
    }
    oldPassword = oldPassword_;
    newPassword = newPassword_;
    return true;
}

int CliPrompts::Choice(const std::string& title, const std::string& text,
                       const std::vector<std::string>&) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return -1;
}

std::optional<std::string> CliPrompts::AskText(const std::string&, const std::string&, int) {
    return std::nullopt;
}

void CliProgress::Show() {
    shown_ = true;
    Draw();
}

void CliProgress::Hide() {
    if (shown_) {
        Break();
    }
    shown_ = false;
}

void CliProgress::SetTitle(const std::string& title) {
    // A new caption comes with its own status text; draw with that.
    if (title != title_) {
        text_.clear();
    }
    title_ = title;
    Draw();
}

void CliProgress::SetText(const std::string& text) {
    text_ = text;
    Draw();
}

void CliProgress::ResetBar() {
    bar_.Reset();
    Draw();
}

void CliProgress::SetBar(float value) {
    if (bar_.Set(value)) {
        Draw();
    }
}

void CliProgress::AdvanceBar(float delta) {
    if (bar_.Advance(delta)) {
        Draw();
    }
}

void CliProgress::Break() {
    if (drawn_) {
        std::fprintf(out_, "\n");
        drawn_ = false;
    }
}

namespace {
std::string WithoutDigits(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            out += c;
        }
    }
    return out;
}
}  // namespace

void CliProgress::Draw() {
    if (!shown_) {
        return;
    }
    if (!isatty(fileno(out_))) {
        // Into a file or a pipe: one line per phase, not a redraw per step of
        // the bar nor a line per channel counted ("Channels received 1" to
        // "512" are one phase).
        const std::string line = title_ + ": " + text_;
        const std::string phase = WithoutDigits(line);
        if (!text_.empty() && phase != lastLine_) {
            std::fprintf(out_, "%s\n", line.c_str());
            lastLine_ = phase;
        }
        return;
    }
    const int filled = ProgressBar::FilledWidth(bar_.Value(), 20);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(20, ' ');
    std::fprintf(out_, "\r%s: %-45.45s [%s] %3d%%\x1b[K", title_.c_str(), text_.c_str(),
                 bar.c_str(), static_cast<int>(bar_.Value()));
    std::fflush(out_);
    drawn_ = true;
}

}  // namespace quillon::cli
