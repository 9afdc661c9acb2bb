// SPDX-License-Identifier: GPL-3.0-or-later
// What another program put on the clipboard: a clip is read for an animation
// that already has a type of its own, or refused; the figures read must draw.

#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

#include "files/FigureClip.h"
#include "files/FileError.h"
#include "model/Common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  TFigureTypeTable into;
  auto arm = std::make_shared<TFigureType>();
  arm->AddSegment(0, SegmentLine, 5, 1, 0.5, 0);
  into.Append(std::move(arm), "arm");
  TClip clip;
  try {
    clip = ReadClip(bytes, into);
  } catch (const EFileError&) {
    return 0;
  }
  for (const auto& [type, name] : clip.NewTypes) into.Append(type, name);
  QImage picture(32, 32, QImage::Format_RGB32);
  QPainter canvas(&picture);
  PrepareCanvas(canvas);
  for (const TFigures& frame : clip.Frames)
    for (const TFigure& figure : frame.Items) {
      if (figure.TypeIndex >= into.Count() || into.Type(figure.TypeIndex) != figure.TypeReference()) __builtin_trap();
      figure.Draw(canvas, 1.0f);
    }
  return 0;
}
