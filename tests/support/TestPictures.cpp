#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

QByteArray EncodeJpeg(const QImage& Picture, TJpegKind Kind) {
  const QImage rgb = Picture.convertToFormat(QImage::Format_RGB32);
  const int components = Kind == TJpegKind::Grey ? 1 : Kind == TJpegKind::CmykAdobe || Kind == TJpegKind::CmykPlain ? 4 : 3;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (components == 4) {
    jpeg_set_colorspace(&info, JCS_CMYK);
    info.write_Adobe_marker = Kind == TJpegKind::CmykAdobe;
  }
  for (int c = 0; c < info.num_components; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  if (Kind == TJpegKind::Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(rgb.width()) * components);
  while (info.next_scanline < info.image_height) {
    const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    for (int x = 0; x < rgb.width(); ++x) {
      JSAMPLE* out = row.data() + static_cast<std::size_t>(x) * components;
      const int r = qRed(in[x]), g = qGreen(in[x]), b = qBlue(in[x]);
      if (Kind == TJpegKind::Grey) {
        out[0] = static_cast<JSAMPLE>(qGray(in[x]));
      } else if (Kind == TJpegKind::CmykAdobe) {
        // Inverted: the stored value is 255 minus the ink; no black ink.
        out[0] = static_cast<JSAMPLE>(r), out[1] = static_cast<JSAMPLE>(g), out[2] = static_cast<JSAMPLE>(b);
        out[3] = 255;
      } else if (Kind == TJpegKind::CmykPlain) {
        out[0] = static_cast<JSAMPLE>(255 - r), out[1] = static_cast<JSAMPLE>(255 - g);
        out[2] = static_cast<JSAMPLE>(255 - b), out[3] = 0;
      } else {
        out[0] = static_cast<JSAMPLE>(r), out[1] = static_cast<JSAMPLE>(g), out[2] = static_cast<JSAMPLE>(b);
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  QByteArray file(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return file;
}

QByteArray EncodeBmp32(const QImage& Picture, bool TopDown) {
  const QImage rgb = Picture.convertToFormat(QImage::Format_RGB32);
  const int w = rgb.width(), h = rgb.height();
  QByteArray file(54 + 4 * w * h, '\0');
  auto put32 = [&](int At, qint32 V) { qToLittleEndian<qint32>(V, file.data() + At); };
  auto put16 = [&](int At, qint16 V) { qToLittleEndian<qint16>(V, file.data() + At); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<qint32>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, TopDown ? -h : h);
  put16(26, 1);
  put16(28, 32);
  put32(34, 4 * w * h);
  for (int y = 0; y < h; ++y) {
    const int row = TopDown ? y : h - 1 - y;
    const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    char* out = file.data() + 54 + 4 * w * row;
    for (int x = 0; x < w; ++x) {
      out[4 * x] = static_cast<char>(qBlue(in[x]));
      out[4 * x + 1] = static_cast<char>(qGreen(in[x]));
      out[4 * x + 2] = static_cast<char>(qRed(in[x]));
    }
  }
  return file;
}

QImage Gradient(int Width, int Height) {
  QImage picture(Width, Height, QImage::Format_RGB32);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) picture.setPixel(x, y, qRgb(x * 40 % 256, y * 60 % 256, (x + y) * 25 % 256));
  return picture;
}

QImage Quarters(int Width, int Height) {
  QImage picture(Width, Height, QImage::Format_RGB32);
  const QRgb colours[] = {qRgb(200, 30, 40), qRgb(20, 160, 60), qRgb(30, 50, 220), qRgb(250, 240, 20)};
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) picture.setPixel(x, y, colours[(y >= Height / 2) * 2 + (x >= Width / 2)]);
  return picture;
}

int LargestChannelDifference(const QImage& A, const QImage& B) {
  if (A.size() != B.size()) return 256;
  const QImage a = A.convertToFormat(QImage::Format_RGB32), b = B.convertToFormat(QImage::Format_RGB32);
  int largest = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  return largest;
}

void WriteTestFile(const QString& Path, const QByteArray& Bytes) {
  QFile file(Path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << Path.toStdString();
  ASSERT_EQ(file.write(Bytes), Bytes.size());
}

QByteArray ReadTestFile(const QString& Path) {
  QFile file(Path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}
