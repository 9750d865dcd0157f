#include "ops/CTmpApp.h"

#include <cstdio>

#include "link/BaudTable.h"
#include "model/CTmpDoc.h"
#include "model/ChannelTableController.h"
#include "ops/BcpTransactions.h"
#include "ops/Messages.h"
#include "ops/ModemProcedures.h"
#include "ops/ProcedureCodes.h"
#include "ops/RadioParameters.h"
#include "ops/Settings.h"
#include "ops/TextProcedures.h"
#include "ops/TextSession.h"

namespace quillon {

CTmpApp::CTmpApp(const Deps& deps)
    : deps_(deps), transactions_(std::make_unique<BcpTransactions>(*this)) {
    linkContext_.devices = &deps_.devices;
    linkContext_.clock = &deps_.clock;
    linkContext_.pump = &deps_.pump;
    linkContext_.log = &deps_.log;
    linkContext_.session = this;
    modemInit = settings::kDefaultInit;
    modemDial = settings::kDefaultDial;
    modemHangup = settings::kDefaultHangup;
    modemPhone = settings::kDefaultPhone;
}

CTmpApp::~CTmpApp() {
    Terminate();
}

// --- lifecycle -------------------------------------------------------------

bool CTmpApp::InitInstance() {
    SettingsStore& s = deps_.settings;
    comPortIndex = s.GetInt(settings::kGeneral, settings::kComPort, settings::kDefaultComPort);
    baudIndex = s.GetInt(settings::kGeneral, settings::kBaudRate, settings::kDefaultBaud);
    modemInit = s.GetString(settings::kModem, settings::kInit, settings::kDefaultInit);
    modemDial = s.GetString(settings::kModem, settings::kDial, settings::kDefaultDial);
    modemHangup = s.GetString(settings::kModem, settings::kHangup, settings::kDefaultHangup);
    modemPhone = s.GetString(settings::kModem, settings::kPhone, settings::kDefaultPhone);

    // A port released at the last exit stays closed until a command needs it.
    if (s.GetInt(settings::kGeneral, settings::kRelease, settings::kDefaultRelease) != 0) {
        return true;
    }
    inBlockingWait = 0;
    if (comPortIndex == settings::kNoComPort) {
        return true;
    }
    // Start-up stays silent when the stored port does not open.
    link_ = CreateLink(comPortIndex + 1, BaudForIndex(baudIndex));
    return true;
}

void CTmpApp::ExitInstance() {
    SettingsStore& s = deps_.settings;
    s.SetInt(settings::kGeneral, settings::kRelease, link_ ? 0 : 1);
    s.SetInt(settings::kGeneral, settings::kComPort, comPortIndex);
    s.SetInt(settings::kGeneral, settings::kBaudRate, baudIndex);
    s.SetString(settings::kModem, settings::kInit, modemInit);
    s.SetString(settings::kModem, settings::kDial, modemDial);
    s.SetString(settings::kModem, settings::kHangup, modemHangup);
    s.SetString(settings::kModem, settings::kPhone, modemPhone);
    s.Flush();
}

void CTmpApp::Terminate() {
    if (terminated_) {
        return;
    }
    terminated_ = true;
    if (binaryMode == 1) {
        deps_.prompts.MessageBox(msg::kLeftInBinary, Icon::Exclamation);
    }
    link_.reset();
}

// --- ports -----------------------------------------------------------------

std::unique_ptr<CBciLink> CTmpApp::CreateLink(int portNumber, int baudRate) {
    auto link = std::make_unique<CBciLink>(linkContext_, portNumber, baudRate);
    if (link->initialise() == 0) {
        return nullptr;
    }
    link->SetObserver(bciObserver_);
    return link;
}

int CTmpApp::EnsurePort() {
    if (link_ && !link_->LineUp() && !Busy()) {
        // The line went away under an earlier command: the next one starts
        // on a freshly opened port instead of a dead one.
        link_.reset();
    }
    if (link_) {
        return 1;
    }
    inBlockingWait = 0;
    link_ = CreateLink(comPortIndex + 1, 9600);
    return link_ ? 1 : 0;
}

bool CTmpApp::Busy() const {
    return inBlockingWait != 0 || textProcedure != textproc::kNone ||
           binaryTransaction != bintxn::kNone || (link_ && link_->InReplyWait());
}

bool CTmpApp::TransceiverCommandBusy() const {
    return Busy() || pendingBinary != bintxn::kNone || pendingText != textproc::kNone ||
           binaryPending != 0 || textPending != 0 || chainState != chain::kWaitLogin;
}

bool CTmpApp::ClosePort() {
    if (Busy()) {
        deps_.prompts.Beep();
        return false;
    }
    link_.reset();
    return true;
}

bool CTmpApp::ReplacePort(std::unique_ptr<CBciLink> link) {
    if (Busy()) {
        deps_.prompts.Beep();
        return false;
    }
    link_.reset();
    link_ = std::move(link);
    return true;
}

// --- driver operations -------------------------------------------------------

void CTmpApp::EndTextProcedure() {
    loginStep = loginstep::kDetect;
    textProcedure = textproc::kNone;
    deps_.progress.Hide();
}

void CTmpApp::EndTransaction() {
    if (pendingBinary == binaryTransaction) {
        pendingBinary = bintxn::kNone;
    }
    binaryTransaction = bintxn::kNone;
    ResetTransactionState();
    if (link_) {
        link_->ResetBci();
    }
    if (binaryResult != binresult::kDone) {
        compatibility = compat::kUnchecked;
    }
    if (tableWritten == 0 && tableRead == 0) {
        deps_.progress.Hide();
    }
}

void CTmpApp::AbortProcedures() {
    textPending = 0;
    pendingText = 0;
    EndTextProcedure();
    binaryPending = 0;
    pendingBinary = 0;
    EndTransaction();
    chainState = chain::kWaitLogin;
    tableRead = 0;
    tableWritten = 0;
    // An exchange of the parameters alone ends with its procedures.
    parameterExchange.alone = false;
}

void CTmpApp::ResetSession() {
    promptReady = 0;
    SetTextMode();
    SetSessionState(session::kDetecting);
    cancelPressed = 0;
}

void CTmpApp::SetBinaryMode() {
    if (!link_) {
        return;
    }
    binaryMode = 1;
    deps_.log.Write(msg::kLogBinaryMode);
}

void CTmpApp::SetTextMode() {
    binaryMode = 0;
    deps_.log.Write(msg::kLogTextMode);
}

void CTmpApp::CancelProcedures() {
    cancelPressed = 1;
    deps_.log.Write(msg::kLogCancel);
    if (textProcedure == textproc::kModemDial && link_) {
        // Any character interrupts a dialling modem; the hang-up text goes out
        // as stored, without a line end.
        link_->SendText(modemHangup, 3, false, "");
    }
    AbortProcedures();
    SetBinaryResult(binresult::kCancelled);
    SetSessionState(session::kCancelled);
}

void CTmpApp::Pause() {
    inBlockingWait = 1;
    deps_.pump.DispatchPending();
    inBlockingWait = 0;
    // Messages that arrive meanwhile are handled afterwards.
    const int64_t start = deps_.clock.ProcessClockMs();
    for (;;) {
        const int64_t waited = deps_.clock.ProcessClockMs() - start;
        if (waited >= 1000 || waited < 0) {
            break;
        }
        deps_.clock.SleepMs(static_cast<uint32_t>(1000 - waited));
    }
}

// --- commands -----------------------------------------------------------------

bool CTmpApp::MayStartTransceiverCommand() {
    EnsurePort();
    if (!link_) {
        deps_.prompts.MessageBox(msg::kSelectPortFirst, Icon::Exclamation);
        return false;
    }
    if (TransceiverCommandBusy()) {
        deps_.prompts.Beep();
        return false;
    }
    parameterExchange = ParameterExchange{};
    lastCommandEnd = CommandEnd::None;
    return true;
}

void CTmpApp::StartBinaryCommand(int code) {
    textProcedure = textproc::kLogin;
    pendingBinary = code;
    binaryPending = 1;
}

void CTmpApp::OnSend() {
    // Nothing of a document that cannot go to the card whole goes at all.
    if (MayStartTransceiverCommand() && CheckBeforeSend(*this)) {
        StartBinaryCommand(bintxn::kSendChannels);
    }
}

void CTmpApp::OnGetSquelchGroups() {
    if (MayStartTransceiverCommand()) {
        StartBinaryCommand(bintxn::kGetSquelchEach);
    }
}

void CTmpApp::OnSendSquelchGroups() {
    if (MayStartTransceiverCommand()) {
        StartBinaryCommand(bintxn::kSendSquelchEach);
    }
}

void CTmpApp::OnGetToneRemote() {
    if (MayStartTransceiverCommand()) {
        StartBinaryCommand(bintxn::kGetToneRemote);
    }
}

void CTmpApp::OnSendToneRemote() {
    if (MayStartTransceiverCommand()) {
        StartBinaryCommand(bintxn::kSendToneRemote);
    }
}

bool CTmpApp::OnGet() {
    if (!MayStartTransceiverCommand()) {
        return false;
    }
    if (document_ != nullptr) {
        model::ChannelTableController table(*document_, deps_.prompts);
        if (!table.PrepareGet()) {
            return false;
        }
    }
    StartBinaryCommand(bintxn::kGetChannels);
    return true;
}

void CTmpApp::OnExitBinaryMode() {
    // A transfer already on the line must not be broken into by the
    // detection's carriage returns.
    if (Busy()) {
        deps_.prompts.Beep();
        return;
    }
    EnsurePort();
    if (!link_) {
        deps_.prompts.MessageBox(msg::kPortNotOpened, Icon::Exclamation);
        return;
    }
    DetectMode(*this);
    if (sessionState != session::kConnected) {
        deps_.progress.Hide();
        return;
    }
    if (binaryMode == 0) {
        // Nothing to do; the detection's window goes with the message.
        deps_.progress.Hide();
        deps_.prompts.MessageBox(msg::kAlreadyTextMode, Icon::Exclamation);
        return;
    }
    deps_.progress.Show();
    deps_.progress.SetTitle(msg::kTitleBinaryMode);
    deps_.progress.SetText(msg::kTextInitBinary);
    deps_.progress.ResetBar();
    binaryTransaction = bintxn::kExitBinary;
    binaryPending = 0;
    tableWritten = 0;
}

void CTmpApp::OnChangePassword() {
    if (!MayStartTransceiverCommand()) {
        return;
    }
    textProcedure = textproc::kLogin;
    pendingText = textproc::kChangePassword;
    textPending = 1;
}

bool CTmpApp::OnDial(const std::string& phone) {
    modemPhone = phone;
    // Without a port the Dial dialog stays open for another try; a dial in
    // the middle of a transfer (which would write AT commands into it) only
    // gets the busy beep.
    EnsurePort();
    const bool hasPort = link_ != nullptr;
    if (MayStartTransceiverCommand()) {
        StartModemProcedure(textproc::kModemDial);
    }
    return hasPort;
}

void CTmpApp::OnHangup() {
    if (MayStartTransceiverCommand()) {
        StartModemProcedure(textproc::kModemHangup);
    }
}

void CTmpApp::StartModemProcedure(int code) {
    textProcedure = code;
    pendingText = 0;
    textPending = 0;
}

// --- stepping ------------------------------------------------------------------

void CTmpApp::RunTextProcedure(int code) {
    switch (code) {
        case textproc::kLogin:
            StepLoginOrConfirm(*this);
            return;
        case textproc::kEnterBinary:
            StepEnterBinary(*this);
            return;
        case textproc::kWriteChannelTable:
            StepWriteChannelTable(*this);
            return;
        case textproc::kKeyUpload:
            StepKeyUpload(*this);
            return;
        case textproc::kParameterRead:
            StepParameterRead(*this);
            return;
        case textproc::kParameterWrite:
            StepParameterWrite(*this);
            return;
        case textproc::kChangePassword:
            StepChangePassword(*this);
            return;
        case textproc::kModemDial:
            StepModemDial(*this);
            return;
        case textproc::kModemHangup:
            StepModemHangup(*this);
            return;
        default:
            return;  // the other procedures come with their own layers
    }
}

void CTmpApp::RunBinaryTransaction(int code) {
    transactions_->Run(code);
}

void CTmpApp::SetBciObserver(BciObserver* observer) {
    bciObserver_ = observer;
    if (link_) {
        link_->SetObserver(observer);
    }
}

void CTmpApp::ResetTransactionState() {
    transactions_->Reset();
}

bool CTmpApp::PreTranslateMessage(const Message& m) {
    if (!link_) {
        return false;
    }
    const bool isTimer = m.kind == MessageKind::Timer;
    if (inBlockingWait != 0) {
        // Inside a wait only the block engine runs, so binary mode keeps its
        // acknowledgements going while a text procedure waits.
        if (isTimer && binaryMode == 1 && link_) {
            link_->ReadPort();
            link_->Step();
            return true;
        }
        return false;
    }
    if (binaryMode == 1) {
        RunBinaryTransaction(binaryTransaction);
    }
    if (binaryMode == 0 || textProcedure == textproc::kLogin) {
        RunTextProcedure(textProcedure);
    }
    if (isTimer && link_) {
        link_->ReadPort();
        if (binaryMode == 1) {
            link_->Step();
            return true;
        }
    }
    if (binaryPending == 1) {
        BinaryChain(pendingBinary);
    }
    if (textPending == 1) {
        TextChain(pendingText);
    }
    if (m.kind == MessageKind::RxCountersClosed) {
        if (debugWindow_ != nullptr) {
            debugWindow_->RxCountersClosed();
        }
        return true;
    }
    if (m.kind == MessageKind::TxCountersClosed) {
        if (debugWindow_ != nullptr) {
            debugWindow_->TxCountersClosed();
        }
        return true;
    }
    return false;
}

// --- chains ----------------------------------------------------------------------

void CTmpApp::BinaryChain(int v) {
    // The state that waits for binary mode and a connected session; the
    // transaction starts as soon as both hold.
    auto waitForBinary = [this, v] {
        if (textProcedure == textproc::kEnterBinary) {
            return;
        }
        if (pendingText == textproc::kNone && sessionState == session::kConnected) {
            binaryTransaction = v;
            binaryPending = 0;
            chainState = chain::kWaitLogin;
        }
    };
    switch (chainState) {
        case chain::kWaitLogin:
            if (textProcedure == textproc::kLogin) {
                return;  // the login runs first
            }
            [[fallthrough]];
        case chain::kEnterBinary:
            if (binaryMode == 0) {
                textProcedure = textproc::kEnterBinary;
                chainState = chain::kWaitBinary;
                return;
            }
            // Already in binary mode. Should the session not be connected
            // yet, the transaction starts unconditionally on the next message.
            chainState = chain::kStartPending;
            waitForBinary();
            return;
        case chain::kWaitBinary:
            waitForBinary();
            return;
        case chain::kStartPending:
            binaryTransaction = v;
            binaryPending = 0;
            chainState = chain::kWaitLogin;
            return;
        default:
            return;
    }
}

void CTmpApp::TextChain(int v) {
    switch (chainState) {
        case chain::kWaitLogin:
            if (textProcedure == textproc::kLogin) {
                return;
            }
            [[fallthrough]];
        case chain::kLeaveBinary:
            if (binaryMode == 1) {
                binaryTransaction = bintxn::kExitBinary;
                chainState = chain::kWaitText;
            } else {
                chainState = chain::kStartPending;
            }
            return;
        case chain::kWaitText:
            if (binaryTransaction == bintxn::kExitBinary) {
                return;
            }
            if (!(binaryTransaction == bintxn::kNone && binaryResult == binresult::kDone)) {
                return;
            }
            [[fallthrough]];
        case chain::kStartPending:
            textProcedure = v;
            textPending = 0;
            pendingText = textproc::kNone;
            chainState = chain::kWaitLogin;
            return;
        default:
            return;
    }
}

// --- intent-level calls ---------------------------------------------------------

bool CTmpApp::OpenPort(int comIndex) {
    comPortIndex = comIndex;
    return EnsurePort() == 1;
}

bool CTmpApp::DetectCardMode() {
    DetectMode(*this);
    return sessionState == session::kConnected;
}

void CTmpApp::StartLogin() {
    textProcedure = textproc::kLogin;
}

void CTmpApp::StartLogin(const std::string& password) {
    RememberPassword(password);
    StartLogin();
}

void CTmpApp::RememberPassword(const std::string& password) {
    rememberedPassword = password;
    passwordKnown = 1;
}

void CTmpApp::LogOut() {
    if (!link_ || !CardLoggedIn()) {
        return;
    }
    // The card answers with its login prompt; nothing in the reply matters.
    link_->SendText(kLogoutCommand, 3, true, "");
    promptReady = 0;
}

bool CTmpApp::StartParameterExchange(unsigned writeMask) {
    if (!MayStartTransceiverCommand()) {
        return false;
    }
    parameterExchange.alone = true;
    parameterExchange.writeMask = writeMask & ((1u << kRadioParameterCount) - 1u);
    textProcedure = textproc::kLogin;
    pendingText =
        parameterExchange.writeMask != 0 ? textproc::kParameterWrite : textproc::kParameterRead;
    textPending = 1;
    return true;
}

}  // namespace quillon
