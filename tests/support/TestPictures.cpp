// SPDX-License-Identifier: GPL-3.0-or-later
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
  const int components = Kind == TJpegKind::Grey                                        ? 1
                         : Kind == TJpegKind::CmykAdobe || Kind == TJpegKind::CmykPlain ? 4
                                                                                        : 3;
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
    char* out = file.data() + 54 + qsizetype(4) * w * row;
    for (int x = 0; x < w; ++x) {
      out[qsizetype(4) * x] = static_cast<char>(qBlue(in[x]));
      out[qsizetype(4) * x + 1] = static_cast<char>(qGreen(in[x]));
      out[qsizetype(4) * x + 2] = static_cast<char>(qRed(in[x]));
    }
  }
  return file;
}

namespace {

// Bytes of one stored row of an indexed picture: the indices packed from
// the high bits down, or run-length coded.
QByteArray IndexedRow(const QImage& Picture, int Y, const TBmpSpec& Spec) {
  QByteArray row;
  const int w = Picture.width();
  if (Spec.Compression == 1 || Spec.Compression == 2) {
    for (int x = 0; x < w;) {
      const int index = Picture.pixelIndex(x, Y);
      int run = 1;
      while (x + run < w && run < 255 && Picture.pixelIndex(x + run, Y) == index) ++run;
      row.append(static_cast<char>(run));
      row.append(static_cast<char>(Spec.Compression == 2 ? index << 4 | index : index));
      x += run;
    }
    row.append("\0\0", 2);  // end of the row
    return row;
  }
  int bitsUsed = 0;
  quint8 byte = 0;
  for (int x = 0; x < w; ++x) {
    byte = static_cast<quint8>(byte | Picture.pixelIndex(x, Y) << (8 - Spec.Bits - bitsUsed));
    bitsUsed += Spec.Bits;
    if (bitsUsed == 8) {
      row.append(static_cast<char>(byte));
      byte = 0;
      bitsUsed = 0;
    }
  }
  if (bitsUsed > 0) row.append(static_cast<char>(byte));
  return row;
}

// A colour as the bits of Mask hold it.
quint32 Through(quint32 Mask, int Value) {
  if (Mask == 0) return 0;
  int shift = 0;
  while (!(Mask >> shift & 1)) ++shift;
  const quint32 top = Mask >> shift;
  return static_cast<quint32>((Value * top + 127) / 255) << shift;
}

QByteArray DirectRow(const QImage& Picture, int Y, const TBmpSpec& Spec) {
  QByteArray row;
  quint32 masks[3] = {Spec.Masks[0], Spec.Masks[1], Spec.Masks[2]};
  if (Spec.Compression != 3 && Spec.Bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  for (int x = 0; x < Picture.width(); ++x) {
    const QRgb c = Picture.pixel(x, Y);
    if (Spec.Bits == 24) {
      row.append(static_cast<char>(qBlue(c))).append(static_cast<char>(qGreen(c))).append(static_cast<char>(qRed(c)));
      continue;
    }
    if (Spec.Bits == 32 && Spec.Compression != 3) {
      row.append(static_cast<char>(qBlue(c))).append(static_cast<char>(qGreen(c))).append(static_cast<char>(qRed(c)));
      row.append('\0');
      continue;
    }
    const quint32 v = Through(masks[0], qRed(c)) | Through(masks[1], qGreen(c)) | Through(masks[2], qBlue(c));
    for (int b = 0; b < Spec.Bits / 8; ++b) row.append(static_cast<char>(v >> (8 * b)));
  }
  return row;
}

}  // namespace

QByteArray EncodeBmp(const QImage& Picture, const TBmpSpec& Spec) {
  const bool core = Spec.HeaderSize == 12, indexed = Spec.Bits <= 8;
  const bool runLength = Spec.Compression == 1 || Spec.Compression == 2;
  const int w = Picture.width(), h = Picture.height();
  QByteArray pixels;
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row = indexed ? IndexedRow(Picture, y, Spec) : DirectRow(Picture, y, Spec);
    if (!runLength) row.append(QByteArray((4 - row.size() % 4) % 4, '\0'));
    pixels += row;
  }
  if (runLength) pixels.append("\0\1", 2);  // end of the picture

  QByteArray table;
  if (indexed) {
    const int entries = core ? 1 << Spec.Bits : static_cast<int>(Picture.colorCount());
    for (int i = 0; i < entries; ++i) {
      const QRgb c = i < Picture.colorCount() ? Picture.color(i) : 0;
      table.append(static_cast<char>(qBlue(c))).append(static_cast<char>(qGreen(c))).append(static_cast<char>(qRed(c)));
      if (!core) table.append('\0');
    }
  }
  // Bit fields after a 40-byte header follow it as three masks.
  QByteArray masks;
  if (Spec.Compression == 3 && Spec.HeaderSize == 40)
    for (const quint32 m : Spec.Masks) masks.append(reinterpret_cast<const char*>(&m), 4);

  QByteArray header(Spec.HeaderSize, '\0');
  auto put32 = [&](int At, quint32 V) { qToLittleEndian<quint32>(V, header.data() + At); };
  auto put16 = [&](int At, quint16 V) { qToLittleEndian<quint16>(V, header.data() + At); };
  put32(0, static_cast<quint32>(Spec.HeaderSize));
  if (core) {
    put16(4, static_cast<quint16>(w));
    put16(6, static_cast<quint16>(h));
    put16(8, 1);
    put16(10, static_cast<quint16>(Spec.Bits));
  } else {
    put32(4, static_cast<quint32>(w));
    put32(8, static_cast<quint32>(h));
    put16(12, 1);
    put16(14, static_cast<quint16>(Spec.Bits));
    put32(16, static_cast<quint32>(Spec.Compression));
    put32(20, static_cast<quint32>(pixels.size()));
    if (indexed) put32(32, static_cast<quint32>(Picture.colorCount()));
    // The longer headers carry the masks themselves, then a colour space.
    if (Spec.HeaderSize >= 52)
      for (int i = 0; i < 3; ++i) put32(40 + 4 * i, Spec.Masks[i]);
    if (Spec.HeaderSize >= 108) put32(56, 0x73524742);  // 'sRGB'
  }
  const quint32 offset = static_cast<quint32>(14 + header.size() + masks.size() + table.size());
  QByteArray file("BM", 2);
  file.append(QByteArray(12, '\0'));
  qToLittleEndian<quint32>(offset + static_cast<quint32>(pixels.size()), file.data() + 2);
  qToLittleEndian<quint32>(offset, file.data() + 10);
  return file + header + masks + table + pixels;
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
      largest = std::max(
          {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
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
