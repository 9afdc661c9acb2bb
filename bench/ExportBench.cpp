// SPDX-License-Identifier: GPL-3.0-or-later
// Export speed: the GIF export of the two reference animations (read back
// from their project files) with the default options, on one and two
// threads, against the document path; the smaller GIF of the six animations
// of the comparison with gifsicle; the BMP export of the 1080p reference
// against writing the same bytes with plain file writes; the LZW encoder
// alone on frames of the 1080p reference and of a photograph.

#include <benchmark/benchmark.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <vector>

#include "bench/ReferenceAnimations.h"
#include "export/BitmapExport.h"
#include "export/ColorCube.h"
#include "export/GifExport.h"
#include "export/GifLzw.h"
#include "files/BmpFile.h"
#include "files/WholeFile.h"

namespace {

const TReference References[] = {SmallReference, LargeReference};

QTemporaryDir& Folder() {
  static QTemporaryDir folder;
  return folder;
}

// Writes the reference as a project file once, then reads it from that file.
TAnimation LoadReference(const TReference& R) {
  const QString base = Folder().filePath(QString::fromLatin1(R.Name));
  if (!QFile::exists(base + ".tvl")) WriteProjectFile(base, MakeReference(R));
  return ReadProjectFile(base + ".tvl");
}

void BM_GifExport(benchmark::State& State) {
  const TReference& r = References[State.range(0)];
  const int threads = static_cast<int>(State.range(1));
  const TAnimation animation = LoadReference(r);
  const QString out = Folder().filePath("out.gif");
  for (auto _ : State) ExportGifFile(out, animation, {}, {}, threads);
  const QByteArray bytes = ReadWholeFile(out, qint64(1) << 30);
  // The same bytes whatever the number of threads.
  static std::map<std::string, QByteArray> first;
  const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
  auto [at, added] = first.try_emplace(r.Name, hash);
  if (!added && at->second != hash) State.SkipWithError("the bytes differ with another number of threads");
  State.counters["fps"] = benchmark::Counter(r.Frames, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["bytes"] = static_cast<double>(bytes.size());
  State.SetLabel(r.Name);
}
BENCHMARK(BM_GifExport)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->ArgNames({"animation", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The smaller file of the animations compare_smaller_gif.py holds against
// gifsicle -O3 (walks over white, a crowd, walks over a photograph and a
// painting), on two threads.
void BM_SmallerGifExport(benchmark::State& State) {
  const TReference& r = GifToolReferences[State.range(0)];
  const TAnimation animation = LoadReference(r);
  const QString out = Folder().filePath("smaller.gif");
  for (auto _ : State) ExportGifFile(out, animation, {.Smaller = true}, {}, 2);
  State.counters["fps"] = benchmark::Counter(r.Frames, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["bytes"] = static_cast<double>(QFileInfo(out).size());
  State.SetLabel(r.Name);
}
BENCHMARK(BM_SmallerGifExport)
    ->DenseRange(0, std::size(GifToolReferences) - 1)
    ->ArgName("animation")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The document path holds every indexed frame and works on one thread.
void BM_GifDocumentExport(benchmark::State& State) {
  const TReference& r = References[State.range(0)];
  const TAnimation animation = LoadReference(r);
  for (auto _ : State) benchmark::DoNotOptimize(BuildGifDocument(animation, {}).SaveToBytes());
  State.counters["fps"] = benchmark::Counter(r.Frames, benchmark::Counter::kIsIterationInvariantRate);
  State.SetLabel(r.Name);
}
BENCHMARK(BM_GifDocumentExport)->Arg(0)->Arg(1)->ArgName("animation")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BmpExport(benchmark::State& State) {
  const TAnimation animation = LoadReference(LargeReference);
  const QString base = Folder().filePath("frame");
  for (auto _ : State) SaveAnimationAsBitmaps(base, animation, {}, static_cast<int>(State.range(0)));
  State.counters["fps"] = benchmark::Counter(LargeReference.Frames, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BmpExport)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same files' bytes, made beforehand, written with plain file
// writes (0) or, as the export writes them, each through a temporary file
// that replaces the old one once complete and synced (1).
void BM_BmpRawWrite(benchmark::State& State) {
  const QString base = Folder().filePath("frame");
  SaveAnimationAsBitmaps(base, LoadReference(LargeReference));
  std::vector<QByteArray> files;
  for (int i = 0; i < LargeReference.Frames; ++i)
    files.push_back(ReadWholeFile(BitmapFileName(base, i, LargeReference.Frames), qint64(1) << 30));
  const bool safe = State.range(0) == 1;
  for (auto _ : State)
    for (int i = 0; i < LargeReference.Frames; ++i) {
      const QString name = BitmapFileName(base + "raw", i, LargeReference.Frames);
      if (safe) {
        WriteWholeFile(name, files[i]);
        continue;
      }
      QFile file(name);
      if (!file.open(QIODevice::WriteOnly) || file.write(files[i]) != files[i].size())
        State.SkipWithError("cannot write");
    }
  State.counters["fps"] = benchmark::Counter(LargeReference.Frames, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BmpRawWrite)->Arg(0)->Arg(1)->ArgName("through_save_file")->Unit(benchmark::kMillisecond)->UseRealTime();

// The GIF encoder's inner loop: ten frames reduced to the cube, as the
// export reduces them before it merges and crops, compressed one after the
// other. Over white most strings are runs; over the photograph, look-ups.
void BM_GifLzwEncode(benchmark::State& State) {
  const TReference& r = State.range(0) == 0 ? LargeReference : GifToolReferences[4];
  const TAnimation animation = LoadReference(r);
  TFrameRenderer renderer(animation, 1);
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 0; f < 10; ++f) {
    const QImage& picture = renderer.Render(animation.Frames[f * (r.Frames / 10)]);
    std::vector<uint8_t>& indices = frames.emplace_back();
    for (int y = 0; y < picture.height(); ++y) {
      const auto* line = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
      for (int x = 0; x < picture.width(); ++x) indices.push_back(CubeIndex(line[x]));
    }
  }
  TGifLzwEncoder encoder;
  QByteArray out;
  long long bytes = 0;
  for (auto _ : State)
    for (const std::vector<uint8_t>& frame : frames) {
      out.clear();
      encoder.Encode(frame.data(), r.Width, r.Height, r.Width, 8, CubeColors, out);
      bytes = out.size();
      benchmark::DoNotOptimize(out.data());
    }
  State.counters["Mpixels"] =
      benchmark::Counter(10.0 * r.Width * r.Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["last_bytes"] = static_cast<double>(bytes);
  State.SetLabel(r.Name);
}
BENCHMARK(BM_GifLzwEncode)->Arg(0)->Arg(1)->ArgName("animation")->Unit(benchmark::kMillisecond);

}  // namespace
