// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds the BMP and the JPEG decoder the same bytes: each must decode them
// or refuse them with a message, never read or write outside its buffers.

#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "files/FileError.h"
#include "files/PictureDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  for (auto decode : {&DecodeBmp, &DecodeJpeg}) {
    try {
      const QImage picture = decode(bytes);
      if (picture.isNull()) __builtin_trap();  // success must mean a picture
    } catch (const EFileError&) {
    }
  }
  return 0;
}
