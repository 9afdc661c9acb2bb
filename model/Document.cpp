// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Document.h"

#include <algorithm>
#include <numbers>

#include "model/DocumentCommands.h"
#include "model/Pictures.h"
#include "model/Tween.h"

namespace {
constexpr double Pi = std::numbers::pi;
}  // namespace

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

bool TDocument::Undo() { return Step(true); }

bool TDocument::Redo() { return Step(false); }

bool TDocument::Step(bool Back) {
  const int index = Back ? Stack.index() - 1 : Stack.index();
  if (index < 0 || index >= Stack.count()) return false;
  EndGesture();
  const auto& step = static_cast<const TDocumentCommand&>(*Stack.command(index));
  step.Prepare(Back);
  if (PrepareWindow) PrepareWindow(step.SizeAfter(Back).value_or(Anim.Size()));
  if (Back)
    Stack.undo();
  else
    Stack.redo();
  return true;
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
  EndGesture();
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
  // A step that does not merge ends the gesture: the steps after it start a new one.
  if (!Command->Mergeable()) EndGesture();
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
  // A move or a scale that changes nothing is no step (a press without a move).
  const bool merges = Change == TFigureChange::Drag || Change == TFigureChange::Scale;
  if (merges && before == After) return;
  Push(new TFigureCommand(*this, Change, {{Index, before, After}}, State.SelectedFigure));
}

void TDocument::Select(int Index) {
  if (Index == State.SelectedFigure || Index < 0 || Index >= State.WorkingFrame.Count()) return;
  EndGesture();
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

void TDocument::DragFigure(int Index, const TFigure& Moved) {
  if (Index < 0 || Index >= State.WorkingFrame.Count()) return;
  PushFigure(TFigureChange::Drag, Index, Moved);
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

bool TDocument::HasUnstoredEdits() const {
  const int edited = State.EditedFrameIndex;
  if (Anim.Frames.empty() || edited >= static_cast<int>(Anim.Frames.size())) return false;
  return State.WorkingFrame != (edited >= 0 ? Anim.Frames[static_cast<std::size_t>(edited)] : Anim.Frames.back());
}

void TDocument::OpenFrame(int Index, bool StoreEdits) {
  const int count = static_cast<int>(Anim.Frames.size());
  const int edited = State.EditedFrameIndex;
  if (Index < -1 || Index >= count || count == 0 || (Index == -1 && edited == -1)) return;
  const bool store = StoreEdits && HasUnstoredEdits();
  // The frames as they are once the edits are stored: the working frame
  // replaces the frame under edit, or follows the last one.
  const int storedAt = !store ? -2 : edited >= 0 ? edited : count;
  const int countAfter = store && edited == -1 ? count + 1 : count;
  const auto frame = [&](int I) -> const TFigures& {
    return I == storedAt ? State.WorkingFrame : Anim.Frames[static_cast<std::size_t>(I)];
  };
  TEditState after;
  after.EditedFrameIndex = Index;
  if (Index == -1) {
    after.WorkingFrame = frame(countAfter - 1);
    after.Ghost = after.WorkingFrame;
  } else {
    after.WorkingFrame = frame(Index);
    // The frame before it shows in silver beneath it.
    if (Index > 0) after.Ghost = frame(Index - 1);
  }
  const QString shown = Index == -1 ? QStringLiteral("Show New Frame") : QStringLiteral("Show Frame");
  if (!store) {
    PushEdit(shown, std::move(after));
    return;
  }
  std::vector<TFramesCommand::TOp> ops;
  if (edited == -1)
    ops.push_back({TFramesCommand::TOp::Insert, count, {}, Shared->Share(State.WorkingFrame)});
  else
    ops.push_back({TFramesCommand::TOp::Replace, edited, Shared->Share(Anim.Frames[static_cast<std::size_t>(edited)]),
                   Shared->Share(State.WorkingFrame)});
  Push(new TFramesCommand(*this, QStringLiteral("Store and ") + shown, std::move(ops), State, std::move(after)));
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

void TDocument::TweenFrames(int Index, int Count, TEasing Easing) {
  if (Index < 0 || Index + 1 >= static_cast<int>(Anim.Frames.size()) || Count < 1 || Count > 100) return;
  const TFigures& from = Anim.Frames[static_cast<std::size_t>(Index)];
  const TFigures& to = Anim.Frames[static_cast<std::size_t>(Index + 1)];
  std::vector<TFramesCommand::TOp> ops;
  for (int i = 1; i <= Count; ++i)
    ops.push_back({TFramesCommand::TOp::Insert, Index + i, {}, Shared->Share(InBetween(from, to, i, Count, Easing))});
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
