// SPDX-License-Identifier: GPL-3.0-or-later
// Load Background, Clear Background and the animation's dimensions.

#include "editor/BackgroundController.h"

#include <QAction>
#include <QPushButton>

#include "editor/CanvasController.h"
#include "editor/MainControls.h"
#include "editor/OptionsUnit.h"
#include "files/PictureDecoders.h"
#include "files/WholeFile.h"
#include "model/Common.h"
#include "model/Document.h"
#include "platform/Dialogs.h"

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

TBackgroundController::TBackgroundController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring,
                                             TCanvasController& Canvas)
    : QObject(Wiring.Parent()), Doc(Doc), Ui(Ui), Wiring(Wiring), Canvas(Canvas) {
  Wiring.Connect(Ui.LoadBackgroundAction, this, &TBackgroundController::LoadBackgroundClick);
  Wiring.Connect(Ui.LoadBackgroundHotkey, this, &TBackgroundController::LoadBackgroundClick);
  Wiring.Connect(Ui.ClearBackgroundAction, this, &TBackgroundController::ClearBackgroundClick);
  const auto showClear = [this] { this->Ui.ClearBackgroundAction->setEnabled(this->Doc.Animation().HasBackground); };
  connect(&Doc, &TDocument::DocumentReset, this, showClear);
  connect(&Doc, &TDocument::PictureChanged, this, showClear);
}

void TBackgroundController::LoadBackgroundClick() {
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Pictures (*.bmp *.jpg *.jpeg)"), QStringLiteral("Bitmap Image (*.bmp)"),
                     QStringLiteral("JPeg Image (*.jpg)")};
  request.Preview = PreviewPicture;
  const TFileDialogResult chosen = Wiring.Dialogs().OpenPicture(Wiring.Parent(), request);
  if (!chosen.Accepted) return;

  // The file's first bytes, not its name or the chosen type, decide the
  // decoder. The picture is decoded on its own: a file that is refused
  // changes nothing.
  const QByteArray file = ReadWholeFile(chosen.Path, MaxPictureFileBytes);
  TPictureKind kind;
  QImage picture = DecodeBackground(file, chosen.FilterIndex, kind);
  const bool jpeg = kind == TPictureKind::Jpeg;

  if (!Doc.Animation().Frames.empty() && !Wiring.Dialogs().AskYesNo(Wiring.Parent(), ChangeAllFramesQuestion)) return;
  Canvas.StagePictures(picture.size());
  Doc.LoadBackground(picture, jpeg ? BackgroundFromJpeg : BackgroundFromBmp, file);
}

void TBackgroundController::ClearBackgroundClick() {
  if (!Doc.Animation().HasBackground) return;
  if (!Doc.Animation().Frames.empty() && !Wiring.Dialogs().AskYesNo(Wiring.Parent(), ChangeAllFramesQuestion)) return;
  Doc.ClearBackground();
}

void TBackgroundController::ChangeDimensions(int32_t Width, int32_t Height) {
  Canvas.StagePictures(QSize(Width, Height));
  try {
    Doc.ChangeDimensions(Width, Height);
  } catch (...) {
    Canvas.DropStagedPictures();
    throw;
  }
}
