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
// changed and written the shorter of two ways (plain, or with each
// unchanged pixel free to be transparent or its colour, whichever the
// compression goes on with; see GifRuns.h and GifLzw.h). A
// frame that shows nothing new is dropped where the export without it drops
// it, and is otherwise one pixel.

#include <QFileDevice>
#include <QSaveFile>
#include <algorithm>
#include <numeric>
#include <optional>

#include "export/GifStream.h"
#include "files/WholeFile.h"

void TGifStream::Run() {
  FrameCount = static_cast<int>(Animation.Frames.size());
  if (FrameCount == 0) throw EFileError(NoFramesMessage);
  Size = GifFrameSize(Animation.Size(), Options.Shrink);
  for (int w = 0; w < Workers.Count(); ++w)
    Scratch.push_back(
        std::make_unique<TScratch>(TScratch{TFrameRenderer(Animation, Options.Shrink, Options.Lines), {}}));
  Batch = BatchSize(Workers, FramesPerThread, static_cast<long long>(PixelCount()));
  Slots.resize(Batch);
  Passes = Options.Palette || Options.ExactColors || Options.Smaller ? 2 : 1;
  if (Options.ExactColors)
    CountExactColors();
  else if (Options.Palette || Options.Smaller)
    CountCubeColors();
  else
    std::iota(Palette.Map.begin(), Palette.Map.end(), 0);
  WriteHeader();
  WriteFrames();
}

// Renders frame I and reduces it into Slot as the palette says.
void TGifStream::Reduce(int I, int Worker, std::vector<uint8_t>& Slot) {
  const QImage& picture = Render(I, Worker);
  Slot.resize(PixelCount());
  if (Palette.Reduction == TReduction::Cube)
    ReduceToCube(picture, Slot.data(), Palette.Map.data(), nullptr);
  else if (Palette.Reduction == TReduction::Quantized)
    Quantizer->Remap(picture, Slot.data());
  else
    ReduceToExact(picture, Slot.data(), Palette.ExactIndex);
}

void TGifStream::Report(int Pass, int I) {
  if (!Progress || FrameCount <= 1) return;
  const long long steps = static_cast<long long>(Passes) * (FrameCount - 1);
  const int percent = static_cast<int>((static_cast<long long>(Pass) * (FrameCount - 1) + I) * 100 / steps);
  // The histogram pass of exact colours goes over frames counted before.
  if (percent < Reported) return;
  Reported = percent;
  Progress(percent);
}

void TGifStream::WriteHeader() {
  QByteArray bytes;
  WriteGifHeader(bytes, true);
  WriteScreenDescriptor(bytes, static_cast<uint16_t>(Size.width()), static_cast<uint16_t>(Size.height()),
                        Palette.Global, Palette.Sorted, Palette.Bits);
  if (Palette.Global)
    WriteColorTable(bytes, Palette.Colors.data(), static_cast<int>(Palette.Colors.size()), Palette.Bits);
  Write(bytes);
}

void TGifStream::WriteFrames() {
  const TGifFrameEncoder encoder(Palette, Options, Size);
  std::vector<TEncodedFrame> encoded(Batch);
  std::optional<TPendingFrame> pending;
  Previous.clear();
  for (int start = 0; start < FrameCount; start += Batch) {
    const int n = std::min(Batch, FrameCount - start);
    Workers.Run(n, [&](int J, int W) { Reduce(start + J, W, Slots[J]); });
    Workers.Run(
        n, [&](int J, int W) { encoder.Encode(Slots[J].data(), Before(J, start), Scratch[W]->Encoder, encoded[J]); });
    for (int j = 0; j < n; ++j) {
      TEncodedFrame& frame = encoded[j];
      // A held frame is shown for its hold's ticks of the delay.
      const uint16_t delay = GifDelay(Options.Delay * Animation.Frames[static_cast<std::size_t>(start) + j].Hold);
      // Frame 0 never vanishes: there is always a frame before to take the time.
      if (frame.Vanished) {
        if (pending) pending->Delay += delay;
        continue;
      }
      if (pending) WritePending(encoder, *pending);
      pending = TPendingFrame{start + j, frame.Transparent, delay, std::move(frame.Bytes)};
    }
    Previous.swap(Slots[n - 1]);
    Report(Passes - 1, start + n - 1);
  }
  if (pending) WritePending(encoder, *pending);
  Write(QByteArray(1, GifTrailer));
}

void TGifStream::WritePending(const TGifFrameEncoder& Encoder, const TPendingFrame& Frame) {
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
    bytes.clear();
    WriteGraphicControl(bytes, 0, false, true, delays[k], static_cast<uint8_t>(Palette.Transparent));
    Encoder.AppendHold(Scratch[0]->Encoder, bytes);
    Write(bytes);
  }
}

void TGifStream::Write(const QByteArray& Bytes) {
  if (WriteFully(Out, Bytes)) return;
  const auto* file = qobject_cast<const QFileDevice*>(&Out);
  const QString name = file != nullptr ? file->fileName() : QString();
  throw EFileError(
      (name.isEmpty() ? Out.errorString() : QStringLiteral("%1: %2").arg(name, Out.errorString())).toStdString());
}

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
