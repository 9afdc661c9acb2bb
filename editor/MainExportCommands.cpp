// The exports that Save Animation hands over to: the GIF options window and
// the BMP sequence.

#include "editor/MainUnit.h"
#include "platform/Dialogs.h"

void TMainForm::ExportGif(const QString&) {
  Dialogs.ShowMessage(this, QStringLiteral("Saving as a GIF animation is not available in this version yet."));
}

void TMainForm::ExportBitmaps(const QString&) {
  Dialogs.ShowMessage(this, QStringLiteral("Saving as BMP pictures is not available in this version yet."));
}
