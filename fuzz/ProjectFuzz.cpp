// SPDX-License-Identifier: GPL-3.0-or-later
// The project reader: a payload (or, when the bytes start like one, a zlib
// stream, inflated in small pieces so blocks straddle them) is read or
// refused with a message; the first frames of what is read are drawn, so
// the figures it holds must be usable.
//
// Pictures above 1 MB and frames above 16 MB are refused as a machine short
// of memory would refuse them: the reader takes the same paths, and the
// fuzzer spends its time on the format rather than on filling pictures of
// 10000 x 10000 pixels. Streams are inflated in pieces of 61 bytes when
// their last byte is a multiple of 8 (so pieces are inflated on a helper
// thread and blocks straddle them), else of 4 KiB (on the calling thread,
// for a small input): starting a thread for every input would take most of
// the fuzzer's time.

#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

#include "files/ProjectFile.h"
#include "model/Animation.h"
#include "model/Common.h"
#include "model/Pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool ready = [] {
    FailPicturesFrom(qint64(1) << 20);
    return true;
  }();
  (void)ready;
  QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  try {
    const TAnimation project = Size >= 2 && Data[0] == 0x78
                                   ? ParseProjectStream(bytes, Data[Size - 1] % 8 == 0 ? 61 : 4096, 64 << 20, 16 << 20)
                                   : ParseProjectPayload(bytes, 16 << 20);
    QImage picture(32, 32, QImage::Format_RGB32);
    QPainter canvas(&picture);
    PrepareCanvas(canvas);
    for (std::size_t i = 0; i < project.Frames.size() && i < 3; ++i)
      DrawFrame(canvas, project, project.Frames[i], 32.0f / static_cast<float>(project.Height));
  } catch (const EFileError&) {
  } catch (const EPictureMemory&) {
  }
  return 0;
}
