// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little-endian reading and writing of the figure model's raw records, on a
// QIODevice or, faster, straight on a byte buffer (the files are read and
// written whole). Reads that run past the end of the data throw EStreamError
// instead of returning garbage.

#include <QByteArray>
#include <QtEndian>
#include <QtGlobal>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

class QIODevice;

// A record that cannot be read or written. what() is a sentence for the user.
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// The data ran out before the record did: more data might complete it,
// where any other EStreamError means the record itself is wrong.
class EStreamEnded : public EStreamError {
 public:
  explicit EStreamEnded(const char* What)
      : EStreamError(std::string(What) + " ends early: the data is damaged or incomplete.") {}
  // Ended with a sentence of the reader's own.
  explicit EStreamEnded(const std::string& Sentence) : EStreamError(Sentence) {}
};

void WriteRaw(QIODevice& Stream, const void* Data, qint64 Size);
// Reads exactly Size bytes or throws EStreamError naming What ("the figure type record").
void ReadRaw(QIODevice& Stream, void* Data, qint64 Size, const char* What);

// Appends little-endian values to a byte buffer.
class TByteWriter {
 public:
  explicit TByteWriter(QByteArray& Out) : Bytes(Out) {}
  template <class T>
  void Write(T Value) {
    static_assert(std::is_arithmetic_v<T>);
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) Value = qbswap(Value);
    Bytes.append(reinterpret_cast<const char*>(&Value), sizeof(T));
  }
  void WriteBytes(const void* Data, qsizetype Size) { Bytes.append(static_cast<const char*>(Data), Size); }
  qsizetype Pos() const { return Bytes.size(); }

 private:
  QByteArray& Bytes;
};

// Reads little-endian values from a byte buffer that outlives it, never past its end.
class TByteReader {
 public:
  TByteReader(const char* Data, qsizetype Size) : Begin(Data), Size(Size) {}
  explicit TByteReader(const QByteArray& Bytes) : TByteReader(Bytes.constData(), Bytes.size()) {}

  qsizetype Pos() const { return Position; }
  qsizetype Remaining() const { return Size - Position; }

  // The next Count bytes, skipped over; EStreamError naming What when fewer remain.
  const char* Take(qsizetype Count, const char* What) {
    if (Count < 0 || Count > Remaining()) throw EStreamEnded(What);
    const char* at = Begin + Position;
    Position += Count;
    return at;
  }
  template <class T>
  T Read(const char* What) {
    static_assert(std::is_arithmetic_v<T>);
    T value;
    std::memcpy(&value, Take(sizeof(T), What), sizeof(T));
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) value = qbswap(value);
    return value;
  }

 private:
  const char* Begin;
  qsizetype Size;
  qsizetype Position = 0;
};
