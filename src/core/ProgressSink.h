#pragma once
#include <string>

namespace quillon {

// The progress window as procedures drive it.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void Show() = 0;  // a second Show while shown does nothing
    virtual void Hide() = 0;  // Hide while hidden does nothing
    virtual bool IsShown() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void ResetBar() = 0;
    virtual void SetBar(float value) = 0;
    virtual void AdvanceBar(float delta) = 0;
    virtual float BarValue() const = 0;
};

// The bar arithmetic shared by every progress sink. The value is a
// percentage; values outside 0..100 are refused by SetBar, and stored but
// not painted by Advance.
class ProgressBar {
  public:
    float Value() const { return value_; }
    // Each returns true when the bar must be repainted.
    bool Reset() {
        value_ = 0.0f;
        return true;
    }
    bool Set(float v) {
        if (v < 0.0f || v > 100.0f) {
            return false;
        }
        value_ = v;
        return true;
    }
    bool Advance(float d) {
        value_ += d;
        return value_ >= 0.0f && value_ <= 100.0f;
    }
    // Width in pixels of the filled part of a bar area of this width.
    static int FilledWidth(float value, int clientWidth);

  private:
    float value_ = 0.0f;
};

}  // namespace quillon
