// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a long project against zlib's own work on the same
// payload, opening it in the window up to the first paint, the memory the
// window then holds, and a first open in
// a fresh process with the memory it takes against the payload's size.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "editor/MainUnit.h"
#include "editor/ProjectController.h"
#include "editor/TimelineStrip.h"
#include "files/ProjectFile.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "model/Common.h"
#include "platform/Dialogs.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace {

#ifdef __GLIBC__
// The loops below free what an iteration made between iterations. Left to
// itself glibc hands some of that back to the kernel and not the rest,
// depending on what ran before, so one loop would pay for fresh pages and
// another not. Keeping freed memory makes every loop measure the work alone;
// BM_FreshProcessOpen measures a first open with fresh pages.
const bool KeepFreedMemory = [] {
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  return true;
}();
#endif

// Frames of 10 Stickmen walking across a 506 x 415 drawing (10,000 unless
// asked otherwise).
struct TLongProject {
  QTemporaryDir Dir;
  QString Base = Dir.filePath("long");
  TAnimation Animation = NewAnimation();
  QByteArray Payload;
  QByteArray Compressed;

  explicit TLongProject(int Count = 10000) {
    std::vector<TFigures>& Frames = Animation.Frames;
    Frames.resize(static_cast<std::size_t>(Count));
    for (int f = 0; f < Count; ++f) {
      for (int k = 0; k < 10; ++k) {
        TFigure man;
        man.SetType(Animation.Types, 1);
        man.MoveBy(RealPoint(static_cast<float>(40 + 45 * k + f % 50), static_cast<float>(150 + 20 * (k % 3))));
        const double swing = 0.5 * std::sin(0.3 * f + k);
        man.RotateSegment(6, swing);
        man.RotateSegment(7, -swing);
        man.RotateSegment(2, -swing);
        man.RotateSegment(3, swing);
        Frames[f].Items.push_back(man);
      }
    }
    Payload = ProjectPayload(Animation);
    Compressed = ZlibCompress(Payload);
    WriteWholeFile(Base + ".tvl", Compressed);
  }
};

TLongProject& Project(int Count = 10000) {
  static std::map<int, std::unique_ptr<TLongProject>> projects;
  std::unique_ptr<TLongProject>& project = projects[Count];
  if (!project) project = std::make_unique<TLongProject>(Count);
  return *project;
}

void BM_ZlibDeflatePayload(benchmark::State& State) {
  const QByteArray& payload = Project().Payload;
  for (auto _ : State) benchmark::DoNotOptimize(ZlibCompress(payload).size());
  State.counters["payload_MB"] = payload.size() / 1e6;
  State.counters["file_MB"] = Project().Compressed.size() / 1e6;
}
BENCHMARK(BM_ZlibDeflatePayload)->Unit(benchmark::kMillisecond);

void BM_SaveProject(benchmark::State& State) {
  TLongProject& p = Project();
  for (auto _ : State) WriteProjectFile(p.Base + "-saved", p.Animation);
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_ZlibInflatePayload(benchmark::State& State) {
  const QByteArray& compressed = Project().Compressed;
  for (auto _ : State) benchmark::DoNotOptimize(ZlibDecompress(compressed, MaxProjectPayload).size());
}
BENCHMARK(BM_ZlibInflatePayload)->Unit(benchmark::kMillisecond);

// Opening; with place:1 followed by placing every figure's vertices, which
// the open leaves to the first drawing: then it is the whole of the work
// before anything can be drawn.
void BM_OpenProject(benchmark::State& State) {
  TLongProject& p = Project();
  for (auto _ : State) {
    TAnimation contents = ReadProjectFile(p.Base + ".tvl");
    benchmark::DoNotOptimize(contents.Frames.size());
    if (State.range(0) != 0)
      for (const TFigures& frame : contents.Frames)
        for (const TFigure& figure : frame.Items) figure.Place();
    // Letting go of what was read is not part of the open.
    State.PauseTiming();
    contents = TAnimation();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_OpenProject)->ArgName("place")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Opening a long project in the window, up to the first painted window
// (the drawing area and a screenful of thumbnails), against reading the
// file alone plus drawing one screenful of thumbnails, each measured on its
// own in the same run: open_over_parts at most 1 is the target. The window
// is as wide as on a 1920-pixel screen.
double MedianMs(int Runs, const std::function<void()>& Run) {
  std::vector<double> ms;
  for (int i = 0; i < Runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void BM_OpenToFirstPaint(benchmark::State& State) {
  TLongProject& p = Project(static_cast<int>(State.range(0)));
  const QString path = p.Base + ".tvl";
  TQtDialogs dialogs;
  TMainForm form(dialogs);
  form.resize(1920, 1000);
  form.show();
  QApplication::processEvents();
  for (auto _ : State) {
    State.PauseTiming();
    form.Document().MarkSaved();
    form.Project().NewProject();
    form.repaint();
    State.ResumeTiming();
    form.Project().LoadProject(path);
    form.repaint();
  }
  const double read = MedianMs(3, [&] { benchmark::DoNotOptimize(ReadProjectFile(path).Frames.size()); });
  const double screenful = MedianMs(3, [&] {
    form.Controls().TimelineImages->RemakeAll();
    form.Controls().TimelineImages->repaint();
  });
  // The rest of the window, painted with every thumbnail in the cache.
  const double window = MedianMs(3, [&] { form.repaint(); });
  const auto [first, last] = form.Controls().TimelineImages->VisibleRange();
  State.counters["read_ms"] = read;
  State.counters["screenful_ms"] = screenful;
  State.counters["window_paint_ms"] = window;
  State.counters["thumbnails_in_view"] = last - first + 1;
  State.counters["frames"] = static_cast<double>(form.Animation().Frames.size());
  State.SetLabel("target: time <= read_ms + screenful_ms (+ window_paint_ms)");
}
BENCHMARK(BM_OpenToFirstPaint)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("frames")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Memory the window holds for a long project once it is open, per frame.
void BM_OpenProjectMemory(benchmark::State& State) {
#ifdef __GLIBC__
  TLongProject& p = Project(static_cast<int>(State.range(0)));
  TQtDialogs dialogs;
  TMainForm form(dialogs);
  for (auto _ : State) {
    const struct mallinfo2 before = mallinfo2();
    form.Project().LoadProject(p.Base + ".tvl");
    form.Controls().TimelineImages->DrawPending();
    const struct mallinfo2 after = mallinfo2();
    const double grown = static_cast<double>((after.uordblks + after.hblkhd) - (before.uordblks + before.hblkhd));
    State.counters["held_MB"] = grown / 1e6;
    State.counters["bytes_per_frame"] = grown / static_cast<double>(form.Animation().Frames.size());
  }
#else
  State.SkipWithError("needs glibc's mallinfo2");
#endif
}
BENCHMARK(BM_OpenProjectMemory)->Arg(100000)->ArgName("frames")->Iterations(1)->Unit(benchmark::kMillisecond);

// The first open in a fresh process, where every page the open touches is
// new to it, against the first inflate of the same file in another fresh
// process; and how far the open's resident set grew. The program runs itself
// again with TAVEL_FRESH set to "open" or "inflate" and TAVEL_FRESH_FILE to
// the project, does that one thing before anything else and prints the
// growth in kB and the time in microseconds.
#ifdef __linux__
const bool FreshChild = [] {
  const QByteArray what = qgetenv("TAVEL_FRESH");
  if (what.isEmpty()) return false;
  const QString path = QString::fromLocal8Bit(qgetenv("TAVEL_FRESH_FILE"));
  const QByteArray file = what == "inflate" ? ReadWholeFile(path, MaxProjectFileBytes) : QByteArray();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const long before = usage.ru_maxrss;
  const auto start = std::chrono::steady_clock::now();
  // A refusal is an outcome too: the bombs are meant to be refused.
  bool done = true;
  try {
    if (what == "inflate")
      done = ZlibDecompress(file, MaxProjectPayload).size() > 0;
    else
      ReadProjectFile(path);
  } catch (const EFileError&) {
  }
  const auto took = std::chrono::steady_clock::now() - start;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld %lld\n", done ? usage.ru_maxrss - before : -1L,
              static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
  std::exit(0);
}();

// Runs a fresh child doing What; false when it failed.
bool RunFreshChild(const char* What, const QString& Path, long& GrownKb, double& Ms) {
  const QByteArray command = QByteArray("TAVEL_FRESH=") + What + " TAVEL_FRESH_FILE='" + Path.toLocal8Bit() +
                             "' /proc/" + QByteArray::number(getpid()) + "/exe";
  FILE* child = popen(command.constData(), "r");
  if (child == nullptr) return false;
  long long us = -1;
  const bool read = std::fscanf(child, "%ld %lld", &GrownKb, &us) == 2;
  pclose(child);
  Ms = us / 1000.0;
  return read && GrownKb >= 0 && us >= 0;
}
#endif

void BM_FreshProcessOpen(benchmark::State& State) {
#ifdef __linux__
  TLongProject& p = Project();
  const QString path = p.Base + ".tvl";
  for (auto _ : State) {
    // The median of a few runs of each, as one run is easily disturbed.
    std::vector<double> open, inflate;
    long grownKb = -1, ignored = 0;
    for (int run = 0; run < 5; ++run) {
      double ms = 0;
      if (!RunFreshChild("open", path, grownKb, ms)) State.SkipWithError("child failed");
      open.push_back(ms);
      if (!RunFreshChild("inflate", path, ignored, ms)) State.SkipWithError("child failed");
      inflate.push_back(ms);
    }
    std::sort(open.begin(), open.end());
    std::sort(inflate.begin(), inflate.end());
    State.counters["open_ms"] = open[2];
    State.counters["inflate_ms"] = inflate[2];
    State.counters["open_over_inflate"] = open[2] / inflate[2];
    State.counters["peak_growth_MB"] = grownKb / 1024.0;
    State.counters["peak_over_payload"] = grownKb * 1024.0 / p.Payload.size();
  }
#else
  State.SkipWithError("measured on Linux only");
#endif
}
BENCHMARK(BM_FreshProcessOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// Small files that claim much: 200,000 empty frames in some 230 bytes (read
// within its memory), a frame count of 2^31 - 1 over zeros (refused before a
// frame is read), and one frame followed by zeros that inflate past 1 GiB
// (refused by the inflater's limit). Each opened in a fresh process, against
// inflating the same file alone in another (up to the 1 GiB limit, which the
// inflater alone must hold in memory).
void BM_OpenBomb(benchmark::State& State) {
#ifdef __linux__
  QTemporaryDir dir;
  const QString path = dir.filePath("bomb.tvl");
  const auto payload = [](int32_t Frames, qsizetype Zeros) {
    QByteArray p = QByteArray::fromHex("0200FA0100009F01000002");
    p.append(reinterpret_cast<const char*>(&Frames), 4);
    return p + QByteArray(Zeros, '\0');
  };
  const int kind = static_cast<int>(State.range(0));
  const QByteArray stream = kind == 0   ? ZlibCompress(payload(200000, 200000))
                            : kind == 1 ? ZlibCompress(payload(INT32_MAX, qsizetype(1) << 20))
                                        : ZlibCompress(payload(1, (qsizetype(1) << 30) + 1));
  WriteWholeFile(path, stream);
  State.SetLabel(kind == 0 ? "200,000 empty frames" : kind == 1 ? "frame count 2^31-1" : "zeros past 1 GiB");
  for (auto _ : State) {
    long openKb = -1, inflateKb = -1;
    double openMs = 0, inflateMs = 0;
    if (!RunFreshChild("open", path, openKb, openMs) || !RunFreshChild("inflate", path, inflateKb, inflateMs))
      State.SkipWithError("child failed");
    State.counters["file_bytes"] = static_cast<double>(stream.size());
    State.counters["open_ms"] = openMs;
    State.counters["open_peak_growth_MB"] = openKb / 1024.0;
    State.counters["inflate_ms"] = inflateMs;
    State.counters["inflate_peak_growth_MB"] = inflateKb / 1024.0;
  }
#else
  State.SkipWithError("measured on Linux only");
#endif
}
BENCHMARK(BM_OpenBomb)->DenseRange(0, 2)->ArgName("bomb")->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
