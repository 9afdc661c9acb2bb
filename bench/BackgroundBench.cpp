// Background pictures and animation dimensions: decoding a 1920 x 1080 JPEG
// and BMP, redrawing 1,000 thumbnails over such a background, the whole Load
// Background command with 1,000 stored frames, a change of dimensions from
// 506 x 415 to 1920 x 1080 with 1,000 stored frames, and the memory the
// background state holds for a 10000 x 10000 picture.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <fstream>
#include <random>
#include <string>

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

  // Stores Count frames of one Stickman: each thumbnail made as Next Frame makes it.
  void Fill(int Count) {
    for (int i = 0; i < Count; ++i) {
      Form.EditFrame.Items[0].MoveBy(RealPoint(i % 2 ? 1.0f : -1.0f, 0));
      Form.NextFrameButtonClick();
    }
  }
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

// The thumbnail redraw alone: 1,000 frames over a 1920 x 1080 background.
void BM_RedrawThumbnails1920x1080_1000Frames(benchmark::State& State) {
  TWindow w;
  w.Fill(1000);
  w.Dialogs.Path = Files().Jpeg;
  w.Dialogs.FilterIndex = 1;
  w.Form.LoadBackground1Click();
  for (auto _ : State) w.Form.RedrawTimelineImages();
}
BENCHMARK(BM_RedrawThumbnails1920x1080_1000Frames)->Unit(benchmark::kMillisecond);

// The whole command: reading, decoding, the redraw of 1,000 thumbnails and the drawing area.
void LoadBackground(benchmark::State& State, bool Jpeg) {
  TWindow w;
  w.Fill(1000);
  w.Dialogs.Path = Jpeg ? Files().Jpeg : Files().Bmp;
  w.Dialogs.FilterIndex = Jpeg ? 1 : 0;
  for (auto _ : State) w.Form.LoadBackground1Click();
  if (!w.Dialogs.Messages.isEmpty()) State.SkipWithError(w.Dialogs.Messages.constFirst().toStdString().c_str());
}
BENCHMARK_CAPTURE(LoadBackground, Jpeg1920x1080_1000Frames, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadBackground, Bmp1920x1080_1000Frames, false)->Unit(benchmark::kMillisecond);

void BM_Dimensions506x415To1920x1080_1000Frames(benchmark::State& State) {
  TWindow w;
  w.Fill(1000);
  for (auto _ : State) {
    w.Form.ChangeDimensions(1920, 1080);
    State.PauseTiming();
    w.Form.ChangeDimensions(506, 415);
    State.ResumeTiming();
  }
}
BENCHMARK(BM_Dimensions506x415To1920x1080_1000Frames)->Unit(benchmark::kMillisecond);

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
    w.Dialogs.FilterIndex = 1;
    const double heap = HeapBytes(), resident = Resident();
    ResetPeakResident();
    w.Form.LoadBackground1Click();
    State.counters["held_pictures"] = (HeapBytes() - heap) / picture;
    State.counters["peak_first_load_pictures"] = (PeakResident() - resident) / picture;
    const double residentLoaded = Resident();
    ResetPeakResident();
    w.Form.LoadBackground1Click();
    State.counters["peak_reload_pictures"] = (PeakResident() - residentLoaded) / picture;
    State.counters["jpeg_MB"] = static_cast<double>(w.Form.BackgroundJpeg.size()) / 1e6;
    if (!w.Dialogs.Messages.isEmpty()) State.SkipWithError(w.Dialogs.Messages.constFirst().toStdString().c_str());
  }
#else
  State.SkipWithError("needs glibc's mallinfo2 and /proc");
#endif
}
BENCHMARK(BM_BackgroundMemory10000x10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
