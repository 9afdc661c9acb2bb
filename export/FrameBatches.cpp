// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FrameBatches.h"

#include <algorithm>

namespace {

int SetsThatFit(TKeptPictures Kept, int Batch, long long Bytes) {
  switch (Kept) {
    case TKeptPictures::None:
      return 0;
    case TKeptPictures::OneSet:
      return 1;
    case TKeptPictures::TwoSets:
      break;
  }
  return 2LL * Batch * Bytes <= ExportPictureBudget ? 2 : 1;
}

}  // namespace

TFrameBatches::TFrameBatches(const TAnimation& Anim, const TBatchShape& Shape)
    : Animation(Anim),
      Threads(ExportThreads(Shape.Threads, Shape.ThreadBytes)),
      Batch(BatchSize(Threads, Shape.FramesPerThread, Shape.FrameBytes)),
      KeptSets(SetsThatFit(Shape.Kept, Batch, Shape.ThreadBytes)) {
  const int count = KeptSets > 0 ? KeptSets * Batch : Threads.Count();
  Renderers.reserve(static_cast<std::size_t>(count));
  for (int r = 0; r < count; ++r) Renderers.emplace_back(Animation, Shape.Shrink, Shape.Lines);
  if (KeptSets > 0) Pictures.resize(Renderers.size());
}

void TFrameBatches::Run(const TBatchSteps& Steps) {
  const int frames = static_cast<int>(Animation.Frames.size());
  for (int start = 0, index = 0; start < frames; start += Batch, ++index) {
    // A kept picture's renderer is its frame's place in the batch, in this
    // batch's set; without kept pictures each thread has its renderer.
    const std::size_t first = KeptSets > 0 ? static_cast<std::size_t>(index % KeptSets * Batch) : 0;
    const TFrameBatch batch{start, std::min(Batch, frames - start), KeptSets > 0 ? Pictures.data() + first : nullptr};
    if (Steps.Before) Steps.Before(batch);
    Threads.Run(batch.Count, [&](int J, int W) {
      const bool kept = KeptSets > 0;
      const std::size_t slot = kept ? first + static_cast<std::size_t>(J) : static_cast<std::size_t>(W);
      const QImage& picture = Renderers[slot].Render(Animation.Frames[start + J]);
      if (kept) Pictures[slot] = &picture;
      if (Steps.Each) Steps.Each(picture, J);
    });
    if (Steps.Write) Steps.Write(batch);
  }
}
