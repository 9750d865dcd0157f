#include "ui/CTmpView.h"

#include <QPainter>

// The pictures are compiled into the user-interface library; a static
// library's resources are registered by hand.
static void InitQuillonResources() {
    Q_INIT_RESOURCE(quillon);
}

namespace quillon::ui {

CTmpView::CTmpView(QWidget* parent) : QWidget(parent) {
    InitQuillonResources();
    picture_.load(QStringLiteral(":/quillon/card.png"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPoint CTmpView::PictureOrigin(const QSize& client, const QSize& picture) {
    // Integer halves, as a pixel grid needs; a negative offset cuts the
    // picture on both sides alike.
    return {(client.width() - picture.width()) / 2, (client.height() - picture.height()) / 2};
}

void CTmpView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!picture_.isNull()) {
        p.drawPixmap(PictureOrigin(size(), picture_.size()), picture_);
    }
}

}  // namespace quillon::ui
