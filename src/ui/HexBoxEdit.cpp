#include "ui/HexBoxEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <memory>
#include <string>

namespace quillon::ui {

HexBoxEdit::HexBoxEdit(edit::HexBoxKind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
    // The filter decides what may be typed; the validator is only a last
    // guard for any route into the box that the filter does not see.
    const QString pattern = kind == edit::HexBoxKind::KeyByte
                                ? QStringLiteral("[0-9A-Fa-f]{0,2}")
                                : QStringLiteral("(0x?)?[0-9A-Fa-f]{0,4}");
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    // Room for the widest text the box shows ("0x" and four digits).
    const int chars = kind == edit::HexBoxKind::KeyByte ? 3 : 7;
    setMinimumWidth(fontMetrics().horizontalAdvance(QString(chars, QChar('W'))) +
                    2 * fontMetrics().averageCharWidth());
    setMaximumWidth(minimumWidth() * 2);
}

void HexBoxEdit::Refuse() {
    if (onBeep) {
        onBeep();
    } else {
        QApplication::beep();
    }
}

void HexBoxEdit::PasteText(const QString& pasted) {
    std::string text = this->text().toStdString();
    int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
    int selLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    int cursor = selStart;
    int refused = edit::PasteIntoHexBox(kind_, text, cursor, selLength, pasted.toStdString());
    setText(QString::fromStdString(text));
    setCursorPosition(cursor);
    if (refused > 0) {
        Refuse();  // once for the whole paste, not per character
    }
}

void HexBoxEdit::PasteClipboard() {
    if (!isReadOnly()) {
        PasteText(QApplication::clipboard()->text());
    }
}

void HexBoxEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteClipboard();
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0].unicode() >= 32 && typed[0].unicode() != 127) {
        const QChar ch = typed[0];
        const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
        const int selLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
        if (ch.unicode() > 126 ||
            !edit::HexBoxAccepts(kind_, text().toStdString(), selStart, selLength,
                                 static_cast<char>(ch.unicode()))) {
            Refuse();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void HexBoxEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A message box or another window taking the focus is not the user
    // leaving the box: Enter in a half-typed box must still find it so.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason &&
        onLeave) {
        onLeave();
    }
}

void HexBoxEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this, &HexBoxEdit::PasteClipboard);
        }
    }
    menu->exec(event->globalPos());
}

void HexBoxEdit::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasText()) {
        PasteText(event->mimeData()->text());
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}

}  // namespace quillon::ui
