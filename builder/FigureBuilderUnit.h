// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Stick Figure Builder: a modeless window in which the user designs a
// figure type with the mouse. It edits a working type of its own and shows
// it through one figure, WorkFigure, at scale 1; Add To Animation gives the
// animation a copy.
//
// The implementation is split by concern: FigureBuilderUnit.cpp (window,
// layout, start and reset), FigureBuilderDrawing.cpp (the drawing area),
// FigureBuilderMouse.cpp (mouse editing and adding segments) and
// FigureBuilderCommands.cpp (segment commands, undo) and
// FigureBuilderFile.cpp (the File menu: figure type files, Add To Animation).

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "builder/BuilderControls.h"
#include "model/FigureTypeUnit.h"
#include "model/FigureUnit.h"

class QPainter;
class QWidget;
class TDialogs;
class TFigureTypeHost;
class TNameForm;

class TFigureBuilderForm : public QMainWindow {
  Q_OBJECT
 public:
  // Outer size of the window when it is created.
  static constexpr int DesignWidth = 389;
  static constexpr int DesignHeight = 391;

  // The figure type table must exist (entry 0 is the builder's working type).
  // Host may be null where no main window is present.
  TFigureBuilderForm(TDialogs& Dialogs, TFigureTypeHost* Host, QWidget* Parent = nullptr);
  ~TFigureBuilderForm() override;

  // The name prompt Add To Animation shows for a type without a file name.
  TNameForm& NameWindow() { return *NameForm; }

  // The controls, for tests.
  const TBuilderControls& Controls() const { return Ui; }

  // Loads a copy of Type, puts its root at the centre and shows the window.
  void EditFigureType(const TFigureType& Type);
  // Shows the window, or brings it to the front when it is already open.
  void ShowInFront();
  void ExitClick();

  // Mouse editing (FigureBuilderMouse.cpp).
  void FigureImageMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void FigureImageMouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
  void FigureImageMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void LineButtonClick();
  void CircleButtonClick();

  // Segment commands and undo (FigureBuilderCommands.cpp).
  void ChangeKindButtonClick();
  void ChangeStaticButtonClick();
  void ThicknessUpDownClick();
  void DuplicateButtonClick();
  void DeleteButtonClick();
  void EditModeClick();
  void UndoClick();

  // File commands (FigureBuilderFile.cpp).
  void NewClick();
  void OpenClick();
  void SaveClick();
  void SaveAsClick();
  void AddToAnimationClick();
  // Reads a .stk file into the builder; a refused file changes nothing.
  void OpenFigure(const QString& Path);
  // The working type as its .stk file would hold it, in the pose shown.
  QByteArray WorkingTypeFile() const;
  // Makes a type recovered after a crash the working type, under the name
  // of the file it came from, and shows the builder.
  void RecoverType(const TFigureType& Type, const QString& FileName);

  // State, read-only, for the main window and the tests.
  const TFigure& GetWorkFigure() const { return WorkFigure; }
  const TFigureType& WorkType() const { return *Working; }
  uint8_t GetSelectedSegment() const { return SelectedSegment; }
  const std::vector<bool>& GetStaticFlags() const { return StaticFlags; }
  const QString& GetFigureFileName() const { return FigureFileName; }
  bool GetEditMode() const { return EditMode; }
  int16_t GetGrabbedHandle() const { return GrabbedHandle; }
  bool IsChoosingStartVertex() const { return AddStep == TAddStep::ChoosingStart; }
  bool IsPlacingSegment() const { return AddStep == TAddStep::Placing; }
  bool IsDuplicating() const { return PendingDuplicate.has_value(); }
  uint8_t GetStartVertex() const { return StartVertex; }
  const TFigureType& GetUndoFigureType() const { return UndoFigureType; }

 signals:
  // What WorkingTypeFile() returns, or GetFigureFileName(), has changed:
  // sent once by the command, press or drag step that changed either (an
  // edit, a drag of a segment's handle, Undo, New, Open, loading or
  // recovering a type, Save As under a new name), at its end, before it
  // returns, and by nothing else (a selection, a hover, moving the root, a
  // resize, a redraw, a save under the same name, a step that gives back
  // what was there). So each sending follows a change since the one before.
  void TypeChanged();

 protected:
  void resizeEvent(QResizeEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

 private:
  // The controls at their design places (FigureBuilderUnit.cpp), each
  // wired to its handler through the general error report.
  void CreateControls();
  void CreateToolColumn(QWidget* Client);
  void CreateHotkeyButtons();
  void CreateDrawingArea(QWidget* Client);
  void CreateStatusBar(QWidget* Client);
  void CreateMenus();
  void NameControls();
  void ConnectHandlers();

  // A press in each of the modes (FigureBuilderMouse.cpp).
  void PlaceSegment(TRealPoint End);
  void AttachDuplicate(int16_t Handle);
  void ChooseStart(int16_t Handle);
  void SelectAndGrab(int16_t Handle, QPoint At);
  // A move in each of them: the add's rubber band, the duplicate hanging
  // from the mouse, and the drag of the held handle.
  void DrawRubberBand(TRealPoint Mouse);
  void DrawHangingDuplicate(TRealPoint Mouse);
  void DragGrabbedHandle(QPoint Mouse);
  // Edit Mode's drag: the end vertex of Segment moves to To alone.
  void MoveVertexOf(uint8_t Segment, TRealPoint To);
  // The vertex a handle sits on: the root's, or the segment's end.
  uint8_t VertexOfHandle(int16_t Handle) const;

  // What TypeChanged tells of: the working type as its file holds it, and
  // the file's name.
  struct TTypeFileState {
    QByteArray File;
    QString FileName;
    bool operator==(const TTypeFileState&) const = default;
  };
  TTypeFileState TypeFileState() const;
  // Sends TypeChanged when the type's file or name is no longer Before: for
  // the commands that replace the whole type, where a comparison is simpler
  // than telling what they changed.
  void ReportChangeSince(const TTypeFileState& Before);

  // Start and reset (FigureBuilderUnit.cpp).
  void FormCreate();
  // Tooltips and the menus' keys.
  void DescribeControls();
  // The start figure: one line up from the root at the centre, no undo.
  void Initialize();
  void FormResize();
  // Makes a copy of Source the working type in its default pose, with no
  // file name and no undo; an empty Source gives the start figure.
  void LoadType(const TFigureType& Source);

  // Drawing area and status (FigureBuilderDrawing.cpp, FigureBuilderUnit.cpp).
  void EraseFigure();
  void DrawFigure();
  // A free line or circle from From to To with the painter's current pen.
  void DrawGeneralSegment(QPainter& Canvas, TRealPoint From, TRealPoint To, uint8_t Kind);
  void DisplaySegmentData();
  // Moves the mouse pointer to a point of the window's client area.
  void SetMousePos(QPoint Point);
  void EnableSelectedSegmentButtons(bool Enabled);

  // Waits for the start handle of a new segment of Kind.
  void StartAddingSegment(uint8_t Kind);
  // Takes the undo snapshot of the state before a step.
  void AssignUndo();
  // Writes the working type, in the pose shown, to a .stk file.
  void SaveFigureTypeAs(const QString& Path);

  TFigureType& Type() { return *Working; }
  void SetUndoCaption(const QString& Caption);
  void SetCanUndo(bool Can);
  // Ends every pending add, duplicate and drag, with the cursor and buttons
  // they changed.
  void EndPendingModes();
  // Cursor and segment buttons as the pending add or duplicate wants them.
  void ShowModeCues();
  // The pending mode's prompt, or the selected segment's data.
  void ShowStatus();
  // Thickness a new segment from StartVertex takes.
  float StartThickness() const;
  bool AtSegmentLimit() const;
  void ShowSegmentLimit();
  void GiveUpAtSegmentLimit();
  QRect PictureRect() const;
  // The records take the directions shown and the static flags (for a file
  // or the animation); ClearStaticBytes takes the flags out again.
  void StoreWorkPoseInRecords();
  // Gives Type's records the directions shown and the static flags.
  void PoseRecords(TFigureType& Type) const;
  // Shows the working type just loaded in its default pose, root at the
  // centre, segment thickness and static flags taken from its records.
  void ShowLoadedType();
  void ClearStaticBytes();

  TBuilderControls Ui;
  TDialogs& Dialogs;
  TFigureTypeHost* Host;
  TNameForm* NameForm;  // a child of this window
  bool Created = false;
  bool ShownBefore = false;

  // The working type, which the builder edits in place and WorkFigure shows.
  std::shared_ptr<TFigureType> Working = std::make_shared<TFigureType>();
  TFigure WorkFigure;
  uint8_t SelectedSegment = 0;
  std::vector<bool> StaticFlags;
  QString FigureFileName;
  // Edit Mode, an option beside the pending modes: a drag changes lengths
  // instead of turning the branch.
  bool EditMode = false;
  // The drag of a held handle: the root moves the figure from LastMousePos;
  // the snapshot for its undo is taken at its first move.
  int16_t GrabbedHandle = NoHandle;
  QPoint LastMousePos;
  bool MoveUndoPending = false;
  // An add takes two presses: first the handle it starts from, then the
  // point where it ends.
  enum class TAddStep { None, ChoosingStart, Placing };
  TAddStep AddStep = TAddStep::None;
  uint8_t StartVertex = 0;
  uint8_t NewSegmentKind = SegmentLine;
  // Everything a duplicate takes from its original, captured when Duplicate
  // is pressed: an add completed meanwhile changes the selection, not the copy.
  struct TDuplicateSource {
    uint8_t Kind = SegmentLine;
    float Length = 0.0f;
    float Thickness = 0.0f;
    double Direction = 0.0;
    bool Static = false;
    TRealPoint Offset;  // from its parent vertex to its child vertex
  };
  // The duplicate waiting for the handle it is attached at. It may wait
  // while an add does: a press places the add first, and only a press on a
  // handle attaches the duplicate.
  std::optional<TDuplicateSource> PendingDuplicate;
  // The one-level undo: whether there is a step to take back, and the state
  // before it. The Undo menu entry is enabled as CanUndo says.
  bool CanUndo = false;
  TFigureType UndoFigureType;
  TFigure UndoFigure;
  uint8_t UndoSelectedSegment = 0;
  std::vector<bool> UndoStaticFlags;
  // The file name before an Open, which Undo Open gives back; none otherwise.
  std::optional<QString> UndoFigureFileName;
};
