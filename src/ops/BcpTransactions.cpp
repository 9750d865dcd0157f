#include "ops/BcpTransactions.h"

#include <algorithm>
#include <string>

#include "bci/CBciLink.h"
#include "bci/Messages.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"
#include "ops/TextSession.h"

namespace quillon {

namespace {

constexpr uint8_t kCodeGetChannels = 0x05;
constexpr uint8_t kCodeGetGroup = 0x07;
constexpr uint8_t kCodeSendGroup = 0x08;
constexpr uint8_t kCodeGetTones = 0x09;
constexpr uint8_t kCodeSendTones = 0x0A;
constexpr uint8_t kCodeLeaveBinary = 0x0B;
constexpr uint8_t kCodeReset = 0x99;

constexpr int kBlock = static_cast<int>(bci::kBlockBytes);
constexpr float kFull = 100.0f;
constexpr float kChannelStep = kFull / bci::kTableChannels;
constexpr float kGroupStep = kFull / bci::kGroupCount;
// The tone list is one exchange: half the bar once the request is out.
constexpr float kToneStep = kFull / 2;
// The rest a Get gives the card after the last record before it waits for
// the reply's end.
constexpr int kAfterTableMs = 500;

// The outcome of one link operation inside a transaction step.
enum : int { kRunning = 0, kOk = 1 };

}  // namespace

void BcpTransactions::Run(int code) {
    if (app_.Link() == nullptr) {
        return;
    }
    switch (code) {
        case 1:
        case 2:
        case 3:
            step_ = 1;
            return;
        case bintxn::kSendChannels:
            SendChannels();
            return;
        case bintxn::kGetChannels:
            GetChannels();
            return;
        case bintxn::kGetSquelchEach:
            GetGroupsEach();
            return;
        case bintxn::kSendSquelchEach:
            SendGroupsEach();
            return;
        case bintxn::kGetToneRemote:
            GetTones();
            return;
        case bintxn::kSendToneRemote:
            SendTones();
            return;
        case bintxn::kExitBinary:
            ExitBinary();
            return;
        case bintxn::kGetSquelchAll:
            GetGroupsAll();
            return;
        case bintxn::kSendSquelchAll:
            SendGroupsAll();
            return;
        default:
            return;
    }
}

void BcpTransactions::Reset() {
    step_ = 1;
    initStep_ = 1;
    retries_ = 0;
    startedExit_ = false;
    startedSendChannels_ = false;
    startedGetChannels_ = false;
    startedSquelchGet_ = false;
    startedSquelchSend_ = false;
    startedToneGet_ = false;
    startedToneSend_ = false;
    exchange_.Clear();
    counter_ = 0;
    channelWriter_.reset();
    channelReader_.reset();
    groupWriter_.reset();
    groupReader_.reset();
}

// --- shared pieces -------------------------------------------------------------

int BcpTransactions::InitBinary() {
    ProgressSink& p = app_.Progress();
    if (initStep_ == 1) {
        p.Show();
        p.SetTitle(msg::kTitleBinaryMode);
        p.SetText(msg::kTextInitBinary);
        retries_ = 0;
        initStep_ = 2;
    }
    if (initStep_ == 2) {
        p.Show();
        p.SetTitle(msg::kTitleBinaryMode);
        const uint8_t request[] = {bci::kRequestTag, kCodeReset};
        exchange_.Begin(request, sizeof request, kCodeReset);
        initStep_ = 3;
    }
    switch (exchange_.Step(*app_.Link(), [&p] { p.SetBar(kFull); })) {
        case BcpExchange::Result::Running:
            return 0;
        case BcpExchange::Result::LinkFailed:
            LinkFailed();
            return 2;
        case BcpExchange::Result::Done:
            initStep_ = 1;
            app_.Log().Write(bcimsg::kLogResetValid);
            app_.Link()->LogCounters();
            return 1;
        case BcpExchange::Result::WrongReply:
            break;
    }
    if (retries_ >= kResetAttempts - 1) {
        Abort(bcimsg::kNotResetting, Icon::Exclamation);
        return 2;
    }
    ++retries_;
    p.SetText(bcimsg::kTextRetry + std::to_string(retries_));
    initStep_ = 2;
    return 0;
}

model::CTmpDoc* BcpTransactions::DocumentOrFail() {
    model::CTmpDoc* doc = app_.Document();
    if (doc == nullptr) {
        Abort(bcimsg::kNoDocument, Icon::Exclamation);
    }
    return doc;
}

void BcpTransactions::LinkFailed() {
    Abort(msg::kCommsError, Icon::Exclamation);
}

void BcpTransactions::Abort(const char* text, Icon icon) {
    app_.GetPrompts().MessageBox(text, icon);
    app_.AbortProcedures();
}

void BcpTransactions::EndWith(const char* text, Icon icon) {
    app_.EndTransaction();
    app_.GetPrompts().MessageBox(text, icon);
}

void BcpTransactions::HandOver(int code) {
    app_.binaryTransaction = code;
    step_ = 1;
}

bool BcpTransactions::StepExchange(const std::function<void()>& onSent) {
    switch (exchange_.Step(*app_.Link(), onSent)) {
        case BcpExchange::Result::Running:
            return false;
        case BcpExchange::Result::Done:
            return true;
        default:
            LinkFailed();
            return false;
    }
}

bool BcpTransactions::StepDataSend(const DataSend& send) {
    CBciLink& link = *app_.Link();
    for (;;) {
        int r = kOk;
        switch (step_) {
            case 1:
                link.StartExchange();
                step_ = 2;
                continue;
            case 2:
                r = link.SendBytes(static_cast<int>(send.countLength), send.count);
                break;
            case 3:
                r = link.FinishMessage();
                break;
            case 4:
                send.fillBlock();
                step_ = 5;
                continue;
            case 5:
                r = link.SendBytes(static_cast<int>(blockLength_), block_.data());
                break;
            case 6:
                // Straight after the last block is queued, in the same call:
                // the padding must be in the ring before that block's ACK
                // lets the engine send the EOT.
                r = link.FinishMessage();
                break;
            case 7:
                r = link.ReceiveBytes(kBlock, reply_.data());
                break;
            default:
                r = link.WaitReplyEnd();
                break;
        }
        if (r == kRunning) {
            return false;
        }
        if (r != kOk) {
            LinkFailed();
            return false;
        }
        switch (step_) {
            case 5:
                step_ = send.done() ? 6 : 4;
                break;
            case 6:
                if (send.onDataSent) {
                    send.onDataSent();
                }
                counter_ = 0;
                step_ = 7;
                break;
            case 7:
                if (++counter_ >= send.replyBlocks) {
                    step_ = 8;
                }
                break;
            case 8:
                return true;
            default:
                ++step_;
                break;
        }
    }
}

int BcpTransactions::WaitReplyEndDraining() {
    CBciLink& link = *app_.Link();
    const int r = link.WaitReplyEnd();
    const int pending = link.RxPendingBytes();
    if (r == kRunning && pending > 0) {
        link.ReceiveBytes(std::min(pending, kBlock), scratch_.data());
    }
    return r;
}

void BcpTransactions::PauseWithoutMessages(int ms) {
    Clock& clock = app_.GetClock();
    const int64_t start = clock.ProcessClockMs();
    for (;;) {
        const int64_t waited = clock.ProcessClockMs() - start;
        if (waited >= ms || waited < 0) {
            return;
        }
        clock.SleepMs(static_cast<uint32_t>(ms - waited));
    }
}

void BcpTransactions::ChannelDataRefused(bci::ChannelDataFault fault) {
    switch (fault) {
        case bci::ChannelDataFault::BadKind:
            app_.GetPrompts().Beep();
            break;
        case bci::ChannelDataFault::BadScanCount:
            app_.Log().Write(bcimsg::kLogBadScanCount);
            app_.Link()->LogCounters();
            break;
        default:
            app_.Log().Write(bcimsg::kLogBadChannelNumber);
            app_.Link()->LogCounters();
            break;
    }
    Abort(bcimsg::kChannelDataError, Icon::Exclamation);
}

// --- code 4: send the channel table ----------------------------------------------

void BcpTransactions::SendChannels() {
    ProgressSink& p = app_.Progress();
    if (!startedSendChannels_) {
        model::CTmpDoc* doc = DocumentOrFail();
        if (doc == nullptr || InitBinary() != 1) {
            return;
        }
        startedSendChannels_ = true;
        app_.tableWritten = 1;
        channelWriter_.emplace(doc->channels);
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
        p.Show();
        p.SetTitle(bcimsg::kTitleSendChannels);
        p.SetText(bcimsg::kTextWritingChannels);
        p.ResetBar();
    }
    const DataSend send{bci::kChannelCountMessage.data(), bci::kChannelCountMessage.size(),
                        [this, &p] {
                            int last = -1;
                            blockLength_ = channelWriter_->NextBlock(block_, [&](int slot) {
                                last = slot;
                                p.AdvanceBar(kChannelStep);
                            });
                            if (last >= 0) {
                                p.SetText(bcimsg::kTextSendingChannel + std::to_string(last));
                            }
                        },
                        [this] { return channelWriter_->Done(); },
                        [&p] { p.SetText(bcimsg::kTextVerifying); },
                        // The card's answer is not looked at, only taken.
                        kSendReplyBlocks};
    if (StepDataSend(send)) {
        HandOver(bintxn::kSendSquelchAll);
    }
}

// --- code 5: get the channel table -------------------------------------------------

void BcpTransactions::GetChannels() {
    if (!startedGetChannels_) {
        model::CTmpDoc* doc = DocumentOrFail();
        if (doc == nullptr || InitBinary() != 1) {
            return;
        }
        startedGetChannels_ = true;
        app_.tableRead = 1;
        channelReader_.emplace(doc->channels);
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    CBciLink& link = *app_.Link();
    ProgressSink& p = app_.Progress();
    const uint8_t request[] = {bci::kRequestTag, kCodeGetChannels};
    for (;;) {
        int r = kOk;
        switch (step_) {
            case 1:
                p.Show();
                p.SetTitle(bcimsg::kTitleGetChannels);
                p.SetText(bcimsg::kTextReadingChannels);
                p.ResetBar();
                link.StartExchange();
                step_ = 2;
                continue;
            case 2:
                r = link.SendBytes(sizeof request, request);
                break;
            case 3:
                r = link.FinishMessage();
                break;
            case 4:
                r = link.ReceiveBytes(kBlock, reply_.data());
                break;
            default:
                r = WaitReplyEndDraining();
                break;
        }
        if (r == kRunning) {
            return;
        }
        if (r != kOk) {
            LinkFailed();
            return;
        }
        if (step_ == 5) {
            HandOver(bintxn::kGetSquelchAll);
            return;
        }
        if (step_ != 4) {
            ++step_;
            continue;
        }
        const auto status = channelReader_->TakeBlock(reply_.data(), [&p](int stored) {
            p.SetText(bcimsg::kTextChannelsReceived + std::to_string(stored));
            p.AdvanceBar(kChannelStep);
        });
        if (status == bci::ChannelReplyReader::Status::Refused) {
            ChannelDataRefused(channelReader_->Fault());
            return;
        }
        if (status == bci::ChannelReplyReader::Status::NeedMore) {
            continue;
        }
        app_.SetInBlockingWait(1);
        app_.Pump().DispatchPending();
        app_.SetInBlockingWait(0);
        // A Cancel handled meanwhile has ended the transaction.
        if (app_.binaryTransaction != bintxn::kGetChannels || !startedGetChannels_) {
            return;
        }
        PauseWithoutMessages(kAfterTableMs);
        step_ = 5;
    }
}

// --- codes 6 and 12: get the squelch groups ----------------------------------------

void BcpTransactions::GetGroupsEach() {
    model::CTmpDoc* doc = DocumentOrFail();
    if (doc == nullptr) {
        return;
    }
    ProgressSink& p = app_.Progress();
    if (!startedSquelchGet_) {
        if (InitBinary() != 1) {
            return;
        }
        startedSquelchGet_ = true;
        counter_ = 0;
        p.Show();
        p.SetTitle(bcimsg::kTitleSquelchGroups);
        p.SetText(bcimsg::kTextReadingGroups);
        p.ResetBar();
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    for (;;) {
        if (step_ == 1) {
            const uint8_t request[] = {bci::kRequestTag, kCodeGetGroup,
                                       static_cast<uint8_t>(counter_ + 1)};
            exchange_.Begin(request, sizeof request, kCodeGetGroup);
            step_ = 2;
        }
        if (!StepExchange()) {
            return;
        }
        bci::DecodeGroup(exchange_.Reply().data() + bci::kHeaderBytes, doc->squelchGroups,
                         app_.Log());
        p.AdvanceBar(kGroupStep);
        step_ = 1;
        if (++counter_ >= bci::kGroupCount) {
            break;
        }
    }
    if (app_.tableRead != 0) {
        startedSquelchGet_ = false;
        HandOver(bintxn::kGetToneRemote);
        return;
    }
    EndWith(bcimsg::kGroupsReceived, Icon::Exclamation);
}

void BcpTransactions::GetGroupsAll() {
    model::CTmpDoc* doc = DocumentOrFail();
    if (doc == nullptr) {
        return;
    }
    ProgressSink& p = app_.Progress();
    if (!startedSquelchGet_) {
        startedSquelchGet_ = true;
        counter_ = 0;
        groupReader_.emplace(doc->squelchGroups, app_.Log());
        const auto request = bci::GetGroupsRequest();
        std::copy(request.begin(), request.end(), block_.begin());
        blockLength_ = request.size();
        p.Show();
        p.SetTitle(bcimsg::kTitleSquelchGroups);
        p.SetText(bcimsg::kTextReadingGroups);
        p.ResetBar();
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    CBciLink& link = *app_.Link();
    for (;;) {
        int r = kOk;
        switch (step_) {
            case 1:
                link.StartExchange();
                step_ = 2;
                continue;
            case 2:
                r = link.SendBytes(static_cast<int>(blockLength_), block_.data());
                break;
            case 3:
                r = link.FinishMessage();
                break;
            case 4:
                r = link.ReceiveBytes(kBlock, reply_.data());
                break;
            default:
                r = WaitReplyEndDraining();
                break;
        }
        if (r == kRunning) {
            return;
        }
        if (r != kOk) {
            LinkFailed();
            return;
        }
        if (step_ == 5) {
            break;
        }
        if (step_ != 4) {
            ++step_;
            continue;
        }
        if (reply_[0] != bci::kReplyTag || reply_[1] != bci::kCodeGetGroups) {
            LinkFailed();
            return;
        }
        if (groupReader_->TakeBlock(reply_.data(), [&p](int) { p.AdvanceBar(kGroupStep); })) {
            step_ = 5;
        }
    }
    if (app_.tableRead != 0) {
        startedSquelchGet_ = false;
        HandOver(bintxn::kGetToneRemote);
        return;
    }
    EndWith(bcimsg::kGroupsReceived, Icon::Exclamation);
}

// --- codes 7 and 13: send the squelch groups ---------------------------------------

void BcpTransactions::SendGroupsEach() {
    model::CTmpDoc* doc = DocumentOrFail();
    if (doc == nullptr) {
        return;
    }
    ProgressSink& p = app_.Progress();
    if (!startedSquelchSend_) {
        if (InitBinary() != 1) {
            return;
        }
        startedSquelchSend_ = true;
        counter_ = 0;
        p.Show();
        p.SetTitle(bcimsg::kTitleSquelchGroups);
        p.SetText(bcimsg::kTextWritingGroups);
        p.ResetBar();
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    for (;;) {
        if (step_ == 1) {
            block_.fill(0);
            block_[0] = bci::kRequestTag;
            block_[1] = kCodeSendGroup;
            const bci::GroupRecord record =
                bci::EncodeGroup(doc->squelchGroups, counter_, app_.Log());
            std::copy(record.begin(), record.end(), block_.begin() + bci::kHeaderBytes);
            exchange_.Begin(block_.data(), block_.size(), kCodeSendGroup);
            step_ = 2;
        }
        if (!StepExchange()) {
            return;
        }
        p.AdvanceBar(kGroupStep);
        step_ = 1;
        if (++counter_ >= bci::kGroupCount) {
            break;
        }
    }
    if (app_.tableWritten != 0) {
        HandOver(bintxn::kSendToneRemote);
        return;
    }
    EndWith(bcimsg::kGroupsProgrammed, Icon::Exclamation);
}

void BcpTransactions::SendGroupsAll() {
    model::CTmpDoc* doc = DocumentOrFail();
    if (doc == nullptr) {
        return;
    }
    ProgressSink& p = app_.Progress();
    if (!startedSquelchSend_) {
        startedSquelchSend_ = true;
        groupWriter_.emplace(doc->squelchGroups, app_.Log());
        p.Show();
        p.SetTitle(bcimsg::kTitleSquelchGroups);
        p.SetText(bcimsg::kTextWritingGroups);
        p.ResetBar();
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    const DataSend send{bci::kGroupCountMessage.data(),
                        bci::kGroupCountMessage.size(),
                        [this, &p] {
                            blockLength_ = groupWriter_->NextBlock(
                                block_, [&p](int) { p.AdvanceBar(kGroupStep); });
                        },
                        [this] { return groupWriter_->Done(); },
                        {},
                        1};
    if (!StepDataSend(send)) {
        return;
    }
    if (reply_[0] != bci::kReplyTag || reply_[1] != bci::kCodeSendGroups) {
        LinkFailed();
        return;
    }
    if (app_.tableWritten != 0) {
        HandOver(bintxn::kSendToneRemote);
        return;
    }
    EndWith(bcimsg::kGroupsProgrammed, Icon::Exclamation);
}

// --- codes 8 and 9: the tone remote list -------------------------------------------

void BcpTransactions::GetTones() {
    model::CTmpDoc* doc = DocumentOrFail();
    if (doc == nullptr) {
        return;
    }
    ProgressSink& p = app_.Progress();
    if (!startedToneGet_) {
        startedToneGet_ = true;
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    if (step_ == 1) {
        p.Show();
        p.SetTitle(bcimsg::kTitleToneRemote);
        p.SetText(bcimsg::kTextGettingTones);
        p.ResetBar();
        const uint8_t request[] = {bci::kRequestTag, kCodeGetTones};
        exchange_.Begin(request, sizeof request, kCodeGetTones);
        step_ = 2;
    }
    if (!StepExchange([&p] { p.AdvanceBar(kToneStep); })) {
        return;
    }
    bci::UnpackToneList(exchange_.Reply().data() + bci::kHeaderBytes, doc->toneRemote, app_.Log());
    app_.SetBinaryResult(binresult::kDone);
    if (app_.tableRead != 0) {
        HandOver(bintxn::kExitBinary);
        return;
    }
    EndWith(bcimsg::kTonesReceived, Icon::Information);
}

void BcpTransactions::SendTones() {
    model::CTmpDoc* doc = DocumentOrFail();
    if (doc == nullptr) {
        return;
    }
    ProgressSink& p = app_.Progress();
    if (!startedToneSend_) {
        startedToneSend_ = true;
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    if (step_ == 1) {
        p.Show();
        p.SetTitle(bcimsg::kTitleToneRemote);
        p.SetText(bcimsg::kTextSendingTones);
        p.ResetBar();
        block_.fill(0);
        block_[0] = bci::kRequestTag;
        block_[1] = kCodeSendTones;
        const bci::ToneList list = bci::PackToneList(doc->toneRemote);
        std::copy(list.begin(), list.end(), block_.begin() + bci::kHeaderBytes);
        exchange_.Begin(block_.data(), block_.size(), kCodeSendTones);
        step_ = 2;
    }
    if (!StepExchange([&p] { p.AdvanceBar(kToneStep); })) {
        return;
    }
    app_.SetBinaryResult(binresult::kDone);
    if (app_.tableWritten != 0) {
        HandOver(bintxn::kExitBinary);
        return;
    }
    EndWith(bcimsg::kTonesProgrammed, Icon::Exclamation);
}

// --- code 10: leave binary mode ------------------------------------------------------

void BcpTransactions::ExitBinary() {
    const bool inChain = app_.tableWritten != 0 || app_.tableRead != 0;
    if (!startedExit_) {
        if (!inChain && InitBinary() != 1) {
            return;
        }
        startedExit_ = true;
        app_.SetBinaryResult(binresult::kRunning);
        step_ = 1;
    }
    ProgressSink& p = app_.Progress();
    if (step_ == 1) {
        if (!inChain && app_.binaryPending == 0 && app_.textPending == 0) {
            p.Show();
        }
        p.SetTitle(bcimsg::kTitleExitBinary);
        p.SetText(bcimsg::kTextExitingBinary);
        const uint8_t request[] = {bci::kRequestTag, kCodeLeaveBinary};
        exchange_.Begin(request, sizeof request, kCodeLeaveBinary);
        step_ = 2;
    }
    switch (exchange_.Step(*app_.Link(), [&p] { p.SetBar(kFull); })) {
        case BcpExchange::Result::Running:
            return;
        case BcpExchange::Result::LinkFailed:
            LinkFailed();
            return;
        case BcpExchange::Result::WrongReply:
            Abort(app_.textProcedure == textproc::kLogin ? bcimsg::kNoLoginPrompt
                                                         : bcimsg::kNotResetting,
                  Icon::Exclamation);
            return;
        case BcpExchange::Result::Done:
            break;
    }
    app_.SetTextMode();
    app_.SetBinaryResult(binresult::kDone);
    if (app_.compatibility != compat::kCompatible) {
        CheckCompatibility(app_);
        // The check talks to the card and may have ended everything.
        if (app_.binaryTransaction != bintxn::kExitBinary || !startedExit_) {
            return;
        }
    }
    if (app_.tableWritten != 0) {
        app_.textProcedure = textproc::kKeyUpload;
        app_.EndTransaction();
    } else if (app_.tableRead != 0) {
        app_.textProcedure = textproc::kParameterRead;
        app_.EndTransaction();
    } else {
        app_.EndTransaction();
        if (app_.textProcedure == textproc::kLogin) {
            app_.loginStep = loginstep::kDetect;
        }
        if (app_.binaryPending == 0 && app_.textPending == 0) {
            app_.GetPrompts().MessageBox(bcimsg::kNowTextMode, Icon::Information);
        }
    }
}

}  // namespace quillon
