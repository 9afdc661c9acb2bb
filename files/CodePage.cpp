// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/CodePage.h"

#include <QList>
#include <array>

namespace {

// Characters of the bytes 0x80..0x9F. The five bytes the code page leaves
// undefined stand for the control characters of the same number, so every
// byte reads as a character and writes back as itself.
constexpr std::array<char16_t, 32> High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteOf(char32_t C) {
  if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) return static_cast<char>(C);
  for (std::size_t i = 0; i < High.size(); ++i)
    if (High[i] == C) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

QByteArray ToCodePage(const QString& Text) {
  QByteArray bytes;
  bytes.reserve(Text.size());
  for (char32_t c : Text.toUcs4()) bytes.append(ByteOf(c));
  return bytes;
}

QString StorableName(const QString& Text) { return FromCodePage(ToCodePage(Text).left(255)); }

QString FromCodePage(const QByteArray& Bytes) {
  QString text;
  text.reserve(Bytes.size());
  for (char b : Bytes) {
    const auto u = static_cast<unsigned char>(b);
    text.append(QChar(u >= 0x80 && u < 0xA0 ? High[u - 0x80] : char16_t{u}));
  }
  return text;
}
