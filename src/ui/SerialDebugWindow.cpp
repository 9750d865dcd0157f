#include "ui/SerialDebugWindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Message.h"

namespace quillon::ui {

namespace {

QLineEdit* ReadOnlyField(QWidget* parent, const QString& text = QString()) {
    auto* f = new QLineEdit(text, parent);
    f->setReadOnly(true);
    f->setFocusPolicy(Qt::NoFocus);
    return f;
}

}  // namespace

// --- counter windows -----------------------------------------------------------

QLineEdit* BciCountersWindow::AddField(QWidget* box, QFormLayout* form, const char* label) {
    QLineEdit* f = ReadOnlyField(box, QStringLiteral("0"));
    f->setMaximumWidth(f->fontMetrics().averageCharWidth() * 12);
    form->addRow(QString::fromLatin1(label), f);
    return f;
}

BciCountersWindow::BciCountersWindow(Side side, std::function<void()> closed, QWidget* parent)
    : QWidget(parent, Qt::Window), closed_(std::move(closed)) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    const bool rxSide = side == Side::Rx;
    setWindowTitle(rxSide ? QStringLiteral("BCI_RX") : QStringLiteral("BCI TX"));
    auto* outer = new QGroupBox(rxSide ? QStringLiteral("BCI RX Protocol Counters")
                                       : QStringLiteral("BCI TX Protocol Counters"),
                                this);
    layout->addWidget(outer);
    auto* inner = new QVBoxLayout(outer);
    // A titled group of counters inside the window's frame.
    auto sub = [outer, inner](const char* title) {
        auto* box = new QGroupBox(QString::fromLatin1(title), outer);
        auto* form = new QFormLayout(box);
        inner->addWidget(box);
        return std::make_pair(static_cast<QWidget*>(box), form);
    };
    if (rxSide) {
        auto [blocks, blocksForm] = sub("Blocks received");
        Bind(BciCounter::AcceptedBlocks, AddField(blocks, blocksForm, "Accepted BCI blocks"));
        Bind(BciCounter::ReceivedBlocks, AddField(blocks, blocksForm, "Received BCI blocks"));
        auto* plain = new QFormLayout;
        inner->addLayout(plain);
        Bind(BciCounter::WaitingNaks, AddField(outer, plain, "Waiting NAKs"));
        Bind(BciCounter::EotsReceived, AddField(outer, plain, "EOTs Received"));
        Bind(BciCounter::SohsReceived, AddField(outer, plain, "SOHs Received"));
        Bind(BciCounter::AcksSent, AddField(outer, plain, "ACKs Sent"));
        AddField(outer, plain, "NAKs Sent");  // nothing reports it
        auto [proc, procForm] = sub("Block processing");
        Bind(BciCounter::ChecksumFails, AddField(proc, procForm, "Checksum Fails"));
        Bind(BciCounter::IncorrectBlockNumbers, AddField(proc, procForm, "Incorrect Block Number"));
        Bind(BciCounter::NextBlockNumber, AddField(proc, procForm, "Next block number"));
        Bind(BciCounter::LastReceivedBlockNumber,
             AddField(proc, procForm, "Last received block number"));
        auto [timeouts, timeoutsForm] = sub("Timeouts");
        timeoutsForm->addRow(QStringLiteral("Waiting for"), ReadOnlyField(timeouts));
        Bind(BciCounter::CharTimeouts, AddField(timeouts, timeoutsForm, "Char timeout count"));
        Bind(BciCounter::SohTimeouts, AddField(timeouts, timeoutsForm, "SOH timeout count"));
        // Clears what this window shows, so a technician can watch what one
        // exchange adds; the engine's own counters are not touched.
        auto* reset = new QPushButton(QStringLiteral("RESET"), outer);
        inner->addWidget(reset, 0, Qt::AlignRight);
        connect(reset, &QPushButton::clicked, this, [this] {
            for (auto& [c, f] : fields_) {
                f->setText(QStringLiteral("0"));
            }
        });
    } else {
        auto [sent, sentForm] = sub("Blocks Transmitted");
        Bind(BciCounter::SuccessfullySent, AddField(sent, sentForm, "Successfully Sent blocks"));
        Bind(BciCounter::BlocksSent, AddField(sent, sentForm, "Blocks Sent"));
        Bind(BciCounter::AcksReceived, AddField(sent, sentForm, "ACKs Received"));
        Bind(BciCounter::NaksReceived, AddField(sent, sentForm, "NAKs Received"));
        auto [retry, retryForm] = sub("Retry attempts");
        Bind(BciCounter::Retries, AddField(retry, retryForm, "Retries"));
        Bind(BciCounter::RetriesFailed, AddField(retry, retryForm, "3 Retries Failed"));
        auto [eot, eotForm] = sub("End of Transmission");
        Bind(BciCounter::EotsAcknowledged, AddField(eot, eotForm, "EOTs acknowledged"));
        Bind(BciCounter::EotsExpired, AddField(eot, eotForm, "EOTs expired"));
        auto* plain = new QFormLayout;
        inner->addLayout(plain);
        plain->addRow(QStringLiteral("Transmit state"), ReadOnlyField(outer));
        Bind(BciCounter::LastBlockSent, AddField(outer, plain, "Last Block Sent"));
    }
}

void BciCountersWindow::SetCounter(BciCounter c, uint32_t value) {
    auto it = fields_.find(c);
    if (it != fields_.end()) {
        it->second->setText(QString::number(value));
    }
}

QString BciCountersWindow::CounterText(BciCounter c) const {
    auto it = fields_.find(c);
    return it == fields_.end() ? QString() : it->second->text();
}

void BciCountersWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the application has taken the notice; the
    // debug window then closes it.
    event->ignore();
    if (closed_) {
        closed_();
    }
}

// --- serial debug window -------------------------------------------------------

SerialDebugWindow::SerialDebugWindow(Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), hooks_(std::move(hooks)) {
    setWindowTitle(QStringLiteral("Serial Debug"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* form = new QFormLayout;
    charsReceived_ = ReadOnlyField(this, QStringLiteral("0"));
    received_ = ReadOnlyField(this);
    received_->setMaxLength(256);
    state_ = ReadOnlyField(this, QStringLiteral("Idle"));
    state_->setMaxLength(20);
    transmitted_ = ReadOnlyField(this);
    form->addRow(QStringLiteral("Characters Received"), charsReceived_);
    form->addRow(QStringLiteral("Received Data"), received_);
    form->addRow(QStringLiteral("BCI State"), state_);
    form->addRow(QStringLiteral("Transmitted Data"), transmitted_);
    rxButton_ = new QPushButton(QStringLiteral("BCI RX"), this);
    txButton_ = new QPushButton(QStringLiteral("BCI TX"), this);
    txButton_->setDefault(true);
    connect(rxButton_, &QPushButton::clicked, this, &SerialDebugWindow::OpenRx);
    connect(txButton_, &QPushButton::clicked, this, &SerialDebugWindow::OpenTx);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(rxButton_);
    buttons->addWidget(txButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    received_->setMinimumWidth(received_->fontMetrics().averageCharWidth() * 40);
}

SerialDebugWindow::~SerialDebugWindow() {
    if (hooks_.gone) {
        hooks_.gone(this);
    }
    delete rx_;
    delete tx_;
}

void SerialDebugWindow::OpenRx() {
    if (rx_ != nullptr) {
        return;
    }
    rx_ = new BciCountersWindow(
        BciCountersWindow::Side::Rx,
        [this] { hooks_.postClosed(this, static_cast<int>(MessageKind::RxCountersClosed)); }, this);
    rx_->show();
}

void SerialDebugWindow::OpenTx() {
    if (tx_ != nullptr) {
        return;
    }
    tx_ = new BciCountersWindow(
        BciCountersWindow::Side::Tx,
        [this] { hooks_.postClosed(this, static_cast<int>(MessageKind::TxCountersClosed)); }, this);
    tx_->show();
}

void SerialDebugWindow::RxCountersClosed() {
    delete rx_;
    rx_ = nullptr;
}

void SerialDebugWindow::TxCountersClosed() {
    delete tx_;
    tx_ = nullptr;
}

QString SerialDebugWindow::StateText() const {
    return state_->text();
}

void SerialDebugWindow::BciStateChanged(const char* stateName) {
    state_->setText(QString::fromLatin1(stateName));
}

void SerialDebugWindow::BciCounterChanged(BciCounter counter, uint32_t value) {
    // The first twelve counters are the receive machine's.
    const bool rx = CounterIndex(counter) < CounterIndex(BciCounter::BlocksSent);
    BciCountersWindow* w = rx ? rx_ : tx_;
    if (w != nullptr) {
        w->SetCounter(counter, value);
    }
}

}  // namespace quillon::ui
