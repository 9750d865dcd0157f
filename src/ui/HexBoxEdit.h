#pragma once
#include <QLineEdit>
#include <cstddef>
#include <functional>
#include <string>

namespace quillon::ui {

// One box of the "Add Key" dialog. Every character, typed, pasted or
// dropped, goes through the box's filter (the dialog's logic); a refusal
// beeps. Losing the focus to another control of the dialog calls onLeave,
// which normalises the text.
class HexBoxEdit : public QLineEdit {
    Q_OBJECT
  public:
    // pattern: a last guard (a validator) for any route into the box that
    // the filter does not see; widestText sizes the box.
    HexBoxEdit(const QString& pattern, const QString& widestText, QWidget* parent = nullptr);

    // The filter: one typed character, or a whole inserted text, over the
    // selection [selStart, selStart + selLength) of text.
    std::function<bool(const std::string& text, size_t selStart, size_t selLength, char c)>
        acceptsTyped;
    std::function<bool(const std::string& text, size_t selStart, size_t selLength,
                       const std::string& inserted)>
        acceptsInsert;
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
};

}  // namespace quillon::ui
