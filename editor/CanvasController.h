// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area: what it shows (the working frame over the underlay of
// background and onion skin), selecting figures with the mouse and the
// wheel, dragging them by their handles, the band that selects several, the
// zoom, and the View menu's onion skin and Smooth Lines. Each drag is one
// step of the document's history. Split by concern:
//   CanvasController.cpp   painting, the underlay, following the document
//   CanvasMouse.cpp        presses, drags, the band, the wheel
//   CanvasZoom.cpp         Zoom In, Zoom Out, Actual Size, Fit to Window
//   CanvasViewOptions.cpp  the onion skin and Smooth Lines

#include <QImage>
#include <QObject>
#include <QPointF>
#include <optional>
#include <utility>
#include <vector>

#include "editor/OnionSkin.h"
#include "model/DragLayers.h"
#include "model/FigureUnit.h"
#include "platform/GuardedHandlers.h"

class QRubberBand;
class TDocument;
struct TMainControls;

class TCanvasController : public QObject {
  Q_OBJECT
 public:
  // Window is the main window, whose wheel turns select figures.
  TCanvasController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, QWidget& Window);
  ~TCanvasController() override;

  // Paints the drawing area anew: underlay, figures, handles.
  void DrawFigures();
  // Background, then the ghost frame (when there is one) in silver.
  void DrawGhost(QImage& Canvas, const std::optional<TFigures>& Ghost) const;
  // The frames under the working frame, furthest first, each with its colour.
  using TUnderFrames = std::vector<std::pair<TFigures, TColor>>;
  TUnderFrames UnderFrames() const;

  // The working pictures of the drawing at Size: those there are when they
  // fit, else new ones. Made before a command changes anything, so that one
  // that cannot be allocated (EPictureMemory) leaves everything as it was.
  struct TDrawingPictures {
    QImage Underlay;
    QImage Area;  // the drawing area's picture
  };
  TDrawingPictures MakeDrawingPictures(QSize Size) const;
  // Makes the pictures of Size the next change of size will take; Drop
  // forgets them when the change does not happen.
  void StagePictures(QSize Size) { Staged = MakeDrawingPictures(Size); }
  void DropStagedPictures() { Staged.reset(); }

  // Mouse positions in animation coordinates, whatever the zoom.
  void EditImageMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
  void EditImageMouseMove(Qt::KeyboardModifiers Shift, double X, double Y);
  void EditImageMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
  // The wheel selects the previous or the next figure.
  void FormMouseWheelDown();
  void FormMouseWheelUp();
  // Edit menu: Inverse Kinematics on or off (kept in the user's settings),
  // and Pin Joint, which pins the joint pressed last or takes its pin away.
  void InverseKinematicsClick();
  void PinJointClick();

  // Screen pixels per animation pixel, from MinZoom to MaxZoom; the view's
  // middle stays in place.
  static constexpr double MinZoom = 0.1;
  static constexpr double MaxZoom = 8.0;
  double Zoom() const;
  void SetZoom(double Zoom);
  void ZoomInClick();
  void ZoomOutClick();
  void ActualSizeClick();
  void FitToWindowClick();

  // View menu: the onion skin on or off, and how many frames it shows;
  // Smooth Lines. Both kept in the user's settings.
  void ShowOnionSkinClick();
  void OnionSkinClick();
  void SetOnionSkin(const TOnionSkin& Settings);
  void SmoothLinesClick();

  // While the stored frames play, a drag ends and the area takes no
  // input; after, it shows the working frame again.
  void PlaybackChanged(bool Playing);

  // What the drawing area holds, for tests.
  const QImage& GetUnderlay() const { return Underlay; }
  int16_t GetSelectedHandle() const { return SelectedHandle; }

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void Wire();
  void FollowDocument();
  void OnDocumentReset();
  void OnFigureChanged(int Index);
  void OnPictureChanged();
  // Before an undo or a redo: a drag ends, pictures of the new size are made.
  void PrepareHistoryStep(QSize SizeAfter);
  // The staged pictures when they fit Size, else new ones.
  TDrawingPictures TakePictures(QSize Size);
  // Gives the drawing area Picture, sized to the animation at the zoom.
  void SizeEditImage(QImage&& Picture);
  // Rebuilds Underlay when the background or the frames under it changed.
  void RefreshUnderlay(bool Force);
  void DrawUnderFrames(QImage& Canvas, const TUnderFrames& Frames) const;
  // The figure whose line or circle lies under P, the one on top first; -1 for none.
  int FigureAt(QPointF P) const;
  void StartBand(QPointF At);
  // A right press on a joint's handle offers to pin it.
  void OfferPin(int Figure, int16_t Handle);
  // The pose Figure had when the drag began, kept at its first step.
  const TFigure& DragStart(int Figure);
  void SelectInBand(QPointF End);
  void MoveByRoot(double X, double Y);
  bool HandleWheel(class QWheelEvent* Event);
  void SetUpZoom();
  // The View menu's checks as the user left them.
  void RecallViewOptions();
  void ShowZoom();

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  QWidget& Window;
  TDragLayers DragLayers;       // cached pictures while a handle is dragged
  QImage Underlay;              // background with the frames beneath
  TUnderFrames UnderlayFrames;  // the frames Underlay was drawn with
  bool UnderlayStale = true;    // drawn over a background that changed since
  TOnionSkin OnionSkin = TOnionSkin::Load();
  std::optional<TDrawingPictures> Staged;  // made for a command about to change the size
  int16_t SelectedHandle = NoHandle;       // -2 none, -1 root, 0..254 a segment's end joint
  double LastMouseX = 0;
  double LastMouseY = 0;
  QRubberBand* Band = nullptr;  // shown while a drag on empty drawing area selects
  QPointF BandStart;
  int WheelRemainder = 0;  // part of a wheel turn not yet acted on
  // The figures a drag moves as they were when it began.
  std::vector<std::pair<int, TFigure>> DragStarts;
  // The joint pressed last, which Pin Joint pins: a figure and a vertex.
  int PinFigure = -1;
  uint8_t PinVertex = 0;
  std::optional<QPointF> RightPress;  // a right press on a joint's handle, where it was
};
