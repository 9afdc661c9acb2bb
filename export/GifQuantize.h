// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour tables for frames that use more than 256 colours: libimagequant
// chooses at most 256 colours from a histogram of every frame, then maps each
// frame onto them with its dithering. Frames are added and mapped one at a
// time, so memory does not grow with their number.

#include <QImage>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "export/GifBlocks.h"

struct liq_attr;
struct liq_histogram;
struct liq_result;

class TQuantizer {
 public:
  TQuantizer();
  ~TQuantizer();
  TQuantizer(const TQuantizer&) = delete;
  TQuantizer& operator=(const TQuantizer&) = delete;

  // Counts the colours of Picture (Format_RGB32) into the histogram. Not to
  // be called from two threads at once; the table depends on the order.
  void AddFrame(const QImage& Picture);
  // Chooses at most MaxColors colours (2 to 256) from everything added.
  void Quantize(int MaxColors);
  // The chosen colours; a pixel Remap writes is an index into them.
  const std::vector<TGIFColor>& Colors() const { return Table; }
  // Maps Picture onto the chosen colours with dithering, one index per pixel
  // into Out (width * height bytes). Safe from several threads; the result
  // depends only on Picture, never on what was mapped before.
  void Remap(const QImage& Picture, uint8_t* Out);

 private:
  liq_attr* Attr = nullptr;
  liq_histogram* Histogram = nullptr;
  liq_result* Result = nullptr;
  std::vector<TGIFColor> Table;
  std::mutex RemapLock;  // the result keeps the state of the image it maps
};
