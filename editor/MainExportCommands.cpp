// SPDX-License-Identifier: GPL-3.0-or-later
// The exports that Save Animation hands over to: the GIF options window and
// the BMP sequence.

#include <QCoreApplication>
#include <QProgressBar>

#include "editor/MainUnit.h"
#include "export/BitmapExport.h"
#include "export/GifSaveUnit.h"
#include "export/ProgressUnit.h"
#include "model/Common.h"
#include "platform/Dialogs.h"

void TMainForm::ExportGif(const QString& Base) {
  if (GifOptionsForm == nullptr) return;
  GifOptionsForm->SetExport(Animation(), Base);
  Dialogs.ExecModal(*GifOptionsForm);
}

void TMainForm::ExportBitmaps(const QString& Base) {
  Guard([&] {
    // The progress window is painted, but no input is handled until the last file is written.
    const auto paint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    struct THideAfter {
      TProgressForm* Form;
      ~THideAfter() {
        if (Form != nullptr) Form->hide();
      }
    } hideAfter{ProgressForm};
    if (ProgressForm != nullptr) {
      ProgressForm->show();
      paint();
    }
    SaveAnimationAsBitmaps(Base, Animation(), [&](int Percent) {
      if (ProgressForm == nullptr) return;
      ProgressForm->ProgressBar1->setValue(Percent);
      paint();
    });
  });
}
