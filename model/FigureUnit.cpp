// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FigureUnit.h"

#include <QIODevice>
#include <QPoint>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "model/ByteStream.h"

using std::numbers::pi;

TRealPoint EndPoint(TRealPoint From, double Angle, double Length) {
  return TRealPoint{static_cast<float>(From.X + Length * std::cos(Angle)),
                    static_cast<float>(From.Y + Length * std::sin(Angle))};
}

double AngleBetween(TRealPoint A, TRealPoint B) {
  if (A.Y == B.Y) return A.X < B.X ? 0.0 : pi;
  const double t = std::atan(std::fabs((static_cast<double>(A.X) - B.X) / (static_cast<double>(A.Y) - B.Y)));
  if (B.Y > A.Y) return B.X >= A.X ? pi / 2 - t : pi / 2 + t;
  return B.X >= A.X ? 3 * pi / 2 + t : 3 * pi / 2 - t;
}

float JointHandleRadius(float Thickness, float Scale) {
  float r = Thickness * Scale * 1.6f * 0.5f;
  if (r < 2.0f) r = 2.0f;
  if (r > 5.0f) r = 5.0f;
  return r;
}

double ScreenShift(double Zoom) { return Zoom > 1 ? std::floor((Zoom - 1) / 2) : 0.0; }

float RootHandleRadius(float Scale) { return std::min(std::max(10.0f * Scale, 4.0f), 10.0f) * 0.5f; }

void TFigure::SetType(uint8_t Index, TFigureTypeRef Type) {
  TypeIndex = Index;
  TypeRef = std::move(Type);
  const TFigureType& type = *TypeRef;
  Angles.resize(type.SegmentCount());
  for (std::size_t i = 0; i < Angles.size(); ++i) Angles[i] = type.Segments[i].Angle;
  Pins.clear();
  SetPosition(RealPoint(0, 0));
}

void TFigure::PlaceVertices() const {
  const TFigureType& type = Type();
  Vertices.resize(Angles.size() + 1);
  for (std::size_t i = 0; i < Angles.size(); ++i) {
    const TSegmentStruct& s = type.Segments[i];
    const float length = s.Length * Scale;
    Vertices[s.ChildVertex] = EndPoint(Vertices[s.ParentVertex], Angles[i], length);
  }
}

TFigure& TFigure::operator=(const TFigure& Source) {
  if (this == &Source) return *this;
  TypeIndex = Source.TypeIndex;
  TypeRef = Source.TypeRef;
  Scale = Source.Scale;
  Color = Source.Color;
  Angles = Source.Angles;
  Pins = Source.Pins;
  UnplacedRoot = Source.Root();
  // Vertices another thread is placing are not read: the copy places its own.
  if (Source.State.load(std::memory_order_acquire) == Placed) {
    Vertices = Source.Vertices;
    State.store(Placed, std::memory_order_release);
  } else {
    Vertices.clear();
    State.store(Unplaced, std::memory_order_release);
  }
  return *this;
}

TFigure& TFigure::operator=(TFigure&& Source) noexcept {
  if (this == &Source) return *this;
  TypeIndex = Source.TypeIndex;
  TypeRef = Source.TypeRef;
  Scale = Source.Scale;
  Color = Source.Color;
  Angles = std::move(Source.Angles);
  Pins = std::move(Source.Pins);
  UnplacedRoot = Source.UnplacedRoot;
  Vertices = std::move(Source.Vertices);
  State.store(Source.State.load(std::memory_order_acquire), std::memory_order_release);
  return *this;
}

bool operator==(const TFigure& A, const TFigure& B) {
  return A.TypeIndex == B.TypeIndex && A.Scale == B.Scale && A.Color == B.Color && A.Angles == B.Angles &&
         A.Pins == B.Pins && A.Points() == B.Points();
}

bool TFigure::Pinned(uint8_t Vertex) const { return std::binary_search(Pins.begin(), Pins.end(), Vertex); }

void TFigure::TogglePin(uint8_t Vertex) {
  const auto at = std::lower_bound(Pins.begin(), Pins.end(), Vertex);
  if (at != Pins.end() && *at == Vertex)
    Pins.erase(at);
  else
    Pins.insert(at, Vertex);
}

void TFigure::Place() const {
  uint8_t state = State.load(std::memory_order_acquire);
  if (state == Placed) return;
  if (state == Unplaced && State.compare_exchange_strong(state, Placing, std::memory_order_acq_rel)) {
    Vertices.assign(1, UnplacedRoot);
    PlaceVertices();
    State.store(Placed, std::memory_order_release);
    State.notify_all();
    return;
  }
  // Another thread is placing it.
  while ((state = State.load(std::memory_order_acquire)) != Placed) State.wait(state, std::memory_order_acquire);
}

void TFigure::SetVertex(std::size_t Vertex, TRealPoint P) {
  Place();
  Vertices[Vertex] = P;
}

void TFigure::AddVertex(TRealPoint P) {
  Place();
  Vertices.push_back(P);
}

void TFigure::SetPosition(TRealPoint P) {
  Vertices.assign(1, P);
  State.store(Placed, std::memory_order_release);
  PlaceVertices();
}

void TFigure::SetScale(float S) {
  Scale = S;
  SetPosition(Root());
}

void TFigure::RotateSegment(uint8_t Index, double Delta) {
  Place();
  const TFigureType& type = Type();
  const TSegmentStruct& s = type.Segments[Index];
  Angles[Index] += Delta;
  const float length = s.Length * Scale;
  Vertices[s.ChildVertex] = EndPoint(Vertices[s.ParentVertex], Angles[Index], length);
  for (uint8_t child : type.Vertices[s.ChildVertex].Children) RotateSegment(child, Delta);
}

void TFigure::TurnSegmentTowards(uint8_t Index, TRealPoint Target) {
  const TRealPoint from = Points()[Type().Segments[Index].ParentVertex];
  RotateSegment(Index, AngleBetween(from, Target) - Angles[Index]);
}

void TFigure::TurnSegments(std::span<const double> Turns) {
  Place();
  const TFigureType& type = Type();
  std::vector<bool> moved(Vertices.size(), false);
  for (std::size_t i = 0; i < Angles.size(); ++i) {
    const TSegmentStruct& s = type.Segments[i];
    if (Turns[i] == 0.0 && !moved[s.ParentVertex]) continue;
    Angles[i] += Turns[i];
    Vertices[s.ChildVertex] = EndPoint(Vertices[s.ParentVertex], Angles[i], s.Length * Scale);
    moved[s.ChildVertex] = true;
  }
}

void TFigure::MoveBy(TRealPoint D) {
  Place();
  for (TRealPoint& p : Vertices) {
    p.X += D.X;
    p.Y += D.Y;
  }
}

namespace {
bool InsideSquare(TRealPoint Center, float R, QPointF P) {
  const float x = static_cast<float>(P.x()), y = static_cast<float>(P.y());
  return Center.X - R < x && x < Center.X + R && Center.Y - R < y && y < Center.Y + R;
}
}  // namespace

int16_t TFigure::HandleAt(QPointF P, float Zoom) const {
  const TFigureType& type = Type();
  const std::vector<TRealPoint>& points = Points();
  for (int i = static_cast<int>(Angles.size()) - 1; i >= 0; --i) {
    const TSegmentStruct& s = type.Segments[i];
    if (s.Static != 0) continue;
    if (InsideSquare(points[s.ChildVertex], JointHandleRadius(s.Thickness, Scale) / Zoom, P))
      return static_cast<int16_t>(i);
  }
  if (InsideSquare(points[0], RootHandleRadius(Scale) / Zoom, P)) return RootHandle;
  return NoHandle;
}

namespace {
double DistanceToSegment(QPointF P, QPointF A, QPointF B) {
  const QPointF ab = B - A;
  const double length2 = QPointF::dotProduct(ab, ab);
  const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(P - A, ab) / length2, 0.0, 1.0) : 0.0;
  const QPointF d = P - (A + t * ab);
  return std::hypot(d.x(), d.y());
}
}  // namespace

bool TFigure::Touches(QPointF P, double Tolerance) const {
  const TFigureType& type = Type();
  const std::vector<TRealPoint>& points = Points();
  for (std::size_t i = 0; i < Angles.size(); ++i) {
    const TSegmentStruct& s = type.Segments[i];
    if (s.Thickness == 0.0f) continue;
    const double reach = static_cast<double>(s.Thickness) * Scale / 2 + Tolerance;
    const QPointF a(points[s.ParentVertex].X, points[s.ParentVertex].Y);
    const QPointF b(points[s.ChildVertex].X, points[s.ChildVertex].Y);
    if (s.Kind == SegmentLine && DistanceToSegment(P, a, b) <= reach) return true;
    // A circle is filled: anywhere inside it counts.
    if (s.Kind == SegmentCircle) {
      const QPointF d = P - (a + b) / 2;
      if (std::hypot(d.x(), d.y()) <= static_cast<double>(s.Length) * Scale / 2 + reach) return true;
    }
  }
  return false;
}

void TFigure::SaveToBytes(QByteArray& Out) const {
  TByteWriter out(Out);
  out.Write(TypeIndex);
  out.Write(Scale);
  out.Write(Color);
  for (double a : Angles) out.Write(a);
  const TRealPoint root = Root();
  out.Write(root.X);
  out.Write(root.Y);
}

void TFigure::SaveToStream(QIODevice& Stream) const {
  QByteArray bytes;
  SaveToBytes(bytes);
  WriteRaw(Stream, bytes.constData(), bytes.size());
}

namespace {

const char* const FigureRecord = "The figure record";

const TFigureTypeRef& RecordType(uint8_t TypeIndex, std::span<const TFigureTypeRef> Types) {
  if (TypeIndex >= Types.size() || !Types[TypeIndex] || Types[TypeIndex]->SegmentCount() == 0)
    throw EStreamError("The figure record is damaged: it uses figure type " + std::to_string(TypeIndex) +
                       ", which does not exist.");
  return Types[TypeIndex];
}

}  // namespace

int TFigure::RecordBytes(uint8_t TypeIndex, std::span<const TFigureTypeRef> Types) {
  return 17 + 8 * RecordType(TypeIndex, Types)->SegmentCount();
}

void TFigure::LoadFromBytes(TByteReader& Reader, std::span<const TFigureTypeRef> Types) {
  const uint8_t typeIndex = Reader.Read<uint8_t>(FigureRecord);
  const float scale = Reader.Read<float>(FigureRecord);
  const TColor color = Reader.Read<uint32_t>(FigureRecord);
  const TFigureTypeRef& type = RecordType(typeIndex, Types);
  const std::size_t count = type->SegmentCount();
  // The angles and the root, read at once: a long animation holds millions.
  const char* rest = Reader.Take(static_cast<qsizetype>(8 * count) + 8, FigureRecord);
  std::vector<double> angles(count);
  qFromLittleEndian<double>(rest, static_cast<qsizetype>(count), angles.data());
  const TRealPoint root{qFromLittleEndian<float>(rest + 8 * count), qFromLittleEndian<float>(rest + 8 * count + 4)};
  const bool finite = std::isfinite(scale) && std::isfinite(root.X) && std::isfinite(root.Y) &&
                      std::all_of(angles.begin(), angles.end(), [](double A) { return std::isfinite(A); });
  if (!finite) throw EStreamError("The figure record is damaged: it holds a number that is not finite.");

  TypeIndex = typeIndex;
  TypeRef = type;
  Scale = scale;
  Color = color;
  Angles = std::move(angles);
  Vertices.clear();
  UnplacedRoot = root;
  State.store(Unplaced, std::memory_order_release);
}

void TFigure::LoadFromStream(QIODevice& Stream, std::span<const TFigureTypeRef> Types) {
  // The type index says how long the record is; the rest is read from memory.
  QByteArray record(9, '\0');
  ReadRaw(Stream, record.data(), 9, FigureRecord);
  const uint8_t typeIndex = static_cast<uint8_t>(record[0]);
  record.resize(RecordBytes(typeIndex, Types));
  ReadRaw(Stream, record.data() + 9, record.size() - 9, FigureRecord);
  TByteReader reader(record);
  LoadFromBytes(reader, Types);
}
