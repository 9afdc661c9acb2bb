// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The animated GIF export: every stored frame drawn over the background,
// optionally shrunk, reduced to the 216-colour cube and written as one GIF89a
// file that loops for ever, with the optional palette, merge and crop steps.
//
// Two ways produce the same bytes. BuildGifDocument follows the document
// model: it holds every indexed frame until it saves. WriteGifAnimation
// streams: a first pass counts the colours for the palette, a second renders
// again and writes frame by frame, so its memory does not grow with the
// number of frames, and it spreads the frames over several threads.

#include <QByteArray>
#include <QImage>
#include <QString>

#include "export/ExportFrames.h"
#include "export/GIFImage.h"

class QIODevice;

struct TGifExportOptions {
  long long Delay = 1;  // hundredths of a second per frame, 1 to 1000000
  int Shrink = 1;       // frames are 1/Shrink of the animation size, 1 to 9
  bool Merge = true;
  bool Crop = true;
  bool Palette = true;
  // One global table holding the rendered colours exactly when there are at
  // most 256 of them in all frames; otherwise libimagequant chooses 256 (or
  // 255 beside the transparent entry) from all frames and dithers onto them.
  bool ExactColors = false;
  // The same pixels in fewer bytes: each frame is cut to its changed area
  // and written plain or with its unchanged pixels free to be transparent
  // or their colour, whichever is shorter (GifFrameEncoder.h).
  bool Smaller = false;
  // How the figures' lines are drawn. Smooth lines blend their edges into
  // colours of their own, so they always take the exact-colour way above
  // rather than the cube (whatever ExactColors and Palette say).
  TLineStyle Lines = TLineStyle::Pixel;
  // A numbered series writes each frame's file once, whatever its hold.
  bool Once = false;
  friend bool operator==(const TGifExportOptions&, const TGifExportOptions&) = default;
};

// Appends Picture to Image as a frame, with the looping extension (loop count
// 0) on the first frame and a graphic control extension carrying Delay (held
// at 65535) on every frame. With Transparent on, the colour index of the
// bottom-left pixel becomes the frame's transparent index. Returns the frame's index.
int AddGifFrame(TGIFImage& Image, const QImage& Picture, bool Transparent, long long Delay);

// Size of the exported frames: the animation's size, or 1/Shrink of it.
// Throws EFileError when that cannot be a GIF frame.
QSize GifFrameSize(QSize AnimationSize, int Shrink);

// The document of Animation's stored frames with Options applied, ready to
// save. It follows the 216-colour cube and the palette, merge and crop
// steps; ExactColors, Smaller and smooth Lines are the streaming export's alone.
// Progress gets i * 100 div (F - 1) after frame i when there are F > 1 frames.
TGIFImage BuildGifDocument(const TAnimation& Animation, const TGifExportOptions& Options,
                           const TExportProgress& Progress = {});

// Writes the GIF of Animation's stored frames to Out, frame by frame, using
// Threads threads (0: one per core). The bytes are those of
// BuildGifDocument(Animation, Options).SaveToBytes() whatever the number of
// threads. With ExactColors, Smaller or smooth Lines the document has no counterpart, and
// the bytes still do not depend on the number of threads.
void WriteGifAnimation(QIODevice& Out, const TAnimation& Animation, const TGifExportOptions& Options,
                       const TExportProgress& Progress = {}, int Threads = 0);

// WriteGifAnimation into the file Path, through a temporary file that
// replaces Path only when complete: a failure leaves an earlier file as it was.
void ExportGifFile(const QString& Path, const TAnimation& Animation, const TGifExportOptions& Options,
                   const TExportProgress& Progress = {}, int Threads = 0);
