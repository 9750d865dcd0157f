#pragma once

namespace quillon::qt {

// Marks the time a message box is open. Qt keeps delivering timer events
// inside a modal box's own event loop, but nothing of the procedures or the
// block engine may advance while the user reads a message, so the tick does
// nothing meanwhile. Editing dialogs do not take the guard: a transfer keeps
// running while the user edits the channel table.
class ModalGuard {
  public:
    ModalGuard() { ++depth_; }
    ~ModalGuard() { --depth_; }
    ModalGuard(const ModalGuard&) = delete;
    ModalGuard& operator=(const ModalGuard&) = delete;
    static bool Active() { return depth_ > 0; }

  private:
    static inline int depth_ = 0;
};

}  // namespace quillon::qt
