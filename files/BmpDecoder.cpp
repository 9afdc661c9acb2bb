#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "files/FileError.h"
#include "files/PictureDecoders.h"

QString PictureTooLargeMessage(int Width, int Height) {
  return QStringLiteral("The picture is %1 x %2 pixels; pictures may be at most %3 pixels wide and %3 high.")
      .arg(Width)
      .arg(Height)
      .arg(MaxPictureSide);
}

namespace {

quint32 Little(const QByteArray& File, qsizetype At, int Bytes) {
  quint32 value = 0;
  for (int i = Bytes - 1; i >= 0; --i)
    value = value << 8 | (At + i < File.size() ? static_cast<uchar>(File[At + i]) : 0u);
  return value;
}

// What the pixel rows of a BMP need. The toolkit's reader stops at the end of
// the data and leaves the rows it did not reach as the memory held before,
// so files that end early are refused here, and run-length coded pictures
// (whose length is known only by decoding them) start from a cleared picture.
struct TBmpLayout {
  bool RunLength = false;
  qint64 Needed = 0;  // bytes the file must hold for its rows
};

TBmpLayout Layout(const QByteArray& File, qint64 Width, qint64 Height) {
  const quint32 headerSize = Little(File, 14, 4);
  const bool core = headerSize == 12;  // the old, short header
  const qint64 bits = Little(File, core ? 24 : 28, 2);
  const quint32 compression = core ? 0 : Little(File, 30, 4);
  if (compression == 1 || compression == 2) return {true, 0};
  qint64 colours = 0;
  if (bits <= 8) colours = !core && Little(File, 46, 4) != 0 ? Little(File, 46, 4) : qint64(1) << bits;
  const qint64 table = 14 + std::min<qint64>(headerSize, 40) + colours * (core ? 3 : 4);
  const qint64 rows = std::max<qint64>(Little(File, 10, 4), table);
  return {false, rows + (Width * bits + 31) / 32 * 4 * Height};
}

}  // namespace

QImage DecodeBmp(const QByteArray& File) {
  const char* const invalid = "Bitmap image is not valid";
  QByteArray copy = File;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  reader.setDecideFormatFromContent(false);
  // The reader reports a top-down file (rows stored first to last) with a
  // negative height.
  const QSize reported = reader.size();
  const qint64 width = reported.width(), height = std::abs(static_cast<qint64>(reported.height()));
  if (width <= 0 || height <= 0) throw EFileError(invalid);
  if (width > MaxPictureSide || height > MaxPictureSide)
    throw EFileError(PictureTooLargeMessage(static_cast<int>(width), static_cast<int>(std::min<qint64>(height, INT_MAX)))
                         .toStdString());
  const QSize size(static_cast<int>(width), static_cast<int>(height));
  const TBmpLayout layout = Layout(File, width, height);
  if (!layout.RunLength && File.size() < layout.Needed) throw EFileError(invalid);
  // The largest allowed picture takes 400 MB at four bytes a pixel, more than
  // the reader allows by default.
  reader.setAllocationLimit(512);
  QImage picture;
  if (layout.RunLength) {
    // The reader fills a picture of its own size and format in place.
    picture = QImage(size, QImage::Format_Indexed8);
    if (picture.isNull()) throw EFileError(invalid);
    picture.fill(0);
  }
  if (!reader.read(&picture) || picture.isNull() || picture.size() != size) throw EFileError(invalid);
  if (picture.colorCount() > 0) return picture;
  if (picture.format() != QImage::Format_RGB32) picture = picture.convertToFormat(QImage::Format_RGB32);
  return picture;
}
