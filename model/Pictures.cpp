// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Pictures.h"

#include <QPainter>
#include <atomic>
#include <string>

namespace {
std::atomic<qint64> FailingFrom{0};
}

EPictureMemory::EPictureMemory(QSize Size)
    : std::runtime_error("There is not enough memory for an animation of " + std::to_string(Size.width()) + " \u00d7 " +
                         std::to_string(Size.height()) + " pixels.") {}

namespace {
bool Refused(QSize Size, QImage::Format Format) {
  const qint64 from = FailingFrom.load(std::memory_order_relaxed);
  const qint64 bytes = qint64(Size.width()) * Size.height() * QImage::toPixelFormat(Format).bitsPerPixel() / 8;
  return from > 0 && bytes >= from;
}
}  // namespace

QImage TryNewPicture(QSize Size, QImage::Format Format) {
  if (Refused(Size, Format)) return QImage();
  return QImage(Size, Format);
}

QImage NewPicture(QSize Size, QImage::Format Format) {
  QImage picture = TryNewPicture(Size, Format);
  if (picture.isNull() && !Size.isEmpty()) throw EPictureMemory(Size);
  return picture;
}

QImage CutOrExtend(const QImage& Picture, int Width, int Height) {
  if (Picture.width() == Width && Picture.height() == Height) return Picture;
  if (!Picture.isNull() && Picture.width() >= Width && Picture.height() >= Height) {
    if (Refused(QSize(Width, Height), Picture.format())) throw EPictureMemory(QSize(Width, Height));
    QImage cut = Picture.copy(0, 0, Width, Height);
    if (cut.isNull()) throw EPictureMemory(QSize(Width, Height));
    return cut;
  }
  QImage result = NewPicture(QSize(Width, Height));
  result.fill(Qt::white);
  QPainter canvas(&result);
  canvas.drawImage(QPoint(0, 0), Picture);
  return result;
}

void FailPicturesFrom(qint64 Bytes) { FailingFrom.store(Bytes, std::memory_order_relaxed); }
