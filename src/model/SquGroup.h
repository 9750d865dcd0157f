#pragma once
// The document's 16 squelch groups, with what the two squelch group dialogs
// need to list, add, check and delete without knowing any toolkit.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::model {

class ArchiveReader;
class ArchiveWriter;

struct SquelchItem {
    uint8_t type = 4;  // 1 NAC, 2 CTCSS, 3 CDCSS, 4 not used (SquGroup::kNac ... kNotUsed)
    std::string value;
};

struct SquelchGroupData {
    std::string name;
    std::array<SquelchItem, 16> items;
};

class SquGroup {
  public:
    static constexpr int kGroups = 16;
    static constexpr int kItems = 16;
    static constexpr uint8_t kNac = 1;
    static constexpr uint8_t kCtcss = 2;
    static constexpr uint8_t kCdcss = 3;
    static constexpr uint8_t kNotUsed = 4;
    // The type of the empty item a getter returns for an index outside the
    // table: no item at all, not even an unused one.
    static constexpr uint8_t kNoItem = 0;
    static constexpr size_t kMaxNameLength = 16;

    SquGroup() { ClearAll(); }

    // Default names, every item unused; item values are kept.
    void ClearAll();
    void SetItem(int group, int item, uint8_t type, const std::string& value);
    SquelchItem GetItem(int group, int item) const;
    void SetName(int group, const std::string& name);
    std::string GetName(int group) const;
    void ClearGroup(int group);
    void MoveGroup(int source, int target);
    // Later groups move one number down; the last ends cleared.
    void DeleteGroup(int group);
    int FirstEmpty() const;
    bool HasCtcss(int group) const;
    bool HasCdcss(int group) const;
    bool IsEmpty(int group) const;
    void Assign(const SquGroup& other);

    // Document file section: per group its name, then per item value and type.
    void Write(ArchiveWriter& ar) const;
    void Read(ArchiveReader& ar);

    static std::string DefaultName(int group);

    // --- "Active Squelch Groups" ---------------------------------------------
    struct Entry {
        std::string text;
        int index;  // group index, or item index in ItemList
    };
    // The names of the groups in use, in group order.
    std::vector<Entry> ActiveList() const;
    // Add: the first empty group gets its default name; its index, or -1.
    int AddGroup();
    // Deletes the given groups, highest first so the others keep their place.
    void DeleteGroups(std::vector<int> groups);

    // --- "Squelch Group Properties" ------------------------------------------
    // The items in use: type name, two spaces, value (nothing for "any").
    std::vector<Entry> ItemList(int group) const;
    // "<<": stores the code in the first unused item. Returns the refusal
    // text for a zero code, or an empty text.
    std::string AddCode(int group, uint8_t type, std::string value);
    // Removes the given items and packs the rest at the front.
    void DeleteItems(int group, const std::vector<int>& items);
    struct Check {
        bool ok = true;
        bool beep = false;
        std::string message;
    };
    // The checks of OK, in their order; the first failure.
    Check CheckProperties(int group, const std::string& name) const;
    // Which of the CTCSS and CDCSS entry fields may be used.
    struct FieldStates {
        bool ctcss = true;
        bool cdcss = true;
    };
    FieldStates CodeFieldStates(int group) const;

  private:
    static bool Valid(int i) { return i >= 0 && i < kGroups; }
    std::array<SquelchGroupData, kGroups> groups_;
};

}  // namespace quillon::model
