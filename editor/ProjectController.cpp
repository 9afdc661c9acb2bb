// SPDX-License-Identifier: GPL-3.0-or-later
// New, Open Animation, Save, the save question, recovered work, Exit.

#include "editor/ProjectController.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <optional>

#include "editor/CanvasController.h"
#include "editor/MainControls.h"
#include "files/FileNames.h"
#include "files/ProjectFile.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ProgramPaths.h"

namespace {
const QString TvlFilter = QStringLiteral("Tavel File (*.tvl)");
}  // namespace

TWaitCursor::TWaitCursor(QWidget* Area, bool Repaint) : Area(Area) {
  Area->setCursor(Qt::WaitCursor);
  if (Repaint) Area->window()->repaint();
}

TWaitCursor::~TWaitCursor() { Area->unsetCursor(); }

bool MayReplace(const TWiring& Wiring, const QStringList& Paths) {
  const bool any = std::any_of(Paths.begin(), Paths.end(), [](const QString& P) { return QFileInfo::exists(P); });
  return !any || Wiring.Dialogs().AskYesNo(Wiring.Parent(), ReplaceQuestion(Paths));
}

TProjectController::TProjectController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, QMainWindow& Window,
                                       TCanvasController& Canvas)
    : QObject(&Window), Doc(Doc), Ui(Ui), Wiring(Wiring), Window(Window), Canvas(Canvas) {
  Wire();
  ShowTitle();
  connect(&Doc, &TDocument::SavedChanged, this, &TProjectController::ShowTitle);
  connect(&Doc, &TDocument::DocumentReset, this, &TProjectController::ShowTitle);
}

void TProjectController::Wire() {
  Wiring.Connect(Ui.NewAction, this, &TProjectController::NewClick);
  Wiring.Connect(Ui.OpenAnimationAction, this, &TProjectController::OpenAnimationClick);
  Wiring.Connect(Ui.OpenAnimationHotkey, this, &TProjectController::OpenAnimationClick);
  Wiring.Connect(Ui.SaveAction, this, &TProjectController::SaveClick);
  Wiring.Connect(Ui.ExitAction, this, &TProjectController::ExitClick);
}

void TProjectController::ShowTitle() {
  // The caption the program has always had, after the project's file name
  // when it has one; "*" marks unsaved changes, as desktop programs do.
  const QString caption = QStringLiteral("Tavel: Hotkeys");
  const QString& path = Doc.FilePath();
  Window.setWindowTitle(path.isEmpty() ? caption + QStringLiteral("[*]")
                                       : QFileInfo(path).fileName() + QStringLiteral("[*] - ") + caption);
  Window.setWindowModified(!Doc.IsSaved());
}

void TProjectController::NewClick() { NewProject(); }

void TProjectController::ExitClick() { Window.close(); }

void TProjectController::NewProject() {
  // The new animation keeps the size; its pictures come first: when one
  // cannot be made, nothing has changed.
  TAnimation animation;
  animation.Width = Doc.Animation().Width;
  animation.Height = Doc.Animation().Height;
  animation.Background = TAnimation::WhiteBackground(animation.Size());
  Canvas.StagePictures(animation.Size());
  if (!DestroyProject()) {
    Canvas.DropStagedPictures();
    return;
  }
  Doc.SetFilePath(QString());
  TEditState start = TDocument::StartState(animation);
  Doc.Reset(std::move(animation), std::move(start));
}

bool TProjectController::DestroyProject() { return Doc.IsSaved() || SaveProjectAsTvl(); }

void TProjectController::SaveProject(const QString& BaseName) {
  WriteProjectFile(BaseName, Doc.Animation());
  Doc.SetFilePath(ProjectFilePath(BaseName));
  Doc.MarkSaved();
  ShowTitle();
}

void TProjectController::SaveClick() {
  if (Doc.FilePath().isEmpty()) {
    emit SaveAsRequested();
    return;
  }
  TWaitCursor wait(Ui.EditImage);
  SaveProject(RemoveExtention(Doc.FilePath()));
}

bool TProjectController::SaveProjectAsTvl() {
  const TAnswer answer =
      Wiring.Dialogs().AskYesNoCancel(Wiring.Parent(), QStringLiteral("Would you like to save the current project?"));
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
    const TFileDialogResult chosen = Wiring.Dialogs().SaveFile(Wiring.Parent(), request);
    if (!chosen.Accepted) break;
    const QString base = RemoveExtention(chosen.Path);
    if (!MayReplace(Wiring, {ProjectFilePath(base)})) continue;
    Wiring.Run([&] {
      SaveProject(base);
      saved = true;
    });
    break;
  }
  // Yes means save: when no file was written, the work is kept and the
  // command that asked does not go on.
  return saved;
}

void TProjectController::LoadProject(const QString& Path) {
  // Everything is read and checked, and every picture made, before the open
  // animation is touched.
  std::optional<TAnimation> project;
  {
    TWaitCursor wait(Ui.EditImage, false);
    project.emplace(ReadProjectFile(Path));
    Canvas.StagePictures(project->Size());
  }
  if (!DestroyProject()) {
    Canvas.DropStagedPictures();
    return;
  }
  TWaitCursor wait(Ui.EditImage, false);
  Doc.SetFilePath(Path);
  TEditState opened = TDocument::OpenedState(*project);
  Doc.Reset(std::move(*project), std::move(opened));
  if (Doc.Animation().SkippedNewerParts)
    Ui.StatusBar->showMessage(QStringLiteral("Parts of this project were made by a newer version and are not shown."));
}

void TProjectController::RecoverProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path) {
  Canvas.StagePictures(Animation.Size());
  Doc.SetFilePath(Path);
  Doc.Reset(std::move(Animation), std::move(Edit), false);
}

void TProjectController::OpenAnimationClick() {
  TFileDialogRequest request;
  request.Filters = {TvlFilter};
  request.DefaultExt = QStringLiteral("tvl");
  request.InitialDir = AnimationsFolder();
  const TFileDialogResult chosen = Wiring.Dialogs().OpenFile(Wiring.Parent(), request);
  if (!chosen.Accepted) return;
  LoadProject(chosen.Path);
}
