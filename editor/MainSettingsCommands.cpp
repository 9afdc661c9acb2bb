// SPDX-License-Identifier: GPL-3.0-or-later
// The background picture, the animation dimensions, the ReadMe file and the
// About box.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include "editor/AboutUnit.h"
#include "editor/MainUnit.h"
#include "editor/OptionsUnit.h"
#include "editor/ShortcutsUnit.h"
#include "files/PictureDecoders.h"
#include "files/WholeFile.h"
#include "model/Common.h"
#include "model/Pictures.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ProgramPaths.h"
#include "platform/Shell.h"

namespace {

// Entries of the picture-open dialog's file-type list.
enum TPictureType { PictureAny = 0, PictureBmp = 1, PictureJpeg = 2 };

// The picture in File, decoded as its first bytes say whichever type was
// chosen; a file they do not name is read as the chosen type (a BMP for
// "Pictures"), so its refusal is that decoder's. Kind is set to what was read.
QImage DecodeBackground(const QByteArray& File, int FilterIndex, TPictureKind& Kind) {
  Kind = PictureKindOf(File, FilterIndex == PictureJpeg ? TPictureKind::Jpeg : TPictureKind::Bmp);
  return Kind == TPictureKind::Jpeg ? DecodeJpeg(File) : DecodeBmp(File);
}

// The picture-open dialog's preview: the file read as Load Background reads
// it; a null picture for a file it refuses (no message while the user browses).
QImage PreviewPicture(const QString& Path, int FilterIndex) {
  try {
    TPictureKind kind;
    return DecodeBackground(ReadWholeFile(Path, MaxPictureFileBytes), FilterIndex, kind);
  } catch (const std::exception&) {
    return QImage();
  }
}

}  // namespace

void TMainForm::LoadBackgroundClick() {
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Pictures (*.bmp *.jpg *.jpeg)"), QStringLiteral("Bitmap Image (*.bmp)"),
                     QStringLiteral("JPeg Image (*.jpg)")};
  request.Preview = PreviewPicture;
  const TFileDialogResult chosen = Dialogs.OpenPicture(this, request);
  if (!chosen.Accepted) return;

  // The file's first bytes, not its name or the chosen type, decide the
  // decoder. The picture is decoded on its own: a file that is refused
  // changes nothing.
  const QByteArray file = ReadWholeFile(chosen.Path, MaxPictureFileBytes);
  TPictureKind kind;
  QImage picture = DecodeBackground(file, chosen.FilterIndex, kind);
  const bool jpeg = kind == TPictureKind::Jpeg;

  if (!Animation().Frames.empty() && !Dialogs.AskYesNo(this, ChangeAllFramesQuestion)) return;
  MadePictures = MakeDrawingPictures(picture.size());
  Doc.LoadBackground(picture, jpeg ? BackgroundFromJpeg : BackgroundFromBmp, file);
}

void TMainForm::ClearBackgroundClick() {
  if (!Animation().HasBackground) return;
  if (!Animation().Frames.empty() && !Dialogs.AskYesNo(this, ChangeAllFramesQuestion)) return;
  Doc.ClearBackground();
}

void TMainForm::ChangeDimensions(int32_t Width, int32_t Height) {
  MadePictures = MakeDrawingPictures(QSize(Width, Height));
  try {
    Doc.ChangeDimensions(Width, Height);
  } catch (...) {
    MadePictures.reset();
    throw;
  }
}

void TMainForm::OptionsClick() {
  DimensionsWindow->show();
  DimensionsWindow->raise();
  DimensionsWindow->activateWindow();
}

void TMainForm::ViewReadMeClick() {
  const QString path = ReadMeFilePath();
  if (!QFileInfo(path).isFile()) {
    Dialogs.ShowMessage(this, QStringLiteral("ReadMe file not found in executable folder"));
    return;
  }
  if (!Shell.OpenDocument(this, path))
    Dialogs.ShowMessage(this, QStringLiteral("No program on this computer could show the ReadMe file. You can open it "
                                             "in any text editor; it is at %1")
                                  .arg(QDir::toNativeSeparators(path)));
}

void TMainForm::SetOnionSkin(const TOnionSkin& Settings) {
  OnionSkin = Settings;
  OnionSkin.Save();
  Ui.ShowOnionSkinAction->setChecked(OnionSkin.Shown);
  RefreshUnderlay(false);
  DrawFigures();
}

void TMainForm::ShowOnionSkinClick() {
  TOnionSkin settings = OnionSkin;
  settings.Shown = Ui.ShowOnionSkinAction->isChecked();
  SetOnionSkin(settings);
}

void TMainForm::OnionSkinClick() {
  TOnionSkinForm form(this);
  form.Show(OnionSkin);
  if (Dialogs.ExecModal(form) == QDialog::Accepted) SetOnionSkin(form.Settings(true));
}

void TMainForm::KeyboardShortcutsClick() {
  if (ShortcutsForm == nullptr) ShortcutsForm = new TShortcutsForm(this);
  ShortcutsForm->show();
  ShortcutsForm->raise();
  ShortcutsForm->activateWindow();
}

QString TMainForm::RateText(int Interval) {
  return QStringLiteral("%1 ms between frames, %2 frames a second").arg(Interval).arg(1000.0 / Interval, 0, 'f', 1);
}

void TMainForm::AboutClick() { Dialogs.ExecModal(*AboutWindow); }
