// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The figure type file (.stk): the version byte, then the figure type's
// stream record (count byte, 24-byte segment records).

#include <QByteArray>
#include <cstdint>

#include "files/FileError.h"
#include "model/FigureTypeUnit.h"

constexpr uint8_t StkVersion = 1;
// The longest .stk file the format needs: the version, the count and 255
// segment records. Whatever follows is ignored and not even read.
constexpr qint64 MaxStkFileBytes = 2 + 24 * 255;

// The file refused: wrong version, damaged or incomplete.
class EStkIncompatible : public EFileError {
 public:
  EStkIncompatible() : EFileError("that .stk file is not compatible with this version of Tavel") {}
};

QByteArray StkFileBytes(const TFigureType& Type);
// The type in a whole .stk file, static bytes as stored. Anything but a
// complete, valid record after the version byte (bytes after it are
// ignored) throws EStkIncompatible.
TFigureType ReadStkFile(const QByteArray& File);
