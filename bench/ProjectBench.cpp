// Saving and opening a long project against zlib's own work on the same
// payload, installing it in the window (its thumbnails), and the memory
// the open takes against the payload's size.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cmath>

#include "editor/MainUnit.h"
#include "files/ProjectFile.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "model/Common.h"
#include "platform/Dialogs.h"

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace {

// 10,000 frames of 10 Stickmen walking across a 506 x 415 drawing.
struct TLongProject {
  QTemporaryDir Dir;
  QString Base = Dir.filePath("long");
  QByteArray Payload;
  QByteArray Compressed;

  TLongProject() {
    ResetAnimationState();
    Frames.resize(10000);
    for (int f = 0; f < 10000; ++f) {
      for (int k = 0; k < 10; ++k) {
        TFigure man;
        man.SetType(1);
        man.MoveBy(RealPoint(static_cast<float>(40 + 45 * k + f % 50), static_cast<float>(150 + 20 * (k % 3))));
        const double swing = 0.5 * std::sin(0.3 * f + k);
        man.RotateSegment(6, swing);
        man.RotateSegment(7, -swing);
        man.RotateSegment(2, -swing);
        man.RotateSegment(3, swing);
        Frames[f].Items.push_back(man);
      }
    }
    Payload = ProjectPayload(View());
    Compressed = ZlibCompress(Payload);
    WriteWholeFile(Base + ".tvl", Compressed);
  }
  static TProjectView View() {
    TProjectView view;
    view.AnimationWidth = AnimationWidth;
    view.AnimationHeight = AnimationHeight;
    view.Background = &Background;
    view.Types = FigureTypes;
    view.TypeNames = {"Stickman"};
    view.Frames = Frames;
    return view;
  }
};

TLongProject& Project() {
  static TLongProject project;
  return project;
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
  for (auto _ : State) WriteProjectFile(p.Base + "-saved", TLongProject::View());
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_ZlibInflatePayload(benchmark::State& State) {
  const QByteArray& compressed = Project().Compressed;
  for (auto _ : State) benchmark::DoNotOptimize(ZlibDecompress(compressed, MaxProjectPayload).size());
}
BENCHMARK(BM_ZlibInflatePayload)->Unit(benchmark::kMillisecond);

void BM_OpenProject(benchmark::State& State) {
  TLongProject& p = Project();
  for (auto _ : State) benchmark::DoNotOptimize(ReadProjectFile(p.Base + ".tvl").Frames.size());
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond);

// The window's part: 10,000 thumbnails, the drawing area, the ghost.
void BM_InstallProject(benchmark::State& State) {
  TLongProject& p = Project();
  TQtDialogs dialogs;
  TMainForm form(dialogs);
  for (auto _ : State) {
    State.PauseTiming();
    form.ProjectSaved = true;
    form.NewProject();
    TProjectContents contents = ReadProjectFile(p.Base + ".tvl");
    State.ResumeTiming();
    form.InstallProject(std::move(contents));
  }
}
BENCHMARK(BM_InstallProject)->Iterations(2)->Unit(benchmark::kMillisecond);

// Peak memory of an open, measured in a fresh process so the heap holds
// nothing to reuse: the program runs itself again with TAVEL_PEAK_OPEN set
// to a project, opens it before anything else and prints how far its
// resident set grew.
#ifdef __linux__
const bool PeakOpenChild = [] {
  const QByteArray path = qgetenv("TAVEL_PEAK_OPEN");
  if (path.isEmpty()) return false;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const long before = usage.ru_maxrss;
  const std::size_t frames = ReadProjectFile(QString::fromLocal8Bit(path)).Frames.size();
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld\n", frames > 0 ? usage.ru_maxrss - before : -1);
  std::exit(0);
}();
#endif

void BM_OpenPeakMemory(benchmark::State& State) {
#ifdef __linux__
  TLongProject& p = Project();
  for (auto _ : State) {
    const QByteArray command = "TAVEL_PEAK_OPEN='" + (p.Base + ".tvl").toLocal8Bit() + "' /proc/" +
                               QByteArray::number(getpid()) + "/exe";
    FILE* child = popen(command.constData(), "r");
    long grownKb = -1;
    if (child == nullptr || std::fscanf(child, "%ld", &grownKb) != 1 || grownKb < 0) State.SkipWithError("child failed");
    if (child) pclose(child);
    State.counters["peak_growth_MB"] = grownKb / 1024.0;
    State.counters["payload_MB"] = p.Payload.size() / 1e6;
    State.counters["peak_over_payload"] = grownKb * 1024.0 / p.Payload.size();
  }
#else
  State.SkipWithError("measured on Linux only");
#endif
}
BENCHMARK(BM_OpenPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
