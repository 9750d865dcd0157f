#pragma once
#include <QObject>
#include <QUndoStack>
#include <functional>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"

namespace quillon::ui {

// Undo and redo for every change to the document. A command takes a copy of
// the document before it runs and hands it in afterwards with the step's
// name; a step is kept only when the configuration really changed. The
// document's modified mark follows the history: back at the state last
// saved (or opened), it is clear again.
class DocumentHistory : public QObject {
    Q_OBJECT
  public:
    explicit DocumentHistory(model::CTmpDoc& doc, QObject* parent = nullptr);

    // What a command keeps before it changes the document.
    struct Before {
        model::CTmpDoc copy;
        std::vector<uint8_t> bytes;
    };
    Before Take() const;
    // The step `name` ("Edit Channel 012"), if the document differs from
    // `before`. True when a step was added.
    bool Record(const std::string& name, const Before& before);

    // After Save: this state is the saved one.
    void MarkSaved();
    // After New or Open: another document, another history.
    void Reset();

    QUndoStack& Stack() { return stack_; }
    bool CanUndo() const { return stack_.canUndo(); }
    bool CanRedo() const { return stack_.canRedo(); }
    void Undo() { stack_.undo(); }
    void Redo() { stack_.redo(); }

  private:
    model::CTmpDoc& doc_;
    QUndoStack stack_;
};

}  // namespace quillon::ui
