#pragma once
// What the "Channel Table" dialog does to the document, without the dialog:
// its list lines, Add's slot, Copy and Delete with their questions, and the
// question a Get asks first. The dialog only shows what this returns and
// passes on what the user selected; every question goes through Prompts.
#include <optional>
#include <string>
#include <vector>

#include "core/Prompts.h"
#include "model/CTmpDoc.h"

namespace quillon::model {

class ChannelTableController {
  public:
    ChannelTableController(CTmpDoc& doc, Prompts& prompts) : doc_(doc), prompts_(prompts) {}

    struct Line {
        std::string text;
        int channel;  // the line's item data
    };
    // One line per used slot, ascending (the dialog's list is sorted by text,
    // and every line starts with its three-digit number).
    std::vector<Line> ListLines() const;
    static std::string LineText(const CChannel& ch, int number);
    // The line of lastChannel, else the first; -1 for an empty list.
    int SelectedLine(const std::vector<Line>& lines) const;

    struct ButtonStates {
        bool add = false;
        bool edit = false;
        bool copy = false;
        bool remove = false;
    };
    static ButtonStates EnabledButtons(const std::vector<Line>& lines);

    // Add: the lowest free slot for the Channel Settings dialog, or nothing
    // after the table-full message.
    std::optional<int> Add();
    // Edit: the channel of the first selected line, or nothing after the
    // message when nothing is selected.
    std::optional<int> Edit(const std::vector<int>& selected);
    // Copy the selected channels to consecutive slots from a target asked for.
    // A scanning channel copied over a fixed channel that others scan first
    // takes their references to it, after the "Delete References" question.
    // True when at least one channel was copied.
    bool Copy(const std::vector<int>& selected);
    // Delete the selected channels and, after asking, the references to them.
    // A scanning channel whose last reference goes is deleted as well (with
    // the tone settings that name it), and the user is told which. True when
    // at least one channel was deleted.
    bool Delete(const std::vector<int>& selected);

    // Get: true when it may go on, the document then emptied. A modified
    // document asks first.
    bool PrepareGet();

  private:
    // Scanning channels deleted by a command because it took their last
    // reference, and whether tone settings named them.
    struct Emptied {
        std::vector<int> channels;
        bool toneRefs = false;
    };
    // The "Delete References" question for channel c; the button chosen.
    int AskDeleteReferences(int c, int scanCount, int toneCount);
    // Drops the references to c from the listed scanning channels; those
    // left with nothing to scan are deleted.
    void DropScanReferences(int c, const std::vector<std::string>& scanRefs, Emptied& emptied);
    // Deletes scanning channel `scan` (and the tone settings that name it)
    // when no reference is left in it.
    void NoteIfDeleted(int scan, Emptied& emptied);
    void TellEmptiedScanChannels(Emptied emptied);

    CTmpDoc& doc_;
    Prompts& prompts_;
};

}  // namespace quillon::model
