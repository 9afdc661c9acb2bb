// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PngExport.h"

#include <zlib.h>

#include <QBuffer>
#include <QFileDevice>
#include <QRegion>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <vector>

#include "export/BitmapExport.h"
#include "export/ChangedArea.h"
#include "export/FrameBatches.h"
#include "export/GifBlocks.h"
#include "export/GifExport.h"
#include "files/FileError.h"
#include "files/WholeFile.h"

namespace {

constexpr int FramesPerThread = 2;
const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

void PutBig32(QByteArray& Out, uint32_t Value) {
  const char bytes[4] = {char(Value >> 24), char(Value >> 16), char(Value >> 8), char(Value)};
  Out.append(bytes, 4);
}

void PutBig16(QByteArray& Out, uint16_t Value) {
  const char bytes[2] = {char(Value >> 8), char(Value)};
  Out.append(bytes, 2);
}

uint32_t Big32(const char* At) {
  const auto* b = reinterpret_cast<const unsigned char*>(At);
  return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

// A chunk: its length, type and data, and the CRC of type and data.
void WriteChunk(QByteArray& Out, const char* Type, const QByteArray& Data) {
  PutBig32(Out, static_cast<uint32_t>(Data.size()));
  const qsizetype start = Out.size();
  Out.append(Type, 4);
  Out.append(Data);
  const auto* typed = reinterpret_cast<const Bytef*>(Out.constData() + start);
  PutBig32(Out, static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), typed, static_cast<uInt>(Out.size() - start))));
}

// What the animated PNG takes from a PNG file: the header's data and the
// compressed picture (the data of its IDAT chunks, in order).
struct TPngParts {
  QByteArray Header;
  std::vector<QByteArray> Data;
};

TPngParts SplitPng(const QByteArray& Png) {
  if (!Png.startsWith(PngSignature)) throw EFileError("The PNG writer made no PNG file.");
  TPngParts parts;
  qsizetype at = PngSignature.size();
  while (at + 12 <= Png.size()) {
    const qsizetype length = Big32(Png.constData() + at);
    if (length > Png.size() - at - 12) break;
    const QByteArray type = Png.mid(at + 4, 4);
    if (type == "IHDR") parts.Header = Png.mid(at + 8, length);
    if (type == "IDAT") parts.Data.push_back(Png.mid(at + 8, length));
    at += 12 + length;
  }
  if (parts.Header.size() != 13 || parts.Data.empty()) throw EFileError("The PNG writer made no PNG file.");
  return parts;
}

// The rectangle where Now differs from Was, looked for only inside Inside;
// Was holds that part alone, from its top left corner. Empty when equal.
QRect ChangedRect(const QImage& Now, const QImage& Was, QRect Inside) {
  if (Inside.isEmpty()) return {};
  const auto* now = reinterpret_cast<const uint32_t*>(Now.constScanLine(Inside.top())) + Inside.left();
  return ChangedArea(now, Now.bytesPerLine() / 4, reinterpret_cast<const uint32_t*>(Was.constBits()),
                     Was.bytesPerLine() / 4, Inside.width(), Inside.height())
      .translated(Inside.topLeft());
}

// Where frames Was and Now can differ as rendered at Size, 1/Shrink of the
// animation: around the figures of either; everywhere else both show the
// background alone.
QRegion MayDiffer(const TAnimation& Animation, const TFigures& Was, const TFigures& Now, int Shrink, QSize Size) {
  QRegion region;
  for (const TFigures* frame : {&Was, &Now})
    for (const TFigure& figure : frame->Items) {
      QRect area = figure.DrawBounds(1.0f, false) & QRect(QPoint(0, 0), Animation.Size());
      // A reduced pixel is the mean of a block of Shrink x Shrink pixels.
      if (!area.isEmpty() && Shrink >= 2)
        area = QRect(QPoint(area.left() / Shrink, area.top() / Shrink),
                     QPoint(area.right() / Shrink, area.bottom() / Shrink));
      region += area & QRect(QPoint(0, 0), Size);
    }
  return region;
}

// A part of a picture: where it lies, and its pixels there.
struct TPicturePart {
  QRect Area;
  QImage Pixels;
};

// Copies of the parts of Picture in Region.
std::vector<TPicturePart> CopyParts(const QImage& Picture, const QRegion& Region) {
  std::vector<TPicturePart> parts;
  for (const QRect& area : Region) parts.push_back({area, Picture.copy(area)});
  return parts;
}

// A frame as it is written: the part of it that changed, compressed.
struct TApngFrame {
  QRect Area;
  QByteArray Png;
};

// Frame J of Batch, cut to where it differs from the frame before it: in
// the batch, or in Previous, the parts of the frame before the batch where
// they can differ. The first frame of all is written whole.
TApngFrame CompressFrame(const TFrameBatch& Batch, int J, const std::vector<TPicturePart>& Previous) {
  const QImage& picture = Batch.Picture(J);
  TApngFrame frame;
  if (J > 0) {
    frame.Area = ChangedRect(picture, Batch.Picture(J - 1), picture.rect());
  } else if (Batch.Start == 0) {
    frame.Area = picture.rect();
  } else {
    for (const TPicturePart& part : Previous) frame.Area |= ChangedRect(picture, part.Pixels, part.Area);
  }
  // A frame like the one before still needs a picture: one pixel of it.
  if (frame.Area.isEmpty()) frame.Area = QRect(0, 0, 1, 1);
  frame.Png = EncodePng(frame.Area == picture.rect() ? picture : picture.copy(frame.Area));
  return frame;
}

void Write(QIODevice& Out, const QByteArray& Bytes) {
  if (WriteFully(Out, Bytes)) return;
  const auto* file = qobject_cast<const QFileDevice*>(&Out);
  const QString name = file != nullptr ? file->fileName() : QString();
  throw EFileError(
      (name.isEmpty() ? Out.errorString() : QStringLiteral("%1: %2").arg(name, Out.errorString())).toStdString());
}

// The animated PNG's chunks around the frames' pictures, written to Out as
// each frame comes: the signature, the header and the animation control
// before the first, a frame control before each, and the end.
class TApngWriter {
 public:
  TApngWriter(QIODevice& Out, int Frames, long long Delay) : Out(Out), Frames(Frames), Delay(Delay) {}

  // Frame, shown for Hold delays.
  void WriteFrame(const TApngFrame& Frame, int Hold) {
    const TPngParts parts = SplitPng(Frame.Png);
    const bool first = Written == 0;
    QByteArray bytes;
    if (first) {
      Header = parts.Header;
      bytes = Opening();
    } else if (parts.Header.mid(8) != Header.mid(8)) {
      // Bit depth, colour type, compression, filter and interlacing are the first frame's.
      throw EFileError("The PNG writer wrote frames of different kinds.");
    }
    WriteChunk(bytes, "fcTL", FrameControl(Frame.Area, Hold));
    for (const QByteArray& data : parts.Data) {
      if (first) {
        WriteChunk(bytes, "IDAT", data);
      } else {
        QByteArray numbered;
        PutBig32(numbered, Sequence++);
        WriteChunk(bytes, "fdAT", numbered + data);
      }
    }
    Write(Out, bytes);
    ++Written;
  }

  void Finish() {
    QByteArray end;
    WriteChunk(end, "IEND", QByteArray());
    Write(Out, end);
  }

 private:
  // The signature, the first frame's header and the animation control.
  QByteArray Opening() const {
    QByteArray bytes = PngSignature;
    WriteChunk(bytes, "IHDR", Header);
    QByteArray control;
    PutBig32(control, static_cast<uint32_t>(Frames));
    PutBig32(control, 0);  // plays: for ever
    WriteChunk(bytes, "acTL", control);
    return bytes;
  }

  // A frame's control: its place, its delay, and that it replaces the area.
  QByteArray FrameControl(QRect Area, int Hold) {
    QByteArray control;
    PutBig32(control, Sequence++);
    PutBig32(control, static_cast<uint32_t>(Area.width()));
    PutBig32(control, static_cast<uint32_t>(Area.height()));
    PutBig32(control, static_cast<uint32_t>(Area.left()));
    PutBig32(control, static_cast<uint32_t>(Area.top()));
    PutBig16(control, GifDelay(Delay * Hold));
    PutBig16(control, 100);
    control.append(char(0));  // dispose: leave the frame as it is
    control.append(char(0));  // blend: the area replaces what was there
    return control;
  }

  QIODevice& Out;
  int Frames;
  long long Delay;    // hundredths of a second a tick
  QByteArray Header;  // the first frame's
  uint32_t Sequence = 0;
  int Written = 0;
};

}  // namespace

QString PngFileName(const QString& Base, int Index, int FrameCount) {
  return Base + QStringLiteral("%1").arg(Index, BitmapNumberWidth(FrameCount), 10, QLatin1Char('0')) +
         QStringLiteral(".png");
}

QByteArray EncodePng(const QImage& Picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // Qt writes a picture without alpha as 8-bit RGB.
  QImage rgb = Picture.format() == QImage::Format_RGB32 ? Picture : Picture.convertToFormat(QImage::Format_RGB32);
  if (rgb.dotsPerMeterX() != PngDotsPerMeter || rgb.dotsPerMeterY() != PngDotsPerMeter) {
    rgb.setDotsPerMeterX(PngDotsPerMeter);
    rgb.setDotsPerMeterY(PngDotsPerMeter);
  }
  if (!rgb.save(&buffer, "PNG")) throw EFileError("The PNG writer failed.");
  return bytes;
}

void SaveAnimationAsPngs(const QString& Base, const TAnimation& Animation, const TExportProgress& Progress, int Threads,
                         TLineStyle Lines, bool Once) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  const std::vector<int> starts = SeriesFileStarts(Animation, Once);
  const long long picture = 4LL * Animation.Width * Animation.Height;
  TFrameBatches batches(Animation, {.Lines = Lines,
                                    .Threads = Threads,
                                    .ThreadBytes = 2 * picture,
                                    .FramesPerThread = FramesPerThread,
                                    .FrameBytes = picture});
  std::vector<QByteArray> files(static_cast<std::size_t>(batches.Size()));
  batches.Run({.Each = [&](const QImage& Picture, int J) { files[J] = EncodePng(Picture); },
               .Write =
                   [&](const TFrameBatch& Batch) {
                     for (int j = 0; j < Batch.Count; ++j) {
                       const std::size_t frame = static_cast<std::size_t>(Batch.Start) + j;
                       for (int n = starts[frame]; n < starts[frame + 1]; ++n)
                         WriteWholeFile(PngFileName(Base, n, starts.back()), files[j]);
                       if (Progress) Progress((Batch.Start + j) * 100 / frames);
                     }
                   }});
}

void WriteAnimatedPng(QIODevice& Out, const TAnimation& Animation, long long Delay, int Shrink,
                      const TExportProgress& Progress, int Threads, TLineStyle Lines) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  const QSize size = GifFrameSize(Animation.Size(), Shrink);
  // Each frame of a batch is drawn by a renderer of its own, which keeps
  // it while the frame after it is compared with it and it is compressed.
  // Between batches only the part of the last frame where the next can
  // differ is kept: streaming holds no more pictures than the GIF export.
  const long long full = 4LL * Animation.Width * Animation.Height;
  const long long small = Shrink >= 2 ? 4LL * size.width() * size.height() : 0;
  TFrameBatches batches(Animation, {.Shrink = Shrink,
                                    .Lines = Lines,
                                    .Threads = Threads,
                                    .ThreadBytes = full + small,
                                    .FramesPerThread = FramesPerThread,
                                    .FrameBytes = full + small,
                                    .Kept = TKeptPictures::OneSet});
  std::vector<TApngFrame> inFlight(static_cast<std::size_t>(batches.Size()));
  // The parts of the frame before a batch where the batch's first frame can differ.
  std::vector<TPicturePart> previous;
  TApngWriter writer(Out, frames, Delay);
  batches.Run({.Write = [&](const TFrameBatch& Batch) {
    batches.Workers().Run(Batch.Count, [&](int J, int) { inFlight[J] = CompressFrame(Batch, J, previous); });
    for (int j = 0; j < Batch.Count; ++j) {
      writer.WriteFrame(inFlight[j], Animation.Frames[static_cast<std::size_t>(Batch.Start) + j].Hold);
      if (Progress) Progress((Batch.Start + j) * 100 / frames);
    }
    const int next = Batch.Start + Batch.Count;
    if (next == frames) return;
    previous.clear();
    previous = CopyParts(Batch.Picture(Batch.Count - 1),
                         MayDiffer(Animation, Animation.Frames[next - 1], Animation.Frames[next], Shrink, size));
  }});
  writer.Finish();
}

void ExportAnimatedPngFile(const QString& Path, const TAnimation& Animation, long long Delay, int Shrink,
                           const TExportProgress& Progress, int Threads, TLineStyle Lines) {
  QSaveFile file(Path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    throw EFileError(QStringLiteral("%1: %2").arg(Path, file.errorString()).toStdString());
  WriteAnimatedPng(file, Animation, Delay, Shrink, Progress, Threads, Lines);
  CommitSaveFile(file);
}
