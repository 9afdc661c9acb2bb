// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery copy at 10,000 frames of 10 Stickmen: the window thread's
// part of a recovery save (the snapshot), the frames encoded once when a
// project is opened, and the whole save on the writer's thread (encoding,
// compressing and writing the file).

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>

#include "bench/BenchScenes.h"
#include "editor/MainRecoveryHost.h"
#include "editor/MainUnit.h"
#include "editor/RecoveryKeeper.h"
#include "files/WholeFile.h"
#include "platform/Dialogs.h"

namespace {

constexpr int Frames = 10000;

struct TWindow {
  QTemporaryDir Folder;
  TQtDialogs Dialogs;
  TMainForm Form{Dialogs};
  TMainRecoveryHost Host{Form, nullptr};
  TRecoveryKeeper Keeper{Form.Document(), Host, Dialogs, Folder.path()};

  // Every frame its own: ten Stickmen placed and posed anew, so the file
  // compresses as a real animation's would rather than as one frame repeated.
  TWindow() {
    TAnimation animation = Form.Animation();
    animation.Frames.reserve(Frames);
    for (int i = 0; i < Frames; ++i) {
      TFigures frame = Scatter(10, 1, StickmanType(), animation.Width, animation.Height, static_cast<unsigned>(i));
      for (TFigure& figure : frame.Items)
        for (uint8_t s = 0; s < figure.SegmentCount(); ++s) figure.RotateSegment(s, 0.01 * ((i + s) % 50));
      animation.Frames.push_back(std::move(frame));
    }
    TEditState opened = TDocument::OpenedState(animation);
    Form.Document().Reset(std::move(animation), std::move(opened));
  }
};

void BM_RecoverySnapshot(benchmark::State& State) {
  TWindow window;
  for (auto _ : State) benchmark::DoNotOptimize(window.Keeper.Snapshot());
}
BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMicrosecond);

// After a project opens, the keeper encodes its frames between events: the
// longest pass of the event loop meanwhile, and the passes it took.
void BM_RecoveryEncodingAfterOpen(benchmark::State& State) {
  TWindow window;
  double longest = 0;
  int passes = 0;
  for (auto _ : State) {
    State.PauseTiming();
    TAnimation animation = window.Form.Animation();
    TEditState opened = TDocument::OpenedState(animation);
    window.Form.Document().Reset(std::move(animation), std::move(opened));
    State.ResumeTiming();
    for (passes = 0; !window.Keeper.FramesEncoded(); ++passes) {
      QElapsedTimer pass;
      pass.start();
      QCoreApplication::processEvents();
      longest = std::max(longest, pass.nsecsElapsed() / 1e6);
    }
  }
  State.counters["longest_pass_ms"] = longest;
  State.counters["passes"] = passes;
}
BENCHMARK(BM_RecoveryEncodingAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the keeper encodes after a project opens: every frame.
void BM_RecoveryEncodeAllFrames(benchmark::State& State) {
  TWindow window;
  for (auto _ : State) {
    std::vector<QByteArray> frames;
    frames.reserve(Frames);
    for (const TFigures& frame : window.Form.Animation().Frames) {
      frames.emplace_back();
      AppendFrameBytes(frames.back(), frame);
    }
    benchmark::DoNotOptimize(frames.data());
  }
}
BENCHMARK(BM_RecoveryEncodeAllFrames)->Unit(benchmark::kMillisecond);

void BM_RecoveryWriteOffThread(benchmark::State& State) {
  TWindow window;
  const TProjectSnapshot snapshot = window.Keeper.Snapshot();
  const QString path = window.Folder.filePath(QStringLiteral("bench.tvlrec"));
  qint64 bytes = 0;
  for (auto _ : State) {
    const QByteArray file = ProjectRecoveryBytes(snapshot);
    WriteWholeFile(path, file);
    bytes = file.size();
  }
  State.counters["file_MB"] = double(bytes) / (1 << 20);
}
BENCHMARK(BM_RecoveryWriteOffThread)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
