// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GIF89a blocks as the encoder writes them, shared by the document's save
// and the streaming export so both produce the same bytes.

#include <QByteArray>
#include <cstdint>
#include <vector>

struct TGIFColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

// Bits per entry of a colour table of Count entries: 0 when empty, otherwise
// the smallest b >= 1 with 2^b >= Count.
int ColorTableBits(int Count);

void PutWord(QByteArray& Out, uint16_t Value);

// "GIF89a", or "GIF87a" for a document without extensions.
void WriteGifHeader(QByteArray& Out, bool HasExtensions);

// The logical screen descriptor. Bits is the largest bits-per-entry of any
// colour table of the document.
void WriteScreenDescriptor(QByteArray& Out, uint16_t Width, uint16_t Height, bool GlobalTable, bool Sorted, int Bits);

// A colour table's entries, padded with black to 2^Bits entries.
void WriteColorTable(QByteArray& Out, const TGIFColor* Entries, int Count, int Bits);

// The "NETSCAPE2.0" looping application extension; a buffer size of 0 is not written.
void WriteLoopExtension(QByteArray& Out, uint16_t Loops, uint32_t BufferSize = 0);

// A graphic control extension.
void WriteGraphicControl(QByteArray& Out, uint8_t Disposal, bool UserInput, bool Transparent, uint16_t Delay,
                         uint8_t TransparentIndex);

// An image descriptor; LocalBits 0 means the frame has no local colour table.
void WriteImageDescriptor(QByteArray& Out, uint16_t Left, uint16_t Top, uint16_t Width, uint16_t Height, int LocalBits,
                          bool LocalSorted);

constexpr char GifTrailer = 0x3B;

// A time longer than one delay field holds, as the delays of the frames that
// show it: 65535 each, then what is left; a time of 0 is one delay of 0.
std::vector<uint16_t> SplitDelay(uint64_t Hundredths);

// A delay asked for in hundredths of a second, as the 16-bit field holds it:
// values above 65535 become 65535 rather than their low 16 bits.
inline uint16_t GifDelay(long long Hundredths) {
  return static_cast<uint16_t>(Hundredths < 0 ? 0 : Hundredths > 0xFFFF ? 0xFFFF : Hundredths);
}
