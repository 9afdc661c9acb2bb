// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GIFImage.h"

#include <algorithm>

#include "export/ColorCube.h"
#include "export/GifLzw.h"
#include "files/FileError.h"
#include "files/WholeFile.h"

namespace {

template <class Extensions>
auto FindControl(Extensions& List) -> decltype(std::get_if<TGIFGraphicControlExtension>(&List.front())) {
  for (auto& e : List)
    if (auto* found = std::get_if<TGIFGraphicControlExtension>(&e)) return found;
  return nullptr;
}

}  // namespace

int TGIFColorMap::Add(TGIFColor Color) {
  if (Count() >= MaxColors) throw EFileError("Color table overflow");
  Colors.push_back(Color);
  Sorted = false;
  return Count() - 1;
}

TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() { return FindControl(Extensions); }

const TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const { return FindControl(Extensions); }

TGIFGraphicControlExtension& TGIFSubImage::EnsureGraphicControlExtension() {
  if (TGIFGraphicControlExtension* gce = GraphicControlExtension()) return *gce;
  Extensions.emplace_back(TGIFGraphicControlExtension{});
  return std::get<TGIFGraphicControlExtension>(Extensions.back());
}

bool TGIFSubImage::Transparent() const {
  const TGIFGraphicControlExtension* gce = GraphicControlExtension();
  return gce != nullptr && gce->Transparent;
}

uint8_t TGIFSubImage::TransparentIndex() const {
  const TGIFGraphicControlExtension* gce = GraphicControlExtension();
  return gce != nullptr ? gce->TransparentColorIndex : 0;
}

int TGIFSubImage::Disposal() const {
  const TGIFGraphicControlExtension* gce = GraphicControlExtension();
  return gce != nullptr ? gce->Disposal : 0;
}

TGIFColorMap& TGIFSubImage::ActiveColorMap(TGIFImage& Image) {
  return ColorMap.Count() > 0 ? ColorMap : Image.GlobalColorMap;
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap(const TGIFImage& Image) const {
  return ColorMap.Count() > 0 ? ColorMap : Image.GlobalColorMap;
}

int TGIFImage::Add(const QImage& Picture) {
  if (Picture.width() > 0xFFFF || Picture.height() > 0xFFFF)
    throw EFileError("The picture is too large for a GIF file.");
  const QImage rgb = Picture.format() == QImage::Format_RGB32 || Picture.format() == QImage::Format_ARGB32
                         ? Picture
                         : Picture.convertToFormat(QImage::Format_RGB32);
  TGIFSubImage frame;
  frame.Width = static_cast<uint16_t>(rgb.width());
  frame.Height = static_cast<uint16_t>(rgb.height());
  frame.Data.resize(static_cast<std::size_t>(frame.Width) * frame.Height);
  for (int y = 0; y < rgb.height(); ++y) {
    const uint32_t* line = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
    uint8_t* out = frame.Data.data() + static_cast<std::size_t>(y) * frame.Width;
    for (int x = 0; x < rgb.width(); ++x) out[x] = CubeIndex(line[x]);
  }
  frame.ColorMap.Colors.resize(TGIFColorMap::MaxColors);  // entries 216 to 255 stay black
  for (int k = 0; k < CubeColors; ++k)
    frame.ColorMap.Colors[k] = {uint8_t(CubeRed(k)), uint8_t(CubeGreen(k)), uint8_t(CubeBlue(k))};
  Width = std::max(Width, frame.Width);
  Height = std::max(Height, frame.Height);
  Images.push_back(std::move(frame));
  return static_cast<int>(Images.size()) - 1;
}

int TGIFImage::BitsPerPixel() const {
  int bits = GlobalColorMap.BitsPerPixel();
  for (const TGIFSubImage& frame : Images) bits = std::max(bits, frame.ColorMap.BitsPerPixel());
  return bits;
}

QByteArray TGIFImage::SaveToBytes() const {
  QByteArray out;
  const bool hasExtensions =
      std::any_of(Images.begin(), Images.end(), [](const TGIFSubImage& Image) { return !Image.Extensions.empty(); });
  const int bits = BitsPerPixel();
  WriteGifHeader(out, hasExtensions);
  WriteScreenDescriptor(out, Width, Height, GlobalColorMap.Count() > 0, GlobalColorMap.Sorted, bits);
  if (GlobalColorMap.Count() > 0) WriteColorTable(out, GlobalColorMap.Colors.data(), GlobalColorMap.Count(), bits);

  TGifLzwEncoder lzw;
  for (const TGIFSubImage& frame : Images) {
    for (const TGIFExtension& extension : frame.Extensions) {
      if (const auto* loop = std::get_if<TGIFAppExtNSLoop>(&extension)) {
        WriteLoopExtension(out, loop->Loops, loop->BufferSize);
      } else {
        const auto& gce = std::get<TGIFGraphicControlExtension>(extension);
        WriteGraphicControl(out, gce.Disposal, gce.UserInput, gce.Transparent, gce.Delay, gce.TransparentColorIndex);
      }
    }
    if (frame.Empty()) continue;
    const int localBits = frame.ColorMap.BitsPerPixel();
    WriteImageDescriptor(out, frame.Left, frame.Top, frame.Width, frame.Height, localBits, frame.ColorMap.Sorted);
    if (localBits > 0) WriteColorTable(out, frame.ColorMap.Colors.data(), frame.ColorMap.Count(), localBits);
    const int frameBits = localBits > 0 ? localBits : bits;
    const int limit = localBits > 0 ? frame.ColorMap.Count() : 1 << bits;
    lzw.Encode(frame.Data.data(), frame.Width, frame.Height, frame.Width, std::max(frameBits, 2), limit, out);
  }
  out.append(GifTrailer);
  return out;
}

void TGIFImage::SaveToFile(const QString& Path) const { WriteWholeFile(Path, SaveToBytes()); }
