#include "ui/ContextHelp.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolButton>

#include "ui/HelpViewer.h"

namespace quillon::ui {

namespace {

// The command id a menu entry or toolbar button carries, or 0.
int CommandOf(const QAction* action) {
    if (action == nullptr) {
        return 0;
    }
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

}  // namespace

ContextHelp::ContextHelp(HelpViewer& viewer, QWidget* mainWindow, QObject* parent)
    : QObject(parent), viewer_(viewer), mainWindow_(mainWindow) {
    qApp->installEventFilter(this);
}

ContextHelp::~ContextHelp() {
    Leave();
    qApp->removeEventFilter(this);
}

void ContextHelp::Enter() {
    if (active_) {
        return;
    }
    active_ = true;
    QApplication::setOverrideCursor(QCursor(Qt::WhatsThisCursor));
}

void ContextHelp::Leave() {
    if (!active_) {
        return;
    }
    active_ = false;
    QApplication::restoreOverrideCursor();
}

bool ContextHelp::HandleClick(QWidget* target, QEvent* event) {
    // The menu bar opens its menus as usual, so that a command in them can
    // be clicked.
    if (qobject_cast<QMenuBar*>(target) != nullptr) {
        return false;
    }
    if (auto* menu = qobject_cast<QMenu*>(target)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int id = CommandOf(menu->actionAt(mouse->position().toPoint()));
        if (id == 0) {
            // A separator or a submenu: keep waiting for a command.
            return event->type() == QEvent::MouseButtonRelease;
        }
        Leave();
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
        viewer_.ShowCommand(id);
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress) {
        return true;
    }
    Leave();
    for (QWidget* w = target; w != nullptr; w = w->parentWidget()) {
        if (auto* button = qobject_cast<QToolButton*>(w)) {
            if (const int id = CommandOf(button->defaultAction())) {
                viewer_.ShowCommand(id);
                return true;
            }
        }
        if (w->isWindow()) {
            break;
        }
    }
    viewer_.ShowPageFor(target->window());
    return true;
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* target = static_cast<QWidget*>(watched);
    const QEvent::Type type = event->type();
    if (active_) {
        if (type == QEvent::KeyPress) {
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Leave();
                return true;
            }
            return false;
        }
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
            type == QEvent::MouseButtonDblClick) {
            return HandleClick(target, event);
        }
        return false;
    }
    if (type != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || target->window() == mainWindow_) {
        return false;
    }
    // A key press travels up the parents of the focus widget; answer it
    // once, where it starts.
    if (target != QApplication::focusWidget() && QApplication::focusWidget() != nullptr) {
        return false;
    }
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        viewer_.ShowPageFor(target->window());
        return true;
    }
    if (mods == Qt::ShiftModifier) {
        Enter();
        return true;
    }
    return false;
}

}  // namespace quillon::ui
