// SPDX-License-Identifier: GPL-3.0-or-later
// Following the document: whatever a command (or an undo, or a redo)
// changed reaches the drawing area, the thumbnail strip, the type list and
// the controls through the document's signals.

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

void TMainForm::FollowDocument() {
  connect(&Doc, &TDocument::DocumentReset, this, [this] { OnDocumentReset(); });
  connect(&Doc, &TDocument::EditChanged, this, [this] { OnEditChanged(); });
  connect(&Doc, &TDocument::FigureChanged, this, [this](int Index) { OnFigureChanged(Index); });
  connect(&Doc, &TDocument::PictureChanged, this, [this] { OnPictureChanged(); });
  connect(&Doc, &TDocument::TypesChanged, this, [this] { OnTypesChanged(); });
  connect(&Doc, &TDocument::FramesInserted, this,
          [this](int At, int Count, int Like) { OnFramesInserted(At, Count, Like); });
  connect(&Doc, &TDocument::FramesRemoved, this, [this](int At, int Count) { OnFramesRemoved(At, Count); });
  connect(&Doc, &TDocument::FrameChanged, this, [this](int At) { OnFrameChanged(At); });
  connect(&Doc, &TDocument::SavedChanged, this, [this] { ShowTitle(); });
  Doc.SetStepPreparation([this](QSize SizeAfter) { PrepareHistoryStep(SizeAfter); });
  const QUndoStack& history = Doc.History();
  connect(&history, &QUndoStack::canUndoChanged, Ui.UndoAction, &QAction::setEnabled);
  connect(&history, &QUndoStack::canRedoChanged, Ui.RedoAction, &QAction::setEnabled);
  connect(&history, &QUndoStack::undoTextChanged, Ui.UndoAction,
          [this](const QString& Text) { Ui.UndoAction->setText(QStringLiteral("&Undo %1").arg(Text).trimmed()); });
  connect(&history, &QUndoStack::redoTextChanged, Ui.RedoAction,
          [this](const QString& Text) { Ui.RedoAction->setText(QStringLiteral("&Redo %1").arg(Text).trimmed()); });
}

void TMainForm::ShowTitle() {
  // The caption the program has always had, after the project's file name
  // when it has one; "*" marks unsaved changes, as desktop programs do.
  const QString caption = QStringLiteral("Tavel: Hotkeys");
  const QString& path = Doc.FilePath();
  setWindowTitle(path.isEmpty() ? caption + QStringLiteral("[*]")
                                : QFileInfo(path).fileName() + QStringLiteral("[*] - ") + caption);
  setWindowModified(!Doc.IsSaved());
}

namespace {
// The pictures made for the step just taken when they fit, else new ones.
TMainForm::TDrawingPictures Take(std::optional<TMainForm::TDrawingPictures>& Made, QSize Size, const TMainForm& Form) {
  std::optional<TMainForm::TDrawingPictures> made;
  made.swap(Made);
  if (made && made->Underlay.size() == Size && made->Area.size() == Size) return std::move(*made);
  return Form.MakeDrawingPictures(Size);
}
}  // namespace

void TMainForm::OnDocumentReset() {
  const TAnimation& animation = Animation();
  TDrawingPictures pictures = Take(MadePictures, animation.Size(), *this);
  Underlay = std::move(pictures.Underlay);
  SizeEditImage(std::move(pictures.Area));
  RefreshUnderlay(true);
  SelectedHandle = NoHandle;
  Ui.ClearBackgroundAction->setEnabled(animation.HasBackground);

  Ui.FigureComboBox->clear();
  Ui.FigureComboBox->addItems(animation.Types.ListedNames());
  Ui.FigureComboBox->setCurrentIndex(0);

  Ui.TimelineImages->Clear();
  SyncThumbnailSize();
  Ui.TimelineImages->Append(TThumbnailMaking::Supersampled, static_cast<int>(animation.Frames.size()));
  ShowMarkerAndControls();
  DrawFigures();
  ShowTitle();
  if (!animation.Frames.empty()) ScrollStripToEnd();
}

void TMainForm::OnEditChanged() {
  RefreshUnderlay(false);
  ShowMarkerAndControls();
  DrawFigures();
}

void TMainForm::OnFigureChanged(int Index) {
  if (!ScaleTyped) SetFigureControls(Doc.SelectedFigure());
  // A drag step redraws only what the dragged figure covered.
  // The cached layers hold one selected figure's handles; with several
  // selected the whole drawing is repainted.
  if (SelectedHandle != NoHandle && Index == Doc.SelectedFigure() && Doc.Edit().AlsoSelected.empty()) {
    Ui.EditImage->Changed(
        DragLayers.Repaint(Ui.EditImage->Picture(), Underlay, Doc.WorkingFrame(), Doc.SelectedFigure()));
    return;
  }
  DrawFigures();
}

void TMainForm::OnPictureChanged() {
  const TAnimation& animation = Animation();
  if (Ui.EditImage->Picture().size() != animation.Size() || Underlay.size() != animation.Size()) {
    TDrawingPictures pictures = Take(MadePictures, animation.Size(), *this);
    Underlay = std::move(pictures.Underlay);
    SizeEditImage(std::move(pictures.Area));
  }
  MadePictures.reset();
  // The editing state follows at once; Underlay is drawn again then.
  UnderlayFrames.clear();
  Underlay.fill(Qt::white);
  UnderlayStale = true;
  Ui.ClearBackgroundAction->setEnabled(animation.HasBackground);
  if (!animation.Frames.empty()) RedrawTimelineImages();
}

void TMainForm::OnTypesChanged() {
  const QStringList names = Animation().Types.ListedNames();
  const int before = Ui.FigureComboBox->count();
  const int current = Ui.FigureComboBox->currentIndex();
  Ui.FigureComboBox->clear();
  Ui.FigureComboBox->addItems(names);
  // A type just added is chosen; otherwise the choice stays where it can.
  Ui.FigureComboBox->setCurrentIndex(names.size() > before ? static_cast<int>(names.size()) - 1
                                                           : (current < names.size() ? std::max(current, 0) : 0));
}

void TMainForm::OnFramesInserted(int At, int Count, int Like) {
  SyncThumbnailSize();
  for (int i = 0; i < Count; ++i) {
    if (Like >= 0)
      Ui.TimelineImages->Insert(At + i, Like);
    else
      Ui.TimelineImages->InsertNew(At + i, TThumbnailMaking::FullSize);
  }
}

void TMainForm::OnFramesRemoved(int At, int Count) {
  for (int i = 0; i < Count; ++i) Ui.TimelineImages->Remove(At);
}

void TMainForm::OnFrameChanged(int At) { Ui.TimelineImages->FrameChanged(At, TThumbnailMaking::FullSize); }

void TMainForm::RefreshUnderlay(bool Force) {
  TUnderFrames frames = UnderFrames();
  if (!Force && !UnderlayStale && UnderlayFrames == frames) return;
  DrawUnderFrames(Underlay, frames);
  UnderlayFrames = std::move(frames);
  UnderlayStale = false;
  DragLayers.Invalidate();
}

void TMainForm::ShowMarkerAndControls() {
  const int edited = Doc.EditedFrameIndex();
  if (edited >= 0 && edited < Ui.TimelineImages->Count())
    PlaceMarker(edited);
  else
    HideMarker();
  const int count = Doc.WorkingFrame().Count();
  EnableFigureControls(count > 0);
  if (count > 0) SetFigureControls(Doc.SelectedFigure());
  ShowFramePosition();
}
