// The project reader: a payload (or, when the bytes start like one, a zlib
// stream, inflated in small pieces so blocks straddle them) is read or
// refused with a message; what is read is installed and
// its first frames drawn, so the figures it holds must be usable.

#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

#include "files/ProjectFile.h"
#include "model/Common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool ready = [] {
    CreateFigureTypeTable();
    return true;
  }();
  (void)ready;
  QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  try {
    TProjectContents project =
        Size >= 2 && Data[0] == 0x78 ? ParseProjectStream(bytes, 61, 64 << 20) : ParseProjectPayload(bytes);
    InstallProjectModel(std::move(project));
    QImage picture(32, 32, QImage::Format_RGB32);
    QPainter canvas(&picture);
    PrepareCanvas(canvas);
    for (std::size_t i = 0; i < Frames.size() && i < 3; ++i) DrawFrame(canvas, Frames[i], 32.0f / AnimationHeight);
  } catch (const EFileError&) {
  }
  return 0;
}
