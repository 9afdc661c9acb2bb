// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The animation as a value: its size, its background, its figure types with
// their names, and its stored frames. A project file holds exactly this; the
// exports and the command line draw from it. The editing state that is not
// saved (the working frame, the frame under edit) lives in the document.

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <vector>

#include "model/FigureTypeUnit.h"
#include "model/FiguresUnit.h"

class QPainter;

// Where the background came from, as the project file stores it: it decides
// how a save stores the background (the JPEG file as it came, or a BMP).
enum TBackgroundKind : uint8_t { BackgroundFromBmp = 0, BackgroundFromJpeg = 1 };

struct TAnimation {
  // Size of the drawing in pixels; the size of a new animation.
  int32_t Width = 506;
  int32_t Height = 415;
  QSize Size() const { return QSize(Width, Height); }
  // The middle of the drawing in whole pixels (an odd size rounds down),
  // where new and centred figures stand.
  QPoint Middle() const { return QPoint(Width / 2, Height / 2); }

  // The picture behind every frame, Width x Height: white while there is
  // none, else the loaded picture cut or extended to the animation's size
  // (RGB32, or the format of a BMP with a colour table).
  QImage Background;
  bool HasBackground = false;
  uint8_t BackgroundKind = BackgroundFromBmp;  // a TBackgroundKind; other values read count as BMP
  QByteArray BackgroundJpeg;                   // the JPEG file of a JPEG background, stored as it came
  QSize JpegSize;                              // the JPEG picture's own size
  // The part of the JPEG picture the background still shows: less than the
  // picture and the animation once a change of size cut part of it away.
  QSize JpegShown;

  TFigureTypeTable Types;
  std::vector<TFigures> Frames;

  // What the project file's extension block holds (files/ProjectExtension.h).
  // The time between frames, in milliseconds, the animation plays at; 0
  // while it names none, and the user's own rate applies.
  int32_t PlaybackInterval = 0;
  // Set by the reader: the file held parts a newer version wrote, which
  // this one does not know and left out.
  bool SkippedNewerParts = false;

  // A white background of the animation's size; EPictureMemory when it
  // cannot be allocated.
  static QImage WhiteBackground(QSize Size);
  // True while reading BackgroundJpeg at the animation's size gives Background.
  bool JpegShowsBackground() const { return JpegShown == JpegSize.boundedTo(Size()); }
};

// A new animation: 506 x 415, white, the built-in types, no frames.
TAnimation NewAnimation();

// The background (stretched when Zoom is not 1), then the frame's figures
// with their lines drawn as Lines says; no handles.
void DrawFrame(QPainter& Canvas, const TAnimation& Animation, const TFigures& Frame, float Zoom,
               TLineStyle Lines = TLineStyle::Pixel);
