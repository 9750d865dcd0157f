// Fuzz target: the tone remote list of a Get (36 bytes, zero-filled when
// the input is shorter; longer inputs are taken 36 bytes at a time). Every
// slot must end either unassigned or naming a function with a channel of
// the table as its argument, and the list must go back to the card as it
// came, but for the slots it could not trust, which go back unassigned.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "bci/GroupTransfer.h"
#include "core/LogSink.h"
#include "model/CToneRemote.h"

using namespace quillon;

namespace {

void CheckList(const bci::ToneList& list, NullLog& log) {
    model::CToneRemote tones;
    bci::UnpackToneList(list.data(), tones, log);
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        const model::ToneEntry e = tones.GetEntry(s);
        FUZZ_REQUIRE(e.function >= model::CToneRemote::kIncreaseAudio &&
                     e.function <= model::CToneRemote::kUnassigned);
        FUZZ_REQUIRE(!e.argument.empty() && e.argument.size() <= 4 &&
                     e.argument.find_first_not_of("0123456789") == std::string::npos);
        FUZZ_REQUIRE(std::stoi(e.argument) < bci::kTableChannels);
    }
    // A Get followed by a Send gives the card its list back, with each slot
    // it could not trust unassigned.
    const bci::ToneList sent = bci::PackToneList(tones);
    for (size_t s = 0; s < static_cast<size_t>(model::CToneRemote::kSlots); ++s) {
        const uint8_t* in = list.data() + 3 * s;
        const uint8_t* out = sent.data() + 3 * s;
        const int channel = bci::Bcd4ToNumber(in[1], in[2]);
        const bool trusted = in[0] >= model::CToneRemote::kIncreaseAudio &&
                             in[0] <= model::CToneRemote::kUnassigned && channel >= 0 &&
                             channel < bci::kTableChannels;
        if (trusted) {
            FUZZ_REQUIRE(out[0] == in[0] && out[1] == in[1] && out[2] == in[2]);
        } else {
            FUZZ_REQUIRE(out[0] == model::CToneRemote::kUnassigned && out[1] == 0 && out[2] == 0);
        }
    }
    model::CToneRemote again;
    bci::UnpackToneList(sent.data(), again, log);
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        const model::ToneEntry x = tones.GetEntry(s);
        const model::ToneEntry y = again.GetEntry(s);
        FUZZ_REQUIRE(x.function == y.function && x.argument == y.argument);
    }
    FUZZ_REQUIRE(bci::PackToneList(again) == sent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 64 * bci::kToneListSize) {
        return 0;
    }
    static NullLog log;
    size_t at = 0;
    do {
        bci::ToneList list{};
        std::copy_n(data + at, std::min(bci::kToneListSize, size - at), list.begin());
        CheckList(list, log);
        at += bci::kToneListSize;
    } while (at < size);
    return 0;
}
