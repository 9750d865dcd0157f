#pragma once
#include <QPixmap>
#include <QWidget>

namespace quillon::ui {

// The main window's view: a white page with the picture of a transceiver
// card in the middle. The channel table lives in its dialog, not here.
class CTmpView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPictureWidth = 400;
    static constexpr int kPictureHeight = 290;

    explicit CTmpView(QWidget* parent = nullptr);
    const QPixmap& Picture() const { return picture_; }
    // Where the picture's top left corner goes in a client area of this
    // size: centred, a picture larger than the window cut equally on both
    // sides.
    static QPoint PictureOrigin(const QSize& client, const QSize& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};

}  // namespace quillon::ui
