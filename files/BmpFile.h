// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing pictures as BMP files.

#include <QByteArray>
#include <QImage>

// A complete BMP file of Picture. Pictures with a colour table (as read from
// a 1-, 4- or 8-bit BMP) keep their depth and table; every other picture
// becomes a 24-bit BMP: the 14-byte file header, the 40-byte info header, no
// colour table, rows bottom-up, each padded to a multiple of 4 bytes.
QByteArray BmpFileBytes(const QImage& Picture);

// The same 24-bit file written into Out (resized to fit), reusing its memory:
// the export writes one such file per frame.
void EncodeBmp24(const QImage& Picture, QByteArray& Out);

// Bytes of one 24-bit BMP row of Width pixels, with its padding.
inline qint64 Bmp24RowBytes(qint64 Width) { return (Width * 3 + 3) / 4 * 4; }
