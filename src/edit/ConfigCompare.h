#pragma once
// Two configurations compared field by field, with every difference named
// as the user knows the field: the Channel Settings labels (and the CSV
// column names where the dialog has no label) for channels, group names and
// items, tone functions and arguments, key ids and the radio-wide settings.
// A key's value is never shown: only that it is present, absent or changed.
//
// Used by the diff command, the compare window and the check that reads a
// configuration back after it was written.
#include <cstddef>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"

namespace quillon::edit {

enum class CompareSection { Channel, SquelchGroup, ToneRemote, Key, RadioWide };

struct Difference {
    CompareSection section = CompareSection::Channel;
    // Channel number (0..511), squelch group number (1..16), tone slot
    // (0..11), key id, or -1 for the radio-wide settings.
    int index = -1;
    std::string where;  // "Channel 012", "Squelch Group 3", "Tone F1 - 1950Hz", ...
    std::string field;  // "Rx Freq (MHz)", "Name", "Item 4", "Function", ...
    std::string oldText;
    std::string newText;

    bool operator==(const Difference& o) const {
        return section == o.section && index == o.index && where == o.where && field == o.field &&
               oldText == o.oldText && newText == o.newText;
    }
};

struct CompareOptions {
    // Offsets (0..77) of channel image bytes left out of the comparison in
    // every slot: bytes a receiver of the table may legitimately rewrite.
    std::vector<size_t> ignoredChannelBytes;
    // The card never gives keys back, so a configuration read from it has
    // none to compare.
    bool compareKeys = true;
    bool compareSquelchGroups = true;
    bool compareToneRemote = true;
    bool compareRadioWide = true;
};

// The differences from `before` to `after`: channels in slot order (fields
// in dialog order), then squelch groups, tones, keys by id, and the
// radio-wide settings. Empty when the two are equal in everything compared.
std::vector<Difference> CompareDocuments(const model::CTmpDoc& before, const model::CTmpDoc& after,
                                         const CompareOptions& options = {});

// One line for a person: "Channel 012 Rx Freq (MHz): 450.012500 -> 450.025000".
std::string DifferenceLine(const Difference& d);

}  // namespace quillon::edit
