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

}  // namespace

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TGIFImage::OptimizeColorMap() {
  // Pixel counts per table entry: table 0 is the global one, table i + 1 the
  // local table of frame i (when it has one).
  const std::size_t tables = Images.size() + 1;
  std::vector<std::vector<uint64_t>> counts(tables);
  auto tableOf = [&](std::size_t Frame) -> std::size_t { return Images[Frame].ColorMap.Count() > 0 ? Frame + 1 : 0; };
  auto mapOf = [&](std::size_t Table) -> TGIFColorMap& {
    return Table == 0 ? GlobalColorMap : Images[Table - 1].ColorMap;
  };
  for (std::size_t t = 0; t < tables; ++t) counts[t].assign(mapOf(t).Count(), 0);

  for (std::size_t f = 0; f < Images.size(); ++f) {
    TGIFSubImage& frame = Images[f];
    std::vector<uint64_t>& used = counts[tableOf(f)];
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
  const bool anyTransparent =
      std::any_of(Images.begin(), Images.end(), [](const TGIFSubImage& f) { return f.Transparent(); });

  // Pool the used entries of every table, merging equal colours.
  struct TPooled {
    TGIFColor Color;
    uint64_t Count;
  };
  std::vector<TPooled> pool;
  std::map<uint32_t, std::size_t> poolIndex;
  std::vector<std::vector<int>> entryToPool(tables);
  for (std::size_t t = 0; t < tables; ++t) {
    const TGIFColorMap& map = mapOf(t);
    entryToPool[t].assign(map.Count(), -1);
    for (int e = 0; e < map.Count(); ++e) {
      if (counts[t][e] == 0) continue;
      auto [at, added] = poolIndex.try_emplace(Key(map.Colors[e]), pool.size());
      if (added) pool.push_back({map.Colors[e], 0});
      pool[at->second].Count += counts[t][e];
      entryToPool[t][e] = static_cast<int>(at->second);
    }
  }

  // Most used first; equal counts in ascending colour order, so the table
  // does not depend on how the frames happen to hold their colours.
  std::vector<std::size_t> order(pool.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t A, std::size_t B) {
    if (pool[A].Count != pool[B].Count) return pool[A].Count > pool[B].Count;
    return Key(pool[A].Color) < Key(pool[B].Color);
  });
  const std::size_t keep = std::min<std::size_t>(order.size(), anyTransparent ? 255 : 256);
  std::vector<uint8_t> newIndex(pool.size());
  for (std::size_t rank = 0; rank < keep; ++rank) newIndex[order[rank]] = static_cast<uint8_t>(rank);
  for (std::size_t rank = keep; rank < order.size(); ++rank) {
    // A colour that does not fit takes the kept colour of the nearest R + G + B.
    const int sum = Sum(pool[order[rank]].Color);
    std::size_t best = 0;
    for (std::size_t k = 1; k < keep; ++k)
      if (std::abs(Sum(pool[order[k]].Color) - sum) < std::abs(Sum(pool[order[best]].Color) - sum)) best = k;
    newIndex[order[rank]] = static_cast<uint8_t>(best);
  }

  // Rewrite every frame's pixels to the new table before the old tables go.
  const uint8_t newTransparent = static_cast<uint8_t>(keep);
  for (std::size_t f = 0; f < Images.size(); ++f) {
    TGIFSubImage& frame = Images[f];
    const std::vector<int>& toPool = entryToPool[tableOf(f)];
    const bool transparent = frame.Transparent();
    const uint8_t t = frame.TransparentIndex();
    for (uint8_t& pixel : frame.Data) {
      if (transparent && pixel == t)
        pixel = newTransparent;
      else if (pixel < toPool.size() && toPool[pixel] >= 0)
        pixel = newIndex[toPool[pixel]];
      else
        pixel = 0;
    }
    if (transparent) frame.GraphicControlExtension()->TransparentColorIndex = newTransparent;
    frame.ColorMap.Clear();
  }
  GlobalColorMap.Clear();
  for (std::size_t rank = 0; rank < keep; ++rank) GlobalColorMap.Colors.push_back(pool[order[rank]].Color);
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
