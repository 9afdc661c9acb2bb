// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the model tests.

#include <QBuffer>
#include <QByteArray>
#include <cstring>

#include "model/FigureTypeUnit.h"
#include "model/FigureUnit.h"

template <class Record>
QByteArray SaveBytes(const Record& R) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  R.SaveToStream(buffer);
  return bytes;
}

inline void LoadBytes(TFigureType& R, const QByteArray& Bytes) {
  QByteArray copy = Bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  R.LoadFromStream(buffer);
}

// A figure record read against Types (the built-in table unless given).
inline void LoadBytes(TFigure& R, const QByteArray& Bytes, const TFigureTypeTable& Types = {}) {
  QByteArray copy = Bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  R.LoadFromStream(buffer, Types.Types());
}

inline bool SameSegments(const TFigureType& A, const TFigureType& B) {
  return A.Segments.size() == B.Segments.size() &&
         (A.Segments.empty() ||
          std::memcmp(A.Segments.data(), B.Segments.data(), A.Segments.size() * sizeof(TSegmentStruct)) == 0);
}

inline bool SameVertices(const TFigureType& A, const TFigureType& B) {
  if (A.Vertices.size() != B.Vertices.size()) return false;
  for (std::size_t i = 0; i < A.Vertices.size(); ++i)
    if (A.Vertices[i].Children != B.Vertices[i].Children || A.Vertices[i].ParentSegment != B.Vertices[i].ParentSegment)
      return false;
  return true;
}

// The tree rules every type in use keeps: vertex 0 is the root, every other
// vertex ends exactly one segment, segments hang from vertices reached earlier,
// and the vertex table agrees with the segments.
inline bool IsWellFormed(const TFigureType& T) {
  const std::size_t n = T.Segments.size();
  if (T.Vertices.size() != n + 1) return false;
  std::vector<bool> reached(n + 1, false);
  reached[0] = true;
  for (std::size_t i = 0; i < n; ++i) {
    const TSegmentStruct& s = T.Segments[i];
    if (s.ChildVertex == 0 || s.ChildVertex > n || reached[s.ChildVertex]) return false;
    if (s.ParentVertex > n || !reached[s.ParentVertex]) return false;
    reached[s.ChildVertex] = true;
  }
  TFigureType rebuilt;
  rebuilt.Assign(T);
  rebuilt.RebuildVertices();
  return SameVertices(rebuilt, T);
}
