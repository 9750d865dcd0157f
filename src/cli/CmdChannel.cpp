#include "cli/CmdChannel.h"

#include <cstdio>
#include <string>
#include <vector>

#include "edit/ChannelSettings.h"
#include "model/ChannelTableController.h"
#include "model/DocumentFile.h"
#include "model/TextForms.h"
#include "ops/RadioParameters.h"

namespace quillon::cli {

namespace {

using edit::ChannelControl;
using edit::ChannelSettings;
using edit::ControlKind;
using model::CTmpDoc;

// The dialogs' message boxes as lines on the command's stderr; questions get
// the answer the command line gave for them.
class ScriptedAnswers : public Prompts {
  public:
    ScriptedAnswers(std::FILE* err, bool yes, int choice) : err_(err), yes_(yes), choice_(choice) {}
    Answer MessageBox(const std::string& text, Icon, Buttons buttons, const std::string&) override {
        std::fprintf(err_, "%s\n", text.c_str());
        switch (buttons) {
            case Buttons::YesNo:
            case Buttons::YesNoCancel:
                return yes_ ? Answer::Yes : Answer::No;
            default:
                return Answer::Ok;
        }
    }
    void Beep() override {}
    bool PasswordEntry(std::string&) override { return false; }
    bool ChangePassword(std::string&, std::string&) override { return false; }
    int Choice(const std::string& title, const std::string& text,
               const std::vector<std::string>&) override {
        std::fprintf(err_, "%s: %s\n", title.c_str(), text.c_str());
        ++choices_;
        return choice_;
    }
    std::optional<std::string> AskText(const std::string&, const std::string&, int) override {
        return std::nullopt;
    }
    int Choices() const { return choices_; }

  private:
    std::FILE* err_;
    bool yes_;
    int choice_;
    int choices_ = 0;
};

int Refuse(const CliCall& call, const std::string& command, const std::string& problem) {
    std::fprintf(call.err, "quillon-cli %s: %s\n", command.c_str(), problem.c_str());
    return kExitRefused;
}

std::string Quoted(const std::string& s) {
    return "\"" + ShownValue(s) + "\"";
}

// A channel number as typed: decimal digits only, 0 to 511.
int ChannelNumber(const std::string& text) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    const int n = std::stoi(text);
    return model::CChannelTable::IsChannelNumber(n) ? n : -1;
}

std::string Joined(const std::vector<std::string>& list) {
    std::string s;
    for (const std::string& e : list) {
        s += (s.empty() ? "" : ", ") + e;
    }
    return s;
}

int FindChoice(const std::vector<std::string>& choices, const std::string& value) {
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == value) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < choices.size(); ++i) {
        if (model::EqualsNoCase(choices[i], value)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// What one "--set" does: empty when done, else why it was refused.
class SetApplier {
  public:
    explicit SetApplier(ChannelSettings& s) : s_(s) {}

    std::string Apply(const std::string& setting) {
        const size_t equals = setting.find('=');
        const std::string label = setting.substr(0, equals);
        const std::optional<ChannelControl> id = edit::FindControl(label);
        if (!id) {
            return "unknown label " + Quoted(label) + " (see quillon-cli channel --help)";
        }
        if (equals == std::string::npos) {
            return "--set " + Quoted(label) + " has no value (LABEL=VALUE)";
        }
        const std::string value = setting.substr(equals + 1);
        const edit::ControlState& state = s_.State(*id);
        const ControlKind kind = edit::InfoOf(*id).kind;
        if (*id == ChannelControl::Number && s_.GetMode() == ChannelSettings::Mode::Edit) {
            return label + " cannot be changed when editing a channel";
        }
        if (!state.enabled) {
            return label + " is disabled by the channel's other settings";
        }
        const std::string bad = Quoted(value) + " is no value for " + label;
        switch (kind) {
            case ControlKind::Radio:
            case ControlKind::Combo: {
                const int i = FindChoice(state.choices, value);
                if (i < 0) {
                    return bad + " (it is one of " + Joined(state.choices) + ")";
                }
                s_.Select(*id, i);
                return "";
            }
            case ControlKind::Check:
                if (value != "on" && value != "off") {
                    return bad + " (on or off)";
                }
                s_.SetChecked(*id, value == "on");
                return "";
            case ControlKind::List:
                return Scan(value, bad);
            default:
                return s_.Enter(*id, value) ? "" : bad;
        }
    }

  private:
    // The first "Scan" of a command line replaces the list; the others add
    // to it, so the list ends as the command line gives it.
    std::string Scan(const std::string& value, const std::string& bad) {
        if (!scanGiven_) {
            s_.ClearScan();
            scanGiven_ = true;
        }
        if (value.empty()) {
            return "";
        }
        const size_t colon = value.find(':');
        const int channel = ChannelNumber(value.substr(0, colon));
        if (colon == std::string::npos || channel < 0) {
            return bad + " (CHANNEL:DWELL)";
        }
        if (s_.ScanEntries().size() >= static_cast<size_t>(model::kMaxScanRefs)) {
            return "the scan list holds no more than 8 channels";
        }
        if (!s_.AddScan(channel, value.substr(colon + 1))) {
            return bad + " (a fixed channel other than this one, and a dwell time of 0 to 9.9 s)";
        }
        return "";
    }

    ChannelSettings& s_;
    bool scanGiven_ = false;
};

const char* ValuesOf(ChannelControl id) {
    using C = ChannelControl;
    switch (id) {
        case C::Name:
            return "up to 8 characters";
        case C::Number:
            return "the slot to write, 0 to 511 (--add only)";
        case C::SquelchGroup:
            return "the name of a squelch group in use";
        case C::RxFrequency:
        case C::TxFrequency:
            return "136 to 520, rounded to 250 Hz";
        case C::RxNac:
            return "0x001 to 0xfff, ANY, NONE";
        case C::TxNac:
            return "0x001 to 0xfff, AS RX, NONE";
        case C::RxTone:
            return "a CTCSS tone (067.0 to 250.3) or CDCSS code (023 to 754), ANY, NONE";
        case C::TxTone:
            return "a CTCSS tone (067.0 to 250.3) or CDCSS code (023 to 754), AS RX, NONE";
        case C::TalkgroupId:
            return "0x0001 to 0xffff";
        case C::UnitId:
            return "0x000000 to 0xffffff";
        case C::KeyId:
            return "0x0000 to 0xffff";
        case C::Power:
            return "0 to 125";
        case C::SquelchLevel:
            return "0 to 15";
        case C::PttTimeout:
            return "0 to 255 (s)";
        case C::PttTail:
            return "0 to 9.9 (s)";
        case C::PttDelay:
            return "0 to 0.099 (s)";
        case C::CourtesyTimer:
            return "0 to 9.99 (s), at least 0.05 with Reverse Burst";
        case C::ScanList:
            return "CHANNEL:DWELL, one per scan entry in list order (the first replaces the "
                   "list; Scan= empties it)";
        default:
            return "on, off";
    }
}

}  // namespace

std::string ChannelLabelHelp() {
    std::string text = "Labels of --set, applied in order as a user changes the control:\n";
    for (const edit::ControlInfo& c : edit::ChannelControls()) {
        if (c.kind == ControlKind::Group || c.kind == ControlKind::Button) {
            continue;
        }
        const std::vector<std::string>& choices = edit::ChoicesOf(c.id);
        const std::string values = choices.empty() ? ValuesOf(c.id) : Joined(choices);
        char line[512];
        std::snprintf(line, sizeof line, "  %-44s %s\n", c.label, values.c_str());
        text += line;
    }
    text +=
        "\nOK then checks the channel; every message goes to stderr. Exit status 0: written and "
        "saved;\n1: a check failed or a question was answered No (nothing saved); 2: refused "
        "input.\n";
    return text;
}

int RunChannel(const CliCall& call) {
    const std::string& path = call.arguments.at(0);
    const std::string* edit = call.Value("edit");
    const bool add = call.Value("add") != nullptr;
    if (add == (edit != nullptr)) {
        return Refuse(call, "channel", "give either --add or --edit N");
    }
    const int number = edit != nullptr ? ChannelNumber(*edit) : -1;
    if (edit != nullptr && number < 0) {
        return Refuse(call, "channel", Quoted(*edit) + " is no channel number (0 to 511)");
    }
    CTmpDoc doc;
    if (model::FileResult r = model::OpenDocumentFile(path, doc); !r.ok()) {
        std::fprintf(call.err, "%s\n", r.message.c_str());
        return kExitRefused;
    }
    ScriptedAnswers prompts(call.err, call.Value("yes") != nullptr, -1);
    std::unique_ptr<ChannelSettings> settings;
    if (add) {
        // The Channel Table's Add: the lowest free slot, or its message.
        if (!model::ChannelTableController(doc, prompts).Add()) {
            return kExitFailure;
        }
        settings = ChannelSettings::OpenAdd(doc);
    } else {
        settings = ChannelSettings::OpenEdit(doc, number);
        if (!settings) {
            return Refuse(call, "channel", "channel " + std::to_string(number) + " is not in use");
        }
    }
    SetApplier applier(*settings);
    for (const std::string& setting : call.All("set")) {
        if (const std::string problem = applier.Apply(setting); !problem.empty()) {
            return Refuse(call, "channel", problem);
        }
    }
    if (!settings->Ok(prompts)) {
        return kExitFailure;
    }
    if (model::FileResult r = model::SaveDocumentFile(path, doc); !r.ok()) {
        std::fprintf(call.err, "%s\n", r.message.c_str());
        return kExitRefused;
    }
    const int written = settings->CurrentNumber();
    std::fprintf(call.out, "%s\n",
                 model::ChannelTableController::LineText(doc.channels[written], written).c_str());
    return kExitOk;
}

int RunDeleteChannel(const CliCall& call) {
    const std::string& path = call.arguments.at(0);
    const std::string* references = call.Value("references");
    if (references != nullptr && *references != "delete" && *references != "keep") {
        return Refuse(call, "delete-channel",
                      Quoted(*references) + " is no value for --references (delete or keep)");
    }
    const bool removeReferences = references != nullptr && *references == "delete";
    CTmpDoc doc;
    if (model::FileResult r = model::OpenDocumentFile(path, doc); !r.ok()) {
        std::fprintf(call.err, "%s\n", r.message.c_str());
        return kExitRefused;
    }
    std::vector<int> channels;
    for (size_t i = 1; i < call.arguments.size(); ++i) {
        const int n = ChannelNumber(call.arguments[i]);
        if (n < 0) {
            return Refuse(call, "delete-channel",
                          Quoted(call.arguments[i]) + " is no channel number (0 to 511)");
        }
        if (!doc.channels[n].IsUsed()) {
            return Refuse(call, "delete-channel",
                          "channel " + std::to_string(n) + " is not in use");
        }
        channels.push_back(n);
    }
    // "Delete References": Yes removes them with the channel, Skip keeps
    // both the channel and its references.
    constexpr int kYes = 0;
    constexpr int kSkip = 2;
    ScriptedAnswers prompts(call.err, false, removeReferences ? kYes : kSkip);
    model::ChannelTableController(doc, prompts).Delete(channels);
    int kept = 0;
    for (int n : channels) {
        if (doc.channels[n].IsUsed()) {
            std::fprintf(call.err,
                         "quillon-cli delete-channel: channel %d kept: it is referred to "
                         "(--references delete removes the references too)\n",
                         n);
            ++kept;
        }
    }
    if (kept < static_cast<int>(channels.size())) {
        if (model::FileResult r = model::SaveDocumentFile(path, doc); !r.ok()) {
            std::fprintf(call.err, "%s\n", r.message.c_str());
            return kExitRefused;
        }
    }
    return kept == 0 ? kExitOk : kExitFailure;
}

}  // namespace quillon::cli
