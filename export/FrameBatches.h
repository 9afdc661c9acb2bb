// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loop of the BMP, PNG, animated PNG and video exports: the stored
// frames are drawn in batches over the cores, and each batch is handed, in
// frame order, to the calling thread, which writes it. How many threads
// draw, how many frames a batch holds and how long a picture stays follow
// from the memory the export holds (the budgets of Workers.h).

#include <QImage>
#include <functional>
#include <vector>

#include "export/ExportFrames.h"
#include "export/Workers.h"

// How long a picture stays in the renderer that drew it.
enum class TKeptPictures {
  // One renderer per thread: a picture lasts only for the frame's own step
  // on the threads (TBatchSteps::Each).
  None,
  // A renderer for each frame of a batch: its picture stays until the next
  // batch is drawn.
  OneSet,
  // Two such sets in turn, when two fit ExportPictureBudget (else one), so
  // that a batch is drawn while the one before is still being written.
  TwoSets,
};

struct TBatchShape {
  int Shrink = 1;  // frames are 1/Shrink of the animation size
  TLineStyle Lines = TLineStyle::Pixel;
  int Threads = 0;  // 0: one per core
  // The pictures one thread (or one kept picture's renderer) holds: no
  // more threads than ExportPictureBudget allows for them.
  long long ThreadBytes = 0;
  // Frames in a batch: FramesPerThread for each thread, fewer when frames
  // of FrameBytes each would pass BatchSize's budget.
  int FramesPerThread = 1;
  long long FrameBytes = 0;
  TKeptPictures Kept = TKeptPictures::None;
};

// The frames Start .. Start + Count - 1 of one batch.
struct TFrameBatch {
  int Start = 0;
  int Count = 0;
  // Where the batch's renderers keep its pictures; null without kept pictures.
  const QImage* const* Pictures = nullptr;
  // Frame Start + J as drawn, while its renderer keeps it.
  const QImage& Picture(int J) const { return *Pictures[J]; }
};

// What an export does around the drawing; any step may be empty.
struct TBatchSteps {
  // On the calling thread before a batch is drawn, while the pictures kept
  // of the batches before it still stand.
  std::function<void(const TFrameBatch& Batch)> Before{};
  // On the threads, once frame Start + J of the batch is drawn.
  std::function<void(const QImage& Picture, int J)> Each{};
  // On the calling thread once the whole batch is drawn, batch after batch.
  std::function<void(const TFrameBatch& Batch)> Write{};
};

class TFrameBatches {
 public:
  // Makes the threads and the renderers. Animation must outlive this.
  TFrameBatches(const TAnimation& Animation, const TBatchShape& Shape);

  // Frames in every batch but maybe the last.
  int Size() const { return Batch; }
  // The sets of renderers that keep pictures, 0 when none do.
  int Sets() const { return KeptSets; }
  // The threads, for a writer's own work on a batch.
  TWorkers& Workers() { return Threads; }

  // Draws every stored frame, batch after batch, running Steps around each.
  // An exception of a step or a drawing ends the run.
  void Run(const TBatchSteps& Steps);

 private:
  const TAnimation& Animation;
  TWorkers Threads;
  int Batch;
  int KeptSets;
  std::vector<TFrameRenderer> Renderers;
  std::vector<const QImage*> Pictures;  // each kept picture's renderer's last picture
};
