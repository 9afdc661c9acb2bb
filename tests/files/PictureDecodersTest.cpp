// SPDX-License-Identifier: GPL-3.0-or-later
// The picture decoders on files of every depth and kind a background may
// come in, on damaged files, and at the size limit.

#include <gtest/gtest.h>

#include <QtEndian>

#include "files/BmpFile.h"
#include "files/FileError.h"
#include "files/PictureDecoders.h"
#include "tests/support/Refusal.h"
#include "tests/support/TestPictures.h"

namespace {

std::string Refusal(QImage (*Decode)(const QByteArray&), const QByteArray& Bytes) {
  return RefusalOf([&] { Decode(Bytes); }, "decoded");
}

QImage Grey(const QImage& Picture) {
  QImage grey = Picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x) {
      const int g = qGray(grey.pixel(x, y));
      grey.setPixel(x, y, qRgb(g, g, g));
    }
  return grey;
}

TEST(PictureDecoders, EveryBmpDepthDecodesToItsPixels) {
  const QImage picture = Quarters(6, 4);
  QImage indexed(6, 4, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(200, 30, 40), qRgb(20, 160, 60), qRgb(30, 50, 220), qRgb(250, 240, 20)});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) indexed.setPixel(x, y, (y >= 2) * 2 + (x >= 3));
  const struct {
    const char* Name;
    QByteArray File;
    QImage::Format Format;
  } cases[] = {
      {"8-bit", BmpFileBytes(indexed), QImage::Format_Indexed8},
      {"24-bit", BmpFileBytes(picture), QImage::Format_RGB32},
      {"32-bit", EncodeBmp32(picture), QImage::Format_RGB32},
      {"32-bit top-down", EncodeBmp32(picture, true), QImage::Format_RGB32},
  };
  for (const auto& c : cases) {
    const QImage decoded = DecodeBmp(c.File);
    EXPECT_EQ(decoded.format(), c.Format) << c.Name;
    EXPECT_EQ(LargestChannelDifference(decoded, picture), 0) << c.Name;
  }
}

// Colours every depth holds exactly: each channel 0 or 255.
QImage Pattern(int Colours) {
  QImage picture(13, 5, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < Colours; ++i) table << qRgb(i & 4 ? 255 : 0, i & 2 ? 255 : 0, i & 1 ? 255 : 0);
  picture.setColorTable(table);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, (x + 2 * y) % Colours);
  return picture;
}

TEST(PictureDecoders, BmpsOfEveryHeaderDepthAndCodingDecodeToTheirPixels) {
  const struct {
    const char* Name;
    TBmpSpec Spec;
  } cases[] = {
      {"1-bit", {40, 1}},
      {"4-bit", {40, 4}},
      {"RLE4", {40, 4, 2}},
      {"8-bit", {40, 8}},
      {"RLE8", {40, 8, 1}},
      {"16-bit 555", {40, 16}},
      {"16-bit 565", {40, 16, 3, {0xF800, 0x07E0, 0x001F}}},
      {"24-bit", {40, 24}},
      {"32-bit", {40, 32}},
      {"32-bit bit fields", {40, 32, 3, {0x0000FF00, 0x00FF0000, 0xFF000000}}},
      {"core 1-bit", {12, 1}},
      {"core 4-bit", {12, 4}},
      {"core 8-bit", {12, 8}},
      {"52-byte header, 565", {52, 16, 3, {0xF800, 0x07E0, 0x001F}}},
      {"52-byte header, 8-bit", {52, 8}},
      {"56-byte header, 32-bit", {56, 32, 3, {0x00FF0000, 0x0000FF00, 0x000000FF}}},
      {"108-byte header", {108, 24}},
      {"124-byte header", {124, 8}},
  };
  for (const auto& c : cases) {
    const QImage picture = Pattern(c.Spec.Bits == 1 ? 2 : 8);
    QImage decoded;
    ASSERT_NO_THROW(decoded = DecodeBmp(EncodeBmp(picture, c.Spec))) << c.Name;
    EXPECT_EQ(LargestChannelDifference(decoded, picture), 0) << c.Name;
  }
}

TEST(PictureDecoders, EveryJpegKindDecodesToItsPixels) {
  const QImage picture = Quarters(32, 16);
  const struct {
    const char* Name;
    TJpegKind Kind;
    QImage Expected;
  } cases[] = {
      {"baseline", TJpegKind::Baseline, picture},     {"progressive", TJpegKind::Progressive, picture},
      {"grey", TJpegKind::Grey, Grey(picture)},       {"CMYK, Adobe", TJpegKind::CmykAdobe, picture},
      {"CMYK, plain", TJpegKind::CmykPlain, picture},
  };
  for (const auto& c : cases) {
    const QImage decoded = DecodeJpeg(EncodeJpeg(picture, c.Kind));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32) << c.Name;
    // Quality 100 with solid 8 x 8 blocks: only the transform's rounding remains.
    EXPECT_LE(LargestChannelDifference(decoded, c.Expected), 3) << c.Name;
  }
}

TEST(PictureDecoders, DamagedJpegsAreRefusedWithTheLibraryMessageNumber) {
  const QByteArray jpeg = EncodeJpeg(Quarters(64, 64), TJpegKind::Baseline);
  const QByteArray progressive = EncodeJpeg(Quarters(64, 64), TJpegKind::Progressive);
  // The end of the header: the start-of-scan marker's segment ends where the data begins.
  const qsizetype scan = jpeg.indexOf("\xFF\xDA");
  ASSERT_GT(scan, 0);
  const qsizetype data = scan + 2 + qFromBigEndian<quint16>(jpeg.constData() + scan + 2);
  QByteArray garbage = jpeg.left(data);
  for (int i = 0; i < 3000; ++i) garbage.append(static_cast<char>((i * 37 + 11) % 251));
  const QByteArray cases[] = {
      jpeg.left(jpeg.size() / 2),                    // truncated in the scan
      jpeg.left(data),                               // header only
      progressive.left(progressive.size() * 2 / 3),  // truncated between scans
      garbage,                                       // garbage after a valid header
      jpeg.left(20),                                 // truncated header
  };
  for (const QByteArray& c : cases) EXPECT_EQ(Refusal(DecodeJpeg, c).rfind("JPEG error #", 0), 0u) << c.size();
}

TEST(PictureDecoders, JpegWarningsThatLoseNothingAreAccepted) {
  const QByteArray jpeg = EncodeJpeg(Quarters(32, 16), TJpegKind::Baseline);
  const QImage clean = DecodeJpeg(jpeg);
  QByteArray stray = jpeg, newer = jpeg;
  stray.insert(jpeg.indexOf("\xFF\xDA"), "junk");  // bytes before a marker (warning 116)
  ASSERT_EQ(newer.mid(6, 4), "JFIF");
  newer[11] = 2;  // JFIF 2.x (warning 119)
  for (const QByteArray& file : {stray, newer}) EXPECT_EQ(DecodeJpeg(file), clean);
}

TEST(PictureDecoders, JpegAboveTheSizeLimitIsRefusedByItsHeader) {
  QByteArray jpeg = EncodeJpeg(Quarters(16, 16), TJpegKind::Baseline);
  // The frame header (SOF0): length, precision, then height and width.
  const qsizetype frame = jpeg.indexOf("\xFF\xC0");
  ASSERT_GT(frame, 0);
  qToBigEndian<quint16>(10001, jpeg.data() + frame + 7);
  EXPECT_EQ(Refusal(DecodeJpeg, jpeg), PictureTooLargeMessage(10001, 16).toStdString());
}

TEST(PictureDecoders, BmpsWhoseRowsEndEarlyAreRefusedOrDecodedFromACleanPicture) {
  // Uncompressed: the file must hold every row.
  for (const QByteArray& whole : {BmpFileBytes(Quarters(64, 64)), EncodeBmp32(Quarters(64, 64))}) {
    EXPECT_EQ(Refusal(DecodeBmp, whole.left(whole.size() - 1)), "Bitmap image is not valid");
    EXPECT_EQ(Refusal(DecodeBmp, whole.left(300)), "Bitmap image is not valid");
  }
  // Run-length coded (8-bit): one run of colour 1 on the bottom row, then the
  // file ends. The rows never reached are colour 0, not left-over memory.
  QImage indexed(64, 64, QImage::Format_Indexed8);
  QList<QRgb> table(256, qRgb(128, 128, 128));
  table[0] = qRgb(0, 0, 0);
  table[1] = qRgb(255, 0, 0);
  indexed.setColorTable(table);
  indexed.fill(0);
  QByteArray rle = BmpFileBytes(indexed).left(54 + 4 * 256);
  rle[30] = 1;                // BI_RLE8
  rle.append("\x10\x01", 2);  // 16 pixels of colour 1
  qToLittleEndian<quint32>(static_cast<quint32>(rle.size()), rle.data() + 2);
  const QImage decoded = DecodeBmp(rle);
  ASSERT_EQ(decoded.format(), QImage::Format_Indexed8);
  EXPECT_EQ(decoded.pixelIndex(15, 63), 1);
  EXPECT_EQ(decoded.pixelIndex(16, 63), 0);
  EXPECT_EQ(decoded.pixelIndex(0, 0), 0);
}

TEST(PictureDecoders, TopDownBmpAboveTheSizeLimitIsRefused) {
  QByteArray bmp = EncodeBmp32(Quarters(2, 2), true);
  qToLittleEndian<qint32>(-10001, bmp.data() + 22);
  EXPECT_EQ(Refusal(DecodeBmp, bmp), PictureTooLargeMessage(2, 10001).toStdString());
}

TEST(PictureDecoders, BmpOfTheLargestAllowedSizeLoads) {
  // 10000 x 10000 at 24 bits: 400 MB as a picture, above the reader's own
  // default allowance, and exactly the largest size the animation can take.
  constexpr int Side = MaxPictureSide;
  QByteArray file(54 + qsizetype(Side) * Bmp24RowBytes(Side), '\0');
  const QByteArray header = BmpFileBytes(QImage(1, 1, QImage::Format_RGB32)).left(54);
  file.replace(0, 54, header);
  qToLittleEndian<qint32>(static_cast<qint32>(file.size()), file.data() + 2);
  qToLittleEndian<qint32>(Side, file.data() + 18);
  qToLittleEndian<qint32>(Side, file.data() + 22);
  qToLittleEndian<qint32>(static_cast<qint32>(file.size() - 54), file.data() + 34);
  file[54] = char(0xFF);  // bottom-left pixel blue
  const QImage decoded = DecodeBmp(file);
  ASSERT_EQ(decoded.size(), QSize(Side, Side));
  EXPECT_EQ(decoded.pixel(0, Side - 1), qRgb(0, 0, 255));
  EXPECT_EQ(decoded.pixel(Side - 1, 0), qRgb(0, 0, 0));
}

}  // namespace
