// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifFrameEncoder.h"

#include <algorithm>

#include "export/ChangedArea.h"
#include "export/GifRuns.h"

namespace {

// The smaller file writes a changed area with its unchanged pixels free
// alone when their choice has fewer than ChosenAlone times the changes of
// value of the plain area, the plain area alone when more than PlainAlone
// times, and tries both in between. Over the reference animations the
// shorter one had the fewer changes in every frame: a busy background
// (a photograph) about a tenth of them, a painted one 0.6 to 0.8, a flat one
// (white) 1 to 1.3 times as many.
constexpr double ChosenAlone = 0.85;
constexpr double PlainAlone = 0.95;

std::vector<TGIFColor> CubeTable() {
  std::vector<TGIFColor> table(256);
  for (int k = 0; k < CubeColors; ++k) table[k] = {uint8_t(CubeRed(k)), uint8_t(CubeGreen(k)), uint8_t(CubeBlue(k))};
  return table;
}

}  // namespace

void TStreamPalette::AddTransparentIndex(bool Wanted, bool Smaller) {
  if (Wanted) {
    Transparent = static_cast<int>(Colors.size());
    if (!Smaller) {
      Colors.push_back({0, 0, 0});
      Sorted = false;
    }
  }
  Bits = ColorTableBits(static_cast<int>(Colors.size()));
}

// Merging turns the pixels equal to the frame before into the transparent
// index, so the area cropping keeps is where the two frames differ: only
// that area is merged.
void TGifFrameEncoder::Encode(const uint8_t* Pixels, const uint8_t* Before, TEncoderScratch& S,
                              TEncodedFrame& Frame) const {
  Frame.Transparent = false;
  Frame.Vanished = false;
  Frame.Bytes.clear();
  if (Options.Smaller) {
    EncodeSmaller(Pixels, Before, S, Frame);
    return;
  }
  const int width = Size.width(), height = Size.height();
  const uint8_t* pixels = Pixels;
  const int t = Palette.Transparent;
  QRect area(0, 0, width, height);
  int stride = width;
  if (t >= 0 && Before != nullptr) {
    if (Options.Crop) {
      const QRect changed = ChangedArea(Pixels, width, Before, width, width, height);
      if (changed.isEmpty()) {
        Frame.Vanished = true;
        return;
      }
      // Pixels outside the changed area are equal: the frame turns transparent.
      Frame.Transparent = changed != area;
      area = changed;
    }
    S.Merged.resize(static_cast<std::size_t>(area.width()) * area.height());
    std::size_t equal = 0;
    for (int y = 0; y < area.height(); ++y) {
      const std::size_t from = static_cast<std::size_t>(area.top() + y) * width + area.left();
      const uint8_t* __restrict now = Pixels + from;
      const uint8_t* __restrict was = Before + from;
      uint8_t* __restrict out = S.Merged.data() + static_cast<std::size_t>(y) * area.width();
      for (int x = 0; x < area.width(); ++x) {
        const bool same = now[x] == was[x];
        out[x] = same ? static_cast<uint8_t>(t) : now[x];
        equal += same;
      }
    }
    if (equal > 0) Frame.Transparent = true;
    if (Frame.Transparent) {
      pixels = S.Merged.data();
      stride = area.width();
    }
  }
  const int localBits = Palette.Global ? 0 : 8;
  WriteImageDescriptor(Frame.Bytes, uint16_t(area.left()), uint16_t(area.top()), uint16_t(area.width()),
                       uint16_t(area.height()), localBits, false);
  if (!Palette.Global) {
    static const std::vector<TGIFColor> Cube = CubeTable();
    WriteColorTable(Frame.Bytes, Cube.data(), 256, 8);
  }
  const int bits = Palette.Global ? Palette.Bits : 8;
  S.Lzw.Encode(pixels, area.width(), area.height(), stride, std::max(bits, 2), Palette.Global ? 1 << Palette.Bits : 256,
               Frame.Bytes);
}

void TGifFrameEncoder::EncodeArea(TEncoderScratch& S, QRect Area, const uint8_t* Pixels, const uint8_t* Others,
                                  int Stride, bool UsesTransparent, QByteArray& Out) const {
  WriteImageDescriptor(Out, uint16_t(Area.left()), uint16_t(Area.top()), uint16_t(Area.width()),
                       uint16_t(Area.height()), 0, false);
  const int bits = std::max(UsesTransparent ? ColorTableBits(Palette.Transparent + 1) : Palette.Bits, 2);
  auto encode = [&](QByteArray& Into) {
    if (Others != nullptr)
      S.Lzw.EncodeEither(Pixels, Others, Area.width(), Area.height(), Stride, bits, 1 << bits, Into);
    else
      S.Lzw.Encode(Pixels, Area.width(), Area.height(), Stride, bits, 1 << bits, Into);
  };
  const qsizetype start = Out.size();
  S.Lzw.KeepFullTable = false;
  encode(Out);
  if (!S.Lzw.Full) return;
  // A picture that filled the table may be shorter when the table is kept.
  S.Kept.clear();
  S.Lzw.KeepFullTable = true;
  encode(S.Kept);
  if (S.Kept.size() < Out.size() - start) {
    Out.truncate(start);
    Out.append(S.Kept);
  }
}

void TGifFrameEncoder::EncodeSmaller(const uint8_t* Pixels, const uint8_t* Before, TEncoderScratch& S,
                                     TEncodedFrame& Frame) const {
  const int width = Size.width(), height = Size.height();
  if (Before == nullptr) {
    EncodeArea(S, QRect(0, 0, width, height), Pixels, nullptr, width, false, Frame.Bytes);
    return;
  }
  const int t = Palette.Transparent;
  const QRect changed = ChangedArea(Pixels, width, Before, width, width, height);
  if (changed.isEmpty()) {
    if (Palette.DefaultMerges && Options.Crop) {
      Frame.Vanished = true;
      return;
    }
    // Shown without anything new: one pixel, transparent when it can be.
    Frame.Transparent = t >= 0;
    const uint8_t none = static_cast<uint8_t>(std::max(t, 0));
    EncodeArea(S, QRect(0, 0, 1, 1), t >= 0 ? &none : Pixels, nullptr, 1, t >= 0, Frame.Bytes);
    return;
  }
  const std::size_t from = static_cast<std::size_t>(changed.top()) * width + changed.left();
  TTransparencyChoice choice;
  if (t >= 0)
    choice = ChooseTransparency(Pixels + from, Before + from, width, changed.width(), changed.height(),
                                static_cast<uint8_t>(t), S.Chosen, S.Others);
  // The area as it is, and, when it has unchanged pixels, with each of them
  // free to be transparent or its colour, whichever the compression goes on
  // with: a flat background compresses as well plainly, a busy one does not.
  const double changes = static_cast<double>(choice.ChosenChanges);
  const double plainChanges = static_cast<double>(choice.PlainChanges);
  const bool tryPlain = choice.Unchanged == 0 || changes >= ChosenAlone * plainChanges;
  const bool tryChosen = choice.Unchanged > 0 && changes <= PlainAlone * plainChanges;
  QByteArray* tried = S.Tried;
  for (QByteArray& bytes : S.Tried) bytes.clear();
  if (tryPlain) EncodeArea(S, changed, Pixels + from, nullptr, width, false, tried[0]);
  if (tryChosen) EncodeArea(S, changed, S.Chosen.data(), S.Others.data(), changed.width(), true, tried[1]);
  const int best = tryChosen && (!tryPlain || tried[1].size() < tried[0].size()) ? 1 : 0;
  Frame.Transparent = best != 0;
  Frame.Bytes = tried[best];
}

void TGifFrameEncoder::AppendHold(TEncoderScratch& S, QByteArray& Out) const {
  const uint8_t t = static_cast<uint8_t>(Palette.Transparent);
  if (Options.Smaller) {
    EncodeArea(S, QRect(0, 0, 1, 1), &t, nullptr, 1, true, Out);
    return;
  }
  WriteImageDescriptor(Out, 0, 0, 1, 1, 0, false);
  S.Lzw.Encode(&t, 1, 1, 1, std::max(Palette.Bits, 2), 1 << Palette.Bits, Out);
}
