// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF export frame by frame. Bytes are those of the document path:
//  - the palette step only needs how often each cube colour is used, and
//    whether merging will make any frame transparent (which appends the black
//    transparent entry and clears the table's sorted flag); a first pass
//    renders every frame to find both, so the header can be written first;
//  - merging compares each frame with the frame before it as rendered, and
//    cropping cuts a transparent frame to its changed area;
//  - a frame that crops to nothing is dropped and the frame before it takes
//    its delay as well, so each written frame is held back until the next
//    frame is known; a time beyond the 16-bit delay field goes on in frames
//    of one transparent pixel.
// Rendering, reduction, merging and compression of a batch of frames are
// spread over threads; the calling thread writes them in order.
//
// With exact colours the first pass counts the rendered colours themselves:
// up to 256 make one global table and every pixel keeps its colour; beyond
// that the frames are rendered once more into libimagequant's histogram, and
// the second pass maps each frame onto the colours it chose.
//
// The smaller file shows the frames of the export without it, pixel for
// pixel and with the same delays, in fewer bytes: it always writes one
// global table of the colours used, with a transparent entry when a frame
// shares a pixel with the one before; each frame is cut to the area that
// changed and written the shortest of three ways (plain, every unchanged
// pixel transparent, or transparent only where that continues a run). A
// frame that shows nothing new is dropped where the export without it drops
// it, and is otherwise one pixel.

#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <numeric>
#include <optional>

#include "export/ColorCube.h"
#include "export/GifExport.h"
#include "export/GifLzw.h"
#include "export/GifQuantize.h"
#include "export/Workers.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "model/Common.h"

namespace {

// Frames in flight per thread: enough to keep every thread busy between the
// points where the writer takes their results.
constexpr int FramesPerThread = 4;

using THistogram = std::array<uint64_t, CubeColors>;

// At most 256 colours (0xRRGGBB) with a number each: how often a colour is
// used, or its index in the table. Open addressing in a table four times as
// large, so a look-up rarely takes more than one probe.
class TColorCounts {
 public:
  static constexpr int MaxColors = 256;

  TColorCounts() { Clear(); }
  void Clear() {
    Keys.fill(Empty);
    Used = 0;
    Overflow = false;
  }
  // Adds N to Colour's number; false once more than MaxColors colours were added.
  bool Add(uint32_t Colour, uint64_t N) {
    if (Overflow) return false;
    std::size_t at = Slot(Colour);
    if (Keys[at] == Empty) {
      if (Used == MaxColors) {
        Overflow = true;
        return false;
      }
      Keys[at] = Colour;
      Values[at] = 0;
      Entries[Used++] = static_cast<uint16_t>(at);
    }
    Values[at] += N;
    return true;
  }
  // The number of a colour that was added.
  uint64_t Get(uint32_t Colour) const { return Values[Slot(Colour)]; }
  bool Overflowed() const { return Overflow; }
  void SetOverflow() { Overflow = true; }
  int Count() const { return Used; }
  uint32_t Colour(int I) const { return Keys[Entries[I]]; }
  uint64_t Value(int I) const { return Values[Entries[I]]; }

 private:
  static constexpr std::size_t Size = 1024;
  static constexpr uint32_t Empty = 0xFFFFFFFF;
  std::size_t Slot(uint32_t Colour) const {
    std::size_t at = (Colour * 2654435761u) >> 22;
    while (Keys[at] != Empty && Keys[at] != Colour) at = (at + 1) & (Size - 1);
    return at;
  }
  std::array<uint32_t, Size> Keys;
  std::array<uint64_t, Size> Values;
  std::array<uint16_t, MaxColors> Entries;
  int Used = 0;
  bool Overflow = false;
};

// How frames become colour indices.
enum class TReduction {
  Cube,       // the 216-colour cube, through the palette step's map when there is one
  Exact,      // each colour its own entry (at most 256 in all)
  Quantized,  // libimagequant's colours, dithered
};

// The colour tables the file is written with.
struct TStreamPalette {
  TReduction Reduction = TReduction::Cube;
  TColorCounts ExactIndex;  // colour -> index, for TReduction::Exact
  bool Global = false;             // one global table (palette step); else the cube as every frame's local table
  std::array<uint8_t, 256> Map{};  // cube index -> written index
  std::vector<TGIFColor> Colors;   // the global table
  bool Sorted = false;
  int Transparent = -1;  // the index unchanged pixels become; -1: no frame turns transparent
  int Bits = 8;          // largest bits per entry of any table
  // The export without the smaller file merges (and so may drop frames and
  // hand their delays on); the smaller file shows what it shows.
  bool DefaultMerges = false;
};

struct TEncodedFrame {
  bool Transparent = false;
  bool Vanished = false;  // nothing changed: the frame is dropped
  QByteArray Bytes;       // descriptor, local table, image data
};

struct TPendingFrame {
  int Index = 0;
  bool Transparent = false;
  uint64_t Delay = 0;  // its own and that of the frames dropped after it
  QByteArray Bytes;
};

struct TScratch {
  TFrameRenderer Renderer;
  TGifLzwEncoder Lzw;
  std::vector<uint8_t> Merged;
  std::vector<uint8_t> Runs;
  QByteArray Tried[3];
  QByteArray Kept;
};

std::vector<TGIFColor> CubeTable() {
  std::vector<TGIFColor> table(256);
  for (int k = 0; k < CubeColors; ++k) table[k] = {uint8_t(CubeRed(k)), uint8_t(CubeGreen(k)), uint8_t(CubeBlue(k))};
  return table;
}

// The smallest rectangle holding every pixel where Now and Was differ; empty
// when they are equal. Rows are compared whole first, then eight pixels at a
// time from either end.
QRect ChangedArea(const uint8_t* Now, const uint8_t* Was, int Width, int Height) {
  int left = Width, right = -1, top = -1, bottom = -1;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* a = Now + static_cast<std::size_t>(y) * Width;
    const uint8_t* b = Was + static_cast<std::size_t>(y) * Width;
    if (std::memcmp(a, b, static_cast<std::size_t>(Width)) == 0) continue;
    int first = 0;
    while (first + 8 <= Width && std::memcmp(a + first, b + first, 8) == 0) first += 8;
    while (a[first] == b[first]) ++first;
    int last = Width - 1;
    while (last - 7 > first && std::memcmp(a + last - 7, b + last - 7, 8) == 0) last -= 8;
    while (a[last] == b[last]) --last;
    left = std::min(left, first);
    right = std::max(right, last);
    if (top < 0) top = y;
    bottom = y;
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Pixels where Merged holds the transparent index T may show either T or
// their colour (in Now, rows Stride apart); the others must show their
// colour. Writes to Out the choice with the fewest changes of value in data
// order (the longest runs), by dynamic programming over the two choices of
// each pixel; on a tie the transparent index, which continues across frames
// of different colours, is kept.
void FewestRuns(const uint8_t* Merged, const uint8_t* Now, int Stride, int Width, int Height, uint8_t T,
                std::vector<uint8_t>& Out) {
  const std::size_t count = static_cast<std::size_t>(Width) * Height;
  Out.resize(count);
  // Way[i]: bit 0 set when pixel i showing its colour is best reached from
  // pixel i - 1 showing T; bit 1 the same for pixel i showing T.
  std::vector<uint8_t>& way = Out;
  constexpr uint32_t Never = 0x3FFFFFFF;
  uint32_t costColour = 0, costT = 0;
  int lastColour = -1;
  std::size_t i = 0;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* now = Now + static_cast<std::size_t>(y) * Stride;
    for (int x = 0; x < Width; ++x, ++i) {
      const int colour = now[x];
      const bool free = Merged[i] == T;
      // Reaching "colour" from the colour before (same value: no change) or from T.
      const uint32_t fromColour = costColour + (colour != lastColour);
      const uint32_t fromT = costT + 1;
      const uint32_t nextColour = std::min(fromColour, fromT);
      uint8_t bits = fromT < fromColour ? 1 : 0;
      uint32_t nextT = Never;
      if (free) {
        const uint32_t tFromColour = costColour + 1;
        nextT = std::min(tFromColour, costT);
        if (costT <= tFromColour) bits |= 2;
      }
      way[i] = bits;
      costColour = nextColour;
      costT = nextT;
      lastColour = colour;
    }
  }
  // Back from the end: the state of each pixel, then its value.
  bool showT = costT <= costColour;
  for (std::size_t k = count; k-- > 0;) {
    const bool cameFromT = (way[k] >> (showT ? 1 : 0)) & 1;
    const int y = static_cast<int>(k / static_cast<std::size_t>(Width)), x = static_cast<int>(k % Width);
    Out[k] = showT ? T : Now[static_cast<std::size_t>(y) * Stride + x];
    showT = cameFromT;
  }
}

class TGifStream {
 public:
  TGifStream(QIODevice& Out, const TAnimation& Animation, const TGifExportOptions& Options,
             const TExportProgress& Progress, int Threads)
      : Out(Out),
        Animation(Animation),
        Options(Options),
        Progress(Progress),
        Workers(ExportThreads(Threads, ThreadBytes(Animation, Options.Shrink))) {}

  // What one thread holds: the work picture of the animation's size, the
  // reduced picture, and the frame reduced to colour indices and merged.
  static long long ThreadBytes(const TAnimation& Animation, int Shrink) {
    const long long full = static_cast<long long>(Animation.Width) * Animation.Height;
    const long long small = Shrink >= 2 ? full / (static_cast<long long>(Shrink) * Shrink) : full;
    return 4 * full + (Shrink >= 2 ? 4 * small : 0) + 3 * small;
  }

  void Run() {
    FrameCount = static_cast<int>(Animation.Frames.size());
    if (FrameCount == 0) throw EFileError(NoFramesMessage);
    Size = GifFrameSize(Animation.Size(), Options.Shrink);
    for (int w = 0; w < Workers.Count(); ++w)
      Scratch.push_back(std::make_unique<TScratch>(TScratch{TFrameRenderer(Animation, Options.Shrink, Options.Lines), {}, {}, {}, {}, {}}));
    Batch = BatchSize(Workers, FramesPerThread, static_cast<long long>(PixelCount()));
    Slots.resize(Batch);
    Passes = Options.Palette || Options.ExactColors || Options.Smaller ? 2 : 1;
    if (Options.ExactColors)
      CountExactColours();
    else if (Options.Palette || Options.Smaller)
      CountColours();
    else
      std::iota(Palette.Map.begin(), Palette.Map.end(), 0);
    WriteHeader();
    WriteFrames();
  }

 private:
  std::size_t PixelCount() const { return static_cast<std::size_t>(Size.width()) * Size.height(); }

  // Renders frame I and reduces it into Slot, through Map when given.
  void RenderInto(int I, int Worker, std::vector<uint8_t>& Slot, const uint8_t* Map, uint64_t* Histogram) {
    const QImage& picture = Scratch[Worker]->Renderer.Render(Animation.Frames[I]);
    Slot.resize(PixelCount());
    uint8_t* out = Slot.data();
    // Frames are mostly flat areas: a pixel like the one before it reuses its index.
    uint32_t last = 0;
    uint8_t lastIndex = CubeIndex(0);
    uint8_t lastOut = Map != nullptr ? Map[lastIndex] : lastIndex;
    uint64_t lastCount = 0;
    for (int y = 0; y < picture.height(); ++y) {
      const uint32_t* line = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
      const int w = picture.width();
      int x = 0;
      while (x < w) {
        const uint32_t pixel = line[x] & 0xFFFFFF;
        if (pixel != last) {
          if (Histogram != nullptr) Histogram[lastIndex] += lastCount;
          lastCount = 0;
          last = pixel;
          lastIndex = CubeIndex(pixel);
          lastOut = Map != nullptr ? Map[lastIndex] : lastIndex;
        }
        // The run of this colour, two pixels at a time, filled at once.
        int end = x + 1;
        const uint64_t pair = (uint64_t(pixel) << 32) | pixel;
        while (end + 2 <= w) {
          uint64_t two;
          std::memcpy(&two, line + end, sizeof two);
          if (((two ^ pair) & 0x00FFFFFF00FFFFFFull) != 0) break;
          end += 2;
        }
        while (end < w && (line[end] & 0xFFFFFF) == pixel) ++end;
        std::memset(out + x, lastOut, static_cast<std::size_t>(end - x));
        lastCount += static_cast<uint64_t>(end - x);
        x = end;
      }
      out += w;
    }
    if (Histogram != nullptr) Histogram[lastIndex] += lastCount;
  }

  // Renders frame I and reduces it into Slot as the palette says.
  void Reduce(int I, int Worker, std::vector<uint8_t>& Slot) {
    if (Palette.Reduction == TReduction::Cube) {
      RenderInto(I, Worker, Slot, Palette.Map.data(), nullptr);
      return;
    }
    const QImage& picture = Scratch[Worker]->Renderer.Render(Animation.Frames[I]);
    Slot.resize(PixelCount());
    if (Palette.Reduction == TReduction::Quantized) {
      Quantizer->Remap(picture, Slot.data());
      return;
    }
    uint8_t* out = Slot.data();
    uint32_t last = 0xFFFFFFFF;
    uint8_t index = 0;
    for (int y = 0; y < picture.height(); ++y) {
      const uint32_t* line = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
      for (int x = 0; x < picture.width(); ++x) {
        const uint32_t pixel = line[x] & 0xFFFFFF;
        if (pixel != last) {
          last = pixel;
          index = static_cast<uint8_t>(Palette.ExactIndex.Get(pixel));
        }
        *out++ = index;
      }
    }
  }

  // The reduced frame before frame J of the batch, or null for frame 0.
  const uint8_t* Before(int J, int Start) const {
    if (J > 0) return Slots[J - 1].data();
    return Start > 0 ? Previous.data() : nullptr;
  }

  void Report(int Pass, int I) {
    if (!Progress || FrameCount <= 1) return;
    const long long steps = static_cast<long long>(Passes) * (FrameCount - 1);
    const int percent = static_cast<int>((static_cast<long long>(Pass) * (FrameCount - 1) + I) * 100 / steps);
    // The histogram pass of exact colours goes over frames counted before.
    if (percent < Reported) return;
    Reported = percent;
    Progress(percent);
  }

  // First pass of exact colours: the colours of all frames with their use.
  // Up to 256 are the table, most used first; beyond that libimagequant
  // chooses 255 from a histogram of every frame. Merging and the smaller
  // file add the transparent index when there is room.
  void CountExactColours() {
    std::vector<TColorCounts> counts(Batch);
    TColorCounts total;
    for (int start = 0; start < FrameCount && !total.Overflowed(); start += Batch) {
      const int n = std::min(Batch, FrameCount - start);
      Workers.Run(n, [&](int J, int W) {
        TColorCounts& frame = counts[J];
        frame.Clear();
        const QImage& picture = Scratch[W]->Renderer.Render(Animation.Frames[start + J]);
        uint32_t last = 0xFFFFFFFF;
        uint64_t run = 0;
        for (int y = 0; y < picture.height(); ++y) {
          const uint32_t* line = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
          for (int x = 0; x < picture.width(); ++x) {
            const uint32_t pixel = line[x] & 0xFFFFFF;
            if (pixel == last) {
              ++run;
              continue;
            }
            if (run > 0 && !frame.Add(last, run)) return;
            last = pixel;
            run = 1;
          }
        }
        frame.Add(last, run);
      });
      for (int j = 0; j < n; ++j) {
        if (counts[j].Overflowed()) total.SetOverflow();
        for (int c = 0; c < counts[j].Count() && !total.Overflowed(); ++c)
          total.Add(counts[j].Colour(c), counts[j].Value(c));
      }
      Report(0, start + n - 1);
    }
    const bool reserve = Options.Merge || Options.Smaller;
    Palette.Global = true;
    if (!total.Overflowed()) {
      Palette.Reduction = TReduction::Exact;
      std::vector<int> order(static_cast<std::size_t>(total.Count()));
      std::iota(order.begin(), order.end(), 0);
      std::sort(order.begin(), order.end(), [&](int A, int B) {
        if (total.Value(A) != total.Value(B)) return total.Value(A) > total.Value(B);
        return total.Colour(A) < total.Colour(B);
      });
      for (int rank = 0; rank < static_cast<int>(order.size()); ++rank) {
        const uint32_t c = total.Colour(order[rank]);
        Palette.ExactIndex.Add(c, static_cast<uint64_t>(rank));
        Palette.Colors.push_back({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
      }
      Palette.Sorted = true;
    } else {
      Palette.Reduction = TReduction::Quantized;
      CountForQuantizer();
      // Always 255, so the colours, and with them the pixels, are the same
      // whether a transparent entry is wanted or not.
      Quantizer->Quantize(255);
      Palette.Colors = Quantizer->Colors();
    }
    // A table of 256 colours has no room for the transparent index: the
    // frames are then written whole.
    AddTransparentIndex(reserve && Palette.Colors.size() < 256);
    Palette.DefaultMerges = Options.Merge && Palette.Transparent >= 0;
  }

  // The transparent index follows the colours. The export without the
  // smaller file gives it a black entry of the table; the smaller file
  // leaves it outside the table (a transparent pixel is never looked up), so
  // the table and the frames without transparent pixels need a bit less
  // when the colours fill a power of two.
  void AddTransparentIndex(bool Wanted) {
    if (Wanted) {
      Palette.Transparent = static_cast<int>(Palette.Colors.size());
      if (!Options.Smaller) {
        Palette.Colors.push_back({0, 0, 0});
        Palette.Sorted = false;
      }
    }
    Palette.Bits = ColorTableBits(static_cast<int>(Palette.Colors.size()));
  }

  // Renders every frame again into libimagequant's histogram, in frame order
  // whichever thread draws which frame, so the table chosen does not depend
  // on the number of threads.
  void CountForQuantizer() {
    Quantizer = std::make_unique<TQuantizer>();
    std::mutex lock;
    std::condition_variable turn;
    for (int start = 0; start < FrameCount; start += Batch) {
      const int n = std::min(Batch, FrameCount - start);
      int next = 0;
      Workers.Run(n, [&](int J, int W) {
        std::exception_ptr failure;
        const QImage* picture = nullptr;
        try {
          picture = &Scratch[W]->Renderer.Render(Animation.Frames[start + J]);
        } catch (...) {
          failure = std::current_exception();
        }
        std::unique_lock<std::mutex> guard(lock);
        turn.wait(guard, [&] { return next == J; });
        if (!failure) try {
            Quantizer->AddFrame(*picture);
          } catch (...) {
            failure = std::current_exception();
          }
        ++next;
        turn.notify_all();
        if (failure) std::rethrow_exception(failure);
      });
      Report(0, start + n - 1);
    }
  }

  // First pass: how often each cube colour is used, and whether any frame
  // shares a pixel with the frame before it (it then turns transparent).
  void CountColours() {
    THistogram total{};
    std::vector<THistogram> counts(Batch);
    std::vector<char> matches(Batch);
    bool anyMatch = false;
    for (int start = 0; start < FrameCount; start += Batch) {
      const int n = std::min(Batch, FrameCount - start);
      Workers.Run(n, [&](int J, int W) {
        counts[J].fill(0);
        RenderInto(start + J, W, Slots[J], nullptr, counts[J].data());
      });
      if ((Options.Merge || Options.Smaller) && !anyMatch) {
        Workers.Run(n, [&](int J, int) {
          const uint8_t* before = Before(J, start);
          const uint8_t* now = Slots[J].data();
          matches[J] = before != nullptr && std::mismatch(before, before + PixelCount(), now, [](uint8_t A, uint8_t B) {
                                              return A != B;
                                            }).first != before + PixelCount();
        });
        anyMatch = std::any_of(matches.begin(), matches.begin() + n, [](char M) { return M != 0; });
      }
      for (int j = 0; j < n; ++j)
        for (int k = 0; k < CubeColors; ++k) total[k] += counts[j][k];
      Previous.swap(Slots[n - 1]);
      Report(0, start + n - 1);
    }

    // Most used first, equal counts in ascending colour order (the cube's
    // index order), as the document's palette step orders them.
    std::vector<int> used;
    for (int k = 0; k < CubeColors; ++k)
      if (total[k] > 0) used.push_back(k);
    std::stable_sort(used.begin(), used.end(), [&](int A, int B) { return total[A] > total[B]; });
    Palette.Global = true;
    for (std::size_t rank = 0; rank < used.size(); ++rank) {
      Palette.Map[used[rank]] = static_cast<uint8_t>(rank);
      const int k = used[rank];
      Palette.Colors.push_back({uint8_t(CubeRed(k)), uint8_t(CubeGreen(k)), uint8_t(CubeBlue(k))});
    }
    Palette.Sorted = true;
    AddTransparentIndex((Options.Merge || Options.Smaller) && anyMatch);
    // Without the palette step the export without the smaller file keeps
    // the cube in every frame, and a full table never merges.
    Palette.DefaultMerges = Options.Palette && Options.Merge && anyMatch;
  }

  void WriteHeader() {
    QByteArray bytes;
    WriteGifHeader(bytes, true);
    WriteScreenDescriptor(bytes, static_cast<uint16_t>(Size.width()), static_cast<uint16_t>(Size.height()),
                          Palette.Global, Palette.Sorted, Palette.Bits);
    if (Palette.Global)
      WriteColorTable(bytes, Palette.Colors.data(), static_cast<int>(Palette.Colors.size()), Palette.Bits);
    Write(bytes);
  }

  // Merges, crops and compresses frame J of the batch. Merging turns the
  // pixels equal to the frame before into the transparent index, so the
  // area cropping keeps is where the two frames differ: only that area is merged.
  void Encode(int J, int W, int Start, TEncodedFrame& Frame) {
    Frame.Transparent = false;
    Frame.Vanished = false;
    Frame.Bytes.clear();
    if (Options.Smaller) {
      EncodeSmaller(J, W, Start, Frame);
      return;
    }
    const int width = Size.width(), height = Size.height();
    const uint8_t* pixels = Slots[J].data();
    const uint8_t* before = Before(J, Start);
    const int t = Palette.Transparent;
    QRect area(0, 0, width, height);
    int stride = width;
    if (t >= 0 && before != nullptr) {
      if (Options.Crop) {
        const QRect changed = ChangedArea(pixels, before, width, height);
        if (changed.isEmpty()) {
          Frame.Vanished = true;
          return;
        }
        // Pixels outside the changed area are equal: the frame turns transparent.
        Frame.Transparent = changed != area;
        area = changed;
      }
      std::vector<uint8_t>& merged = Scratch[W]->Merged;
      merged.resize(static_cast<std::size_t>(area.width()) * area.height());
      std::size_t equal = 0;
      for (int y = 0; y < area.height(); ++y) {
        const std::size_t from = static_cast<std::size_t>(area.top() + y) * width + area.left();
        const uint8_t* __restrict now = pixels + from;
        const uint8_t* __restrict was = before + from;
        uint8_t* __restrict out = merged.data() + static_cast<std::size_t>(y) * area.width();
        for (int x = 0; x < area.width(); ++x) {
          const bool same = now[x] == was[x];
          out[x] = same ? static_cast<uint8_t>(t) : now[x];
          equal += same;
        }
      }
      if (equal > 0) Frame.Transparent = true;
      if (Frame.Transparent) {
        pixels = merged.data();
        stride = area.width();
      }
    }
    const int localBits = Palette.Global ? 0 : 8;
    WriteImageDescriptor(Frame.Bytes, uint16_t(area.left()), uint16_t(area.top()), uint16_t(area.width()),
                         uint16_t(area.height()), localBits, false);
    if (!Palette.Global) {
      static const std::vector<TGIFColor> cube = CubeTable();
      WriteColorTable(Frame.Bytes, cube.data(), 256, 8);
    }
    const int bits = Palette.Global ? Palette.Bits : 8;
    Scratch[W]->Lzw.Encode(pixels, area.width(), area.height(), stride, std::max(bits, 2),
                           Palette.Global ? 1 << Palette.Bits : 256, Frame.Bytes);
  }

  // Appends the descriptor and image data of Area, whose row y starts at
  // Pixels + y * Stride, with the global table. The codes start as narrow as
  // the values used allow: the transparent index may need a bit more.
  void EncodeArea(TScratch& S, QRect Area, const uint8_t* Pixels, int Stride, bool UsesTransparent,
                  QByteArray& Out) {
    WriteImageDescriptor(Out, uint16_t(Area.left()), uint16_t(Area.top()), uint16_t(Area.width()),
                         uint16_t(Area.height()), 0, false);
    const int bits = std::max(UsesTransparent ? ColorTableBits(Palette.Transparent + 1) : Palette.Bits, 2);
    const qsizetype start = Out.size();
    S.Lzw.KeepFullTable = false;
    S.Lzw.Encode(Pixels, Area.width(), Area.height(), Stride, bits, 1 << bits, Out);
    if (!S.Lzw.Full) return;
    // A picture that filled the table may be shorter when the table is kept.
    S.Kept.clear();
    S.Lzw.KeepFullTable = true;
    S.Lzw.Encode(Pixels, Area.width(), Area.height(), Stride, bits, 1 << bits, S.Kept);
    if (S.Kept.size() < Out.size() - start) {
      Out.truncate(start);
      Out.append(S.Kept);
    }
  }

  void EncodeSmaller(int J, int W, int Start, TEncodedFrame& Frame) {
    TScratch& scratch = *Scratch[W];
    const int width = Size.width(), height = Size.height();
    const QRect whole(0, 0, width, height);
    const uint8_t* pixels = Slots[J].data();
    const uint8_t* before = Before(J, Start);
    if (before == nullptr) {
      EncodeArea(scratch, whole, pixels, width, false, Frame.Bytes);
      return;
    }
    const int t = Palette.Transparent;
    const QRect changed = ChangedArea(pixels, before, width, height);
    if (changed.isEmpty()) {
      if (Palette.DefaultMerges && Options.Crop) {
        Frame.Vanished = true;
        return;
      }
      // Shown without anything new: one pixel, transparent when it can be.
      Frame.Transparent = t >= 0;
      const uint8_t none = static_cast<uint8_t>(std::max(t, 0));
      EncodeArea(scratch, QRect(0, 0, 1, 1), t >= 0 ? &none : pixels, 1, t >= 0, Frame.Bytes);
      return;
    }
    const std::size_t from = static_cast<std::size_t>(changed.top()) * width + changed.left();
    if (t < 0) {
      EncodeArea(scratch, changed, pixels + from, width, false, Frame.Bytes);
      return;
    }
    // Unchanged pixels: all transparent (Merged), or transparent only where
    // the pixel before it in the data is not already of its colour (Runs).
    const std::size_t count = static_cast<std::size_t>(changed.width()) * changed.height();
    scratch.Merged.resize(count);
    scratch.Runs.resize(count);
    const uint8_t transparent = static_cast<uint8_t>(t);
    std::size_t equal = 0;
    for (int y = 0; y < changed.height(); ++y) {
      const std::size_t row = from + static_cast<std::size_t>(y) * width;
      const uint8_t* __restrict now = pixels + row;
      const uint8_t* __restrict was = before + row;
      uint8_t* __restrict merged = scratch.Merged.data() + static_cast<std::size_t>(y) * changed.width();
      for (int x = 0; x < changed.width(); ++x) {
        const bool same = now[x] == was[x];
        equal += same;
        merged[x] = same ? transparent : now[x];
      }
    }
    FewestRuns(scratch.Merged.data(), pixels + from, width, changed.width(), changed.height(), transparent,
               scratch.Runs);
    if (equal == 0) {
      EncodeArea(scratch, changed, pixels + from, width, false, Frame.Bytes);
      return;
    }
    QByteArray* tried = scratch.Tried;
    for (QByteArray& bytes : scratch.Tried) bytes.clear();
    EncodeArea(scratch, changed, pixels + from, width, false, tried[0]);
    EncodeArea(scratch, changed, scratch.Merged.data(), changed.width(), true, tried[1]);
    EncodeArea(scratch, changed, scratch.Runs.data(), changed.width(), true, tried[2]);
    int best = 0;
    for (int k : {2, 1})
      if (tried[k].size() < tried[best].size()) best = k;
    Frame.Transparent = best != 0;
    Frame.Bytes = tried[best];
  }

  void WriteFrames() {
    const uint16_t delay = GifDelay(Options.Delay);
    std::vector<TEncodedFrame> encoded(Batch);
    std::optional<TPendingFrame> pending;
    Previous.clear();
    for (int start = 0; start < FrameCount; start += Batch) {
      const int n = std::min(Batch, FrameCount - start);
      Workers.Run(n, [&](int J, int W) { Reduce(start + J, W, Slots[J]); });
      Workers.Run(n, [&](int J, int W) { Encode(J, W, start, encoded[J]); });
      for (int j = 0; j < n; ++j) {
        TEncodedFrame& frame = encoded[j];
        // Frame 0 never vanishes: there is always a frame before to take the time.
        if (frame.Vanished) {
          if (pending) pending->Delay += delay;
          continue;
        }
        if (pending) WritePending(*pending);
        pending = TPendingFrame{start + j, frame.Transparent, delay, std::move(frame.Bytes)};
      }
      Previous.swap(Slots[n - 1]);
      Report(Passes - 1, start + n - 1);
    }
    if (pending) WritePending(*pending);
    Write(QByteArray(1, GifTrailer));
  }

  void WritePending(const TPendingFrame& Frame) {
    const std::vector<uint16_t> delays = SplitDelay(Frame.Delay);
    QByteArray bytes;
    if (Frame.Index == 0) WriteLoopExtension(bytes, 0);
    WriteGraphicControl(bytes, 0, false, Frame.Transparent, delays.front(),
                        Frame.Transparent ? static_cast<uint8_t>(Palette.Transparent) : 0);
    Write(bytes);
    Write(Frame.Bytes);
    // A delay beyond the field only builds up from dropped frames, and a
    // frame is only dropped where there is a transparent index: the rest of
    // the time goes on in frames of one transparent pixel.
    for (std::size_t k = 1; k < delays.size(); ++k) {
      const uint8_t t = static_cast<uint8_t>(Palette.Transparent);
      bytes.clear();
      WriteGraphicControl(bytes, 0, false, true, delays[k], t);
      if (Options.Smaller) {
        EncodeArea(*Scratch[0], QRect(0, 0, 1, 1), &t, 1, true, bytes);
      } else {
        WriteImageDescriptor(bytes, 0, 0, 1, 1, 0, false);
        Scratch[0]->Lzw.Encode(&t, 1, 1, 1, std::max(Palette.Bits, 2), 1 << Palette.Bits, bytes);
      }
      Write(bytes);
    }
  }

  void Write(const QByteArray& Bytes) {
    if (WriteFully(Out, Bytes)) return;
    const auto* file = qobject_cast<const QFileDevice*>(&Out);
    const QString name = file != nullptr ? file->fileName() : QString();
    throw EFileError(
        (name.isEmpty() ? Out.errorString() : QStringLiteral("%1: %2").arg(name, Out.errorString())).toStdString());
  }

  QIODevice& Out;
  const TAnimation& Animation;
  const TGifExportOptions Options;
  const TExportProgress& Progress;
  TWorkers Workers;
  std::vector<std::unique_ptr<TScratch>> Scratch;
  int FrameCount = 0;
  int Batch = 0;
  int Passes = 1;
  QSize Size;
  TStreamPalette Palette;
  std::unique_ptr<TQuantizer> Quantizer;
  int Reported = -1;
  std::vector<std::vector<uint8_t>> Slots;  // reduced frames of the batch
  std::vector<uint8_t> Previous;            // the reduced frame before the batch
};

}  // namespace

void WriteGifAnimation(QIODevice& Out, const TAnimation& Animation, const TGifExportOptions& Options,
                       const TExportProgress& Progress, int Threads) {
  // Smooth edges are not forced into the cube: their colours are counted exactly.
  TGifExportOptions options = Options;
  options.ExactColors = options.ExactColors || options.Lines == TLineStyle::Smooth;
  TGifStream(Out, Animation, options, Progress, Threads).Run();
}

void ExportGifFile(const QString& Path, const TAnimation& Animation, const TGifExportOptions& Options,
                   const TExportProgress& Progress, int Threads) {
  QSaveFile file(Path);
  // Frames arrive in large pieces; unbuffered, a write that fails says why.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    throw EFileError(QStringLiteral("%1: %2").arg(Path, file.errorString()).toStdString());
  // Without commit the temporary file is removed and Path keeps what it held.
  WriteGifAnimation(file, Animation, Options, Progress, Threads);
  CommitSaveFile(file);
}
