#pragma once
// The tone remote list's two editors, "Tone Remote Settings" and "Tone
// Remote Properties", as state that the dialogs only show.
#include <functional>
#include <string>
#include <vector>

#include "core/Prompts.h"
#include "model/CToneRemote.h"

namespace quillon::model {
class CTmpDoc;
}

namespace quillon::edit {

class ToneRemoteProperties;

// "Tone Remote Settings": edits a private copy of the document's list; only
// OK puts it into the document.
class ToneRemoteSettings {
  public:
    using Item = model::CToneRemote::Item;
    // Runs "Tone Remote Properties" modally on the form it is given.
    using PropertiesRunner = std::function<void(ToneRemoteProperties&)>;

    ToneRemoteSettings(model::CTmpDoc& doc, Prompts& prompts);

    // The assigned tones ("F3 - 1750Hz Channel 12"), with their slots.
    const std::vector<Item>& Items() const { return items_; }
    // Positions in Items(); one item after every refill (none when empty).
    const std::vector<int>& Selection() const { return selection_; }
    void Select(std::vector<int> positions);

    bool AddEnabled() const;
    bool EditEnabled() const;
    bool DeleteEnabled() const;

    void Add(const PropertiesRunner& run);
    // Edit the first selected tone; with none selected a beep and a warning.
    void Edit(const PropertiesRunner& run);
    // Unassign every selected tone; with none selected as Edit.
    void Delete();
    // The private list becomes the document's; the document is marked
    // modified whether or not anything changed.
    void Ok();

    const model::CToneRemote& Working() const { return working_; }

  private:
    void Refill();
    void RefuseWithoutSelection();

    model::CTmpDoc& doc_;
    Prompts& prompts_;
    model::CToneRemote working_;
    std::vector<Item> items_;
    std::vector<int> selection_;
};

// "Tone Remote Properties": which tone (Frequency) does what (Function).
class ToneRemoteProperties {
  public:
    using Item = model::CToneRemote::Item;

    // Add mode offers every unassigned tone of list; edit mode only editSlot.
    // The document supplies the channels a tone may select and keeps the
    // current tone the settings list highlights.
    ToneRemoteProperties(model::CToneRemote& list, model::CTmpDoc& doc, bool editMode,
                         int editSlot);

    bool EditMode() const { return editMode_; }
    const std::vector<Item>& Frequencies() const { return frequencies_; }
    int FrequencySelection() const { return frequency_; }
    // Choosing another tone rebuilds the function list.
    void SelectFrequency(int position);
    // F1: "Increase Audio" then the channels; F2: "Decrease Audio" then the
    // channels; the others the channels only: a scan channel, or a fixed
    // channel under tone remote control. May be empty.
    const std::vector<Item>& Functions() const { return functions_; }
    int FunctionSelection() const { return function_; }
    void SelectFunction(int position);

    // Writes the chosen function into the tone; with no function to choose
    // nothing changes.
    void Ok();
    void Cancel();

  private:
    int SelectedSlot() const;
    void BuildFunctions();

    model::CToneRemote& list_;
    model::CTmpDoc& doc_;
    bool editMode_;
    int editSlot_;
    std::vector<Item> frequencies_;
    int frequency_ = -1;
    std::vector<Item> functions_;
    int function_ = -1;
};

}  // namespace quillon::edit
