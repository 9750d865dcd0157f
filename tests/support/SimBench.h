#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/CardBlockCodec.h"
#include "sim/CardRig.h"
#include "sim/SimOptions.h"
#include "sim/VirtualClock.h"

namespace quillon::testing {

// The programmer's end of a simulated line with the card (and modem) at
// the far end, driven by hand on the virtual clock.
struct SimBench {
    explicit SimBench(const sim::SimOptions& o = sim::SimOptions{},
                      sim::CardContent content = sim::CardContent::Factory())
        : rig(std::make_unique<sim::CardRig>(clock, o, std::move(content))) {}

    void Send(const std::string& s) {
        rig->Host().Write(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(s.size()));
    }
    void SendBytes(const std::vector<uint8_t>& b) {
        rig->Host().Write(b.data(), static_cast<int>(b.size()));
    }
    void RunMs(uint64_t ms) { clock.AdvanceBy(ms * sim::VirtualClock::kNsPerMs); }
    std::string Take() {
        std::string out;
        uint8_t buf[512];
        int n = 0;
        while ((n = rig->Host().Read(buf, sizeof buf)) > 0) {
            out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
        }
        return out;
    }
    std::vector<uint8_t> TakeBytes() {
        const std::string s = Take();
        return std::vector<uint8_t>(s.begin(), s.end());
    }
    // Sends, lets the line and the card run, and returns what came back.
    std::string Talk(const std::string& s, uint64_t ms = 500) {
        Send(s);
        RunMs(ms);
        return Take();
    }
    void LogIn() {
        Talk("\r");
        Talk("field\r");
        Talk("quillon\r");
    }
    sim::TransceiverSim& Card() { return rig->Card(); }

    // --- binary mode, the programmer's side written out plainly ----------
    // Sends the blocks of one request and its EOT; returns the answer bytes
    // the card gave to each block and to the EOT, in order.
    std::vector<uint8_t> SendMessage(const std::vector<sim::cardbci::Payload>& blocks) {
        std::vector<uint8_t> answers;
        for (size_t i = 0; i < blocks.size(); ++i) {
            SendBytes(sim::cardbci::EncodeBlock(static_cast<uint8_t>(i), blocks[i]));
            RunMs(700);
            const auto a = TakeBytes();
            answers.insert(answers.end(), a.begin(), a.end());
        }
        SendBytes({sim::cardbci::kEot});
        RunMs(50);
        const auto a = TakeBytes();
        answers.insert(answers.end(), a.begin(), a.end());
        return answers;
    }
    // Offers the NAK, takes the reply block by block with ACKs, and ACKs
    // its EOT. Stops (returning what it has) when the card sends anything
    // but a good block or EOT.
    std::vector<sim::cardbci::Payload> ReadReply(size_t maxBlocks = 400) {
        std::vector<sim::cardbci::Payload> blocks;
        SendBytes({sim::cardbci::kNak});
        for (size_t i = 0; i <= maxBlocks; ++i) {
            RunMs(700);
            const auto bytes = TakeBytes();
            if (bytes.size() == 1 && bytes[0] == sim::cardbci::kEot) {
                SendBytes({sim::cardbci::kAck});
                RunMs(50);
                return blocks;
            }
            sim::cardbci::BlockDecoder d;
            bool done = false;
            for (size_t k = 1; k < bytes.size() && bytes[0] == sim::cardbci::kSoh && !done; ++k) {
                done = d.Feed(bytes[k]);
            }
            if (!done || !d.Good() || d.Number() != static_cast<uint8_t>(blocks.size() & 0xFF)) {
                return blocks;
            }
            blocks.push_back(d.Data());
            SendBytes({sim::cardbci::kAck});
        }
        return blocks;
    }
    std::vector<sim::cardbci::Payload> Request(const std::vector<uint8_t>& bytes) {
        SendMessage(sim::cardbci::SplitIntoBlocks(bytes));
        return ReadReply();
    }

    sim::VirtualClock clock;
    std::unique_ptr<sim::CardRig> rig;
};

inline std::string Text(const std::vector<uint8_t>& b) {
    return std::string(b.begin(), b.end());
}

}  // namespace quillon::testing
