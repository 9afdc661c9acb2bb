// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the reference animations of the comparison with other GIF tools
// (compare_gif_tools.py, compare_smaller_gif.py) as project files into a folder.

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "bench/ReferenceAnimations.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_reference_animations FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  for (const TReference& r : GifToolReferences) {
    WriteProjectFile(folder.filePath(QString::fromLatin1(r.Name)), MakeReference(r));
    std::printf("%s.tvl %d frames %dx%d\n", r.Name, r.Frames, r.Width, r.Height);
  }
  return 0;
}
