#include "ui/ChannelValueEntry.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "core/Prompts.h"

namespace quillon::ui {

namespace {

constexpr int kStepUp = 0;
constexpr int kStepDown = 1;

// The fields hold ASCII only; a text with anything else is refused whole.
bool ToAscii(const QString& text, std::string& out) {
    out.clear();
    for (const QChar ch : text) {
        if (ch.unicode() > 127) {
            return false;
        }
        out.push_back(static_cast<char>(ch.unicode()));
    }
    return true;
}

}  // namespace

ChannelValueLineEdit::ChannelValueLineEdit(ChannelValueEntry& owner)
    : QLineEdit(&owner), owner_(owner) {}

void ChannelValueLineEdit::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly()) {
        switch (event->key()) {
            case Qt::Key_Up:
                owner_.Step(kStepUp);
                event->accept();
                return;
            case Qt::Key_Down:
                owner_.Step(kStepDown);
                event->accept();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                // Enter keeps the focus but the dialog's default button acts
                // on it: the field is left first.
                owner_.Leave();
                break;
            default:
                break;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void ChannelValueLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu over the box does not leave it.
    if (event->reason() != Qt::PopupFocusReason) {
        owner_.Leave();
    }
}

ChannelValueEntry::~ChannelValueEntry() {
    // The box goes first, while this entry is still whole: a box with the
    // focus reports its focus loss (and so a Leave) as it is taken down.
    delete edit_;
    edit_ = nullptr;
}

ChannelValueEntry::ChannelValueEntry(edit::ChannelSettings& engine, edit::ChannelControl id,
                                     Prompts& prompts, std::function<void()> changed,
                                     QWidget* parent)
    : QWidget(parent), engine_(engine), id_(id), prompts_(prompts), changed_(std::move(changed)) {
    edit_ = new ChannelValueLineEdit(*this);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    const int height = edit_->sizeHint().height();
    const int width = std::max(12, height * 2 / 3);
    for (QToolButton* button : {up_, down_}) {
        // The arrows leave the focus in the box.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    up_->setFixedSize(width, height / 2);
    down_->setFixedSize(width, height - height / 2);

    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit_, 1);
    layout->addLayout(arrows);
    setFocusProxy(edit_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    connect(up_, &QToolButton::clicked, this, [this] { Step(kStepUp); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(kStepDown); });
    connect(edit_, &QLineEdit::textEdited, this, &ChannelValueEntry::OnEdited);
    FitWidth();
    Refresh();
}

void ChannelValueEntry::Refresh() {
    const edit::ControlState& state = engine_.State(id_);
    const QString text = QString::fromStdString(state.text);
    if (edit_->text() != text) {
        const QSignalBlocker block(edit_);
        edit_->setText(text);
    }
    setEnabled(state.enabled);
    if (parentWidget() != nullptr && isHidden() == state.visible) {
        setHidden(!state.visible);
    }
    edit_->setReadOnly(state.readOnly);
    up_->setEnabled(!state.readOnly);
    down_->setEnabled(!state.readOnly);
}

void ChannelValueEntry::OnEdited(const QString& text) {
    // What the edit replaced, found by comparing the engine's text with the
    // box's: a key, a paste, a drop or a deletion alike.
    const std::string& before = engine_.State(id_).text;
    std::string after;
    bool taken = ToAscii(text, after);
    if (taken) {
        size_t prefix = 0;
        const size_t shorter = std::min(before.size(), after.size());
        while (prefix < shorter && before[prefix] == after[prefix]) {
            ++prefix;
        }
        size_t suffix = 0;
        while (suffix < shorter - prefix &&
               before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
            ++suffix;
        }
        taken = engine_.TypeEdit(id_, prefix, before.size() - prefix - suffix,
                                 after.substr(prefix, after.size() - prefix - suffix));
    }
    if (taken) {
        changed_();
        return;
    }
    prompts_.Beep();
    // Back to the text the engine holds, the cursor where the refused
    // characters would have gone.
    const int cursor = edit_->cursorPosition();
    const QString kept = QString::fromStdString(before);
    const QSignalBlocker block(edit_);
    edit_->setText(kept);
    edit_->setCursorPosition(std::min(cursor, static_cast<int>(kept.size())));
}

void ChannelValueEntry::Leave() {
    if (engine_.Leave(id_)) {
        changed_();
    }
}

void ChannelValueEntry::Step(int code) {
    if (!engine_.Step(id_, code)) {
        prompts_.Beep();
    }
    changed_();
}

void ChannelValueEntry::FitWidth() {
    // Room for the longest text the field can show: its digits, a prefix, a
    // point, or a list's text such as "AS RX".
    const edit::NumericField& field = engine_.Field(id_).Logic();
    const edit::FieldConfig& config = field.Config();
    int chars = config.maxDigits + 2;
    chars = std::max(chars, 5);
    for (const auto* texts : {&field.List().values, &field.List().displays}) {
        for (const std::string& t : *texts) {
            chars = std::max(chars, static_cast<int>(t.size()));
        }
    }
    const QFontMetrics metrics(edit_->font());
    edit_->setMinimumWidth(metrics.horizontalAdvance(QString(chars + 1, QLatin1Char('0'))) + 12);
}

}  // namespace quillon::ui
