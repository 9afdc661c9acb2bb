// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes every stored frame of an animation takes in its project file,
// kept frame by frame as the frames change, so that a copy of the whole
// project costs a copy of shared arrays. After an animation is opened its
// frames are encoded a slice at a time (a frame not encoded yet is a null
// array), so that a long project does not hold the caller up.

#include <QByteArray>
#include <cstddef>
#include <vector>

#include "model/FiguresUnit.h"

class TFrameBytesMirror {
 public:
  // Count frames, none of them encoded yet.
  void Reset(std::size_t Count);
  // Frames At to At + Count - 1 of Frames are new, and encoded now.
  void Insert(const std::vector<TFigures>& Frames, int At, int Count);
  void Remove(int At, int Count);
  // Frame At of Frames changed.
  void Change(const std::vector<TFigures>& Frames, int At);

  // Encodes frames not yet encoded, in order: a run of EncodeRun frames,
  // then more until Milliseconds have passed; true when every frame is encoded.
  static constexpr int EncodeRun = 64;
  bool EncodeSome(const std::vector<TFigures>& Frames, int Milliseconds);
  void EncodeAll(const std::vector<TFigures>& Frames);
  bool Encoded() const { return EncodedUpTo == Frames.size(); }

  std::size_t Count() const { return Frames.size(); }
  const std::vector<QByteArray>& Bytes() const { return Frames; }

 private:
  std::vector<QByteArray> Frames;
  std::size_t EncodedUpTo = 0;  // every frame before it is encoded
};
