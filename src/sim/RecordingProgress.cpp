#include "sim/RecordingProgress.h"

namespace quillon::sim {

void RecordingProgress::Show() {
    calls_.push_back("show");
    shown_ = true;
}

void RecordingProgress::Hide() {
    calls_.push_back("hide");
    shown_ = false;
}

void RecordingProgress::SetTitle(const std::string& title) {
    calls_.push_back("title:" + title);
    title_ = title;
}

void RecordingProgress::SetText(const std::string& text) {
    calls_.push_back("text:" + text);
    text_ = text;
}

void RecordingProgress::ResetBar() {
    calls_.push_back("reset");
    repaints_ += bar_.Reset() ? 1 : 0;
}

void RecordingProgress::SetBar(float value) {
    calls_.push_back("bar:" + std::to_string(value));
    repaints_ += bar_.Set(value) ? 1 : 0;
}

void RecordingProgress::AdvanceBar(float delta) {
    calls_.push_back("advance:" + std::to_string(delta));
    repaints_ += bar_.Advance(delta) ? 1 : 0;
}

std::vector<std::string> RecordingProgress::Texts() const {
    std::vector<std::string> out;
    for (const auto& c : calls_) {
        if (c.rfind("text:", 0) == 0) {
            out.push_back(c.substr(5));
        }
    }
    return out;
}

std::vector<std::string> RecordingProgress::Titles() const {
    std::vector<std::string> out;
    for (const auto& c : calls_) {
        if (c.rfind("title:", 0) == 0) {
            out.push_back(c.substr(6));
        }
    }
    return out;
}

}  // namespace quillon::sim
