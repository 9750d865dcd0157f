#pragma once
// "Active Squelch Groups": the groups in use, with Add, Edit, Delete, OK and
// Cancel. It works on a copy of the document's groups; OK writes the copy
// back, together with the channels' group references, which follow the
// groups when a deletion renumbers them. Channels whose group is deleted,
// or left without codes by Edit, are named and lose their group on OK.
#include <functional>
#include <vector>

#include "core/Prompts.h"
#include "edit/SquelchGroupRefs.h"
#include "model/CTmpDoc.h"
#include "model/SquGroup.h"

namespace quillon::edit {

class SquelchGroupsEditor {
  public:
    // Opens "Squelch Group Properties" for group index `group` of `groups`
    // (the editor's copy); the properties dialog writes its result into
    // `groups` on its own OK. True on OK.
    using PropertiesFn = std::function<bool(model::SquGroup& groups, int group)>;

    SquelchGroupsEditor(model::CTmpDoc& doc, Prompts& prompts);

    // The list: the names of the groups in use, in group order, each with
    // its group index.
    const std::vector<model::SquGroup::Entry>& Entries() const { return entries_; }
    // The row to select after the last command (or on opening), -1 for none.
    int SelectedRow() const { return selectedRow_; }

    struct ButtonStates {
        bool add = false;
        bool edit = false;
        bool remove = false;
    };
    ButtonStates Buttons() const;

    // The commands; `rows` are the selected rows of the list.
    void Add(const PropertiesFn& properties);
    void Edit(const std::vector<int>& rows, const PropertiesFn& properties);
    void Delete(const std::vector<int>& rows);

    // OK: the groups and the channels' references go into the document,
    // which is marked modified. Cancel is just not calling it.
    void Ok();

    const model::SquGroup& Groups() const { return groups_; }
    // The group a channel will use after OK (0: none).
    int PlannedGroupOf(int channel) const { return plan_.GroupOf(channel); }

  private:
    void Refill();
    int RowOfGroup(int group) const;
    // The group indexes of the given rows, ascending, each once.
    std::vector<int> GroupsOfRows(std::vector<int> rows) const;
    // Names the channels that lost their group, if any.
    void WarnLostChannels(std::vector<int> channels);

    model::CTmpDoc& doc_;
    Prompts& prompts_;
    model::SquGroup groups_;
    GroupReferencePlan plan_;
    std::vector<model::SquGroup::Entry> entries_;
    int selectedRow_ = -1;
};

}  // namespace quillon::edit
