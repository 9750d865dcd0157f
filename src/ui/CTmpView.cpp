#include "ui/CTmpView.h"

#include <QPainter>
#include <QScrollBar>

#include "ui/ExternalPicture.h"

// The pictures are compiled into the user-interface library; a static
// library's resources are registered by hand.
static void InitQuillonResources() {
    Q_INIT_RESOURCE(quillon);
}

namespace quillon::ui {

CTmpView::CTmpView(QWidget* parent) : CTmpView(ExternalPicturePath(), parent) {}

CTmpView::CTmpView(const QString& picturePath, QWidget* parent) : QAbstractScrollArea(parent) {
    InitQuillonResources();
    picture_.load(QStringLiteral(":/quillon/card.png"));
    external_ = LoadExternalPicture(picturePath);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateScrollRange();
}

QPoint CTmpView::PictureOrigin(const QSize& client, const QSize& picture) {
    // Integer halves, as a pixel grid needs; a negative offset cuts the
    // picture on both sides alike.
    return {(client.width() - picture.width()) / 2, (client.height() - picture.height()) / 2};
}

void CTmpView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), Qt::white);
    // The page scrolls under the window; the picture is centred in what is
    // visible and moves with the page.
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QSize client = viewport()->size();
    if (!external_.isNull()) {
        p.drawImage(PictureOrigin(client, external_.size()) - scrolled, external_);
    } else if (!picture_.isNull()) {
        p.drawPixmap(PictureOrigin(client, picture_.size()) - scrolled, picture_);
    }
}

void CTmpView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void CTmpView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CTmpView::UpdateScrollRange() {
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, qMax(0, kScrollWidth - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, qMax(0, kScrollHeight - client.height()));
    verticalScrollBar()->setPageStep(client.height());
}

}  // namespace quillon::ui
