// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/Yuv420.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// BT.601 in studio range, in 16-bit fixed point: luma is
// 16 + 219/255 (0.299 R + 0.587 G + 0.114 B), the colour differences
// 128 + 224/255 ((B - Y) / 1.772) and 128 + 224/255 ((R - Y) / 1.402).
// Each difference's weights add up to zero, so grey stays at 128.
constexpr int YR = 16829, YG = 33039, YB = 6416;
constexpr int CbR = -9714, CbG = -19070, CbB = 28784;
constexpr int CrR = 28784, CrG = -24103, CrB = -4681;
constexpr int LumaBase = (16 << 16) + (1 << 15);
// Colour differences are taken from sums of four pixels: two bits more.
constexpr int ChromaBase = (128 << 18) + (1 << 17);

// The row loops are compiled for AVX2 as well where the processor may have
// it, and the loader picks the version the processor runs: with it they
// convert about three times as fast.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TAVEL_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define TAVEL_ROW_LOOP
#endif

inline int R(QRgb P) { return static_cast<int>((P >> 16) & 0xff); }
inline int G(QRgb P) { return static_cast<int>((P >> 8) & 0xff); }
inline int B(QRgb P) { return static_cast<int>(P & 0xff); }

TAVEL_ROW_LOOP void LumaRow(const QRgb* In, int Width, int LumaWidth, uchar* Out) {
  for (int x = 0; x < Width; ++x) {
    const QRgb p = In[x];
    Out[x] = static_cast<uchar>((YR * R(p) + YG * G(p) + YB * B(p) + LumaBase) >> 16);
  }
  std::fill(Out + Width, Out + LumaWidth, Out[Width - 1]);
}

inline void Chroma(QRgb P00, QRgb P01, QRgb P10, QRgb P11, uchar& Cb, uchar& Cr) {
  const int r = R(P00) + R(P01) + R(P10) + R(P11);
  const int g = G(P00) + G(P01) + G(P10) + G(P11);
  const int b = B(P00) + B(P01) + B(P10) + B(P11);
  Cb = static_cast<uchar>((CbR * r + CbG * g + CbB * b + ChromaBase) >> 18);
  Cr = static_cast<uchar>((CrR * r + CrG * g + CrB * b + ChromaBase) >> 18);
}

// The colour differences of rows A and B (the same row where the picture
// ends on an odd one), one sample per two columns.
TAVEL_ROW_LOOP void ChromaRow(const QRgb* A, const QRgb* B0, int Width, uchar* Cb, uchar* Cr) {
  const std::ptrdiff_t pairs = Width / 2;
  for (std::ptrdiff_t x = 0; x < pairs; ++x) Chroma(A[2 * x], A[2 * x + 1], B0[2 * x], B0[2 * x + 1], Cb[x], Cr[x]);
  if (Width % 2 != 0) Chroma(A[Width - 1], A[Width - 1], B0[Width - 1], B0[Width - 1], Cb[pairs], Cr[pairs]);
}

}  // namespace

TYuv420Writer::TYuv420Writer(QSize LumaSize) : Luma(LumaSize) {}

qsizetype TYuv420Writer::FrameBytes() const {
  const qsizetype chroma = static_cast<qsizetype>((Luma.width() + 1) / 2) * ((Luma.height() + 1) / 2);
  return static_cast<qsizetype>(Luma.width()) * Luma.height() + 2 * chroma;
}

bool TYuv420Writer::Write(const QImage& Picture, const TYuvSink& Sink) {
  Q_ASSERT(Picture.format() == QImage::Format_RGB32);
  const int width = Picture.width();
  const int height = Picture.height();
  const int lumaWidth = Luma.width();
  const int lumaHeight = Luma.height();
  Q_ASSERT(lumaWidth - width >= 0 && lumaWidth - width <= 1 && lumaHeight - height >= 0 && lumaHeight - height <= 1);
  const auto row = [&](int Y) { return reinterpret_cast<const QRgb*>(Picture.constScanLine(std::min(Y, height - 1))); };

  const int lumaStep = static_cast<int>(std::max<qsizetype>(1, SinkPiece / lumaWidth));
  for (int y = 0; y < lumaHeight; y += lumaStep) {
    const int n = std::min(lumaStep, lumaHeight - y);
    Rows.resize(static_cast<qsizetype>(n) * lumaWidth);
    auto* out = reinterpret_cast<uchar*>(Rows.data());
    for (int i = 0; i < n; ++i) LumaRow(row(y + i), width, lumaWidth, out + static_cast<qsizetype>(i) * lumaWidth);
    if (!Sink(Rows.constData(), Rows.size())) return false;
  }

  // Blue differences go out as they are made; red ones wait in their plane.
  const int chromaWidth = (lumaWidth + 1) / 2;
  const int chromaHeight = (lumaHeight + 1) / 2;
  Red.resize(static_cast<qsizetype>(chromaWidth) * chromaHeight);
  auto* red = reinterpret_cast<uchar*>(Red.data());
  const int chromaStep = static_cast<int>(std::max<qsizetype>(1, SinkPiece / chromaWidth));
  for (int y = 0; y < chromaHeight; y += chromaStep) {
    const int n = std::min(chromaStep, chromaHeight - y);
    Rows.resize(static_cast<qsizetype>(n) * chromaWidth);
    auto* blue = reinterpret_cast<uchar*>(Rows.data());
    for (int i = 0; i < n; ++i) {
      const qsizetype at = static_cast<qsizetype>(i) * chromaWidth;
      ChromaRow(row(2 * (y + i)), row(2 * (y + i) + 1), width, blue + at,
                red + static_cast<qsizetype>(y) * chromaWidth + at);
    }
    if (!Sink(Rows.constData(), Rows.size())) return false;
  }
  return SendInPieces(Red.constData(), Red.size(), Sink);
}

bool SendInPieces(const char* Data, qsizetype Bytes, const TYuvSink& Sink) {
  for (qsizetype done = 0; done < Bytes; done += SinkPiece)
    if (!Sink(Data + done, std::min(SinkPiece, Bytes - done))) return false;
  return true;
}
