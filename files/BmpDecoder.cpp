// SPDX-License-Identifier: GPL-3.0-or-later
#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>

#include "files/FileError.h"
#include "files/PictureDecoders.h"
#include "model/Pictures.h"

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

// The 52- and 56-byte info headers are the 40-byte one followed by the
// colour masks (red, green, blue; then alpha). The toolkit's reader knows the
// 108-byte header, which begins the same way: the file is read with its
// header grown to that size, the colour table and rows moved along.
QByteArray WithKnownHeader(const QByteArray& File) {
  const quint32 headerSize = Little(File, 14, 4);
  if ((headerSize != 52 && headerSize != 56) || File.size() < 14 + qsizetype(headerSize)) return File;
  constexpr int Known = 108;
  const int grow = Known - static_cast<int>(headerSize);
  QByteArray file = File.left(14 + headerSize) + QByteArray(grow, '\0') + File.mid(14 + headerSize);
  auto put32 = [&](int At, quint32 V) {
    for (int i = 0; i < 4; ++i) file[At + i] = static_cast<char>(V >> (8 * i));
  };
  put32(2, Little(File, 2, 4) + grow);
  put32(10, Little(File, 10, 4) + grow);
  put32(14, Known);
  return file;
}

// The toolkit widens a colour channel of fewer than 8 bits by shifting it
// up, so the brightest 5-bit red reads 248. Widened here instead so that
// full reaches 255: (v << 3) | (v >> 2) for 5 bits, as other readers do.
void WidenNarrowChannels(const QByteArray& File, QImage& Picture) {
  const quint32 headerSize = Little(File, 14, 4);
  if (headerSize < 40) return;
  const quint32 bits = Little(File, 28, 2), compression = Little(File, 30, 4);
  quint32 masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16 bits without masks: 5-5-5
  if (compression == 3 || compression == 6) {
    for (int i = 0; i < 3; ++i) masks[i] = Little(File, 54 + 4 * i, 4);
  } else if (bits != 16) {
    return;
  }
  std::array<std::array<uchar, 256>, 3> widen{};
  bool any = false;
  for (int c = 0; c < 3; ++c) {
    const int width = std::popcount(masks[c]);
    for (int q = 0; q < 256; ++q) {
      if (width == 0 || width >= 8) {
        widen[c][q] = static_cast<uchar>(q);
        continue;
      }
      const int raw = q >> (8 - width);
      widen[c][q] = static_cast<uchar>((raw * 255 + ((1 << width) - 1) / 2) / ((1 << width) - 1));
    }
    any = any || (width > 0 && width < 8);
  }
  if (!any || Picture.format() != QImage::Format_RGB32) return;
  for (int y = 0; y < Picture.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(Picture.scanLine(y));
    for (int x = 0; x < Picture.width(); ++x)
      line[x] = qRgb(widen[0][qRed(line[x])], widen[1][qGreen(line[x])], widen[2][qBlue(line[x])]);
  }
}

}  // namespace

QImage DecodeBmp(const QByteArray& Original) {
  const char* const invalid = "Bitmap image is not valid";
  const QByteArray file = WithKnownHeader(Original);
  QByteArray copy = file;
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
    throw EFileError(
        PictureTooLargeMessage(static_cast<int>(width), static_cast<int>(std::min<qint64>(height, INT_MAX)))
            .toStdString());
  const QSize size(static_cast<int>(width), static_cast<int>(height));
  const TBmpLayout layout = Layout(file, width, height);
  if (!layout.RunLength && file.size() < layout.Needed) throw EFileError(invalid);
  // The largest allowed picture takes 400 MB at four bytes a pixel, more than
  // the reader allows by default.
  reader.setAllocationLimit(512);
  QImage picture;
  if (layout.RunLength) {
    // The reader fills a picture of its own size and format in place.
    picture = NewPicture(size, QImage::Format_Indexed8);
    picture.fill(0);
  } else {
    // The reader makes its picture itself and says nothing when it cannot:
    // whether one of the largest format fits is asked first.
    NewPicture(size);
  }
  if (!reader.read(&picture) || picture.isNull() || picture.size() != size) throw EFileError(invalid);
  if (picture.colorCount() > 0) return picture;
  if (picture.format() != QImage::Format_RGB32) picture = picture.convertToFormat(QImage::Format_RGB32);
  WidenNarrowChannels(file, picture);
  return picture;
}
