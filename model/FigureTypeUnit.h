// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Figure types: the skeleton every figure of one kind shares, a tree of line
// and circle segments hung between numbered vertices, and the table of an
// animation's types that its figures refer to by index.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

class QByteArray;
class QIODevice;
class TByteReader;

// A point in drawing pixels, x to the right, y downwards.
struct TRealPoint {
  float X = 0.0f;
  float Y = 0.0f;
  friend bool operator==(const TRealPoint&, const TRealPoint&) = default;
};

TRealPoint RealPoint(float X, float Y);

// Segment kinds; any other stored value is kept but drawn as nothing.
enum : uint8_t { SegmentLine = 0, SegmentCircle = 1 };

// One segment. The in-memory layout is also the 24-byte stream layout.
struct TSegmentStruct {
  uint8_t ParentVertex = 0;  // vertex it hangs from (0 = root)
  uint8_t ChildVertex = 0;   // vertex at its far end
  uint8_t Gap1[2] = {0, 0};  // kept as read, zero when created here
  float Length = 0.0f;       // pixels at scale 1; a circle's diameter
  double Angle = 0.0;        // default direction, radians, 0 right, pi/2 down
  float Thickness = 0.0f;    // pen width at scale 1; 0 draws nothing
  uint8_t Kind = SegmentLine;
  uint8_t Static = 0;  // nonzero: no handle, turns only with its ancestors
  uint8_t Gap2[2] = {0, 0};
};
static_assert(sizeof(TSegmentStruct) == 24);
static_assert(offsetof(TSegmentStruct, Length) == 4);
static_assert(offsetof(TSegmentStruct, Angle) == 8);
static_assert(offsetof(TSegmentStruct, Thickness) == 16);
static_assert(offsetof(TSegmentStruct, Kind) == 20);
static_assert(offsetof(TSegmentStruct, Static) == 21);

// Adjacency of one vertex, derived from the segments; never stored.
struct TVertexStruct {
  std::vector<uint8_t> Children;  // segments hanging from this vertex, in segment order
  int16_t ParentSegment = 0;      // segment ending here; -1 for the root

  uint8_t ChildCount() const { return static_cast<uint8_t>(Children.size()); }
};

class TFigureType {
 public:
  static constexpr int MaxSegments = 255;

  // The segments, 0..255 of them, and one vertex more than segments.
  std::vector<TVertexStruct> Vertices{1};
  std::vector<TSegmentStruct> Segments;

  uint8_t SegmentCount() const { return static_cast<uint8_t>(Segments.size()); }

  // Resizes both arrays (N segments, N+1 vertices), keeping existing entries
  // and zero-filling new ones. Does not rebuild the vertices.
  void SetSegmentCount(uint8_t N);
  // Recomputes every vertex's children and parent segment from Segments.
  void RebuildVertices();
  // Appends a segment hanging from ParentVertex, ending at a new vertex.
  // The caller makes sure ParentVertex exists and fewer than 255 segments exist.
  void AddSegment(uint8_t ParentVertex, uint8_t Kind, float Length, float Thickness, double Angle, uint8_t Static);
  // Removes a leaf segment; the highest vertex takes over the freed number.
  // False, and no change, for the only segment or a segment with children.
  bool RemoveSegment(uint8_t Index);
  void Assign(const TFigureType& Source);

  // Stream record: the count byte, then the segments' 24-byte records.
  void SaveToStream(QIODevice& Stream) const;
  void SaveToBytes(QByteArray& Out) const;
  // Reads a stream record. A record that ends early, has no segments, holds
  // a number that is not finite or whose segments do not form a tree in
  // segment order throws EStreamError and leaves this type as it was.
  void LoadFromStream(QIODevice& Stream);
  void LoadFromBytes(TByteReader& Reader);
};

// Makes Type the built-in "Stickman": ten segments from the hip.
void MakeStickman(TFigureType& Type);

// A type as figures and tables share it: once in a table it never changes,
// and it lives as long as anything (a figure, a table, an undo step) holds it.
using TFigureTypeRef = std::shared_ptr<const TFigureType>;
// The built-in "Stickman", and the empty type (no segments).
const TFigureTypeRef& StickmanType();
const TFigureTypeRef& EmptyType();

constexpr int MaxFigureTypes = 254;

// The figure types of an animation. Entry 0 is empty: it stands for the
// figure builder's working type, which is counted in a project file but never
// stored nor used by a figure. Entry 1 is the built-in "Stickman", entries 2
// and up are the types added to the animation. Each entry from 1 on has the
// name the figure type list shows; list item k names entry k + 1.
// Types with the names they take in a table, to be appended in this order.
using TNamedTypes = std::vector<std::pair<TFigureTypeRef, QString>>;

class TFigureTypeTable {
 public:
  TFigureTypeTable();

  int Count() const { return static_cast<int>(Entries.size()); }
  const TFigureTypeRef& Type(int Entry) const { return Entries.at(static_cast<std::size_t>(Entry)); }
  std::span<const TFigureTypeRef> Types() const { return Entries; }
  // The names of entries 1 and up, in table order.
  const QStringList& ListedNames() const { return Names; }
  // Appends a type with its name; at most MaxFigureTypes entries.
  void Append(TFigureTypeRef Type, const QString& Name);
  void RemoveLast();

 private:
  std::vector<TFigureTypeRef> Entries;
  QStringList Names;
};
