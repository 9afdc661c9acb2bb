#pragma once
// One zlib stream over a whole buffer, as the project file holds it.

#include <QByteArray>

// Deflate at level 9, a 15-bit window, memory level 8, default strategy:
// the stream starts with the bytes 0x78 0xDA.
QByteArray ZlibCompress(const QByteArray& Payload);

// Inflates one whole zlib stream. Throws EZlibError ("Error") when the data
// is not a complete zlib stream, and EZlibTooLarge when it would inflate to
// more than MaxBytes.
QByteArray ZlibDecompress(const QByteArray& Stream, qint64 MaxBytes);

#include "files/FileError.h"
class EZlibError : public EFileError {
 public:
  EZlibError() : EFileError("Error") {}
};
class EZlibTooLarge : public EFileError {
 public:
  using EFileError::EFileError;
};
