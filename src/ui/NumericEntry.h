#pragma once
// The numeric entry field on screen: an edit box and its small up/down
// arrows beside it, over the field's rules in edit::NumericField.
//
// Every way text gets into the box passes the field's typing filter: keys
// are checked with the exact selection they replace; a paste (keyboard,
// context menu), a drop or any other edit is checked by comparing the box's
// text before and after, and refused as a whole. Refusals sound the default
// beep (through Prompts when the dialog gives one, so tests can count them).
//
// Leaving the box, and Enter in it, normalise the field before anything else
// sees the text; OK handlers still call Normalise() on every field first,
// since pressing a button with the mouse need not take the focus from the
// box. Disabling the widget, directly or through a disabled parent, blanks
// the box and keeps the text; enabling it shows the text again.
//
// A dialog configures the field through Configure/AttachLists (or through
// Logic() followed by Refresh()), sets values with SetValue, and reads
// Text(), Logic().ValueText() or Logic().ScaledValue(). Enable and disable
// the widget with setEnabled, never through Logic().Enable.
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <string>

#include "edit/NumericField.h"

class QToolButton;

namespace quillon {
class Prompts;
}

namespace quillon::ui {

class NumericEntry;

// The box itself: reports keys and focus loss to its field.
class NumericLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit NumericLineEdit(NumericEntry& owner);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    NumericEntry& owner_;
};

class NumericEntry : public QWidget {
    Q_OBJECT
  public:
    explicit NumericEntry(QWidget* parent = nullptr, Prompts* prompts = nullptr);
    ~NumericEntry() override;

    // Beeps go to these prompts; without any, to the system's default beep.
    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }

    // The field's rules and state. After changing it directly, call
    // Refresh() to show the result.
    edit::NumericField& Logic() { return field_; }
    const edit::NumericField& Logic() const { return field_; }

    void Configure(const edit::FieldConfig& config);
    void AttachLists(edit::ValueList list);
    void SetValue(const std::string& text);
    // The box's text as it stands, unchecked (a dialog's own text).
    void SetText(const std::string& text);
    void SelectEntry(int index);
    // A read-only field shows its value but takes neither keys nor arrows.
    void SetReadOnly(bool on);

    // What the box shows (nothing while disabled).
    QString text() const;
    // The field's text, kept while the widget is disabled.
    const std::string& Text() const { return field_.Text(); }

    // What leaving the box does; emits Normalised().
    void Normalise();
    // The arrows; beeps and returns false when the step is refused.
    bool Step(edit::StepCode code);
    // Shows the field's box text again.
    void Refresh();

    QLineEdit* LineEdit() const { return edit_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

  signals:
    // The field was normalised (left, Enter, or Normalise()).
    void Normalised();
    // An arrow changed the value (or was refused).
    void Stepped();
    // The user changed the text in the box.
    void Edited();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    friend class NumericLineEdit;

    void Beep();
    // A key's text over the current selection; false refused it (beeped).
    bool TakeTyped(const QString& typed);
    void Paste();
    // Whether an edit that turned the last text into `proposed` is taken.
    bool TakeEdit(const QString& proposed);
    void OnTextChanged(const QString& text);
    void FitWidth();

    edit::NumericField field_;
    Prompts* prompts_ = nullptr;
    NumericLineEdit* edit_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    // The box's text before the edit being checked.
    std::string lastText_;
    // Set while an edit already checked (a key, a paste) or the field's own
    // text is going in, so it is not checked again.
    bool trusted_ = false;
};

}  // namespace quillon::ui
