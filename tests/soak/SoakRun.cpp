#include "SoakRun.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "AppOnCard.h"
#include "FixedChannelDoc.h"
#include "bci/Messages.h"
#include "model/DocumentFile.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"
#include "sim/SimLine.h"
#include "sim/TransceiverSim.h"

namespace quillon::soak {

namespace {

using sim::SimLine;
constexpr const char* kPassword = "quillon";

// The driver on a fresh machine against a fresh card, the soak's faults on
// the line between them.
class Harness : public testing::AppOnCard {
  public:
    Harness(const Plan& plan, uint32_t seed, uint64_t triggerBytes) : plan_(plan) {
        sim::CardOptions options;
        options.nakFirst = plan.nakFirst;
        options.rebootSeconds = plan.rebootSeconds;
        AttachCard(options);
        faults = std::make_unique<FaultLine>(rig.line, seed);
        faults->SetRates(SimLine::Dir::HostToCard, plan.toCard);
        faults->SetRates(SimLine::Dir::CardToHost, plan.fromCard);
        faults->SetModeProbe([this] { return app->binaryMode == 1; });
        rig.line.SetDelivery(SimLine::Dir::HostToCard, plan.delivery);
        rig.line.SetDelivery(SimLine::Dir::CardToHost, plan.delivery);
        faults->SetObserver([this, triggerBytes](SimLine::Dir, uint8_t) {
            if (triggerBytes > 0 && !triggerFired && ++bytes_ >= triggerBytes) {
                Trigger();
            }
        });
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        for (int i = 0; i < 4; ++i) {
            rig.prompts.QueuePassword(kPassword);
        }
    }

    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->binaryPending == 0 &&
               app->pendingBinary == 0 && app->textPending == 0 &&
               app->chainState == chain::kWaitLogin;
    }

    // Runs the command just started to its end; false when it did not end
    // within the bound.
    bool RunToEnd(uint64_t& virtualMs) {
        const uint64_t start = rig.clock.NowMs();
        rig.pump.AfterCommand();
        const bool ended = rig.pump.RunUntil([&] { return Idle(); }, kCommandBoundMs);
        virtualMs = rig.clock.NowMs() - start;
        rig.pump.RunFor(200);
        return ended;
    }

    uint64_t LineBytes() const {
        return faults->BytesSent(SimLine::Dir::HostToCard) +
               faults->BytesSent(SimLine::Dir::CardToHost);
    }

    // The common end of every command: idle, nothing pending, progress
    // hidden, and either the success text or a warning of the program.
    void Finish(CommandOutcome& out, const char* successText) {
        out.dataFaults = faults->DataFaults();
        out.multiHits = faults->BlocksHitMoreThanOnce();
        out.faults = faults->Faults();
        out.triggerFired = triggerFired;
        if (out.hung) {
            out.violations.push_back("did not end within " + std::to_string(kCommandBoundMs) +
                                     " ms of virtual time");
        }
        if (!Idle() || app->tableRead != 0 || app->tableWritten != 0 || app->inBlockingWait != 0) {
            out.violations.push_back("driver not idle at the end");
        }
        if (rig.progress.IsShown()) {
            out.violations.push_back("progress window still shown");
        }
        const auto boxes = rig.prompts.Boxes();
        for (const auto& b : boxes) {
            out.boxes.push_back((b.icon == Icon::Exclamation ? "! " : "  ") + b.text);
        }
        out.log = rig.log.Lines();
        const auto warning = std::find_if(
            boxes.begin(), boxes.end(), [](const auto& b) { return b.icon == Icon::Exclamation; });
        out.completed =
            !boxes.empty() && boxes.back().text == successText && warning == boxes.end();
        if (!out.completed) {
            if (warning == boxes.end()) {
                out.violations.push_back("failed without a warning");
            } else {
                out.message = warning->text;
                if (!IsFailureMessage(out.message)) {
                    out.violations.push_back("failed with an unknown text: " + out.message);
                }
            }
        }
    }

    std::unique_ptr<FaultLine> faults;
    bool triggerFired = false;

  private:
    void Trigger() {
        triggerFired = true;
        if (plan_.scenario == Scenario::SilentCard) {
            faults->Silence(SimLine::Dir::CardToHost);
        } else if (plan_.scenario == Scenario::Disconnect) {
            rig.line.Disconnect();
        }
    }

    Plan plan_;
    uint64_t bytes_ = 0;
    std::string line_;
};

std::vector<uint8_t> Bytes(const model::CTmpDoc& d) {
    return model::WriteDocument(d);
}

// The channel stream writes each slot's index into its record before it
// builds it; that is the only change a Send may make to the document.
model::CTmpDoc Numbered(const model::CTmpDoc& d) {
    model::CTmpDoc n = d;
    for (int c = 0; c < model::kChannelCount; ++c) {
        n.channels[c].SetNumber(static_cast<unsigned>(c));
    }
    return n;
}

bool SendLeftDocumentAlone(const model::CTmpDoc& before, const model::CTmpDoc& after) {
    return Bytes(Numbered(before)) == Bytes(Numbered(after)) &&
           before.IsModified() == after.IsModified();
}

bool SameBlockData(const sim::CardContent& a, const sim::CardContent& b) {
    return a.channels == b.channels && a.groups == b.groups && a.tones == b.tones;
}

bool SameTextData(const sim::CardContent& a, const sim::CardContent& b) {
    return a.keys == b.keys && a.parameters == b.parameters && a.users == b.users &&
           a.password == b.password;
}

bool SameGroup(const model::SquGroup& a, const model::SquGroup& b, int g) {
    if (a.GetName(g) != b.GetName(g)) {
        return false;
    }
    for (int i = 0; i < model::SquGroup::kItems; ++i) {
        const auto x = a.GetItem(g, i);
        const auto y = b.GetItem(g, i);
        if (x.type != y.type || (x.type != model::SquGroup::kNotUsed && x.value != y.value)) {
            return false;
        }
    }
    return true;
}

bool SameTone(const model::CToneRemote& a, const model::CToneRemote& b, int slot) {
    const auto x = a.RawEntry(slot);
    const auto y = b.RawEntry(slot);
    return x.function == y.function &&
           (x.function == model::CToneRemote::kUnassigned || x.argument == y.argument);
}

// The block-transferred part of two documents: channels, groups, tones.
bool SameBlockData(const model::CTmpDoc& a, const model::CTmpDoc& b) {
    for (int c = 0; c < model::kChannelCount; ++c) {
        if (a.channels[c].Image() != b.channels[c].Image()) {
            return false;
        }
    }
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        if (!SameGroup(a.squelchGroups, b.squelchGroups, g)) {
            return false;
        }
    }
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        if (!SameTone(a.toneRemote, b.toneRemote, s)) {
            return false;
        }
    }
    return true;
}

bool SameParameters(const model::CTmpDoc& a, const model::CTmpDoc& b) {
    return a.frontPanelMonitor == b.frontPanelMonitor && a.frontPanelVolume == b.frontPanelVolume &&
           a.backPanelOutput == b.backPanelOutput && a.defaultChannel == b.defaultChannel;
}

// A Get that failed may have filled part of the document; each part must be
// as the emptied document had it or as the card sent it.
void CheckPartialGet(const model::CTmpDoc& got, const model::CTmpDoc& ref,
                     std::vector<std::string>& violations) {
    model::CTmpDoc empty;
    empty.DeleteContents();
    for (int c = 0; c < model::kChannelCount; ++c) {
        const auto& img = got.channels[c].Image();
        if (img != empty.channels[c].Image() && img != ref.channels[c].Image()) {
            violations.push_back("failed Get left channel " + std::to_string(c) +
                                 " holding what the card never sent");
            return;
        }
    }
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        if (!SameGroup(got.squelchGroups, empty.squelchGroups, g) &&
            !SameGroup(got.squelchGroups, ref.squelchGroups, g)) {
            violations.push_back("failed Get left squelch group " + std::to_string(g + 1) +
                                 " holding what the card never sent");
            return;
        }
    }
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        if (!SameTone(got.toneRemote, empty.toneRemote, s) &&
            !SameTone(got.toneRemote, ref.toneRemote, s)) {
            violations.push_back("failed Get left tone slot " + std::to_string(s) +
                                 " holding what the card never sent");
            return;
        }
    }
    const std::pair<const std::string*, std::pair<const std::string*, const std::string*>>
        params[] = {{&got.frontPanelMonitor, {&empty.frontPanelMonitor, &ref.frontPanelMonitor}},
                    {&got.frontPanelVolume, {&empty.frontPanelVolume, &ref.frontPanelVolume}},
                    {&got.backPanelOutput, {&empty.backPanelOutput, &ref.backPanelOutput}},
                    {&got.defaultChannel, {&empty.defaultChannel, &ref.defaultChannel}}};
    for (const auto& [value, allowed] : params) {
        if (*value != *allowed.first && *value != *allowed.second) {
            violations.push_back("failed Get left a radio-wide setting \"" + *value +
                                 "\" the card never sent");
            return;
        }
    }
    if (got.keys.Count() != 0) {
        violations.push_back("failed Get left keys in the document");
    }
}

}  // namespace

bool IsFailureMessage(const std::string& text) {
    static const char* const kTexts[] = {
        msg::kCommsErrorCheck,       msg::kCommsErrorPass,
        msg::kCommsErrorPass2,       msg::kCommsError,
        msg::kLoginFailed,           msg::kNotResetting,
        msg::kIncompatibleNoVersion, msg::kIncompatibleOlder,
        msg::kIncompatibleNewer,     msg::kParameterNotRead,
        msg::kSelectPortFirst,       msg::kPortNotOpened,
        msg::kErrorOpeningPort,      msg::kLeftInBinary,
        bcimsg::kNotResetting,       bcimsg::kChannelDataError,
        bcimsg::kNoLoginPrompt,
    };
    for (const char* t : kTexts) {
        // A text with fields must match up to its first field.
        const char* field = std::strchr(t, '%');
        const size_t n = field != nullptr ? static_cast<size_t>(field - t) : std::strlen(t);
        if (field != nullptr ? text.compare(0, n, t, n) == 0 : text == t) {
            return true;
        }
    }
    return false;
}

Reference MakeReference(const model::CTmpDoc& doc) {
    Reference ref;
    const Plan clean;
    model::CTmpDoc work = doc;
    {
        Harness h(clean, 1, 0);
        h.app->SetDocument(&work);
        h.app->OnSend();
        CommandOutcome out;
        out.hung = !h.RunToEnd(out.virtualMs);
        h.Finish(out, msg::kTableWrittenRebooted);
        if (!out.completed || !out.violations.empty()) {
            ref.problem = "Send on a clean line did not complete: " + out.message;
            return ref;
        }
        ref.card = h.card->Content();
        ref.sendBytes = h.LineBytes();
    }
    {
        Harness h(clean, 1, 0);
        h.card->SetContent(ref.card);
        h.app->SetDocument(&ref.got);
        if (!h.app->OnGet()) {
            ref.problem = "Get on a clean line did not start";
            return ref;
        }
        CommandOutcome out;
        out.hung = !h.RunToEnd(out.virtualMs);
        h.Finish(out, msg::kTableRead);
        if (!out.completed || !out.violations.empty()) {
            ref.problem = "Get on a clean line did not complete: " + out.message;
            return ref;
        }
        ref.getBytes = h.LineBytes();
    }
    // The clean round trip itself must give the document back, or the
    // references would hide a fault instead of showing one.
    if (!testing::SameChannels(doc, ref.got) || !SameParameters(doc, ref.got)) {
        ref.problem = "a clean Send and Get do not give the document back";
        return ref;
    }
    ref.ok = true;
    return ref;
}

namespace {

uint64_t TriggerBytes(const Plan& plan, uint64_t cleanBytes) {
    if (plan.triggerShare <= 0.0) {
        return 0;
    }
    return std::max<uint64_t>(
        1, static_cast<uint64_t>(plan.triggerShare * static_cast<double>(cleanBytes)));
}

}  // namespace

CommandOutcome RunSend(const model::CTmpDoc& doc, const Reference& ref, const Plan& plan,
                       uint32_t seed) {
    CommandOutcome out;
    out.send = true;
    model::CTmpDoc work = doc;
    Harness h(plan, seed, TriggerBytes(plan, ref.sendBytes));
    h.app->SetDocument(&work);
    h.app->OnSend();
    out.hung = !h.RunToEnd(out.virtualMs);
    h.Finish(out, msg::kTableWrittenRebooted);
    if (!SendLeftDocumentAlone(doc, work)) {
        out.violations.push_back("the Send changed the document");
    }
    if (out.completed) {
        const sim::CardContent& card = h.card->Content();
        if (!SameBlockData(card, ref.card)) {
            if (!out.multiHits.empty()) {
                out.blockBlindSpot = true;
            } else {
                out.violations.push_back(
                    "Send reported success but the card's channels, groups or tones differ "
                    "from the document, and no block was hit twice");
            }
        }
        if (!SameTextData(card, ref.card)) {
            // The key upload and the parameter write do not look at the
            // card's replies, so a command spoilt on its way goes unnoticed.
            if (h.faults->TextModeFaults(SimLine::Dir::HostToCard) > 0) {
                out.textBlindSpot = true;
            } else {
                out.violations.push_back(
                    "Send reported success but the card's keys or settings differ from the "
                    "document, and no text-mode byte to the card was spoilt");
            }
        }
    }
    return out;
}

CommandOutcome RunGet(const Reference& ref, const Plan& plan, uint32_t seed) {
    CommandOutcome out;
    out.send = false;
    model::CTmpDoc got;
    Harness h(plan, seed, TriggerBytes(plan, ref.getBytes));
    h.card->SetContent(ref.card);
    h.app->SetDocument(&got);
    if (!h.app->OnGet()) {
        out.violations.push_back("Get did not start");
        return out;
    }
    out.hung = !h.RunToEnd(out.virtualMs);
    h.Finish(out, msg::kTableRead);
    if (h.card->Content() != ref.card) {
        out.violations.push_back("the Get changed the card");
    }
    if (out.completed) {
        if (!SameBlockData(got, ref.got)) {
            if (!out.multiHits.empty()) {
                out.blockBlindSpot = true;
            } else {
                out.violations.push_back(
                    "Get reported success but the channels, groups or tones differ from the "
                    "card's, and no block was hit twice");
            }
        }
        if (!SameParameters(got, ref.got)) {
            if (h.faults->TextModeFaults(SimLine::Dir::CardToHost) +
                    h.faults->TextModeFaults(SimLine::Dir::HostToCard) >
                0) {
                out.textBlindSpot = true;
            } else {
                out.violations.push_back(
                    "Get reported success but the radio-wide settings differ from the card's, "
                    "and no text-mode byte was spoilt");
            }
        }
        if (Bytes(got) != Bytes(ref.got) && SameBlockData(got, ref.got) &&
            SameParameters(got, ref.got)) {
            out.violations.push_back(
                "Get reported success but the document differs from the "
                "one a clean Get makes");
        }
        if (!got.IsModified()) {
            out.violations.push_back("a completed Get left the document unmodified");
        }
    } else {
        CheckPartialGet(got, ref.got, out.violations);
    }
    return out;
}

}  // namespace quillon::soak
