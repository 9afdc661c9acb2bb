// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifBlocks.h"

#include <algorithm>

int ColorTableBits(int Count) {
  if (Count <= 0) return 0;
  int bits = 1;
  while ((1 << bits) < Count) ++bits;
  return bits;
}

void PutWord(QByteArray& Out, uint16_t Value) {
  Out.append(static_cast<char>(Value & 0xFF));
  Out.append(static_cast<char>(Value >> 8));
}

void WriteGifHeader(QByteArray& Out, bool HasExtensions) { Out.append(HasExtensions ? "GIF89a" : "GIF87a"); }

void WriteScreenDescriptor(QByteArray& Out, uint16_t Width, uint16_t Height, bool GlobalTable, bool Sorted, int Bits) {
  PutWord(Out, Width);
  PutWord(Out, Height);
  const int size = Bits > 0 ? Bits - 1 : 0;
  Out.append(static_cast<char>((GlobalTable ? 0x80 : 0) + (Sorted ? 0x08 : 0) + (size << 4) + size));
  Out.append('\0');  // background colour index
  Out.append('\0');  // pixel aspect ratio
}

void WriteColorTable(QByteArray& Out, const TGIFColor* Entries, int Count, int Bits) {
  for (int i = 0; i < Count; ++i) {
    Out.append(static_cast<char>(Entries[i].Red));
    Out.append(static_cast<char>(Entries[i].Green));
    Out.append(static_cast<char>(Entries[i].Blue));
  }
  for (int i = Count; i < (1 << Bits); ++i) Out.append(3, '\0');
}

void WriteLoopExtension(QByteArray& Out, uint16_t Loops, uint32_t BufferSize) {
  Out.append(
      "\x21\xFF\x0B"
      "NETSCAPE2.0"
      "\x03\x01",
      16);
  PutWord(Out, Loops);
  if (BufferSize != 0) {
    Out.append("\x05\x02", 2);
    PutWord(Out, static_cast<uint16_t>(BufferSize));
    PutWord(Out, static_cast<uint16_t>(BufferSize >> 16));
  }
  Out.append('\0');
}

void WriteGraphicControl(QByteArray& Out, uint8_t Disposal, bool UserInput, bool Transparent, uint16_t Delay,
                         uint8_t TransparentIndex) {
  Out.append("\x21\xF9\x04", 3);
  Out.append(static_cast<char>(((Disposal & 7) << 2) | (UserInput ? 2 : 0) | (Transparent ? 1 : 0)));
  PutWord(Out, Delay);
  Out.append(static_cast<char>(TransparentIndex));
  Out.append('\0');
}

void WriteImageDescriptor(QByteArray& Out, uint16_t Left, uint16_t Top, uint16_t Width, uint16_t Height, int LocalBits,
                          bool LocalSorted) {
  Out.append(static_cast<char>(0x2C));
  PutWord(Out, Left);
  PutWord(Out, Top);
  PutWord(Out, Width);
  PutWord(Out, Height);
  Out.append(static_cast<char>(LocalBits > 0 ? 0x80 + (LocalSorted ? 0x20 : 0) + (LocalBits - 1) : 0));
}

std::vector<uint16_t> SplitDelay(uint64_t Hundredths) {
  std::vector<uint16_t> delays;
  do {
    const uint64_t part = std::min<uint64_t>(Hundredths, 0xFFFF);
    delays.push_back(static_cast<uint16_t>(part));
    Hundredths -= part;
  } while (Hundredths > 0);
  return delays;
}
