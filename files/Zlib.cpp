// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/Zlib.h"

#include <zlib.h>

#include <QString>
#include <algorithm>
#include <limits>

uint32_t Crc32(const char* Data, qsizetype Size) {
  return static_cast<uint32_t>(
      crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(Data), static_cast<z_size_t>(Size)));
}

TDeflatedPiece DeflatePiece(const char* Data, qsizetype Size) {
  if (Size > qsizetype(1) << 30) throw EFileError("Error");  // zlib counts in 32 bits
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw EFileError("Error");
  TDeflatedPiece piece;
  piece.Length = Size;
  piece.Adler = static_cast<uint32_t>(adler32_z(1, reinterpret_cast<const Bytef*>(Data), static_cast<z_size_t>(Size)));
  // A sync flush ends the piece on a byte boundary with an empty stored block.
  piece.Deflated.resize(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(Size))) + 64);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data));
  z.avail_in = static_cast<uInt>(Size);
  qsizetype produced = 0;
  for (;;) {
    z.next_out = reinterpret_cast<Bytef*>(piece.Deflated.data() + produced);
    z.avail_out = static_cast<uInt>(piece.Deflated.size() - produced);
    const uInt room = z.avail_out;
    if (deflate(&z, Z_SYNC_FLUSH) == Z_STREAM_ERROR) {
      deflateEnd(&z);
      throw EFileError("Error");
    }
    produced += room - z.avail_out;
    if (z.avail_in == 0 && z.avail_out != 0) break;
    piece.Deflated.resize(piece.Deflated.size() + 65536);
  }
  deflateEnd(&z);
  piece.Deflated.resize(produced);
  return piece;
}

QByteArray JoinZlibPieces(const std::vector<const TDeflatedPiece*>& Pieces) {
  qsizetype size = 2 + 2 + 4;
  for (const TDeflatedPiece* p : Pieces) size += p->Deflated.size();
  QByteArray stream;
  stream.reserve(size);
  stream.append("\x78\xDA", 2);
  uLong adler = 1;
  for (const TDeflatedPiece* p : Pieces) {
    stream.append(p->Deflated);
    adler = adler32_combine(adler, p->Adler, static_cast<z_off_t>(p->Length));
  }
  stream.append("\x03\x00", 2);  // an empty final block of fixed codes
  for (const int shift : {24, 16, 8, 0}) stream.append(static_cast<char>((adler >> shift) & 0xFF));
  return stream;
}

QByteArray ZlibCompress(const QByteArray& Payload) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw EFileError("Error");
  QByteArray out;
  out.resize(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(Payload.size()))));
  // zlib counts in 32 bits: feed and drain in pieces below that.
  constexpr qsizetype Piece = qsizetype(1) << 30;
  qsizetype in = 0, produced = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    const qsizetype takeIn = std::min(Piece, Payload.size() - in);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Payload.constData() + in));
    z.avail_in = static_cast<uInt>(takeIn);
    if (produced == out.size()) out.resize(out.size() + 65536);
    const qsizetype room = std::min(Piece, out.size() - produced);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = static_cast<uInt>(room);
    const bool last = in + takeIn == Payload.size();
    status = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
    if (status == Z_STREAM_ERROR) {
      deflateEnd(&z);
      throw EFileError("Error");
    }
    in += takeIn - z.avail_in;
    produced += room - z.avail_out;
  }
  deflateEnd(&z);
  out.resize(produced);
  return out;
}

namespace {
// zlib counts in 32 bits: it is fed and drained in pieces below that.
constexpr qsizetype ZlibPiece = qsizetype(1) << 30;
}  // namespace

TZlibInflater::TZlibInflater(const QByteArray& Stream, qint64 MaxBytes)
    : Stream(Stream), MaxBytes(MaxBytes), Z(std::make_unique<z_stream_s>()) {
  if (inflateInit2(Z.get(), 15) != Z_OK) throw EZlibError();
}

TZlibInflater::~TZlibInflater() { inflateEnd(Z.get()); }

namespace {
// Whether Stream begins with a zlib header: deflate with a window of at most
// 32 KB, the check bits right.
bool BeginsAsZlib(const QByteArray& Stream) {
  if (Stream.size() < 2) return false;
  const unsigned cmf = static_cast<uint8_t>(Stream[0]), flg = static_cast<uint8_t>(Stream[1]);
  return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (cmf * 256 + flg) % 31 == 0;
}

EZlibTooLarge TooLarge(qint64 MaxBytes) {
  return EZlibTooLarge(
      QStringLiteral("the project would take more than %1 MB of memory").arg(MaxBytes >> 20).toStdString());
}
}  // namespace

bool TZlibInflater::More(QByteArray& Out, qsizetype Count) {
  if (Ended) return false;
  if (Produced > MaxBytes) throw TooLarge(MaxBytes);
  const qsizetype start = Out.size();
  // One byte past the limit is room enough to tell that it is passed.
  const qsizetype room =
      static_cast<qsizetype>(std::clamp<qint64>(std::min<qint64>(Count, ZlibPiece), 1, MaxBytes + 1 - Produced));
  Out.resize(start + room);
  qsizetype produced = 0;
  int status = Z_OK;
  while (produced < room && status != Z_STREAM_END) {
    const qsizetype takeIn = std::min(ZlibPiece, Stream.size() - In);
    Z->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Stream.constData() + In));
    Z->avail_in = static_cast<uInt>(takeIn);
    Z->next_out = reinterpret_cast<Bytef*>(Out.data() + start + produced);
    Z->avail_out = static_cast<uInt>(room - produced);
    status = inflate(Z.get(), Z_NO_FLUSH);
    In += takeIn - Z->avail_in;
    produced = room - Z->avail_out;
    // A buffer error with room left means the input ended before the stream did.
    const bool endsEarly = status == Z_BUF_ERROR && Z->avail_out != 0;
    if (endsEarly || (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)) {
      Out.resize(start);
      throw EZlibError(!BeginsAsZlib(Stream) ? EZlibError::NotZlib
                       : endsEarly           ? EZlibError::EndsEarly
                                             : EZlibError::Corrupt);
    }
  }
  Out.resize(start + produced);
  Produced += produced;
  if (Produced > MaxBytes) throw TooLarge(MaxBytes);
  if (status == Z_STREAM_END) Ended = true;
  return produced > 0 || !Ended;
}

QByteArray ZlibDecompress(const QByteArray& Stream, qint64 MaxBytes) {
  TZlibInflater inflater(Stream, MaxBytes);
  QByteArray out;
  // Level-9 payloads of the figure model shrink about tenfold; start there
  // and double, inflating straight into the room each time.
  out.reserve(static_cast<qsizetype>(std::clamp<qint64>(qint64(Stream.size()) * 8, 4096, MaxBytes + 1)));
  while (inflater.More(out, std::max<qsizetype>(out.capacity() - out.size(), out.size()))) {
  }
  return out;
}
