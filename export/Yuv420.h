// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rendered pictures as the video encoders take them: planar 4:2:0, all
// luma rows, then the blue-difference rows at half width and height, then
// the red-difference ones. The colours are ffmpeg's own for RGB input when
// told nothing else (BT.601, luma 16 to 235, colour differences 16 to 240),
// so players show what ffmpeg alone would have made of the same pictures;
// luma is rounded as ffmpeg rounds it, and each colour difference is that of
// the mean of its 2 x 2 pixels. Doing this here instead of in ffmpeg spares
// the encoder's cores its slower general converter and the pipe more than
// half of its bytes.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <functional>

// Where the pieces of a frame go; false stops the frame.
using TYuvSink = std::function<bool(const char* Data, qsizetype Bytes)>;
// The most bytes a sink is given at a time: about a pipe's worth.
inline constexpr qsizetype SinkPiece = 1 << 20;
// Bytes of Data given to Sink SinkPiece at a time; false as soon as Sink is.
bool SendInPieces(const char* Data, qsizetype Bytes, const TYuvSink& Sink);

class TYuv420Writer {
 public:
  // Frames of LumaSize, which is the pictures' size or one more column or
  // row (or both): an added column or row repeats the last, as does the
  // colour of an odd last column or row.
  explicit TYuv420Writer(QSize LumaSize);

  // Bytes of one frame.
  qsizetype FrameBytes() const;

  // Gives Sink the frame of Picture (Format_RGB32) in order, a few rows at
  // a time; false as soon as Sink is.
  bool Write(const QImage& Picture, const TYuvSink& Sink);

 private:
  QSize Luma;
  QByteArray Rows;  // the rows on their way out
  QByteArray Red;   // the red-difference plane, sent after the blue one
};
