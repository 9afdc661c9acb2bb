// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: a view of the document (the animation and its editing
// state, model/Document.h) with the handlers of every control. Handlers turn
// clicks and keys into the document's commands; the window follows the
// document's signals to show what changed. Its own state is only what the
// view needs (pictures, the drag under way, playback) and is private; tests
// read it through the Get... functions. The implementation is split by concern:
//   MainWindow.cpp          start-up, new project, layout, wheel, close, Undo and Redo
//   MainView.cpp            following the document: drawing area, strip, lists, controls
//   MainControls.cpp        building the controls (MainControls.h) and the menus, connecting them
//   MainCanvas.cpp          painting the drawing area, selecting and dragging figures
//   MainZoom.cpp            zooming the drawing area
//   MainSmooth.cpp          Smooth Lines: how every drawing of the figures draws their lines
//   MainClipboard.cpp       Cut, Copy, Paste, Duplicate of figures and frames, Paste Into Frames
//   MainFigureCommands.cpp  the figure buttons and the scale edit
//   MainTimeline.cpp        Next Frame, the thumbnail strip, Insert, Delete
//   MainPlayback.cpp        Play, Stop, the timer
//   MainProjectCommands.cpp New, Open, Save, Save Animation, the save question, Load Figure Type
//   MainSettingsCommands.cpp background, dimensions, ReadMe, About
//   MainExportCommands.cpp  the GIF and BMP exports Save Animation hands over to

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "builder/FigureTypeHost.h"
#include "editor/MainControls.h"
#include "editor/OnionSkin.h"
#include "editor/TimelineStrip.h"
#include "export/ExportFrames.h"
#include "files/ProjectFile.h"
#include "model/Document.h"
#include "model/DragLayers.h"
#include "platform/Shell.h"

class TAboutBox;
class TDialogs;
class TFigureBuilderForm;
class TGifOptionsForm;
class TOptionsForm;
class TProgressForm;

// The colour dialog's remembered colour, as the colour chooser shows it first.
struct TColorDialogState {
  TColor Color = ColorBlack;
};

class TMainForm : public QMainWindow, public TFigureTypeHost {
  Q_OBJECT
 public:
  // Dialogs answers the window's questions and shows its messages; Shell
  // opens the ReadMe file (tests give one that records the request).
  explicit TMainForm(TDialogs& Dialogs, TShell& Shell = DesktopShell(), QWidget* Parent = nullptr);
  ~TMainForm() override;

  // The windows this one opens, made with it and living as long as it: the
  // figure builder, the export options and progress windows, the About box
  // and the dimensions window.
  TFigureBuilderForm& FigureBuilder() { return *BuilderWindow; }
  TGifOptionsForm& ExportOptions() { return *ExportOptionsWindow; }
  TProgressForm& Progress() { return *ProgressWindow; }
  TAboutBox& About() { return *AboutWindow; }
  TOptionsForm& Dimensions() { return *DimensionsWindow; }

  // The working pictures of the drawing at Size: those there are when they
  // fit, else new ones. Made before a command changes anything, so that one
  // that cannot be allocated (EPictureMemory) leaves everything as it was.
  struct TDrawingPictures {
    QImage Underlay;
    QImage Area;  // the drawing area's picture
  };
  TDrawingPictures MakeDrawingPictures(QSize Size) const;

  // The document this window shows and edits.
  TDocument& Document() { return Doc; }
  const TDocument& Document() const { return Doc; }
  const TAnimation& Animation() const { return Doc.Animation(); }

  // The arguments the program was started with, without the program itself.
  QStringList CommandLine;
  // Runs at the first activation, before the file CommandLine names opens.
  std::function<void()> BeforeCommandLine;

  // Start-up, project and layout (MainWindow.cpp).
  void FormCreate();
  void FormActivate();
  // A new animation of the current size with one Stickman in the middle,
  // after the save question allows it.
  void NewProject();
  // Offers to save unsaved work; false, with nothing changed, when the user
  // cancelled or answered Yes without a file being written.
  bool DestroyProject();
  void EnableFigureControls(bool Enable);
  void SetFigureControls(int Index);
  void FormResize();
  void FormMouseWheelDown();
  void FormMouseWheelUp();
  // Edit menu; playback stops first.
  void UndoClick();
  void RedoClick();

  // The clipboard (MainClipboard.cpp): the selected figures cut, copied,
  // pasted and duplicated; the clipboard's figures put into stored frames;
  // the thumbnail menu's frames copied, pasted after and duplicated.
  void CutClick();
  void CopyClick();
  void PasteClick();
  void DuplicateClick();
  void PasteIntoFramesClick();
  void FramePasteIntoFramesClick();
  void CopyFrameClick();
  void PasteFrameAfterClick();
  void DuplicateFrameClick();

  // The drawing area (MainCanvas.cpp).
  void DrawFigures();
  // Background, then the ghost frame (when there is one) in silver.
  void DrawGhost(QImage& Canvas, const std::optional<TFigures>& Ghost) const;
  // Mouse positions in animation coordinates, whatever the zoom.
  void EditImageMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
  void EditImageMouseMove(Qt::KeyboardModifiers Shift, double X, double Y);
  void EditImageMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);

  // Zoom of the drawing area (MainZoom.cpp): screen pixels per animation
  // pixel, from MinZoom to MaxZoom; the view's middle stays in place.
  static constexpr double MinZoom = 0.1;
  static constexpr double MaxZoom = 8.0;
  double Zoom() const;
  void SetZoom(double Zoom);
  void ZoomInClick();
  void ZoomOutClick();
  void ActualSizeClick();
  void FitToWindowClick();

  // Figure commands (MainFigureCommands.cpp).
  void AddFigureButtonClick();
  void DeleteFigureButtonClick();
  void CenterButtonClick();
  void CenterFigure(int Index);
  void FlipButtonClick();
  void ColorButtonClick();
  void FrontButtonClick();
  void BackButtonClick();
  void EditTypeButtonClick();
  void ScaleSpinEditChange();
  void SetScaleEditFromScale(float Scale);

  // Frames and the thumbnail strip (MainTimeline.cpp).
  void NextFrameButtonClick();
  // Opens a stored frame for editing; edits not stored are dropped, or
  // stored first when "Store edits when leaving a frame" is on.
  void FrameClick(int Index);
  // Go menu: the stored frame before or after the one under edit (after the
  // last comes the new frame), the first frame, the new frame after the
  // last; each as a thumbnail click, and the strip scrolls to it.
  void PreviousFrameClick();
  void FollowingFrameClick();
  void FirstFrameClick();
  void NewFrameClick();
  // "Store edits when leaving a frame", kept in the user's settings.
  void StoreEditsClick();
  void FramePopup(int Index);
  void InsertFrameClick();
  void DeleteFrameClick();
  // Asks how many in-between frames to make after the thumbnail's frame,
  // and how to spread them.
  void TweenClick();
  void RedrawTimelineImages();
  int ThumbnailHeight() const;
  int ThumbnailWidth() const;

  // Playback (MainPlayback.cpp).
  void PlayButtonClick();
  void StopButtonClick();
  void PlaybackTimerTick();
  void RateScrollBarChange();
  void EnableControlsPlaying(bool Enable);
  // The playback rate is kept per project file in the user's settings (the
  // project file holds none): remembered when it changes or the project is
  // saved under a name, set again when the project is opened.
  void RememberPlaybackRate();
  void RecallPlaybackRate();

  // Menu commands (MainProjectCommands.cpp).
  // The save question; true when the caller may discard the work: after
  // No, or after Yes once the project was saved. Cancel changes nothing.
  bool SaveProjectAsTvl();
  // The files Save Animation writes for a file type (0 project, 1 GIF, 2 BMP
  // sequence, 3 PNG sequence, 4 animated PNG, 5 MP4, 6 WebM) and a base name.
  QStringList FilesWritten(int FilterIndex, const QString& Base) const;
  // Writes BaseName + ".tvl"; a failure throws and leaves the saved state as it was.
  void SaveProject(const QString& BaseName);
  // Reads the project at Path and, once it is known to be sound and the save
  // question allows, makes it the animation.
  void LoadProject(const QString& Path);
  // Makes work recovered after a crash the document: unsaved, so the save
  // question guards it, under the name of the file it came from.
  void RecoverProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path);
  void NewClick();
  void OpenAnimationClick();
  // Writes the project to the .tvl it was opened from or last saved to;
  // without one, Save Animation.
  void SaveClick();
  void SaveAnimationClick();
  void LoadBackgroundClick();
  void ClearBackgroundClick();
  void LoadFigureClick();
  void CreateFigureTypeClick();
  void ExitClick();
  void OptionsClick();
  void ViewReadMeClick();
  void AboutClick();
  // Help, Keyboard Shortcuts: the hotkeys of both windows in a window of their own.
  void KeyboardShortcutsClick();
  // View menu, Smooth Lines (MainSmooth.cpp): the figures' lines and circles
  // antialiased wherever they are drawn and exported; kept in the user's settings.
  void SmoothLinesClick();
  TLineStyle Lines() const;
  // View menu: onion skin on or off, and how many frames it shows.
  void ShowOnionSkinClick();
  void OnionSkinClick();
  void SetOnionSkin(const TOnionSkin& Settings);
  // The frames under the working frame, furthest first, each with its colour.
  using TUnderFrames = std::vector<std::pair<TFigures, TColor>>;
  TUnderFrames UnderFrames() const;
  // The Keyboard Shortcuts window, once it has been opened.
  class TShortcutsForm* GetShortcutsForm() const {
    return ShortcutsForm;
  }
  // The playback rate of a timer interval, in words.
  static QString RateText(int Interval);
  // Background, dimensions, ReadMe and About (MainSettingsCommands.cpp).
  // Gives the animation a new size: the background is cut or extended in
  // white, then the drawing area and the thumbnails follow.
  void ChangeDimensions(int32_t Width, int32_t Height);
  // Save Animation's hand-over to the exports (MainExportCommands.cpp). Base
  // is the chosen path without its extension (RemoveExtention).
  void ExportGif(const QString& Base);
  void ExportBitmaps(const QString& Base);
  void ExportPngs(const QString& Base);
  void ExportAnimatedPng(const QString& Base);
  void ExportVideo(const QString& Path);
  using TSequenceExport = void (*)(const QString&, const TAnimation&, const TExportProgress&, int, TLineStyle);
  void ExportSequence(const QString& Base, TSequenceExport Save);
  // The name the files of the chosen type are made from: the chosen name
  // without its ending; for a video, the file's name with the ending of its
  // type, ".mp4" or ".webm".
  static QString ExportBaseName(int FilterIndex, const QString& Path);

  // TFigureTypeHost: the figure type list for the builder.
  QStringList FigureTypeNames() const override;
  void AddFigureType(const TFigureType& Type, const QString& Name) override;

  // The controls, for tests.
  const TMainControls& Controls() const { return Ui; }

  // What the window shows, for tests.
  const TFigures& GetEditFrame() const { return Doc.WorkingFrame(); }
  int GetSelectedFigure() const { return Doc.SelectedFigure(); }
  int GetEditedFrameIndex() const { return Doc.EditedFrameIndex(); }
  bool GetProjectSaved() const { return Doc.IsSaved(); }
  const QImage& GetUnderlay() const { return Underlay; }
  int16_t GetSelectedHandle() const { return SelectedHandle; }
  int GetPopupFrameIndex() const { return PopupFrameIndex; }
  bool GetFigureControlsEnabled() const { return FigureControlsEnabled; }
  TColor GetDialogColor() const { return ColorDialogState.Color; }

 signals:
  // The window has closed; the program ends.
  void Closed();

 protected:
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

 private:
  class TShortcutsForm* ShortcutsForm = nullptr;
  void CreateControls();
  // The eight controls that act on the selected figure.
  std::array<QWidget*, 8> FigureControls() const;
  void CreateMenu();
  void ConnectHandlers();
  void FollowDocument();
  // Resizes the drawing area to the animation size and gives it Picture.
  void SizeEditImage(QImage&& Picture);
  // Runs a handler through the program's general error report.
  template <class Action>
  void Guard(Action&& Do);
  // False when the window must stay open (the save question was cancelled).
  bool FormClose();
  bool HandleWheel(QWheelEvent* Event);
  // True when none of Paths exists, or the user agrees to replace them.
  bool MayReplace(const QStringList& Paths);
  // Timeline helpers (MainTimeline.cpp).
  QImage MakeThumbnail(const TFigures& Frame, TThumbnailMaking How) const;
  // Gives the strip the thumbnail size of the current proportions.
  void SyncThumbnailSize();
  void PlaceMarker(int Index);
  void HideMarker();
  void ScrollStripToEnd();
  // Scrolls the strip just enough to show thumbnail Index whole.
  void ScrollStripToFrame(int Index);
  // The Go menu and the frame position in the status bar.
  void CreateGoMenu(class QMenuBar* Menus);
  // The View menu's zoom items and the zoom in the status bar.
  void CreateZoomItems(QMenu* View);
  void CreateSmoothLinesItem(QMenu* View);
  void ShowZoom();
  // Opens stored frame Index (-1: the new frame) as a thumbnail click does,
  // saying in the status bar when edits were dropped.
  void GoToFrame(int Index);
  void ShowFramePosition();

  // Following the document (MainView.cpp).
  void OnDocumentReset();
  void DescribeControls();
  // The window's title: the project's file name, "*" while there are unsaved changes.
  void ShowTitle();
  void OnEditChanged();
  void OnFigureChanged(int Index);
  void OnPictureChanged();
  void OnTypesChanged();
  void OnFramesInserted(int At, int Count, int Like);
  void OnFramesRemoved(int At, int Count);
  void OnFrameChanged(int At);
  // Rebuilds Underlay when the background or the ghost changed.
  void RefreshUnderlay(bool Force);
  void ShowMarkerAndControls();
  // Undo or redo one step, with the pictures of the size it leads to made first.
  // Before an undo or a redo: playback and a drag end, pictures of the new size are made.
  void PrepareHistoryStep(QSize SizeAfter);

  TMainControls Ui;
  TDocument Doc;
  TDialogs& Dialogs;
  TShell& Shell;
  // The windows this one opens. The builder is a window of its own; the
  // others are children, deleted with this window.
  std::unique_ptr<TFigureBuilderForm> BuilderWindow;
  TGifOptionsForm* ExportOptionsWindow = nullptr;
  TProgressForm* ProgressWindow = nullptr;
  TAboutBox* AboutWindow = nullptr;
  TOptionsForm* DimensionsWindow = nullptr;
  void CreateWindows();
  TDragLayers DragLayers;  // cached pictures while a handle is dragged
  int WheelRemainder = 0;  // part of a wheel turn not yet acted on

  // The view's own state.
  QImage Underlay;  // background with the ghost of a frame
  void DrawUnderFrames(QImage& Canvas, const TUnderFrames& Frames) const;
  TUnderFrames UnderlayFrames;  // the frames Underlay was drawn with
  TOnionSkin OnionSkin = TOnionSkin::Load();
  bool UnderlayStale = true;                     // drawn over a background that changed since
  std::optional<TDrawingPictures> MadePictures;  // made for a command about to change the size
  int16_t SelectedHandle = NoHandle;             // -2 none, -1 root, 0..254 a segment's end joint
  double LastMouseX = 0;
  double LastMouseY = 0;
  class QRubberBand* Band = nullptr;  // shown while a drag on empty drawing area selects
  QPointF BandStart;
  // The figure whose line or circle lies under P, the one on top first; -1 for none.
  int FigureAt(QPointF P) const;
  int32_t PopupFrameIndex = 0;
  // The frames the thumbnail menu acts on: the Shift+click range the
  // thumbnail belongs to, or the thumbnail alone.
  TTimelineStrip::TRange PopupRange;
  std::vector<TFigures> PopupFrames() const;
  std::vector<TFigure> SelectedFigureCopies() const;
  // Asks up to which frame, from frame First on, to put the clipboard's figures.
  void PasteIntoFrames(int First);
  bool IgnoreScaleChange = false;
  bool ScaleTyped = false;  // the scale edit's own change is being applied
  bool FigureControlsEnabled = true;
  int32_t PlayFrameIndex = 0;
  bool FirstActivation = true;
  QString SaveDialogFileName;     // the name the save dialog offers next
  int SaveDialogFilterIndex = 0;  // the file type it offers next
  TColorDialogState ColorDialogState;
  int TweenCount = 3;  // what the Tween dialog offers next
  TEasing TweenEasing = TEasing::Linear;
};

#include "platform/ErrorReport.h"

template <class Action>
void TMainForm::Guard(Action&& Do) {
  RunGuarded(Dialogs, this, std::forward<Action>(Do));
}
