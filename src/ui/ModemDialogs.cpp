#include "ui/ModemDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ops/CTmpApp.h"

namespace quillon::ui {

namespace {

// The strings are bytes for the modem; Latin-1 keeps each one a character.
QString FromBytes(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string ToBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

}  // namespace

ModemCommandsDialog::ModemCommandsDialog(CTmpApp& app, QWidget* parent)
    : QDialog(parent), app_(app) {
    setWindowTitle(QStringLiteral("Modem Commands"));
    auto* group = new QGroupBox(QStringLiteral("Commands"), this);
    auto* form = new QFormLayout(group);
    init_ = new QLineEdit(FromBytes(app_.modemInit), group);
    dial_ = new QLineEdit(FromBytes(app_.modemDial), group);
    hangup_ = new QLineEdit(FromBytes(app_.modemHangup), group);
    form->addRow(QStringLiteral("Init"), init_);
    form->addRow(QStringLiteral("Dial"), dial_);
    form->addRow(QStringLiteral("Hangup"), hangup_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    init_->setMinimumWidth(init_->fontMetrics().averageCharWidth() * 28);
}

void ModemCommandsDialog::accept() {
    app_.modemInit = ToBytes(init_->text());
    app_.modemDial = ToBytes(dial_->text());
    app_.modemHangup = ToBytes(hangup_->text());
    QDialog::accept();
}

DialDialog::DialDialog(CTmpApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setWindowTitle(QStringLiteral("Dial"));
    auto* form = new QFormLayout;
    number_ = new QLineEdit(FromBytes(app_.modemPhone), this);
    number_->setMinimumWidth(number_->fontMetrics().averageCharWidth() * 24);
    form->addRow(QStringLiteral("Number:"), number_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* dial = buttons->addButton(QStringLiteral("Dial"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    dial->setDefault(true);
    connect(dial, &QPushButton::clicked, this, &DialDialog::Dial);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void DialDialog::Dial() {
    if (app_.OnDial(ToBytes(number_->text()))) {
        QDialog::accept();
    }
}

}  // namespace quillon::ui
