// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The streaming GIF export's pipeline (GifStreamExport.cpp) and its first
// pass over the frames (GifColorPass.cpp); see GifStreamExport.cpp.

#include <QIODevice>
#include <memory>
#include <vector>

#include "export/ExportFrames.h"
#include "export/GifColors.h"
#include "export/GifExport.h"
#include "export/GifFrameEncoder.h"
#include "export/GifQuantize.h"
#include "export/Workers.h"
#include "files/FileError.h"

// Frames in flight per thread: enough to keep every thread busy between the
// points where the writer takes their results.
constexpr int FramesPerThread = 4;

struct TPendingFrame {
  int Index = 0;
  bool Transparent = false;
  uint64_t Delay = 0;  // its own and that of the frames dropped after it
  QByteArray Bytes;
};

// What one thread holds: its renderer and its encoder's buffers.
struct TScratch {
  TFrameRenderer Renderer;
  TEncoderScratch Encoder;
};

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

  void Run();

 private:
  std::size_t PixelCount() const { return static_cast<std::size_t>(Size.width()) * Size.height(); }
  const QImage& Render(int I, int Worker) { return Scratch[Worker]->Renderer.Render(Animation.Frames[I]); }

  // Renders frame I and reduces it into Slot as the palette says.
  void Reduce(int I, int Worker, std::vector<uint8_t>& Slot);

  // The reduced frame before frame J of the batch, or null for frame 0.
  const uint8_t* Before(int J, int Start) const {
    if (J > 0) return Slots[J - 1].data();
    return Start > 0 ? Previous.data() : nullptr;
  }

  // Reports the progress after frame I of pass Pass.
  void Report(int Pass, int I);

  // The first pass (GifColorPass.cpp): the colours the table is made of.
  // Exact colours: the colours of all frames with their use; up to 256 are
  // the table, beyond that libimagequant chooses from every frame.
  void CountExactColors();
  // libimagequant's histogram of every frame, in frame order.
  void CountForQuantizer();
  // The cube colours used, and whether any frame turns transparent.
  void CountCubeColors();

  // The second pass (GifStreamExport.cpp): the header, then every frame
  // reduced, encoded on the threads and written in order.
  void WriteHeader();
  void WriteFrames();
  void WritePending(const TGifFrameEncoder& Encoder, const TPendingFrame& Frame);
  void Write(const QByteArray& Bytes);

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
