// SPDX-License-Identifier: GPL-3.0-or-later
// The frames' bytes kept beside the animation: whatever is inserted,
// removed or changed while frames still wait to be encoded, the bytes end
// as the project file writes each frame.

#include <gtest/gtest.h>

#include <functional>

#include "files/FrameBytesMirror.h"
#include "files/ProjectFile.h"

namespace {

// Frame I holds one Stickman at (I, 1), so every frame has bytes of its own.
TFigures FrameAt(int I) {
  TFigure figure;
  figure.SetType(1, StickmanType());
  figure.MoveBy(RealPoint(static_cast<float>(I), 1));
  TFigures frame;
  frame.Items = {figure};
  return frame;
}

std::vector<QByteArray> Encoded(const std::vector<TFigures>& Frames) {
  std::vector<QByteArray> bytes;
  for (const TFigures& frame : Frames) {
    bytes.emplace_back();
    AppendFrameBytes(bytes.back(), frame);
  }
  return bytes;
}

TEST(FrameBytesMirror, EveryFrameEndsEncodedAsTheFileWritesIt) {
  // Each row starts from 300 frames of which the first run is encoded.
  using TFrames = std::vector<TFigures>;
  struct TRow {
    const char* Name;
    std::function<void(TFrames&, TFrameBytesMirror&)> Change;
  };
  const std::vector<TRow> rows{
      {"frames removed across the encoded ones",
       [](TFrames& F, TFrameBytesMirror& M) {
         F.erase(F.begin() + 10, F.begin() + 110);
         M.Remove(10, 100);
       }},
      {"frames removed among the encoded ones",
       [](TFrames& F, TFrameBytesMirror& M) {
         F.erase(F.begin() + 5, F.begin() + 15);
         M.Remove(5, 10);
       }},
      {"frames removed after them",
       [](TFrames& F, TFrameBytesMirror& M) {
         F.erase(F.begin() + 200, F.end());
         M.Remove(200, 100);
       }},
      {"frames inserted among them",
       [](TFrames& F, TFrameBytesMirror& M) {
         F.insert(F.begin() + 3, {FrameAt(1000), FrameAt(1001)});
         M.Insert(F, 3, 2);
       }},
      {"a frame changed that waits",
       [](TFrames& F, TFrameBytesMirror& M) {
         F[250] = FrameAt(2000);
         M.Change(F, 250);
       }},
  };
  for (const TRow& row : rows) {
    TFrames frames;
    for (int i = 0; i < 300; ++i) frames.push_back(FrameAt(i));
    TFrameBytesMirror mirror;
    mirror.Reset(frames.size());
    EXPECT_FALSE(mirror.EncodeSome(frames, 0)) << row.Name;
    row.Change(frames, mirror);
    ASSERT_EQ(mirror.Count(), frames.size()) << row.Name;
    mirror.EncodeAll(frames);
    EXPECT_TRUE(mirror.Encoded()) << row.Name;
    EXPECT_TRUE(mirror.Bytes() == Encoded(frames)) << row.Name;
  }
}

}  // namespace
