// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/StkFile.h"

#include "model/ByteStream.h"

QByteArray StkFileBytes(const TFigureType& Type) {
  QByteArray bytes(1, static_cast<char>(StkVersion));
  Type.SaveToBytes(bytes);
  return bytes;
}

TFigureType ReadStkFile(const QByteArray& File) {
  if (File.isEmpty() || static_cast<uint8_t>(File[0]) != StkVersion) throw EStkIncompatible();
  TByteReader reader(File.constData() + 1, File.size() - 1);
  TFigureType type;
  try {
    type.LoadFromBytes(reader);
  } catch (const EStreamError&) {
    throw EStkIncompatible();
  }
  return type;
}
