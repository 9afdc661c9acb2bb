// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The BMP sequence export: every stored frame as a 24-bit BMP file named from
// a base name and the frame's number, numbered from 0.

#include <QString>

#include "export/ExportFrames.h"

// Digits of the highest frame number FrameCount - 1: 1 for up to 10 frames.
int BitmapNumberWidth(int FrameCount);

// Base, then Index padded with zeros to BitmapNumberWidth(FrameCount) digits, then ".bmp".
QString BitmapFileName(const QString& Base, int Index, int FrameCount);

// Writes every stored frame, drawn over the background at zoom 1, as
// BitmapFileName(Base, n, F), replacing existing files without asking. Frames
// are drawn and encoded on Threads threads (0: one per core) and written in
// order; Progress gets n * 100 div F after frame n. The figures' lines are
// drawn as Lines says. A held frame is written once for each tick of its
// hold, unless Once (SeriesFileStarts numbers the files; F counts them). A
// file that cannot be written stops the export with EFileError; the frames
// written before it stay.
void SaveAnimationAsBitmaps(const QString& Base, const TAnimation& Animation, const TExportProgress& Progress = {},
                            int Threads = 0, TLineStyle Lines = TLineStyle::Pixel, bool Once = false);
