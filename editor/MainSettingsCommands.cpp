// The background picture, the animation dimensions, the ReadMe file and the
// About box.

#include <QAction>
#include <QFileInfo>
#include <QPainter>

#include "editor/AboutUnit.h"
#include "editor/MainUnit.h"
#include "editor/OptionsUnit.h"
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
enum TPictureType { PictureBmp = 0, PictureJpeg = 1 };

// The picture-open dialog's preview: the file read as its file-type entry
// says, by the decoders Load Background uses; a null picture for a file they
// refuse (no message while the user browses).
QImage PreviewPicture(const QString& Path, int FilterIndex) {
  try {
    const QByteArray file = ReadWholeFile(Path, MaxPictureFileBytes);
    return FilterIndex == PictureJpeg ? DecodeJpeg(file) : DecodeBmp(file);
  } catch (const std::exception&) {
    return QImage();
  }
}

}  // namespace

void TMainForm::ResizeDrawing(TDrawingPictures&& Pictures) {
  Underlay = std::move(Pictures.Underlay);
  Underlay.fill(Qt::white);
  {
    // Only the background: the ghost comes back with the next rebuild.
    QPainter canvas(&Underlay);
    canvas.drawImage(QPoint(0, 0), Background);
  }
  SizeEditImage(std::move(Pictures.Area));
  if (Frames.empty())
    for (int i = 0; i < EditFrame.Count(); ++i) CenterFigure(i);
  DrawFigures();
}

void TMainForm::LoadBackground1Click() {
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Bitmap Image (*.bmp)"), QStringLiteral("JPeg Image (*.jpg)")};
  request.Preview = PreviewPicture;
  const TFileDialogResult chosen = Dialogs.OpenPicture(this, request);
  if (!chosen.Accepted) return;

  // The chosen file type, not the file's name, decides the decoder. The
  // picture is decoded on its own: a file that is refused changes nothing.
  const bool jpeg = chosen.FilterIndex == PictureJpeg;
  const QByteArray file = ReadWholeFile(chosen.Path, MaxPictureFileBytes);
  QImage picture = jpeg ? DecodeJpeg(file) : DecodeBmp(file);

  if (!Frames.empty() && !Dialogs.AskYesNo(this, ChangeAllFramesQuestion)) return;
  TDrawingPictures drawing = MakeDrawingPictures(picture.size());

  Background = std::move(picture);
  BackgroundKind = jpeg ? 1 : 0;
  // A bitmap leaves the JPEG data as it was; it is neither drawn nor stored.
  if (jpeg) {
    BackgroundJpeg = file;
    BackgroundJpegSize = BackgroundJpegShown = Background.size();
  }
  AnimationWidth = Background.width();
  AnimationHeight = Background.height();
  if (!Frames.empty()) RedrawTimelineImages();
  ResizeDrawing(std::move(drawing));
  HasBackground = true;
  ClearBackground1->setEnabled(true);
}

void TMainForm::ClearBackground1Click() {
  if (!HasBackground) return;
  // The picture keeps its size. A picture with a colour table is replaced, as
  // its table need not hold white.
  QImage white = Background.colorCount() > 0 ? NewPicture(Background.size()) : QImage();
  if (!Frames.empty() && !Dialogs.AskYesNo(this, ChangeAllFramesQuestion)) return;
  if (!white.isNull()) Background = std::move(white);
  {
    QPainter canvas(&Background);
    canvas.fillRect(QRect(0, 0, AnimationWidth, AnimationHeight), Qt::white);
  }
  if (!Frames.empty()) RedrawTimelineImages();
  {
    QPainter canvas(&Underlay);
    canvas.drawImage(QPoint(0, 0), Background);
  }
  DrawFigures();
  // The kind and the JPEG data stay; without a background they are neither drawn nor stored.
  HasBackground = false;
  ClearBackground1->setEnabled(false);
}

void TMainForm::ChangeDimensions(int32_t Width, int32_t Height) {
  QImage background = CutOrExtend(Background, Width, Height);
  TDrawingPictures drawing = MakeDrawingPictures(QSize(Width, Height));
  Background = std::move(background);
  BackgroundJpegShown = BackgroundJpegShown.boundedTo(QSize(Width, Height));
  AnimationWidth = Width;
  AnimationHeight = Height;
  ResizeDrawing(std::move(drawing));
  if (!Frames.empty()) RedrawTimelineImages();
}

void TMainForm::Options1Click() {
  if (OptionsForm == nullptr) return;
  OptionsForm->show();
  OptionsForm->raise();
  OptionsForm->activateWindow();
}

void TMainForm::ViewReadMefile1Click() {
  const QString path = ReadMeFilePath();
  if (!QFileInfo(path).isFile()) {
    Dialogs.ShowMessage(this, QStringLiteral("ReadMe file not found in executable folder"));
    return;
  }
  (Shell != nullptr ? *Shell : DesktopShell()).OpenDocument(this, path);
}

void TMainForm::About1Click() {
  if (AboutBox != nullptr) Dialogs.ExecModal(*AboutBox);
}
