// SPDX-License-Identifier: GPL-3.0-or-later
// Writes one kind of file the way the program does, for tests that must see
// the write from outside: under a file size limit, or to compare inodes.
// Usage: tavel_write_child project|stk|gif|bmp PATH
// Exit status 0 when written; 1 with the error's sentence on stderr.

#include <QCoreApplication>
#include <cstdio>

#include "export/BitmapExport.h"
#include "export/GifExport.h"
#include "files/ProjectFile.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "model/Common.h"

namespace {

// Three frames over a busy background: every file written is several
// kilobytes, more than the limits the tests set.
TAnimation MakeAnimation() {
  TAnimation a;
  a.Width = 64;
  a.Height = 48;
  a.HasBackground = true;
  a.Background = QImage(a.Width, a.Height, QImage::Format_RGB32);
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) a.Background.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
  for (int f = 0; f < 3; ++f) {
    TFigures frame;
    frame.SetCount(1);
    frame.Items[0].SetType(a.Types, 1);
    frame.Items[0].MoveBy(RealPoint(20.0f + 5.0f * static_cast<float>(f), 30.0f));
    a.Frames.push_back(frame);
  }
  return a;
}

void Write(const QString& Kind, const QString& Path) {
  const TAnimation animation = MakeAnimation();
  if (Kind == "project") {
    WriteProjectFile(Path.chopped(4), animation);
  } else if (Kind == "stk") {
    TFigureType type;
    for (int i = 0; i < TFigureType::MaxSegments; ++i) type.AddSegment(0, SegmentLine, 10.0f, 1.0f, 0.1 * i, 0);
    WriteWholeFile(Path, StkFileBytes(type));
  } else if (Kind == "gif") {
    ExportGifFile(Path, animation, TGifExportOptions{});
  } else {
    SaveAnimationAsBitmaps(Path.chopped(4), animation);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) return 2;
  try {
    Write(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
