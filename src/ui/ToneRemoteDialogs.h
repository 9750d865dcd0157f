#pragma once
#include <QDialog>

#include "core/Prompts.h"
#include "edit/ToneRemoteEditors.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace quillon::model {
class CTmpDoc;
}

namespace quillon::ui {

// "Tone Remote Properties": a tone (Frequency) and what it does (Function).
class ToneRemotePropertiesDialog : public QDialog {
    Q_OBJECT
  public:
    ToneRemotePropertiesDialog(edit::ToneRemoteProperties& logic, QWidget* parent = nullptr);

    QComboBox* FrequencyBox() const { return frequency_; }
    QComboBox* FunctionBox() const { return function_; }

    void accept() override;
    void reject() override;

  private:
    void FillFunctions();

    edit::ToneRemoteProperties& logic_;
    QComboBox* frequency_;
    QComboBox* function_;
};

// "Tone Remote Settings": the assigned tones with Add, Edit and Delete over
// a private copy; OK puts the copy into the document, Cancel drops it.
class ToneRemoteSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    ToneRemoteSettingsDialog(model::CTmpDoc& doc, Prompts& prompts, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* EditButton() const { return edit_; }
    QPushButton* DeleteButton() const { return delete_; }

    void accept() override;

  private:
    void Fill();
    void TakeSelection();
    void RunProperties(edit::ToneRemoteProperties& properties);

    edit::ToneRemoteSettings logic_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
};

// Runs "Tone Remote Settings" modally on the document; true after OK (the
// document is then marked modified).
bool RunToneRemoteDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts);

}  // namespace quillon::ui
