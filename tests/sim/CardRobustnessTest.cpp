#include <gtest/gtest.h>

#include <random>

#include "SimBench.h"

namespace quillon::sim::test {

using quillon::testing::SimBench;
using quillon::testing::Text;

namespace {

std::vector<uint8_t> Noise(std::mt19937& rng, size_t n, bool controlHeavy) {
    static const uint8_t kControls[] = {0x01, 0x04, 0x06, 0x15, 0x1B, '\r', '\n', 0x08};
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> pick(0, 7);
    std::vector<uint8_t> out(n);
    for (auto& b : out) {
        b = controlHeavy && any(rng) < 96 ? kControls[pick(rng)] : static_cast<uint8_t>(any(rng));
    }
    return out;
}

// Whatever arrives, in either mode, the card stays up, keeps its content
// and still answers properly afterwards.
TEST(CardRobustness, NoiseInTextModeLeavesTheContentAlone) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 20; ++round) {
        SimBench b;
        if (round % 2 == 1) {
            b.LogIn();
        }
        for (int burst = 0; burst < 20; ++burst) {
            b.SendBytes(Noise(rng, 200, round % 4 < 2));
            b.RunMs(300);
            b.Take();
        }
        EXPECT_EQ(b.Card().Content(), CardContent::Factory()) << "round " << round;
        // Get back to a known place: out of binary mode if the noise got
        // there (it cannot log in without the password), then log in.
        if (b.Card().CurrentMode() == TransceiverSim::Mode::Binary) {
            b.Request({0x00, 0x0B});
        }
        b.RunMs(10000);
        b.Take();
        // A line end finishes whatever half line the noise left; a few more
        // get past a password prompt or the password change's questions.
        auto endsWith = [](const std::string& s, const std::string& tail) {
            return s.size() >= tail.size() &&
                   s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
        };
        std::string reply;
        for (int i = 0; i < 4 && !endsWith(reply, "Login > ") && !endsWith(reply, "VEL> "); ++i) {
            reply = b.Talk("\r");
        }
        if (endsWith(reply, "Login > ")) {
            b.Talk("field\r");
            b.Talk("quillon\r");
        }
        EXPECT_EQ(b.Talk("getp bcp_version\r\n"), "getp bcp_version\r\n1.2\r\nVEL> ")
            << "round " << round;
    }
}

TEST(CardRobustness, NoiseInBinaryModeLeavesTheContentAlone) {
    std::mt19937 rng(777);
    SimOptions o;
    o.card.startBinary = true;
    CardContent c = CardContent::Factory();
    c.channels[3].kind = 1;
    c.channels[3].data[0] = 'X';
    for (int round = 0; round < 20; ++round) {
        SimBench b(o, c);
        for (int burst = 0; burst < 20; ++burst) {
            auto bytes = Noise(rng, 300, true);
            // Now and then a well-formed block of an unknown command or a
            // truncated real one, to reach the command layer too.
            if (burst % 5 == 0) {
                cardbci::Payload p{};
                p[1] = static_cast<uint8_t>(rng() & 0xFF);
                const auto block = cardbci::EncodeBlock(0, p);
                bytes.insert(bytes.begin(), block.begin(), block.end());
                bytes.push_back(0x04);
            }
            b.SendBytes(bytes);
            b.RunMs(500);
            b.Take();
        }
        b.RunMs(70000);  // whatever reply was pending is given up
        b.Take();
        if (b.Card().CurrentMode() == TransceiverSim::Mode::Binary) {
            const auto reset = b.Request({0x00, 0x99});
            ASSERT_EQ(reset.size(), 1u) << "round " << round;
            EXPECT_EQ(reset[0][1], 0x99);
        }
        const CardContent& now = b.Card().Content();
        // The noise may have sent tones or a group by a well-formed block;
        // the channel table is only ever replaced whole.
        EXPECT_EQ(now.channels, c.channels) << "round " << round;
        EXPECT_EQ(now.keys, c.keys);
        EXPECT_EQ(now.password, c.password);
    }
}

}  // namespace
}  // namespace quillon::sim::test
