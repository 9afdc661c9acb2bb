// SPDX-License-Identifier: GPL-3.0-or-later
// BMP writing and the two picture decoders.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>

#include "files/BmpFile.h"
#include "files/FileError.h"
#include "files/PictureDecoders.h"
#include "files/Zlib.h"
#include "tests/support/Refusal.h"
#include "tests/support/TestPictures.h"

namespace {

std::string Refusal(QImage (*Decode)(const QByteArray&), const QByteArray& Bytes) {
  return RefusalOf([&] { Decode(Bytes); }, "decoded");
}

}  // namespace

TEST(BmpFile, TwentyFourBitLayoutByteForByte) {
  QImage p(3, 2, QImage::Format_RGB32);
  p.setPixel(0, 0, qRgb(1, 2, 3));
  p.setPixel(1, 0, qRgb(4, 5, 6));
  p.setPixel(2, 0, qRgb(7, 8, 9));
  p.setPixel(0, 1, qRgb(10, 11, 12));
  p.setPixel(1, 1, qRgb(13, 14, 15));
  p.setPixel(2, 1, qRgb(16, 17, 18));
  const QByteArray bytes = BmpFileBytes(p);
  const QByteArray header = QByteArray::fromHex(
      "424d4e000000000000003600000028000000030000000200000001001800000000001800000000000000000000000000000000000000");
  EXPECT_EQ(bytes.left(54).toHex(), header.toHex());
  // Bottom row first, blue-green-red, each row padded from 9 to 12 bytes.
  EXPECT_EQ(bytes.mid(54).toHex(), QByteArray("0c0b0a0f0e0d121110000000030201060504090807000000"));
}

TEST(BmpFile, RoundTripsThroughTheDecoderAtEveryPadding) {
  for (int w : {1, 2, 3, 4, 5}) {
    const QImage p = Gradient(w, 3);
    EXPECT_EQ(DecodeBmp(BmpFileBytes(p)), p) << w;
  }
}

TEST(BmpDecoder, KeepsTheColourTableOfIndexedPictures) {
  QImage indexed = Gradient(7, 5).convertToFormat(QImage::Format_Indexed8);
  const QImage back = DecodeBmp(BmpFileBytes(indexed));
  EXPECT_EQ(back.format(), QImage::Format_Indexed8);
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), indexed.convertToFormat(QImage::Format_RGB32));
}

TEST(PictureDecoders, RefuseDamagedAndForeignBytes) {
  const QByteArray bmp = BmpFileBytes(Gradient(8, 8));
  EXPECT_EQ(Refusal(DecodeBmp, bmp.left(40)), "Bitmap image is not valid");
  EXPECT_EQ(Refusal(DecodeBmp, "not a picture"), "Bitmap image is not valid");
  EXPECT_EQ(Refusal(DecodeJpeg, bmp), "JPEG error #53");  // JERR_NO_SOI: no start-of-image marker
}

TEST(PictureDecoders, RefusePicturesAboveTheSizeLimit) {
  QByteArray bmp = BmpFileBytes(Gradient(2, 2));
  // The header claims 10001 x 2.
  bmp[18] = char(0x11);
  bmp[19] = char(0x27);
  EXPECT_EQ(Refusal(DecodeBmp, bmp), PictureTooLargeMessage(10001, 2).toStdString());
}

TEST(Zlib, LevelNineStreamsRoundTripAndDamageIsRefused) {
  QByteArray payload;
  for (int i = 0; i < 100000; ++i) payload.append(char(i * 7 % 13));
  const QByteArray z = ZlibCompress(payload);
  EXPECT_EQ(z.left(2).toHex(), "78da");
  EXPECT_EQ(ZlibDecompress(z, 1 << 20), payload);
  EXPECT_THROW(ZlibDecompress(z.left(z.size() - 5), 1 << 20), EZlibError);
  EXPECT_THROW(ZlibDecompress("plain text", 1 << 20), EZlibError);
  EXPECT_THROW(ZlibDecompress(z, 99999), EZlibTooLarge);
  EXPECT_EQ(ZlibDecompress(ZlibCompress(QByteArray()), 10), QByteArray());
}
