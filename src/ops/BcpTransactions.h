#pragma once
// The command layer's transactions: the step function of every binary
// transaction code, the reset exchange that opens most of them, and the
// hand-overs that chain a Send (4, 13, 9, 10) and a Get (5, 12, 8, 10).
// The driver calls Run once per message while a code is set; every call
// goes as far as the link lets it and returns.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "bci/ChannelTransfer.h"
#include "bci/GroupTransfer.h"
#include "core/Prompts.h"
#include "ops/BcpExchange.h"

namespace quillon {

class CTmpApp;
namespace model {
class CTmpDoc;
}

class BcpTransactions {
  public:
    // The reset request goes out at most this many times.
    static constexpr int kResetAttempts = 9;
    // The reply to a table send: 512 three-byte answers, 84 to a block.
    static constexpr int kSendReplyBlocks = 7;

    explicit BcpTransactions(CTmpApp& app) : app_(app) {}

    // One step of transaction `code`.
    void Run(int code);
    // Forgets the running transaction: steps, started flags, buffers.
    void Reset();
    // The reset exchange: 0 running, 1 done, 2 failed (already reported).
    int InitBinary();

    int TransactionStep() const { return step_; }

  private:
    void SendChannels();
    void GetChannels();
    void GetGroupsEach();
    void SendGroupsEach();
    void GetGroupsAll();
    void SendGroupsAll();
    void GetTones();
    void SendTones();
    void ExitBinary();

    // The set-up of a first call: the reset exchange where one is due, then
    // `started` is set. False while the reset still runs or after it failed.
    bool FirstCall(bool& started, bool withReset);
    model::CTmpDoc* DocumentOrFail();
    // A link operation failed or a reply was not the one asked for.
    void LinkFailed();
    void Abort(const char* text, Icon icon);
    void ChannelDataRefused(bci::ChannelDataFault fault);
    // Ends a transaction started on its own with its message.
    void EndWith(const char* text, Icon icon);
    void HandOver(int code);
    // A single-block exchange stepped to its end; false while it runs or
    // after a failure has been reported.
    bool StepExchange(const std::function<void()>& onSent = {});
    // A count message, then a data message of as many blocks as `fillBlock`
    // makes (into block_ and blockLength_) until `done`, then `replyBlocks`
    // reply blocks into reply_ and the reply's end. `onDataSent` runs once
    // the data message is out. True when the reply has ended; false while it
    // runs or after a failure has been reported.
    struct DataSend {
        const uint8_t* count;
        size_t countLength;
        std::function<void()> fillBlock;
        std::function<bool()> done;
        std::function<void()> onDataSent;
        int replyBlocks;
    };
    bool StepDataSend(const DataSend& send);
    // After a multi-block reply has been read to its end: takes and drops
    // whatever the card still sends, so the engine can reach its EOT.
    int WaitReplyEndDraining();
    void PauseWithoutMessages(int ms);

    CTmpApp& app_;
    int step_ = 1;
    int initStep_ = 1;
    int retries_ = 0;
    bool startedExit_ = false;
    bool startedSendChannels_ = false;
    bool startedGetChannels_ = false;
    bool startedSquelchGet_ = false;
    bool startedSquelchSend_ = false;
    bool startedToneGet_ = false;
    bool startedToneSend_ = false;

    BcpExchange exchange_;
    int counter_ = 0;  // groups done, or reply blocks taken
    bci::BlockBuffer block_{};
    size_t blockLength_ = 0;
    bci::BlockBuffer reply_{};
    bci::BlockBuffer scratch_{};
    std::optional<bci::ChannelStreamWriter> channelWriter_;
    std::optional<bci::ChannelReplyReader> channelReader_;
    std::optional<bci::GroupStreamWriter> groupWriter_;
    std::optional<bci::GroupReplyReader> groupReader_;
};

}  // namespace quillon
