#include "ui/ProgressWindow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace quillon::ui {

int ProgressBarArea::FilledWidth() const {
    return ProgressBar::FilledWidth(value_, width() - 2);
}

void ProgressBarArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect client = rect().adjusted(1, 1, -1, -1);
    p.fillRect(client, Qt::white);
    p.fillRect(QRect(client.left(), client.top(), ProgressBar::FilledWidth(value_, client.width()),
                     client.height()),
               QColor(0, 0, 150));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The layout is given in dialog units: a quarter of the average character
    // width across, an eighth of the character height down. The average is
    // taken over the letters, as dialog units are defined; a font's own
    // average width can be far narrower than its text and clip the status.
    const QFontMetrics fm(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double ux = fm.horizontalAdvance(letters) / static_cast<double>(letters.size()) / 4.0;
    const double uy = fm.height() / 8.0;
    auto r = [ux, uy](int x, int y, int w, int h) {
        return QRect(static_cast<int>(x * ux), static_cast<int>(y * uy), static_cast<int>(w * ux),
                     static_cast<int>(h * uy));
    };
    setFixedSize(static_cast<int>(199 * ux), static_cast<int>(58 * uy));
    text_ = new QLabel(this);
    text_->setAlignment(Qt::AlignCenter);
    text_->setGeometry(r(7, 8, 185, 8));
    area_ = new ProgressBarArea(this);
    area_->setGeometry(r(5, 20, 189, 12));
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setGeometry(r(145, 40, 50, 14));
    ok_ = new QPushButton(tr("OK"), this);
    ok_->setGeometry(r(20, 40, 23, 14));
    ok_->hide();
    connect(cancel_, &QPushButton::clicked, this, &ProgressWindow::reject);
}

void ProgressWindow::Show() {
    if (shown_) {
        return;
    }
    shown_ = true;
    show();
}

void ProgressWindow::Hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    hide();
}

void ProgressWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

void ProgressWindow::SetText(const std::string& text) {
    text_->setText(QString::fromStdString(text));
}

void ProgressWindow::Repaint() {
    ++repaints_;
    area_->SetValue(bar_.Value());
}

void ProgressWindow::ResetBar() {
    if (bar_.Reset()) {
        Repaint();
    }
}

void ProgressWindow::SetBar(float value) {
    if (bar_.Set(value)) {
        Repaint();
    }
}

void ProgressWindow::AdvanceBar(float delta) {
    if (bar_.Advance(delta)) {
        Repaint();
    }
}

void ProgressWindow::reject() {
    if (onCancel_) {
        onCancel_();
    }
    Hide();
}

}  // namespace quillon::ui
