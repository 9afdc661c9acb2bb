// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the builder's mouse steps on a type of 255 segments, each of which
// erases and redraws the whole drawing area, beside the floor of filling a
// picture of the same size. Sizes: the window's first size and full HD.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QResizeEvent>
#include <cmath>
#include <numbers>

#include "builder/FigureBuilderUnit.h"
#include "model/Common.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

namespace {

// A star of Count segments: a short trunk, then eight branches from the
// trunk's end, each a chain of short segments with a circle now and then.
// Everything hangs from the trunk's end, so turning segment 0 turns it all,
// and nothing but the trunk has a handle at that point.
TFigureType StarType(int Count) {
  TFigureType type;
  type.AddSegment(0, SegmentLine, 20.0f, 5.0f, 3 * std::numbers::pi / 2, 0);
  for (int i = 1; i < Count; ++i) {
    const uint8_t parent = static_cast<uint8_t>(i <= 8 ? 1 : i - 8 + 1);
    const uint8_t kind = i % 7 == 0 ? SegmentCircle : SegmentLine;
    const double angle = (i % 8) * std::numbers::pi / 4 + 0.1 * std::sin(i);
    type.AddSegment(parent, kind, i <= 8 ? 12.0f : 3.5f, 3.0f, angle, 0);
  }
  type.RebuildVertices();
  return type;
}

// Dialogs that never block: a benchmark that meets one reports an error.
class TNoDialogs : public TDialogs {
 public:
  QString Shown;
  void ShowMessage(QWidget*, const QString& Text) override { Shown = Text; }
  void ShowNotice(QWidget*, const QString& Text) override { Shown = Text; }
  bool AskYesNo(QWidget*, const QString& Text) override {
    Shown = Text;
    return false;
  }
  TAnswer AskYesNoCancel(QWidget*, const QString& Text) override {
    Shown = Text;
    return TAnswer::Cancel;
  }
  TRecoveryAnswer AskRecover(QWidget*, const QString& Text) override {
    Shown = Text;
    return TRecoveryAnswer::Later;
  }
  TFileDialogResult OpenFile(QWidget*, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult AskSaveFile(QWidget*, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult OpenPicture(QWidget*, const TFileDialogRequest&) override { return {}; }
  std::optional<TColor> ChooseColor(QWidget*, TColor) override { return std::nullopt; }
  int ExecModal(QDialog&) override { return 0; }
  std::optional<int> AskNumber(QWidget*, const QString&, const QString&, int, int, int) override {
    return std::nullopt;
  }
  std::optional<TTweenChoice> AskTween(QWidget*, const TTweenChoice&) override { return std::nullopt; }
};

struct TBuilderBench {
  TNoDialogs Dialogs;
  TFigureBuilderForm Form{Dialogs, nullptr};

  TBuilderBench(benchmark::State& State, int Segments = TFigureType::MaxSegments) {
    const int w = static_cast<int>(State.range(0));
    const int h = static_cast<int>(State.range(1));
    Form.resize(w + 64, h + 79);
    // A hidden window gets its resize event only when it is shown; the
    // drawing area must take its size before the type is centred in it.
    QResizeEvent resized(Form.size(), QSize());
    QApplication::sendEvent(&Form, &resized);
    Form.EditFigureType(StarType(Segments));
    if (Form.Controls().FigureImage->Picture().size() != QSize(w, h))
      State.SkipWithError("the drawing area did not take the size");
  }

  QPoint Vertex(int V) const {
    const TRealPoint p = Form.GetWorkFigure().Points()[V];
    return QPoint(static_cast<int>(std::lround(p.X)), static_cast<int>(std::lround(p.Y)));
  }
};

void BM_Fill(benchmark::State& State) {
  QImage picture(static_cast<int>(State.range(0)), static_cast<int>(State.range(1)), QImage::Format_RGB32);
  for (auto _ : State) {
    picture.fill(Qt::white);
    benchmark::DoNotOptimize(picture.constBits());
  }
}

// Rotating the whole tree by a quarter turn one way, then back.
void BM_RotateDragStep(benchmark::State& State) {
  TBuilderBench bench(State);
  const QPoint root = bench.Vertex(0);
  bench.Form.FigureImageMouseDown(Qt::LeftButton, {}, bench.Vertex(1).x(), bench.Vertex(1).y());
  if (bench.Form.GetGrabbedHandle() != 0) State.SkipWithError("the press missed the trunk's handle");
  const QPoint targets[] = {root + QPoint(60, 0), root + QPoint(0, -60)};
  int step = 0;
  for (auto _ : State) {
    const QPoint p = targets[step++ & 1];
    bench.Form.FigureImageMouseMove({}, p.x(), p.y());
  }
}

// Moving one vertex with children in edit mode.
void BM_EditModeStep(benchmark::State& State) {
  TBuilderBench bench(State);
  bench.Form.EditModeClick();
  const QPoint start = bench.Vertex(1);
  bench.Form.FigureImageMouseDown(Qt::LeftButton, {}, start.x(), start.y());
  if (bench.Form.GetGrabbedHandle() != 0) State.SkipWithError("the press missed the trunk's handle");
  const QPoint targets[] = {start + QPoint(7, 3), start + QPoint(-5, -6)};
  int step = 0;
  for (auto _ : State) {
    const QPoint p = targets[step++ & 1];
    bench.Form.FigureImageMouseMove({}, p.x(), p.y());
  }
}

// The rubber band of a line being added from the trunk's end (to a type of
// 254 segments: at 255 no add can start).
void BM_RubberBandStep(benchmark::State& State) {
  TBuilderBench bench(State, TFigureType::MaxSegments - 1);
  bench.Form.LineButtonClick();
  const QPoint start = bench.Vertex(1);
  bench.Form.FigureImageMouseDown(Qt::LeftButton, {}, start.x(), start.y());
  bench.Form.FigureImageMouseUp(Qt::LeftButton, {}, start.x(), start.y());
  if (!bench.Form.IsPlacingSegment() || !bench.Dialogs.Shown.isEmpty()) State.SkipWithError("the press chose no start");
  const QPoint targets[] = {start + QPoint(80, 40), start + QPoint(-70, 50)};
  int step = 0;
  for (auto _ : State) {
    const QPoint p = targets[step++ & 1];
    bench.Form.FigureImageMouseMove({}, p.x(), p.y());
  }
}

void Sizes(benchmark::internal::Benchmark* B) {
  B->Args({321, 305})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Fill)->Apply(Sizes);
BENCHMARK(BM_RotateDragStep)->Apply(Sizes);
BENCHMARK(BM_EditModeStep)->Apply(Sizes);
BENCHMARK(BM_RubberBandStep)->Apply(Sizes);

}  // namespace
