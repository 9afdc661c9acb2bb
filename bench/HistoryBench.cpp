// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the document and its history: a drag step through the window
// (the step merged into the drag's one command), Undo and Redo of the frame
// commands with 10 and 10,000 stored frames, and the memory the history
// holds after many drags and Next Frames.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <limits>

#include "bench/BenchScenes.h"
#include "bench/BenchWindow.h"
#include "editor/BackgroundController.h"
#include "editor/CanvasController.h"
#include "editor/FramesController.h"
#include "editor/HistoryController.h"
#include "editor/MainUnit.h"
#include "files/ProjectFile.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

struct TWindow {
  TQtDialogs Dialogs;
  TMainForm Form{Dialogs};
  // Pixel lines whatever the user's settings say; a benchmark asks for smooth ones.
  TWindow() { Form.Controls().SmoothLinesAction->setChecked(false); }
};

// Scene 0: 50 Stickmen; 1: 100 figures of a 50-segment type; over a
// 1920 x 1080 drawing. Returns the figure the drag holds.
int LayScene(TMainForm& Form, int Scene) {
  Form.Background().ChangeDimensions(1920, 1080);
  TAnimation animation = Form.Animation();
  TFigureTypeRef type = StickmanType();
  uint8_t entry = 1;
  int count = 50;
  if (Scene == 1) {
    type = RandomType(50, 7);
    animation.Types.Append(type, QStringLiteral("Crowd"));
    entry = 2;
    count = 100;
  }
  TEditState edit;
  edit.WorkingFrame = Scatter(count, entry, type, 1920, 1080, static_cast<unsigned>(Scene + 1));
  edit.SelectedFigure = count / 2;
  Form.Document().Reset(std::move(animation), std::move(edit));
  return count / 2;
}

// A drag begun at Grip, timed one mouse move to and fro a step.
void DragSteps(benchmark::State& State, TMainForm& Form, TRealPoint Grip) {
  const int x = static_cast<int>(Grip.X), y = static_cast<int>(Grip.Y);
  Form.Canvas().EditImageMouseDown(Qt::LeftButton, {}, x, y);
  if (Form.Canvas().GetSelectedHandle() == NoHandle) State.SkipWithError("no handle under the mouse");
  int d = 3;
  for (auto _ : State) {
    Form.Canvas().EditImageMouseMove({}, x + d, y + d);
    d = -d;
  }
  Form.Canvas().EditImageMouseUp(Qt::LeftButton, {}, x, y);
  State.counters["history_steps"] = Form.Document().History().count();
}

// One mouse move of a drag on the drawing area: the joint at the end of the
// held figure's first segment (or its root) follows the mouse. Smooth Lines
// is set as Smooth says, without touching the user's settings.
void WindowDragStep(benchmark::State& State, int Scene, bool Root, bool Smooth = false) {
  TWindow w;
  w.Form.Controls().SmoothLinesAction->setChecked(Smooth);
  const int held = LayScene(w.Form, Scene);
  const TFigure& figure = w.Form.Document().WorkingFrame().Items[held];
  DragSteps(State, w.Form, Root ? figure.Root() : figure.Points()[1]);
}
BENCHMARK_CAPTURE(WindowDragStep, Joint_Stickmen50, 0, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WindowDragStep, Root_Stickmen50, 0, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WindowDragStep, Joint_Crowd100x50Segments, 1, false)->Unit(benchmark::kMicrosecond);
// Smooth lines: at most 1.5 times the steps above.
BENCHMARK_CAPTURE(WindowDragStep, Joint_Stickmen50_Smooth, 0, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WindowDragStep, Root_Stickmen50_Smooth, 0, true, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WindowDragStep, Joint_Crowd100x50Segments_Smooth, 1, false, true)->Unit(benchmark::kMicrosecond);

// Posing: the last joint of one figure dragged plainly (it turns its own
// segment) and by inverse kinematics (the chain above it turns to put it at
// the mouse): the Stickman, and one chain of Segments segments, each a
// little bent from the last so that the solver has work to do.
void PoseDragStep(benchmark::State& State, int Segments, bool Ik) {
  TWindow w;
  w.Form.Background().ChangeDimensions(1920, 1080);
  w.Form.Controls().InverseKinematicsAction->setChecked(Ik);
  TAnimation animation = w.Form.Animation();
  TFigure figure;
  if (Segments == 0) {
    figure.SetType(1, StickmanType());
  } else {
    auto chain = std::make_shared<TFigureType>();
    for (int i = 0; i < Segments; ++i) chain->AddSegment(static_cast<uint8_t>(i), SegmentLine, 3, 2, 0.01 * i, 0);
    animation.Types.Append(chain, QStringLiteral("Chain"));
    figure.SetType(2, chain);
  }
  figure.MoveBy(RealPoint(400, 540));
  TEditState edit;
  edit.WorkingFrame.Items = {figure};
  edit.SelectedFigure = 0;
  w.Form.Document().Reset(std::move(animation), std::move(edit));
  DragSteps(State, w.Form, w.Form.Document().WorkingFrame().Items[0].Points().back());
}
BENCHMARK_CAPTURE(PoseDragStep, Stickman_Plain, 0, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PoseDragStep, Stickman_InverseKinematics, 0, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PoseDragStep, Chain255_Plain, 255, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PoseDragStep, Chain255_InverseKinematics, 255, true)->Unit(benchmark::kMicrosecond);

// The joint drag step over 50 Stickmen while frame 10 of 21 is edited, with
// the default onion skin (one frame before) and with ten frames before and
// ten after: the frames under the drawing are part of its cached layer.
void OnionDragStep(benchmark::State& State, int Before, int After) {
  TWindow w;
  LayScene(w.Form, 0);
  StoreFrames(w.Form, 21, true);
  w.Form.Frames().FrameClick(10);
  w.Form.Canvas().SetOnionSkin({true, Before, After});
  const int held = w.Form.Document().SelectedFigure();
  DragSteps(State, w.Form, w.Form.Document().WorkingFrame().Items[static_cast<std::size_t>(held)].Points()[1]);
  w.Form.Canvas().SetOnionSkin({});
}
BENCHMARK_CAPTURE(OnionDragStep, Default, 1, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OnionDragStep, TenBeforeTenAfter, 10, 10)->Unit(benchmark::kMicrosecond);

// A joint drag step as the user sees it, the handler and the paint of the
// window, on a 1280 x 960 window over a 1920 x 1080 drawing: at 400 %, and
// for the same area of the screen at 100 %, with the held Stickman four
// times as large.
void ZoomedDragStep(benchmark::State& State, double Zoom) {
  TWindow w;
  w.Form.resize(1280, 960);
  w.Form.show();
  const int held = LayScene(w.Form, 0);
  if (Zoom == 1.0) {
    TFigure large = w.Form.Document().WorkingFrame().Items[static_cast<std::size_t>(held)];
    large.SetScale(4.0f);
    w.Form.Document().DragFigure(held, large);
    w.Form.Document().EndGesture();
  }
  w.Form.Canvas().SetZoom(Zoom);
  const TFigure& figure = w.Form.Document().WorkingFrame().Items[static_cast<std::size_t>(held)];
  const TRealPoint grip = figure.Points()[1];
  const QPointF shown = w.Form.Controls().EditImage->ToScreen(QPointF(figure.Root().X, figure.Root().Y));
  w.Form.Controls().DrawingScrollBox->ensureVisible(qRound(shown.x()), qRound(shown.y()), 400, 400);
  QCoreApplication::processEvents();
  w.Form.Canvas().EditImageMouseDown(Qt::LeftButton, {}, grip.X, grip.Y);
  if (w.Form.Canvas().GetSelectedHandle() == NoHandle) State.SkipWithError("no handle under the mouse");
  // Three screen pixels a move, to and fro.
  double d = 3 / Zoom;
  for (auto _ : State) {
    w.Form.Canvas().EditImageMouseMove({}, grip.X + d, grip.Y + d);
    QCoreApplication::processEvents();
    d = -d;
  }
  w.Form.Canvas().EditImageMouseUp(Qt::LeftButton, {}, grip.X, grip.Y);
}
BENCHMARK_CAPTURE(ZoomedDragStep, Actual_LargeFigure, 1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ZoomedDragStep, Zoom400, 4.0)->Unit(benchmark::kMicrosecond);

// Undo then Redo of one frame command (0 Next Frame, 1 Insert, 2 Delete, the
// last two in the middle of the strip) with Frames stored frames.
void UndoRedo(benchmark::State& State) {
  const int kind = static_cast<int>(State.range(0));
  const int frames = static_cast<int>(State.range(1));
  TWindow w;
  StoreFrames(w.Form, frames, true);
  w.Form.resize(1920, 1000);
  w.Form.show();
  QApplication::processEvents();
  if (kind == 0) {
    w.Form.Frames().NextFrameButtonClick();
  } else {
    w.Form.Frames().FramePopup(frames / 2);
    kind == 1 ? w.Form.Frames().InsertFrameClick() : w.Form.Frames().DeleteFrameClick();
  }
  for (auto _ : State) {
    w.Form.History().UndoClick();
    w.Form.History().RedoClick();
  }
  const char* names[] = {"Next Frame", "Insert", "Delete"};
  State.SetLabel(names[kind]);
}
BENCHMARK(UndoRedo)
    ->ArgsProduct({{0, 1, 2}, {10, 10000}})
    ->ArgNames({"command", "frames"})
    ->Unit(benchmark::kMicrosecond);

// The same pair with the strip repainted after each step: what the user
// waits for, the thumbnails in view included.
void UndoRedoPainted(benchmark::State& State) {
  const int frames = static_cast<int>(State.range(0));
  TWindow w;
  StoreFrames(w.Form, frames, true);
  w.Form.resize(1920, 1000);
  w.Form.show();
  QApplication::processEvents();
  w.Form.Frames().FramePopup(frames / 2);
  w.Form.Frames().InsertFrameClick();
  for (auto _ : State) {
    w.Form.History().UndoClick();
    w.Form.Controls().TimelineImages->repaint();
    w.Form.History().RedoClick();
    w.Form.Controls().TimelineImages->repaint();
  }
  State.SetLabel("Insert, strip repainted");
}
BENCHMARK(UndoRedoPainted)->Arg(10)->Arg(10000)->ArgName("frames")->Unit(benchmark::kMicrosecond);

#ifdef __GLIBC__
double HeapBytes() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd);
}
#endif

// Ten Stickmen apart; 1,000 drags of a joint, each of five mouse moves merged into
// one step, and 1,000 Next Frames. The history's memory is the heap the
// window grew by less what the stored frames themselves take (measured as a
// copy of them), set against those frames and against the project's payload.
void BM_HistoryMemory(benchmark::State& State) {
#ifdef __GLIBC__
  for (auto _ : State) {
    TWindow w;
    TEditState edit;
    edit.WorkingFrame = Scatter(10, 1, StickmanType(), 506, 415, 5);
    w.Form.Document().Reset(TAnimation(w.Form.Animation()), std::move(edit));
    const double start = HeapBytes();
    int drags = 0;  // mouse downs that found a handle
    for (int drag = 0; drag < 1000; ++drag) {
      const TFigure& figure = w.Form.Document().WorkingFrame().Items[static_cast<std::size_t>(drag % 10)];
      const TRealPoint grip = figure.Points()[1 + drag % 4];
      const int x = static_cast<int>(grip.X), y = static_cast<int>(grip.Y);
      w.Form.Canvas().EditImageMouseDown(Qt::LeftButton, {}, x, y);
      drags += w.Form.Canvas().GetSelectedHandle() != NoHandle;
      // Towards a point off the segment's line, to one side and then the
      // other the next time this joint is dragged, so that every drag turns it.
      const int side = (drag / 20) % 2 ? 1 : -1;
      for (int step = 1; step <= 5; ++step) w.Form.Canvas().EditImageMouseMove({}, x + side * step, y + 2 * step / 5);
      w.Form.Canvas().EditImageMouseUp(Qt::LeftButton, {}, x + side * 5, y + 2);
      w.Form.Frames().NextFrameButtonClick();
    }
    const double grown = HeapBytes() - start;
    const double before = HeapBytes();
    const std::vector<TFigures> copy = w.Form.Animation().Frames;
    const double frames = HeapBytes() - before;
    const double payload = static_cast<double>(ProjectPayload(w.Form.Animation()).size());
    State.counters["history_steps"] = w.Form.Document().History().count();
    State.counters["drags"] = drags;
    State.counters["heap_growth_MB"] = grown / 1e6;
    State.counters["frames_MB"] = frames / 1e6;
    State.counters["history_MB"] = (grown - frames) / 1e6;
    State.counters["history_over_frames"] = (grown - frames) / frames;
    State.counters["payload_MB"] = payload / 1e6;
    State.counters["history_over_payload"] = (grown - frames) / payload;
  }
#else
  State.SkipWithError("needs glibc's mallinfo2");
#endif
}
BENCHMARK(BM_HistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Four backgrounds of 10000 x 10000 loaded one after another, then all four
// undone: the heap held after the loads, counted in such pictures (the one
// shown is one of them; the history's own are within its budget, the rest
// wait in temporary files), and the time of a load and of an undo. With
// the argument 1 the history keeps every picture in memory, for comparison.
void BM_HistoryBackgrounds10000x10000(benchmark::State& State) {
#ifdef __GLIBC__
  const double picture = 10000.0 * 10000.0 * 4;
  for (auto _ : State) {
    TDocument doc;
    if (State.range(0)) doc.SetHistoryPictureBudget(std::numeric_limits<qint64>::max());
    const double heap = HeapBytes();
    QElapsedTimer timer;
    timer.start();
    for (int k = 0; k < 4; ++k) {
      QImage background(10000, 10000, QImage::Format_RGB32);
      background.fill(qRgb(40 * k, 200 - 40 * k, 90));
      doc.LoadBackground(std::move(background), 0, {});
    }
    const double loads = static_cast<double>(timer.restart());
    State.counters["held_pictures"] = (HeapBytes() - heap) / picture;
    State.counters["history_MB"] = static_cast<double>(doc.HistoryPictureBytes()) / 1e6;
    for (int k = 0; k < 4; ++k) {
      doc.Undo();
    }
    State.counters["load_ms"] = loads / 4;
    State.counters["undo_ms"] = static_cast<double>(timer.elapsed()) / 4;
  }
#else
  State.SkipWithError("needs glibc's mallinfo2");
#endif
}
BENCHMARK(BM_HistoryBackgrounds10000x10000)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("unbounded")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
