// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GIF export's frame encoder: a frame of colour indices, with the frame
// before it, becomes the image descriptor and image data the file holds:
// merged (pixels equal to the frame before turn transparent), cropped to
// the area that changed, or, for the smaller file, the shorter of two ways
// of writing the changed area.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>
#include <vector>

#include "export/GifBlocks.h"
#include "export/GifColors.h"
#include "export/GifExport.h"
#include "export/GifLzw.h"

// How frames become colour indices.
enum class TReduction {
  Cube,       // the 216-colour cube, through the palette step's map when there is one
  Exact,      // each colour its own entry (at most 256 in all)
  Quantized,  // libimagequant's colours, dithered
};

// The colour tables the file is written with.
struct TStreamPalette {
  TReduction Reduction = TReduction::Cube;
  TColorCounts ExactIndex;         // colour -> index, for TReduction::Exact
  bool Global = false;             // one global table (palette step); else the cube as every frame's local table
  std::array<uint8_t, 256> Map{};  // cube index -> written index
  std::vector<TGIFColor> Colors;   // the global table
  bool Sorted = false;
  int Transparent = -1;  // the index unchanged pixels become; -1: no frame turns transparent
  int Bits = 8;          // largest bits per entry of any table
  // The export without the smaller file merges (and so may drop frames and
  // hand their delays on); the smaller file shows what it shows.
  bool DefaultMerges = false;

  // The transparent index follows the colours (when Wanted). The export
  // without the smaller file gives it a black entry of the table; the
  // smaller file leaves it outside the table (a transparent pixel is never
  // looked up), so the table and the frames without transparent pixels
  // need a bit less when the colours fill a power of two.
  void AddTransparentIndex(bool Wanted, bool Smaller);
};

struct TEncodedFrame {
  bool Transparent = false;
  bool Vanished = false;  // nothing changed: the frame is dropped
  QByteArray Bytes;       // descriptor, local table, image data
};

// What one thread's encoding reuses from frame to frame.
struct TEncoderScratch {
  TGifLzwEncoder Lzw;
  std::vector<uint8_t> Merged;
  std::vector<uint8_t> Chosen;  // the smaller file's values of a changed area ...
  std::vector<uint8_t> Others;  // ... and the ones its unchanged pixels may take instead
  QByteArray Tried[2];
  QByteArray Kept;
};

class TGifFrameEncoder {
 public:
  TGifFrameEncoder(const TStreamPalette& Palette, const TGifExportOptions& Options, QSize Size)
      : Palette(Palette), Options(Options), Size(Size) {}

  // Encodes a frame of Size's indices; Before is the frame before it, or
  // null for the first frame.
  void Encode(const uint8_t* Pixels, const uint8_t* Before, TEncoderScratch& S, TEncodedFrame& Frame) const;
  // Appends a frame of one transparent pixel: it carries on a time longer
  // than one frame's delay field holds.
  void AppendHold(TEncoderScratch& S, QByteArray& Out) const;

 private:
  void EncodeSmaller(const uint8_t* Pixels, const uint8_t* Before, TEncoderScratch& S, TEncodedFrame& Frame) const;
  // Appends the descriptor and image data of Area, whose row y starts at
  // Pixels + y * Stride, with the global table; with Others (rows as in
  // Pixels), each pixel may be written as its value there instead. The
  // codes start as narrow as the values used allow: the transparent index
  // may need a bit more. A table that fills up is cleared or kept to the
  // end, whichever is shorter.
  void EncodeArea(TEncoderScratch& S, QRect Area, const uint8_t* Pixels, const uint8_t* Others, int Stride,
                  bool UsesTransparent, QByteArray& Out) const;

  const TStreamPalette& Palette;
  const TGifExportOptions& Options;
  QSize Size;
};
