#include "model/ChannelTableController.h"

#include <algorithm>
#include <cstdio>

#include "model/ChannelTableMessages.h"
#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::model {

namespace {

// The selected channels in list order (ascending), each once, table numbers only.
std::vector<int> Normalise(std::vector<int> selected) {
    selected.erase(std::remove_if(selected.begin(), selected.end(),
                                  [](int c) { return !CChannelTable::IsChannelNumber(c); }),
                   selected.end());
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    return selected;
}

// The name as the list shows it: trailing spaces dropped, NULs contribute
// nothing, and a name that starts with NUL is empty.
std::string ListName(const ChannelImage& img) {
    const uint8_t* name = img.data() + off::kChannelName;
    std::string s;
    if (name[0] == 0) {
        return s;
    }
    for (size_t i = 0; i < 8; ++i) {
        if (name[i] == ' ') {
            bool onlyBlanks = true;
            for (size_t j = i + 1; j < 8; ++j) {
                onlyBlanks = onlyBlanks && (name[j] == ' ' || name[j] == 0);
            }
            if (onlyBlanks) {
                break;
            }
        }
        if (name[i] != 0) {
            s.push_back(static_cast<char>(name[i]));
        }
    }
    return s;
}

}  // namespace

std::string ChannelTableController::LineText(const CChannel& ch, int number) {
    char head[16];
    std::snprintf(head, sizeof head, "%03i ", number);
    std::string text = head;
    text += "\"" + ListName(ch.Image()) + "\" ";
    if (ch.IsScan()) {
        text += msg::kListScanning;
    } else {
        uint8_t type = ch.SignalType();
        if (type >= 1 && type < msg::kListSignalTypes.size()) {
            text += msg::kListSignalTypes[type];
        }
        if (ch.OperationMode() == val::kRepeater) {
            text += msg::kListRepeater;
        } else if (ch.OperationMode() == val::kBasestation) {
            text += msg::kListBasestation;
        }
    }
    return text;
}

std::vector<ChannelTableController::Line> ChannelTableController::ListLines() const {
    std::vector<Line> lines;
    for (int i = 0; i < kChannelCount; ++i) {
        if (doc_.channels[i].IsUsed()) {
            lines.push_back(Line{LineText(doc_.channels[i], i), i});
        }
    }
    return lines;
}

int ChannelTableController::SelectedLine(const std::vector<Line>& lines) const {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].channel == doc_.channels.lastChannel) {
            return static_cast<int>(i);
        }
    }
    return lines.empty() ? -1 : 0;
}

ChannelTableController::ButtonStates ChannelTableController::EnabledButtons(
    const std::vector<Line>& lines) {
    ButtonStates b;
    b.edit = b.copy = b.remove = !lines.empty();
    b.add = lines.size() < static_cast<size_t>(kChannelCount);
    return b;
}

std::optional<int> ChannelTableController::Add() {
    int slot = doc_.channels.FirstFreeSlot();
    if (slot < 0) {
        prompts_.Beep();
        prompts_.MessageBox(msg::kTableFull, Icon::Exclamation);
        return std::nullopt;
    }
    return slot;
}

std::optional<int> ChannelTableController::Edit(const std::vector<int>& selected) {
    std::vector<int> sel = Normalise(selected);
    if (sel.empty()) {
        prompts_.Beep();
        prompts_.MessageBox(msg::kSelectToEdit, Icon::Exclamation);
        return std::nullopt;
    }
    return sel.front();
}

bool ChannelTableController::Copy(const std::vector<int>& selected) {
    std::vector<int> sel = Normalise(selected);
    if (sel.empty()) {
        prompts_.Beep();
        prompts_.MessageBox(msg::kSelectToCopy, Icon::Exclamation);
        return false;
    }
    int target = -1;
    while (target < 0) {
        std::optional<std::string> answer = prompts_.AskText(
            msg::kCopyChannelsTitle, msg::kCopyChannelsLabel, msg::kCopyChannelsMaxLength);
        if (!answer) {
            return false;
        }
        // Empty or non-numeric text is no channel number either.
        int n = HasLeadingDecimal(*answer) ? LeadingDecimal(*answer) : -1;
        if (CChannelTable::IsChannelNumber(n)) {
            target = n;
        } else {
            prompts_.MessageBox(msg::kCopyOutOfRange, Icon::Exclamation);
        }
    }

    // The sources are taken before anything is written: with overlapping
    // ranges (5 and 6 copied to 6) the second source would otherwise already
    // hold the first one's copy, and the original 6 would be lost.
    std::vector<CChannel> sources;
    sources.reserve(sel.size());
    for (int c : sel) {
        sources.push_back(doc_.channels[c]);
    }

    bool yesToAll = false;
    bool yesForAllRefs = false;
    bool copied = false;
    Emptied emptied;
    for (size_t k = 0; k < sel.size(); ++k) {
        int dest = target + static_cast<int>(k);
        if (dest >= kChannelCount) {
            break;
        }
        CChannel& to = doc_.channels[dest];
        if (to.IsUsed() && !yesToAll) {
            prompts_.Beep();
            int choice =
                prompts_.Choice(msg::kCopyChannelTitle, msg::kCopyOverwrite,
                                {msg::kButtonYes, msg::kButtonYesToAll, msg::kButtonCancelAmp});
            if (choice == 1) {
                yesToAll = true;
            } else if (choice != 0) {
                break;
            }
        }
        // A scanning channel copied over a fixed channel that scanning
        // channels scan would leave them scanning a scanning channel. Their
        // references go first, as a Delete would take them, after the same
        // question; Skip leaves this destination as it is.
        if (sources[k].IsScan() && to.IsFixed()) {
            std::vector<std::string> scanRefs;
            int scanCount = doc_.channels.ScanReferencesTo(dest, scanRefs);
            if (scanCount > 0) {
                if (!yesForAllRefs) {
                    int choice = AskDeleteReferences(dest, scanCount, 0);
                    if (choice == 2) {
                        continue;
                    }
                    if (choice == 1) {
                        yesForAllRefs = true;
                    } else if (choice != 0) {
                        break;
                    }
                }
                DropScanReferences(dest, scanRefs, emptied);
            }
        }
        doc_.SetModified(true);
        to.AssignImage(sources[k]);
        copied = true;
        // A scanning channel copied onto a channel it scanned would scan
        // itself.
        if (to.IsScan() && to.RemoveReferencesTo(dest) > 0) {
            NoteIfDeleted(dest, emptied);
        }
    }
    if (!emptied.channels.empty()) {
        TellEmptiedScanChannels(emptied);
    }
    return copied;
}

bool ChannelTableController::Delete(const std::vector<int>& selected) {
    std::vector<int> sel = Normalise(selected);
    if (sel.empty()) {
        prompts_.Beep();
        prompts_.MessageBox(msg::kSelectToDelete, Icon::Exclamation);
        return false;
    }
    bool yesForAll = false;
    Emptied emptied;
    bool deleted = false;
    for (int c : sel) {
        std::vector<std::string> scanRefs;
        std::vector<std::string> toneRefs;
        int scanCount = doc_.channels.ScanReferencesTo(c, scanRefs);
        int toneCount = doc_.toneRemote.FindChannelReferences(c, toneRefs);
        bool referenced = scanCount > 0 || toneCount > 0;
        if (referenced && !yesForAll) {
            int choice = AskDeleteReferences(c, scanCount, toneCount);
            if (choice == 2) {
                continue;
            }
            if (choice == 1) {
                yesForAll = true;
            } else if (choice != 0) {
                break;
            }
        }
        if (referenced) {
            for (const std::string& t : toneRefs) {
                doc_.toneRemote.ClearSlot(LeadingDecimal(t));
            }
            DropScanReferences(c, scanRefs, emptied);
        }
        doc_.channels[c].Clear();
        deleted = true;
        // A deletion is a change like any other: without this, closing the
        // program would not offer to save it and it would be lost.
        doc_.SetModified(true);
    }
    doc_.channels.lastChannel = sel.front() > 0 ? sel.front() - 1 : 0;
    if (!emptied.channels.empty()) {
        TellEmptiedScanChannels(emptied);
    }
    return deleted;
}

int ChannelTableController::AskDeleteReferences(int c, int scanCount, int toneCount) {
    std::string text = msg::kDeleteRefsWarning;
    if (scanCount > 0) {
        text += std::to_string(scanCount) + msg::kDeleteRefsScan;
    }
    if (toneCount > 0) {
        text += std::to_string(toneCount) + msg::kDeleteRefsTone;
    }
    return prompts_.Choice(
        msg::kDeleteRefsTitle + std::to_string(c), text,
        {msg::kButtonYes, msg::kButtonYesForAll, msg::kButtonSkip, msg::kButtonCancel});
}

void ChannelTableController::DropScanReferences(int c, const std::vector<std::string>& scanRefs,
                                                Emptied& emptied) {
    for (const std::string& s : scanRefs) {
        int scan = LeadingDecimal(s);
        if (CChannelTable::IsChannelNumber(scan)) {
            doc_.channels[scan].RemoveReferencesTo(c);
        }
    }
    for (const std::string& s : scanRefs) {
        int scan = LeadingDecimal(s);
        if (CChannelTable::IsChannelNumber(scan)) {
            NoteIfDeleted(scan, emptied);
        }
    }
}

void ChannelTableController::NoteIfDeleted(int scan, Emptied& emptied) {
    CChannel& ch = doc_.channels[scan];
    if (!ch.IsScan() || ch.ScanRefCount() != 0) {
        return;
    }
    std::vector<std::string> toneRefs;
    doc_.toneRemote.FindChannelReferences(scan, toneRefs);
    for (const std::string& t : toneRefs) {
        doc_.toneRemote.ClearSlot(LeadingDecimal(t));
    }
    ch.Clear();
    doc_.SetModified(true);
    emptied.channels.push_back(scan);
    emptied.toneRefs = emptied.toneRefs || !toneRefs.empty();
}

void ChannelTableController::TellEmptiedScanChannels(Emptied emptied) {
    std::sort(emptied.channels.begin(), emptied.channels.end());
    std::string text = msg::kDeletedEmptyScanChannels;
    for (size_t i = 0; i < emptied.channels.size(); ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%03i", emptied.channels[i]);
        text += (i > 0 ? ", " : "") + std::string(number);
    }
    text += ".";
    if (emptied.toneRefs) {
        text += msg::kDeletedEmptyScanToneRefs;
    }
    prompts_.MessageBox(text, Icon::Information);
}

bool ChannelTableController::PrepareGet() {
    if (doc_.IsModified() &&
        prompts_.MessageBox(msg::kGetConfirm, Icon::Question, Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    doc_.DeleteContents();
    return true;
}

}  // namespace quillon::model
