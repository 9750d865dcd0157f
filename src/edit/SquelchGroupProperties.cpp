#include "edit/SquelchGroupProperties.h"

#include "edit/SpecialTexts.h"
#include "model/Messages.h"
#include "model/ValueTables.h"

namespace quillon::edit {

namespace {

using model::SquGroup;

// The codes "any" is stored as, by item type.
constexpr const char* kAnyNac = "0xf000";
constexpr const char* kAnyTone = "f000";

bool IsAnyValue(const std::string& v) {
    return v == "f000" || v == "0xf000" || v == "f00.0";
}

// The value tables without their off and zero entries: a group holds real
// codes only, so the first entry left ("067.0", "023") is one the field
// must be able to snap to.
template <size_t N>
std::vector<std::string> WithoutFirstTwo(const std::array<const char*, N>& table) {
    return std::vector<std::string>(table.begin() + 2, table.end());
}

}  // namespace

FieldConfig SquelchGroupProperties::NacConfig() {
    FieldConfig c;
    c.mode = FieldMode::Hex;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.hexPrefix = true;
    c.hexRange = {0xFFF, 0x001, 1};
    return c;
}

FieldConfig SquelchGroupProperties::CtcssConfig() {
    FieldConfig c;
    c.mode = FieldMode::Fraction;
    c.maxDigits = 4;
    c.fractionRange = {999.9, 0.0, 0.1};
    c.fractionDigits = 1;
    c.fractionResolution = 0.1;
    c.integerWidth = 3;
    c.valueWidth = 4;
    return c;
}

FieldConfig SquelchGroupProperties::CdcssConfig() {
    FieldConfig c;
    c.mode = FieldMode::Octal;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.octalRange = {0777, 0, 1};
    return c;
}

ValueList SquelchGroupProperties::CtcssList() {
    ValueList list;
    list.values = WithoutFirstTwo(model::kCtcssTones);
    list.listOnly = true;
    list.firstIsOff = false;
    return list;
}

ValueList SquelchGroupProperties::CdcssList() {
    ValueList list;
    list.values = WithoutFirstTwo(model::kCdcssCodes);
    list.listOnly = true;
    list.firstIsOff = false;
    return list;
}

SquelchGroupProperties::SquelchGroupProperties(const model::SquGroup& groups, int group,
                                               Prompts& prompts)
    : group_(group), prompts_(prompts) {
    groups_.Assign(groups);
    name_ = groups_.GetName(group_);
    nac_.Configure(NacConfig());
    ctcss_.Configure(CtcssConfig());
    ctcss_.AttachLists(CtcssList());
    cdcss_.Configure(CdcssConfig());
    cdcss_.AttachLists(CdcssList());
    // The fields start on the first real code of each kind.
    nac_.SetValue("1");
    ctcss_.SetValue("67");
    cdcss_.SetValue("23");
    UpdateFieldStates();
}

NumericField& SquelchGroupProperties::Field(Code code) {
    switch (code) {
        case Code::Nac:
            return nac_;
        case Code::Ctcss:
            return ctcss_;
        case Code::Cdcss:
            break;
    }
    return cdcss_;
}

const NumericField& SquelchGroupProperties::Field(Code code) const {
    switch (code) {
        case Code::Nac:
            return nac_;
        case Code::Ctcss:
            return ctcss_;
        case Code::Cdcss:
            break;
    }
    return cdcss_;
}

bool SquelchGroupProperties::FieldEnabled(Code code) const {
    return Field(code).IsEnabled();
}

uint8_t SquelchGroupProperties::ItemType(Code code) {
    switch (code) {
        case Code::Nac:
            return SquGroup::kNac;
        case Code::Ctcss:
            return SquGroup::kCtcss;
        case Code::Cdcss:
            break;
    }
    return SquGroup::kCdcss;
}

void SquelchGroupProperties::UpdateFieldStates() {
    const SquGroup::FieldStates states = groups_.CodeFieldStates(group_);
    nac_.Enable(true);
    ctcss_.Enable(states.ctcss);
    cdcss_.Enable(states.cdcss);
}

std::vector<model::SquGroup::Entry> SquelchGroupProperties::Items() const {
    return groups_.ItemList(group_);
}

void SquelchGroupProperties::SelectItem(int row) {
    const auto items = Items();
    if (row < 0 || static_cast<size_t>(row) >= items.size()) {
        return;
    }
    const model::SquelchItem item = groups_.GetItem(group_, items[static_cast<size_t>(row)].index);
    Code code = Code::Nac;
    if (item.type == SquGroup::kCtcss) {
        code = Code::Ctcss;
    } else if (item.type == SquGroup::kCdcss) {
        code = Code::Cdcss;
    } else if (item.type != SquGroup::kNac) {
        return;
    }
    Field(code).SetValue(IsAnyValue(item.value) ? std::string(kAnyText) : item.value);
}

std::string SquelchGroupProperties::FieldCode(Code code) const {
    const NumericField& f = Field(code);
    if (f.Text() == kAnyText) {
        return code == Code::Nac ? kAnyNac : kAnyTone;
    }
    switch (code) {
        case Code::Nac:
            return f.ValueText() == "-1" ? kAnyNac : f.ValueText();
        case Code::Ctcss:
            return f.ValueText();
        case Code::Cdcss:
            break;
    }
    // The octal field's own text: three digits, as the codes are written.
    return f.Text();
}

bool SquelchGroupProperties::FieldIsZero(Code code) const {
    const NumericField& f = Field(code);
    if (f.Text() == kAnyText) {
        return false;
    }
    // The value decides, not its text: "0", "00" and "0x0" are zero as well.
    const std::optional<std::int64_t> value = f.ScaledValue(code == Code::Ctcss ? 10 : 1);
    return value && *value == 0;
}

bool SquelchGroupProperties::AddCode(Code code) {
    NumericField& f = Field(code);
    if (!f.IsEnabled()) {
        return false;
    }
    // Leaving the field normalises it; a "<<" reached without leaving it
    // (a shortcut, Enter) must not take the raw text.
    f.Normalise();
    if (FieldIsZero(code)) {
        const char* message = code == Code::Nac     ? model::msg::kSquelchNacNonZero
                              : code == Code::Ctcss ? model::msg::kSquelchCtcssNonZero
                                                    : model::msg::kSquelchCdcssNonZero;
        prompts_.MessageBox(message, Icon::Exclamation);
        return false;
    }
    const size_t before = Items().size();
    const std::string refusal = groups_.AddCode(group_, ItemType(code), FieldCode(code));
    if (!refusal.empty()) {
        prompts_.MessageBox(refusal, Icon::Exclamation);
        return false;
    }
    UpdateFieldStates();
    return Items().size() > before;
}

void SquelchGroupProperties::DeleteItems(const std::vector<int>& rows) {
    const auto items = Items();
    std::vector<int> indexes;
    for (int r : rows) {
        if (r >= 0 && static_cast<size_t>(r) < items.size()) {
            indexes.push_back(items[static_cast<size_t>(r)].index);
        }
    }
    if (indexes.empty()) {
        prompts_.Beep();
        prompts_.MessageBox(model::msg::kSquelchSelectItemToDelete, Icon::Exclamation);
        return;
    }
    groups_.DeleteItems(group_, indexes);
    UpdateFieldStates();
}

void SquelchGroupProperties::Step(Code code, StepCode step) {
    NumericField& f = Field(code);
    if (f.IsEnabled() && !f.Step(step)) {
        prompts_.Beep();
    }
}

bool SquelchGroupProperties::Ok(model::SquGroup& target) {
    const SquGroup::Check check = groups_.CheckProperties(group_, name_);
    if (!check.ok) {
        if (check.beep) {
            prompts_.Beep();
        }
        prompts_.MessageBox(check.message, Icon::Exclamation);
        return false;
    }
    groups_.SetName(group_, name_);
    target.Assign(groups_);
    return true;
}

}  // namespace quillon::edit
