// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/BmpFile.h"

#include <QBuffer>
#include <QImageWriter>
#include <cstring>

#include "files/FileError.h"

namespace {

void Put16(uchar* P, quint16 V) {
  P[0] = static_cast<uchar>(V);
  P[1] = static_cast<uchar>(V >> 8);
}
void Put32(uchar* P, quint32 V) {
  for (int i = 0; i < 4; ++i) P[i] = static_cast<uchar>(V >> (8 * i));
}

}  // namespace

void EncodeBmp24(const QImage& Picture, QByteArray& Out) {
  const QImage rgb = Picture.format() == QImage::Format_RGB32 || Picture.format() == QImage::Format_ARGB32
                         ? Picture
                         : Picture.convertToFormat(QImage::Format_RGB32);
  const qint64 w = rgb.width(), h = rgb.height();
  const qint64 row = Bmp24RowBytes(w);
  const qint64 total = 54 + row * h;
  if (total > 0x7FFFFFFF) throw EFileError("The picture is too large to write as a BMP file.");
  Out.resize(static_cast<qsizetype>(total));
  uchar* p = reinterpret_cast<uchar*>(Out.data());
  std::memset(p, 0, 54);
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, static_cast<quint32>(total));
  Put32(p + 10, 54);
  Put32(p + 14, 40);
  Put32(p + 18, static_cast<quint32>(w));
  Put32(p + 22, static_cast<quint32>(h));
  Put16(p + 26, 1);
  Put16(p + 28, 24);
  Put32(p + 34, static_cast<quint32>(row * h));
  for (qint64 y = 0; y < h; ++y) {
    const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(h - 1 - y)));
    uchar* dst = p + 54 + y * row;
    for (qint64 x = 0; x < w; ++x) {
      const QRgb c = src[x];
      dst[0] = static_cast<uchar>(qBlue(c));
      dst[1] = static_cast<uchar>(qGreen(c));
      dst[2] = static_cast<uchar>(qRed(c));
      dst += 3;
    }
    for (qint64 pad = w * 3; pad < row; ++pad) *dst++ = 0;
  }
}

QByteArray BmpFileBytes(const QImage& Picture) {
  QByteArray bytes;
  if (Picture.colorCount() > 0) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(Picture)) throw EFileError(writer.errorString().toStdString());
    return bytes;
  }
  EncodeBmp24(Picture, bytes);
  return bytes;
}
