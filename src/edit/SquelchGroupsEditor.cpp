#include "edit/SquelchGroupsEditor.h"

#include <algorithm>

#include "model/Messages.h"

namespace quillon::edit {

SquelchGroupsEditor::SquelchGroupsEditor(model::CTmpDoc& doc, Prompts& prompts)
    : doc_(doc), prompts_(prompts), plan_(doc) {
    groups_.Assign(doc.squelchGroups);
    Refill();
    selectedRow_ = entries_.empty() ? -1 : 0;
}

void SquelchGroupsEditor::Refill() {
    entries_ = groups_.ActiveList();
}

int SquelchGroupsEditor::RowOfGroup(int group) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].index == group) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<int> SquelchGroupsEditor::GroupsOfRows(std::vector<int> rows) const {
    std::vector<int> groups;
    for (int r : rows) {
        if (r >= 0 && static_cast<size_t>(r) < entries_.size()) {
            groups.push_back(entries_[static_cast<size_t>(r)].index);
        }
    }
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    return groups;
}

SquelchGroupsEditor::ButtonStates SquelchGroupsEditor::Buttons() const {
    ButtonStates b;
    b.add = entries_.size() < static_cast<size_t>(model::SquGroup::kGroups);
    b.edit = b.remove = !entries_.empty();
    return b;
}

void SquelchGroupsEditor::Add(const PropertiesFn& properties) {
    const int group = groups_.AddGroup();
    if (group < 0) {
        // Every group is in use; the button is disabled then, but a command
        // that arrives anyway must not overwrite a group.
        prompts_.Beep();
        return;
    }
    if (properties) {
        properties(groups_, group);
    }
    Refill();
    // A group left without codes stays empty and is not listed.
    const int row = RowOfGroup(group);
    selectedRow_ = row >= 0 ? row : (entries_.empty() ? -1 : 0);
}

void SquelchGroupsEditor::Edit(const std::vector<int>& rows, const PropertiesFn& properties) {
    int first = -1;
    for (int r : rows) {
        if (r >= 0 && static_cast<size_t>(r) < entries_.size() && (first < 0 || r < first)) {
            first = r;
        }
    }
    if (first < 0) {
        prompts_.Beep();
        prompts_.MessageBox(model::msg::kSquelchSelectToEdit, Icon::Exclamation);
        return;
    }
    const int group = entries_[static_cast<size_t>(first)].index;
    if (properties) {
        properties(groups_, group);
    }
    if (groups_.IsEmpty(group)) {
        WarnLostChannels(plan_.EmptyGroup(group + 1));
    }
    Refill();
    // The same list position; the group may have been emptied and gone.
    selectedRow_ = entries_.empty() ? -1 : std::min(first, static_cast<int>(entries_.size()) - 1);
}

void SquelchGroupsEditor::Delete(const std::vector<int>& rows) {
    const std::vector<int> groups = GroupsOfRows(rows);
    if (groups.empty()) {
        prompts_.Beep();
        prompts_.MessageBox(model::msg::kSquelchSelectToDelete, Icon::Exclamation);
        return;
    }
    if (prompts_.MessageBox(model::msg::kSquelchDeleteQuestion, Icon::Question,
                            quillon::Buttons::YesNo) != Answer::Yes) {
        return;
    }
    int firstRow = RowOfGroup(groups.front());
    std::vector<int> lost;
    // From the last to the first, so the numbers of the groups still to be
    // deleted do not move.
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        groups_.DeleteGroup(*it);
        std::vector<int> channels = plan_.DeleteGroup(*it + 1);
        lost.insert(lost.end(), channels.begin(), channels.end());
    }
    Refill();
    selectedRow_ =
        entries_.empty() ? -1 : std::clamp(firstRow - 1, 0, static_cast<int>(entries_.size()) - 1);
    WarnLostChannels(std::move(lost));
}

void SquelchGroupsEditor::WarnLostChannels(std::vector<int> channels) {
    std::sort(channels.begin(), channels.end());
    if (!channels.empty()) {
        prompts_.MessageBox(ChannelsLosingGroupText(doc_, channels), Icon::Exclamation);
    }
}

void SquelchGroupsEditor::Ok() {
    doc_.squelchGroups.Assign(groups_);
    plan_.Apply(doc_);
    doc_.SetModified(true);
}

}  // namespace quillon::edit
