#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "link/LinkContext.h"
#include "link/LinkInterface.h"

namespace quillon {

// The one serial line to the transceiver: opens a numbered COM port at
// 9600 8N1, starts the application's 50 ms timer, writes bytes, and keeps
// the small receive ring that the block engine reads in binary mode.
class CCommPort : public CLinkInterface {
  public:
    static constexpr int kRingRows = 2;
    static constexpr int kRingCols = 259;
    static constexpr int kTimerId = 1;

    // Opens COM<portNumber>. The baud rate is accepted and not applied.
    CCommPort(const LinkContext& ctx, int portNumber, int baudRate);
    ~CCommPort() override;
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    int initialise() override { return openFlag_ != 0 ? 1 : 0; }
    int StartExchange() override { return 0; }
    int FinishMessage() override { return 0; }
    int WaitReplyEnd() override { return 0; }
    int ResetBci() override { return 0; }
    int ReceiveBytes(int, uint8_t*) override { return 0; }
    int SendBytes(int, const uint8_t*) override { return 0; }
    int Unused() override { return 0; }

    int IsOpen() const { return openFlag_ != 0 ? 1 : 0; }
    // The port was opened and its device still has the line: false once an
    // adapter was pulled or the far end hung up.
    bool LineUp() const { return openFlag_ != 0 && handle_ && handle_->IsOpen(); }
    // The open device; the engine reads the line through it directly.
    SerialDevice* Handle() const { return handle_.get(); }
    int LineRate() const { return lineRate_; }
    int TimerPeriod() const { return timerPeriod_; }
    uint32_t LastWriteError() const { return lastWriteError_; }

    void WriteBytes(const uint8_t* buffer, int count);
    // Room left in the receive ring, in bytes.
    int RingFree() const;
    void RingPut(int count, const uint8_t* bytes);
    int RingGet(int max, uint8_t* destination);
    static void StepPosition(int n, int& row, int& column, int columns, int rows);

    // The one primitive of every text-mode exchange: purge what was
    // received, write the command, sleep 100 ms, collect the reply until it
    // is complete or the time-out (whole seconds) expires, and unless
    // keepEcho is set strip as many characters as the command has. A reply
    // of nothing but EOTs is acknowledged and the command sent once more.
    std::string SendText(const std::string& command, int timeoutSeconds, bool keepEcho,
                         const std::string& expected);
    // The same for a command that carries a secret (a password, a key): the
    // card echoes it, and the communication log shows every occurrence of
    // the secret in the reply as "*" instead.
    std::string SendSecretText(const std::string& command, const std::string& secret,
                               int timeoutSeconds, bool keepEcho);
    // Collects a reply; returns the number of bytes received.
    int ReceiveText(std::string& reply, int timeoutSeconds, const std::string& command,
                    const std::string& expected);
    // A reply wait is running on this object. It dispatches messages, and
    // the object must outlive it: the application does not delete a link
    // object while this holds.
    bool InReplyWait() const { return replyWaits_ > 0; }
    // A text command answered with nothing but EOT (and NAK) bytes: the
    // card is still in binary mode, waiting for the ACK of its last EOT.
    static bool IsUnacknowledgedEot(const std::string& reply);
    // The text after the first ">" (all of it when there is none).
    static std::string TextAfterPrompt(const std::string& text);

    // A reply wait keeps at most this much of what arrives: a card that
    // never stops talking cannot make the program allocate without bound.
    static constexpr size_t kMaxReply = 65536;
    // Milliseconds between two polls of a reply wait.
    static constexpr uint32_t kPollIntervalMs = 2;
    // A complete reply is taken as ended only after this long without a new
    // byte. USB serial adapters hand received bytes over in bursts (the
    // common FTDI chips every 16 ms), and a modem link adds latency, so a
    // reply can pause well past one poll in its middle; cutting it there
    // would make a good card look broken.
    static constexpr uint32_t kReplyQuietMs = 25;

    // Ring positions, for the engine's reset and for tests.
    int RingWriteRow() const { return ringWriteRow_; }
    int RingWriteColumn() const { return ringWriteCol_; }
    int RingReadRow() const { return ringReadRow_; }
    int RingReadColumn() const { return ringReadCol_; }

  protected:
    void ClearRing() { ringWriteRow_ = ringWriteCol_ = ringReadRow_ = ringReadCol_ = 0; }
    const LinkContext& Context() const { return ctx_; }
    LogSink& Log() const { return *ctx_.log; }
    void SetLastWriteError(uint32_t e) { lastWriteError_ = e; }

    // The receive ring is protected so the engine can move its read position
    // back when it returns bytes after a SOH.
    int ringWriteRow_ = 0;
    int ringWriteCol_ = 0;
    int ringReadRow_ = 0;
    int ringReadCol_ = 0;
    std::array<std::array<uint8_t, kRingCols>, kRingRows> ring_{};

  private:
    // Set while a command with a secret waits for its reply.
    std::string logSecret_;
    // Marks a reply wait for as long as it runs, however it ends.
    class ReplyWaitScope {
      public:
        explicit ReplyWaitScope(int& depth) : depth_(depth) { ++depth_; }
        ~ReplyWaitScope() { --depth_; }
        ReplyWaitScope(const ReplyWaitScope&) = delete;
        ReplyWaitScope& operator=(const ReplyWaitScope&) = delete;

      private:
        int& depth_;
    };

    LinkContext ctx_;
    NullLog nullLog_;
    int openFlag_ = 0;
    int lineRate_ = 0;
    std::unique_ptr<SerialDevice> handle_;
    int timerPeriod_ = 0;
    uint32_t lastWriteError_ = 0;
    int replyWaits_ = 0;
};

}  // namespace quillon
