#pragma once
#include <string>
#include <vector>

#include "core/ProgressSink.h"

namespace quillon::sim {

// A progress window without a window: keeps the state a user would see and
// a record of every call, so tests can follow what a procedure showed.
class RecordingProgress : public ProgressSink {
  public:
    void Show() override;
    void Hide() override;
    bool IsShown() const override { return shown_; }
    void SetTitle(const std::string& title) override;
    void SetText(const std::string& text) override;
    void ResetBar() override;
    void SetBar(float value) override;
    void AdvanceBar(float delta) override;
    float BarValue() const override { return bar_.Value(); }

    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    int Repaints() const { return repaints_; }
    // "title:..." / "text:..." / "show" / "hide" ... in call order.
    const std::vector<std::string>& Calls() const { return calls_; }
    // Every status text set, in order.
    std::vector<std::string> Texts() const;
    std::vector<std::string> Titles() const;
    void ClearCalls() { calls_.clear(); }

  private:
    bool shown_ = false;
    std::string title_;
    std::string text_;
    ProgressBar bar_;
    int repaints_ = 0;
    std::vector<std::string> calls_;
};

}  // namespace quillon::sim
