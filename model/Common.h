#pragma once
// The animation's shared state and the drawing routines every window uses:
// drawing a frame over the background, the box-filter reduction of pictures,
// and the question whether the desktop draws themed controls.

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "model/FiguresUnit.h"

class QPainter;

// The stored frames, in playing order.
extern std::vector<TFigures> Frames;
// The background picture, AnimationWidth x AnimationHeight; white when none is loaded.
extern QImage Background;
// Size of the drawing in pixels.
extern int32_t AnimationWidth;
extern int32_t AnimationHeight;
// Layout allowance of the builder window: 8 when visual themes are active, else 0.
extern uint8_t ThemeOffset;
// Base name handed from Save Animation to the GIF export.
extern QString AnimationFileName;

// Thumbnails made from all frames at once are drawn at this multiple of their size, then reduced.
constexpr int ThumbnailSupersample = 2;

// Puts the state above back to how the program starts (tests use this).
void ResetAnimationState();

// Sets a painter up as the drawing surfaces expect: no antialiasing, a solid
// black pen with round ends and the white brush that fills circles.
void PrepareCanvas(QPainter& Canvas);

// The background (stretched when Zoom is not 1), then the frame's figures; no handles.
void DrawFrame(QPainter& Canvas, const TFigures& Frame, float Zoom);

// Fills Dest (already of its final size) with box averages of Source, Factor
// source pixels per destination pixel along each axis. Blocks are clipped to
// the source; a destination pixel whose block is empty (Factor below 1) takes
// the source pixel at (trunc(x * Factor), trunc(y * Factor)). Dest ends up in
// QImage::Format_RGB32.
void ShrinkBitmap(const QImage& Source, QImage& Dest, double Factor);

// True when the desktop draws themed controls in the way the builder's layout allows for.
bool ThemesActive();
