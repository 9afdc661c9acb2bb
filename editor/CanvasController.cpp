// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the drawing area: the working frame over the underlay (the
// background with the ghost and the onion skin's frames), and following the
// document, whose commands, undos and redos change what it shows.

#include "editor/CanvasController.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>
#include <algorithm>

#include "editor/MainControls.h"
#include "model/Common.h"
#include "model/Document.h"
#include "model/Pictures.h"
#include "platform/PictureBox.h"

TCanvasController::TCanvasController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, QWidget& Window)
    : QObject(&Window), Doc(Doc), Ui(Ui), Wiring(Wiring), Window(Window) {
  RecallViewOptions();
  SetUpZoom();
  Wire();
  FollowDocument();
  qApp->installEventFilter(this);
}

TCanvasController::~TCanvasController() {
  qApp->removeEventFilter(this);
  // The drawing area and the document may outlive the controller.
  Ui.EditImage->SetOverlay({});
  Doc.SetStepPreparation({});
}

void TCanvasController::Wire() {
  Wiring.Connect(Ui.EditImage, &TPictureBox::MouseDown, this, &TCanvasController::EditImageMouseDown);
  Wiring.Connect(Ui.EditImage, &TPictureBox::MouseMove, this, &TCanvasController::EditImageMouseMove);
  Wiring.Connect(Ui.EditImage, &TPictureBox::MouseUp, this, &TCanvasController::EditImageMouseUp);
  Wiring.Connect(Ui.ZoomInAction, this, &TCanvasController::ZoomInClick);
  Wiring.Connect(Ui.ZoomOutAction, this, &TCanvasController::ZoomOutClick);
  Wiring.Connect(Ui.ActualSizeAction, this, &TCanvasController::ActualSizeClick);
  Wiring.Connect(Ui.FitToWindowAction, this, &TCanvasController::FitToWindowClick);
  Wiring.Connect(Ui.ShowOnionSkinAction, this, &TCanvasController::ShowOnionSkinClick);
  Wiring.Connect(Ui.OnionSkinAction, this, &TCanvasController::OnionSkinClick);
  Wiring.Connect(Ui.SmoothLinesAction, this, &TCanvasController::SmoothLinesClick);
  Wiring.Connect(Ui.InverseKinematicsAction, this, &TCanvasController::InverseKinematicsClick);
  Wiring.Connect(Ui.PinJointAction, this, &TCanvasController::PinJointClick);
}

void TCanvasController::FollowDocument() {
  connect(&Doc, &TDocument::DocumentReset, this, &TCanvasController::OnDocumentReset);
  connect(&Doc, &TDocument::EditChanged, this, [this] {
    RefreshUnderlay(false);
    DrawFigures();
  });
  connect(&Doc, &TDocument::FigureChanged, this, &TCanvasController::OnFigureChanged);
  connect(&Doc, &TDocument::PictureChanged, this, &TCanvasController::OnPictureChanged);
  Doc.SetStepPreparation([this](QSize SizeAfter) { PrepareHistoryStep(SizeAfter); });
}

void TCanvasController::DrawFigures() {
  const TFigures& frame = Doc.WorkingFrame();
  // Away from actual size the drawing area draws the handles itself.
  const bool handles = Ui.EditImage->Zoom() == 1.0;
  PaintEditScene(Ui.EditImage->Picture(), Underlay, frame, frame.Count() > 0 ? Doc.SelectedFigure() : -1,
                 Doc.Edit().AlsoSelected, handles, Ui.Lines());
  // Anything may have changed: the next drag step starts from fresh layers.
  DragLayers.SetHandles(handles);
  DragLayers.SetLines(Ui.Lines());
  DragLayers.Invalidate();
  Ui.EditImage->Changed();
}

void TCanvasController::DrawGhost(QImage& Canvas, const std::optional<TFigures>& Ghost) const {
  TUnderFrames frames;
  if (Ghost) frames.emplace_back(*Ghost, GhostColor);
  DrawUnderFrames(Canvas, frames);
}

TCanvasController::TUnderFrames TCanvasController::UnderFrames() const {
  TUnderFrames frames;
  if (!OnionSkin.Shown) return frames;
  const std::vector<TFigures>& stored = Doc.Animation().Frames;
  const int count = static_cast<int>(stored.size());
  const int edited = Doc.EditedFrameIndex();
  // Frames count from the frame under edit, or from the new frame after the last.
  const int here = edited >= 0 ? edited : count;
  const int before = OnionSkin.Before, after = edited >= 0 ? OnionSkin.After : 0;
  for (int d = std::max(before, after); d >= 1; --d) {
    if (d <= after && here + d < count)
      frames.emplace_back(stored[static_cast<std::size_t>(here) + d], TOnionSkin::Color(false, d));
    if (d > before) continue;
    // The nearest frame before is the ghost the path to the working frame left.
    if (d == 1) {
      if (Doc.Edit().Ghost) frames.emplace_back(*Doc.Edit().Ghost, GhostColor);
    } else if (here - d >= 0) {
      frames.emplace_back(stored[static_cast<std::size_t>(here - d)], TOnionSkin::Color(true, d));
    }
  }
  return frames;
}

void TCanvasController::DrawUnderFrames(QImage& Canvas, const TUnderFrames& Frames) const {
  const QImage& background = Doc.Animation().Background;
  // Where the background does not cover the picture, it is white beneath.
  if (background.width() < Canvas.width() || background.height() < Canvas.height() || background.hasAlphaChannel())
    Canvas.fill(Qt::white);
  QPainter canvas(&Canvas);
  PrepareCanvas(canvas);
  canvas.drawImage(QPoint(0, 0), background);
  for (const auto& [frame, color] : Frames)
    for (const TFigure& figure : frame.Items) {
      TFigure ghost = figure;
      ghost.Color = color;
      ghost.Draw(canvas, 1.0f, Ui.Lines());
    }
}

void TCanvasController::RefreshUnderlay(bool Force) {
  TUnderFrames frames = UnderFrames();
  if (!Force && !UnderlayStale && UnderlayFrames == frames) return;
  DrawUnderFrames(Underlay, frames);
  UnderlayFrames = std::move(frames);
  UnderlayStale = false;
  DragLayers.Invalidate();
}

namespace {
// A picture of Size to take Current's place: Current itself when it already
// fits, so nothing new is needed, else a new one.
QImage PictureFor(const QImage& Current, QSize Size) {
  if (Current.size() == Size && Current.format() == QImage::Format_RGB32) return Current;
  return NewPicture(Size);
}
}  // namespace

TCanvasController::TDrawingPictures TCanvasController::MakeDrawingPictures(QSize Size) const {
  return {PictureFor(Underlay, Size), PictureFor(Ui.EditImage->Picture(), Size)};
}

TCanvasController::TDrawingPictures TCanvasController::TakePictures(QSize Size) {
  std::optional<TDrawingPictures> staged;
  staged.swap(Staged);
  if (staged && staged->Underlay.size() == Size && staged->Area.size() == Size) return std::move(*staged);
  return MakeDrawingPictures(Size);
}

void TCanvasController::SizeEditImage(QImage&& Picture) {
  Ui.EditImage->Picture() = std::move(Picture);
  const QSize size = Ui.EditImage->ScreenSize();
  Ui.EditImage->resize(size);
  Ui.EditImage->parentWidget()->resize(size + QSize(4, 4));
}

void TCanvasController::OnDocumentReset() {
  TDrawingPictures pictures = TakePictures(Doc.Animation().Size());
  Underlay = std::move(pictures.Underlay);
  SizeEditImage(std::move(pictures.Area));
  RefreshUnderlay(true);
  SelectedHandle = NoHandle;
  DragStarts.clear();
  PinFigure = -1;
  DrawFigures();
}

void TCanvasController::OnFigureChanged(int Index) {
  // A drag step redraws only what the dragged figure covered. The cached
  // layers hold one selected figure's handles; with several selected the
  // whole drawing is repainted.
  if (SelectedHandle != NoHandle && Index == Doc.SelectedFigure() && Doc.Edit().AlsoSelected.empty()) {
    Ui.EditImage->Changed(
        DragLayers.Repaint(Ui.EditImage->Picture(), Underlay, Doc.WorkingFrame(), Doc.SelectedFigure()));
    return;
  }
  DrawFigures();
}

void TCanvasController::OnPictureChanged() {
  const QSize size = Doc.Animation().Size();
  if (Ui.EditImage->Picture().size() != size || Underlay.size() != size) {
    TDrawingPictures pictures = TakePictures(size);
    Underlay = std::move(pictures.Underlay);
    SizeEditImage(std::move(pictures.Area));
  }
  Staged.reset();
  // The editing state follows at once; Underlay is drawn again then.
  UnderlayFrames.clear();
  Underlay.fill(Qt::white);
  UnderlayStale = true;
}

void TCanvasController::PrepareHistoryStep(QSize SizeAfter) {
  // A drag in progress ends here: the step it would merge into is going.
  SelectedHandle = NoHandle;
  // The pictures of the size the step leads to are made first.
  if (SizeAfter != Doc.Animation().Size()) StagePictures(SizeAfter);
}

void TCanvasController::PlaybackChanged(bool Playing) {
  // A disabled drawing area never hears the release of a drag in progress,
  // so the drag ends here rather than carrying on after Stop.
  if (Playing) {
    SelectedHandle = NoHandle;
    Doc.EndGesture();
  }
  Ui.EditImage->setEnabled(!Playing);
  if (!Playing) DrawFigures();
}
