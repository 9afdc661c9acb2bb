// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GIF encoder's document: a logical screen, an optional global colour
// table and an ordered list of frames, each with its own pixels (one colour
// index per pixel), an optional local colour table and its extensions. Frames
// are added from true-colour pictures reduced to the 216-colour cube; the
// palette step and the merge and crop optimisations rewrite the document
// before it is saved. No widgets: the command-line exporter uses it too.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

#include "export/GifBlocks.h"

class QIODevice;

class TGIFColorMap {
 public:
  static constexpr int MaxColors = 256;

  std::vector<TGIFColor> Colors;
  // Set by the palette step: entries are ordered by use, most used first.
  bool Sorted = false;

  int Count() const { return static_cast<int>(Colors.size()); }
  // Bits per entry as written: see ColorTableBits.
  int BitsPerPixel() const { return ColorTableBits(Count()); }
  // Appends an entry and returns its index; a 257th entry throws
  // EFileError("Color table overflow"). Clears Sorted.
  int Add(TGIFColor Color);
  void Clear() {
    Colors.clear();
    Sorted = false;
  }
};

class TGIFGraphicControlExtension {
 public:
  uint16_t Delay = 0;  // hundredths of a second
  uint8_t Disposal = 0;
  bool UserInput = false;
  bool Transparent = false;
  uint8_t TransparentColorIndex = 0;
};

class TGIFAppExtNSLoop {
 public:
  uint16_t Loops = 0;  // 0: for ever
  // The optional buffer size sub-block; 0 means it is not written.
  uint32_t BufferSize = 0;
};

using TGIFExtension = std::variant<TGIFAppExtNSLoop, TGIFGraphicControlExtension>;

class TGIFImage;

class TGIFSubImage {
 public:
  uint16_t Left = 0;
  uint16_t Top = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  TGIFColorMap ColorMap;      // local table; empty: the global one applies
  std::vector<uint8_t> Data;  // Width * Height colour indices, row by row
  std::vector<TGIFExtension> Extensions;

  bool Empty() const { return Width == 0 || Height == 0 || Data.empty(); }
  // The frame's graphic control extension, or null when it has none.
  TGIFGraphicControlExtension* GraphicControlExtension();
  const TGIFGraphicControlExtension* GraphicControlExtension() const;
  // The frame's extension, created (all fields 0) when missing.
  TGIFGraphicControlExtension& EnsureGraphicControlExtension();
  bool Transparent() const;
  uint8_t TransparentIndex() const;
  int Disposal() const;
  // The local table when it has entries, else the document's global table.
  TGIFColorMap& ActiveColorMap(TGIFImage& Image);
  const TGIFColorMap& ActiveColorMap(const TGIFImage& Image) const;
};

class TGIFImage {
 public:
  uint16_t Width = 0;  // logical screen, grown to contain every frame added
  uint16_t Height = 0;
  uint8_t BackgroundColorIndex = 0;
  uint8_t AspectRatio = 0;
  TGIFColorMap GlobalColorMap;
  std::vector<TGIFSubImage> Images;
  // Receives warnings such as "Color not in color table"; none by default.
  std::function<void(const QString&)> OnWarning;

  // Appends a frame made from Picture: Width x Height at (0, 0), every pixel
  // reduced to the 216-colour cube, with a 256-entry local table (the cube,
  // then black). Returns the frame's index.
  int Add(const QImage& Picture);

  // The palette step: one global table of the colours in use, most used first.
  void OptimizeColorMap();
  // Makes pixels unchanged from the previous frame transparent (Merge), then
  // cuts transparent frames down to their changed area (Crop). A frame cut
  // to nothing is dropped and the frame before it takes its delay too; a
  // delay beyond 65535 goes on in frames of one transparent pixel.
  void Optimize(bool Merge, bool Crop);

  // Largest bits per entry of any colour table.
  int BitsPerPixel() const;
  // The whole GIF file.
  QByteArray SaveToBytes() const;
  // Writes the file through a temporary file that replaces Path only when complete.
  void SaveToFile(const QString& Path) const;

 private:
  // The palette step's count of the pixels of every table's entries: the
  // global table's first, then each frame's own (empty when it has none).
  // A pixel outside its table becomes 0, with a warning; a frame that shows
  // none of its transparent pixels is no longer transparent.
  std::vector<std::vector<uint64_t>> CountColorUses();
  void MergeFrame(TGIFSubImage& Frame, const TGIFSubImage& Previous);
  void Warn(const QString& Text) const {
    if (OnWarning) OnWarning(Text);
  }
};

// Crops a transparent frame to the smallest rectangle holding every pixel
// that is not its transparent index; a frame with none left becomes empty.
void CropFrame(TGIFSubImage& Frame);
