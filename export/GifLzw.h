// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GIF variant of LZW: variable-width codes of up to 12 bits, a clear code
// first, a clear code (and a fresh table) instead of assigning code 4095, an
// end code last, packed least significant bit first into sub-blocks of at
// most 255 bytes.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

class TGifLzwEncoder {
 public:
  TGifLzwEncoder();

  // Appends the image data block of a Width x Height rectangle of pixels, row
  // y starting at Pixels + y * Stride: the minimum code size byte, the
  // sub-blocks and the empty block that ends them. A pixel not below Limit
  // throws EFileError("Color not in color table").
  void Encode(const uint8_t* Pixels, int Width, int Height, int Stride, int MinCodeSize, int Limit, QByteArray& Out);

  // The same for pixels that may each be written as either of two values,
  // Pixels[i] or Others[i] (equal where a pixel has only one): the string
  // being matched goes on with whichever value the table has it followed
  // by, Pixels first; a string that ends gives way to one that starts with
  // the value of Pixels.
  void EncodeEither(const uint8_t* Pixels, const uint8_t* Others, int Width, int Height, int Stride, int MinCodeSize,
                    int Limit, QByteArray& Out);

  // When on, a full table is kept to the end of the picture instead of being
  // cleared: codes stay 12 bits wide and no new strings are learnt. Off by
  // default, the way every export but the smaller file writes.
  bool KeepFullTable = false;
  // Whether the last Encode filled the table.
  bool Full = false;

 private:
  struct TCodes;
  // The string being matched: its code, and while it is a run of one value,
  // that value and the run's length (else RunValue is -1).
  struct TString {
    unsigned Prefix = 0;
    int RunValue = -1;
    int RunLength = 0;
  };
  // Forgets every string learnt since the last clear.
  void ClearTable();
  // At a table of 4095 codes: a clear code and an empty table, or with
  // KeepFullTable nothing more learnt. Sets Full.
  void TableFull(TCodes& Codes);
  // Goes on from String with Value when the table has the longer string.
  bool Follow(TString& String, unsigned Value, int MinCodeSize) const;
  // Writes String's code, adds String followed by Pixel to the table (or
  // clears or keeps a full one), and returns the next string, Pixel alone.
  // String goes by value, so the encoders' loops keep theirs in registers.
  TString EndString(TCodes& Codes, TString String, unsigned Pixel);

  // Child code of (prefix code, next pixel) at prefix * 2^MinCodeSize +
  // pixel, 0 when absent; only the slots filled since the last clear are reset.
  std::vector<uint16_t> Children;
  std::vector<uint32_t> Filled;
  // Runs[v][n]: the code of the string of n + 2 pixels of value v.
  std::array<std::vector<uint16_t>, 256> Runs;
};
