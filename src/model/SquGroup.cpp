#include "model/SquGroup.h"

#include <algorithm>

#include "model/Archive.h"
#include "model/Messages.h"

namespace quillon::model {

namespace {
bool IsAnyValue(const std::string& v) {
    return v == "f000" || v == "0xf000" || v == "f00.0";
}
}  // namespace

std::string SquGroup::DefaultName(int group) {
    return msg::kSquelchGroupNamePrefix + std::to_string(group + 1);
}

void SquGroup::ClearAll() {
    for (int g = 0; g < kGroups; ++g) {
        ClearGroup(g);
    }
}

void SquGroup::SetItem(int group, int item, uint8_t type, const std::string& value) {
    if (Valid(group) && item >= 0 && item < kItems) {
        auto& it = groups_[static_cast<size_t>(group)].items[static_cast<size_t>(item)];
        it.type = type;
        it.value = value;
    }
}

SquelchItem SquGroup::GetItem(int group, int item) const {
    if (Valid(group) && item >= 0 && item < kItems) {
        return groups_[static_cast<size_t>(group)].items[static_cast<size_t>(item)];
    }
    return SquelchItem{kNoItem, ""};
}

void SquGroup::SetName(int group, const std::string& name) {
    if (Valid(group)) {
        groups_[static_cast<size_t>(group)].name = name;
    }
}

std::string SquGroup::GetName(int group) const {
    return Valid(group) ? groups_[static_cast<size_t>(group)].name : std::string();
}

void SquGroup::ClearGroup(int group) {
    if (!Valid(group)) {
        return;
    }
    auto& g = groups_[static_cast<size_t>(group)];
    for (auto& it : g.items) {
        it.type = kNotUsed;
    }
    g.name = DefaultName(group);
}

void SquGroup::MoveGroup(int source, int target) {
    if (!Valid(source) || !Valid(target) || source == target) {
        return;
    }
    groups_[static_cast<size_t>(target)] = groups_[static_cast<size_t>(source)];
    ClearGroup(source);
}

void SquGroup::DeleteGroup(int group) {
    if (!Valid(group)) {
        return;
    }
    ClearGroup(group);
    for (int g = group + 1; g < kGroups; ++g) {
        // An unused group still named after its old number would otherwise
        // arrive one place down as, say, "SQUELCH GROUP 4" in group 3.
        bool unusedDefault = IsEmpty(g) && GetName(g) == DefaultName(g);
        MoveGroup(g, g - 1);
        if (unusedDefault) {
            SetName(g - 1, DefaultName(g - 1));
        }
    }
}

int SquGroup::FirstEmpty() const {
    for (int g = 0; g < kGroups; ++g) {
        if (IsEmpty(g)) {
            return g;
        }
    }
    return -1;
}

bool SquGroup::HasCtcss(int group) const {
    if (!Valid(group)) {
        return false;
    }
    const auto& items = groups_[static_cast<size_t>(group)].items;
    return std::any_of(items.begin(), items.end(),
                       [](const auto& it) { return it.type == kCtcss; });
}

bool SquGroup::HasCdcss(int group) const {
    if (!Valid(group)) {
        return false;
    }
    const auto& items = groups_[static_cast<size_t>(group)].items;
    return std::any_of(items.begin(), items.end(),
                       [](const auto& it) { return it.type == kCdcss; });
}

bool SquGroup::IsEmpty(int group) const {
    if (!Valid(group)) {
        return false;
    }
    const auto& items = groups_[static_cast<size_t>(group)].items;
    return std::all_of(items.begin(), items.end(),
                       [](const auto& it) { return it.type == kNotUsed; });
}

void SquGroup::Assign(const SquGroup& other) {
    if (&other != this) {
        groups_ = other.groups_;
    }
}

void SquGroup::Write(ArchiveWriter& ar) const {
    for (const auto& g : groups_) {
        ar.WriteString(g.name);
        for (const auto& it : g.items) {
            ar.WriteString(it.value);
            ar.WriteByte(it.type);
        }
    }
}

void SquGroup::Read(ArchiveReader& ar) {
    for (auto& g : groups_) {
        g.name = ar.ReadString();
        for (auto& it : g.items) {
            it.value = ar.ReadString();
            it.type = ar.ReadByte();
        }
    }
}

std::vector<SquGroup::Entry> SquGroup::ActiveList() const {
    std::vector<Entry> list;
    for (int g = 0; g < kGroups; ++g) {
        if (!IsEmpty(g)) {
            list.push_back(Entry{groups_[static_cast<size_t>(g)].name, g});
        }
    }
    return list;
}

int SquGroup::AddGroup() {
    int g = FirstEmpty();
    if (g >= 0) {
        SetName(g, DefaultName(g));
    }
    return g;
}

void SquGroup::DeleteGroups(std::vector<int> groups) {
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        DeleteGroup(*it);
    }
}

std::vector<SquGroup::Entry> SquGroup::ItemList(int group) const {
    std::vector<Entry> list;
    if (!Valid(group)) {
        return list;
    }
    const auto& items = groups_[static_cast<size_t>(group)].items;
    for (int i = 0; i < kItems; ++i) {
        const auto& it = items[static_cast<size_t>(i)];
        if (it.type == kNotUsed) {
            continue;
        }
        std::string text =
            it.type < msg::kSquelchItemTypeNames.size() ? msg::kSquelchItemTypeNames[it.type] : "";
        text += "  ";
        if (!IsAnyValue(it.value)) {
            text += it.value;
        }
        list.push_back(Entry{text, i});
    }
    return list;
}

std::string SquGroup::AddCode(int group, uint8_t type, std::string value) {
    if (type == kNac && value == "-1") {
        value = "0xf000";
    }
    if (type == kNac && value == "0x000") {
        return msg::kSquelchNacNonZero;
    }
    if (type == kCtcss && value == "000.0") {
        return msg::kSquelchCtcssNonZero;
    }
    // The octal field shows three digits; "0000" is the zero of a received code.
    if (type == kCdcss && (value == "0000" || value == "000")) {
        return msg::kSquelchCdcssNonZero;
    }
    if (!Valid(group)) {
        return "";
    }
    for (auto& it : groups_[static_cast<size_t>(group)].items) {
        if (it.type == kNotUsed) {
            it.type = type;
            it.value = value;
            break;
        }
    }
    return "";
}

void SquGroup::DeleteItems(int group, const std::vector<int>& items) {
    if (!Valid(group)) {
        return;
    }
    auto& g = groups_[static_cast<size_t>(group)];
    std::vector<SquelchItem> kept;
    for (int i = 0; i < kItems; ++i) {
        if (std::find(items.begin(), items.end(), i) == items.end()) {
            kept.push_back(g.items[static_cast<size_t>(i)]);
        }
    }
    for (size_t i = 0; i < g.items.size(); ++i) {
        g.items[i] = i < kept.size() ? kept[i] : SquelchItem{kNotUsed, ""};
    }
}

SquGroup::Check SquGroup::CheckProperties(int group, const std::string& name) const {
    if (name.size() > kMaxNameLength) {
        return Check{false, true, msg::kSquelchNameTooLong};
    }
    if (HasCtcss(group) && HasCdcss(group)) {
        return Check{false, false, msg::kSquelchBothKinds};
    }
    if (name.empty()) {
        return Check{false, false, msg::kSquelchNameEmpty};
    }
    return Check{};
}

SquGroup::FieldStates SquGroup::CodeFieldStates(int group) const {
    bool ctcss = HasCtcss(group);
    bool cdcss = HasCdcss(group);
    if (ctcss && cdcss) {
        return FieldStates{false, false};
    }
    return FieldStates{!cdcss, !ctcss};
}

}  // namespace quillon::model
