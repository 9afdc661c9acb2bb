// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF export through the document model: every frame is added, then the
// palette, merge and crop steps run over the whole document.

#include "export/GifExport.h"
#include "files/FileError.h"
#include "model/Common.h"

int AddGifFrame(TGIFImage& Image, const QImage& Picture, bool Transparent, long long Delay) {
  const int index = Image.Add(Picture);
  TGIFSubImage& frame = Image.Images[index];
  if (index == 0) frame.Extensions.emplace_back(TGIFAppExtNSLoop{});
  TGIFGraphicControlExtension gce;
  gce.Delay = GifDelay(Delay);
  if (Transparent && !frame.Empty()) {
    gce.Transparent = true;
    gce.TransparentColorIndex = frame.Data[static_cast<std::size_t>(frame.Height - 1) * frame.Width];
  }
  frame.Extensions.emplace_back(gce);
  return index;
}

QSize GifFrameSize(QSize AnimationSize, int Shrink) {
  const QSize full = AnimationSize;
  const QSize size = Shrink >= 2 ? QSize(full.width() / Shrink, full.height() / Shrink) : full;
  if (size.width() < 1 || size.height() < 1)
    throw EFileError(
        QStringLiteral("The frames would be smaller than one pixel when shrunk by 1/%1.").arg(Shrink).toStdString());
  if (size.width() > 0xFFFF || size.height() > 0xFFFF) throw EFileError("The animation is too large for a GIF file.");
  return size;
}

TGIFImage BuildGifDocument(const TAnimation& Animation, const TGifExportOptions& Options,
                           const TExportProgress& Progress) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  GifFrameSize(Animation.Size(), Options.Shrink);
  TFrameRenderer renderer(Animation, Options.Shrink);
  TGIFImage image;
  for (int i = 0; i < frames; ++i) {
    AddGifFrame(image, renderer.Render(Animation.Frames[i]), false, Options.Delay * Animation.Frames[i].Hold);
    if (Progress && frames > 1) Progress(i * 100 / (frames - 1));
  }
  if (Options.Palette) image.OptimizeColorMap();
  if (Options.Merge || Options.Crop) image.Optimize(Options.Merge, Options.Crop);
  return image;
}
