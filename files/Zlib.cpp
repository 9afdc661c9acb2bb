#include "files/Zlib.h"

#include <QString>
#include <zlib.h>

#include <algorithm>
#include <limits>

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

QByteArray ZlibDecompress(const QByteArray& Stream, qint64 MaxBytes) {
  z_stream z{};
  if (inflateInit2(&z, 15) != Z_OK) throw EZlibError();
  QByteArray out;
  // Level-9 payloads of the figure model shrink about tenfold; start there.
  out.resize(static_cast<qsizetype>(std::clamp<qint64>(qint64(Stream.size()) * 8, 4096, MaxBytes + 1)));
  constexpr qsizetype Piece = qsizetype(1) << 30;
  qsizetype in = 0, produced = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    if (produced == out.size()) {
      if (produced > MaxBytes) break;
      out.resize(static_cast<qsizetype>(std::min<qint64>(qint64(out.size()) * 2, MaxBytes + 1)));
    }
    const qsizetype takeIn = std::min(Piece, Stream.size() - in);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Stream.constData() + in));
    z.avail_in = static_cast<uInt>(takeIn);
    const qsizetype room = std::min(Piece, out.size() - produced);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = static_cast<uInt>(room);
    status = inflate(&z, Z_NO_FLUSH);
    in += takeIn - z.avail_in;
    produced += room - z.avail_out;
    if (status == Z_BUF_ERROR && z.avail_out != 0) break;  // the input ended before the stream did
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) break;
  }
  inflateEnd(&z);
  if (status != Z_STREAM_END || produced > MaxBytes) {
    if (produced > MaxBytes)
      throw EZlibTooLarge(QStringLiteral("the project would take more than %1 MB of memory")
                              .arg(MaxBytes >> 20)
                              .toStdString());
    throw EZlibError();
  }
  out.resize(produced);
  return out;
}
