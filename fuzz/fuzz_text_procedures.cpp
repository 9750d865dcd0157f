// Fuzz target: the text-mode procedures fed arbitrary replies. A fake card
// (or modem) answers every line the program ends with a carriage return
// with the next chunk of the input, on virtual time, so every time-out
// passes at once. Input: the procedure (byte 0: login, mode detection,
// compatibility check, parameter read, password change, modem dial), the
// peer's manners (byte 1: bit 0 echoes each line before answering it, bit 1
// has the password already known, bit 2 cancels the password dialog) and
// the byte that separates the chunks (byte 2); then the chunks.
//
// Each procedure must end within its time-outs, leave the driver idle with
// the progress window hidden, and never make the program write without end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "SimRig.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "ops/TextSession.h"
#include "sim/SimPeer.h"

using namespace quillon;

namespace {

// Answers each line with the next chunk; silent once the chunks run out.
class ChunkPeer : public sim::SimPeer {
  public:
    ChunkPeer(std::vector<std::string> chunks, bool echo)
        : chunks_(std::move(chunks)), echo_(echo) {}

    void Receive(const uint8_t* data, size_t count) override {
        received += count;
        for (size_t i = 0; i < count; ++i) {
            line_ += static_cast<char>(data[i]);
            if (data[i] != '\r') {
                continue;
            }
            ++lines;
            if (echo_) {
                Emit(line_);
            }
            line_.clear();
            if (next_ < chunks_.size()) {
                Emit(chunks_[next_++]);
            }
        }
    }

    size_t received = 0;
    size_t lines = 0;

  private:
    std::vector<std::string> chunks_;
    size_t next_ = 0;
    bool echo_;
    std::string line_;
};

enum Procedure { kLogin, kDetect, kCompatibility, kParameterRead, kChangePassword, kDial, kCount };

// Virtual time a procedure may take at most: its waits are seconds each,
// and the longest chain (login, then a parameter read of four values with
// their retries) stays well inside this.
constexpr uint32_t kMaxVirtualMs = 30 * 60 * 1000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > 8192) {
        return 0;
    }
    const int procedure = data[0] % kCount;
    const bool echo = (data[1] & 1) != 0;
    const bool passwordKnown = (data[1] & 2) != 0;
    const bool cancelPassword = (data[1] & 4) != 0;
    const char separator = static_cast<char>(data[2]);
    std::vector<std::string> chunks(1);
    for (size_t i = 3; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == separator) {
            chunks.emplace_back();
        } else {
            chunks.back() += c;
        }
    }

    auto rig = std::make_unique<testing::SimRig>();
    ChunkPeer peer(std::move(chunks), echo);
    sim::AttachToLine(rig->line.Card(), peer);
    model::CTmpDoc doc;
    {
        CTmpApp app(rig->Deps());
        rig->pump.SetTarget(&app);
        rig->settings.SetInt("General Settings", "COM Port", 0);
        app.InitInstance();
        FUZZ_REQUIRE(app.HasLink());
        app.SetDocument(&doc);
        if (passwordKnown) {
            app.RememberPassword("quillon");
        } else if (cancelPassword) {
            rig->prompts.QueueCancelPassword();
        } else {
            rig->prompts.QueuePassword("quillon");
        }
        rig->prompts.QueueChangePassword("quillon", "newpass");

        switch (procedure) {
            case kLogin:
                app.StartLogin();
                break;
            // These two run to their end in the call and leave the progress
            // window to their caller, which hides it as the command-line
            // probe does.
            case kDetect:
                app.DetectCardMode();
                rig->progress.Hide();
                break;
            case kCompatibility:
                CheckCompatibility(app);
                rig->progress.Hide();
                break;
            case kParameterRead:
                FUZZ_REQUIRE(app.StartParameterExchange(0));
                break;
            case kChangePassword:
                app.OnChangePassword();
                break;
            case kDial:
                FUZZ_REQUIRE(app.OnDial("5550123"));
                break;
            default:
                break;
        }
        rig->pump.AfterCommand();
        const bool ended = rig->pump.RunUntil(
            [&app] {
                return !app.ProcedureRunning() && app.textPending == 0 && app.binaryPending == 0;
            },
            kMaxVirtualMs);
        FUZZ_REQUIRE(ended);
        FUZZ_REQUIRE(!rig->progress.IsShown());
        // Commands are a few dozen bytes; a loop that keeps writing would
        // show here long before it hangs.
        FUZZ_REQUIRE(peer.received < 64 * 1024 && peer.lines < 1000);
    }
    sim::DetachFromLine(rig->line.Card(), peer);
    return 0;
}
