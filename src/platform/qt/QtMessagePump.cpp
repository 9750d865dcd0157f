#include "platform/qt/QtMessagePump.h"

#include <QCoreApplication>

#include "platform/qt/ModalGuard.h"

namespace quillon::qt {

QtMessagePump::QtMessagePump() = default;
QtMessagePump::~QtMessagePump() = default;

void QtMessagePump::DispatchPending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Deferred deletes and the like are Qt's idle work.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtMessagePump::StartTimer(int id, int periodMs) {
    auto& t = timers_[id];
    if (!t) {
        t = std::make_unique<QTimer>();
        // The block protocol counts its seconds in ticks; a coarse timer
        // would stretch every one of its time-outs.
        t->setTimerType(Qt::PreciseTimer);
        connect(t.get(), &QTimer::timeout, this, [this, id] { OnTick(id); });
    }
    t->start(periodMs);
}

void QtMessagePump::StopTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    it->second->stop();
    // The timer may be stopped from inside its own tick: delete it later.
    it->second.release()->deleteLater();
    timers_.erase(it);
}

void QtMessagePump::OnTick(int id) {
    if (target_ == nullptr || ModalGuard::Active()) {
        return;
    }
    target_->PreTranslateMessage(Message{MessageKind::Timer, id});
    if (ModalGuard::Active()) {
        return;
    }
    target_->PreTranslateMessage(Message{MessageKind::Other, 0});
}

void QtMessagePump::AfterCommand() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (target_ != nullptr && !ModalGuard::Active()) {
                target_->PreTranslateMessage(Message{MessageKind::Other, 0});
            }
        },
        Qt::QueuedConnection);
}

void QtMessagePump::Send(const Message& msg) {
    if (target_ != nullptr) {
        target_->PreTranslateMessage(msg);
    }
}

}  // namespace quillon::qt
