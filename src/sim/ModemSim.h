#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/SimPeer.h"
#include "sim/SimTimer.h"
#include "sim/VirtualClock.h"

namespace quillon::sim {

// A Hayes-style modem in front of a card. In command mode it echoes what
// it receives and answers each line that holds "AT" (anything before the
// "AT" is ignored, lines without one get no answer); once connected, bytes
// pass through to the card and back until "+++" framed by the guard time
// of silence returns it to command mode.
//
// Dialling: ATD (with T or P) answers after the dial delay. The number
// decides the result, by its digits only:
//   digits ending in 0002  -> BUSY
//   digits ending in 0003  -> NO CARRIER
//   digits ending in 0004  -> NO DIALTONE
//   no digits at all       -> NO CARRIER
//   anything else          -> CONNECT 9600
// Any byte received while dialling, except the line feed that may follow
// the dial command's carriage return, cancels the call with NO CARRIER.
class ModemSim : public SimPeer {
  public:
    struct Options {
        uint32_t dialDelayMs = 2000;
        uint32_t guardMs = 1000;
    };
    enum class State { Command, Dialling, Online, OnlineCommand };

    ModemSim(VirtualClock& clock, SimPeer& card, Options options);
    ModemSim(VirtualClock& clock, SimPeer& card) : ModemSim(clock, card, Options{}) {}
    ~ModemSim() override;

    using SimPeer::Receive;
    void Receive(const uint8_t* data, size_t count) override;

    State CurrentState() const { return state_; }
    bool Connected() const { return state_ == State::Online || state_ == State::OnlineCommand; }
    // The result a dial of this number gets.
    static std::string ResultFor(const std::string& number);

  private:
    void CommandByte(uint8_t b);
    void OnlineByte(uint8_t b);
    void FromCard(const uint8_t* data, size_t count);

    // A command line runs command by command; each step says whether the
    // line goes on or has already given its result.
    struct CommandCursor;
    enum class LineStep { Next, Ended };
    void RunLine(const std::string& line);
    LineStep RunCommand(CommandCursor& cmd, std::string& info);
    LineStep DialCommand(CommandCursor& cmd);
    LineStep AmpersandCommand(CommandCursor& cmd);
    LineStep RegisterCommand(CommandCursor& cmd, std::string& info);
    LineStep BasicCommand(char letter, int value, std::string& info);
    LineStep Refuse();
    void Result(const char* word);
    void Dial(const std::string& number);
    void DialDone();
    void FlushPlus();
    void Defaults();

    VirtualClock& clock_;
    SimPeer& card_;
    Options options_;
    State state_ = State::Command;
    std::string line_;
    bool lineOverflow_ = false;
    bool echo_ = true;
    bool verbose_ = true;
    bool quiet_ = false;
    std::array<uint8_t, 100> sregs_{};
    std::string dialNumber_;
    bool skipLf_ = false;
    SimTimer dialTimer_;
    // The escape: pluses held back while they may still be one.
    int pluses_ = 0;
    uint64_t lastHostByteNs_ = 0;
    bool anyHostByte_ = false;
    uint64_t lastPlusNs_ = 0;
    SimTimer escapeTimer_;
};

}  // namespace quillon::sim
