// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Document.h"

#include <algorithm>
#include <array>
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
  emit FramesChanging();
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

std::vector<int> TDocument::SelectedFigures() const {
  if (State.WorkingFrame.Count() == 0) return {};
  std::vector<int> all = State.AlsoSelected;
  all.insert(std::upper_bound(all.begin(), all.end(), State.SelectedFigure), State.SelectedFigure);
  return all;
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
  emit FramesChanging();
  EndGesture();
  Stack.clear();
  Anim = std::move(Animation);
  Ticks = 0;
  for (const TFigures& frame : Anim.Frames) Ticks += frame.Hold;
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
  stickman.MoveBy(RealPoint(static_cast<float>(Animation.Middle().x()), static_cast<float>(Animation.Middle().y())));
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
  Push(new TEditCommand(*this, Caption, State, After));
}

void TDocument::PushFigure(TFigureChange Change, int Index, const TFigure& After) {
  PushFigures(Change, {{Index, After}});
}

void TDocument::PushFigures(TFigureChange Change, const std::vector<std::pair<int, TFigure>>& After) {
  std::vector<TFigureCommand::TChange> changes;
  bool changed = false;
  for (const auto& [index, figure] : After) {
    const TFigure& before = State.WorkingFrame.Items.at(static_cast<std::size_t>(index));
    changed = changed || !(before == figure);
    changes.push_back({index, before, figure});
  }
  // A move or a scale that changes nothing is no step (a press without a move).
  if (changes.empty() || (MergeIdOf(Change) != TMergeId::None && !changed)) return;
  Push(new TFigureCommand(*this, Change, std::move(changes), State.SelectedFigure, State.AlsoSelected));
}

void TDocument::ChangeSelected(TFigureChange Kind, const std::function<void(TFigure&)>& Change) {
  std::vector<std::pair<int, TFigure>> after;
  for (int index : SelectedFigures()) {
    TFigure figure = State.WorkingFrame.Items[static_cast<std::size_t>(index)];
    Change(figure);
    after.emplace_back(index, std::move(figure));
  }
  PushFigures(Kind, after);
}

void TDocument::Select(int Index) { SelectFigures({Index}, Index); }

void TDocument::SelectFigures(const std::vector<int>& Indices, int Last) {
  const int count = State.WorkingFrame.Count();
  if (Last < 0 || Last >= count) return;
  std::vector<int> also;
  for (int i : Indices)
    if (i >= 0 && i < count && i != Last) also.push_back(i);
  std::sort(also.begin(), also.end());
  also.erase(std::unique(also.begin(), also.end()), also.end());
  if (Last == State.SelectedFigure && also == State.AlsoSelected) return;
  EndGesture();
  State.SelectedFigure = Last;
  State.AlsoSelected = std::move(also);
  emit EditChanged();
}

void TDocument::ToggleSelected(int Index) {
  std::vector<int> selected = SelectedFigures();
  const auto at = std::find(selected.begin(), selected.end(), Index);
  if (at == selected.end()) {
    selected.push_back(Index);
    SelectFigures(selected, Index);
  } else if (selected.size() > 1) {
    // The figure clicked last before it shows in the controls again.
    selected.erase(at);
    SelectFigures(selected, Index == State.SelectedFigure ? selected.back() : State.SelectedFigure);
  }
}

void TDocument::Center(TFigure& Figure, const TAnimation& Animation) {
  const float dx = static_cast<float>(Animation.Middle().x()) - Figure.Root().X;
  const float dy = static_cast<float>(Animation.Middle().y()) - Figure.Root().Y;
  Figure.MoveBy(RealPoint(dx, dy));
}

void TDocument::AddFigure(int TypeEntry) {
  if (State.WorkingFrame.Count() >= TFigures::MaxFigures || TypeEntry < 1 || TypeEntry >= Anim.Types.Count()) return;
  TEditState after = State;
  TFigure figure;
  figure.SetType(Anim.Types, static_cast<uint8_t>(TypeEntry));
  figure.MoveBy(RealPoint(static_cast<float>(Anim.Middle().x()), static_cast<float>(Anim.Middle().y())));
  after.WorkingFrame.Items.push_back(std::move(figure));
  after.SelectedFigure = after.WorkingFrame.Count() - 1;
  after.AlsoSelected.clear();
  PushEdit(QStringLiteral("Add Figure"), std::move(after));
}

void TDocument::DeleteFigure(const QString& Caption) {
  const std::vector<int> gone = SelectedFigures();
  if (gone.empty()) return;
  TEditState after = State;
  auto& items = after.WorkingFrame.Items;
  for (auto i = gone.rbegin(); i != gone.rend(); ++i) items.erase(items.begin() + *i);
  // The first figure that followed the selected one is selected, or else the
  // last one left: one figure deleted, the one after it or the one before.
  const int selected = State.SelectedFigure;
  const auto follows = std::find_if(gone.begin(), gone.end(), [&](int I) { return I > selected; });
  int next = selected + 1;
  for (auto i = follows; i != gone.end() && *i == next; ++i) ++next;
  const int goneBefore = static_cast<int>(std::count_if(gone.begin(), gone.end(), [&](int I) { return I < next; }));
  after.SelectedFigure =
      next < State.WorkingFrame.Count() ? next - goneBefore : std::max(0, after.WorkingFrame.Count() - 1);
  after.AlsoSelected.clear();
  PushEdit(Caption, std::move(after));
}

void TDocument::CenterFigure(int Index) {
  if (Index < 0 || Index >= State.WorkingFrame.Count()) return;
  TFigure figure = State.WorkingFrame.Items[static_cast<std::size_t>(Index)];
  Center(figure, Anim);
  PushFigure(TFigureChange::Center, Index, figure);
}

void TDocument::CenterSelected() {
  const std::vector<int> selected = SelectedFigures();
  if (selected.empty()) return;
  const TRealPoint first = State.WorkingFrame.Items[static_cast<std::size_t>(selected.front())].Root();
  float left = first.X, right = first.X, top = first.Y, bottom = first.Y;
  for (int i : selected) {
    const TRealPoint root = State.WorkingFrame.Items[static_cast<std::size_t>(i)].Root();
    left = std::min(left, root.X);
    right = std::max(right, root.X);
    top = std::min(top, root.Y);
    bottom = std::max(bottom, root.Y);
  }
  // One figure: its root goes to the centre, as Center computes it.
  const TRealPoint offset =
      selected.size() == 1
          ? RealPoint(static_cast<float>(Anim.Middle().x()) - first.X, static_cast<float>(Anim.Middle().y()) - first.Y)
          : RealPoint(static_cast<float>(Anim.Middle().x()) - (left + right) / 2,
                      static_cast<float>(Anim.Middle().y()) - (top + bottom) / 2);
  ChangeSelected(TFigureChange::Center, [&](TFigure& F) { F.MoveBy(offset); });
}

void TDocument::FlipFigure() {
  // Each figure is mirrored left to right about the vertical line through its root.
  ChangeSelected(TFigureChange::Flip, [](TFigure& F) {
    for (double& a : F.Angles) a = a < Pi ? Pi - a : 3 * Pi - a;
    F.SetPosition(F.Root());
  });
}

void TDocument::SetFigureColor(TColor Color) {
  ChangeSelected(TFigureChange::Color, [Color](TFigure& F) { F.Color = Color; });
}

void TDocument::SetFigureScale(float Scale) {
  ChangeSelected(TFigureChange::Scale, [Scale](TFigure& F) { F.SetScale(Scale); });
}

namespace {
// The working frame with the selected figures moved on top (or to the bottom),
// each group keeping its order, and the selection following them.
TEditState Reordered(const TEditState& State, const std::vector<int>& Selected, bool ToFront) {
  TEditState after = State;
  const auto& items = State.WorkingFrame.Items;
  std::vector<TFigure> moved, others;
  for (int i = 0; i < static_cast<int>(items.size()); ++i)
    (std::binary_search(Selected.begin(), Selected.end(), i) ? moved : others)
        .push_back(items[static_cast<std::size_t>(i)]);
  const int first = ToFront ? static_cast<int>(others.size()) : 0;
  auto& order = after.WorkingFrame.Items;
  order.clear();
  for (auto* part : ToFront ? std::array{&others, &moved} : std::array{&moved, &others})
    order.insert(order.end(), part->begin(), part->end());
  after.AlsoSelected.clear();
  for (int k = 0; k < static_cast<int>(Selected.size()); ++k) {
    if (Selected[static_cast<std::size_t>(k)] == State.SelectedFigure)
      after.SelectedFigure = first + k;
    else
      after.AlsoSelected.push_back(first + k);
  }
  return after;
}
}  // namespace

void TDocument::FigureToFront() {
  const std::vector<int> selected = SelectedFigures();
  if (selected.empty()) return;
  TEditState after = Reordered(State, selected, true);
  if (after.WorkingFrame == State.WorkingFrame && after.SelectedFigure == State.SelectedFigure) return;
  PushEdit(QStringLiteral("Bring To Front"), std::move(after));
}

void TDocument::FigureToBack() {
  const std::vector<int> selected = SelectedFigures();
  if (selected.empty()) return;
  TEditState after = Reordered(State, selected, false);
  if (after.WorkingFrame == State.WorkingFrame && after.SelectedFigure == State.SelectedFigure) return;
  PushEdit(QStringLiteral("Send To Back"), std::move(after));
}

void TDocument::DragFigure(int Index, const TFigure& Moved) {
  if (Index < 0 || Index >= State.WorkingFrame.Count()) return;
  PushFigure(TFigureChange::Drag, Index, Moved);
}

void TDocument::DragFigures(const std::vector<std::pair<int, TFigure>>& Moved) {
  for (const auto& [index, figure] : Moved)
    if (index < 0 || index >= State.WorkingFrame.Count()) return;
  PushFigures(TFigureChange::Drag, Moved);
}

bool TDocument::PasteFigures(const TNamedTypes& Types, std::vector<TFigure> Figures, const QString& Caption) {
  const auto& items = State.WorkingFrame.Items;
  if (Figures.empty() || items.size() + Figures.size() > TFigures::MaxFigures ||
      Anim.Types.Count() + static_cast<int>(Types.size()) > MaxFigureTypes)
    return false;
  // Copies over their originals would hide them: they move aside until
  // none lies exactly on a figure of the frame.
  const auto liesThere = [&](const TFigure& F) { return std::find(items.begin(), items.end(), F) != items.end(); };
  for (int moves = 0; moves <= TFigures::MaxFigures && std::any_of(Figures.begin(), Figures.end(), liesThere); ++moves)
    for (TFigure& figure : Figures) figure.MoveBy(RealPoint(10, 10));
  TEditState after = State;
  const int first = after.WorkingFrame.Count();
  for (TFigure& figure : Figures) after.WorkingFrame.Items.push_back(std::move(figure));
  after.SelectedFigure = after.WorkingFrame.Count() - 1;
  after.AlsoSelected.clear();
  for (int i = first; i < after.SelectedFigure; ++i) after.AlsoSelected.push_back(i);
  if (Types.empty())
    PushEdit(Caption, std::move(after));
  else
    Push(new TFramesCommand(*this, Caption, {}, State, after, Types));
  return true;
}

bool TDocument::DuplicateFigures() {
  std::vector<TFigure> copies;
  for (int i : SelectedFigures()) copies.push_back(State.WorkingFrame.Items[static_cast<std::size_t>(i)]);
  return PasteFigures({}, std::move(copies), QStringLiteral("Duplicate"));
}

void TDocument::NextFrame() {
  TEditState after = State;
  std::vector<TFramesCommand::TOp> ops;
  const int edited = State.EditedFrameIndex;
  if (edited == -1) {
    ops.push_back(
        {TFramesCommand::TOp::Insert, static_cast<int>(Anim.Frames.size()), {}, Shared->Share(State.WorkingFrame)});
    // The frame just stored shows in silver under the same figures.
    after.Ghost = State.WorkingFrame;
  } else {
    ops.push_back({TFramesCommand::TOp::Replace, edited,
                   Shared->Share(Anim.Frames.at(static_cast<std::size_t>(edited))), Shared->Share(State.WorkingFrame)});
    // Editing goes on with a copy of the last frame as the new one.
    const TFigures& last = edited + 1 == static_cast<int>(Anim.Frames.size()) ? State.WorkingFrame : Anim.Frames.back();
    after.WorkingFrame = last;
    after.Ghost = last;
    after.SelectedFigure = 0;
    after.AlsoSelected.clear();
    after.EditedFrameIndex = -1;
  }
  emit FramesChanging();
  Push(new TFramesCommand(*this, QStringLiteral("Next Frame"), std::move(ops), State, after));
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
  emit FramesChanging();
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
  Push(new TFramesCommand(*this, QStringLiteral("Store and ") + shown, std::move(ops), State, after));
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
  emit FramesChanging();
  Push(new TFramesCommand(*this, QStringLiteral("Insert Frame"), std::move(ops), State, after));
}

void TDocument::DeleteFrame(int Index) { DeleteFrames(Index, 1, QStringLiteral("Delete Frame")); }

void TDocument::DeleteFrames(int First, int Count, const QString& Caption) {
  const int count = static_cast<int>(Anim.Frames.size());
  if (First < 0 || Count < 1 || First + Count > count) return;
  TEditState after = State;
  std::vector<TFramesCommand::TOp> ops;
  for (int i = First; i < First + Count; ++i)
    ops.push_back({TFramesCommand::TOp::Remove, First, Shared->Share(Anim.Frames[static_cast<std::size_t>(i)]), {}});
  const int edited = State.EditedFrameIndex;
  if (Count == count) {
    // The working frame and the ghost stay as they are.
    after.EditedFrameIndex = -1;
  } else if ((edited >= First && edited <= First + Count) || First + Count == count) {
    // The frame under edit, or the one just before it, or the last frame went:
    // editing starts again from the new last frame.
    const TFigures& last = Anim.Frames[static_cast<std::size_t>(First + Count == count ? First - 1 : count - 1)];
    after.WorkingFrame = last;
    after.Ghost = last;
    after.SelectedFigure = 0;
    after.AlsoSelected.clear();
    after.EditedFrameIndex = -1;
  } else if (edited > First + Count) {
    after.EditedFrameIndex -= Count;
  }
  emit FramesChanging();
  Push(new TFramesCommand(*this, Caption, std::move(ops), State, after));
}

void TDocument::InsertFrames(int At, std::vector<TFigures> Frames, const TNamedTypes& Types, const QString& Caption) {
  if (At < 0 || At > static_cast<int>(Anim.Frames.size()) || Frames.empty() ||
      Anim.Types.Count() + static_cast<int>(Types.size()) > MaxFigureTypes)
    return;
  std::vector<TFramesCommand::TOp> ops;
  for (std::size_t i = 0; i < Frames.size(); ++i)
    ops.push_back({TFramesCommand::TOp::Insert, At + static_cast<int>(i), {}, Shared->Share(Frames[i])});
  TEditState after = State;
  if (after.EditedFrameIndex >= At) after.EditedFrameIndex += static_cast<int>(Frames.size());
  emit FramesChanging();
  Push(new TFramesCommand(*this, Caption, std::move(ops), State, after, Types));
}

int TDocument::PasteIntoFrames(const TNamedTypes& Types, const std::vector<TFigure>& Figures, int First, int Count) {
  const int frames = static_cast<int>(Anim.Frames.size());
  if (Figures.empty() || First < 0 || Count < 1 || First + Count > frames ||
      Anim.Types.Count() + static_cast<int>(Types.size()) > MaxFigureTypes)
    return 0;
  const auto fits = [&](const TFigures& Frame) { return Frame.Items.size() + Figures.size() <= TFigures::MaxFigures; };
  const auto withFigures = [&](const TFigures& Frame) {
    TFigures frame = Frame;
    frame.Items.insert(frame.Items.end(), Figures.begin(), Figures.end());
    return frame;
  };
  std::vector<TFramesCommand::TOp> ops;
  for (int i = First; i < First + Count; ++i) {
    const TFigures& frame = Anim.Frames[static_cast<std::size_t>(i)];
    if (!fits(frame)) continue;
    ops.push_back({TFramesCommand::TOp::Replace, i, Shared->Share(frame), Shared->Share(withFigures(frame))});
  }
  if (ops.empty()) return 0;
  const int filled = static_cast<int>(ops.size());
  // The working frame takes them too when it is a stored frame of the range,
  // or the new frame after a range that ends at the last stored frame.
  TEditState after = State;
  const int edited = after.EditedFrameIndex;
  const bool working = edited >= 0 ? edited >= First && edited < First + Count : First + Count == frames;
  if (working && fits(after.WorkingFrame)) after.WorkingFrame = withFigures(after.WorkingFrame);
  emit FramesChanging();
  Push(new TFramesCommand(*this, QStringLiteral("Paste Into Frames"), std::move(ops), State, after, Types));
  return filled;
}

void TDocument::TweenFrames(int Index, int Count, TEasing Easing) {
  if (Index < 0 || Index + 1 >= static_cast<int>(Anim.Frames.size()) || Count < 1 || Count > 100) return;
  const TFigures& from = Anim.Frames[static_cast<std::size_t>(Index)];
  const TFigures& to = Anim.Frames[static_cast<std::size_t>(Index) + 1];
  std::vector<TFramesCommand::TOp> ops;
  for (int i = 1; i <= Count; ++i)
    ops.push_back({TFramesCommand::TOp::Insert, Index + i, {}, Shared->Share(InBetween(from, to, i, Count, Easing))});
  // As after Insert: the first new frame is edited, over the frame before it.
  TEditState after;
  after.WorkingFrame = *ops.front().After;
  after.EditedFrameIndex = Index + 1;
  after.Ghost = from;
  emit FramesChanging();
  Push(new TFramesCommand(*this, QStringLiteral("Tween"), std::move(ops), State, after));
}

void TDocument::SetHolds(int First, int Count, int Ticks) {
  const int count = static_cast<int>(Anim.Frames.size());
  if (First < 0 || Count < 1 || First + Count > count) return;
  const uint8_t hold = TFigures::ClampHold(Ticks);
  std::vector<TFramesCommand::TOp> ops;
  for (int i = First; i < First + Count; ++i) {
    const TFigures& frame = Anim.Frames[static_cast<std::size_t>(i)];
    if (frame.Hold == hold) continue;
    TFigures held = frame;
    held.Hold = hold;
    ops.push_back({TFramesCommand::TOp::Replace, i, Shared->Share(frame), Shared->Share(held)});
  }
  TEditState after = State;
  const int edited = State.EditedFrameIndex;
  if (edited >= First && edited < First + Count) after.WorkingFrame.Hold = hold;
  if (ops.empty() && after.WorkingFrame.Hold == State.WorkingFrame.Hold) return;
  emit FramesChanging();
  if (ops.empty())
    PushEdit(QStringLiteral("Hold"), std::move(after));
  else
    Push(new TFramesCommand(*this, QStringLiteral("Hold"), std::move(ops), State, after));
}

void TDocument::ChangeEditedHold(int Delta) {
  const int ticks = State.WorkingFrame.Hold + Delta;
  if (State.EditedFrameIndex >= 0) {
    SetHolds(State.EditedFrameIndex, 1, ticks);
    return;
  }
  TEditState after = State;
  after.WorkingFrame.Hold = TFigures::ClampHold(ticks);
  if (after.WorkingFrame.Hold == State.WorkingFrame.Hold) return;
  PushEdit(QStringLiteral("Hold"), std::move(after));
}

namespace {
// The editing state after the drawing took a new size: the figures of the
// working frame are centred when no frame is stored; the ghost goes until
// the next frame is stored or shown.
TEditState AfterResize(const TEditState& State, const TAnimation& Resized, bool NoFrames) {
  TEditState after = State;
  if (NoFrames)
    for (TFigure& figure : after.WorkingFrame.Items) TDocument::Center(figure, Resized);
  after.Ghost.reset();
  return after;
}
}  // namespace

void TDocument::LoadBackground(const QImage& Picture, uint8_t Kind, const QByteArray& Jpeg) {
  TPicture before = TPicture::Of(Anim, *Pictures), after = before;
  after.Width = Picture.width();
  after.Height = Picture.height();
  after.HasBackground = true;
  after.BackgroundKind = Kind;
  // A BMP leaves the JPEG data as they were; they are neither drawn nor stored.
  if (Kind == BackgroundFromJpeg) {
    after.BackgroundJpeg = Jpeg;
    after.JpegSize = after.JpegShown = Picture.size();
  }
  after.Background = Pictures->Keep(Picture);
  TAnimation resized;
  resized.Width = after.Width;
  resized.Height = after.Height;
  TEditState edit = AfterResize(State, resized, Anim.Frames.empty());
  Push(new TPictureCommand(*this, QStringLiteral("Load Background"), std::move(before), std::move(after), State, edit));
}

void TDocument::ClearBackground() {
  if (!Anim.HasBackground) return;
  TPicture before = TPicture::Of(Anim, *Pictures), after = before;
  // The picture keeps its size; the kind and the JPEG data stay.
  after.Background = Pictures->Keep(TAnimation::WhiteBackground(Anim.Size()));
  after.HasBackground = false;
  TEditState edit = State;
  edit.Ghost.reset();
  Push(
      new TPictureCommand(*this, QStringLiteral("Clear Background"), std::move(before), std::move(after), State, edit));
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
                           edit));
}

void TDocument::TogglePin(int Index, uint8_t Vertex) {
  const auto index = static_cast<std::size_t>(Index);
  if (Vertex == 0 || index >= State.WorkingFrame.Items.size()) return;
  TFigure figure = State.WorkingFrame.Items[index];
  if (Vertex >= figure.Points().size()) return;
  figure.TogglePin(Vertex);
  PushFigure(TFigureChange::Pin, Index, figure);
}

void TDocument::SetPlaybackInterval(int32_t Milliseconds) {
  if (Milliseconds < 1 || Milliseconds == Anim.PlaybackInterval) return;
  Push(new TRateCommand(*this, Anim.PlaybackInterval, Milliseconds));
}

void TDocument::AddFigureType(TFigureTypeRef Type, const QString& Name, const QString& Caption) {
  if (Anim.Types.Count() >= MaxFigureTypes) return;
  const int entry = Anim.Types.Count();
  TEditState after = State;
  if (after.WorkingFrame.Count() < TFigures::MaxFigures) {
    TFigure figure;
    figure.SetType(static_cast<uint8_t>(entry), Type);
    figure.MoveBy(RealPoint(static_cast<float>(Anim.Middle().x()), static_cast<float>(Anim.Middle().y())));
    after.WorkingFrame.Items.push_back(std::move(figure));
    after.SelectedFigure = after.WorkingFrame.Count() - 1;
    after.AlsoSelected.clear();
  }
  Push(new TFramesCommand(*this, Caption, {}, State, after, {{std::move(Type), Name}}));
}
