// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Painting the main drawing area: the underlay (background and ghost), every
// figure of the working frame, then every figure's handles.
//
// While one figure is dragged nothing else on the drawing can change, so
// TDragLayers keeps what lies under, between and over the dragged figure in
// three cached pictures and repaints only the rectangle the figure covered
// before and covers now. The pixels are the same as a full repaint; with
// smooth lines, the blended edges of the figures over the dragged one come
// from their layer and may differ from it by a unit of rounding.

#include <QImage>
#include <QRect>
#include <vector>

class QPainter;

#include "model/FiguresUnit.h"

// Handle colours of the main drawing area.
constexpr TColor SelectedJointColor = ColorRed;
constexpr TColor OtherHandleColor = ColorBlue;

// Full repaint: Underlay, all figures in list order with their lines as
// Lines says, then (WithHandles) all handles as DrawEditHandles draws them.
// Selected may be -1 when no figure is selected.
void PaintEditScene(QImage& Target, const QImage& Underlay, const TFigures& Frame, int Selected,
                    const std::vector<int>& AlsoSelected = {}, bool WithHandles = true,
                    TLineStyle Lines = TLineStyle::Pixel);

// Every figure's handles in list order: figure Selected and the figures
// AlsoSelected with red joints and an orange root, the others blue. Zoom
// places them on a screen showing the picture that many times as large.
void DrawEditHandles(QPainter& Canvas, const TFigures& Frame, int Selected, const std::vector<int>& AlsoSelected,
                     float Zoom = 1.0f);

class TDragLayers {
 public:
  // Forget the cached pictures; the next Repaint rebuilds them. Call it
  // whenever anything but the selected figure's pose changed.
  void Invalidate() { Valid = false; }
  // Whether the pictures hold the handles (they do not when the handles are
  // drawn over a zoomed view instead).
  void SetHandles(bool With) {
    if (With != WithHandles) Valid = false;
    WithHandles = With;
  }

  // How the figures' lines are drawn; a change rebuilds the pictures.
  void SetLines(TLineStyle Style) {
    if (Style != Lines) Valid = false;
    Lines = Style;
  }

  // Brings Target up to date after figure Selected (and only it) changed since
  // the previous Repaint. Returns the rectangle of Target that was repainted.
  QRect Repaint(QImage& Target, const QImage& Underlay, const TFigures& Frame, int Selected);

 private:
  // False, with no layers kept, when their pictures cannot be allocated.
  bool Rebuild(const QImage& Underlay, const TFigures& Frame, int Selected);
  void BuildLayers(const QImage& Underlay, const TFigures& Frame, int Selected);
  void Compose(QImage& Target, const TFigure& Figure, const QRect& Area) const;

  bool Valid = false;
  bool WithHandles = true;
  TLineStyle Lines = TLineStyle::Pixel;
  int CachedSelected = -1;
  std::size_t CachedCount = 0;
  qint64 CachedUnderlayKey = 0;
  QSize CachedSize;
  QImage Below;    // underlay and the figures under the selected one (opaque)
  QImage Between;  // figures over it and the handles of figures under it (transparent)
  QImage Above;    // handles of the figures over it (transparent)
  bool BetweenUsed = false;
  bool AboveUsed = false;
  QRect LastBounds;  // what the selected figure covered at the last repaint
};

// Copies the pixels of Area from Source into Target (same size and format).
void CopyPixels(const QImage& Source, QImage& Target, const QRect& Area);
