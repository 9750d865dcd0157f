#pragma once
#include <QDialog>
#include <array>

#include "core/Prompts.h"
#include "edit/KeyEditors.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace quillon::model {
class CTmpDoc;
}
namespace quillon::edit {
class RandomSource;
}

namespace quillon::ui {

class HexBoxEdit;

// "Add Key": the eight key bytes, first byte leftmost, and the key id. The
// key bytes are shown as dots unless "Show" is ticked: keys are secrets, and
// a technician types them with others looking on.
class AddKeyDialog : public QDialog {
    Q_OBJECT
  public:
    AddKeyDialog(model::CTmpDoc& doc, Prompts& prompts, edit::RandomSource& random,
                 QWidget* parent = nullptr);
    ~AddKeyDialog() override;

    HexBoxEdit* KeyBox(int i) const { return keyBoxes_[static_cast<size_t>(i)]; }
    HexBoxEdit* KidBox() const { return kid_; }
    QCheckBox* ShowBox() const { return show_; }
    QPushButton* ClearButton() const { return clear_; }
    QPushButton* GenerateButton() const { return generate_; }

    void accept() override;

  private:
    void ShowBoxes();
    void ShowKeyInClear(bool shown);
    HexBoxEdit* Box(int i) const;

    Prompts& prompts_;
    edit::AddKeyForm form_;
    std::array<HexBoxEdit*, edit::AddKeyForm::kKeyBoxes> keyBoxes_{};
    HexBoxEdit* kid_;
    QCheckBox* show_;
    QPushButton* clear_;
    QPushButton* generate_;
};

// "Encryption Settings": the key ids of the document's keys, Add and Delete.
// Changes go straight into the document.
class EncryptionSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    EncryptionSettingsDialog(model::CTmpDoc& doc, Prompts& prompts, edit::RandomSource& random,
                             QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* CloseButton() const { return close_; }
    // Whether a key was added or deleted (or Add was used at all).
    bool Changed() const { return changed_; }

  private:
    void Fill();
    void TakeSelection();

    model::CTmpDoc& doc_;
    Prompts& prompts_;
    edit::RandomSource& random_;
    edit::EncryptionSettings logic_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* close_;
    bool changed_ = false;
};

// Runs "Encryption Settings" modally on the document; true when it changed
// the key list (the document is then marked modified).
bool RunEncryptionDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts);

}  // namespace quillon::ui
