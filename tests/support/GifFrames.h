// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decodes GIF files with giflib, an independent decoder, and composites the
// frames as a viewer shows them.

#include <gif_lib.h>

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstring>
#include <vector>

struct TDecodedGif {
  QString Error;  // empty when giflib read the whole file
  int Width = 0;
  int Height = 0;
  std::vector<QImage> Frames;  // the screen after each frame, Format_RGB32
  std::vector<int> Delays;
  std::vector<QRect> Rects;
  std::vector<bool> Transparent;
  std::vector<int> LocalColors;  // entries of each frame's local table, 0 without one
  int GlobalColors = 0;
};

inline TDecodedGif DecodeGif(const QByteArray& Bytes) {
  struct TSource {
    const QByteArray* Bytes;
    int At;
  } source{&Bytes, 0};
  auto read = [](GifFileType* File, GifByteType* Out, int Length) -> int {
    auto* s = static_cast<TSource*>(File->UserData);
    const int n = std::min(Length, static_cast<int>(s->Bytes->size()) - s->At);
    std::memcpy(Out, s->Bytes->constData() + s->At, n);
    s->At += n;
    return n;
  };
  TDecodedGif result;
  int error = 0;
  GifFileType* file = DGifOpen(&source, read, &error);
  if (file == nullptr) {
    result.Error = GifErrorString(error);
    return result;
  }
  if (DGifSlurp(file) != GIF_OK) {
    result.Error = GifErrorString(file->Error);
    DGifCloseFile(file, &error);
    return result;
  }
  result.Width = file->SWidth;
  result.Height = file->SHeight;
  result.GlobalColors = file->SColorMap ? file->SColorMap->ColorCount : 0;
  QImage screen(file->SWidth, file->SHeight, QImage::Format_RGB32);
  screen.fill(Qt::black);
  for (int i = 0; i < file->ImageCount; ++i) {
    const SavedImage& image = file->SavedImages[i];
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(file, i, &gcb);
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
    const GifImageDesc& d = image.ImageDesc;
    const QImage before = screen;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[y * d.Width + x];
        if (index == gcb.TransparentColor) continue;
        if (d.Left + x >= screen.width() || d.Top + y >= screen.height()) continue;
        const GifColorType c = map && index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
        screen.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
      }
    result.Frames.push_back(screen);
    result.Delays.push_back(gcb.DelayTime);
    result.Rects.emplace_back(d.Left, d.Top, d.Width, d.Height);
    result.Transparent.push_back(gcb.TransparentColor != NO_TRANSPARENT_COLOR);
    result.LocalColors.push_back(image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap->ColorCount : 0);
    if (gcb.DisposalMode == DISPOSE_PREVIOUS) screen = before;
  }
  DGifCloseFile(file, &error);
  return result;
}
