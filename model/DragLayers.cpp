// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DragLayers.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "model/Common.h"
#include "model/Pictures.h"

void CopyPixels(const QImage& Source, QImage& Target, const QRect& Area) {
  const QRect area = Area & Source.rect() & Target.rect();
  if (area.isEmpty()) return;
  if (Source.format() == Target.format() && Source.depth() == 32) {
    const std::size_t bytes = static_cast<std::size_t>(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y)
      std::memcpy(Target.scanLine(y) + std::ptrdiff_t{4} * area.left(),
                  Source.constScanLine(y) + std::ptrdiff_t{4} * area.left(), bytes);
  } else {
    QPainter p(&Target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(area.topLeft(), Source, area);
  }
}

namespace {

void DrawHandlesOf(QPainter& Canvas, const TFigure& Figure, bool Selected, float Zoom = 1.0f) {
  if (Selected)
    Figure.DrawHandles(Canvas, SelectedJointColor, RootHandleColor, Zoom);
  else
    Figure.DrawHandles(Canvas, OtherHandleColor, OtherHandleColor, Zoom);
}

QImage Transparent(QSize Size) {
  QImage image = NewPicture(Size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

void DrawEditHandles(QPainter& Canvas, const TFigures& Frame, int Selected, const std::vector<int>& AlsoSelected,
                     float Zoom) {
  for (int i = 0; i < Frame.Count(); ++i)
    DrawHandlesOf(Canvas, Frame.Items[i],
                  i == Selected || std::find(AlsoSelected.begin(), AlsoSelected.end(), i) != AlsoSelected.end(), Zoom);
}

void PaintEditScene(QImage& Target, const QImage& Underlay, const TFigures& Frame, int Selected,
                    const std::vector<int>& AlsoSelected, bool WithHandles, TLineStyle Lines) {
  if (Target.size() != Underlay.size() || Target.format() != QImage::Format_RGB32)
    Target = QImage(Underlay.size(), QImage::Format_RGB32);
  CopyPixels(Underlay, Target, Target.rect());
  if (Frame.Count() == 0) return;
  QPainter canvas(&Target);
  PrepareCanvas(canvas);
  Frame.Draw(canvas, 1.0f, Lines);
  if (WithHandles) DrawEditHandles(canvas, Frame, Selected, AlsoSelected);
}

bool TDragLayers::Rebuild(const QImage& Underlay, const TFigures& Frame, int Selected) {
  try {
    BuildLayers(Underlay, Frame, Selected);
    return true;
  } catch (const EPictureMemory&) {
    // Without the memory for the layers, every step is a full repaint.
    Valid = false;
    Below = Between = Above = QImage();
    return false;
  }
}

void TDragLayers::BuildLayers(const QImage& Underlay, const TFigures& Frame, int Selected) {
  const int count = Frame.Count();
  Valid = false;
  Below = Between = Above = QImage();
  Below = NewPicture(Underlay.size());
  CopyPixels(Underlay, Below, Below.rect());
  {
    QPainter canvas(&Below);
    PrepareCanvas(canvas);
    for (int i = 0; i < Selected; ++i) Frame.Items[i].Draw(canvas, 1.0f, Lines);
  }
  BetweenUsed = WithHandles ? count > 1 : Selected + 1 < count;
  Between = BetweenUsed ? Transparent(Underlay.size()) : QImage();
  if (BetweenUsed) {
    QPainter canvas(&Between);
    PrepareCanvas(canvas);
    for (int i = Selected + 1; i < count; ++i) Frame.Items[i].Draw(canvas, 1.0f, Lines);
    if (WithHandles)
      for (int i = 0; i < Selected; ++i) DrawHandlesOf(canvas, Frame.Items[i], false);
  }
  AboveUsed = WithHandles && Selected + 1 < count;
  Above = AboveUsed ? Transparent(Underlay.size()) : QImage();
  if (AboveUsed) {
    QPainter canvas(&Above);
    PrepareCanvas(canvas);
    for (int i = Selected + 1; i < count; ++i) DrawHandlesOf(canvas, Frame.Items[i], false);
  }
  Valid = true;
  CachedSelected = Selected;
  CachedCount = Frame.Items.size();
  CachedUnderlayKey = Underlay.cacheKey();
  CachedSize = Underlay.size();
}

void TDragLayers::Compose(QImage& Target, const TFigure& Figure, const QRect& Area) const {
  CopyPixels(Below, Target, Area);
  QPainter canvas(&Target);
  PrepareCanvas(canvas);
  canvas.setClipRect(Area);
  Figure.Draw(canvas, 1.0f, Lines);
  if (BetweenUsed) canvas.drawImage(Area.topLeft(), Between, Area);
  if (WithHandles) DrawHandlesOf(canvas, Figure, true);
  if (AboveUsed) canvas.drawImage(Area.topLeft(), Above, Area);
}

QRect TDragLayers::Repaint(QImage& Target, const QImage& Underlay, const TFigures& Frame, int Selected) {
  if (Selected < 0 || Selected >= Frame.Count()) {
    Valid = false;
    PaintEditScene(Target, Underlay, Frame, Selected, {}, WithHandles, Lines);
    return Target.rect();
  }
  const TFigure& figure = Frame.Items[Selected];
  const QRect bounds = figure.DrawBounds(1.0f, WithHandles) & Underlay.rect();
  const bool fresh = !Valid || CachedSelected != Selected || CachedCount != Frame.Items.size() ||
                     CachedUnderlayKey != Underlay.cacheKey() || CachedSize != Underlay.size() ||
                     Target.size() != Underlay.size() || Target.format() != QImage::Format_RGB32;
  if (fresh) {
    if (!Rebuild(Underlay, Frame, Selected)) {
      PaintEditScene(Target, Underlay, Frame, Selected, {}, WithHandles, Lines);
      return Target.rect();
    }
    if (Target.size() != Underlay.size() || Target.format() != QImage::Format_RGB32)
      Target = QImage(Underlay.size(), QImage::Format_RGB32);
    Compose(Target, figure, Target.rect());
    LastBounds = bounds;
    return Target.rect();
  }
  const QRect dirty = (LastBounds | bounds) & Target.rect();
  LastBounds = bounds;
  if (dirty.isEmpty()) return dirty;
  Compose(Target, figure, dirty);
  return dirty;
}
