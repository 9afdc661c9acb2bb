// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ByteStream.h"

#include <QIODevice>

void WriteRaw(QIODevice& Stream, const void* Data, qint64 Size) {
  if (Size <= 0) return;
  if (Stream.write(static_cast<const char*>(Data), Size) != Size)
    throw EStreamError("The data could not be written: " + Stream.errorString().toStdString());
}

void ReadRaw(QIODevice& Stream, void* Data, qint64 Size, const char* What) {
  if (Size <= 0) return;
  qint64 got = Stream.read(static_cast<char*>(Data), Size);
  if (got != Size) throw EStreamEnded(What);
}
