#pragma once
#include <QWidget>
#include <array>
#include <functional>
#include <map>

#include "bci/BciObserver.h"
#include "ops/CTmpApp.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon::ui {

// One of the two counter windows: the block engine's receive ("BCI_RX") or
// transmit ("BCI TX") counters, live.
class BciCountersWindow : public QWidget {
    Q_OBJECT
  public:
    enum class Side { Rx, Tx };
    BciCountersWindow(Side side, std::function<void()> closed, QWidget* parent = nullptr);
    void SetCounter(BciCounter c, uint32_t value);
    // The shown value, for the tests.
    QString CounterText(BciCounter c) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit* AddField(QWidget* box, QFormLayout* form, const char* label);
    void Bind(BciCounter c, QLineEdit* field) { fields_[c] = field; }

    std::map<BciCounter, QLineEdit*> fields_;
    std::function<void()> closed_;
};

// "Serial Debug": the engine's state and the two counter windows, fed by
// the engine while it is attached. Closing it closes its counter windows
// and detaches it.
class SerialDebugWindow : public QWidget, public BciObserver, public DebugWindowNotice {
    Q_OBJECT
  public:
    struct Hooks {
        // A counter window's close box: the notice travels as a message to
        // the application, which hands it back through DebugWindowNotice.
        std::function<void(SerialDebugWindow*, int messageKind)> postClosed;
        // The window goes (its close box, or its owner going): whoever feeds
        // it must stop now.
        std::function<void(SerialDebugWindow*)> gone;
    };
    explicit SerialDebugWindow(Hooks hooks, QWidget* parent = nullptr);
    ~SerialDebugWindow() override;

    // BciObserver
    void BciStateChanged(const char* stateName) override;
    void BciCounterChanged(BciCounter counter, uint32_t value) override;
    // DebugWindowNotice
    void RxCountersClosed() override;
    void TxCountersClosed() override;

    void OpenRx();
    void OpenTx();
    BciCountersWindow* RxWindow() const { return rx_; }
    BciCountersWindow* TxWindow() const { return tx_; }
    QString StateText() const;
    QPushButton* RxButton() const { return rxButton_; }
    QPushButton* TxButton() const { return txButton_; }

  private:
    Hooks hooks_;
    QLineEdit* charsReceived_;
    QLineEdit* received_;
    QLineEdit* state_;
    QLineEdit* transmitted_;
    QPushButton* rxButton_;
    QPushButton* txButton_;
    BciCountersWindow* rx_ = nullptr;
    BciCountersWindow* tx_ = nullptr;
};

}  // namespace quillon::ui
