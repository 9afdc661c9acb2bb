// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu's project commands: New, Open Animation, Save Animation,
// the save question that guards unsaved work, installing a project that was
// read, and Load Figure Type.

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QScrollArea>
#include <optional>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"
#include "editor/TimelineStrip.h"
#include "export/BitmapExport.h"
#include "export/PngExport.h"
#include "files/FileNames.h"
#include "files/ProjectFile.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "model/Common.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ProgramPaths.h"

namespace {

const QString TvlFilter = QStringLiteral("Tavel File (*.tvl)");

// The hourglass over the drawing area for as long as a command runs, also
// when it ends with an error; with Repaint, the window is brought up to date
// first, as the command will not let it paint until it ends.
class TWaitCursor {
 public:
  explicit TWaitCursor(QWidget* Area, bool Repaint = true) : Area(Area) {
    Area->setCursor(Qt::WaitCursor);
    if (Repaint) Area->window()->repaint();
  }
  ~TWaitCursor() { Area->unsetCursor(); }

 private:
  QWidget* Area;
};

}  // namespace

void TMainForm::NewClick() {
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  NewProject();
}

void TMainForm::ExitClick() { close(); }

void TMainForm::CreateFigureTypeClick() {
  // The builder shows as it was left.
  BuilderWindow->ShowInFront();
}

void TMainForm::SaveProject(const QString& BaseName) {
  WriteProjectFile(BaseName, Animation());
  Doc.SetFilePath(ProjectFilePath(BaseName));
  RememberPlaybackRate();
  Doc.MarkSaved();
  ShowTitle();
}

void TMainForm::SaveClick() {
  if (Doc.FilePath().isEmpty()) {
    SaveAnimationClick();
    return;
  }
  TWaitCursor wait(Ui.EditImage);
  SaveProject(RemoveExtention(Doc.FilePath()));
}

bool TMainForm::SaveProjectAsTvl() {
  const TAnswer answer = Dialogs.AskYesNoCancel(this, QStringLiteral("Would you like to save the current project?"));
  // Cancel (also Escape or the close box) calls off the command that asked.
  if (answer == TAnswer::Cancel) return false;
  if (answer == TAnswer::No) return true;
  TFileDialogRequest request;
  request.Filters = {TvlFilter};
  request.DefaultExt = QStringLiteral("tvl");
  bool saved = false;
  for (;;) {
    // The dialog never proposes a name: not one the user has just refused
    // to replace, here or in Save Animation.
    const TFileDialogResult chosen = Dialogs.SaveFile(this, request);
    if (!chosen.Accepted) break;
    const QString base = RemoveExtention(chosen.Path);
    if (!MayReplace({ProjectFilePath(base)})) continue;
    Guard([&] {
      SaveProject(base);
      saved = true;
    });
    break;
  }
  // Yes means save: when no file was written, the work is kept and the
  // command that asked does not go on.
  return saved;
}

bool TMainForm::MayReplace(const QStringList& Paths) {
  const bool any = std::any_of(Paths.begin(), Paths.end(), [](const QString& P) { return QFileInfo::exists(P); });
  return !any || Dialogs.AskYesNo(this, ReplaceQuestion(Paths));
}

QStringList TMainForm::FilesWritten(int FilterIndex, const QString& Base) const {
  switch (FilterIndex) {
    case 0:
      return {ProjectFilePath(Base)};
    case 1:
      return {Base + QStringLiteral(".gif")};
    case 2:
    case 3: {
      QStringList names;
      const int frames = static_cast<int>(Animation().Frames.size());
      for (int i = 0; i < frames; ++i)
        names << (FilterIndex == 2 ? BitmapFileName(Base, i, frames) : PngFileName(Base, i, frames));
      return names;
    }
    case 4:
      return {Base + QStringLiteral(".apng")};
    default:
      return {Base};
  }
}

QString TMainForm::ExportBaseName(int FilterIndex, const QString& Path) {
  // ".apng" has five characters, which the four-character rule leaves.
  if (FilterIndex == 4 && Path.endsWith(QLatin1String(".apng"), Qt::CaseInsensitive)) return Path.chopped(5);
  // A video keeps the ending of its type, which ExportVideo reads the format from.
  if (FilterIndex == 5 || FilterIndex == 6) {
    const QString ending = FilterIndex == 5 ? QStringLiteral(".mp4") : QStringLiteral(".webm");
    return Path.endsWith(ending, Qt::CaseInsensitive) ? Path : RemoveExtention(Path) + ending;
  }
  return RemoveExtention(Path);
}

void TMainForm::LoadProject(const QString& Path) {
  // Everything is read and checked, and every picture made, before the open
  // animation is touched.
  std::optional<TAnimation> project;
  {
    TWaitCursor wait(Ui.EditImage, false);
    project.emplace(ReadProjectFile(Path));
    MadePictures = MakeDrawingPictures(project->Size());
  }
  if (!DestroyProject()) {
    MadePictures.reset();
    return;
  }
  TWaitCursor wait(Ui.EditImage, false);
  Doc.SetFilePath(Path);
  TEditState opened = TDocument::OpenedState(*project);
  Doc.Reset(std::move(*project), std::move(opened));
  RecallPlaybackRate();
}

void TMainForm::RecoverProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path) {
  MadePictures = MakeDrawingPictures(Animation.Size());
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  Doc.SetFilePath(Path);
  Doc.Reset(std::move(Animation), std::move(Edit), false);
  RecallPlaybackRate();
}

void TMainForm::OpenAnimationClick() {
  TFileDialogRequest request;
  request.Filters = {TvlFilter};
  request.DefaultExt = QStringLiteral("tvl");
  request.InitialDir = AnimationsFolder();
  const TFileDialogResult chosen = Dialogs.OpenFile(this, request);
  if (!chosen.Accepted) return;
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  LoadProject(chosen.Path);
}

void TMainForm::SaveAnimationClick() {
  if (Animation().Frames.empty()) {
    Dialogs.ShowMessage(this, QStringLiteral("You must create at least 1 frame before saving an animation"));
    return;
  }
  TFileDialogRequest request;
  request.Filters = {TvlFilter,
                     QStringLiteral("Gif (*.gif)"),
                     QStringLiteral("Bitmap (*.bmp)"),
                     QStringLiteral("PNG (*.png)"),
                     QStringLiteral("Animated PNG (*.apng)"),
                     QStringLiteral("MP4 video (*.mp4)"),
                     QStringLiteral("WebM video (*.webm)")};
  request.FilterIndex = SaveDialogFilterIndex;
  request.DefaultExt = QStringLiteral("tvl");
  request.FileName = SaveDialogFileName;
  const TFileDialogResult chosen = Dialogs.SaveFile(this, request);
  if (chosen.Accepted) {
    // The type written, which a typed ending may have chosen, is offered next time.
    SaveDialogFilterIndex = chosen.FilterIndex;
    const QString base = ExportBaseName(chosen.FilterIndex, chosen.Path);
    // The question is about the files that will be written, which take
    // their ending from the chosen file type, not from the typed name.
    if (!MayReplace(FilesWritten(chosen.FilterIndex, base))) {
      // The dialog offers the name again next time.
      SaveDialogFileName = chosen.Path;
      return;
    }
    TWaitCursor wait(Ui.EditImage);
    // The file type decides the format; the dialog seam has already let a
    // typed ending that names one of the types choose it.
    switch (chosen.FilterIndex) {
      case 0:
        SaveProject(base);
        break;
      case 1:
        ExportGif(base);
        break;
      case 2:
        ExportBitmaps(base);
        break;
      case 3:
        ExportPngs(base);
        break;
      case 4:
        ExportAnimatedPng(base);
        break;
      default:
        ExportVideo(base);
        break;
    }
  }
  SaveDialogFileName.clear();
}

void TMainForm::LoadFigureClick() {
  if (Animation().Types.Count() >= MaxFigureTypes) {
    Dialogs.ShowMessage(this, QStringLiteral("you cannot add any more figure types"));
    return;
  }
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Stick Figure File (*.stk)")};
  request.DefaultExt = QStringLiteral("stk");
  request.InitialDir = StickFiguresFolder();
  const TFileDialogResult chosen = Dialogs.OpenFile(this, request);
  if (!chosen.Accepted) return;

  const QString name = FigureTypeNameOf(chosen.Path);
  // A type of that name is already listed: only a figure of it is added.
  const int listed = static_cast<int>(FigureTypeNames().indexOf(name));
  if (listed >= 0) {
    Ui.FigureComboBox->setCurrentIndex(listed);
    Doc.AddFigure(listed + 1);
    return;
  }
  auto type = std::make_shared<const TFigureType>(ReadStkFile(ReadFileStart(chosen.Path, MaxStkFileBytes)));
  Doc.AddFigureType(std::move(type), name, QStringLiteral("Load Figure Type"));
}
