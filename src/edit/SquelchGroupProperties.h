#pragma once
// "Squelch Group Properties" without its dialog: one group's name and codes,
// the three code entry fields with their "<<" buttons, Delete, and the
// checks of OK. It works on its own copy of all groups and writes it back
// to the caller's groups only when OK passes.
#include <string>
#include <vector>

#include "core/Prompts.h"
#include "edit/NumericField.h"
#include "model/SquGroup.h"

namespace quillon::edit {

class SquelchGroupProperties {
  public:
    // The three entry fields, by the kind of code each adds.
    enum class Code { Nac, Ctcss, Cdcss };

    SquelchGroupProperties(const model::SquGroup& groups, int group, Prompts& prompts);

    int Group() const { return group_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    NumericField& Field(Code code);
    const NumericField& Field(Code code) const;
    // Whether a field, its arrows, its "<<" and its label may be used.
    bool FieldEnabled(Code code) const;

    // The group's codes in use: type name, two spaces and the value (an
    // "any" value shows as nothing), each with its item index.
    std::vector<model::SquGroup::Entry> Items() const;
    // Selecting a code shows it in the field of its kind ("ANY" for any).
    void SelectItem(int row);
    // "<<": adds the field's code to the group. False when nothing was
    // added (a zero code, told to the user; a full group; a field that
    // cannot be used now).
    bool AddCode(Code code);
    // "Delete": the codes of the selected rows go, the rest move up.
    void DeleteItems(const std::vector<int>& rows);
    // The field's arrows; a refused step beeps.
    void Step(Code code, StepCode step);

    // OK: the checks in their order, each failure told; on success the
    // name is stored and every group goes into `target`.
    bool Ok(model::SquGroup& target);

    const model::SquGroup& Groups() const { return groups_; }

    // The field configurations, also for anyone who shows the same fields.
    static FieldConfig NacConfig();
    static FieldConfig CtcssConfig();
    static FieldConfig CdcssConfig();
    static ValueList CtcssList();
    static ValueList CdcssList();

  private:
    static uint8_t ItemType(Code code);
    // The code the field holds, as the group stores it.
    std::string FieldCode(Code code) const;
    bool FieldIsZero(Code code) const;
    void UpdateFieldStates();

    model::SquGroup groups_;
    int group_;
    Prompts& prompts_;
    std::string name_;
    NumericField nac_;
    NumericField ctcss_;
    NumericField cdcss_;
};

}  // namespace quillon::edit
