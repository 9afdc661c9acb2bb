// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Save Animation: the save dialog with every type the animation can be
// written as (export/ExportTypes.h), the question before files are
// replaced, and the hand-over to the project writer or to the exports (the
// options window for the types that have one; the progress window for the
// others).

#include <QObject>
#include <QStringList>

#include "export/ExportTypes.h"
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
  // Writes the animation as Type to the files named from Base (the chosen
  // path as ExportBaseName gives it).
  void Export(const TExportType& Type, const QString& Base);

 private:
  // A type without an options window, written with the progress window up.
  void WriteWithProgress(const TExportType& Type, const QString& Base);

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  TProjectController& Project;
  TGifOptionsForm& Options;
  TProgressForm& Progress;
  QString SaveDialogFileName;     // the name the save dialog offers next
  int SaveDialogFilterIndex = 0;  // the file type it offers next
};
