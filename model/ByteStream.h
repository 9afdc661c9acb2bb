#pragma once
// Little-endian reading and writing of the figure model's raw records on a
// QIODevice (a file, or a QBuffer over a byte array in tests and in the
// project reader). Reads that run past the end of the data throw
// EStreamError instead of returning garbage.

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

void WriteRaw(QIODevice& Stream, const void* Data, qint64 Size);
// Reads exactly Size bytes or throws EStreamError naming What ("the figure type record").
void ReadRaw(QIODevice& Stream, void* Data, qint64 Size, const char* What);

template <class T>
void WriteLE(QIODevice& Stream, T Value) {
  static_assert(std::is_arithmetic_v<T>);
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &Value, sizeof(T));
  if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  }
  WriteRaw(Stream, bytes, sizeof(T));
}

template <class T>
T ReadLE(QIODevice& Stream, const char* What) {
  static_assert(std::is_arithmetic_v<T>);
  unsigned char bytes[sizeof(T)];
  ReadRaw(Stream, bytes, sizeof(T), What);
  if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  }
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}
