// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Document.h"

#include <QUndoCommand>
#include <algorithm>
#include <array>
#include <memory>
#include <numbers>

#include "model/HistoryPictures.h"
#include "model/Pictures.h"
#include "model/Tween.h"

namespace {

constexpr double Pi = std::numbers::pi;

bool SameFigure(const TFigure& A, const TFigure& B) { return A == B; }

QString CaptionOf(TFigureChange Change) {
  switch (Change) {
    case TFigureChange::Drag:
      return QStringLiteral("Move Figure");
    case TFigureChange::Center:
      return QStringLiteral("Center Figure");
    case TFigureChange::Flip:
      return QStringLiteral("Flip Figure");
    case TFigureChange::Colour:
      return QStringLiteral("Colour Figure");
    case TFigureChange::Scale:
      return QStringLiteral("Scale Figure");
  }
  return {};
}

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

  static TPicture Of(const TAnimation& A, TPictureKeeper& Keeper) {
    return {A.Width,        A.Height,         Keeper.Keep(A.Background), A.HasBackground, A.BackgroundKind,
            A.BackgroundJpeg, A.JpegSize, A.JpegShown};
  }
  // The background is read back first, so that nothing changes when it cannot be.
  void SetInto(TAnimation& A) const {
    A.Background = Background->Load();
    A.Width = Width;
    A.Height = Height;
    A.HasBackground = HasBackground;
    A.BackgroundKind = BackgroundKind;
    A.BackgroundJpeg = BackgroundJpeg;
    A.JpegSize = JpegSize;
    A.JpegShown = JpegShown;
  }
};

}  // namespace

// Frames the history keeps are shared: a Next Frame keeps the working frame
// as the stored frame, the working frame after and the ghost after, and the
// ghost before it is the frame the previous Next Frame stored. Equal frames
// among those kept lately are held once.
class TFrameShare {
 public:
  TSharedFrame Share(const TFigures& Frame) {
    for (const std::weak_ptr<const TFigures>& recent : Recent)
      if (TSharedFrame held = recent.lock(); held && *held == Frame) return held;
    TSharedFrame made = std::make_shared<const TFigures>(Frame);
    Recent[Next] = made;
    Next = (Next + 1) % Recent.size();
    return made;
  }

 private:
  std::array<std::weak_ptr<const TFigures>, 4> Recent;
  std::size_t Next = 0;
};

// An editing state as the history keeps it, its frames shared.
struct TStoredEdit {
  TSharedFrame Working;
  int32_t EditedFrameIndex = -1;
  int SelectedFigure = 0;
  TSharedFrame Ghost;  // null: none

  TStoredEdit(TFrameShare& Share, const TEditState& Edit)
      : Working(Share.Share(Edit.WorkingFrame)),
        EditedFrameIndex(Edit.EditedFrameIndex),
        SelectedFigure(Edit.SelectedFigure),
        Ghost(Edit.Ghost ? Share.Share(*Edit.Ghost) : nullptr) {}
  TEditState State() const {
    TEditState state{*Working, EditedFrameIndex, SelectedFigure, std::nullopt};
    if (Ghost) state.Ghost = *Ghost;
    return state;
  }
};

// A step of the document's history. Revision is the revision the document
// takes while this step is the latest one that changes what a save writes;
// 0 for steps that change the working frame alone.
class TDocumentCommand : public QUndoCommand {
 public:
  TDocumentCommand(TDocument& Doc, const QString& Caption, bool Content)
      : QUndoCommand(Caption), Doc(Doc), Revision(Content ? Doc.NewRevision() : 0) {}
  uint64_t ContentRevision() const { return Revision; }
  // The animation's size once this step is undone (or done), when it changes it.
  virtual std::optional<QSize> SizeAfter(bool Undone) const { return std::nullopt; }
  // Makes ready what undoing (or doing) this step needs and may fail to
  // make, before the step changes anything.
  virtual void Prepare(bool Undone) {}

 protected:
  TDocument& Doc;

 private:
  uint64_t Revision;
};

// One figure of the working frame changed: a drag, a scale, a colour...
class TFigureCommand : public TDocumentCommand {
 public:
  TFigureCommand(TDocument& Doc, TFigureChange Change, int Index, TFigure Before, TFigure After, int Selection,
                 uint64_t Drag)
      : TDocumentCommand(Doc, CaptionOf(Change), false),
        Change(Change),
        Index(Index),
        Before(std::move(Before)),
        After(std::move(After)),
        Selection(Selection),
        Drag(Drag) {}

  int id() const override {
    if (Change == TFigureChange::Drag) return 1;
    if (Change == TFigureChange::Scale) return 2;
    return -1;
  }
  bool mergeWith(const QUndoCommand* Other) override {
    const auto* other = static_cast<const TFigureCommand*>(Other);
    if (other->Index != Index) return false;
    // Only the steps of the drag in progress merge: two drags are two steps.
    if (Change == TFigureChange::Drag && (Drag == 0 || other->Drag != Drag || Doc.OpenDrag != Drag)) return false;
    After = other->After;
    setObsolete(SameFigure(Before, After));
    return true;
  }
  // A further move of the drag in progress: the step takes it in place, as
  // merging a new step would, without making one for every mouse move.
  void Extend(const TFigure& Moved) {
    After = Moved;
    Apply(After, Selection);
  }
  // The figure selected when the step was taken is selected again.
  void redo() override { Apply(After, Selection); }
  void undo() override { Apply(Before, Selection); }
  uint64_t DragSerial() const { return Drag; }
  int FigureIndex() const { return Index; }

 private:
  void Apply(const TFigure& Figure, int Select) {
    TEditState& state = Doc.State;
    state.WorkingFrame.Items.at(static_cast<std::size_t>(Index)) = Figure;
    const bool selectionMoved = state.SelectedFigure != Select;
    state.SelectedFigure = Select;
    if (selectionMoved)
      emit Doc.EditChanged();
    else
      emit Doc.FigureChanged(Index);
  }

  TFigureChange Change;
  int Index;
  TFigure Before, After;
  int Selection;
  uint64_t Drag;
};

// The editing state changed as a whole: figures added, deleted or reordered,
// a stored frame shown for editing.
class TEditCommand : public TDocumentCommand {
 public:
  TEditCommand(TDocument& Doc, const QString& Caption, const TEditState& Before, const TEditState& After)
      : TDocumentCommand(Doc, Caption, false), Before(*Doc.Shared, Before), After(*Doc.Shared, After) {}
  void redo() override { Doc.SetEdit(After.State()); }
  void undo() override { Doc.SetEdit(Before.State()); }

 private:
  TStoredEdit Before, After;
};

// Frames inserted, removed or replaced, with the editing state around them.
class TFramesCommand : public TDocumentCommand {
 public:
  struct TOp {
    enum TKind { Insert, Remove, Replace } Kind;
    int At;
    TSharedFrame Before;  // Remove, Replace
    TSharedFrame After;   // Insert, Replace
    int Like = -1;    // Insert: the frame whose thumbnail the new one copies
  };
  TFramesCommand(TDocument& Doc, const QString& Caption, std::vector<TOp> Ops, const TEditState& Before,
                 const TEditState& After)
      : TDocumentCommand(Doc, Caption, true), Ops(std::move(Ops)), Before(*Doc.Shared, Before), After(*Doc.Shared, After) {}

  void redo() override {
    for (const TOp& op : Ops) Apply(op, true);
    Doc.SetEdit(After.State());
  }
  void undo() override {
    for (auto op = Ops.rbegin(); op != Ops.rend(); ++op) Apply(*op, false);
    Doc.SetEdit(Before.State());
  }

 private:
  void Apply(const TOp& Op, bool Forward) {
    std::vector<TFigures>& frames = Doc.Anim.Frames;
    const bool insert = (Op.Kind == TOp::Insert) == Forward;
    if (Op.Kind == TOp::Replace) {
      frames.at(static_cast<std::size_t>(Op.At)) = Forward ? *Op.After : *Op.Before;
      emit Doc.FrameChanged(Op.At);
    } else if (insert) {
      frames.insert(frames.begin() + Op.At, Forward ? *Op.After : *Op.Before);
      emit Doc.FramesInserted(Op.At, 1, Forward ? Op.Like : -1);
    } else {
      frames.erase(frames.begin() + Op.At);
      emit Doc.FramesRemoved(Op.At, 1);
    }
  }

  std::vector<TOp> Ops;
  TStoredEdit Before, After;
};

// The background or the size changed.
class TPictureCommand : public TDocumentCommand {
 public:
  TPictureCommand(TDocument& Doc, const QString& Caption, TPicture Before, TPicture After,
                  const TEditState& EditBefore, const TEditState& EditAfter)
      : TDocumentCommand(Doc, Caption, true),
        Before(std::move(Before)),
        After(std::move(After)),
        EditBefore(*Doc.Shared, EditBefore),
        EditAfter(*Doc.Shared, EditAfter) {}
  void redo() override { Apply(After, EditAfter); }
  void undo() override { Apply(Before, EditBefore); }
  std::optional<QSize> SizeAfter(bool Undone) const override {
    const TPicture& p = Undone ? Before : After;
    return QSize(p.Width, p.Height);
  }
  void Prepare(bool Undone) override { (Undone ? Before : After).Background->Load(); }

 private:
  void Apply(const TPicture& Picture, const TStoredEdit& Edit) {
    Picture.SetInto(Doc.Anim);
    emit Doc.PictureChanged();
    Doc.SetEdit(Edit.State());
  }

  TPicture Before, After;
  TStoredEdit EditBefore, EditAfter;
};

// A figure type added to the table, with a figure of it.
class TTypeCommand : public TDocumentCommand {
 public:
  TTypeCommand(TDocument& Doc, const QString& Caption, TFigureTypeRef Type, QString Name, const TEditState& Before,
               const TEditState& After)
      : TDocumentCommand(Doc, Caption, true),
        Type(std::move(Type)),
        Name(std::move(Name)),
        Before(*Doc.Shared, Before),
        After(*Doc.Shared, After) {}
  void redo() override {
    Doc.Anim.Types.Append(Type, Name);
    emit Doc.TypesChanged();
    Doc.SetEdit(After.State());
  }
  void undo() override {
    Doc.Anim.Types.RemoveLast();
    emit Doc.TypesChanged();
    Doc.SetEdit(Before.State());
  }

 private:
  TFigureTypeRef Type;
  QString Name;
  TStoredEdit Before, After;
};

TDocument::TDocument(QObject* Parent)
    : QObject(Parent), Shared(std::make_unique<TFrameShare>()), Pictures(std::make_unique<TPictureKeeper>()) {
  Anim = NewAnimation();
  State = StartState(Anim);
  connect(&Stack, &QUndoStack::indexChanged, this, [this] {
    EmitSavedIfChanged();
    Pictures->KeepToBudget(Anim.Background);
  });
}

TDocument::~TDocument() {
  // The commands refer to the document: they go first, and quietly: the
  // windows that follow the document may be partly gone already.
  const QSignalBlocker quiet(this);
  Stack.clear();
}

QSize TDocument::SizeAfterStep(bool Undo) const {
  const int step = Undo ? Stack.index() - 1 : Stack.index();
  if (step < 0 || step >= Stack.count()) return Anim.Size();
  return static_cast<const TDocumentCommand*>(Stack.command(step))->SizeAfter(Undo).value_or(Anim.Size());
}

void TDocument::PrepareStep(bool Undo) {
  const int step = Undo ? Stack.index() - 1 : Stack.index();
  if (step >= 0 && step < Stack.count()) static_cast<TDocumentCommand*>(const_cast<QUndoCommand*>(Stack.command(step)))->Prepare(Undo);
}

qint64 TDocument::HistoryPictureBytes() const { return Pictures->BytesInMemory(Anim.Background); }

void TDocument::SetHistoryPictureBudget(qint64 Bytes) {
  Pictures->SetBudget(Bytes);
  Pictures->KeepToBudget(Anim.Background);
}

const TFigure* TDocument::Selected() const {
  const auto index = static_cast<std::size_t>(State.SelectedFigure);
  return index < State.WorkingFrame.Items.size() ? &State.WorkingFrame.Items[index] : nullptr;
}

uint64_t TDocument::CurrentRevision() const {
  for (int i = Stack.index() - 1; i >= 0; --i)
    if (const uint64_t revision = static_cast<const TDocumentCommand*>(Stack.command(i))->ContentRevision())
      return revision;
  return BaseRevision;
}

void TDocument::MarkSaved() {
  SavedRevision = CurrentRevision();
  EmitSavedIfChanged();
}

void TDocument::EmitSavedIfChanged() {
  const bool saved = IsSaved();
  if (saved == LastSaved) return;
  LastSaved = saved;
  emit SavedChanged(saved);
}

void TDocument::Reset(TAnimation&& Animation, TEditState&& Edit, bool Saved) {
  OpenDrag = 0;
  Stack.clear();
  Anim = std::move(Animation);
  State = std::move(Edit);
  BaseRevision = SavedRevision = NewRevision();
  // No revision is ever 0: the save question guards what no file holds.
  if (!Saved) SavedRevision = 0;
  emit DocumentReset();
  EmitSavedIfChanged();
}

TEditState TDocument::StartState(const TAnimation& Animation) {
  TEditState state;
  TFigure stickman;
  stickman.SetType(Animation.Types, 1);
  stickman.MoveBy(RealPoint(static_cast<float>(Animation.Width / 2), static_cast<float>(Animation.Height / 2)));
  state.WorkingFrame.Items.push_back(std::move(stickman));
  return state;
}

TEditState TDocument::OpenedState(const TAnimation& Animation) {
  TEditState state;
  if (!Animation.Frames.empty()) state.WorkingFrame = Animation.Frames.back();
  state.Ghost = state.WorkingFrame;
  return state;
}

void TDocument::Push(TDocumentCommand* Command) {
  Stack.push(Command);
  EmitSavedIfChanged();
}

void TDocument::SetEdit(TEditState&& Edit) {
  State = std::move(Edit);
  emit EditChanged();
}

void TDocument::PushEdit(const QString& Caption, TEditState&& After) {
  Push(new TEditCommand(*this, Caption, State, std::move(After)));
}

void TDocument::PushFigure(TFigureChange Change, int Index, const TFigure& After) {
  const TFigure& before = State.WorkingFrame.Items.at(static_cast<std::size_t>(Index));
  Push(new TFigureCommand(*this, Change, Index, before, After, State.SelectedFigure,
                          Change == TFigureChange::Drag ? OpenDrag : 0));
}

void TDocument::Select(int Index) {
  if (Index == State.SelectedFigure || Index < 0 || Index >= State.WorkingFrame.Count()) return;
  State.SelectedFigure = Index;
  emit EditChanged();
}

void TDocument::Centre(TFigure& Figure, const TAnimation& Animation) {
  const float dx = static_cast<float>(Animation.Width / 2) - Figure.Root().X;
  const float dy = static_cast<float>(Animation.Height / 2) - Figure.Root().Y;
  Figure.MoveBy(RealPoint(dx, dy));
}

void TDocument::AddFigure(int TypeEntry) {
  if (State.WorkingFrame.Count() >= TFigures::MaxFigures || TypeEntry < 1 || TypeEntry >= Anim.Types.Count()) return;
  TEditState after = State;
  TFigure figure;
  figure.SetType(Anim.Types, static_cast<uint8_t>(TypeEntry));
  figure.MoveBy(RealPoint(static_cast<float>(Anim.Width / 2), static_cast<float>(Anim.Height / 2)));
  after.WorkingFrame.Items.push_back(std::move(figure));
  after.SelectedFigure = after.WorkingFrame.Count() - 1;
  PushEdit(QStringLiteral("Add Figure"), std::move(after));
}

void TDocument::DeleteFigure() {
  const int selected = State.SelectedFigure;
  if (selected >= State.WorkingFrame.Count()) return;
  TEditState after = State;
  after.WorkingFrame.Items.erase(after.WorkingFrame.Items.begin() + selected);
  // The figure after it is selected, or the one before when it was the last.
  if (selected == after.WorkingFrame.Count() && selected > 0) --after.SelectedFigure;
  if (after.WorkingFrame.Count() == 0) after.SelectedFigure = 0;
  PushEdit(QStringLiteral("Delete Figure"), std::move(after));
}

void TDocument::CenterFigure(int Index) {
  if (Index < 0 || Index >= State.WorkingFrame.Count()) return;
  TFigure figure = State.WorkingFrame.Items[static_cast<std::size_t>(Index)];
  Centre(figure, Anim);
  PushFigure(TFigureChange::Center, Index, figure);
}

void TDocument::FlipFigure() {
  const TFigure* selected = Selected();
  if (selected == nullptr) return;
  // Mirror left to right about the vertical line through the root.
  TFigure figure = *selected;
  for (double& a : figure.Angles) a = a < Pi ? Pi - a : 3 * Pi - a;
  figure.SetPosition(figure.Root());
  PushFigure(TFigureChange::Flip, State.SelectedFigure, figure);
}

void TDocument::SetFigureColor(TColor Color) {
  const TFigure* selected = Selected();
  if (selected == nullptr) return;
  TFigure figure = *selected;
  figure.Color = Color;
  PushFigure(TFigureChange::Colour, State.SelectedFigure, figure);
}

void TDocument::SetFigureScale(float Scale) {
  const TFigure* selected = Selected();
  if (selected == nullptr) return;
  TFigure figure = *selected;
  figure.SetScale(Scale);
  PushFigure(TFigureChange::Scale, State.SelectedFigure, figure);
}

void TDocument::FigureToFront() {
  const int selected = State.SelectedFigure;
  if (selected + 1 >= State.WorkingFrame.Count()) return;
  TEditState after = State;
  auto& items = after.WorkingFrame.Items;
  std::rotate(items.begin() + selected, items.begin() + selected + 1, items.end());
  after.SelectedFigure = after.WorkingFrame.Count() - 1;
  PushEdit(QStringLiteral("Bring To Front"), std::move(after));
}

void TDocument::FigureToBack() {
  const int selected = State.SelectedFigure;
  if (selected == 0 || selected >= State.WorkingFrame.Count()) return;
  TEditState after = State;
  auto& items = after.WorkingFrame.Items;
  std::rotate(items.begin(), items.begin() + selected, items.begin() + selected + 1);
  after.SelectedFigure = 0;
  PushEdit(QStringLiteral("Send To Back"), std::move(after));
}

void TDocument::BeginDrag() { OpenDrag = NewRevision(); }

void TDocument::DragFigure(int Index, const TFigure& Moved) {
  if (Index < 0 || Index >= State.WorkingFrame.Count()) return;
  const int top = Stack.index() - 1;
  if (OpenDrag != 0 && top >= 0 && top == Stack.count() - 1) {
    auto* step = dynamic_cast<TFigureCommand*>(const_cast<QUndoCommand*>(Stack.command(top)));
    if (step != nullptr && step->DragSerial() == OpenDrag && step->FigureIndex() == Index) {
      step->Extend(Moved);
      return;
    }
  }
  PushFigure(TFigureChange::Drag, Index, Moved);
}

void TDocument::EndDrag() {
  const uint64_t drag = OpenDrag;
  if (drag == 0) return;
  // A last step that changes nothing merges into the drag's step, which
  // leaves the history when the figure is back where it began.
  const int top = Stack.index() - 1;
  const auto* step = top >= 0 && top == Stack.count() - 1 ? dynamic_cast<const TFigureCommand*>(Stack.command(top)) : nullptr;
  if (step != nullptr && step->DragSerial() == drag) {
    const TFigure& now = State.WorkingFrame.Items.at(static_cast<std::size_t>(step->FigureIndex()));
    Push(new TFigureCommand(*this, TFigureChange::Drag, step->FigureIndex(), now, now, State.SelectedFigure, drag));
  }
  OpenDrag = 0;
}

void TDocument::NextFrame() {
  TEditState after = State;
  std::vector<TFramesCommand::TOp> ops;
  const int edited = State.EditedFrameIndex;
  if (edited == -1) {
    ops.push_back({TFramesCommand::TOp::Insert, static_cast<int>(Anim.Frames.size()), {}, Shared->Share(State.WorkingFrame)});
    // The frame just stored shows in silver under the same figures.
    after.Ghost = State.WorkingFrame;
  } else {
    ops.push_back({TFramesCommand::TOp::Replace, edited, Shared->Share(Anim.Frames.at(static_cast<std::size_t>(edited))),
                   Shared->Share(State.WorkingFrame)});
    // Editing goes on with a copy of the last frame as the new one.
    const TFigures& last = edited + 1 == static_cast<int>(Anim.Frames.size()) ? State.WorkingFrame : Anim.Frames.back();
    after.WorkingFrame = last;
    after.Ghost = last;
    after.SelectedFigure = 0;
    after.EditedFrameIndex = -1;
  }
  Push(new TFramesCommand(*this, QStringLiteral("Next Frame"), std::move(ops), State, std::move(after)));
}

void TDocument::ShowFrame(int Index) {
  if (Index < 0 || Index >= static_cast<int>(Anim.Frames.size())) return;
  TEditState after;
  after.WorkingFrame = Anim.Frames[static_cast<std::size_t>(Index)];
  after.EditedFrameIndex = Index;
  // The frame before it shows in silver beneath it.
  if (Index > 0) after.Ghost = Anim.Frames[static_cast<std::size_t>(Index - 1)];
  PushEdit(QStringLiteral("Show Frame"), std::move(after));
}

void TDocument::InsertFrame(int Index) {
  if (Index < 0 || Index >= static_cast<int>(Anim.Frames.size())) return;
  // A copy of the frame before (of the first frame at the start) goes in at Index.
  const int source = Index > 0 ? Index - 1 : 0;
  const TFigures copy = Anim.Frames[static_cast<std::size_t>(source)];
  TEditState after;
  after.WorkingFrame = copy;
  after.EditedFrameIndex = Index;
  after.Ghost = copy;
  std::vector<TFramesCommand::TOp> ops{{TFramesCommand::TOp::Insert, Index, {}, Shared->Share(copy), source}};
  Push(new TFramesCommand(*this, QStringLiteral("Insert Frame"), std::move(ops), State, std::move(after)));
}

void TDocument::DeleteFrame(int Index) {
  const int count = static_cast<int>(Anim.Frames.size());
  if (Index < 0 || Index >= count) return;
  TEditState after = State;
  std::vector<TFramesCommand::TOp> ops{
      {TFramesCommand::TOp::Remove, Index, Shared->Share(Anim.Frames[static_cast<std::size_t>(Index)]), {}}};
  if (count == 1) {
    // The working frame and the ghost stay as they are.
    if (after.EditedFrameIndex == 0) after.EditedFrameIndex = -1;
  } else {
    if (after.EditedFrameIndex > Index) --after.EditedFrameIndex;
    // The frame under edit, or the one just before it, or the last frame went:
    // editing starts again from the new last frame.
    if (Index == after.EditedFrameIndex || Index == count - 1) {
      const TFigures& last = Anim.Frames[static_cast<std::size_t>(Index == count - 1 ? count - 2 : count - 1)];
      after.WorkingFrame = last;
      after.Ghost = last;
      after.SelectedFigure = 0;
      after.EditedFrameIndex = -1;
    }
  }
  Push(new TFramesCommand(*this, QStringLiteral("Delete Frame"), std::move(ops), State, std::move(after)));
}

void TDocument::TweenFrames(int Index, int Count) {
  if (Index < 0 || Index + 1 >= static_cast<int>(Anim.Frames.size()) || Count < 1 || Count > 100) return;
  const TFigures& from = Anim.Frames[static_cast<std::size_t>(Index)];
  const TFigures& to = Anim.Frames[static_cast<std::size_t>(Index + 1)];
  std::vector<TFramesCommand::TOp> ops;
  for (int i = 1; i <= Count; ++i)
    ops.push_back({TFramesCommand::TOp::Insert, Index + i, {}, Shared->Share(InBetween(from, to, i, Count))});
  // As after Insert: the first new frame is edited, over the frame before it.
  TEditState after;
  after.WorkingFrame = *ops.front().After;
  after.EditedFrameIndex = Index + 1;
  after.Ghost = from;
  Push(new TFramesCommand(*this, QStringLiteral("Tween"), std::move(ops), State, std::move(after)));
}

namespace {
// The editing state after the drawing took a new size: the figures of the
// working frame are centred when no frame is stored; the ghost goes until
// the next frame is stored or shown.
TEditState AfterResize(const TEditState& State, const TAnimation& Resized, bool NoFrames) {
  TEditState after = State;
  if (NoFrames)
    for (TFigure& figure : after.WorkingFrame.Items) TDocument::Centre(figure, Resized);
  after.Ghost.reset();
  return after;
}
}  // namespace

void TDocument::LoadBackground(QImage Picture, uint8_t Kind, const QByteArray& Jpeg) {
  TPicture before = TPicture::Of(Anim, *Pictures), after = before;
  after.Width = Picture.width();
  after.Height = Picture.height();
  after.HasBackground = true;
  after.BackgroundKind = Kind;
  // A BMP leaves the JPEG data as they were; they are neither drawn nor stored.
  if (Kind == 1) {
    after.BackgroundJpeg = Jpeg;
    after.JpegSize = after.JpegShown = Picture.size();
  }
  after.Background = Pictures->Keep(Picture);
  TAnimation resized;
  resized.Width = after.Width;
  resized.Height = after.Height;
  TEditState edit = AfterResize(State, resized, Anim.Frames.empty());
  Push(new TPictureCommand(*this, QStringLiteral("Load Background"), std::move(before), std::move(after), State,
                           std::move(edit)));
}

void TDocument::ClearBackground() {
  if (!Anim.HasBackground) return;
  TPicture before = TPicture::Of(Anim, *Pictures), after = before;
  // The picture keeps its size; the kind and the JPEG data stay.
  after.Background = Pictures->Keep(TAnimation::WhiteBackground(Anim.Size()));
  after.HasBackground = false;
  TEditState edit = State;
  edit.Ghost.reset();
  Push(new TPictureCommand(*this, QStringLiteral("Clear Background"), std::move(before), std::move(after), State,
                           std::move(edit)));
}

void TDocument::ChangeDimensions(int32_t Width, int32_t Height) {
  if (Width == Anim.Width && Height == Anim.Height) return;
  TPicture before = TPicture::Of(Anim, *Pictures), after = before;
  after.Background = Pictures->Keep(CutOrExtend(Anim.Background, Width, Height));
  after.JpegShown = after.JpegShown.boundedTo(QSize(Width, Height));
  after.Width = Width;
  after.Height = Height;
  TAnimation resized;
  resized.Width = Width;
  resized.Height = Height;
  TEditState edit = AfterResize(State, resized, Anim.Frames.empty());
  Push(new TPictureCommand(*this, QStringLiteral("Change Dimensions"), std::move(before), std::move(after), State,
                           std::move(edit)));
}

void TDocument::AddFigureType(TFigureTypeRef Type, const QString& Name, const QString& Caption) {
  if (Anim.Types.Count() >= MaxFigureTypes) return;
  const int entry = Anim.Types.Count();
  TEditState after = State;
  if (after.WorkingFrame.Count() < TFigures::MaxFigures) {
    TFigure figure;
    figure.SetType(static_cast<uint8_t>(entry), Type);
    figure.MoveBy(RealPoint(static_cast<float>(Anim.Width / 2), static_cast<float>(Anim.Height / 2)));
    after.WorkingFrame.Items.push_back(std::move(figure));
    after.SelectedFigure = after.WorkingFrame.Count() - 1;
  }
  Push(new TTypeCommand(*this, Caption, std::move(Type), Name, State, std::move(after)));
}
