// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document: the animation being edited, the editing state that is not
// saved, and the history of changes. It is the only writer of both. Every
// change is a command on its undo stack (so every change can be undone and
// redone), and the windows follow its signals. How to add a command:
// docs/architecture.md.

#include <QObject>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "model/Animation.h"
#include "model/Easing.h"

// What the drawing area shows and which frame it edits: not saved in the
// project file, but part of every step of the history, since the working
// frame and the ghost under it depend on the path that led to them.
struct TEditState {
  TFigures WorkingFrame;          // the figures on the drawing area
  int32_t EditedFrameIndex = -1;  // -1: the working frame is the new frame after the last
  int SelectedFigure = 0;         // index in WorkingFrame; 0 when it holds none
  // Figures selected together with SelectedFigure (ascending, without it).
  // SelectedFigure is the one clicked last, whose scale and colour the
  // controls show; the commands on the selected figure act on all of them.
  std::vector<int> AlsoSelected;
  // The frame shown in silver under the working frame; none: the background alone.
  std::optional<TFigures> Ghost;
};

using TSharedFrame = std::shared_ptr<const TFigures>;

// How one figure of the working frame changed, for the history's caption
// and for which changes merge into one step.
enum class TFigureChange { Drag, Center, Flip, Color, Scale, Pin };

class TDocument : public QObject {
  Q_OBJECT
 public:
  explicit TDocument(QObject* Parent = nullptr);
  ~TDocument() override;

  const TAnimation& Animation() const { return Anim; }
  const TEditState& Edit() const { return State; }
  const TFigures& WorkingFrame() const { return State.WorkingFrame; }
  int EditedFrameIndex() const { return State.EditedFrameIndex; }
  int SelectedFigure() const { return State.SelectedFigure; }
  // The selected figure, or null when the working frame is empty.
  const TFigure* Selected() const;
  // Every selected figure, ascending; empty when the working frame is.
  std::vector<int> SelectedFigures() const;

  // The history, to read: its steps change only through the commands
  // below and Undo and Redo.
  const QUndoStack& History() const { return Stack; }
  // Undoes (or redoes) the latest step (the next step). What the step needs
  // is made first (a picture the history moved to a temporary file, the
  // window's pictures through the step preparation): when any of it cannot
  // be made, EPictureMemory or EHistoryPicture is thrown with nothing
  // changed. An open gesture ends first. False when there is no such step.
  bool Undo();
  bool Redo();
  // Called before an undo or a redo changes anything, with the animation's
  // size after it, so that a window can make its pictures of that size
  // (and end what it has under way); it throws to refuse the step.
  using TStepPreparation = std::function<void(QSize SizeAfter)>;
  void SetStepPreparation(TStepPreparation Preparation) { PrepareWindow = std::move(Preparation); }
  // The history's pictures beyond the budget wait in temporary files; the
  // bytes of those in memory, not counting the background shown.
  qint64 HistoryPictureBytes() const;
  void SetHistoryPictureBudget(qint64 Bytes);

  // True when the file last written or read holds the animation as it is.
  // Edits of the working frame alone do not count: they are not saved.
  bool IsSaved() const { return CurrentRevision() == SavedRevision; }
  void MarkSaved();
  // The project file the document was opened from, saved to or recovered
  // for; empty for a new project. Reset leaves it to the caller.
  const QString& FilePath() const { return ProjectFile; }
  void SetFilePath(const QString& Path) { ProjectFile = Path; }

  // Makes Animation and Edit the document, with no history, saved (New,
  // Open) or, when Saved is false, unsaved (work recovered after a crash).
  void Reset(TAnimation&& Animation, TEditState&& Edit, bool Saved = true);
  // The working frame of a new project: one Stickman at the centre.
  static TEditState StartState(const TAnimation& Animation);
  // The working frame after a project was opened: a copy of the last frame,
  // over a ghost of it.
  static TEditState OpenedState(const TAnimation& Animation);

  // Selects figure Index of the working frame (the mouse wheel, a click on
  // a handle). Selecting alone is not a step of the history; a new
  // selection ends the open gesture.
  void Select(int Index);

  // Steps of one gesture (one drag of the mouse, one edit of the scale
  // field) of the same kind and figure merge into one step of the history;
  // a gesture that brings the figure back where it began leaves none. The
  // window ends the gesture at the mouse's release and when the scale
  // field's editing ends; a new selection, an undo or a redo and any other
  // command end it too.
  void EndGesture() { ++Gesture; }
  // Selects the figures Indices, Last among them the one the controls show;
  // Ctrl+click adds a figure or takes it out. Not steps of the history.
  void SelectFigures(const std::vector<int>& Indices, int Last);
  void ToggleSelected(int Index);

  // Commands on the working frame. Each is one step of the history; those
  // on "the selected figure" act on every selected figure.
  void AddFigure(int TypeEntry);
  void DeleteFigure(const QString& Caption = QStringLiteral("Delete Figure"));
  void CenterFigure(int Index);
  // Moves the selected figures together so that the middle of their roots
  // lies at the centre of the animation (a single figure: its root).
  void CenterSelected();
  void FlipFigure();
  void SetFigureColor(TColor Color);
  // The scale changes of one gesture are one step.
  void SetFigureScale(float Scale);
  void FigureToFront();
  void FigureToBack();
  // Pins joint Vertex of figure Index of the working frame, or takes its
  // pin away (not the root, which a drag of the root moves).
  void TogglePin(int Index, uint8_t Vertex);
  // A move of a drag of figure Index, or of several figures at once: the
  // moves of one gesture are one step.
  void DragFigure(int Index, const TFigure& Moved);
  void DragFigures(const std::vector<std::pair<int, TFigure>>& Moved);
  // Figures put into the working frame and selected (Paste, Duplicate),
  // their types Types appended to the table first. Where an identical figure
  // lies already, all of them go 10 pixels right and down (again, until none
  // does). False, with nothing changed, when the frame cannot hold them.
  bool PasteFigures(const TNamedTypes& Types, std::vector<TFigure> Figures, const QString& Caption);
  // Copies of the selected figures, pasted.
  bool DuplicateFigures();

  // Commands on the frames.
  void NextFrame();
  void ShowFrame(int Index) { OpenFrame(Index, false); }
  // Opens stored frame Index for editing over a ghost of the frame before
  // it or, with -1, the new frame after the last: a copy of the last frame
  // over its ghost, as Next Frame leaves it. One step; nothing when that
  // frame is not there or -1 is asked while the new frame is open. With
  // StoreEdits, edits not stored (HasUnstoredEdits) are stored first, into
  // the frame under edit or as a new last frame, in the same step.
  void OpenFrame(int Index, bool StoreEdits);
  // The working frame holds edits not stored: it differs from the stored
  // frame under edit or, for the new frame, from the last stored frame.
  bool HasUnstoredEdits() const;
  void InsertFrame(int Index);
  void DeleteFrame(int Index);
  // Count frames from First removed, as one step, with Delete's rules for
  // the frame under edit.
  void DeleteFrames(int First, int Count, const QString& Caption = QStringLiteral("Delete Frames"));
  // Frames (their types Types appended first) put in before frame At (At
  // may be the number of frames), as one step; what is under edit stays.
  void InsertFrames(int At, std::vector<TFigures> Frames, const TNamedTypes& Types, const QString& Caption);
  // Figures (their types Types appended first) added to Count stored frames
  // from First, same pose and place, as one step; a frame that cannot hold
  // them all takes none. The working frame gets them too when it is a
  // stored frame of the range, or the new frame after a range that ends at
  // the last stored frame. The number of frames that took them.
  int PasteIntoFrames(const TNamedTypes& Types, const std::vector<TFigure>& Figures, int First, int Count);
  // Count in-between frames (1 to 100) after frame Index, leading to the
  // frame after it and spread along the way by Easing, as one step; the
  // first of them opens for editing.
  void TweenFrames(int Index, int Count, TEasing Easing = TEasing::Linear);

  // The stored frames' holds added up: how many ticks of playback they last.
  int64_t TotalTicks() const { return Ticks; }
  // Count stored frames from First held for Ticks ticks of playback (kept
  // within 1 to TFigures::MaxHold), as one step; the working frame follows
  // when it edits one of them. Nothing when they are held so already.
  void SetHolds(int First, int Count, int Ticks);
  // The hold of the frame under edit lengthened or shortened by Delta
  // ticks: a stored frame's at once; the new frame's goes with it when it
  // is stored.
  void ChangeEditedHold(int Delta);

  // Commands on the picture: Picture becomes the background and sets the
  // animation's size (Kind BackgroundFromJpeg: it came from the JPEG file Jpeg).
  void LoadBackground(const QImage& Picture, uint8_t Kind, const QByteArray& Jpeg);
  void ClearBackground();
  // EPictureMemory, with nothing changed, when the pictures cannot be made.
  void ChangeDimensions(int32_t Width, int32_t Height);

  // The time between frames the project plays at, 1 ms or more; the
  // changes of one gesture are one step. Nothing when it is already so.
  void SetPlaybackInterval(int32_t Milliseconds);

  // Appends Type to the type table under Name and adds one figure of it,
  // as one step (Load Figure Type, Add To Animation).
  void AddFigureType(TFigureTypeRef Type, const QString& Name, const QString& Caption);

  // The figure of working frame Index moved so that its root is at the
  // centre of the animation.
  static void Center(TFigure& Figure, const TAnimation& Animation);

 signals:
  // Frames At.. At + Count - 1 are new; Like is a frame (counted before the
  // insertion) whose thumbnail they copy, or -1 for new ones.
  void FramesInserted(int At, int Count, int Like);
  void FramesRemoved(int At, int Count);
  void FrameChanged(int At);
  // The animation's size or background changed.
  void PictureChanged();
  void TypesChanged();
  // The playback interval the animation names changed.
  void RateChanged();
  // The working frame, the frame under edit, the ghost or the selection changed.
  void EditChanged();
  // Only figure Index of the working frame changed (a drag step, a scale).
  void FigureChanged(int Index);
  // Everything changed (New, Open).
  void DocumentReset();
  // Sent before a step changes the stored frames or the frame under edit,
  // before every undo and redo and before a reset: whatever shows the
  // stored frames as they are (playback) ends here.
  void FramesChanging();
  void SavedChanged(bool Saved);

 private:
  // The commands reach the document through TDocumentCommand's protected part.
  friend class TDocumentCommand;

  uint64_t CurrentRevision() const;
  uint64_t NewRevision() { return ++LastRevision; }
  bool Step(bool Back);
  void Push(class TDocumentCommand* Command);
  void SetEdit(TEditState&& Edit);
  void EmitSavedIfChanged();
  void PushEdit(const QString& Caption, TEditState&& After);
  void PushFigure(TFigureChange Change, int Index, const TFigure& After);
  void PushFigures(TFigureChange Change, const std::vector<std::pair<int, TFigure>>& After);
  // The selected figures, each changed by Change, as one step.
  void ChangeSelected(TFigureChange Kind, const std::function<void(TFigure&)>& Change);

  std::unique_ptr<class TFrameShare> Shared;       // frames the history keeps
  std::unique_ptr<class TPictureKeeper> Pictures;  // pictures the history keeps
  TAnimation Anim;
  int64_t Ticks = 0;  // the stored frames' holds added up, kept as they change
  TEditState State;
  QUndoStack Stack;
  uint64_t LastRevision = 0;
  uint64_t BaseRevision = 0;  // the animation as Reset left it
  uint64_t SavedRevision = 0;
  QString ProjectFile;
  bool LastSaved = true;
  uint64_t Gesture = 1;  // the gesture open now; steps of earlier ones never merge
  TStepPreparation PrepareWindow;
};
