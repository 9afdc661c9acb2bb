// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes a GIF with giflib and compares every shown frame with the BMP
// pictures it was made from: prints "exact" or where it differs.
//   gif_check OUT.gif FIRST.bmp ... LAST.bmp

#include <QCoreApplication>
#include <QImage>
#include <cstdio>

#include "files/WholeFile.h"
#include "tests/support/GifFrames.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: gif_check OUT.gif FRAME.bmp...\n");
    return 2;
  }
  const TDecodedGif gif = DecodeGif(ReadWholeFile(QString::fromLocal8Bit(argv[1]), qint64(1) << 30));
  if (!gif.Error.isEmpty()) {
    std::printf("unreadable: %s\n", gif.Error.toLocal8Bit().constData());
    return 1;
  }
  const int frames = argc - 2;
  if (static_cast<int>(gif.Frames.size()) != frames) {
    std::printf("%d frames shown, %d expected\n", static_cast<int>(gif.Frames.size()), frames);
    return 1;
  }
  for (int i = 0; i < frames; ++i) {
    const QImage source = QImage(QString::fromLocal8Bit(argv[i + 2])).convertToFormat(QImage::Format_RGB32);
    if (source != gif.Frames[i]) {
      int wrong = 0;
      for (int y = 0; y < source.height() && source.size() == gif.Frames[i].size(); ++y)
        for (int x = 0; x < source.width(); ++x) wrong += source.pixel(x, y) != gif.Frames[i].pixel(x, y);
      std::printf("frame %d differs (%d pixels)\n", i, wrong);
      return 1;
    }
  }
  std::printf("exact\n");
  return 0;
}
