// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoding background pictures. Both decoders work on the whole file in
// memory and yield a picture of the file's own size, or throw EFileError
// with the sentence to show; a refused file leaves nothing half-decoded.

#include <QByteArray>
#include <QImage>

// Pictures with a side above this are refused, as the animation cannot be larger.
constexpr int MaxPictureSide = 10000;
// The largest picture file read: 32 bits for each pixel of the largest
// picture, with room for headers, colour masks and a colour table.
constexpr qint64 MaxPictureFileBytes = qint64(4) * MaxPictureSide * MaxPictureSide + (qint64(1) << 20);

// A BMP file through Qt's image reader. Pictures with a colour table keep
// it; all others come back as QImage::Format_RGB32. Refusal: "Bitmap image
// is not valid", or a sentence naming a size above MaxPictureSide.
QImage DecodeBmp(const QByteArray& File);

// A JPEG file at full size through libjpeg, as QImage::Format_RGB32
// (greyscale, colour, CMYK; baseline or progressive). Any error or warning
// of the library, corrupt or truncated data included, refuses the file with
// "JPEG error #N", N the library's message number.
QImage DecodeJpeg(const QByteArray& File);

// The sentence that refuses a picture of Width x Height.
QString PictureTooLargeMessage(int Width, int Height);

enum class TPictureKind { Bmp, Jpeg };
// The kind of picture File holds, told by its first bytes: "BM" for a BMP,
// FF D8 FF for a JPEG; Otherwise when they are neither.
inline TPictureKind PictureKindOf(const QByteArray& File, TPictureKind Otherwise) {
  if (File.startsWith("BM")) return TPictureKind::Bmp;
  if (File.startsWith("\xFF\xD8\xFF")) return TPictureKind::Jpeg;
  return Otherwise;
}
