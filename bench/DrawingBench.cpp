// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing speed: a drag step on the main drawing area against a plain copy
// of the picture (the floor), the box filter, and a Next Frame thumbnail.

#include <benchmark/benchmark.h>

#include <QPainter>

#include "bench/BenchScenes.h"
#include "model/Animation.h"
#include "model/DragLayers.h"

namespace {

constexpr int Width = 1920, Height = 1080;

// The floor: copying a 1920 x 1080 picture.
void BM_PlainCopy1920x1080(benchmark::State& State) {
  const QImage source = WhitePicture(Width, Height);
  QImage target = WhitePicture(Width, Height);
  for (auto _ : State) {
    CopyPixels(source, target, target.rect());
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_PlainCopy1920x1080);

struct TScene {
  QImage Underlay = WhitePicture(Width, Height);
  QImage Picture;
  TFigures Frame;
  TDragLayers Layers;
  int Selected = 0;
};

TScene Stickmen() {
  TScene scene;
  scene.Frame = Scatter(50, 1, StickmanType(), Width, Height, 1);
  scene.Selected = 25;
  return scene;
}

TScene Crowd() {
  TScene scene;
  scene.Frame = Scatter(100, 2, RandomType(50, 7), Width, Height, 2);
  scene.Selected = 50;
  return scene;
}

// One step of a joint drag: turn a segment, then bring the picture up to date
// through the cached layers, as the drawing area does.
void JointDragStep(benchmark::State& State, TScene (*Make)()) {
  TScene Scene = Make();
  Scene.Layers.Repaint(Scene.Picture, Scene.Underlay, Scene.Frame, Scene.Selected);
  double delta = 0.05;
  for (auto _ : State) {
    Scene.Frame.Items[Scene.Selected].RotateSegment(0, delta);
    delta = -delta;
    benchmark::DoNotOptimize(Scene.Layers.Repaint(Scene.Picture, Scene.Underlay, Scene.Frame, Scene.Selected));
  }
}

// One step of a root drag: move the whole figure a few pixels.
void RootDragStep(benchmark::State& State, TScene (*Make)()) {
  TScene Scene = Make();
  Scene.Layers.Repaint(Scene.Picture, Scene.Underlay, Scene.Frame, Scene.Selected);
  float d = 3.0f;
  for (auto _ : State) {
    Scene.Frame.Items[Scene.Selected].MoveBy(RealPoint(d, d));
    d = -d;
    benchmark::DoNotOptimize(Scene.Layers.Repaint(Scene.Picture, Scene.Underlay, Scene.Frame, Scene.Selected));
  }
}

// The same step with everything repainted, for comparison.
void FullRepaintStep(benchmark::State& State, TScene (*Make)()) {
  TScene Scene = Make();
  double delta = 0.05;
  for (auto _ : State) {
    Scene.Frame.Items[Scene.Selected].RotateSegment(0, delta);
    delta = -delta;
    PaintEditScene(Scene.Picture, Scene.Underlay, Scene.Frame, Scene.Selected);
    benchmark::DoNotOptimize(Scene.Picture.constBits());
  }
}

BENCHMARK_CAPTURE(JointDragStep, Stickmen50, &Stickmen);
BENCHMARK_CAPTURE(RootDragStep, Stickmen50, &Stickmen);
BENCHMARK_CAPTURE(FullRepaintStep, Stickmen50, &Stickmen);
BENCHMARK_CAPTURE(JointDragStep, Crowd100x50Segments, &Crowd);
BENCHMARK_CAPTURE(RootDragStep, Crowd100x50Segments, &Crowd);
BENCHMARK_CAPTURE(FullRepaintStep, Crowd100x50Segments, &Crowd);

void BM_ShrinkBitmap1920x1080To132x55(benchmark::State& State) {
  QImage source(Width, Height, QImage::Format_RGB32);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) source.setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
  QImage dest(132, 55, QImage::Format_RGB32);
  for (auto _ : State) {
    ShrinkBitmap(source, dest, static_cast<double>(Height) / 55);
    benchmark::DoNotOptimize(dest.constBits());
  }
}
BENCHMARK(BM_ShrinkBitmap1920x1080To132x55);

// A thumbnail made as Next Frame makes it: the frame drawn at full size over
// the background, then reduced into 67 x 55.
void BM_NextFrameThumbnail506x415(benchmark::State& State) {
  const TAnimation animation = NewAnimation();
  const TFigures frame = Scatter(1, 1, StickmanType(), 506, 415, 3);
  for (auto _ : State) {
    QImage large(506, 415, QImage::Format_RGB32);
    QImage thumbnail(67, 55, QImage::Format_RGB32);
    {
      QPainter canvas(&large);
      PrepareCanvas(canvas);
      DrawFrame(canvas, animation, frame, 1.0f);
    }
    ShrinkBitmap(large, thumbnail, 415.0 / 55);
    benchmark::DoNotOptimize(thumbnail.constBits());
  }
}
BENCHMARK(BM_NextFrameThumbnail506x415);

}  // namespace
