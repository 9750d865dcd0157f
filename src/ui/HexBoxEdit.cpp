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

namespace quillon::ui {

HexBoxEdit::HexBoxEdit(const QString& pattern, const QString& widestText, QWidget* parent)
    : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    const QFontMetrics fm = fontMetrics();
    setMinimumWidth(fm.horizontalAdvance(widestText) + 4 * fm.averageCharWidth());
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
    const std::string text = this->text().toStdString();
    const std::string inserted = pasted.toStdString();
    const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
    const int selLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    if (!acceptsInsert || !acceptsInsert(text, static_cast<size_t>(selStart),
                                         static_cast<size_t>(selLength), inserted)) {
        Refuse();
        return;
    }
    insert(pasted);
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
        if (ch.unicode() > 126 || !acceptsTyped ||
            !acceptsTyped(text().toStdString(), static_cast<size_t>(selStart),
                          static_cast<size_t>(selLength), static_cast<char>(ch.unicode()))) {
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
