#pragma once
#include <QImage>
#include <QString>

#include "edit/DibReader.h"

namespace quillon::ui {

// Where a site may put its own picture for the main window: beside the
// program, so that one copy serves every user of the machine.
QString ExternalPicturePath();

// The picture as an image of its own colour table; indices the table does
// not cover are black.
QImage PictureImage(const edit::DibPicture& picture);

// The picture in the file at path, or a null image when the file is
// missing or unusable; either way nothing is said, the built-in picture
// simply stays.
QImage LoadExternalPicture(const QString& path);

}  // namespace quillon::ui
