#include "cli/DocumentListing.h"

#include "core/EightBitText.h"
#include "model/ChannelTableController.h"

namespace quillon::cli {

namespace {

void Heading(std::string& out, const std::string& title, size_t count) {
    if (!out.empty()) {
        out += "\n";
    }
    out += title + " (" + std::to_string(count) + "):\n";
}

std::string Setting(const char* label, const std::string& value) {
    return std::string("  ") + label + ": " + EightBitToUtf8(value) + "\n";
}

}  // namespace

std::string ListDocument(const model::CTmpDoc& doc) {
    std::string out;

    std::string channels;
    size_t used = 0;
    for (int i = 0; i < model::kChannelCount; ++i) {
        if (doc.channels[i].IsUsed()) {
            channels +=
                "  " + EightBitToUtf8(model::ChannelTableController::LineText(doc.channels[i], i)) +
                "\n";
            ++used;
        }
    }
    Heading(out, "Channels", used);
    out += channels;

    const auto groups = doc.squelchGroups.ActiveList();
    Heading(out, "Squelch groups", groups.size());
    for (const auto& g : groups) {
        out += "  " + std::to_string(g.index + 1) + " " + EightBitToUtf8(g.text) + "\n";
        for (const auto& item : doc.squelchGroups.ItemList(g.index)) {
            out += "      " + EightBitToUtf8(item.text) + "\n";
        }
    }

    const auto tones = doc.toneRemote.SettingsList();
    Heading(out, "Tone remote list", tones.size());
    for (const auto& t : tones) {
        out += "  " + EightBitToUtf8(t.text) + "\n";
    }

    // Identifiers only: a listing is read over shoulders and pasted into
    // tickets, and a key never belongs there.
    const auto keys = doc.keys.SettingsList();
    Heading(out, "Encryption key ids", keys.size());
    for (const auto& k : keys) {
        out += "  " + k.text + "\n";
    }

    out += "\nRadio-wide settings:\n";
    out += Setting("Front panel monitor (ee_fpmon)", doc.frontPanelMonitor);
    out += Setting("Front panel volume (ee_fpvol)", doc.frontPanelVolume);
    out += Setting("Rear serial output (ee_bpnl_output)", doc.backPanelOutput);
    out += Setting("Default channel (ee_dflt_chan)", doc.defaultChannel);
    return out;
}

}  // namespace quillon::cli
