#include <QBuffer>
#include <QImageReader>

#include "files/FileError.h"
#include "files/PictureDecoders.h"

QString PictureTooLargeMessage(int Width, int Height) {
  return QStringLiteral("The picture is %1 x %2 pixels; pictures may be at most %3 pixels wide and %3 high.")
      .arg(Width)
      .arg(Height)
      .arg(MaxPictureSide);
}

QImage DecodeBmp(const QByteArray& File) {
  const char* const invalid = "Bitmap image is not valid";
  QByteArray copy = File;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  reader.setDecideFormatFromContent(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) throw EFileError(invalid);
  if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
    throw EFileError(PictureTooLargeMessage(size.width(), size.height()).toStdString());
  // The largest allowed picture takes 400 MB at four bytes a pixel, more than
  // the reader allows by default.
  reader.setAllocationLimit(512);
  QImage picture;
  if (!reader.read(&picture) || picture.isNull() || picture.size() != size) throw EFileError(invalid);
  if (picture.colorCount() > 0) return picture;
  if (picture.format() != QImage::Format_RGB32) picture = picture.convertToFormat(QImage::Format_RGB32);
  return picture;
}
