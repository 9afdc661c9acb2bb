// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One zlib stream over a whole buffer, as the project file holds it.

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <vector>

struct z_stream_s;

// Deflate at level 9, a 15-bit window, memory level 8, default strategy:
// the stream starts with the bytes 0x78 0xDA.
QByteArray ZlibCompress(const QByteArray& Payload);

// Inflates one whole zlib stream. Throws EZlibError ("Error", with the
// fault) when the data is not a complete zlib stream, and EZlibTooLarge when it would inflate to
// more than MaxBytes.
QByteArray ZlibDecompress(const QByteArray& Stream, qint64 MaxBytes);

// zlib's CRC-32 of Size bytes at Data.
uint32_t Crc32(const char* Data, qsizetype Size);

// Bytes deflated on their own (level 9, a 15-bit window, memory level 8,
// without a zlib header, ending on a byte boundary with no final block),
// with the Adler-32 and the length of the bytes, so that pieces made at
// different times join into one zlib stream without being compressed again.
struct TDeflatedPiece {
  QByteArray Deflated;
  uint32_t Adler = 1;
  qint64 Length = 0;
};
TDeflatedPiece DeflatePiece(const char* Data, qsizetype Size);
// One whole zlib stream of Pieces in order: the header 0x78 0xDA, the
// pieces, an empty final block, the Adler-32 of all the pieces' bytes.
QByteArray JoinZlibPieces(const std::vector<const TDeflatedPiece*>& Pieces);

// Inflates one zlib stream a piece at a time, so that its reader can use
// each piece while it is fresh in the cache and keep only what it still needs.
class TZlibInflater {
 public:
  // Stream must outlive the inflater.
  TZlibInflater(const QByteArray& Stream, qint64 MaxBytes);
  ~TZlibInflater();
  TZlibInflater(const TZlibInflater&) = delete;
  TZlibInflater& operator=(const TZlibInflater&) = delete;

  // Appends up to Count (at least 1) more bytes of the inflated data to Out.
  // False, appending nothing, once the stream has ended; the errors are
  // ZlibDecompress's, thrown when the inflater comes upon them.
  bool More(QByteArray& Out, qsizetype Count);

 private:
  const QByteArray& Stream;
  const qint64 MaxBytes;
  std::unique_ptr<z_stream_s> Z;
  qsizetype In = 0;
  qint64 Produced = 0;
  bool Ended = false;
};

#include "files/FileError.h"
// Data that is not a complete zlib stream: "Error", and what is wrong.
class EZlibError : public EFileError {
 public:
  enum TFault {
    NotZlib,    // it does not begin as a zlib stream
    EndsEarly,  // it ends before the stream does
    Corrupt,    // the stream is damaged on the way
  };
  explicit EZlibError(TFault Fault = Corrupt, const std::string& Text = "Error") : EFileError(Text), Fault(Fault) {}
  TFault Fault;
};
class EZlibTooLarge : public EFileError {
 public:
  using EFileError::EFileError;
};
