#pragma once
// The program's single document: the whole configuration of one transceiver
// card. Toolkit-free; what a framework document would hold (modified flag,
// path and title) is kept here as plain members.
#include <string>
#include <vector>

#include "model/CChannel.h"
#include "model/CToneRemote.h"
#include "model/Encrypt.h"
#include "model/SquGroup.h"

namespace quillon::model {

inline constexpr int kChannelCount = 512;

// The 512 slots, created with the document and never added or removed;
// slot i is channel i.
class CChannelTable {
  public:
    CChannelTable() : channels_(kChannelCount) {}

    CChannel& operator[](int i) { return channels_[static_cast<size_t>(i)]; }
    const CChannel& operator[](int i) const { return channels_[static_cast<size_t>(i)]; }
    static bool IsChannelNumber(int i) { return i >= 0 && i < kChannelCount; }

    int UsedCount() const;
    // The scan channels that refer to fixed channel c, once per reference,
    // as "%i"; 0 (and the list untouched) when c is not a fixed channel.
    int ScanReferencesTo(int c, std::vector<std::string>& scanChannels) const;
    // Whether a tone may select channel c: a scan channel, or a fixed channel
    // under tone remote control.
    bool IsToneRemoteTarget(int c) const;
    bool AnyFixedChannel() const;
    // The lowest slot that is not used, or -1.
    int FirstFreeSlot() const;

    // The channel the Channel Settings dialog last worked on.
    int lastChannel = 0;

  private:
    std::vector<CChannel> channels_;
};

class CTmpDoc {
  public:
    CTmpDoc();

    // Empties the configuration (New, before Open, before a Get). The format
    // tag, path and modified flag are the caller's business.
    void DeleteContents();
    // A fresh untitled document: emptied, no path, not modified.
    void NewDocument();
    // The whole configuration of `other` (an undo step's copy); this
    // document keeps its own path, title and modified flag.
    void TakeContentOf(const CTmpDoc& other);

    bool IsModified() const { return modified_; }
    void SetModified(bool m = true) { modified_ = m; }
    const std::string& PathName() const { return path_; }
    // Path and title (the file name) of an opened or saved document.
    void SetPathName(const std::string& path);
    const std::string& Title() const { return title_; }

    std::string docText1;
    std::string docText2;
    std::string docText3 = "0";
    CDefchan defaultChannelRecord;
    CToneRemote toneRemote;
    CChannelTable channels;
    Encrypt keys;
    SquGroup squelchGroups;
    std::string formatNumber1;
    std::string formatNumber2;
    std::string formatTag = "veltp_v3_1";
    std::string frontPanelMonitor = "1";
    std::string frontPanelVolume = "10";
    std::string backPanelOutput = "1";
    std::string defaultChannel = "0xFFFF";

  private:
    bool modified_ = false;
    std::string path_;
    std::string title_;
};

}  // namespace quillon::model
