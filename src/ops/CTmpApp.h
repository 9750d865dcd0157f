#pragma once
#include <memory>
#include <string>

#include "bci/CBciLink.h"
#include "core/Clock.h"
#include "core/LogSink.h"
#include "core/Message.h"
#include "core/MessagePump.h"
#include "core/ProgressSink.h"
#include "core/Prompts.h"
#include "core/SerialDevice.h"
#include "core/SettingsStore.h"
#include "link/LinkContext.h"
#include "ops/ProcedureCodes.h"
#include "ops/Settings.h"

namespace quillon {

namespace model {
class CTmpDoc;
}
class BcpTransactions;

// The serial debug window as the driver sees it: told when one of its
// counter windows has been closed by its close box.
class DebugWindowNotice {
  public:
    virtual ~DebugWindowNotice() = default;
    virtual void RxCountersClosed() = 0;
    virtual void TxCountersClosed() = 0;
};

// What a Send does to the card's keys when the document holds none: the
// card would otherwise be left without the keys a Get cannot read back.
enum class EmptyKeyList {
    Ask,    // the user is asked (the default answer keeps them)
    Erase,  // quillon-cli, told to erase them
    Keep,   // quillon-cli, told to keep them
};

// How the last transceiver command ended, for whoever chains commands of its
// own behind it (backup before and verification after a Send): a command
// that was refused, cancelled or failed leaves None.
enum class CommandEnd {
    None,
    TableRead,     // a Get read the whole configuration
    TableWritten,  // a Send stored it and the card rebooted and confirmed
};

// The application object: owns the link object, the session values, the
// stored port and modem settings and the codes of the running procedure,
// and steps every exchange with the transceiver from its message
// pre-translation. One thread; waits re-enter the message loop, and
// `inBlockingWait` keeps a second procedure step from starting inside one.
class CTmpApp : public MessageTarget, public TextSessionHost {
  public:
    struct Deps {
        SerialDeviceFactory& devices;
        Clock& clock;
        MessagePump& pump;
        Prompts& prompts;
        ProgressSink& progress;
        SettingsStore& settings;
        LogSink& log;
    };

    explicit CTmpApp(const Deps& deps);
    ~CTmpApp() override;
    CTmpApp(const CTmpApp&) = delete;
    CTmpApp& operator=(const CTmpApp&) = delete;

    // --- lifecycle --------------------------------------------------------
    // Loads the settings and opens the stored port unless it was released.
    // Always succeeds.
    bool InitInstance();
    // Saves the settings.
    void ExitInstance();
    // The very end: the left-in-binary warning, then the port is closed.
    // Runs once; the destructor calls it if nobody did.
    void Terminate();

    // --- message pre-translation -----------------------------------------
    bool PreTranslateMessage(const Message& msg) override;

    // --- driver operations ------------------------------------------------
    int EnsurePort();
    // A reply wait or a procedure is running on the link object. Deleting
    // the link object then would pull it from under the wait, so the port is
    // neither closed nor replaced while this holds.
    bool Busy() const;
    // Busy, or a command already chained (a pending transaction or text
    // procedure, a chain under way). A second transceiver command then would
    // run two chains on one chain state, so it only gets the busy beep.
    bool TransceiverCommandBusy() const;
    // Close or replace the port; refused with the busy beep (false) while
    // Busy().
    bool ClosePort();
    bool ReplacePort(std::unique_ptr<CBciLink> link);
    void EndTextProcedure();
    void AbortProcedures();
    void ResetSession();
    void SetBinaryMode();
    void SetTextMode();
    void CancelProcedures();
    // Ends the running binary transaction and resets the engine.
    void EndTransaction();
    // The one-second pause that ends several procedures.
    void Pause();

    // Creates a link object on COM<portNumber>; null when it does not open.
    std::unique_ptr<CBciLink> CreateLink(int portNumber, int baudRate);

    // --- commands that start procedures -----------------------------------
    void OnSend();
    // Get: asks before a modified document is emptied; false when the
    // command did not start.
    bool OnGet();
    void OnExitBinaryMode();
    // The commands without a menu entry: one table alone, read from or
    // written to the card (binary transactions 6 to 9 after the login).
    void OnGetSquelchGroups();
    void OnSendSquelchGroups();
    void OnGetToneRemote();
    void OnSendToneRemote();
    void OnChangePassword();
    // Dial: the number is kept; false (after the message) without a port,
    // so the dialog stays open. Hang-up: the modem back on hook.
    bool OnDial(const std::string& phone);
    void OnHangup();
    // Dialling and hanging up run alone: no login before, nothing chained.
    void StartModemProcedure(int code);

    // --- the chaining machines (public for the tests that drive them) -----
    void BinaryChain(int v);
    void TextChain(int v);

    // --- TextSessionHost --------------------------------------------------
    void SetInBlockingWait(int value) override { inBlockingWait = value; }
    int CurrentSessionState() const override { return sessionState; }

    // --- accessors --------------------------------------------------------
    CBciLink* Link() const { return link_.get(); }
    bool HasLink() const { return link_ != nullptr; }
    Prompts& GetPrompts() const { return deps_.prompts; }
    ProgressSink& Progress() const { return deps_.progress; }
    LogSink& Log() const { return deps_.log; }
    Clock& GetClock() const { return deps_.clock; }
    MessagePump& Pump() const { return deps_.pump; }
    const LinkContext& Context() const { return linkContext_; }
    void SetDocument(model::CTmpDoc* doc) { document_ = doc; }
    model::CTmpDoc* Document() const { return document_; }
    void SetDebugWindow(DebugWindowNotice* w) { debugWindow_ = w; }
    // The block engine of this and every later port object reports to it
    // (null: to nobody).
    void SetBciObserver(BciObserver* observer);

    // Setters that accept only the values the field may take by them.
    void SetBinaryResult(int v) {
        if (v >= binresult::kDone && v <= binresult::kHighest) {
            binaryResult = v;
        }
    }
    void SetSessionState(int v) {
        if (v >= session::kConnected && v <= session::kDialCancelled) {
            sessionState = v;
        }
    }

    // --- intent-level calls ---------------------------------------------------
    // For a program without the main window (quillon-cli): what it wants done
    // or known, so that it never writes the session values itself.

    // Makes COM<comIndex + 1> the port of this run and opens it; false when it
    // does not open.
    bool OpenPort(int comIndex);
    // Finds out the card's mode (DETECT_MODE); false when it did not answer
    // or the detection was cancelled (the failure has been reported).
    bool DetectCardMode();
    bool CardInBinaryMode() const { return binaryMode == 1; }
    // Logged in on the card's command line (its prompt seen, text mode).
    bool CardLoggedIn() const { return binaryMode == 0 && promptReady == 1; }
    // Starts the login on the open port; it runs from the message loop.
    // Without a password the prompts ask for one unless one is remembered;
    // with one, that password is used and remembered as an entered one is.
    void StartLogin();
    void StartLogin(const std::string& password);
    // The password the next login uses instead of asking, kept as an
    // entered one is.
    void RememberPassword(const std::string& password);
    // A text procedure or a binary transaction is still running.
    bool ProcedureRunning() const { return textProcedure != 0 || binaryTransaction != 0; }
    // The last compatibility check found the card's protocol version right.
    bool IsCardCompatible() const { return compatibility == compat::kCompatible; }
    float CardVersion() const { return transceiverVersion; }
    // Ends the session on the card's command line, which goes back to its
    // login prompt; does nothing unless logged in.
    void LogOut();
    // The radio-wide parameters alone: logs in, sets the parameters in
    // `writeMask` (bit i for RadioParameterAt(i); none for a plain read) to
    // the document's values, reads all four back into the document and logs
    // out. Nothing else of the card changes: no channel table is stored and
    // the card does not reboot. False when the command did not start (the
    // user has been told).
    bool StartParameterExchange(unsigned writeMask);
    // The last parameter exchange read all four parameters back.
    bool ParametersReadBack() const { return parameterExchange.readBack; }

    // --- session values (fields in their declared order) ------------------
    int binaryMode = 0;
    int baudIndex = 0;
    int comPortIndex = settings::kNoComPort;
    int promptReady = 0;
    int passwordKnown = 0;
    std::string rememberedPassword;
    int tableWritten = 0;
    int tableRead = 0;
    int binaryResult = 0;
    int sessionState = 0;
    int binaryPending = 0;
    int textPending = 0;
    int pendingText = 0;
    int pendingBinary = 0;
    int binaryTransaction = 0;
    int textProcedure = 0;
    int chainState = chain::kWaitLogin;
    int inBlockingWait = 0;
    int cancelPressed = 0;
    std::string modemInit;
    std::string modemDial;
    std::string modemHangup;
    std::string modemPhone;
    // Program-lifetime values of the login and the compatibility check.
    int compatibility = compat::kUnchecked;
    float transceiverVersion = 0.0f;
    int loginStep = loginstep::kDetect;
    EmptyKeyList emptyKeyList = EmptyKeyList::Ask;
    // A parameter exchange started on its own rather than within a Send or
    // a Get: the parameter write then sets only the masked parameters and
    // goes on to the read, which ends it without the Get's message. Every
    // other command clears it, so a Send after it writes the table again.
    struct ParameterExchange {
        bool alone = false;
        unsigned writeMask = 0;
        bool readBack = false;
    };
    ParameterExchange parameterExchange;
    // Set as a Get or a Send ends well; cleared as every command starts.
    CommandEnd lastCommandEnd = CommandEnd::None;
    // The Get's "has been read" message; a Get chained around a Send as a
    // backup or verification says its own result instead.
    bool announceTableRead = true;

  protected:
    // One step of the running text procedure or binary transaction. The
    // procedures of later layers hook in here; tests replace them.
    virtual void RunTextProcedure(int code);
    virtual void RunBinaryTransaction(int code);
    // Resets the state of the binary transactions (steps, started flags).
    virtual void ResetTransactionState();

  private:
    // The port check and the busy beep of every transceiver command; false
    // when the command must not start (the user has been told).
    bool MayStartTransceiverCommand();
    // Chains the login, binary mode and then the transaction `code`.
    void StartBinaryCommand(int code);

    Deps deps_;
    LinkContext linkContext_;
    std::unique_ptr<CBciLink> link_;
    std::unique_ptr<BcpTransactions> transactions_;
    model::CTmpDoc* document_ = nullptr;
    DebugWindowNotice* debugWindow_ = nullptr;
    BciObserver* bciObserver_ = nullptr;
    bool terminated_ = false;
};

}  // namespace quillon
