// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FrameBytesMirror.h"

#include <QElapsedTimer>
#include <algorithm>
#include <iterator>

#include "files/ProjectFile.h"

namespace {

QByteArray FrameBytes(const TFigures& Frame) {
  QByteArray bytes;
  AppendFrameBytes(bytes, Frame);
  return bytes;
}

}  // namespace

void TFrameBytesMirror::Reset(std::size_t Count) {
  Frames.assign(Count, QByteArray());
  EncodedUpTo = 0;
}

void TFrameBytesMirror::Insert(const std::vector<TFigures>& Source, int At, int Count) {
  std::vector<QByteArray> made;
  made.reserve(static_cast<std::size_t>(Count));
  for (int f = At; f < At + Count; ++f) made.push_back(FrameBytes(Source[static_cast<std::size_t>(f)]));
  Frames.insert(Frames.begin() + At, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
  // Frames not encoded yet move along with those after them.
  if (static_cast<std::size_t>(At) < EncodedUpTo) EncodedUpTo += static_cast<std::size_t>(Count);
}

void TFrameBytesMirror::Remove(int At, int Count) {
  Frames.erase(Frames.begin() + At, Frames.begin() + At + Count);
  // Frames after those removed that were not encoded yet move down; when
  // the removed frames reach past the encoded ones, the first frame after
  // them is the first not encoded.
  const auto first = static_cast<std::size_t>(At), end = first + static_cast<std::size_t>(Count);
  if (first < EncodedUpTo) EncodedUpTo = EncodedUpTo >= end ? EncodedUpTo - static_cast<std::size_t>(Count) : first;
}

void TFrameBytesMirror::Change(const std::vector<TFigures>& Source, int At) {
  Frames[static_cast<std::size_t>(At)] = FrameBytes(Source[static_cast<std::size_t>(At)]);
}

bool TFrameBytesMirror::EncodeSome(const std::vector<TFigures>& Source, int Milliseconds) {
  QElapsedTimer slice;
  slice.start();
  // A run of frames at least, then more until the time is up.
  do {
    for (int n = 0; n < EncodeRun && EncodedUpTo < Frames.size(); ++n, ++EncodedUpTo)
      if (Frames[EncodedUpTo].isNull()) Frames[EncodedUpTo] = FrameBytes(Source[EncodedUpTo]);
  } while (EncodedUpTo < Frames.size() && slice.elapsed() < Milliseconds);
  return Encoded();
}

void TFrameBytesMirror::EncodeAll(const std::vector<TFigures>& Source) {
  for (std::size_t f = EncodedUpTo; f < Frames.size(); ++f)
    if (Frames[f].isNull()) Frames[f] = FrameBytes(Source[f]);
  EncodedUpTo = Frames.size();
}
