// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FigureTypeUnit.h"

#include <QIODevice>
#include <cassert>
#include <cmath>
#include <cstring>
#include <string>

#include "model/ByteStream.h"

TRealPoint RealPoint(float X, float Y) { return TRealPoint{X, Y}; }

void TFigureType::SetSegmentCount(uint8_t N) {
  Segments.resize(N);
  Vertices.resize(static_cast<std::size_t>(N) + 1);
}

void TFigureType::RebuildVertices() {
  const std::size_t vertexCount = Vertices.size();
  Vertices[0].ParentSegment = -1;
  for (TVertexStruct& v : Vertices) v.Children.clear();
  for (std::size_t j = 0; j < Segments.size(); ++j) {
    const TSegmentStruct& s = Segments[j];
    // Types in use always name existing vertices; the checks only keep a
    // half-built type from writing outside the table.
    assert(s.ParentVertex < vertexCount && s.ChildVertex < vertexCount);
    if (s.ParentVertex < vertexCount) Vertices[s.ParentVertex].Children.push_back(static_cast<uint8_t>(j));
    if (s.ChildVertex < vertexCount) Vertices[s.ChildVertex].ParentSegment = static_cast<int16_t>(j);
  }
}

void TFigureType::AddSegment(uint8_t ParentVertex, uint8_t Kind, float Length, float Thickness, double Angle,
                             uint8_t Static) {
  assert(Segments.size() < MaxSegments && ParentVertex < Vertices.size());
  const uint8_t m = static_cast<uint8_t>(Segments.size() + 1);
  SetSegmentCount(m);
  TSegmentStruct& s = Segments[m - 1];
  s = TSegmentStruct{};
  s.ParentVertex = ParentVertex;
  s.ChildVertex = m;
  s.Length = Length;
  s.Thickness = Thickness;
  s.Angle = Angle;
  s.Kind = Kind;
  s.Static = Static;
  Vertices[m].Children.clear();
  Vertices[m].ParentSegment = static_cast<int16_t>(m - 1);
  Vertices[ParentVertex].Children.push_back(static_cast<uint8_t>(m - 1));
}

bool TFigureType::RemoveSegment(uint8_t Index) {
  if (Segments.size() <= 1 || Index >= Segments.size()) return false;
  const uint8_t v = Segments[Index].ChildVertex;
  if (Vertices[v].ChildCount() > 0) return false;

  // The highest vertex takes over the freed number v.
  const uint8_t last = SegmentCount();
  if (v != last) {
    Vertices[v] = Vertices[last];
    for (uint8_t child : Vertices[last].Children) Segments[child].ParentVertex = v;
    if (Vertices[last].ParentSegment >= 0) Segments[Vertices[last].ParentSegment].ChildVertex = v;
  }
  Segments.erase(Segments.begin() + Index);
  SetSegmentCount(static_cast<uint8_t>(last - 1));
  RebuildVertices();
  return true;
}

void TFigureType::Assign(const TFigureType& Source) {
  if (&Source == this) return;
  Segments = Source.Segments;
  Vertices = Source.Vertices;
}

void TFigureType::SaveToBytes(QByteArray& Out) const {
  TByteWriter out(Out);
  out.Write<uint8_t>(SegmentCount());
  for (const TSegmentStruct& s : Segments) {
    out.Write(s.ParentVertex);
    out.Write(s.ChildVertex);
    out.WriteBytes(s.Gap1, 2);
    out.Write(s.Length);
    out.Write(s.Angle);
    out.Write(s.Thickness);
    out.Write(s.Kind);
    out.Write(s.Static);
    out.WriteBytes(s.Gap2, 2);
  }
}

void TFigureType::SaveToStream(QIODevice& Stream) const {
  QByteArray bytes;
  SaveToBytes(bytes);
  WriteRaw(Stream, bytes.constData(), bytes.size());
}

namespace {

const char* const TypeRecord = "The figure type record";

[[noreturn]] void Refuse(const std::string& Why) {
  throw EStreamError("The figure type record is damaged: " + Why + ".");
}

// Checks that the segments form a tree hung from vertex 0 in segment order:
// every vertex 1..N ends exactly one segment, and each segment hangs from the
// root or from a vertex that an earlier segment already reached.
void CheckTree(const std::vector<TSegmentStruct>& Segments) {
  const std::size_t n = Segments.size();
  std::vector<bool> reached(n + 1, false);
  reached[0] = true;
  for (std::size_t i = 0; i < n; ++i) {
    const TSegmentStruct& s = Segments[i];
    const std::string seg = "segment " + std::to_string(i + 1);
    if (s.ChildVertex == 0 || s.ChildVertex > n)
      Refuse(seg + " ends at vertex " + std::to_string(s.ChildVertex) + ", which does not exist");
    if (s.ParentVertex > n)
      Refuse(seg + " hangs from vertex " + std::to_string(s.ParentVertex) + ", which does not exist");
    if (!reached[s.ParentVertex])
      Refuse(seg + " hangs from vertex " + std::to_string(s.ParentVertex) + ", which no earlier segment reaches");
    if (reached[s.ChildVertex])
      Refuse("vertex " + std::to_string(s.ChildVertex) + " is reached by more than one segment");
    if (!std::isfinite(s.Length) || !std::isfinite(s.Angle) || !std::isfinite(s.Thickness))
      Refuse(seg + " holds a number that is not finite");
    reached[s.ChildVertex] = true;
  }
}

}  // namespace

void TFigureType::LoadFromBytes(TByteReader& Reader) {
  const uint8_t n = Reader.Read<uint8_t>(TypeRecord);
  if (n == 0) Refuse("it has no segments");
  std::vector<TSegmentStruct> segments(n);
  for (TSegmentStruct& s : segments) {
    s.ParentVertex = Reader.Read<uint8_t>(TypeRecord);
    s.ChildVertex = Reader.Read<uint8_t>(TypeRecord);
    std::memcpy(s.Gap1, Reader.Take(2, TypeRecord), 2);
    s.Length = Reader.Read<float>(TypeRecord);
    s.Angle = Reader.Read<double>(TypeRecord);
    s.Thickness = Reader.Read<float>(TypeRecord);
    s.Kind = Reader.Read<uint8_t>(TypeRecord);
    s.Static = Reader.Read<uint8_t>(TypeRecord);
    std::memcpy(s.Gap2, Reader.Take(2, TypeRecord), 2);
  }
  CheckTree(segments);
  Segments = std::move(segments);
  SetSegmentCount(n);
  RebuildVertices();
}

void TFigureType::LoadFromStream(QIODevice& Stream) {
  // The count says how long the record is; the rest is read from memory.
  QByteArray record(1, '\0');
  ReadRaw(Stream, record.data(), 1, TypeRecord);
  record.resize(1 + 24 * static_cast<uint8_t>(record[0]));
  ReadRaw(Stream, record.data() + 1, record.size() - 1, TypeRecord);
  TByteReader reader(record);
  LoadFromBytes(reader);
}

void MakeStickman(TFigureType& Type) {
  // Directions as the nearest doubles to 3pi/2, 3pi/4, pi/4, 2pi/3, pi/3, 5pi/8 and 3pi/8.
  constexpr double Up = 4.71238898038469;
  constexpr double UpperArmL = 2.356194490192345, UpperArmR = 0.7853981633974483;
  constexpr double ForearmL = 2.0943951023931957, ForearmR = 1.0471975511965979;
  constexpr double LegL = 1.9634954084936207, LegR = 1.1780972450961724;

  Type.SetSegmentCount(1);
  TSegmentStruct& trunk = Type.Segments[0];
  trunk = TSegmentStruct{};
  trunk.ParentVertex = 0;  // the hip
  trunk.ChildVertex = 1;   // the neck
  trunk.Length = 60.0f;
  trunk.Angle = Up;
  trunk.Thickness = 7.0f;
  trunk.Kind = SegmentLine;
  Type.RebuildVertices();
  Type.AddSegment(1, SegmentCircle, 36.0f, 7.0f, Up, 0);  // head
  Type.AddSegment(1, SegmentLine, 40.0f, 7.0f, UpperArmL, 0);
  Type.AddSegment(1, SegmentLine, 40.0f, 7.0f, UpperArmR, 0);
  Type.AddSegment(3, SegmentLine, 40.0f, 7.0f, ForearmL, 0);
  Type.AddSegment(4, SegmentLine, 40.0f, 7.0f, ForearmR, 0);
  Type.AddSegment(0, SegmentLine, 50.0f, 7.0f, LegL, 0);  // thighs
  Type.AddSegment(0, SegmentLine, 50.0f, 7.0f, LegR, 0);
  Type.AddSegment(7, SegmentLine, 50.0f, 7.0f, LegL, 0);  // shins
  Type.AddSegment(8, SegmentLine, 50.0f, 7.0f, LegR, 0);
}

const TFigureTypeRef& StickmanType() {
  static const TFigureTypeRef Stickman = [] {
    auto type = std::make_shared<TFigureType>();
    MakeStickman(*type);
    return TFigureTypeRef(std::move(type));
  }();
  return Stickman;
}

const TFigureTypeRef& EmptyType() {
  static const TFigureTypeRef Empty = std::make_shared<const TFigureType>();
  return Empty;
}

TFigureTypeTable::TFigureTypeTable() : Entries{EmptyType(), StickmanType()}, Names{QStringLiteral("Stickman")} {}

void TFigureTypeTable::Append(TFigureTypeRef Type, const QString& Name) {
  Entries.push_back(std::move(Type));
  Names << Name;
}

void TFigureTypeTable::RemoveLast() {
  if (Entries.size() <= 2) return;
  Entries.pop_back();
  Names.removeLast();
}
