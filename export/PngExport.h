// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lossless exports: every stored frame as a 24-bit PNG file, numbered as the
// BMP sequence is (walk0.png, walk1.png...), and the animated PNG, one file
// that loops for ever. Qt's PNG writer compresses each picture; the animated
// PNG's own chunks (acTL, fcTL, fdAT, their sequence numbers and CRCs) are
// written here around what it makes.

#include <QByteArray>
#include <QString>

#include "export/ExportFrames.h"

class QIODevice;

// Base, then Index padded with zeros to BitmapNumberWidth(FrameCount) digits, then ".png".
QString PngFileName(const QString& Base, int Index, int FrameCount);

// Picture as a PNG file of 8 bits per channel, without alpha.
QByteArray EncodePng(const QImage& Picture);

// The exports draw the figures' lines as Lines says.

// Writes every stored frame at zoom 1 as PngFileName(Base, n, F), replacing
// existing files without asking, each through a temporary file. Progress
// gets n * 100 div F after frame n; a file that cannot be written stops the
// export with EFileError, and the frames written before it stay. Held
// frames are written as the BMP series writes them.
void SaveAnimationAsPngs(const QString& Base, const TAnimation& Animation, const TExportProgress& Progress = {},
                         int Threads = 0, TLineStyle Lines = TLineStyle::Pixel, bool Once = false);

// Writes the animated PNG of Animation's stored frames to Out: every frame
// shown for Delay hundredths of a second (held at 65535), 1/Shrink of the
// animation's size, looping for ever. After the first, each frame holds
// only the area that changed, written over the frame before it.
void WriteAnimatedPng(QIODevice& Out, const TAnimation& Animation, long long Delay, int Shrink,
                      const TExportProgress& Progress = {}, int Threads = 0, TLineStyle Lines = TLineStyle::Pixel);

// WriteAnimatedPng into the file Path, through a temporary file that
// replaces Path only when complete.
void ExportAnimatedPngFile(const QString& Path, const TAnimation& Animation, long long Delay, int Shrink,
                           const TExportProgress& Progress = {}, int Threads = 0, TLineStyle Lines = TLineStyle::Pixel);
