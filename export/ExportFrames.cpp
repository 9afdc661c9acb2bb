// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportFrames.h"

#include <QPainter>

#include "model/Common.h"
#include "model/Pictures.h"

TFrameRenderer::TFrameRenderer(const TAnimation& Anim, int Shrink, TLineStyle Lines)
    : Animation(&Anim), Work(NewPicture(Anim.Size())), Shrink(Shrink), Lines(Lines) {
  const QSize size = Anim.Size();
  if (Shrink >= 2) Small = NewPicture(QSize(size.width() / Shrink, size.height() / Shrink));
  // Each frame is drawn over the background without clearing, as the
  // background covers the picture. Where it cannot (no picture, a smaller
  // one, one with transparency) the picture is cleared to white first, so
  // every frame comes out the same whichever thread drew what before it.
  const QImage& background = Anim.Background;
  ClearFirst = background.isNull() || background.width() < size.width() || background.height() < size.height() ||
               background.hasAlphaChannel();
  Work.fill(Qt::white);
  // The resolution written into PNG files is the same in every program
  // (Qt's default depends on whether there is a screen).
  for (QImage* picture : {&Work, &Small}) {
    picture->setDotsPerMeterX(PngDotsPerMeter);
    picture->setDotsPerMeterY(PngDotsPerMeter);
  }
}

const QImage& TFrameRenderer::Render(const TFigures& Frame) {
  if (ClearFirst) Work.fill(Qt::white);
  {
    QPainter canvas(&Work);
    PrepareCanvas(canvas);
    DrawFrame(canvas, *Animation, Frame, 1.0f, Lines);
  }
  if (Shrink < 2) return Work;
  ShrinkBitmap(Work, Small, Shrink);
  return Small;
}

std::vector<int> SeriesFileStarts(const TAnimation& Animation, bool Once) {
  std::vector<int> starts(Animation.Frames.size() + 1, 0);
  for (std::size_t i = 0; i < Animation.Frames.size(); ++i)
    starts[i + 1] = starts[i] + (Once ? 1 : Animation.Frames[i].Hold);
  return starts;
}
