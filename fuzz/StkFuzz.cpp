// The figure type file reader: a file is read or refused; a type that is read
// must make a figure that can be placed, hit-tested and drawn.

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <cstddef>
#include <cstdint>

#include "files/StkFile.h"
#include "model/Common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool ready = [] {
    CreateFigureTypeTable();
    return true;
  }();
  (void)ready;
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  try {
    FigureTypes[0]->Assign(ReadStkFile(bytes));
  } catch (const EStkIncompatible&) {
    return 0;
  }
  TFigure figure;
  figure.SetType(0);
  figure.MoveBy(RealPoint(16, 16));
  figure.HandleAt(QPoint(16, 16));
  QImage picture(32, 32, QImage::Format_RGB32);
  QPainter canvas(&picture);
  PrepareCanvas(canvas);
  figure.Draw(canvas, 1.0f);
  return 0;
}
