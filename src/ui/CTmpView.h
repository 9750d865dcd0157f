#pragma once
#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>

namespace quillon::ui {

// The main window's view: a white page with a picture in the middle, the
// site's own "backgrnd.bmp" beside the program when there is a usable one,
// otherwise the built-in picture of a transceiver card. The channel table
// lives in its dialog, not here.
class CTmpView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    static constexpr int kPictureWidth = 400;
    static constexpr int kPictureHeight = 290;
    // The page the view scrolls over is this small, so scroll bars only
    // appear in a window squeezed below it.
    static constexpr int kScrollWidth = 100;
    static constexpr int kScrollHeight = 100;

    // Looks for the site's picture beside the program.
    explicit CTmpView(QWidget* parent = nullptr);
    // Looks for it at picturePath instead.
    CTmpView(const QString& picturePath, QWidget* parent);

    const QPixmap& Picture() const { return picture_; }
    bool HasExternalPicture() const { return !external_.isNull(); }
    const QImage& ExternalPicture() const { return external_; }
    // Where the picture's top left corner goes in a client area of this
    // size: centred, a picture larger than the window cut equally on both
    // sides.
    static QPoint PictureOrigin(const QSize& client, const QSize& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void UpdateScrollRange();

    QPixmap picture_;
    QImage external_;
};

}  // namespace quillon::ui
