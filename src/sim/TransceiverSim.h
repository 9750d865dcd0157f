#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/CardBlockLink.h"
#include "sim/CardContent.h"
#include "sim/SimPeer.h"
#include "sim/SimTimer.h"
#include "sim/VirtualClock.h"

namespace quillon::sim {

// Switches that make the card behave the way the programmer must survive.
// Line faults (corrupted, dropped or inserted bytes) belong to the line, not
// the card: SimLine::SetFaults, or CardRig for the usual set.
struct CardOptions {
    std::string version = "1.2";    // reply to "getp bcp_version"; empty: the card lacks it
    double rebootSeconds = 8.0;     // silence after "wct"
    bool wctConfirm = true;         // false: "wct" reboots without its confirmation line
    double wctLingerSeconds = 0.0;  // after "wct" the shell answers this long before the reboot
    // Named "getp" replies sent as they are instead of "NAME: VALUE\r\n"
    // (the prompt still follows): for malformed or missing values.
    std::vector<std::pair<std::string, std::string>> getpReplies;
    int nakFirst = 0;               // NAK the first n receptions of every good block
    int badHeaderCode = -1;         // the replies to this command carry the header 0x80 0x00
    int badHeaderTimes = 0;         // how many such replies go wrong; 0 for all of them
    bool badChannelNumber = false;  // the channel stream numbers one record 512
    bool badKind = false;           // the channel stream gives one record kind 3
    int badRecordSlot = 0;          // which record of the stream is the bad one
    // This channel's record is stored with one bit flipped after its block
    // checksums passed, as a card with a bad memory cell would: the lowest
    // bit of the receive frequency's last byte of a fixed channel, of the
    // name's first letter of a scan channel (an empty slot has no bytes to
    // spoil). -1: every record is stored as it came.
    int storeFault = -1;
    bool silent = false;        // the card neither answers nor listens
    bool startBinary = false;   // the card starts in binary mode (read when it is made)
    bool refuseBinary = false;  // "setp bin_mode on" is answered "Invalid value"
    uint32_t latencyMs = 0;     // every byte the card sends leaves this much later
    uint64_t byteNs = 1041667;  // one byte on the line (9600 baud 8N1)
};

// The simulated transceiver card: its command line with login, prompts,
// parameters, keys, users, password change and store-and-reboot, and its
// binary mode with every command of the command layer.
//
// Framing of the command line, which the programmer's parsing relies on:
// every byte is echoed as it arrives, the command's own line end included;
// "\r\n" and "\n\r" arriving together are one line end; a lone "\r" (or
// "\n") is completed by the card with "\n" (or "\r"); the answer follows
// with no line end of its own in front. Only the login "field" exists, and
// "chpwd" changes its password once "field" is in the user table.
class TransceiverSim : public SimPeer {
  public:
    enum class Mode {
        LoginUser,      // "Login > " shown
        LoginPassword,  // "Passwd > " shown
        Shell,          // logged in, "VEL> " shown
        OldPassword,    // chpwd asking
        NewPassword,
        RetypePassword,
        Rebooting,  // silent after "wct"
        Binary,
    };
    // Bytes that follow a "\r" or "\n" within this time may complete it.
    static constexpr uint64_t kLinePairNs = 10 * VirtualClock::kNsPerMs;
    static constexpr size_t kMaxLine = 256;

    TransceiverSim(VirtualClock& clock, CardOptions options = {},
                   CardContent content = CardContent::Factory());
    ~TransceiverSim() override;

    using SimPeer::Receive;
    void Receive(const uint8_t* data, size_t count) override;

    Mode CurrentMode() const { return mode_; }
    const CardContent& Content() const { return content_; }
    void SetContent(const CardContent& c) { content_ = c; }
    void SetPassword(const std::string& pw) { content_.password = pw; }
    const CardOptions& Options() const { return options_; }
    void SetOptions(const CardOptions& o);
    // Called after every change of the stored content.
    void SetOnChange(std::function<void()> fn) { onChange_ = std::move(fn); }

    const CardBlockLink& BlockLink() const { return *link_; }
    int Reboots() const { return reboots_; }

  private:
    void Out(const std::string& text);
    void Out(const uint8_t* data, size_t count);
    void Line(const std::string& text) { Out(text + "\r\n"); }
    void Prompt();
    void Changed();

    void TextByte(uint8_t b);
    void FinishLine(bool complete);
    void ProcessLine(const std::string& line);
    void ShellCommand(const std::vector<std::string>& words);
    void GetParameter(const std::vector<std::string>& words);
    void SetParameter(const std::vector<std::string>& words);
    void CryptKey(const std::vector<std::string>& words);
    void AddUser(const std::vector<std::string>& words);
    void ChangePassword(const std::string& line);
    void Reboot();
    void EnterBinary();
    void LeaveBinary();

    // The command layer of binary mode.
    std::optional<CardBlockLink::Reply> Handle(const std::vector<cardbci::Payload>& msg);
    CardBlockLink::Reply Single(uint8_t code, const std::vector<uint8_t>& body);
    CardBlockLink::Reply Stream(uint8_t code, const std::vector<uint8_t>& stream);
    std::vector<uint8_t> ChannelStream() const;
    CardBlockLink::Reply StoreChannels(const std::vector<cardbci::Payload>& msg);
    void StoreGroups(const std::vector<cardbci::Payload>& msg);
    void StoreGroup(const uint8_t* record);
    void SpoilHeader(uint8_t code, CardBlockLink::Reply& reply);
    static void SpoilStoredRecord(CardChannel& ch);

    VirtualClock& clock_;
    CardOptions options_;
    CardContent content_;
    std::function<void()> onChange_;
    std::unique_ptr<CardBlockLink> link_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

    Mode mode_ = Mode::LoginUser;
    std::string line_;
    bool lineTooLong_ = false;
    uint8_t pendingEnd_ = 0;  // a line end waiting for its partner
    SimTimer pairTimer_;
    SimTimer rebootTimer_;
    std::string loginUser_;
    std::string oldPassword_;
    std::string newPassword_;
    int reboots_ = 0;

    // Count and data messages of the two-message sends.
    int channelsExpected_ = -1;  // records announced by the count message
    int groupsExpected_ = -1;
    int badHeadersSent_ = 0;
};

}  // namespace quillon::sim
