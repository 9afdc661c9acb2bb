// SPDX-License-Identifier: GPL-3.0-or-later
// Frames piling up: Next Frame, Insert, Delete and a thumbnail click with
// many stored frames, redrawing all thumbnails, scrolling the strip, the
// memory a stored frame takes, and a playback tick against a plain copy of
// the picture.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include "bench/BenchScenes.h"
#include "bench/BenchWindow.h"
#include "editor/BackgroundController.h"
#include "editor/FiguresController.h"
#include "editor/FramesController.h"
#include "editor/MainUnit.h"
#include "editor/PlaybackController.h"
#include "editor/ProjectController.h"
#include "editor/TimelineStrip.h"
#include "model/DragLayers.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

struct TWindow {
  TQtDialogs Dialogs;
  TMainForm Form{Dialogs};

  // Stores Count frames quickly: the same frame each time, as Next Frame
  // would leave them.
  void Fill(int Count) { StoreFrames(Form, Count, false); }
};

void BM_NextFrame(benchmark::State& State) {
  TWindow w;
  w.Fill(static_cast<int>(State.range(0)));
  double x = 0.5;
  for (auto _ : State) {
    TFigure moved = w.Form.Document().WorkingFrame().Items[0];
    moved.MoveBy(RealPoint(static_cast<float>(x), 0));
    x = -x;
    w.Form.Document().EndGesture();
    w.Form.Document().DragFigure(0, moved);
    w.Form.Document().EndGesture();
    w.Form.Frames().NextFrameButtonClick();
  }
  State.counters["frames_at_end"] = static_cast<double>(w.Form.Animation().Frames.size());
}
BENCHMARK(BM_NextFrame)->Arg(10)->Arg(1000)->Arg(10000)->Iterations(300)->Unit(benchmark::kMicrosecond);

// The clipboard's figures put into a thousand stored frames, once the
// dialog is answered: the command, the strip and the drawing area following
// it, and the events that follow, as one step of the history.
void BM_PasteIntoFrames(benchmark::State& State) {
  TWindow w;
  w.Fill(static_cast<int>(State.range(0)));
  const std::vector<TFigure> figures = w.Form.Document().WorkingFrame().Items;
  for (auto _ : State) {
    w.Form.Document().PasteIntoFrames({}, figures, 0, static_cast<int>(State.range(0)));
    QApplication::processEvents();
    State.PauseTiming();
    w.Form.Document().Undo();
    QApplication::processEvents();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_PasteIntoFrames)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_InsertAtFront(benchmark::State& State) {
  TWindow w;
  w.Fill(10000);
  for (auto _ : State) {
    w.Form.Frames().FramePopup(0);
    w.Form.Frames().InsertFrameClick();
    State.PauseTiming();
    w.Form.Frames().DeleteFrameClick();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_InsertAtFront)->Unit(benchmark::kMicrosecond);

void BM_DeleteAtFront(benchmark::State& State) {
  TWindow w;
  w.Fill(10000);
  for (auto _ : State) {
    State.PauseTiming();
    w.Form.Frames().FramePopup(0);
    w.Form.Frames().InsertFrameClick();
    State.ResumeTiming();
    w.Form.Frames().DeleteFrameClick();
  }
}
BENCHMARK(BM_DeleteAtFront)->Unit(benchmark::kMicrosecond);

void BM_ThumbnailClick(benchmark::State& State) {
  TWindow w;
  w.Fill(10000);
  int i = 0;
  for (auto _ : State) {
    w.Form.Frames().FrameClick(5000 + (i++ & 1));
  }
}
BENCHMARK(BM_ThumbnailClick)->Unit(benchmark::kMicrosecond);

// A redraw of all thumbnails, up to the repainted strip: what shows is drawn.
void BM_RedrawTimelineImages(benchmark::State& State) {
  TWindow w;
  w.Fill(static_cast<int>(State.range(0)));
  w.Form.resize(1920, 1000);
  w.Form.show();
  QApplication::processEvents();
  for (auto _ : State) {
    w.Form.Frames().RedrawTimelineImages();
    w.Form.Controls().TimelineImages->repaint();
  }
}
BENCHMARK(BM_RedrawTimelineImages)->Arg(1000)->Arg(100000)->ArgName("frames")->Unit(benchmark::kMillisecond);

// One step of the strip's scroll bar through 100,000 frames, each step
// bringing a thumbnail into view that was never drawn; and a page step,
// bringing a screenful of them. The window is as wide as on a 1920-pixel screen.
void ScrollStrip(benchmark::State& State, bool Page) {
  TWindow w;
  w.Fill(100000);
  w.Form.resize(1920, 1000);
  w.Form.show();
  QApplication::processEvents();
  QScrollBar* bar = w.Form.Controls().TimelineScrollBox->horizontalScrollBar();
  const int step = Page ? bar->pageStep() : w.Form.Controls().TimelineImages->ThumbnailSize().width() + 3;
  for (auto _ : State) {
    bar->setValue(bar->value() + step >= bar->maximum() ? 0 : bar->value() + step);
    w.Form.Controls().TimelineImages->repaint();
  }
  State.counters["cached_thumbnails"] = w.Form.Controls().TimelineImages->CachedCount();
}
BENCHMARK_CAPTURE(ScrollStrip, OneThumbnail_100000Frames, false)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ScrollStrip, OnePage_100000Frames, true)->Iterations(50)->Unit(benchmark::kMicrosecond);

// Heap bytes a stored frame of one Stickman takes, measured over 2,000 and
// 100,000 Next Frames, the step of the history each leaves included (a
// stored frame holds no picture; the strip's cache is apart).
void BM_MemoryPerStoredFrame(benchmark::State& State) {
  for (auto _ : State) {
#ifdef __GLIBC__
    const int count = static_cast<int>(State.range(0));
    TWindow w;
    w.Form.Frames().NextFrameButtonClick();
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < count; ++i) w.Form.Frames().NextFrameButtonClick();
    const std::size_t after = mallinfo2().uordblks;
    State.counters["bytes_per_frame"] = static_cast<double>(after - before) / count;
    State.counters["held_MB"] = static_cast<double>(after - before) / 1e6;
#else
    State.SkipWithError("needs glibc's mallinfo2");
#endif
  }
}
BENCHMARK(BM_MemoryPerStoredFrame)
    ->Arg(2000)
    ->Arg(100000)
    ->ArgName("frames")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A playback tick: one stored frame drawn over the background at full size.
void PlaybackTick(benchmark::State& State, int Width, int Height) {
  TWindow w;
  w.Form.Background().ChangeDimensions(Width, Height);
  w.Form.Document().MarkSaved();  // no save question before the new project
  w.Form.Project().NewProject();
  for (int i = 0; i < 9; ++i) w.Form.Figures().AddFigureButtonClick();
  w.Form.Frames().NextFrameButtonClick();
  w.Form.Frames().NextFrameButtonClick();
  w.Form.Playback().PlayButtonClick();
  for (auto _ : State) w.Form.Playback().PlaybackTimerTick();
  w.Form.Playback().StopButtonClick();
}
BENCHMARK_CAPTURE(PlaybackTick, 506x415_10Stickmen, 506, 415)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlaybackTick, 1920x1080_10Stickmen, 1920, 1080)->Unit(benchmark::kMicrosecond);

void PlainCopy(benchmark::State& State, int Width, int Height) {
  const QImage source = WhitePicture(Width, Height);
  QImage target = WhitePicture(Width, Height);
  for (auto _ : State) {
    CopyPixels(source, target, target.rect());
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK_CAPTURE(PlainCopy, 506x415, 506, 415)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlainCopy, 1920x1080, 1920, 1080)->Unit(benchmark::kMicrosecond);

}  // namespace
