#include "sim/TransceiverSim.h"

#include <algorithm>
#include <cctype>

#include "sim/Messages.h"

namespace quillon::sim {

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string w;
    for (const char c : line) {
        if (c == ' ' || c == '\t') {
            if (!w.empty()) {
                words.push_back(w);
                w.clear();
            }
        } else {
            w += c;
        }
    }
    if (!w.empty()) {
        words.push_back(w);
    }
    return words;
}

bool IsLineEnd(uint8_t b) {
    return b == '\r' || b == '\n';
}

bool IsHex(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

std::optional<long> Decimal(const std::string& s) {
    if (s.empty() || s.size() > 6 || !std::all_of(s.begin(), s.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    return std::stol(s);
}

}  // namespace

TransceiverSim::TransceiverSim(VirtualClock& clock, CardOptions options, CardContent content)
    : clock_(clock),
      options_(std::move(options)),
      content_(std::move(content)),
      pairTimer_(clock),
      rebootTimer_(clock) {
    link_ = std::make_unique<CardBlockLink>(
        clock_, [this](const uint8_t* d, size_t n) { Out(d, n); },
        [this](const std::vector<cardbci::Payload>& msg) { return Handle(msg); });
    SetOptions(options_);
    if (options_.startBinary) {
        mode_ = Mode::Binary;
        link_->Start();
    }
}

TransceiverSim::~TransceiverSim() = default;

void TransceiverSim::SetOptions(const CardOptions& o) {
    options_ = o;
    link_->SetNakFirst(o.nakFirst);
    link_->SetTiming(o.byteNs, static_cast<uint64_t>(o.latencyMs) * VirtualClock::kNsPerMs);
}

void TransceiverSim::Out(const std::string& text) {
    Out(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void TransceiverSim::Out(const uint8_t* data, size_t count) {
    if (options_.silent || count == 0) {
        return;
    }
    if (options_.latencyMs == 0) {
        Emit(data, count);
        return;
    }
    // Later bytes are scheduled later or at the same moment, and the clock
    // runs events of one moment in the order they were scheduled, so the
    // delay keeps the order of what the card says.
    std::weak_ptr<int> alive = alive_;
    std::vector<uint8_t> bytes(data, data + count);
    clock_.ScheduleIn(static_cast<uint64_t>(options_.latencyMs) * VirtualClock::kNsPerMs,
                      [this, alive, bytes = std::move(bytes)] {
                          if (alive.lock()) {
                              Emit(bytes.data(), bytes.size());
                          }
                      });
}

void TransceiverSim::Changed() {
    if (onChange_) {
        onChange_();
    }
}

void TransceiverSim::Receive(const uint8_t* data, size_t count) {
    if (options_.silent) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        if (mode_ == Mode::Binary) {
            link_->Receive(data[i]);
        } else if (mode_ != Mode::Rebooting) {
            TextByte(data[i]);
        }
    }
}

void TransceiverSim::TextByte(uint8_t b) {
    if (pendingEnd_ != 0) {
        const bool partner = IsLineEnd(b) && b != pendingEnd_;
        if (partner) {
            Out(&b, 1);
            pairTimer_.Stop();
            pendingEnd_ = 0;
            FinishLine(false);
            return;
        }
        pairTimer_.Stop();
        FinishLine(true);
        // The line may have switched the card to binary mode or a reboot.
        const uint8_t one[1] = {b};
        Receive(one, 1);
        return;
    }
    Out(&b, 1);
    if (IsLineEnd(b)) {
        pendingEnd_ = b;
        pairTimer_.Start(kLinePairNs, [this] { FinishLine(true); });
        return;
    }
    if (b == 0x08 || b == 0x7F) {
        if (!line_.empty()) {
            line_.pop_back();
        }
        return;
    }
    if (line_.size() < kMaxLine) {
        line_ += static_cast<char>(b);
    } else {
        lineTooLong_ = true;
    }
}

void TransceiverSim::FinishLine(bool complete) {
    if (complete && pendingEnd_ != 0) {
        Out(pendingEnd_ == '\r' ? "\n" : "\r");
    }
    pendingEnd_ = 0;
    std::string line;
    line.swap(line_);
    if (lineTooLong_) {
        lineTooLong_ = false;
        Line(msg::kLineTooLong);
        if (mode_ == Mode::LoginUser || mode_ == Mode::LoginPassword) {
            mode_ = Mode::LoginUser;
        } else {
            mode_ = Mode::Shell;
        }
        Prompt();
        return;
    }
    ProcessLine(line);
}

void TransceiverSim::Prompt() {
    Out(mode_ == Mode::Shell ? msg::kShellPrompt : msg::kLoginPrompt);
}

void TransceiverSim::ProcessLine(const std::string& line) {
    switch (mode_) {
        case Mode::LoginUser:
            if (Words(line).empty()) {
                Out(msg::kLoginPrompt);
                return;
            }
            loginUser_ = line;
            mode_ = Mode::LoginPassword;
            // Every name is asked for a password, so a wrong name tells
            // nobody which names exist.
            Out(msg::kPasswordPrompt);
            return;
        case Mode::LoginPassword:
            if (loginUser_ == "field" && line == content_.password) {
                mode_ = Mode::Shell;
                Out(std::string("\r\n") + msg::kShellPrompt);
            } else {
                mode_ = Mode::LoginUser;
                Line(msg::kLoginIncorrect);
                Out(msg::kLoginPrompt);
            }
            loginUser_.clear();
            return;
        case Mode::Shell:
            ShellCommand(Words(line));
            return;
        case Mode::OldPassword:
        case Mode::NewPassword:
        case Mode::RetypePassword:
            ChangePassword(line);
            return;
        case Mode::Rebooting:
        case Mode::Binary:
            return;
    }
}

void TransceiverSim::ShellCommand(const std::vector<std::string>& words) {
    if (words.empty()) {
        Prompt();
        return;
    }
    const std::string& cmd = words[0];
    if (cmd == "getp") {
        GetParameter(words);
    } else if (cmd == "setp") {
        SetParameter(words);
    } else if (cmd == "getu") {
        Line(msg::kUsersHeader);
        for (const auto& u : content_.users) {
            Line(u.name + " " + u.level);
        }
        Prompt();
    } else if (cmd == "user") {
        AddUser(words);
    } else if (cmd == "chpwd") {
        if (words.size() == 2 && words[1] == "field" && content_.FindUser("field") != nullptr) {
            mode_ = Mode::OldPassword;
            Out(msg::kOldPasswordPrompt);
        } else {
            Line(msg::kUnknownUser);
            Prompt();
        }
    } else if (cmd == "wct" && words.size() == 1) {
        if (options_.wctConfirm) {
            Line(msg::kWritingTable);
        }
        if (options_.wctLingerSeconds > 0.0) {
            // A card that finishes its command line before it goes down.
            Prompt();
            const double s = std::clamp(options_.wctLingerSeconds, 0.0, 3600.0);
            std::weak_ptr<int> alive = alive_;
            clock_.ScheduleIn(static_cast<uint64_t>(s * 1e9), [this, alive] {
                if (alive.lock() && mode_ == Mode::Shell) {
                    Reboot();
                }
            });
        } else {
            Reboot();
        }
    } else if (cmd == "logout" && words.size() == 1) {
        mode_ = Mode::LoginUser;
        Out(msg::kLoginPrompt);
    } else if (cmd == "help") {
        Line(msg::kHelp);
        Prompt();
    } else {
        Line(msg::kUnknownCommand);
        Prompt();
    }
}

void TransceiverSim::GetParameter(const std::vector<std::string>& words) {
    const std::string name = words.size() == 2 ? words[1] : "";
    for (const auto& [param, reply] : options_.getpReplies) {
        if (param == name) {
            Out(reply);
            Prompt();
            return;
        }
    }
    if (name == "bcp_version" && !options_.version.empty()) {
        // The bare value: the programmer reads the version from the start.
        Line(options_.version);
    } else if (name == "bin_mode") {
        Line("bin_mode: off");
    } else if (const std::string* v = content_.Parameter(name)) {
        Line(name + ": " + *v);
    } else {
        Line(msg::kIncorrectParameter);
    }
    Prompt();
}

void TransceiverSim::SetParameter(const std::vector<std::string>& words) {
    const std::string name = words.size() >= 2 ? words[1] : "";
    if (name == "bin_mode" && words.size() == 3 && words[2] == "on" && !options_.refuseBinary) {
        Line(msg::kEnteringBinary);
        EnterBinary();
        return;
    }
    if (name == "bin_mode") {
        Line(words.size() == 3 && words[2] == "off" ? "bin_mode: off" : msg::kInvalidValue);
    } else if (name == "crypt_key") {
        CryptKey(words);
    } else if (name == "bcp_version") {
        Line(msg::kReadOnly);
    } else if (CardContent::IsParameterName(name)) {
        if (words.size() == 3 && content_.SetParameter(name, words[2])) {
            Line(name + ": " + *content_.Parameter(name));
            Changed();
        } else {
            Line(msg::kInvalidValue);
        }
    } else {
        Line(msg::kIncorrectParameter);
    }
    Prompt();
}

void TransceiverSim::CryptKey(const std::vector<std::string>& words) {
    if (words.size() == 3 && words[2] == "erase") {
        content_.keys.clear();
        Line(msg::kKeysErased);
        Changed();
        return;
    }
    // setp crypt_key ALGORITHM KID KEY; only DES-OFB (129) is known.
    const auto kid = words.size() == 5 ? Decimal(words[3]) : std::nullopt;
    if (words.size() != 5 || words[2] != "129" || !kid || *kid > 0xFFFF || words[4].size() != 16 ||
        !IsHex(words[4])) {
        Line(msg::kKeyRefused);
        return;
    }
    const auto id = static_cast<uint16_t>(*kid);
    auto same = std::find_if(content_.keys.begin(), content_.keys.end(),
                             [id](const CardKey& k) { return k.kid == id; });
    if (same != content_.keys.end()) {
        same->key = words[4];
    } else if (content_.keys.size() >= kMaxCardKeys) {
        Line(msg::kKeyStoreFull);
        return;
    } else {
        content_.keys.push_back(CardKey{id, words[4]});
    }
    Line(msg::kKeyAdded);
    Changed();
}

void TransceiverSim::AddUser(const std::vector<std::string>& words) {
    const bool nameOk = words.size() == 3 && !words[1].empty() && words[1].size() <= 16 &&
                        std::all_of(words[1].begin(), words[1].end(), [](char c) {
                            return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
                        });
    if (!nameOk || (words[2] != "adm" && words[2] != "usr")) {
        Line(msg::kUserRefused);
        Prompt();
        return;
    }
    auto it = std::find_if(content_.users.begin(), content_.users.end(),
                           [&](const CardUser& u) { return u.name == words[1]; });
    if (it != content_.users.end()) {
        it->level = words[2];
    } else if (content_.users.size() >= kMaxCardUsers) {
        Line(msg::kUserTableFull);
        Prompt();
        return;
    } else {
        content_.users.push_back(CardUser{words[1], words[2]});
    }
    Line(msg::kUserAdded);
    Changed();
    Prompt();
}

void TransceiverSim::ChangePassword(const std::string& line) {
    if (mode_ == Mode::OldPassword) {
        oldPassword_ = line;
        mode_ = Mode::NewPassword;
        Out(msg::kNewPasswordPrompt);
        return;
    }
    if (mode_ == Mode::NewPassword) {
        newPassword_ = line;
        mode_ = Mode::RetypePassword;
        Out(msg::kRetypePasswordPrompt);
        return;
    }
    // All three answers are in; only now is anything judged, so a wrong
    // old password does not turn the next answers into commands.
    mode_ = Mode::Shell;
    if (oldPassword_ != content_.password) {
        Line(msg::kPasswordWrong);
    } else if (newPassword_ != line) {
        Line(msg::kPasswordMismatch);
    } else if (newPassword_.empty()) {
        Line(msg::kPasswordEmpty);
    } else {
        content_.password = newPassword_;
        Line(msg::kPasswordChanged);
        Changed();
    }
    oldPassword_.clear();
    newPassword_.clear();
    Prompt();
}

void TransceiverSim::Reboot() {
    ++reboots_;
    mode_ = Mode::Rebooting;
    line_.clear();
    lineTooLong_ = false;
    pendingEnd_ = 0;
    pairTimer_.Stop();
    link_->Stop();
    const double s = std::clamp(options_.rebootSeconds, 0.0, 3600.0);
    rebootTimer_.Start(static_cast<uint64_t>(s * 1e9), [this] {
        mode_ = Mode::LoginUser;
        Out(std::string("\r\n") + msg::kLoginPrompt);
    });
}

void TransceiverSim::EnterBinary() {
    mode_ = Mode::Binary;
    line_.clear();
    pendingEnd_ = 0;
    pairTimer_.Stop();
    link_->Start();
    channelsExpected_ = -1;
    groupsExpected_ = -1;
}

void TransceiverSim::LeaveBinary() {
    // Back at the command line, still logged in. No prompt is printed: the
    // programmer's next command purges and would not expect one.
    link_->Stop();
    mode_ = Mode::Shell;
    line_.clear();
    pendingEnd_ = 0;
}

}  // namespace quillon::sim
