// SPDX-License-Identifier: GPL-3.0-or-later
// Zooming the drawing area: the View menu's Zoom In, Zoom Out, Actual Size
// and Fit to Window. The drawing is always made at the animation's size;
// the drawing area shows it magnified or reduced, and draws the handles over
// it at their own screen size, so they stay as easy to catch at any zoom.
// Positions reach the figures in animation coordinates whatever the zoom.

#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "editor/CanvasController.h"
#include "editor/MainControls.h"
#include "model/Common.h"
#include "model/Document.h"
#include "platform/PictureBox.h"

namespace {
// The steps Zoom In and Zoom Out go through, as fractions.
constexpr double ZoomSteps[] = {0.1, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0};
// How far a screen-sized handle reaches past its point's block.
constexpr int HandleMargin = 8;
}  // namespace

void TCanvasController::SetUpZoom() {
  Ui.EditImage->SetOverlayMargin(HandleMargin);
  // Away from actual size the handles are drawn over the shown picture.
  Ui.EditImage->SetOverlay([this](QPainter& Painter, const QRect&) {
    const float zoom = static_cast<float>(Ui.EditImage->Zoom());
    const TFigures& frame = Doc.WorkingFrame();
    // Playback shows stored frames, without handles.
    if (zoom == 1.0f || frame.Count() == 0 || Ui.Playing()) return;
    DrawEditHandles(Painter, frame, Doc.SelectedFigure(), Doc.Edit().AlsoSelected, zoom);
  });
  ShowZoom();
}

double TCanvasController::Zoom() const { return Ui.EditImage->Zoom(); }

void TCanvasController::SetZoom(double Zoom) {
  Zoom = std::clamp(Zoom, MinZoom, MaxZoom);
  if (Zoom == Ui.EditImage->Zoom()) return;
  // The point of the animation in the middle of the view stays there.
  QScrollBar* across = Ui.DrawingScrollBox->horizontalScrollBar();
  QScrollBar* down = Ui.DrawingScrollBox->verticalScrollBar();
  const QSize view = Ui.DrawingScrollBox->viewport()->size();
  const QPointF middle = Ui.EditImage->ToPicture(QPointF(across->value() + view.width() / 2.0 - Ui.EditImage->x(),
                                                         down->value() + view.height() / 2.0 - Ui.EditImage->y()));
  Ui.EditImage->SetZoom(Zoom);
  const QSize size = Ui.EditImage->ScreenSize();
  Ui.EditImage->resize(size);
  Ui.EditImage->parentWidget()->resize(size + QSize(4, 4));
  const QPointF shown = Ui.EditImage->ToScreen(middle);
  across->setValue(qRound(shown.x() + Ui.EditImage->x() - view.width() / 2.0));
  down->setValue(qRound(shown.y() + Ui.EditImage->y() - view.height() / 2.0));
  // The drawing holds the handles only at actual size.
  DrawFigures();
  ShowZoom();
}

void TCanvasController::ZoomInClick() {
  const double zoom = Ui.EditImage->Zoom();
  for (double step : ZoomSteps)
    if (step > zoom * 1.001) return SetZoom(step);
}

void TCanvasController::ZoomOutClick() {
  const double zoom = Ui.EditImage->Zoom();
  for (auto step = std::rbegin(ZoomSteps); step != std::rend(ZoomSteps); ++step)
    if (*step < zoom / 1.001) return SetZoom(*step);
}

void TCanvasController::ActualSizeClick() { SetZoom(1.0); }

void TCanvasController::FitToWindowClick() {
  const QSize view = Ui.DrawingScrollBox->maximumViewportSize() - QSize(4, 4);
  const QSize size = Doc.Animation().Size();
  if (size.isEmpty() || view.isEmpty()) return;
  SetZoom(
      std::min(static_cast<double>(view.width()) / size.width(), static_cast<double>(view.height()) / size.height()));
}

void TCanvasController::ShowZoom() {
  Ui.ZoomLabel->setText(QStringLiteral("%1 %").arg(std::lround(Ui.EditImage->Zoom() * 100)));
}
