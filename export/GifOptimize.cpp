// SPDX-License-Identifier: GPL-3.0-or-later
// The document's optimisations: one shared colour table of the colours in
// use (the palette step), transparency for pixels unchanged from the previous
// frame (merge) and cutting frames down to their changed area (crop).

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>

#include "export/GIFImage.h"

namespace {

constexpr TGIFColor Black{0, 0, 0};

uint32_t Key(TGIFColor C) { return (uint32_t(C.Red) << 16) | (uint32_t(C.Green) << 8) | C.Blue; }
int Sum(TGIFColor C) { return C.Red + C.Green + C.Blue; }

// The colour a table gives an index, or nothing when the index lies outside it.
const TGIFColor* ColorOf(const TGIFColorMap& Map, uint8_t Index) {
  return Index < Map.Count() ? &Map.Colors[Index] : nullptr;
}

// Tables are numbered for the palette step: table 0 is the global one,
// table i + 1 the local table of frame i (when it has one).
std::size_t TableOf(const TGIFImage& Image, std::size_t Frame) {
  return Image.Images[Frame].ColorMap.Count() > 0 ? Frame + 1 : 0;
}

const TGIFColorMap& MapOf(const TGIFImage& Image, std::size_t Table) {
  return Table == 0 ? Image.GlobalColorMap : Image.Images[Table - 1].ColorMap;
}

// The used entries of every table pooled, equal colours merged.
struct TColorPool {
  struct TPooled {
    TGIFColor Color;
    uint64_t Count;
  };
  std::vector<TPooled> Colors;
  // Per table and entry: its colour's place in Colors, -1 when unused.
  std::vector<std::vector<int>> EntryToPool;
};

TColorPool PoolColors(const TGIFImage& Image, const std::vector<std::vector<uint64_t>>& Counts) {
  TColorPool pool;
  std::map<uint32_t, std::size_t> poolIndex;
  pool.EntryToPool.resize(Counts.size());
  for (std::size_t t = 0; t < Counts.size(); ++t) {
    const TGIFColorMap& map = MapOf(Image, t);
    pool.EntryToPool[t].assign(map.Count(), -1);
    for (int e = 0; e < map.Count(); ++e) {
      if (Counts[t][e] == 0) continue;
      auto [at, added] = poolIndex.try_emplace(Key(map.Colors[e]), pool.Colors.size());
      if (added) pool.Colors.push_back({map.Colors[e], 0});
      pool.Colors[at->second].Count += Counts[t][e];
      pool.EntryToPool[t][e] = static_cast<int>(at->second);
    }
  }
  return pool;
}

// The pooled colours, most used first; equal counts in ascending colour
// order, so the table does not depend on how the frames happen to hold
// their colours.
std::vector<std::size_t> RankColors(const TColorPool& Pool) {
  const auto& colors = Pool.Colors;
  std::vector<std::size_t> order(colors.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t A, std::size_t B) {
    if (colors[A].Count != colors[B].Count) return colors[A].Count > colors[B].Count;
    return Key(colors[A].Color) < Key(colors[B].Color);
  });
  return order;
}

// Each pooled colour's index in the new table: its rank among the Keep
// first of Order; a colour that does not fit takes the kept colour of the
// nearest R + G + B.
std::vector<uint8_t> NewIndices(const TColorPool& Pool, const std::vector<std::size_t>& Order, std::size_t Keep) {
  std::vector<uint8_t> newIndex(Pool.Colors.size());
  for (std::size_t rank = 0; rank < Keep; ++rank) newIndex[Order[rank]] = static_cast<uint8_t>(rank);
  for (std::size_t rank = Keep; rank < Order.size(); ++rank) {
    const int sum = Sum(Pool.Colors[Order[rank]].Color);
    std::size_t best = 0;
    for (std::size_t k = 1; k < Keep; ++k)
      if (std::abs(Sum(Pool.Colors[Order[k]].Color) - sum) < std::abs(Sum(Pool.Colors[Order[best]].Color) - sum))
        best = k;
    newIndex[Order[rank]] = static_cast<uint8_t>(best);
  }
  return newIndex;
}

// Rewrites every frame's pixels to the new table (transparent ones to
// NewTransparent) and drops the frames' own tables.
void RewriteFrames(TGIFImage& Image, const TColorPool& Pool, const std::vector<uint8_t>& NewIndex,
                   uint8_t NewTransparent) {
  for (std::size_t f = 0; f < Image.Images.size(); ++f) {
    TGIFSubImage& frame = Image.Images[f];
    const std::vector<int>& toPool = Pool.EntryToPool[TableOf(Image, f)];
    const bool transparent = frame.Transparent();
    const uint8_t t = frame.TransparentIndex();
    for (uint8_t& pixel : frame.Data) {
      if (transparent && pixel == t)
        pixel = NewTransparent;
      else if (pixel < toPool.size() && toPool[pixel] >= 0)
        pixel = NewIndex[toPool[pixel]];
      else
        pixel = 0;
    }
    if (transparent) frame.GraphicControlExtension()->TransparentColorIndex = NewTransparent;
    frame.ColorMap.Clear();
  }
}

}  // namespace

std::vector<std::vector<uint64_t>> TGIFImage::CountColorUses() {
  std::vector<std::vector<uint64_t>> counts(Images.size() + 1);
  for (std::size_t t = 0; t < counts.size(); ++t) counts[t].assign(MapOf(*this, t).Count(), 0);
  for (std::size_t f = 0; f < Images.size(); ++f) {
    TGIFSubImage& frame = Images[f];
    std::vector<uint64_t>& used = counts[TableOf(*this, f)];
    const bool transparent = frame.Transparent();
    const uint8_t t = frame.TransparentIndex();
    bool transparentUsed = false;
    bool warned = false;
    for (uint8_t& pixel : frame.Data) {
      if (transparent && pixel == t) {
        transparentUsed = true;
        continue;
      }
      if (pixel >= used.size()) {
        pixel = 0;
        if (!warned) Warn(QStringLiteral("Color not in color table"));
        warned = true;
        if (used.empty()) continue;
      }
      ++used[pixel];
    }
    if (transparent && !transparentUsed) frame.GraphicControlExtension()->Transparent = false;
  }
  return counts;
}

void TGIFImage::OptimizeColorMap() {
  const std::vector<std::vector<uint64_t>> counts = CountColorUses();
  const bool anyTransparent =
      std::any_of(Images.begin(), Images.end(), [](const TGIFSubImage& Image) { return Image.Transparent(); });
  const TColorPool pool = PoolColors(*this, counts);
  const std::vector<std::size_t> order = RankColors(pool);
  const std::size_t keep = std::min<std::size_t>(order.size(), anyTransparent ? 255 : 256);
  // Every frame's pixels take the new table before the old tables go.
  RewriteFrames(*this, pool, NewIndices(pool, order, keep), static_cast<uint8_t>(keep));
  GlobalColorMap.Clear();
  for (std::size_t rank = 0; rank < keep; ++rank) GlobalColorMap.Colors.push_back(pool.Colors[order[rank]].Color);
  GlobalColorMap.Sorted = true;
  if (anyTransparent) GlobalColorMap.Add(Black);
}

void TGIFImage::Optimize(bool Merge, bool Crop) {
  if (Merge) {
    // Backwards, so each frame meets its predecessor as it was before merging.
    for (std::size_t b = Images.size(); b-- > 1;) {
      std::size_t p = b - 1;
      while (p > 0 && Images[p].Disposal() == 3) --p;
      MergeFrame(Images[b], Images[p]);
    }
  }
  if (Crop) {
    // A frame with nothing left is dropped, and the frame before it stays on
    // the screen for its time as well: held gathers the delays of the frames
    // dropped after frame b, index is their transparent index.
    uint64_t held = 0;
    uint8_t index = 0;
    for (std::size_t b = Images.size(); b-- > 0;) {
      TGIFSubImage& frame = Images[b];
      if (!frame.Empty() && frame.Transparent()) {
        const uint16_t delay = frame.GraphicControlExtension()->Delay;
        const uint8_t t = frame.TransparentIndex();
        CropFrame(frame);
        if (frame.Empty()) {
          held += delay;
          index = t;
          Images.erase(Images.begin() + static_cast<std::ptrdiff_t>(b));
          continue;
        }
      }
      if (held == 0) continue;
      TGIFGraphicControlExtension& gce = frame.EnsureGraphicControlExtension();
      const std::vector<uint16_t> delays = SplitDelay(gce.Delay + held);
      gce.Delay = delays.front();
      // What does not fit in the field is shown by frames of one pixel that
      // change nothing: the transparent index at the top left corner.
      std::vector<TGIFSubImage> holds(delays.size() - 1);
      for (std::size_t k = 0; k < holds.size(); ++k) {
        holds[k].Width = holds[k].Height = 1;
        holds[k].Data = {index};
        TGIFGraphicControlExtension hold;
        hold.Delay = delays[k + 1];
        hold.Transparent = true;
        hold.TransparentColorIndex = index;
        holds[k].Extensions.emplace_back(hold);
      }
      Images.insert(Images.begin() + static_cast<std::ptrdiff_t>(b) + 1, holds.begin(), holds.end());
      held = 0;
    }
  }
}

void TGIFImage::MergeFrame(TGIFSubImage& Frame, const TGIFSubImage& Previous) {
  if (Frame.Empty() || Previous.Empty() || Previous.Disposal() == 2 || Previous.Disposal() == 3) return;
  const int left = std::max(Frame.Left, Previous.Left);
  const int top = std::max(Frame.Top, Previous.Top);
  const int right = std::min(Frame.Left + Frame.Width, Previous.Left + Previous.Width);
  const int bottom = std::min(Frame.Top + Frame.Height, Previous.Top + Previous.Height);
  if (left >= right || top >= bottom) return;

  const bool wasTransparent = Frame.Transparent();
  int t = wasTransparent ? Frame.TransparentIndex() : -1;
  if (!wasTransparent) {
    const int entries = Frame.ActiveColorMap(*this).Count();
    if (entries < 1 || entries >= TGIFColorMap::MaxColors) return;
  }
  const bool ownTable = Frame.ColorMap.Count() > 0;
  const TGIFColorMap& previousMap = Previous.ActiveColorMap(*this);
  const bool sameTable = !ownTable && Previous.ColorMap.Count() == 0;
  const bool previousTransparent = Previous.Transparent();
  const uint8_t previousT = Previous.TransparentIndex();

  auto allocate = [&]() -> int {
    if (!ownTable) {
      for (const TGIFSubImage& other : Images)
        if (&other != &Frame && other.ColorMap.Count() == 0 && other.Transparent()) return other.TransparentIndex();
    }
    return Frame.ActiveColorMap(*this).Add(Black);
  };

  for (int y = top; y < bottom; ++y) {
    uint8_t* s = Frame.Data.data() + static_cast<std::size_t>(y - Frame.Top) * Frame.Width + (left - Frame.Left);
    const uint8_t* p =
        Previous.Data.data() + static_cast<std::size_t>(y - Previous.Top) * Previous.Width + (left - Previous.Left);
    for (int x = 0; x < right - left; ++x) {
      if (t >= 0 && s[x] == t) continue;
      if (previousTransparent && p[x] == previousT) continue;
      bool same = sameTable && s[x] == p[x];
      if (!same) {
        const TGIFColor* a = ColorOf(Frame.ActiveColorMap(*this), s[x]);
        const TGIFColor* b = ColorOf(previousMap, p[x]);
        same = a != nullptr && b != nullptr && *a == *b;
      }
      if (!same) continue;
      if (t < 0) t = allocate();
      s[x] = static_cast<uint8_t>(t);
    }
  }
  if (!wasTransparent && t >= 0) {
    TGIFGraphicControlExtension& gce = Frame.EnsureGraphicControlExtension();
    gce.Transparent = true;
    gce.TransparentColorIndex = static_cast<uint8_t>(t);
  }
}

void CropFrame(TGIFSubImage& Frame) {
  if (Frame.Empty() || !Frame.Transparent()) return;
  const uint8_t t = Frame.TransparentIndex();
  const int w = Frame.Width, h = Frame.Height;
  auto opaque = [&](int X, int Y) { return Frame.Data[static_cast<std::size_t>(Y) * w + X] != t; };
  int left = w, right = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (opaque(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  if (right < 0) {
    Frame.Data.clear();
    Frame.Width = 0;
    Frame.Height = 0;
    return;
  }
  int top = h, bottom = -1;
  for (int y = 0; y < h; ++y)
    for (int x = left; x <= right; ++x)
      if (opaque(x, y)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  const int cw = right - left + 1, ch = bottom - top + 1;
  std::vector<uint8_t> cropped(static_cast<std::size_t>(cw) * ch);
  for (int y = 0; y < ch; ++y)
    std::copy_n(Frame.Data.begin() + static_cast<std::ptrdiff_t>(y + top) * w + left, cw,
                cropped.begin() + static_cast<std::ptrdiff_t>(y) * cw);
  Frame.Data = std::move(cropped);
  Frame.Left = static_cast<uint16_t>(Frame.Left + left);
  Frame.Top = static_cast<uint16_t>(Frame.Top + top);
  Frame.Width = static_cast<uint16_t>(cw);
  Frame.Height = static_cast<uint16_t>(ch);
}
