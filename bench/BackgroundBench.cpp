// SPDX-License-Identifier: GPL-3.0-or-later
// Background pictures and animation dimensions: decoding a 1920 x 1080 JPEG
// and BMP, redrawing the thumbnails over such a background, the whole Load
// Background command and a change of dimensions from 506 x 415 to
// 1920 x 1080, each with 1,000 and with 100,000 stored frames, and the
// memory the background state holds for a 10000 x 10000 picture.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <fstream>
#include <random>
#include <string>

#include "bench/BenchWindow.h"
#include "editor/BackgroundController.h"
#include "editor/FramesController.h"
#include "editor/MainUnit.h"
#include "editor/TimelineStrip.h"
#include "files/BmpFile.h"
#include "files/PictureDecoders.h"
#include "model/Common.h"
#include "platform/Dialogs.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Chooses one picture file in the picture-open dialog and answers Yes.
class TChoosingDialogs : public TQtDialogs {
 public:
  QString Path;
  int FilterIndex = 0;
  void ShowMessage(QWidget*, const QString& Text) override { Messages << Text; }
  bool AskYesNo(QWidget*, const QString&) override { return true; }
  TFileDialogResult OpenPicture(QWidget*, const TFileDialogRequest&) override { return {true, Path, FilterIndex}; }
  QStringList Messages;
};

// A photograph-like picture: smooth gradients with some noise.
QImage Scene(int Width, int Height) {
  QImage picture(Width, Height, QImage::Format_RGB32);
  std::mt19937 random(7);
  for (int y = 0; y < Height; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < Width; ++x) {
      const int n = static_cast<int>(random() % 24);
      line[x] = qRgb((x * 255 / Width + n) % 256, (y * 255 / Height + n) % 256, ((x + y) / 8 + n) % 256);
    }
  }
  return picture;
}

QByteArray JpegFile(const QImage& Picture, int Quality = 90) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpg");
  writer.setQuality(Quality);
  writer.write(Picture);
  return bytes;
}

struct TFiles {
  QTemporaryDir Dir;
  QString Jpeg, Bmp;
  TFiles() {
    const QImage scene = Scene(1920, 1080);
    Jpeg = Dir.filePath("scene.jpg");
    Bmp = Dir.filePath("scene.bmp");
    for (const auto& [path, bytes] : {std::pair{Jpeg, JpegFile(scene)}, {Bmp, BmpFileBytes(scene)}}) {
      QFile file(path);
      file.open(QIODevice::WriteOnly);
      file.write(bytes);
    }
  }
};

const TFiles& Files() {
  static const TFiles files;
  return files;
}

QByteArray ReadAll(const QString& Path) {
  QFile file(Path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

struct TWindow {
  TChoosingDialogs Dialogs;
  TMainForm Form{Dialogs};

  // Stores Count frames of one Stickman, as Next Frame stores them, and
  // shows the window: what a redraw costs is what shows.
  void Fill(int Count) {
    StoreFrames(Form, Count, true);
    Form.resize(1920, 1000);
    Form.show();
    QApplication::processEvents();
  }
  // The strip repainted, as the window does once the command returns.
  void Paint() { Form.Controls().TimelineImages->repaint(); }
};

void BM_DecodeJpeg1920x1080(benchmark::State& State) {
  const QByteArray file = ReadAll(Files().Jpeg);
  for (auto _ : State) benchmark::DoNotOptimize(DecodeJpeg(file).constBits());
  State.counters["file_kB"] = static_cast<double>(file.size()) / 1024;
}
BENCHMARK(BM_DecodeJpeg1920x1080)->Unit(benchmark::kMillisecond);

void BM_DecodeBmp1920x1080(benchmark::State& State) {
  const QByteArray file = ReadAll(Files().Bmp);
  for (auto _ : State) benchmark::DoNotOptimize(DecodeBmp(file).constBits());
}
BENCHMARK(BM_DecodeBmp1920x1080)->Unit(benchmark::kMillisecond);

// The thumbnail redraw alone over a 1920 x 1080 background, up to the
// repainted strip: the thumbnails in view are drawn, the others when seen.
void BM_RedrawThumbnails1920x1080(benchmark::State& State) {
  TWindow w;
  w.Fill(static_cast<int>(State.range(0)));
  w.Dialogs.Path = Files().Jpeg;
  w.Dialogs.FilterIndex = 2;  // "JPeg Image"
  w.Form.Background().LoadBackgroundClick();
  for (auto _ : State) {
    w.Form.Frames().RedrawTimelineImages();
    w.Paint();
  }
}
BENCHMARK(BM_RedrawThumbnails1920x1080)->Arg(1000)->Arg(100000)->ArgName("frames")->Unit(benchmark::kMillisecond);

// The whole command: reading, decoding, the redraw of the thumbnails and the
// drawing area, with 1,000 and 100,000 frames: the same time is the target.
void BM_LoadBackground(benchmark::State& State) {
  const bool jpeg = State.range(1) != 0;
  TWindow w;
  w.Fill(static_cast<int>(State.range(0)));
  w.Dialogs.Path = jpeg ? Files().Jpeg : Files().Bmp;
  w.Dialogs.FilterIndex = jpeg ? 2 : 1;
  for (auto _ : State) {
    w.Form.Background().LoadBackgroundClick();
    w.Paint();
  }
  if (!w.Dialogs.Messages.isEmpty()) State.SkipWithError(w.Dialogs.Messages.constFirst().toStdString().c_str());
  State.SetLabel(jpeg ? "JPEG 1920 x 1080" : "BMP 1920 x 1080");
}
BENCHMARK(BM_LoadBackground)
    ->ArgsProduct({{1000, 100000}, {1, 0}})
    ->ArgNames({"frames", "jpeg"})
    ->Unit(benchmark::kMillisecond);

void BM_Dimensions506x415To1920x1080(benchmark::State& State) {
  TWindow w;
  w.Fill(static_cast<int>(State.range(0)));
  for (auto _ : State) {
    w.Form.Background().ChangeDimensions(1920, 1080);
    w.Paint();
    State.PauseTiming();
    w.Form.Background().ChangeDimensions(506, 415);
    State.ResumeTiming();
  }
}
BENCHMARK(BM_Dimensions506x415To1920x1080)->Arg(1000)->Arg(100000)->ArgName("frames")->Unit(benchmark::kMillisecond);

#ifdef __GLIBC__
// Heap in use, small blocks and large mapped ones alike.
double HeapBytes() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd);
}

// The largest resident size since the last reset, in bytes.
double PeakResident() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024;
  return 0;
}
double Resident() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) * 1024;
  return 0;
}
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }
#endif

// Memory of the background state for a 10000 x 10000 picture, counted in
// full-size pictures (10000 x 10000 at four bytes a pixel): what stays held
// after Load Background, and the peak while loading it into a small
// animation and again over a loaded one.
void BM_BackgroundMemory10000x10000(benchmark::State& State) {
#ifdef __GLIBC__
  const double picture = 10000.0 * 10000.0 * 4;
  QTemporaryDir dir;
  const QString path = dir.filePath("huge.jpg");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(JpegFile(Scene(10000, 10000), 75));
  }
  for (auto _ : State) {
    TWindow w;
    w.Dialogs.Path = path;
    w.Dialogs.FilterIndex = 2;  // "JPeg Image"
    const double heap = HeapBytes(), resident = Resident();
    ResetPeakResident();
    w.Form.Background().LoadBackgroundClick();
    State.counters["held_pictures"] = (HeapBytes() - heap) / picture;
    State.counters["peak_first_load_pictures"] = (PeakResident() - resident) / picture;
    const double residentLoaded = Resident();
    ResetPeakResident();
    w.Form.Background().LoadBackgroundClick();
    State.counters["peak_reload_pictures"] = (PeakResident() - residentLoaded) / picture;
    State.counters["jpeg_MB"] = static_cast<double>(w.Form.Animation().BackgroundJpeg.size()) / 1e6;
    if (!w.Dialogs.Messages.isEmpty()) State.SkipWithError(w.Dialogs.Messages.constFirst().toStdString().c_str());
  }
#else
  State.SkipWithError("needs glibc's mallinfo2 and /proc");
#endif
}
BENCHMARK(BM_BackgroundMemory10000x10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
