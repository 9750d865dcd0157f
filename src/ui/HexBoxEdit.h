#pragma once
#include <QLineEdit>
#include <functional>

#include "edit/KeyBoxInput.h"

namespace quillon::ui {

// One box of the "Add Key" dialog. Every character, typed, pasted or
// dropped, goes through the box's filter; a refusal beeps. Losing the focus
// to another control of the dialog hands the box to onLeave, which
// normalises its text.
class HexBoxEdit : public QLineEdit {
    Q_OBJECT
  public:
    HexBoxEdit(edit::HexBoxKind kind, QWidget* parent = nullptr);

    std::function<void()> onBeep;
    std::function<void()> onLeave;

    // The clipboard's text, filtered as if typed at the cursor.
    void PasteText(const QString& pasted);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Refuse();
    void PasteClipboard();

    edit::HexBoxKind kind_;
};

}  // namespace quillon::ui
