// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The steps of the document's history. Only Document.cpp and
// DocumentCommands.cpp include this file: the windows see the document's
// methods and signals, never its commands.
//
// Each command keeps the states before and after it (never the arithmetic
// to get from one to the other); redo() and undo() apply a state and end by
// emitting the signals of what they changed. They reach the document only
// through the protected part of TDocumentCommand.

#include <QUndoCommand>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "model/Document.h"
#include "model/HistoryPictures.h"

// Which steps may merge into the step before them. A step merges only into
// a step of the same id, of the same figures, made in the same gesture (one
// drag of the mouse, one edit of the scale field): the gesture ends at the
// release of the mouse, when the scale field's editing ends, when the
// selection changes, at an undo or a redo and at any step of another kind.
enum class TMergeId : int { None = -1, Drag = 1, Scale = 2, Rate = 3 };
// The merge id of a change of figures: drags and scale changes merge.
TMergeId MergeIdOf(TFigureChange Change);

// Frames the history keeps are shared: a Next Frame keeps the working frame
// as the stored frame, the working frame after and the ghost after, and the
// ghost before it is the frame the previous Next Frame stored. Equal frames
// among those kept lately are held once.
class TFrameShare {
 public:
  TSharedFrame Share(const TFigures& Frame);

 private:
  std::array<std::weak_ptr<const TFigures>, 4> Recent;
  std::size_t Next = 0;
};

// An editing state as the history keeps it, its frames shared.
struct TStoredEdit {
  TSharedFrame Working;
  int32_t EditedFrameIndex = -1;
  int SelectedFigure = 0;
  std::vector<int> AlsoSelected;
  TSharedFrame Ghost;  // null: none

  TStoredEdit(TFrameShare& Share, const TEditState& Edit);
  TEditState State() const;
};

// The picture part of an animation: what a background or size change
// changes. The background is kept once for the history, shared with the
// animation while it shows it.
struct TPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::shared_ptr<TKeptPicture> Background;
  bool HasBackground = false;
  uint8_t BackgroundKind = 0;
  QByteArray BackgroundJpeg;
  QSize JpegSize;
  QSize JpegShown;

  static TPicture Of(const TAnimation& A, TPictureKeeper& Keeper);
  // The background is read back first, so that nothing changes when it cannot be.
  void SetInto(TAnimation& A) const;
};

// A step of the document's history. Revision is the revision the document
// takes while this step is the latest one that changes what a save writes;
// 0 for steps that change the working frame alone.
class TDocumentCommand : public QUndoCommand {
 public:
  TDocumentCommand(TDocument& Doc, const QString& Caption, bool Content, TMergeId Merge = TMergeId::None);

  uint64_t ContentRevision() const { return Revision; }
  bool Mergeable() const { return Merge != TMergeId::None; }
  // The animation's size once this step is undone (or done), when it changes it.
  virtual std::optional<QSize> SizeAfter(bool Undone) const { return std::nullopt; }
  // Makes ready what undoing (or doing) this step needs and may fail to
  // make, before the step changes anything.
  virtual void Prepare(bool Undone) const {}

  int id() const final { return static_cast<int>(Merge); }
  // Takes in the step pushed after this one while their gesture is open; a
  // step that then changes nothing leaves the history.
  bool mergeWith(const QUndoCommand* Next) final;

 protected:
  // Whether Next (of the same id and gesture) can be taken in, and takes it in.
  virtual bool Absorb(const TDocumentCommand& Next) { return false; }
  virtual bool ChangesNothing() const { return false; }

  // The document's parts a step changes, and its signals.
  TDocument& Document() { return Doc; }
  TAnimation& Animation() { return Doc.Anim; }
  int64_t& Ticks() { return Doc.Ticks; }  // kept with the frames' holds
  TEditState& Edit() { return Doc.State; }
  TFrameShare& Frames() { return *Doc.Shared; }
  void SetEdit(TEditState&& Edit) { Doc.SetEdit(std::move(Edit)); }

 private:
  TDocument& Doc;
  uint64_t Revision;
  TMergeId Merge;
  uint64_t Gesture;  // the gesture that was open when the step was made
};

// Figures of the working frame changed in place: a drag, a scale, a colour...
class TFigureCommand : public TDocumentCommand {
 public:
  struct TChange {
    int Index;
    TFigure Before, After;
  };
  TFigureCommand(TDocument& Doc, TFigureChange Kind, std::vector<TChange> Changes, int Selection,
                 std::vector<int> AlsoSelected);

  void redo() override { Apply(false); }
  void undo() override { Apply(true); }

 protected:
  bool Absorb(const TDocumentCommand& Next) override;
  bool ChangesNothing() const override;

 private:
  // The figures as they were (or are after the step); the figure selected
  // when the step was taken is selected again.
  void Apply(bool Undone);

  std::vector<TChange> Changes;
  int Selection;
  std::vector<int> AlsoSelected;
};

// The editing state changed as a whole: figures added, deleted or reordered,
// a stored frame shown for editing.
class TEditCommand : public TDocumentCommand {
 public:
  TEditCommand(TDocument& Doc, const QString& Caption, const TEditState& Before, const TEditState& After);
  void redo() override { SetEdit(After.State()); }
  void undo() override { SetEdit(Before.State()); }

 private:
  TStoredEdit Before, After;
};

// Figure types appended to the table and frames inserted, removed or
// replaced, with the editing state around them.
class TFramesCommand : public TDocumentCommand {
 public:
  struct TOp {
    enum TKind { Insert, Remove, Replace } Kind;
    int At;
    TSharedFrame Before;  // Remove, Replace
    TSharedFrame After;   // Insert, Replace
    int Like = -1;        // Insert: the frame whose thumbnail the new one copies
  };
  TFramesCommand(TDocument& Doc, const QString& Caption, std::vector<TOp> Ops, const TEditState& Before,
                 const TEditState& After, TNamedTypes Types = {});

  void redo() override;
  void undo() override;

 private:
  void Apply(const TOp& Op, bool Forward);

  TNamedTypes Types;
  std::vector<TOp> Ops;
  TStoredEdit Before, After;
};

// The playback rate the project plays at changed; the changes of one
// gesture (one drag of the rate bar) are one step.
class TRateCommand : public TDocumentCommand {
 public:
  TRateCommand(TDocument& Doc, int32_t Before, int32_t After);
  void redo() override { Apply(After); }
  void undo() override { Apply(Before); }

 protected:
  bool Absorb(const TDocumentCommand& Next) override;
  bool ChangesNothing() const override { return Before == After; }

 private:
  void Apply(int32_t Interval);

  int32_t Before, After;
};

// The background or the size changed.
class TPictureCommand : public TDocumentCommand {
 public:
  TPictureCommand(TDocument& Doc, const QString& Caption, TPicture Before, TPicture After, const TEditState& EditBefore,
                  const TEditState& EditAfter);
  void redo() override { Apply(After, EditAfter); }
  void undo() override { Apply(Before, EditBefore); }
  std::optional<QSize> SizeAfter(bool Undone) const override;
  void Prepare(bool Undone) const override { (Undone ? Before : After).Background->Load(); }

 private:
  void Apply(const TPicture& Picture, const TStoredEdit& Edit);

  TPicture Before, After;
  TStoredEdit EditBefore, EditAfter;
};
