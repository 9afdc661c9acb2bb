// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Picture files the tests make themselves: JPEG files through libjpeg's
// compressor, and BMP files of the depths our own writer does not produce.

#include <QByteArray>
#include <QImage>

enum class TJpegKind {
  Baseline,     // colour, every component at full resolution
  Progressive,  // colour, progressive scans
  Grey,         // one component: the picture's grey (qGray)
  CmykAdobe,    // four components with Adobe's marker: stored inverted
  CmykPlain,    // four components without it: stored as ink amounts
};

// Picture as a JPEG file of the given kind at quality 100. Every kind decodes
// back to Picture (Grey: to its grey), within the rounding of the transform.
QByteArray EncodeJpeg(const QImage& Picture, TJpegKind Kind);

// Picture as a 32-bit BMP (BI_RGB, the fourth byte of each pixel 0); rows
// bottom-up, or top-down (negative height) when asked.
QByteArray EncodeBmp32(const QImage& Picture, bool TopDown = false);

// How EncodeBmp lays a file out.
struct TBmpSpec {
  int HeaderSize = 40;           // 12 (the old core header), 40, 52, 56, 108 or 124
  int Bits = 24;                 // 1, 4, 8, 16, 24 or 32
  int Compression = 0;           // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  quint32 Masks[3] = {0, 0, 0};  // red, green, blue, for bit fields
};
// Picture as a BMP file of Spec, bottom row first. Indexed depths store
// Picture's own colour table and indices (Picture must be Indexed8 with at
// most 2^Bits colours); the others store each pixel's colour, at 16 bits as
// 5-5-5 or through the masks.
QByteArray EncodeBmp(const QImage& Picture, const TBmpSpec& Spec);

// A picture of four solid quarters in distinct colours, each quarter a whole
// number of 8 x 8 blocks so that JPEG keeps its colours.
QImage Quarters(int Width, int Height);

// A picture whose every pixel differs from its neighbours in every channel.
QImage Gradient(int Width, int Height);

// The largest difference of one colour channel between two pictures of the
// same size, or 256 when their sizes differ.
int LargestChannelDifference(const QImage& A, const QImage& B);

// Writes Bytes to Path; fails the test when that goes wrong.
void WriteTestFile(const QString& Path, const QByteArray& Bytes);

// The bytes of the file at Path (empty when it cannot be read), read plainly
// so a test checks what the program wrote, not the program's own reader.
QByteArray ReadTestFile(const QString& Path);
