// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A figure: one posed instance of a figure type, with its own scale, colour,
// segment directions and vertex positions.
//
// The root and the directions are what a figure is; the other vertices
// follow from them and the type's lengths. A figure read from a file holds
// only those and places its vertices the first time they are asked for, so
// that opening a long animation costs no trigonometry for frames nobody
// looks at yet. Placing writes the figure, so a figure that several threads
// read at once must be placed first (Place()).

#include <QRect>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "model/Colors.h"
#include "model/FigureTypeUnit.h"

class QByteArray;
class QIODevice;
class QPainter;
class QPoint;
class QPointF;
class TByteReader;

// How figures' lines and circles reach the picture. Pixel draws them
// aliased, every pixel wholly the figure's colour or untouched; Smooth draws
// the same shapes (same ends, widths and round caps) antialiased, their edges
// blended with what lies beneath. Handles are always drawn as Pixel.
enum class TLineStyle : uint8_t { Pixel, Smooth };

// Handle codes returned by HandleAt beside segment indices 0..254.
constexpr int16_t RootHandle = -1;
constexpr int16_t NoHandle = -2;

class TFigure {
 public:
  uint8_t TypeIndex = 0;  // entry of the animation's type table
  float Scale = 1.0f;     // factor on every length and thickness
  TColor Color = ColorBlack;
  std::vector<double> Angles;  // absolute direction of every segment, radians
  // The joints held in place while the figure is posed (model/Posing.h):
  // vertex numbers, ascending. Not part of the stream record: the project
  // file keeps them in its extension block.
  std::vector<uint8_t> Pins;
  bool Pinned(uint8_t Vertex) const;
  // Pins Vertex, or takes its pin away.
  void TogglePin(uint8_t Vertex);

  // The type this figure is an instance of: the one of its table's entry
  // TypeIndex, held by the figure. A figure made without one has the empty type.
  const TFigureType& Type() const { return *TypeRef; }
  const TFigureTypeRef& TypeReference() const { return TypeRef; }
  uint8_t SegmentCount() const { return static_cast<uint8_t>(Angles.size()); }

  TFigure() = default;
  TFigure(const TFigure& Source) { *this = Source; }
  TFigure(TFigure&& Source) noexcept { *this = std::move(Source); }
  TFigure& operator=(const TFigure& Source);
  TFigure& operator=(TFigure&& Source) noexcept;

  // One position per vertex, the root first, placed now if they were not yet.
  // Several threads may place the same figure at once (an export drawing a
  // frame while the thumbnail strip draws it): one places, the others wait.
  const std::vector<TRealPoint>& Points() const {
    if (State.load(std::memory_order_acquire) != Placed) Place();
    return Vertices;
  }
  TRealPoint Root() const { return State.load(std::memory_order_acquire) == Placed ? Vertices[0] : UnplacedRoot; }
  void Place() const;
  // The builder moves and adds single vertices of its working figure by
  // hand, keeping the angles and the type's lengths in step itself.
  void SetVertex(std::size_t Vertex, TRealPoint P);
  void AddVertex(TRealPoint P);

  void Assign(const TFigure& Source) { *this = Source; }
  // Instances Type, entry Index of its table, in its default pose with the
  // root at (0, 0).
  void SetType(uint8_t Index, TFigureTypeRef Type);
  void SetType(const TFigureTypeTable& Table, uint8_t Index) { SetType(Index, Table.Type(Index)); }
  // Puts the root at P and recomputes every other vertex.
  void SetPosition(TRealPoint P);
  // Sets the scale and recomputes every vertex but the root.
  void SetScale(float S);
  // Turns segment Index and everything hanging below it by Delta radians.
  void RotateSegment(uint8_t Index, double Delta);
  // Points segment Index from its parent vertex towards Target (a handle drag).
  void TurnSegmentTowards(uint8_t Index, TRealPoint Target);
  // Adds Turns[i] to the direction of every segment i (one entry per
  // segment) and places again each vertex that moves with them.
  void TurnSegments(std::span<const double> Turns);
  void MoveBy(TRealPoint D);
  // The handle under P: a segment index, RootHandle or NoHandle. Handles
  // shown at Zoom keep their screen size, so they reach 1 / Zoom as far.
  int16_t HandleAt(QPointF P, float Zoom = 1.0f) const;
  // Whether P lies on a line or in a circle of the figure as drawn, or
  // within Tolerance pixels of one.
  bool Touches(QPointF P, double Tolerance) const;

  // Stream record: type index, scale, colour, the angles and the root point.
  void SaveToStream(QIODevice& Stream) const;
  void SaveToBytes(QByteArray& Out) const;
  // Reads a stream record against the types of a table; a record that ends
  // early, holds a number that is not finite or names a type not in the
  // table (or an empty or null one) throws EStreamError and leaves the
  // figure as it was.
  void LoadFromStream(QIODevice& Stream, std::span<const TFigureTypeRef> Types);
  void LoadFromBytes(TByteReader& Reader, std::span<const TFigureTypeRef> Types);
  // Length of the stream record of a figure of type TypeIndex in Types;
  // EStreamError when there is no such type.
  static int RecordBytes(uint8_t TypeIndex, std::span<const TFigureTypeRef> Types);

  // Drawing. The painter's pen colour is the figure's colour for Draw and
  // the caller's for DrawSegment; circles are filled with the painter's
  // brush. Lines sets the painter's antialiasing for the drawing and puts
  // it back after.
  void Draw(QPainter& Canvas, float Zoom, TLineStyle Lines = TLineStyle::Pixel) const;
  void DrawSegment(uint8_t Index, QPainter& Canvas, float Zoom, TLineStyle Lines = TLineStyle::Pixel) const;
  // Handles at the figure's points, or on a screen that shows the picture
  // Zoom times as large (each point in the middle of its pixel's block), at
  // the same size in screen pixels.
  void DrawHandles(QPainter& Canvas, TColor JointColor, TColor RootColor, float Zoom = 1.0f) const;
  // A rectangle holding every pixel Draw (and DrawHandles, when asked) can touch.
  QRect DrawBounds(float Zoom, bool WithHandles) const;

 private:
  void PlaceVertices() const;

  enum TPlaceState : uint8_t { Placed, Unplaced, Placing };

  TFigureTypeRef TypeRef = EmptyType();
  mutable std::vector<TRealPoint> Vertices;
  mutable std::atomic<uint8_t> State{Placed};
  TRealPoint UnplacedRoot{};  // the root until the vertices are placed
};

// Figures that look and save the same: type, scale, colour, directions,
// vertices and pins.
bool operator==(const TFigure& A, const TFigure& B);

// The point at distance Length from From in direction Angle.
TRealPoint EndPoint(TRealPoint From, double Angle, double Length);
// The direction from A to B in 0..2pi; pi when the points coincide.
double AngleBetween(TRealPoint A, TRealPoint B);

// A line of the painter's pen colour between two pixel points with round
// ends; a line from a point to itself is a round dot as wide as the pen.
void DrawPixelLine(QPainter& Canvas, QPoint From, QPoint To, int Width, TLineStyle Lines = TLineStyle::Pixel);

// Half-sizes of the handle squares, which are also half the handle dots' widths.
// On a screen that shows a picture Zoom times as large, picture point P
// shows at P * Zoom + ScreenShift(Zoom): whole screen pixels, in the middle
// of the point's block, so that every picture point a whole number of
// pixels from the corner has a screen pixel of its own.
double ScreenShift(double Zoom);
float JointHandleRadius(float Thickness, float Scale);
float RootHandleRadius(float Scale);
