// SPDX-License-Identifier: GPL-3.0-or-later
// The figure type file reader: a file is read or refused; a type that is read
// must make a figure that can be placed, hit-tested and drawn.

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <cstddef>
#include <cstdint>

#include "files/StkFile.h"
#include "model/Common.h"
#include "model/FigureTypeUnit.h"
#include "model/FigureUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  TFigureTypeRef type;
  try {
    type = std::make_shared<const TFigureType>(ReadStkFile(bytes));
  } catch (const EStkIncompatible&) {
    return 0;
  }
  TFigure figure;
  figure.SetType(2, type);
  figure.MoveBy(RealPoint(16, 16));
  figure.HandleAt(QPoint(16, 16));
  QImage picture(32, 32, QImage::Format_RGB32);
  QPainter canvas(&picture);
  PrepareCanvas(canvas);
  figure.Draw(canvas, 1.0f);
  return 0;
}
