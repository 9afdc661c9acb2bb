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
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ProgramPaths.h"
#include "platform/Shell.h"

namespace {

// Entries of the picture-open dialog's file-type list.
enum TPictureType { PictureBmp = 0, PictureJpeg = 1 };

// Picture cut or extended to Width x Height: its pixels stay at the top-left
// corner, new area is white. A picture that is only cut keeps its format; one
// that grows becomes a 24-bit picture, since a colour table need not hold white.
QImage CutOrExtend(const QImage& Picture, int Width, int Height) {
  if (!Picture.isNull() && Picture.width() >= Width && Picture.height() >= Height)
    return Picture.copy(0, 0, Width, Height);
  QImage result(Width, Height, QImage::Format_RGB32);
  result.fill(Qt::white);
  QPainter canvas(&result);
  canvas.drawImage(QPoint(0, 0), Picture);
  return result;
}

}  // namespace

void TMainForm::ResizeDrawing() {
  // The old picture goes first: at the largest size two would not fit.
  Underlay = QImage();
  Underlay = QImage(AnimationWidth, AnimationHeight, QImage::Format_RGB32);
  if (Background.size() != Underlay.size()) Underlay.fill(Qt::white);
  {
    // Only the background: the ghost comes back with the next rebuild.
    QPainter canvas(&Underlay);
    canvas.drawImage(QPoint(0, 0), Background);
  }
  SizeEditImage();
  if (Frames.empty())
    for (int i = 0; i < EditFrame.Count(); ++i) CenterFigure(i);
  DrawFigures();
}

void TMainForm::LoadBackground1Click() {
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Bitmap Image (*.bmp)"), QStringLiteral("JPeg Image (*.jpg)")};
  const TFileDialogResult chosen = Dialogs.OpenPicture(this, request);
  if (!chosen.Accepted) return;

  // The chosen file type, not the file's name, decides the decoder. The
  // picture is decoded on its own: a file that is refused changes nothing.
  const bool jpeg = chosen.FilterIndex == PictureJpeg;
  const QByteArray file = ReadWholeFile(chosen.Path, MaxPictureFileBytes);
  QImage picture = jpeg ? DecodeJpeg(file) : DecodeBmp(file);

  if (!Frames.empty() && !Dialogs.AskYesNo(this, ChangeAllFramesQuestion)) return;

  Background = std::move(picture);
  BackgroundKind = jpeg ? 1 : 0;
  // A bitmap leaves the JPEG data as it was; it is neither drawn nor stored.
  if (jpeg) BackgroundJpeg = file;
  AnimationWidth = Background.width();
  AnimationHeight = Background.height();
  if (!Frames.empty()) RedrawTimelineImages();
  ResizeDrawing();
  HasBackground = true;
  ClearBackground1->setEnabled(true);
}

void TMainForm::ClearBackground1Click() {
  if (!HasBackground) return;
  if (!Frames.empty() && !Dialogs.AskYesNo(this, ChangeAllFramesQuestion)) return;

  // The picture keeps its size. A picture with a colour table is replaced, as
  // its table need not hold white.
  if (Background.colorCount() > 0) Background = QImage(Background.size(), QImage::Format_RGB32);
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
  Background = CutOrExtend(Background, Width, Height);
  AnimationWidth = Width;
  AnimationHeight = Height;
  ResizeDrawing();
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
