#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Archive.h"
#include "model/CToneRemote.h"

using namespace quillon::model;

namespace {
struct Builder {
    std::vector<uint8_t> b;
    Builder& Str(const std::string& s) {
        b.push_back(static_cast<uint8_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Builder& Raw(std::initializer_list<uint8_t> bytes) {
        b.insert(b.end(), bytes);
        return *this;
    }
};
}  // namespace

TEST(ToneRemote, EntriesAndReferences) {
    CToneRemote t;
    EXPECT_EQ(t.CountAssigned(), 0);
    t.SetEntry(2, CToneRemote::kChannel, 12);
    t.SetEntry(12, CToneRemote::kChannel, 1);
    t.SetEntry(3, CToneRemote::kChannel, 512);
    t.SetEntry(4, CToneRemote::kChannel, -1);
    EXPECT_EQ(t.CountAssigned(), 1);
    EXPECT_EQ(t.RawEntry(2).argument, "12");
    t.SetEntry(7, CToneRemote::kChannel, 12);
    std::vector<std::string> refs{"x"};
    EXPECT_EQ(t.FindChannelReferences(12, refs), 2);
    EXPECT_EQ(refs, (std::vector<std::string>{"x", "2", "7"}));
    t.ClearAll();
    EXPECT_EQ(t.CountAssigned(), 0);
    EXPECT_EQ(t.RawEntry(2).argument, "12");  // arguments stay
}

TEST(ToneRemote, GetEntryDropsLeadingZerosButKeepsOneDigit) {
    CToneRemote t;
    Builder f;
    const char* args[12] = {"007", "0", "0000", "0511", "", "", "", "", "", "", "", ""};
    for (int s = 0; s < 12; ++s) {
        f.Raw({CToneRemote::kChannel}).Str(args[s]);
    }
    ArchiveReader r(f.b.data(), f.b.size());
    t.Read(r, "veltp_v3_5");
    EXPECT_EQ(t.GetEntry(0).argument, "7");
    EXPECT_EQ(t.GetEntry(1).argument, "0");
    EXPECT_EQ(t.GetEntry(2).argument, "0");
    EXPECT_EQ(t.GetEntry(3).argument, "511");
    auto list = t.SettingsList();
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(list[0].text, "F1 - 1950Hz Channel 7");
    EXPECT_EQ(list[2].text, "F3 - 1750Hz Channel 0");
}

TEST(ToneRemote, OldFormMapsTypes) {
    Builder f;
    const char* types[12] = {"2", "2", "1", "0", "2", "7", "", "1", "0", "0", "0", "0"};
    for (int s = 0; s < 12; ++s) {
        f.Raw({0xAA, 0xBB}).Str("ignored").Str(types[s]).Str(s == 2 ? "33" : "0");
    }
    for (const char* tag : {"veltp_v2", "veltp"}) {
        CToneRemote t;
        ArchiveReader r(f.b.data(), f.b.size());
        t.Read(r, tag);
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_EQ(t.RawEntry(0).function, CToneRemote::kIncreaseAudio);
        EXPECT_EQ(t.RawEntry(1).function, CToneRemote::kDecreaseAudio);
        EXPECT_EQ(t.RawEntry(2).function, CToneRemote::kChannel);
        EXPECT_EQ(t.RawEntry(2).argument, "33");
        EXPECT_EQ(t.RawEntry(3).function, CToneRemote::kUnassigned);
        EXPECT_EQ(t.RawEntry(4).function, CToneRemote::kUnassigned);  // type 2 beyond F2
        EXPECT_EQ(t.RawEntry(5).function, CToneRemote::kUnassigned);
        EXPECT_EQ(t.RawEntry(7).function, CToneRemote::kChannel);
    }
    CToneRemote t;
    ArchiveReader shortRead(f.b.data(), 20);
    EXPECT_THROW(t.Read(shortRead, "veltp_v2"), ArchiveError);
}

TEST(ToneRemote, SettingsListAndDelete) {
    CToneRemote t;
    t.SetEntry(0, CToneRemote::kIncreaseAudio, 0);
    t.SetEntry(1, CToneRemote::kDecreaseAudio, 0);
    t.SetEntry(5, CToneRemote::kChannel, 40);
    t.SetEntry(9, CToneRemote::kChannel, 41);
    auto list = t.SettingsList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].text, "F1 - 1950Hz Increase Audio");
    EXPECT_EQ(list[1].text, "F2 - 1850Hz Decrease Audio");
    EXPECT_EQ(list[3].text, "F10 - 1050Hz Channel 41");
    t.currentTone = 5;
    EXPECT_EQ(t.SettingsSelection(), 2);

    t.DeleteSlots({2, 3});
    EXPECT_EQ(t.RawEntry(5).function, CToneRemote::kUnassigned);
    EXPECT_EQ(t.RawEntry(5).argument, "0");
    EXPECT_EQ(t.RawEntry(9).function, CToneRemote::kUnassigned);
    EXPECT_EQ(t.currentTone, 1);
    EXPECT_EQ(t.SettingsSelection(), 1);
    t.DeleteSlots({0});
    EXPECT_EQ(t.currentTone, -1);
    EXPECT_EQ(t.SettingsSelection(), 0);
}

TEST(ToneRemote, PropertiesChoices) {
    CToneRemote t;
    t.SetEntry(0, CToneRemote::kIncreaseAudio, 0);
    auto freq = t.FrequencyChoices(false, 0);
    ASSERT_EQ(freq.size(), 11u);
    EXPECT_EQ(freq[0].text, "F2 - 1850Hz");
    EXPECT_EQ(freq[0].data, 1);
    freq = t.FrequencyChoices(true, 11);
    ASSERT_EQ(freq.size(), 1u);
    EXPECT_EQ(freq[0].text, "F12 - 850Hz");

    auto qualifies = [](int n) { return n == 3 || n == 300; };
    auto f1 = CToneRemote::FunctionChoices(0, qualifies);
    ASSERT_EQ(f1.size(), 3u);
    EXPECT_EQ(f1[0].text, "Increase Audio");
    EXPECT_EQ(f1[0].data, 1);
    EXPECT_EQ(f1[2].text, "Channel 300");
    EXPECT_EQ(f1[2].data, 300 * 65536 + 3);
    EXPECT_EQ(CToneRemote::FunctionChoices(1, qualifies)[0].text, "Decrease Audio");
    EXPECT_EQ(CToneRemote::FunctionChoices(4, qualifies).size(), 2u);
    EXPECT_TRUE(CToneRemote::FunctionChoices(4, [](int) { return false; }).empty());

    t.ApplyChoice(1, f1[2].data);
    EXPECT_EQ(t.RawEntry(1).function, CToneRemote::kChannel);
    EXPECT_EQ(t.RawEntry(1).argument, "300");
    auto f2 = CToneRemote::FunctionChoices(1, qualifies);
    EXPECT_EQ(t.FunctionSelection(1, f2), 2);
    t.ApplyChoice(1, f2[0].data);
    EXPECT_EQ(t.RawEntry(1).function, CToneRemote::kDecreaseAudio);
    EXPECT_EQ(t.RawEntry(1).argument, "0");
    EXPECT_EQ(t.FunctionSelection(1, f2), 0);
}
