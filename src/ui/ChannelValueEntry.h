#pragma once
// A value field of the "Channel Settings" dialog on screen: an edit box and
// its up/down arrows that show the rule engine's own field and pass every
// user action to the engine. The engine owns the field's state and rules;
// this widget keeps no copy of either.
//
// Whatever changes the box's text (a key, a paste, a drop, undo) is offered
// to the engine as the edit it was (what it replaced, with what); an edit
// the engine refuses is put back with a beep. Leaving the box and Enter leave the field in the
// engine; the arrows and the Up/Down keys step it.
#include <QLineEdit>
#include <QWidget>
#include <functional>

#include "edit/ChannelSettings.h"

class QToolButton;

namespace quillon {
class Prompts;
}

namespace quillon::ui {

class ChannelValueEntry;

// The box: reports keys and focus loss to its entry.
class ChannelValueLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit ChannelValueLineEdit(ChannelValueEntry& owner);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    ChannelValueEntry& owner_;
};

class ChannelValueEntry : public QWidget {
    Q_OBJECT
  public:
    // `changed` runs after every call into the engine, so the dialog can
    // show what the control rules changed (this entry included).
    ChannelValueEntry(edit::ChannelSettings& engine, edit::ChannelControl id, Prompts& prompts,
                      std::function<void()> changed, QWidget* parent = nullptr);
    ~ChannelValueEntry() override;

    edit::ChannelControl Id() const { return id_; }
    // Shows the engine's state of this control: text, enabled, read-only.
    void Refresh();

    QLineEdit* LineEdit() const { return edit_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

  private:
    friend class ChannelValueLineEdit;

    void OnEdited(const QString& text);
    void Leave();
    void Step(int code);
    void FitWidth();

    edit::ChannelSettings& engine_;
    edit::ChannelControl id_;
    Prompts& prompts_;
    std::function<void()> changed_;
    ChannelValueLineEdit* edit_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};

}  // namespace quillon::ui
