#include "ui/NumericEntry.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "core/Prompts.h"

namespace quillon::ui {

namespace {

// The field only ever holds ASCII; anything else is refused before it gets
// near the rules.
bool ToAscii(const QString& text, std::string& out) {
    out.clear();
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        if (ch.unicode() > 127) {
            return false;
        }
        out.push_back(static_cast<char>(ch.unicode()));
    }
    return true;
}

}  // namespace

NumericLineEdit::NumericLineEdit(NumericEntry& owner) : QLineEdit(&owner), owner_(owner) {}

void NumericLineEdit::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        // Undo only brings back a text the box has held.
        owner_.trusted_ = true;
        QLineEdit::keyPressEvent(event);
        owner_.trusted_ = false;
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        owner_.Paste();
        event->accept();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Up:
            owner_.Step(edit::StepCode::Up);
            event->accept();
            return;
        case Qt::Key_Down:
            owner_.Step(edit::StepCode::Down);
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter does not take the focus away, yet the dialog's default
            // button acts on it: normalise first, then let the key go on.
            owner_.Normalise();
            QLineEdit::keyPressEvent(event);
            return;
        default:
            break;
    }
    const QString typed = event->text();
    const bool command =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (!command && !typed.isEmpty() && typed.at(0).unicode() >= 32 &&
        typed.at(0).unicode() != 127) {
        if (!owner_.TakeTyped(typed)) {
            event->accept();
            return;
        }
        owner_.trusted_ = true;
        QLineEdit::keyPressEvent(event);
        owner_.trusted_ = false;
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumericLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu over the box is no leaving of it.
    if (event->reason() != Qt::PopupFocusReason) {
        owner_.Normalise();
    }
}

NumericEntry::NumericEntry(QWidget* parent, Prompts* prompts) : QWidget(parent), prompts_(prompts) {
    edit_ = new NumericLineEdit(*this);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    const int height = edit_->sizeHint().height();
    const int width = std::max(12, height * 2 / 3);
    for (QToolButton* button : {up_, down_}) {
        // Clicking an arrow leaves the focus in the box, as the small
        // scroll arrows beside an edit box always have.
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

    connect(up_, &QToolButton::clicked, this, [this] { Step(edit::StepCode::Up); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(edit::StepCode::Down); });
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (TakeEdit(text)) {
            emit Edited();
        }
    });
    connect(edit_, &QLineEdit::textChanged, this, &NumericEntry::OnTextChanged);
    FitWidth();
    // Made inside a disabled parent, the field starts blank: no change event
    // reaches this class while its base is being built.
    field_.Enable(isEnabled());
    Refresh();
}

NumericEntry::~NumericEntry() {
    // The box goes first, while this entry is still whole: a box with the
    // focus reports its focus loss as the widgets are taken down, and it
    // must not reach an entry that is half destroyed.
    delete edit_;
    edit_ = nullptr;
}

void NumericEntry::Configure(const edit::FieldConfig& config) {
    field_.Configure(config);
    FitWidth();
    Refresh();
}

void NumericEntry::AttachLists(edit::ValueList list) {
    field_.AttachLists(std::move(list));
    FitWidth();
    Refresh();
}

void NumericEntry::SetValue(const std::string& text) {
    field_.SetValue(text);
    Refresh();
}

void NumericEntry::SetText(const std::string& text) {
    field_.SetText(text);
    Refresh();
}

void NumericEntry::SelectEntry(int index) {
    field_.SelectEntry(index);
    Refresh();
}

void NumericEntry::SetReadOnly(bool on) {
    edit_->setReadOnly(on);
    up_->setEnabled(!on);
    down_->setEnabled(!on);
}

QString NumericEntry::text() const {
    return edit_->text();
}

void NumericEntry::Normalise() {
    field_.Normalise();
    Refresh();
    emit Normalised();
}

bool NumericEntry::Step(edit::StepCode code) {
    const bool taken = field_.Step(code);
    Refresh();
    if (!taken) {
        Beep();
    }
    emit Stepped();
    return taken;
}

void NumericEntry::Refresh() {
    const QString box = QString::fromStdString(field_.BoxText());
    if (edit_->text() != box) {
        trusted_ = true;
        edit_->setText(box);
        trusted_ = false;
    }
    lastText_ = box.toStdString();
}

void NumericEntry::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        field_.Enable(isEnabled());
        Refresh();
    }
}

void NumericEntry::Beep() {
    if (prompts_ != nullptr) {
        prompts_->Beep();
    } else {
        QApplication::beep();
    }
}

bool NumericEntry::TakeTyped(const QString& typed) {
    std::string text;
    std::string inserted;
    bool taken = ToAscii(edit_->text(), text) && ToAscii(typed, inserted);
    if (taken) {
        const bool selected = edit_->hasSelectedText();
        const auto start =
            static_cast<std::size_t>(selected ? edit_->selectionStart() : edit_->cursorPosition());
        const auto length = static_cast<std::size_t>(selected ? edit_->selectedText().size() : 0);
        taken = inserted.size() == 1 ? field_.AcceptsTyped(text, start, length, inserted[0])
                                     : field_.AcceptsInsert(text, start, length, inserted);
    }
    if (!taken) {
        Beep();
    }
    return taken;
}

void NumericEntry::Paste() {
    // Text copied from elsewhere often carries a line end or spaces around
    // the number; those are no part of it.
    const QString clip = QGuiApplication::clipboard()->text().trimmed();
    if (clip.isEmpty() || edit_->isReadOnly()) {
        return;
    }
    if (!TakeTyped(clip)) {
        return;
    }
    trusted_ = true;
    edit_->insert(clip);
    trusted_ = false;
}

bool NumericEntry::TakeEdit(const QString& proposed) {
    if (trusted_) {
        return true;
    }
    // An edit that came another way (the context menu's Paste, a drop):
    // find what it replaced by comparing the texts and check that as if it
    // had been typed.
    std::string after;
    bool taken = ToAscii(proposed, after);
    if (taken) {
        const std::string& before = lastText_;
        std::size_t prefix = 0;
        const std::size_t shorter = std::min(before.size(), after.size());
        while (prefix < shorter && before[prefix] == after[prefix]) {
            ++prefix;
        }
        std::size_t suffix = 0;
        while (suffix < shorter - prefix &&
               before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
            ++suffix;
        }
        const std::string inserted = after.substr(prefix, after.size() - prefix - suffix);
        taken = field_.AcceptsInsert(before, prefix, before.size() - prefix - suffix, inserted);
    }
    if (!taken) {
        Beep();
        trusted_ = true;
        edit_->setText(QString::fromStdString(lastText_));
        trusted_ = false;
    }
    return taken;
}

void NumericEntry::OnTextChanged(const QString&) {
    // The box's own text, not the signal's: a refused edit has been put
    // back by the time the signal of the edit arrives.
    const QString now = edit_->text();
    lastText_ = now.toStdString();
    if (field_.IsEnabled()) {
        field_.SetText(lastText_);
    }
}

void NumericEntry::FitWidth() {
    const edit::FieldConfig& config = field_.Config();
    int chars = config.maxDigits;
    if (config.mode == edit::FieldMode::Hex && config.hexPrefix) {
        chars += 2;
    }
    if (config.mode == edit::FieldMode::Fraction) {
        chars += 1;
    }
    // Room for "AS RX" and the list's own texts.
    chars = std::max(chars, 5);
    const edit::ValueList& list = field_.List();
    for (const std::vector<std::string>* texts : {&list.values, &list.displays}) {
        for (const std::string& t : *texts) {
            chars = std::max(chars, static_cast<int>(t.size()));
        }
    }
    const QFontMetrics metrics(edit_->font());
    const int text = std::max(metrics.horizontalAdvance(QString(chars + 1, QLatin1Char('0'))),
                              metrics.horizontalAdvance(QStringLiteral("AS RX ")));
    edit_->setMinimumWidth(text + 12);
}

}  // namespace quillon::ui
