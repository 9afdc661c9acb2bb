// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of the GIF export at 1920 x 1080: the streaming export of 100
// and 1,000 frames, against the document path of 100 frames; and of the
// largest animation with 1, 2 and 16 threads asked for, beside the MP4,
// WebM and animated PNG exports of the same animation, which must hold no
// more than the GIF's. The peak
// (VmHWM) is reset before each run where Linux allows it, so each figure is
// that run's own; "peak_above_start_MiB" leaves out what the program and
// the frames held before the export began.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "bench/ReferenceAnimations.h"
#include "export/GifExport.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"

namespace {

// A field of /proc/self/status in kB, or -1 where there is none.
double StatusKb(const char* Field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(Field))
      return line.mid(static_cast<int>(qstrlen(Field))).trimmed().split(' ').front().toDouble();
  return -1;
}

bool ResetPeak() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

void Report(benchmark::State& State, double StartKb, bool Reset) {
  const double peak = StatusKb("VmHWM:");
  State.counters["peak_MiB"] = peak / 1024;
  State.counters["peak_above_start_MiB"] = (peak - StartKb) / 1024;
  if (!Reset) State.SetLabel("peak not reset: includes earlier runs");
}

void BM_GifStreamingPeakMemory(benchmark::State& State) {
  const TAnimation animation = MakeReference(LargeReference, static_cast<int>(State.range(0)));
  QTemporaryDir folder;
  const double start = StatusKb("VmRSS:");
  const bool reset = ResetPeak();
  for (auto _ : State) ExportGifFile(folder.filePath("out.gif"), animation, {});
  Report(State, start, reset);
  State.counters["fps"] =
      benchmark::Counter(static_cast<double>(State.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GifStreamingPeakMemory)
    ->Arg(100)
    ->Arg(1000)
    ->ArgName("frames")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_GifDocumentPeakMemory(benchmark::State& State) {
  const TAnimation animation = MakeReference(LargeReference, static_cast<int>(State.range(0)));
  const double start = StatusKb("VmRSS:");
  const bool reset = ResetPeak();
  for (auto _ : State) benchmark::DoNotOptimize(BuildGifDocument(animation, {}).SaveToBytes());
  Report(State, start, reset);
}
BENCHMARK(BM_GifDocumentPeakMemory)
    ->Arg(100)
    ->ArgName("frames")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The largest animation, 10000 x 10000, two frames.
constexpr TReference Largest{"walk-10000x10000", 10000, 10000, 2, 20};

// Each export thread
// holds a work picture of that size, so the number of threads is held to a
// picture budget; asking for 16 must cost no more than asking for 1 or 2.
void BM_GifPeakMemoryLargest(benchmark::State& State) {
  const TAnimation animation = MakeReference(Largest);
  QTemporaryDir folder;
  const double start = StatusKb("VmRSS:");
  const bool reset = ResetPeak();
  for (auto _ : State) ExportGifFile(folder.filePath("out.gif"), animation, {}, {}, static_cast<int>(State.range(0)));
  Report(State, start, reset);
}
BENCHMARK(BM_GifPeakMemoryLargest)
    ->Arg(1)
    ->Arg(2)
    ->Arg(16)
    ->ArgName("threads")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The other exports of the largest animation, default threads: 0 MP4, 1
// WebM, 2 animated PNG. Only this process is measured, not ffmpeg.
void BM_OtherExportsPeakMemoryLargest(benchmark::State& State) {
  const TAnimation animation = MakeReference(Largest);
  QTemporaryDir folder;
  const double start = StatusKb("VmRSS:");
  const bool reset = ResetPeak();
  for (auto _ : State) {
    if (State.range(0) == 0) ExportVideoFile(folder.filePath("out.mp4"), TVideoFormat::Mp4, animation, {});
    if (State.range(0) == 1) ExportVideoFile(folder.filePath("out.webm"), TVideoFormat::WebM, animation, {});
    if (State.range(0) == 2) ExportAnimatedPngFile(folder.filePath("out.apng"), animation, 1, 1);
  }
  State.SetLabel(State.range(0) == 0 ? "MP4" : State.range(0) == 1 ? "WebM" : "animated PNG");
  Report(State, start, reset);
}
BENCHMARK(BM_OtherExportsPeakMemoryLargest)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("export")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
