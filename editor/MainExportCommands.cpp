// SPDX-License-Identifier: GPL-3.0-or-later
// The exports that Save Animation hands over to: the GIF options window (for
// the GIF and the animated PNG) and the BMP and PNG sequences.

#include <QCoreApplication>
#include <QProgressBar>

#include "editor/MainUnit.h"
#include "export/BitmapExport.h"
#include "export/PngExport.h"
#include "export/windows/GifSaveUnit.h"
#include "export/windows/ProgressUnit.h"
#include "model/Common.h"
#include "platform/Dialogs.h"

void TMainForm::ExportGif(const QString& Base) {
  ExportOptionsWindow->SetExport(Animation(), Base, TAnimatedExport::Gif, Lines());
  ExportOptionsWindow->SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Dialogs.ExecModal(*ExportOptionsWindow);
}

void TMainForm::ExportAnimatedPng(const QString& Base) {
  ExportOptionsWindow->SetExport(Animation(), Base, TAnimatedExport::AnimatedPng, Lines());
  ExportOptionsWindow->SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Dialogs.ExecModal(*ExportOptionsWindow);
}

void TMainForm::ExportVideo(const QString& Path) {
  ExportOptionsWindow->SetExport(Animation(), Path, TAnimatedExport::Video, Lines());
  ExportOptionsWindow->SetPlaybackInterval(Ui.PlaybackTimer->interval());
  Dialogs.ExecModal(*ExportOptionsWindow);
}

void TMainForm::ExportBitmaps(const QString& Base) { ExportSequence(Base, SaveAnimationAsBitmaps); }

void TMainForm::ExportPngs(const QString& Base) { ExportSequence(Base, SaveAnimationAsPngs); }

void TMainForm::ExportSequence(const QString& Base, TSequenceExport Save) {
  Guard([&] {
    // The progress window is painted, but no input is handled until the last file is written.
    const auto paint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    struct THideAfter {
      TProgressForm& Form;
      ~THideAfter() { Form.hide(); }
    } hideAfter{*ProgressWindow};
    ProgressWindow->show();
    paint();
    Save(
        Base, Animation(),
        [&](int Percent) {
          ProgressWindow->ProgressBar->setValue(Percent);
          paint();
        },
        0, Lines());
  });
}
