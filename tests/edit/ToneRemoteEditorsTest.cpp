// "Tone Remote Settings" and "Tone Remote Properties" without widgets: the
// F1/F2 rules, which channels a tone may select, the private copy, the
// highlight after Edit and Delete, and the refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/ToneRemoteEditors.h"
#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"

namespace quillon::edit {
namespace {

using model::CTmpDoc;
using model::CToneRemote;
using sim::ScriptedPrompts;

std::vector<std::string> Texts(const std::vector<CToneRemote::Item>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) {
        out.push_back(i.text);
    }
    return out;
}

// Channel 7 a scan channel, 12 fixed under tone remote control, 20 fixed
// under local control (not a target), 30 empty.
void AddTargets(CTmpDoc& doc) {
    doc.channels[7].SetKind(model::ChannelKind::Scan);
    doc.channels[12].SetKind(model::ChannelKind::Fixed);
    doc.channels[12].SetByte(model::off::kControlMode, model::val::kControlToneRemote);
    doc.channels[20].SetKind(model::ChannelKind::Fixed);
    doc.channels[20].SetByte(model::off::kControlMode, 2);  // Local
}

TEST(ToneRemoteProperties, F1AndF2OfferTheirAudioFunctionThenTheTargetChannels) {
    CTmpDoc doc;
    AddTargets(doc);
    CToneRemote list;
    ToneRemoteProperties add(list, doc, false, -1);
    EXPECT_EQ(
        Texts(add.Frequencies()),
        (std::vector<std::string>{"F1 - 1950Hz", "F2 - 1850Hz", "F3 - 1750Hz", "F4 - 1650Hz",
                                  "F5 - 1550Hz", "F6 - 1450Hz", "F7 - 1350Hz", "F8 - 1250Hz",
                                  "F9 - 1150Hz", "F10 - 1050Hz", "F11 - 950Hz", "F12 - 850Hz"}));
    EXPECT_EQ(add.FrequencySelection(), 0);
    EXPECT_EQ(Texts(add.Functions()),
              (std::vector<std::string>{"Increase Audio", "Channel 7", "Channel 12"}));
    EXPECT_EQ(add.FunctionSelection(), 0);

    add.SelectFrequency(1);
    EXPECT_EQ(Texts(add.Functions()),
              (std::vector<std::string>{"Decrease Audio", "Channel 7", "Channel 12"}));
    add.SelectFrequency(2);
    EXPECT_EQ(Texts(add.Functions()), (std::vector<std::string>{"Channel 7", "Channel 12"}));
    EXPECT_EQ(add.Functions()[1].data, 12 * 65536 + 3);

    add.SelectFunction(1);
    add.Ok();
    EXPECT_EQ(list.GetEntry(2).function, CToneRemote::kChannel);
    EXPECT_EQ(list.GetEntry(2).argument, "12");
    EXPECT_EQ(list.CountAssigned(), 1);
    // The settings list then highlights the tone just added.
    EXPECT_EQ(doc.toneRemote.currentTone, 2);
}

TEST(ToneRemoteProperties, WithoutTargetChannelsF3ToF12HaveNothingToChooseAndOkLeavesTheTone) {
    CTmpDoc doc;
    doc.channels[20].SetKind(model::ChannelKind::Fixed);  // not under tone remote control
    CToneRemote list;
    ToneRemoteProperties add(list, doc, false, -1);
    EXPECT_EQ(Texts(add.Functions()), (std::vector<std::string>{"Increase Audio"}));
    add.SelectFrequency(5);
    EXPECT_TRUE(add.Functions().empty());
    EXPECT_EQ(add.FunctionSelection(), -1);
    add.SelectFunction(0);  // nothing there to select
    add.Ok();
    EXPECT_EQ(list.CountAssigned(), 0);
    EXPECT_EQ(list.GetEntry(5).function, CToneRemote::kUnassigned);
}

TEST(ToneRemoteProperties, EditModeOffersOnlyTheToneAndSelectsItsChannel) {
    CTmpDoc doc;
    AddTargets(doc);
    CToneRemote list;
    list.SetEntry(0, CToneRemote::kChannel, 12);
    list.SetEntry(4, CToneRemote::kChannel, 7);
    ToneRemoteProperties f1(list, doc, true, 0);
    EXPECT_EQ(Texts(f1.Frequencies()), (std::vector<std::string>{"F1 - 1950Hz"}));
    EXPECT_EQ(f1.FunctionSelection(), 2);  // after "Increase Audio" and "Channel 7"
    EXPECT_EQ(doc.toneRemote.currentTone, 0);

    ToneRemoteProperties f5(list, doc, true, 4);
    EXPECT_EQ(f5.FunctionSelection(), 0);  // "Channel 7"
    EXPECT_EQ(doc.toneRemote.currentTone, 4);
    f5.SelectFunction(1);
    f5.Cancel();
    EXPECT_EQ(list.GetEntry(4).argument, "7");  // Cancel writes nothing

    // F1 given "Increase Audio" stores the argument "0".
    ToneRemoteProperties again(list, doc, true, 0);
    again.SelectFunction(0);
    again.Ok();
    EXPECT_EQ(list.GetEntry(0).function, CToneRemote::kIncreaseAudio);
    EXPECT_EQ(list.GetEntry(0).argument, "0");
    EXPECT_EQ(doc.toneRemote.currentTone, 0);
}

TEST(ToneRemoteProperties, AddModeOffersOnlyUnassignedTones) {
    CTmpDoc doc;
    AddTargets(doc);
    CToneRemote list;
    for (int slot = 0; slot < 12; ++slot) {
        if (slot != 3 && slot != 9) {
            list.SetEntry(slot, CToneRemote::kChannel, 7);
        }
    }
    ToneRemoteProperties add(list, doc, false, -1);
    EXPECT_EQ(Texts(add.Frequencies()), (std::vector<std::string>{"F4 - 1650Hz", "F10 - 1050Hz"}));
    EXPECT_EQ(add.Frequencies()[1].data, 9);
}

TEST(ToneRemoteSettings, ListsAssignedTonesAndSetsTheButtons) {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    {
        ToneRemoteSettings empty(doc, prompts);
        EXPECT_TRUE(empty.Items().empty());
        EXPECT_TRUE(empty.Selection().empty());
        EXPECT_TRUE(empty.AddEnabled());
        EXPECT_FALSE(empty.EditEnabled());
        EXPECT_FALSE(empty.DeleteEnabled());
    }
    doc.toneRemote.SetEntry(0, CToneRemote::kIncreaseAudio, 0);
    doc.toneRemote.SetEntry(1, CToneRemote::kDecreaseAudio, 0);
    doc.toneRemote.SetRawEntry(2, model::ToneEntry{CToneRemote::kChannel, "007"});
    doc.toneRemote.currentTone = 2;
    ToneRemoteSettings s(doc, prompts);
    EXPECT_EQ(Texts(s.Items()),
              (std::vector<std::string>{"F1 - 1950Hz Increase Audio", "F2 - 1850Hz Decrease Audio",
                                        "F3 - 1750Hz Channel 7"}));
    EXPECT_EQ(s.Selection(), std::vector<int>{2});
    EXPECT_TRUE(s.AddEnabled());
    EXPECT_TRUE(s.EditEnabled());

    for (int slot = 3; slot < 12; ++slot) {
        doc.toneRemote.SetEntry(slot, CToneRemote::kChannel, slot);
    }
    ToneRemoteSettings full(doc, prompts);
    EXPECT_EQ(full.Items().size(), 12u);
    EXPECT_FALSE(full.AddEnabled());
    EXPECT_TRUE(full.DeleteEnabled());
    EXPECT_EQ(prompts.Records().size(), 0u);
}

TEST(ToneRemoteSettings, EditAndDeleteWithoutSelectionBeepAndWarn) {
    CTmpDoc doc;
    doc.toneRemote.SetEntry(0, CToneRemote::kIncreaseAudio, 0);
    ScriptedPrompts prompts;
    ToneRemoteSettings s(doc, prompts);
    s.Select({});
    bool ran = false;
    s.Edit([&ran](ToneRemoteProperties&) { ran = true; });
    s.Delete();
    EXPECT_FALSE(ran);
    ASSERT_EQ(prompts.Records().size(), 4u);
    EXPECT_EQ(prompts.Records()[0].kind, ScriptedPrompts::Kind::Beep);
    EXPECT_EQ(prompts.Records()[1].text, "You must selected a tone to edit first!");
    EXPECT_EQ(prompts.Records()[1].icon, Icon::Exclamation);
    EXPECT_EQ(prompts.Records()[2].kind, ScriptedPrompts::Kind::Beep);
    EXPECT_EQ(prompts.Records()[3].text, "You must selected a tone to edit first!");
    EXPECT_EQ(s.Items().size(), 1u);
}

TEST(ToneRemoteSettings, DeleteClearsEverySelectedToneAndHighlightsTheOneBefore) {
    CTmpDoc doc;
    for (int slot = 2; slot < 7; ++slot) {
        doc.toneRemote.SetEntry(slot, CToneRemote::kChannel, 100 + slot);
    }
    ScriptedPrompts prompts;
    ToneRemoteSettings s(doc, prompts);
    s.Select({3, 1});  // F4 and F6
    s.Delete();
    EXPECT_EQ(Texts(s.Items()),
              (std::vector<std::string>{"F3 - 1750Hz Channel 102", "F5 - 1550Hz Channel 104",
                                        "F7 - 1350Hz Channel 106"}));
    EXPECT_EQ(s.Selection(), std::vector<int>{0});  // F3, the one before F4
    EXPECT_EQ(s.Working().RawEntry(3).argument, "0");
    // Only the private copy changed.
    EXPECT_EQ(doc.toneRemote.CountAssigned(), 5);

    s.Select({0});  // the first item: nothing before it, so the first again
    s.Delete();
    EXPECT_EQ(s.Selection(), std::vector<int>{0});
    EXPECT_EQ(s.Items()[0].text, "F5 - 1550Hz Channel 104");
    EXPECT_FALSE(doc.IsModified());
    s.Ok();
    EXPECT_EQ(doc.toneRemote.CountAssigned(), 2);
    EXPECT_TRUE(doc.IsModified());
}

TEST(ToneRemoteSettings, AddAndEditWorkOnThePrivateCopyAndOkAlwaysMarksModified) {
    CTmpDoc doc;
    AddTargets(doc);
    ScriptedPrompts prompts;
    {
        ToneRemoteSettings s(doc, prompts);
        s.Add([](ToneRemoteProperties& p) {
            EXPECT_FALSE(p.EditMode());
            p.SelectFrequency(4);  // F5
            p.SelectFunction(0);   // Channel 7
            p.Ok();
        });
        EXPECT_EQ(Texts(s.Items()), (std::vector<std::string>{"F5 - 1550Hz Channel 7"}));
        s.Add([](ToneRemoteProperties& p) {
            p.SelectFunction(0);  // F1, Increase Audio
            p.Ok();
        });
        EXPECT_EQ(s.Items().size(), 2u);
        EXPECT_EQ(s.Selection(), std::vector<int>{0});  // the tone just added
        s.Select({1});
        s.Edit([](ToneRemoteProperties& p) {
            EXPECT_TRUE(p.EditMode());
            p.SelectFunction(1);  // Channel 12
            p.Ok();
        });
        EXPECT_EQ(s.Items()[1].text, "F5 - 1550Hz Channel 12");
        EXPECT_EQ(s.Selection(), std::vector<int>{1});
        EXPECT_EQ(doc.toneRemote.CountAssigned(), 0);  // dropped: Cancel
    }
    EXPECT_FALSE(doc.IsModified());

    ToneRemoteSettings unchanged(doc, prompts);
    unchanged.Ok();
    EXPECT_TRUE(doc.IsModified());  // OK counts as a change even when nothing changed
}

}  // namespace
}  // namespace quillon::edit
