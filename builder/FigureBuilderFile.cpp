// SPDX-License-Identifier: GPL-3.0-or-later
// The builder's File menu: New, Open, Save, Save As and Add To Animation.

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

#include "builder/FigureBuilderUnit.h"
#include "builder/FigureTypeHost.h"
#include "builder/NameUnit.h"
#include "builder/UpDown.h"
#include "files/CodePage.h"
#include "files/FileNames.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "model/Rounding.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

namespace {

TFileDialogRequest StkDialog() {
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Stick Figure File (*.stk)")};
  request.DefaultExt = QStringLiteral("stk");
  return request;
}

}  // namespace

void TFigureBuilderForm::NewClick() {
  const TTypeFileState before = TypeFileState();
  Initialize();
  ReportChangeSince(before);
}

void TFigureBuilderForm::OpenClick() {
  const TFileDialogResult chosen = Dialogs.OpenFile(this, StkDialog());
  if (chosen.Accepted) OpenFigure(chosen.Path);
}

void TFigureBuilderForm::OpenFigure(const QString& Path) {
  // The whole file is read and checked before anything changes.
  const TFigureType loaded = ReadStkFile(ReadFileStart(Path, MaxStkFileBytes));
  const TTypeFileState before = TypeFileState();
  AssignUndo();
  // Undo Open gives back the file name with the figure, so a Save after it
  // never writes the old figure into the file just opened.
  UndoFigureFileName = FigureFileName;
  SetUndoCaption(QStringLiteral("Undo Open"));
  FigureFileName = Path;
  Type().Assign(loaded);

  // A pending add or duplicate referred to the figure that is gone.
  EndPendingModes();
  SelectedSegment = 0;

  ShowLoadedType();
  ReportChangeSince(before);
}

QByteArray TFigureBuilderForm::WorkingTypeFile() const {
  TFigureType type;
  type.Assign(WorkType());
  PoseRecords(type);
  return StkFileBytes(type);
}

void TFigureBuilderForm::RecoverType(const TFigureType& Type, const QString& FileName) {
  const TTypeFileState before = TypeFileState();
  LoadType(Type);
  FigureFileName = FileName;
  ShowInFront();
  ReportChangeSince(before);
}

TFigureBuilderForm::TTypeFileState TFigureBuilderForm::TypeFileState() const {
  return {WorkingTypeFile(), FigureFileName};
}

void TFigureBuilderForm::ReportChangeSince(const TTypeFileState& Before) {
  if (TypeFileState() != Before) emit TypeChanged();
}

void TFigureBuilderForm::PoseRecords(TFigureType& Type) const {
  for (std::size_t i = 0; i < Type.Segments.size(); ++i) {
    if (i < WorkFigure.Angles.size()) Type.Segments[i].Angle = WorkFigure.Angles[i];
    Type.Segments[i].Static = i < StaticFlags.size() && StaticFlags[i] ? 1 : 0;
  }
}

void TFigureBuilderForm::StoreWorkPoseInRecords() { PoseRecords(Type()); }

void TFigureBuilderForm::ClearStaticBytes() {
  for (TSegmentStruct& s : Type().Segments) s.Static = 0;
}

void TFigureBuilderForm::SaveFigureTypeAs(const QString& Path) {
  StoreWorkPoseInRecords();
  const QByteArray file = StkFileBytes(Type());
  // The static flags live in StaticFlags while the builder edits; the
  // records carry them only in the file, whether or not the write succeeds.
  ClearStaticBytes();
  WriteWholeFile(Path, file);
}

void TFigureBuilderForm::SaveClick() {
  if (FigureFileName.isEmpty()) {
    SaveAsClick();
    return;
  }
  SaveFigureTypeAs(FigureFileName);
}

void TFigureBuilderForm::SaveAsClick() {
  const TFileDialogResult chosen = Dialogs.SaveFile(this, StkDialog());
  if (!chosen.Accepted) return;
  // After No the builder still names the file it had: a later Save never
  // writes into the file the user refused to replace.
  if (QFileInfo::exists(chosen.Path) && !Dialogs.AskYesNo(this, ReplaceQuestion({chosen.Path}))) return;
  if (chosen.Path != FigureFileName) {
    // Sent before the write: the builder names the new file even if it fails.
    FigureFileName = chosen.Path;
    emit TypeChanged();
  }
  SaveFigureTypeAs(FigureFileName);
}

void TFigureBuilderForm::AddToAnimationClick() {
  if (Host == nullptr) return;
  if (Host->FigureTypeNames().size() + 1 >= MaxFigureTypes) {
    Dialogs.ShowMessage(this, QStringLiteral("you cannot add any more figure types"));
    return;
  }
  QString name;
  if (!FigureFileName.isEmpty()) {
    name = FigureTypeNameOf(FigureFileName);
  } else {
    // Escape or the close box add nothing.
    const bool named = Dialogs.ExecModal(*NameForm) == QDialog::Accepted;
    name = StorableName(NameForm->NameEdit->text());
    NameForm->NameEdit->clear();
    if (!named) return;
  }
  // Names are compared as the project file will hold them.
  if (Host->FigureTypeNames().contains(name, Qt::CaseSensitive)) {
    Dialogs.ShowMessage(this, QStringLiteral("a figure type with that name already exists"));
    return;
  }
  StoreWorkPoseInRecords();
  // The animation gets a copy with the static bytes and the pose shown.
  Host->AddFigureType(Type(), name);
  ClearStaticBytes();
  hide();
}
