#pragma once
// The channels' references to squelch groups. A channel names its group by
// number, so deleting a group (which moves every later group one number
// down) has to move the references with it, or every channel of groups
// above the deleted one would silently switch to its neighbour's codes.
#include <string>
#include <vector>

#include "model/CTmpDoc.h"

namespace quillon::edit {

// The group number 1 to 16 a fixed channel uses, or 0 when it uses none.
int ChannelSquelchGroup(const model::CChannel& ch);

// Points a channel's group reference at group `group` (1 to 16), keeping
// its squelch system (CTCSS GROUP or CDCSS GROUP).
void SetChannelSquelchGroup(model::CChannel& ch, int group);

// What a channel whose group is gone is left with: the plain squelch
// system of its group kind and no receive tone, as if the user had cleared
// the group box. The tone is "NONE" rather than a code guessed for the
// user, so the channel editor asks for one before the channel is stored
// again.
void DropChannelSquelchGroup(model::CChannel& ch);

// The group references of a document's channels, followed through the group
// deletions of an editing session and written back only when the session
// is confirmed (the squelch group dialogs work on a copy until OK).
class GroupReferencePlan {
  public:
    explicit GroupReferencePlan(const model::CTmpDoc& doc);

    // Group `group` (1 to 16, numbered as the groups are now) is deleted:
    // references to later groups move one down, references to it are
    // dropped. Returns the channels that used it, ascending.
    std::vector<int> DeleteGroup(int group);
    // Group `group` keeps its number but holds no codes any more: the
    // references to it are dropped (the next Add would otherwise hand the
    // number, and with it these channels, to a new set of codes). Returns
    // the channels that used it, ascending.
    std::vector<int> EmptyGroup(int group);
    // The group channel c will use, 0 for none.
    int GroupOf(int channel) const;
    // Writes the references into the document. Returns whether anything
    // changed.
    bool Apply(model::CTmpDoc& doc) const;

  private:
    struct Ref {
        int channel;
        int original;
        int current;  // 0: dropped
    };
    std::vector<Ref> refs_;
};

// The warning that names the channels that lost their group, or nothing
// when there are none.
std::string ChannelsLosingGroupText(const model::CTmpDoc& doc, const std::vector<int>& channels);

}  // namespace quillon::edit
