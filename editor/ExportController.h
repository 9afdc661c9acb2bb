// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Save Animation: the save dialog with every type the animation can be
// written as, the question before files are replaced, and the hand-over to
// the project writer or to the exports (the options window for the GIF,
// the animated PNG and the video; the progress window for the BMP and PNG
// sequences).

#include <QObject>
#include <QStringList>

#include "export/ExportFrames.h"
#include "platform/GuardedHandlers.h"

class TDocument;
class TGifOptionsForm;
class TProgressForm;
class TProjectController;
struct TMainControls;

class TExportController : public QObject {
  Q_OBJECT
 public:
  TExportController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, TProjectController& Project,
                    TGifOptionsForm& Options, TProgressForm& Progress);

  void SaveAnimationClick();
  // The files Save Animation writes for a file type (0 project, 1 GIF, 2 BMP
  // sequence, 3 PNG sequence, 4 animated PNG, 5 MP4, 6 WebM) and a base name.
  QStringList FilesWritten(int FilterIndex, const QString& Base) const;
  // The name the files of the chosen type are made from: the chosen name
  // without its ending; for a video, the file's name with the ending of its
  // type, ".mp4" or ".webm".
  static QString ExportBaseName(int FilterIndex, const QString& Path);

  // The exports, each to files named from Base (RemoveExtention of the
  // chosen path; a video's own path).
  void ExportGif(const QString& Base);
  void ExportBitmaps(const QString& Base);
  void ExportPngs(const QString& Base);
  void ExportAnimatedPng(const QString& Base);
  void ExportVideo(const QString& Path);

 private:
  using TSequenceExport = void (*)(const QString&, const TAnimation&, const TExportProgress&, int, TLineStyle);
  void ExportSequence(const QString& Base, TSequenceExport Save);
  void Export(int FilterIndex, const QString& Base);

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  TProjectController& Project;
  TGifOptionsForm& Options;
  TProgressForm& Progress;
  QString SaveDialogFileName;     // the name the save dialog offers next
  int SaveDialogFilterIndex = 0;  // the file type it offers next
};
