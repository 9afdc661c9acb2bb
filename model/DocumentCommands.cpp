// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DocumentCommands.h"

#include <algorithm>

namespace {

QString CaptionOf(TFigureChange Change) {
  switch (Change) {
    case TFigureChange::Drag:
      return QStringLiteral("Move Figure");
    case TFigureChange::Center:
      return QStringLiteral("Center Figure");
    case TFigureChange::Flip:
      return QStringLiteral("Flip Figure");
    case TFigureChange::Color:
      return QStringLiteral("Colour Figure");
    case TFigureChange::Scale:
      return QStringLiteral("Scale Figure");
    case TFigureChange::Pin:
      return QStringLiteral("Pin Joint");
  }
  return {};
}

}  // namespace

TMergeId MergeIdOf(TFigureChange Change) {
  switch (Change) {
    case TFigureChange::Drag:
      return TMergeId::Drag;
    case TFigureChange::Scale:
      return TMergeId::Scale;
    default:
      return TMergeId::None;
  }
}

TSharedFrame TFrameShare::Share(const TFigures& Frame) {
  for (const std::weak_ptr<const TFigures>& recent : Recent)
    if (TSharedFrame held = recent.lock(); held && *held == Frame) return held;
  TSharedFrame made = std::make_shared<const TFigures>(Frame);
  Recent[Next] = made;
  Next = (Next + 1) % Recent.size();
  return made;
}

TStoredEdit::TStoredEdit(TFrameShare& Share, const TEditState& Edit)
    : Working(Share.Share(Edit.WorkingFrame)),
      EditedFrameIndex(Edit.EditedFrameIndex),
      SelectedFigure(Edit.SelectedFigure),
      AlsoSelected(Edit.AlsoSelected),
      Ghost(Edit.Ghost ? Share.Share(*Edit.Ghost) : nullptr) {}

TEditState TStoredEdit::State() const {
  TEditState state{*Working, EditedFrameIndex, SelectedFigure, AlsoSelected, std::nullopt};
  if (Ghost) state.Ghost = *Ghost;
  return state;
}

TPicture TPicture::Of(const TAnimation& A, TPictureKeeper& Keeper) {
  return {A.Width,    A.Height,   Keeper.Keep(A.Background), A.HasBackground, A.BackgroundKind, A.BackgroundJpeg,
          A.JpegSize, A.JpegShown};
}

void TPicture::SetInto(TAnimation& A) const {
  A.Background = Background->Load();
  A.Width = Width;
  A.Height = Height;
  A.HasBackground = HasBackground;
  A.BackgroundKind = BackgroundKind;
  A.BackgroundJpeg = BackgroundJpeg;
  A.JpegSize = JpegSize;
  A.JpegShown = JpegShown;
}

TDocumentCommand::TDocumentCommand(TDocument& Doc, const QString& Caption, bool Content, TMergeId Merge)
    : QUndoCommand(Caption), Doc(Doc), Revision(Content ? Doc.NewRevision() : 0), Merge(Merge), Gesture(Doc.Gesture) {}

bool TDocumentCommand::mergeWith(const QUndoCommand* Next) {
  const auto& next = static_cast<const TDocumentCommand&>(*Next);
  if (next.Gesture != Gesture || !Absorb(next)) return false;
  setObsolete(ChangesNothing());
  return true;
}

TFigureCommand::TFigureCommand(TDocument& Doc, TFigureChange Kind, std::vector<TChange> Changes, int Selection,
                               std::vector<int> AlsoSelected)
    : TDocumentCommand(Doc, CaptionOf(Kind), false, MergeIdOf(Kind)),
      Changes(std::move(Changes)),
      Selection(Selection),
      AlsoSelected(std::move(AlsoSelected)) {}

bool TFigureCommand::Absorb(const TDocumentCommand& Next) {
  const auto& next = static_cast<const TFigureCommand&>(Next);
  const auto sameFigures = [](const TChange& A, const TChange& B) { return A.Index == B.Index; };
  if (!std::equal(Changes.begin(), Changes.end(), next.Changes.begin(), next.Changes.end(), sameFigures)) return false;
  for (std::size_t i = 0; i < Changes.size(); ++i) Changes[i].After = next.Changes[i].After;
  return true;
}

bool TFigureCommand::ChangesNothing() const {
  return std::all_of(Changes.begin(), Changes.end(), [](const TChange& C) { return C.Before == C.After; });
}

void TFigureCommand::Apply(bool Undone) {
  TEditState& state = Edit();
  for (const TChange& change : Changes)
    state.WorkingFrame.Items.at(static_cast<std::size_t>(change.Index)) = Undone ? change.Before : change.After;
  const bool selectionMoved = state.SelectedFigure != Selection || state.AlsoSelected != AlsoSelected;
  state.SelectedFigure = Selection;
  state.AlsoSelected = AlsoSelected;
  if (selectionMoved || Changes.size() != 1)
    emit Document().EditChanged();
  else
    emit Document().FigureChanged(Changes.front().Index);
}

TEditCommand::TEditCommand(TDocument& Doc, const QString& Caption, const TEditState& Before, const TEditState& After)
    : TDocumentCommand(Doc, Caption, false), Before(Frames(), Before), After(Frames(), After) {}

TFramesCommand::TFramesCommand(TDocument& Doc, const QString& Caption, std::vector<TOp> Ops, const TEditState& Before,
                               const TEditState& After, TNamedTypes Types)
    : TDocumentCommand(Doc, Caption, true),
      Types(std::move(Types)),
      Ops(std::move(Ops)),
      Before(Frames(), Before),
      After(Frames(), After) {}

void TFramesCommand::redo() {
  for (const auto& [type, name] : Types) Animation().Types.Append(type, name);
  if (!Types.empty()) emit Document().TypesChanged();
  for (const TOp& op : Ops) Apply(op, true);
  SetEdit(After.State());
}

void TFramesCommand::undo() {
  for (auto op = Ops.rbegin(); op != Ops.rend(); ++op) Apply(*op, false);
  for (std::size_t i = 0; i < Types.size(); ++i) Animation().Types.RemoveLast();
  if (!Types.empty()) emit Document().TypesChanged();
  SetEdit(Before.State());
}

void TFramesCommand::Apply(const TOp& Op, bool Forward) {
  std::vector<TFigures>& frames = Animation().Frames;
  const bool insert = (Op.Kind == TOp::Insert) == Forward;
  int64_t& ticks = Ticks();
  if (Op.Kind == TOp::Replace) {
    TFigures& frame = frames.at(static_cast<std::size_t>(Op.At));
    ticks -= frame.Hold;
    frame = Forward ? *Op.After : *Op.Before;
    ticks += frame.Hold;
    emit Document().FrameChanged(Op.At);
  } else if (insert) {
    const TFigures& frame = *frames.insert(frames.begin() + Op.At, Forward ? *Op.After : *Op.Before);
    ticks += frame.Hold;
    emit Document().FramesInserted(Op.At, 1, Forward ? Op.Like : -1);
  } else {
    ticks -= frames[static_cast<std::size_t>(Op.At)].Hold;
    frames.erase(frames.begin() + Op.At);
    emit Document().FramesRemoved(Op.At, 1);
  }
}

TRateCommand::TRateCommand(TDocument& Doc, int32_t Before, int32_t After)
    : TDocumentCommand(Doc, QStringLiteral("Playback Rate"), true, TMergeId::Rate), Before(Before), After(After) {}

bool TRateCommand::Absorb(const TDocumentCommand& Next) {
  After = static_cast<const TRateCommand&>(Next).After;
  return true;
}

void TRateCommand::Apply(int32_t Interval) {
  Animation().PlaybackInterval = Interval;
  emit Document().RateChanged();
}

TPictureCommand::TPictureCommand(TDocument& Doc, const QString& Caption, TPicture Before, TPicture After,
                                 const TEditState& EditBefore, const TEditState& EditAfter)
    : TDocumentCommand(Doc, Caption, true),
      Before(std::move(Before)),
      After(std::move(After)),
      EditBefore(Frames(), EditBefore),
      EditAfter(Frames(), EditAfter) {}

std::optional<QSize> TPictureCommand::SizeAfter(bool Undone) const {
  const TPicture& p = Undone ? Before : After;
  return QSize(p.Width, p.Height);
}

void TPictureCommand::Apply(const TPicture& Picture, const TStoredEdit& Edit) {
  Picture.SetInto(Animation());
  emit Document().PictureChanged();
  SetEdit(Edit.State());
}
