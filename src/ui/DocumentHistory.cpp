#include "ui/DocumentHistory.h"

#include <QUndoCommand>

#include "model/DocumentFile.h"

namespace quillon::ui {

namespace {

// One step: the whole document before and after. A document is about
// 42 KB, so whole copies are simpler and safer than recording each edit.
class SnapshotStep : public QUndoCommand {
  public:
    SnapshotStep(model::CTmpDoc& doc, model::CTmpDoc before, model::CTmpDoc after,
                 const QString& name)
        : QUndoCommand(name), doc_(doc), before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { doc_.TakeContentOf(before_); }
    void redo() override {
        // The first redo is the push: the document already is `after`.
        if (pushed_) {
            doc_.TakeContentOf(after_);
        }
        pushed_ = true;
    }

  private:
    model::CTmpDoc& doc_;
    model::CTmpDoc before_;
    model::CTmpDoc after_;
    bool pushed_ = false;
};

}  // namespace

DocumentHistory::DocumentHistory(model::CTmpDoc& doc, QObject* parent)
    : QObject(parent), doc_(doc) {
    stack_.setClean();
    connect(&stack_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { doc_.SetModified(!clean); });
}

DocumentHistory::Before DocumentHistory::Take() const {
    return Before{doc_, model::WriteDocument(doc_)};
}

bool DocumentHistory::Record(const std::string& name, const Before& before) {
    if (model::WriteDocument(doc_) == before.bytes) {
        return false;
    }
    stack_.push(new SnapshotStep(doc_, before.copy, doc_, QString::fromStdString(name)));
    // The step itself marks the document modified through the clean state;
    // an edit pushed onto a saved state is a change even if the editor
    // forgot to say so.
    doc_.SetModified(!stack_.isClean());
    return true;
}

void DocumentHistory::MarkSaved() {
    stack_.setClean();
    doc_.SetModified(false);
}

void DocumentHistory::Reset() {
    stack_.clear();
    stack_.setClean();
}

}  // namespace quillon::ui
