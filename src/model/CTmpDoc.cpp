#include "model/CTmpDoc.h"

#include <filesystem>

#include "model/Messages.h"

namespace quillon::model {

int CChannelTable::UsedCount() const {
    int n = 0;
    for (const auto& ch : channels_) {
        if (ch.IsUsed()) {
            ++n;
        }
    }
    return n;
}

int CChannelTable::ScanReferencesTo(int c, std::vector<std::string>& scanChannels) const {
    if (!IsChannelNumber(c) || !(*this)[c].IsFixed()) {
        return 0;
    }
    scanChannels.clear();
    int found = 0;
    for (int s = 0; s < kChannelCount; ++s) {
        const CChannel& ch = (*this)[s];
        if (!ch.IsScan()) {
            continue;
        }
        for (int i = 0; i < ch.ValidScanRefs(); ++i) {
            if (ch.ScanRefChannelNumber(i) == c) {
                scanChannels.push_back(std::to_string(s));
                ++found;
            }
        }
    }
    return found;
}

bool CChannelTable::IsToneRemoteTarget(int c) const {
    if (!IsChannelNumber(c)) {
        return false;
    }
    const CChannel& ch = (*this)[c];
    return ch.IsScan() || (ch.IsFixed() && ch.ControlMode() == val::kControlToneRemote);
}

bool CChannelTable::AnyFixedChannel() const {
    for (const auto& ch : channels_) {
        if (ch.IsFixed()) {
            return true;
        }
    }
    return false;
}

int CChannelTable::FirstFreeSlot() const {
    for (int i = 0; i < kChannelCount; ++i) {
        if (!(*this)[i].IsUsed()) {
            return i;
        }
    }
    return -1;
}

CTmpDoc::CTmpDoc() : title_(msg::kUntitled) {}

void CTmpDoc::DeleteContents() {
    toneRemote.ClearAll();
    for (int i = 0; i < kChannelCount; ++i) {
        channels[i].Clear();
    }
    keys.Clear();
    squelchGroups.ClearAll();
    frontPanelMonitor = "1";
    backPanelOutput = "1";
    defaultChannel = "0xFFFF";
    frontPanelVolume = "10";
    docText1.clear();
    docText2.clear();
    docText3 = "0";
}

void CTmpDoc::NewDocument() {
    DeleteContents();
    path_.clear();
    title_ = msg::kUntitled;
    modified_ = false;
}

void CTmpDoc::TakeContentOf(const CTmpDoc& other) {
    if (&other == this) {
        return;
    }
    std::string path = path_;
    std::string title = title_;
    const bool modified = modified_;
    *this = other;
    path_ = std::move(path);
    title_ = std::move(title);
    modified_ = modified;
}

void CTmpDoc::SetPathName(const std::string& path) {
    path_ = path;
    title_ = std::filesystem::path(path).filename().string();
}

}  // namespace quillon::model
