// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the reference animations of the comparison with other GIF tools
// (compare_gif_tools.py, compare_smaller_gif.py) as project files into a
// folder; with "video" after the folder, those of the video comparison
// (compare_video_tools.py) instead.

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <vector>

#include "bench/ReferenceAnimations.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool video = argc == 3 && qstrcmp(argv[2], "video") == 0;
  if (argc != 2 && !video) {
    std::fprintf(stderr, "usage: make_reference_animations FOLDER [video]\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  std::vector<TReference> references(std::begin(GifToolReferences), std::end(GifToolReferences));
  if (video) references = {SmallReference, LargeReference, CrowdReference, PhotoReference};
  for (const TReference& r : references) {
    WriteProjectFile(folder.filePath(QString::fromLatin1(r.Name)), MakeReference(r));
    std::printf("%s.tvl %d frames %dx%d\n", r.Name, r.Frames, r.Width, r.Height);
  }
  return 0;
}
