#include "ui/ExternalPicture.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstring>

namespace quillon::ui {

QString ExternalPicturePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("backgrnd.bmp"));
}

QImage PictureImage(const edit::DibPicture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_Indexed8);
    if (image.isNull()) {
        return image;
    }
    QList<QRgb> colours(qsizetype{1} << picture.bitsPerPixel, qRgb(0, 0, 0));
    qsizetype i = 0;
    for (const edit::DibColour& c : picture.palette) {
        if (i == colours.size()) {
            break;
        }
        colours[i++] = qRgb(c.red, c.green, c.blue);
    }
    image.setColorTable(colours);
    const size_t width = static_cast<size_t>(picture.width);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.indices.data() + static_cast<size_t>(y) * width,
                    width);
    }
    return image;
}

QImage LoadExternalPicture(const QString& path) {
    // The look-up is quick unless the file is large or on a slow share.
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const auto picture = edit::LoadDibFile(QFile::encodeName(path).toStdString());
    QGuiApplication::restoreOverrideCursor();
    return picture ? PictureImage(*picture) : QImage();
}

}  // namespace quillon::ui
