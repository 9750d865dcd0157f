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

void ModemSim::RunLine(const std::string& raw) {
    // The command starts at the first "AT"; what comes before is noise.
    size_t at = std::string::npos;
    for (size_t i = 0; i + 1 < raw.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(raw[i])) == 'A' &&
            std::toupper(static_cast<unsigned char>(raw[i + 1])) == 'T') {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) {
        return;
    }
    const std::string cmd = raw.substr(at + 2);
    size_t i = 0;
    auto number = [&](int def) {
        int v = -1;
        while (i < cmd.size() && std::isdigit(static_cast<unsigned char>(cmd[i])) != 0) {
            v = (v < 0 ? 0 : v) * 10 + (cmd[i] - '0');
            if (v > 255) {
                v = 256;
            }
            ++i;
        }
        return v < 0 ? def : v;
    };
    std::string info;
    while (i < cmd.size()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(cmd[i++])));
        if (c == ' ') {
            continue;
        }
        if (c == 'D') {
            if (Connected()) {
                Result(msg::kModemError);
                return;
            }
            Dial(cmd.substr(i));
            return;
        }
        if (c == '&') {
            if (i >= cmd.size()) {
                Result(msg::kModemError);
                return;
            }
            const char what = static_cast<char>(std::toupper(static_cast<unsigned char>(cmd[i++])));
            const int v = number(0);
            if (std::string("FWKCDSY").find(what) == std::string::npos || v > 9) {
                Result(msg::kModemError);
                return;
            }
            if (what == 'F') {
                Defaults();
            }
            continue;
        }
        if (c == 'S') {
            const int reg = number(-1);
            if (reg < 0 || reg >= static_cast<int>(sregs_.size()) || i >= cmd.size()) {
                Result(msg::kModemError);
                return;
            }
            if (cmd[i] == '?') {
                ++i;
                char buf[8];
                std::snprintf(buf, sizeof buf, "%03d", sregs_[static_cast<size_t>(reg)]);
                info += std::string("\r\n") + buf;
                continue;
            }
            if (cmd[i] != '=') {
                Result(msg::kModemError);
                return;
            }
            ++i;
            const int v = number(0);
            if (v > 255) {
                Result(msg::kModemError);
                return;
            }
            sregs_[static_cast<size_t>(reg)] = static_cast<uint8_t>(v);
            continue;
        }
        const int v = number(0);
        switch (c) {
            case 'E':
                echo_ = v != 0;
                break;
            case 'Q':
                quiet_ = v != 0;
                break;
            case 'V':
                verbose_ = v != 0;
                break;
            case 'X':
            case 'L':
            case 'M':
                if (v > 4) {
                    Result(msg::kModemError);
                    return;
                }
                break;
            case 'Z':
                Defaults();
                break;
            case 'I':
                info += std::string("\r\n") + msg::kModemIdentity;
                break;
            case 'H':
                dialTimer_.Stop();
                state_ = State::Command;
                pluses_ = 0;
                break;
            case 'O':
                if (state_ != State::OnlineCommand) {
                    Result(msg::kModemNoCarrier);
                    return;
                }
                state_ = State::Online;
                anyHostByte_ = false;
                Result(msg::kModemConnect);
                return;
            case 'A':
                Result(msg::kModemNoCarrier);  // nobody is calling
                return;
            default:
                Result(msg::kModemError);
                return;
        }
    }
    if (!info.empty() && !quiet_) {
        Emit(info);
    }
    Result(msg::kModemOk);
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
