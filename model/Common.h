// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing routines every window uses: the canvas set-up, the box-filter
// reduction of pictures, and the question whether the desktop draws themed
// controls.

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "model/Animation.h"
#include "model/FiguresUnit.h"

class QPainter;

// Layout allowance of the builder window: 8 when visual themes are active, else 0.
uint8_t ThemeOffset();

// Thumbnails made from all frames at once are drawn at this multiple of their size, then reduced.
constexpr int ThumbnailSupersample = 2;

// Sets a painter up as the drawing surfaces expect: no antialiasing, a solid
// black pen with round ends and the white brush that fills circles.
void PrepareCanvas(QPainter& Canvas);

// Fills Dest (already of its final size) with box averages of Source, Factor
// source pixels per destination pixel along each axis. Blocks are clipped to
// the source; a destination pixel whose block is empty (Factor below 1) takes
// the source pixel at (trunc(x * Factor), trunc(y * Factor)). Dest ends up in
// QImage::Format_RGB32.
void ShrinkBitmap(const QImage& Source, QImage& Dest, double Factor);

// True when the desktop draws themed controls in the way the builder's layout allows for.
bool ThemesActive();
