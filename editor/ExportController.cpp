// SPDX-License-Identifier: GPL-3.0-or-later
// Save Animation and the exports it hands over to.

#include "editor/ExportController.h"

#include <QAction>
#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "editor/MainControls.h"
#include "editor/ProjectController.h"
#include "export/windows/GifSaveUnit.h"
#include "export/windows/ProgressUnit.h"
#include "model/Document.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

TExportController::TExportController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring,
                                     TProjectController& Project, TGifOptionsForm& Options, TProgressForm& Progress)
    : QObject(Wiring.Parent()),
      Doc(Doc),
      Ui(Ui),
      Wiring(Wiring),
      Project(Project),
      Options(Options),
      Progress(Progress) {
  Wiring.Connect(Ui.SaveAnimationAction, this, &TExportController::SaveAnimationClick);
  Wiring.Connect(Ui.SaveAnimationHotkey, this, &TExportController::SaveAnimationClick);
}

void TExportController::SaveAnimationClick() {
  if (Doc.Animation().Frames.empty()) {
    Wiring.Dialogs().ShowMessage(Wiring.Parent(),
                                 QStringLiteral("You must create at least 1 frame before saving an animation"));
    return;
  }
  TFileDialogRequest request;
  request.Filters = SaveDialogFilters();
  request.FilterIndex = SaveDialogFilterIndex;
  request.DefaultExt = QStringLiteral("tvl");
  request.FileName = SaveDialogFileName;
  const TFileDialogResult chosen = Wiring.Dialogs().SaveFile(Wiring.Parent(), request);
  if (chosen.Accepted) {
    // The type written, which a typed ending may have chosen, is offered next time.
    SaveDialogFilterIndex = chosen.FilterIndex;
    const TExportType& type = ExportTypeOfFilter(chosen.FilterIndex);
    const QString base = ExportBaseName(type, chosen.Path);
    // The question is about the files that will be written, which take
    // their ending from the chosen file type, not from the typed name.
    if (!MayReplace(Wiring, FilesWritten(type, base, Doc.Animation()))) {
      // The dialog offers the name again next time.
      SaveDialogFileName = chosen.Path;
      return;
    }
    TWaitCursor wait(Ui.EditImage);
    Export(type, base);
  }
  SaveDialogFileName.clear();
}

void TExportController::Export(const TExportType& Type, const QString& Base) {
  // The file type decides the format; the dialog seam has already let a
  // typed ending that names one of the types choose it.
  if (Type.Write == nullptr) return Project.SaveProject(Base);
  if (Type.OptionsTitle == nullptr) return WriteWithProgress(Type, Base);
  Options.SetExport(Doc.Animation(), Base, Type.Id, Ui.Lines());
  Options.SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Wiring.Dialogs().ExecModal(Options);
}

void TExportController::WriteWithProgress(const TExportType& Type, const QString& Base) {
  Wiring.Run([&] {
    // The progress window is painted, but no input is handled until the last file is written.
    const auto paint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    struct THideAfter {
      TProgressForm& Form;
      ~THideAfter() { Form.hide(); }
    } hideAfter{Progress};
    Progress.show();
    paint();
    TGifExportOptions options;
    options.Lines = Ui.Lines();
    Type.Write({.Target = ExportTarget(Type, Base),
                .Animation = Doc.Animation(),
                .Options = options,
                .Progress = [&](int Percent) {
                  Progress.ProgressBar->setValue(Percent);
                  paint();
                }});
  });
}
