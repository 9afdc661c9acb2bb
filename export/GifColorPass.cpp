// SPDX-License-Identifier: GPL-3.0-or-later
// The streaming GIF export's first pass: rendering every frame once to learn
// the colours the table is made of, before the header is written.

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "export/GifStream.h"

// First pass of exact colours: the colours of all frames with their use.
// Up to 256 are the table, most used first; beyond that libimagequant
// chooses 255 from a histogram of every frame. Merging and the smaller
// file add the transparent index when there is room.
void TGifStream::CountExactColors() {
  std::vector<TColorCounts> counts(Batch);
  TColorCounts total;
  for (int start = 0; start < FrameCount && !total.Overflowed(); start += Batch) {
    const int n = std::min(Batch, FrameCount - start);
    Workers.Run(n, [&](int J, int W) {
      counts[J].Clear();
      CountPictureColors(Render(start + J, W), counts[J]);
    });
    for (int j = 0; j < n; ++j) {
      if (counts[j].Overflowed()) total.SetOverflow();
      for (int c = 0; c < counts[j].Count() && !total.Overflowed(); ++c)
        total.Add(counts[j].Color(c), counts[j].Value(c));
    }
    Report(0, start + n - 1);
  }
  Palette.Global = true;
  if (!total.Overflowed()) {
    Palette.Reduction = TReduction::Exact;
    RankExactColors(total, Palette.ExactIndex, Palette.Colors);
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
  Palette.AddTransparentIndex((Options.Merge || Options.Smaller) && Palette.Colors.size() < 256, Options.Smaller);
  Palette.DefaultMerges = Options.Merge && Palette.Transparent >= 0;
}

// Renders every frame again into libimagequant's histogram, in frame order
// whichever thread draws which frame, so the table chosen does not depend
// on the number of threads.
void TGifStream::CountForQuantizer() {
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
        picture = &Render(start + J, W);
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
void TGifStream::CountCubeColors() {
  THistogram total{};
  std::vector<THistogram> counts(Batch);
  std::vector<char> matches(Batch);
  bool anyMatch = false;
  for (int start = 0; start < FrameCount; start += Batch) {
    const int n = std::min(Batch, FrameCount - start);
    Workers.Run(n, [&](int J, int W) {
      counts[J].fill(0);
      Slots[J].resize(PixelCount());
      ReduceToCube(Render(start + J, W), Slots[J].data(), nullptr, counts[J].data());
    });
    if ((Options.Merge || Options.Smaller) && !anyMatch) {
      Workers.Run(n, [&](int J, int) {
        const uint8_t* before = Before(J, start);
        const uint8_t* now = Slots[J].data();
        matches[J] = static_cast<char>(before != nullptr &&
                                       std::mismatch(before, before + PixelCount(), now, [](uint8_t A, uint8_t B) {
                                         return A != B;
                                       }).first != before + PixelCount());
      });
      anyMatch = std::any_of(matches.begin(), matches.begin() + n, [](char M) { return M != 0; });
    }
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < CubeColors; ++k) total[k] += counts[j][k];
    Previous.swap(Slots[n - 1]);
    Report(0, start + n - 1);
  }
  // As the document's palette step orders them.
  Palette.Global = true;
  RankCubeColors(total, Palette.Map, Palette.Colors);
  Palette.Sorted = true;
  Palette.AddTransparentIndex((Options.Merge || Options.Smaller) && anyMatch, Options.Smaller);
  // Without the palette step the export without the smaller file keeps
  // the cube in every frame, and a full table never merges.
  Palette.DefaultMerges = Options.Palette && Options.Merge && anyMatch;
}
