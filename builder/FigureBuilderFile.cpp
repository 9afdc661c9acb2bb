// The builder's File menu: New, Open, Save, Save As and Add To Animation.

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

#include "builder/FigureBuilderUnit.h"
#include "builder/FigureTypeHost.h"
#include "builder/NameUnit.h"
#include "builder/UpDown.h"
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

void TFigureBuilderForm::New1Click() { Initialize(); }

void TFigureBuilderForm::Open1Click() {
  const TFileDialogResult chosen = Dialogs.OpenFile(this, StkDialog());
  if (chosen.Accepted) OpenFigure(chosen.Path);
}

void TFigureBuilderForm::OpenFigure(const QString& Path) {
  // The whole file is read and checked before anything changes.
  const TFigureType loaded = ReadStkFile(ReadWholeFile(Path));
  FigureFileName = Path;
  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Open"));
  Type().Assign(loaded);

  GrabbedHandle = NoHandle;
  ChoosingStartVertex = false;
  PlacingSegment = false;
  MoveUndoPending = false;
  SelectedSegment = 0;
  Image1->unsetCursor();

  ShowLoadedType();
}

void TFigureBuilderForm::StoreWorkPoseInRecords() {
  TFigureType& type = Type();
  for (std::size_t i = 0; i < type.Segments.size(); ++i) {
    type.Segments[i].Angle = WorkFigure.Angles[i];
    type.Segments[i].Static = StaticFlags[i] ? 1 : 0;
  }
}

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

void TFigureBuilderForm::Save1Click() {
  if (FigureFileName.isEmpty()) {
    SaveAs1Click();
    return;
  }
  SaveFigureTypeAs(FigureFileName);
}

void TFigureBuilderForm::SaveAs1Click() {
  const TFileDialogResult chosen = Dialogs.SaveFile(this, StkDialog());
  if (!chosen.Accepted) return;
  FigureFileName = chosen.Path;
  if (QFileInfo::exists(FigureFileName) &&
      !Dialogs.AskYesNo(this, QStringLiteral("A file with that name already exists. Would you like to replace it?")))
    return;
  SaveFigureTypeAs(FigureFileName);
}

void TFigureBuilderForm::AddToAnimation1Click() {
  if (Host == nullptr) return;
  if (FigureTypeCount() >= MaxFigureTypes) {
    Dialogs.ShowMessage(this, QStringLiteral("you cannot add any more figure types"));
    return;
  }
  QString name;
  if (!FigureFileName.isEmpty()) {
    name = FileName(FigureFileName, false);
  } else if (NameForm != nullptr) {
    Dialogs.ExecModal(*NameForm);
    name = NameForm->Edit1->text();
    NameForm->Edit1->clear();
  }
  if (Host->FigureTypeNames().contains(name, Qt::CaseSensitive)) {
    Dialogs.ShowMessage(this, QStringLiteral("a figure type with that name already exists"));
    return;
  }
  StoreWorkPoseInRecords();
  auto added = std::make_unique<TFigureType>();
  added->Assign(Type());
  FigureTypes.push_back(std::move(added));
  Host->AppendFigureTypeName(name);
  Host->AddFigureButtonClick();
  ClearStaticBytes();
  hide();
}
