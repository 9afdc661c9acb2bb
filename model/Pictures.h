// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Making the animation's pictures. A picture that cannot be allocated is an
// error with a sentence for the user, never an empty picture left behind:
// commands make every new picture first and change nothing when one fails.

#include <QImage>
#include <stdexcept>

// There is not enough memory for a picture the animation needs.
class EPictureMemory : public std::runtime_error {
 public:
  explicit EPictureMemory(QSize Size);
};

// A new picture of Size and Format, its pixels not yet set; EPictureMemory
// when it cannot be allocated.
QImage NewPicture(QSize Size, QImage::Format Format = QImage::Format_RGB32);
// The same, but a null picture when it cannot be allocated, for code that
// must not throw (between a C library's setjmp and longjmp).
QImage TryNewPicture(QSize Size, QImage::Format Format = QImage::Format_RGB32);

// Picture cut or extended to Width x Height: its pixels stay where they are
// from the top-left corner, a part beyond the new size is cut off and new
// area is white. A picture that already has the size comes back as it is.
QImage CutOrExtend(const QImage& Picture, int Width, int Height);

// For tests: from now on every new picture of at least Bytes bytes fails to
// allocate, as on a machine without the memory; 0 ends that.
void FailPicturesFrom(qint64 Bytes);
