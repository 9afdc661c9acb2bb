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
#include "export/BitmapExport.h"
#include "export/PngExport.h"
#include "export/windows/GifSaveUnit.h"
#include "export/windows/ProgressUnit.h"
#include "files/FileNames.h"
#include "files/ProjectFile.h"
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

QStringList TExportController::FilesWritten(int FilterIndex, const QString& Base) const {
  switch (FilterIndex) {
    case 0:
      return {ProjectFilePath(Base)};
    case 1:
      return {Base + QStringLiteral(".gif")};
    case 2:
    case 3: {
      QStringList names;
      const int frames = static_cast<int>(Doc.Animation().Frames.size());
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

QString TExportController::ExportBaseName(int FilterIndex, const QString& Path) {
  // ".apng" has five characters, which the four-character rule leaves.
  if (FilterIndex == 4 && Path.endsWith(QLatin1String(".apng"), Qt::CaseInsensitive)) return Path.chopped(5);
  // A video keeps the ending of its type, which ExportVideo reads the format from.
  if (FilterIndex == 5 || FilterIndex == 6) {
    const QString ending = FilterIndex == 5 ? QStringLiteral(".mp4") : QStringLiteral(".webm");
    return Path.endsWith(ending, Qt::CaseInsensitive) ? Path : RemoveExtention(Path) + ending;
  }
  return RemoveExtention(Path);
}

void TExportController::SaveAnimationClick() {
  if (Doc.Animation().Frames.empty()) {
    Wiring.Dialogs().ShowMessage(Wiring.Parent(),
                                 QStringLiteral("You must create at least 1 frame before saving an animation"));
    return;
  }
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Tavel File (*.tvl)"),    QStringLiteral("Gif (*.gif)"),
                     QStringLiteral("Bitmap (*.bmp)"),        QStringLiteral("PNG (*.png)"),
                     QStringLiteral("Animated PNG (*.apng)"), QStringLiteral("MP4 video (*.mp4)"),
                     QStringLiteral("WebM video (*.webm)")};
  request.FilterIndex = SaveDialogFilterIndex;
  request.DefaultExt = QStringLiteral("tvl");
  request.FileName = SaveDialogFileName;
  const TFileDialogResult chosen = Wiring.Dialogs().SaveFile(Wiring.Parent(), request);
  if (chosen.Accepted) {
    // The type written, which a typed ending may have chosen, is offered next time.
    SaveDialogFilterIndex = chosen.FilterIndex;
    const QString base = ExportBaseName(chosen.FilterIndex, chosen.Path);
    // The question is about the files that will be written, which take
    // their ending from the chosen file type, not from the typed name.
    if (!MayReplace(Wiring, FilesWritten(chosen.FilterIndex, base))) {
      // The dialog offers the name again next time.
      SaveDialogFileName = chosen.Path;
      return;
    }
    TWaitCursor wait(Ui.EditImage);
    Export(chosen.FilterIndex, base);
  }
  SaveDialogFileName.clear();
}

void TExportController::Export(int FilterIndex, const QString& Base) {
  // The file type decides the format; the dialog seam has already let a
  // typed ending that names one of the types choose it.
  switch (FilterIndex) {
    case 0:
      return Project.SaveProject(Base);
    case 1:
      return ExportGif(Base);
    case 2:
      return ExportBitmaps(Base);
    case 3:
      return ExportPngs(Base);
    case 4:
      return ExportAnimatedPng(Base);
    default:
      return ExportVideo(Base);
  }
}

void TExportController::ExportGif(const QString& Base) {
  Options.SetExport(Doc.Animation(), Base, TAnimatedExport::Gif, Ui.Lines());
  Options.SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Wiring.Dialogs().ExecModal(Options);
}

void TExportController::ExportAnimatedPng(const QString& Base) {
  Options.SetExport(Doc.Animation(), Base, TAnimatedExport::AnimatedPng, Ui.Lines());
  Options.SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Wiring.Dialogs().ExecModal(Options);
}

void TExportController::ExportVideo(const QString& Path) {
  Options.SetExport(Doc.Animation(), Path, TAnimatedExport::Video, Ui.Lines());
  Options.SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Wiring.Dialogs().ExecModal(Options);
}

void TExportController::ExportBitmaps(const QString& Base) { ExportSequence(Base, SaveAnimationAsBitmaps); }

void TExportController::ExportPngs(const QString& Base) { ExportSequence(Base, SaveAnimationAsPngs); }

void TExportController::ExportSequence(const QString& Base, TSequenceExport Save) {
  Wiring.Run([&] {
    // The progress window is painted, but no input is handled until the last file is written.
    const auto paint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    struct THideAfter {
      TProgressForm& Form;
      ~THideAfter() { Form.hide(); }
    } hideAfter{Progress};
    Progress.show();
    paint();
    Save(
        Base, Doc.Animation(),
        [&](int Percent) {
          Progress.ProgressBar->setValue(Percent);
          paint();
        },
        0, Ui.Lines());
  });
}
