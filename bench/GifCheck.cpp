// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes a GIF with giflib and compares every shown frame with the BMP
// pictures it was made from, or with the frames and delays another GIF
// shows: prints "exact" or where it differs.
//   gif_check OUT.gif FIRST.bmp ... LAST.bmp
//   gif_check OUT.gif --same-as OTHER.gif

#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "files/WholeFile.h"
#include "tests/support/GifFrames.h"

namespace {

bool Read(const char* Path, TDecodedGif& Gif) {
  Gif = DecodeGif(ReadWholeFile(QString::fromLocal8Bit(Path), qint64(1) << 30));
  if (Gif.Error.isEmpty()) return true;
  std::printf("%s unreadable: %s\n", Path, Gif.Error.toLocal8Bit().constData());
  return false;
}

// The time each picture is shown: a frame that changes nothing on the
// screen adds its delay to the picture before it.
std::vector<std::pair<QImage, long long>> Shown(const TDecodedGif& Gif) {
  std::vector<std::pair<QImage, long long>> shown;
  for (std::size_t i = 0; i < Gif.Frames.size(); ++i)
    if (!shown.empty() && shown.back().first == Gif.Frames[i])
      shown.back().second += Gif.Delays[i];
    else
      shown.emplace_back(Gif.Frames[i], Gif.Delays[i]);
  return shown;
}

int SameAs(const TDecodedGif& Gif, const TDecodedGif& Other) {
  const auto a = Shown(Gif), b = Shown(Other);
  if (a.size() != b.size()) {
    std::printf("%d pictures shown, %d in the other GIF\n", static_cast<int>(a.size()), static_cast<int>(b.size()));
    return 1;
  }
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) {
      std::printf("picture %d differs (%s)\n", static_cast<int>(i), a[i].first != b[i].first ? "pixels" : "time");
      return 1;
    }
  std::printf("exact\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: gif_check OUT.gif FRAME.bmp... | gif_check OUT.gif --same-as OTHER.gif\n");
    return 2;
  }
  TDecodedGif gif;
  if (!Read(argv[1], gif)) return 1;
  if (argc == 4 && std::strcmp(argv[2], "--same-as") == 0) {
    TDecodedGif other;
    return Read(argv[3], other) ? SameAs(gif, other) : 1;
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
