#include "sim/ModemSim.h"

#include <cctype>
#include <cstdio>

#include "sim/Messages.h"

namespace quillon::sim {

namespace {

constexpr size_t kMaxCommandLine = 64;

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

int NumericCode(const char* word) {
    const std::string w(word);
    if (w == msg::kModemOk)
        return 0;
    if (w == msg::kModemConnect)
        return 1;
    if (w == msg::kModemNoCarrier)
        return 3;
    if (w == msg::kModemError)
        return 4;
    if (w == msg::kModemNoDialtone)
        return 6;
    if (w == msg::kModemBusy)
        return 7;
    return 4;
}

}  // namespace

ModemSim::ModemSim(VirtualClock& clock, SimPeer& card, Options options)
    : clock_(clock), card_(card), options_(options), dialTimer_(clock), escapeTimer_(clock) {
    card_.SetOutput([this](const uint8_t* d, size_t n) { FromCard(d, n); });
    Defaults();
}

ModemSim::~ModemSim() {
    card_.SetOutput(nullptr);
}

void ModemSim::Defaults() {
    echo_ = true;
    verbose_ = true;
    quiet_ = false;
    sregs_.fill(0);
    sregs_[2] = '+';
    sregs_[3] = '\r';
    sregs_[4] = '\n';
    sregs_[5] = 8;
    sregs_[12] = 50;
}

std::string ModemSim::ResultFor(const std::string& number) {
    std::string digits;
    for (const char c : number) {
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            digits += c;
        }
    }
    if (digits.empty()) {
        return msg::kModemNoCarrier;
    }
    if (EndsWith(digits, "0002")) {
        return msg::kModemBusy;
    }
    if (EndsWith(digits, "0003")) {
        return msg::kModemNoCarrier;
    }
    if (EndsWith(digits, "0004")) {
        return msg::kModemNoDialtone;
    }
    return msg::kModemConnect;
}

void ModemSim::Receive(const uint8_t* data, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = data[i];
        switch (state_) {
            case State::Command:
            case State::OnlineCommand:
                CommandByte(b);
                break;
            case State::Dialling:
                if (b == '\n' && skipLf_) {
                    skipLf_ = false;
                    if (echo_) {
                        Emit(&b, 1);
                    }
                    break;
                }
                // A key pressed while dialling hangs up; the key is used up.
                dialTimer_.Stop();
                state_ = State::Command;
                Result(msg::kModemNoCarrier);
                break;
            case State::Online:
                OnlineByte(b);
                break;
        }
    }
}

void ModemSim::CommandByte(uint8_t b) {
    if (echo_) {
        Emit(&b, 1);
    }
    if (b == '\r') {
        std::string line;
        line.swap(line_);
        const bool overflow = lineOverflow_;
        lineOverflow_ = false;
        if (overflow) {
            Result(msg::kModemError);
            return;
        }
        RunLine(line);
        return;
    }
    if (b == '\n') {
        return;  // line feeds are no part of a command
    }
    if (b == 0x08 || b == 0x7F) {
        if (!line_.empty()) {
            line_.pop_back();
        }
        return;
    }
    if (line_.size() < kMaxCommandLine) {
        line_ += static_cast<char>(b);
    } else {
        lineOverflow_ = true;
    }
}

void ModemSim::Result(const char* word) {
    if (quiet_) {
        return;
    }
    if (verbose_) {
        Emit(std::string("\r\n") + word + "\r\n");
    } else {
        Emit(std::to_string(NumericCode(word)) + "\r");
    }
}

// One command line after its "AT", read from left to right.
struct ModemSim::CommandCursor {
    std::string text;
    size_t pos = 0;

    bool AtEnd() const { return pos >= text.size(); }
    char Peek() const { return text[pos]; }
    void Skip() { ++pos; }
    // The next character, in upper case.
    char Letter() {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos++])));
    }
    // The decimal number at the cursor (a large one reads as 256), or def
    // when no digit is there.
    int Number(int def) {
        int v = -1;
        while (!AtEnd() && std::isdigit(static_cast<unsigned char>(text[pos])) != 0) {
            v = (v < 0 ? 0 : v) * 10 + (text[pos] - '0');
            if (v > 255) {
                v = 256;
            }
            ++pos;
        }
        return v < 0 ? def : v;
    }
    std::string Rest() const { return text.substr(pos); }
};

namespace {

// Where the command starts: the first "AT" in either case.
size_t FindAt(const std::string& raw) {
    for (size_t i = 0; i + 1 < raw.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(raw[i])) == 'A' &&
            std::toupper(static_cast<unsigned char>(raw[i + 1])) == 'T') {
            return i;
        }
    }
    return std::string::npos;
}

}  // namespace

void ModemSim::RunLine(const std::string& raw) {
    // What comes before the "AT" is noise; a line without one gets no answer.
    const size_t at = FindAt(raw);
    if (at == std::string::npos) {
        return;
    }
    CommandCursor cmd{raw.substr(at + 2)};
    std::string info;
    while (!cmd.AtEnd()) {
        if (RunCommand(cmd, info) == LineStep::Ended) {
            return;
        }
    }
    if (!info.empty() && !quiet_) {
        Emit(info);
    }
    Result(msg::kModemOk);
}

ModemSim::LineStep ModemSim::RunCommand(CommandCursor& cmd, std::string& info) {
    const char c = cmd.Letter();
    switch (c) {
        case ' ':
            return LineStep::Next;
        case 'D':
            return DialCommand(cmd);
        case '&':
            return AmpersandCommand(cmd);
        case 'S':
            return RegisterCommand(cmd, info);
        default:
            return BasicCommand(c, cmd.Number(0), info);
    }
}

ModemSim::LineStep ModemSim::Refuse() {
    Result(msg::kModemError);
    return LineStep::Ended;
}

ModemSim::LineStep ModemSim::DialCommand(CommandCursor& cmd) {
    if (Connected()) {
        return Refuse();
    }
    // The rest of the line is the number; the result comes when the call
    // is decided.
    Dial(cmd.Rest());
    return LineStep::Ended;
}

ModemSim::LineStep ModemSim::AmpersandCommand(CommandCursor& cmd) {
    if (cmd.AtEnd()) {
        return Refuse();
    }
    const char what = cmd.Letter();
    const int v = cmd.Number(0);
    if (std::string("FWKCDSY").find(what) == std::string::npos || v > 9) {
        return Refuse();
    }
    if (what == 'F') {
        Defaults();
    }
    return LineStep::Next;
}

ModemSim::LineStep ModemSim::RegisterCommand(CommandCursor& cmd, std::string& info) {
    const int reg = cmd.Number(-1);
    if (reg < 0 || reg >= static_cast<int>(sregs_.size()) || cmd.AtEnd()) {
        return Refuse();
    }
    if (cmd.Peek() == '?') {
        cmd.Skip();
        char buf[8];
        std::snprintf(buf, sizeof buf, "%03d", sregs_[static_cast<size_t>(reg)]);
        info += std::string("\r\n") + buf;
        return LineStep::Next;
    }
    if (cmd.Peek() != '=') {
        return Refuse();
    }
    cmd.Skip();
    const int v = cmd.Number(0);
    if (v > 255) {
        return Refuse();
    }
    sregs_[static_cast<size_t>(reg)] = static_cast<uint8_t>(v);
    return LineStep::Next;
}

ModemSim::LineStep ModemSim::BasicCommand(char letter, int value, std::string& info) {
    switch (letter) {
        case 'E':
            echo_ = value != 0;
            return LineStep::Next;
        case 'Q':
            quiet_ = value != 0;
            return LineStep::Next;
        case 'V':
            verbose_ = value != 0;
            return LineStep::Next;
        case 'X':
        case 'L':
        case 'M':
            return value > 4 ? Refuse() : LineStep::Next;
        case 'Z':
            Defaults();
            return LineStep::Next;
        case 'I':
            info += std::string("\r\n") + msg::kModemIdentity;
            return LineStep::Next;
        case 'H':
            dialTimer_.Stop();
            state_ = State::Command;
            pluses_ = 0;
            return LineStep::Next;
        case 'O':
            if (state_ != State::OnlineCommand) {
                Result(msg::kModemNoCarrier);
                return LineStep::Ended;
            }
            state_ = State::Online;
            anyHostByte_ = false;
            Result(msg::kModemConnect);
            return LineStep::Ended;
        case 'A':
            Result(msg::kModemNoCarrier);  // nobody is calling
            return LineStep::Ended;
        default:
            return Refuse();
    }
}

void ModemSim::Dial(const std::string& number) {
    dialNumber_ = number;
    state_ = State::Dialling;
    skipLf_ = true;
    dialTimer_.Start(static_cast<uint64_t>(options_.dialDelayMs) * VirtualClock::kNsPerMs,
                     [this] { DialDone(); });
}

void ModemSim::DialDone() {
    const std::string result = ResultFor(dialNumber_);
    if (result == msg::kModemConnect) {
        state_ = State::Online;
        anyHostByte_ = false;
        pluses_ = 0;
    } else {
        state_ = State::Command;
    }
    Result(result.c_str());
}

void ModemSim::FlushPlus() {
    escapeTimer_.Stop();
    const std::string held(static_cast<size_t>(pluses_), '+');
    pluses_ = 0;
    card_.Receive(held);
}

void ModemSim::OnlineByte(uint8_t b) {
    const uint64_t now = clock_.NowNs();
    const uint64_t guard = static_cast<uint64_t>(options_.guardMs) * VirtualClock::kNsPerMs;
    const bool quietBefore = !anyHostByte_ || now - lastHostByteNs_ >= guard;
    anyHostByte_ = true;
    lastHostByteNs_ = now;
    if (b == '+') {
        const bool starts = pluses_ == 0 && quietBefore;
        const bool continues = pluses_ > 0 && pluses_ < 3 && now - lastPlusNs_ < guard;
        if (starts || continues) {
            ++pluses_;
            lastPlusNs_ = now;
            // Three pluses and the guard time of quiet make the escape;
            // fewer were data after all and go on to the card.
            escapeTimer_.Start(guard, [this] {
                if (pluses_ < 3) {
                    FlushPlus();
                    return;
                }
                pluses_ = 0;
                state_ = State::OnlineCommand;
                Result(msg::kModemOk);
            });
            return;
        }
    }
    if (pluses_ > 0) {
        FlushPlus();
    }
    card_.Receive(&b, 1);
}

void ModemSim::FromCard(const uint8_t* data, size_t count) {
    // Only a connected call carries the card's bytes; in command mode the
    // modem keeps the line to itself.
    if (state_ == State::Online) {
        Emit(data, count);
    }
}

}  // namespace quillon::sim
