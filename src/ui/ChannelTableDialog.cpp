#include "ui/ChannelTableDialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon::ui {

namespace {
constexpr int kChannelRole = Qt::UserRole;
// The widest line the table can produce, to size the list so that no line
// of a full table is cut.
constexpr const char* kWidestLine = "511 \"WWWWWWWW\" Narrowband Autosense Basestation";
}  // namespace

ChannelTableDialog::ChannelTableDialog(model::CTmpDoc& doc, Prompts& prompts,
                                       EditChannelFn editChannel, QWidget* parent)
    : QDialog(parent), doc_(doc), table_(doc, prompts), editChannel_(std::move(editChannel)) {
    setWindowTitle(QStringLiteral("Channel Table"));

    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every line starts with its three-digit number, so sorting by the text
    // keeps the channels in number order.
    list_->setSortingEnabled(true);
    const QFontMetrics fm(list_->font());
    list_->setMinimumWidth(fm.horizontalAdvance(QString::fromLatin1(kWidestLine)) +
                           2 * fm.averageCharWidth() + 24);
    list_->setMinimumHeight(fm.lineSpacing() * 16);

    add_ = new QPushButton(QStringLiteral("Add"), this);
    edit_ = new QPushButton(QStringLiteral("Edit"), this);
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    copy_ = new QPushButton(QStringLiteral("Copy"), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    // Enter on the list must not close the dialog behind the user's back.
    for (QPushButton* b : {add_, edit_, delete_, copy_, close_}) {
        b->setAutoDefault(false);
    }

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addWidget(copy_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, &ChannelTableDialog::OnAdd);
    connect(edit_, &QPushButton::clicked, this, &ChannelTableDialog::OnEdit);
    connect(delete_, &QPushButton::clicked, this, &ChannelTableDialog::OnDelete);
    connect(copy_, &QPushButton::clicked, this, &ChannelTableDialog::OnCopy);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { OnEdit(); });

    Refill();
}

std::vector<int> ChannelTableDialog::SelectedChannels() const {
    std::vector<int> channels;
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        if (item->isSelected()) {
            channels.push_back(item->data(kChannelRole).toInt());
        }
    }
    return channels;
}

void ChannelTableDialog::Refill() {
    const auto lines = table_.ListLines();
    list_->clear();
    for (const auto& line : lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text));
        item->setData(kChannelRole, line.channel);
        list_->addItem(item);
    }
    const int selected = table_.SelectedLine(lines);
    if (selected >= 0) {
        SelectChannel(lines[static_cast<size_t>(selected)].channel);
    }
    const auto states = model::ChannelTableController::EnabledButtons(lines);
    add_->setEnabled(states.add);
    edit_->setEnabled(states.edit);
    copy_->setEnabled(states.copy);
    delete_->setEnabled(states.remove);
}

void ChannelTableDialog::SelectChannel(int channel) {
    list_->clearSelection();
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        if (item->data(kChannelRole).toInt() == channel) {
            item->setSelected(true);
            list_->setCurrentItem(item, QItemSelectionModel::Current);
            list_->scrollToItem(item);
            return;
        }
    }
}

void ChannelTableDialog::OnAdd() {
    const std::optional<int> slot = table_.Add();
    if (!slot || !editChannel_) {
        return;
    }
    // The Channel Settings dialog moves this on to the number it writes.
    doc_.channels.lastChannel = *slot;
    if (editChannel_(*slot, true)) {
        changed_ = true;
        Refill();
    }
}

void ChannelTableDialog::OnEdit() {
    const std::optional<int> channel = table_.Edit(SelectedChannels());
    if (!channel || !editChannel_) {
        return;
    }
    doc_.channels.lastChannel = *channel;
    if (editChannel_(*channel, false)) {
        changed_ = true;
        Refill();
    }
    // After OK or Cancel alike, the line edited is the one selected.
    SelectChannel(*channel);
}

void ChannelTableDialog::OnCopy() {
    changed_ = table_.Copy(SelectedChannels()) || changed_;
    Refill();
}

void ChannelTableDialog::OnDelete() {
    changed_ = table_.Delete(SelectedChannels()) || changed_;
    Refill();
}

bool RunChannelTableDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts,
                           EditChannelFn editChannel) {
    ChannelTableDialog dialog(doc, prompts, std::move(editChannel), parent);
    dialog.exec();
    return dialog.Changed();
}

}  // namespace quillon::ui
