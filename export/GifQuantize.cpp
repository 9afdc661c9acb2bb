// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifQuantize.h"

#include <libimagequant.h>

#include <string>

#include "files/FileError.h"

namespace {

// libimagequant reads a picture row by row through this, so no RGBA copy of
// the frame is made.
void RgbaRow(liq_color RowOut[], int Row, int Width, void* Picture) {
  const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const QImage*>(Picture)->constScanLine(Row));
  for (int x = 0; x < Width; ++x)
    RowOut[x] = {static_cast<unsigned char>(line[x] >> 16), static_cast<unsigned char>(line[x] >> 8),
                 static_cast<unsigned char>(line[x]), 255};
}

[[noreturn]] void Fail(const char* What, int Code) {
  throw EFileError(std::string("The colours could not be chosen (libimagequant: ") + What + ", error " +
                   std::to_string(Code) + ").");
}

struct TLiqImage {
  liq_image* Image;
  TLiqImage(liq_attr* Attr, const QImage& Picture)
      : Image(liq_image_create_custom(Attr, RgbaRow, const_cast<QImage*>(&Picture), Picture.width(), Picture.height(),
                                      0)) {
    if (Image == nullptr) Fail("image", LIQ_OUT_OF_MEMORY);
  }
  ~TLiqImage() { liq_image_destroy(Image); }
};

}  // namespace

TQuantizer::TQuantizer() : Attr(liq_attr_create()) {
  if (Attr == nullptr) Fail("attributes", LIQ_OUT_OF_MEMORY);
  Histogram = liq_histogram_create(Attr);
  if (Histogram == nullptr) {
    liq_attr_destroy(Attr);
    Fail("histogram", LIQ_OUT_OF_MEMORY);
  }
}

TQuantizer::~TQuantizer() {
  if (Result != nullptr) liq_result_destroy(Result);
  liq_histogram_destroy(Histogram);
  liq_attr_destroy(Attr);
}

void TQuantizer::AddFrame(const QImage& Picture) {
  TLiqImage image(Attr, Picture);
  if (const liq_error e = liq_histogram_add_image(Histogram, Attr, image.Image); e != LIQ_OK) Fail("histogram", e);
}

void TQuantizer::Quantize(int MaxColors) {
  if (const liq_error e = liq_set_max_colors(Attr, MaxColors); e != LIQ_OK) Fail("colour count", e);
  if (const liq_error e = liq_histogram_quantize(Histogram, Attr, &Result); e != LIQ_OK) Fail("quantize", e);
  liq_set_dithering_level(Result, 1.0f);
  const liq_palette* palette = liq_get_palette(Result);
  Table.clear();
  for (unsigned i = 0; i < palette->count; ++i)
    Table.push_back({palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
}

void TQuantizer::Remap(const QImage& Picture, uint8_t* Out) {
  std::lock_guard<std::mutex> guard(RemapLock);
  TLiqImage image(Attr, Picture);
  const std::size_t size = static_cast<std::size_t>(Picture.width()) * Picture.height();
  if (const liq_error e = liq_write_remapped_image(Result, image.Image, Out, size); e != LIQ_OK) Fail("remap", e);
}
