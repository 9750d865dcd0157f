#pragma once
#include <QDialog>
#include <functional>

#include "core/ProgressSink.h"

class QLabel;
class QPushButton;

namespace quillon::ui {

// The area the bar is painted on.
class ProgressBarArea : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressBarArea(QWidget* parent) : QWidget(parent) {}
    void SetValue(float v) {
        value_ = v;
        update();
    }
    float PaintedValue() const { return value_; }
    // Width of the filled part for the current size, as painted.
    int FilledWidth() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    float value_ = 0.0f;
};

// The small modeless window every procedure shows: a caption, a status
// line, a percentage bar and Cancel. Cancel (or Esc) cancels the procedures
// and hides the window.
class ProgressWindow : public QDialog, public ProgressSink {
    Q_OBJECT
  public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void SetCancelHandler(std::function<void()> fn) { onCancel_ = std::move(fn); }

    void Show() override;
    void Hide() override;
    bool IsShown() const override { return shown_; }
    void SetTitle(const std::string& title) override;
    void SetText(const std::string& text) override;
    void ResetBar() override;
    void SetBar(float value) override;
    void AdvanceBar(float delta) override;
    float BarValue() const override { return bar_.Value(); }

    ProgressBarArea* BarArea() const { return area_; }
    QLabel* TextLine() const { return text_; }
    QPushButton* CancelButton() const { return cancel_; }
    int Repaints() const { return repaints_; }

  public slots:
    void reject() override;

  private:
    void Repaint();

    QLabel* text_;
    ProgressBarArea* area_;
    QPushButton* cancel_;
    QPushButton* ok_;
    ProgressBar bar_;
    bool shown_ = false;
    int repaints_ = 0;
    std::function<void()> onCancel_;
};

}  // namespace quillon::ui
