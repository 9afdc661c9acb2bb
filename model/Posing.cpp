// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Posing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

struct TPoint {
  double X = 0, Y = 0;
};

TPoint Of(TRealPoint P) { return {P.X, P.Y}; }
double Direction(TPoint From, TPoint To) { return std::atan2(To.Y - From.Y, To.X - From.X); }
double Distance(TPoint A, TPoint B) { return std::hypot(B.X - A.X, B.Y - A.Y); }
// The turn from direction From to direction To, the short way round.
double Turn(double From, double To) { return std::remainder(To - From, 2 * Pi); }

double LengthOf(const TFigure& Figure, uint8_t Segment) {
  return static_cast<double>(Figure.Type().Segments[Segment].Length * Figure.Scale);
}
bool IsStatic(const TFigure& Figure, uint8_t Segment) { return Figure.Type().Segments[Segment].Static != 0; }

// The side a chain of two bends to: +1 when the lower segment turns
// clockwise from the upper one, -1 the other way, 0 when it is straight.
int BendOf(double Upper, double Lower) {
  const double s = std::sin(Lower - Upper);
  return s > 1e-9 ? 1 : s < -1e-9 ? -1 : 0;
}

// The side the chain Upper, Lower bends to in Start; straight there, the
// side of the type's own pose; 0 when that is straight too.
int BendSide(const TFigure& Start, uint8_t Upper, uint8_t Lower) {
  if (const int side = BendOf(Start.Angles[Upper], Start.Angles[Lower])) return side;
  const auto& segments = Start.Type().Segments;
  return BendOf(segments[Upper].Angle, segments[Lower].Angle);
}

// Where the middle joint of the chain Upper, Lower goes when its end is at
// Target and it bends to Side, and the upper segment's direction then.
struct TElbow {
  TPoint At;
  double Upper;
};
TElbow TwoBoneElbow(const TFigure& Figure, uint8_t Upper, uint8_t Lower, TPoint Target, int Side) {
  const TPoint base = Of(Figure.Points()[Figure.Type().Segments[Upper].ParentVertex]);
  const double a = LengthOf(Figure, Upper), b = LengthOf(Figure, Lower), d = Distance(base, Target);
  const double cosine = std::clamp((a * a + d * d - b * b) / (2 * a * d), -1.0, 1.0);
  const double upper = Direction(base, Target) - Side * std::acos(cosine);
  return {{base.X + a * std::cos(upper), base.Y + a * std::sin(upper)}, upper};
}

// The turns of the two segments that put the chain's end at Target.
std::vector<double> TwoBoneTurns(const TFigure& Figure, uint8_t Upper, uint8_t Lower, TPoint Target, int Side) {
  const auto [elbow, upper] = TwoBoneElbow(Figure, Upper, Lower, Target, Side);
  const double lower = Distance(elbow, Target) > 1e-9 ? Direction(elbow, Target) : upper;
  std::vector<double> turns(Figure.SegmentCount(), 0.0);
  turns[Upper] = Turn(Figure.Angles[Upper], upper);
  turns[Lower] = Turn(Figure.Angles[Lower] + turns[Upper], lower);
  return turns;
}

// The turns a cyclic solver finds: from the bottom of the chain up, each
// dynamic segment turns so that the chain's end points at Target from its
// joint, sweep after sweep until the end is there or the sweeps are spent.
std::vector<double> SweptTurns(const TFigure& Figure, std::span<const uint8_t> Chain, TPoint Target) {
  const std::size_t k = Chain.size();
  std::vector<TPoint> joints(k + 1);
  joints[0] = Of(Figure.Points()[Figure.Type().Segments[Chain[0]].ParentVertex]);
  std::vector<double> angles(k), lengths(k), turned(k, 0.0);
  for (std::size_t i = 0; i < k; ++i) {
    angles[i] = Figure.Angles[Chain[i]];
    lengths[i] = LengthOf(Figure, Chain[i]);
  }
  const auto place = [&] {
    double turn = 0;
    for (std::size_t i = 0; i < k; ++i) {
      turn += turned[i];
      joints[i + 1] = {joints[i].X + lengths[i] * std::cos(angles[i] + turn),
                       joints[i].Y + lengths[i] * std::sin(angles[i] + turn)};
    }
  };
  place();
  for (int sweep = 0; sweep < ReachSweeps && Distance(joints[k], Target) > 1e-4; ++sweep) {
    TPoint end = joints[k];
    for (std::size_t i = k; i-- > 0;) {
      if (IsStatic(Figure, Chain[i]) || Distance(joints[i], end) < 1e-9 || Distance(joints[i], Target) < 1e-9) continue;
      const double turn = Turn(Direction(joints[i], end), Direction(joints[i], Target));
      const double c = std::cos(turn), s = std::sin(turn), x = end.X - joints[i].X, y = end.Y - joints[i].Y;
      end = {joints[i].X + x * c - y * s, joints[i].Y + x * s + y * c};
      turned[i] += turn;
    }
    place();
  }
  std::vector<double> turns(Figure.SegmentCount(), 0.0);
  for (std::size_t i = 0; i < k; ++i) turns[Chain[i]] = turned[i];
  return turns;
}

// Adds to every segment the turns of the segments it hangs from, and its
// own, and places the figure again from its root.
void ApplyTurns(TFigure& Figure, const std::vector<double>& Own) {
  const TFigureType& type = Figure.Type();
  std::vector<double> total(Own.size(), 0.0);
  for (std::size_t s = 0; s < Own.size(); ++s) {
    const int16_t above = type.Vertices[type.Segments[s].ParentVertex].ParentSegment;
    total[s] = (above >= 0 ? total[static_cast<std::size_t>(above)] : 0.0) + Own[s];
  }
  Figure.TurnSegments(total);
}

}  // namespace

std::vector<uint8_t> ReachChain(const TFigure& Figure, uint8_t Handle, int Stop) {
  const TFigureType& type = Figure.Type();
  std::vector<uint8_t> chain{Handle};
  for (uint8_t vertex = type.Segments[Handle].ParentVertex;
       vertex != 0 && vertex != Stop && !Figure.Pinned(vertex) && type.Vertices[vertex].Children.size() == 1;) {
    const auto segment = static_cast<uint8_t>(type.Vertices[vertex].ParentSegment);
    chain.insert(chain.begin(), segment);
    vertex = type.Segments[segment].ParentVertex;
  }
  return chain;
}

void Reach(TFigure& Figure, std::span<const uint8_t> Chain, TRealPoint Target, const TFigure& Start) {
  if (Chain.empty()) return;
  const TPoint target = Of(Target);
  const bool twoBones = Chain.size() == 2 && !IsStatic(Figure, Chain[0]) && !IsStatic(Figure, Chain[1]) &&
                        LengthOf(Figure, Chain[0]) > 0 && LengthOf(Figure, Chain[1]) > 0 &&
                        Distance(Of(Figure.Points()[Figure.Type().Segments[Chain[0]].ParentVertex]), target) > 1e-9;
  if (!twoBones) {
    ApplyTurns(Figure, SweptTurns(Figure, Chain, target));
    return;
  }
  int side = BendSide(Start, Chain[0], Chain[1]);
  if (side == 0) {
    // A chain straight from the start bends to the side that lifts its
    // middle joint, as knees and elbows do: a crouch on straight legs
    // bends both knees up and out, not one of them into the ground.
    const auto middleY = [&](int Side) { return TwoBoneElbow(Figure, Chain[0], Chain[1], target, Side).At.Y; };
    side = middleY(1) <= middleY(-1) ? 1 : -1;
  }
  ApplyTurns(Figure, TwoBoneTurns(Figure, Chain[0], Chain[1], target, side));
}

void HoldPins(TFigure& Figure, const TFigure& Start, int Moved) {
  if (Figure.Pins.empty()) return;
  const TFigureType& type = Figure.Type();
  // The pins nearer the root first: a chain below one starts from where it holds.
  std::vector<uint8_t> pins;
  for (uint8_t vertex : Figure.Pins)
    if (vertex != 0 && vertex != Moved && vertex < Figure.Points().size() && vertex < Start.Points().size())
      pins.push_back(vertex);
  std::sort(pins.begin(), pins.end(),
            [&](uint8_t A, uint8_t B) { return type.Vertices[A].ParentSegment < type.Vertices[B].ParentSegment; });
  for (uint8_t vertex : pins) {
    const TRealPoint held = Start.Points()[vertex];
    if (Distance(Of(Figure.Points()[vertex]), Of(held)) < 1e-6) continue;
    const auto segment = static_cast<uint8_t>(type.Vertices[vertex].ParentSegment);
    Reach(Figure, ReachChain(Figure, segment, Moved), held, Start);
  }
}

void DragJoint(TFigure& Figure, uint8_t Handle, TRealPoint Target, bool Ik, const TFigure& Start) {
  if (Ik)
    Reach(Figure, ReachChain(Figure, Handle), Target, Start);
  else
    Figure.TurnSegmentTowards(Handle, Target);
  HoldPins(Figure, Start, Figure.Type().Segments[Handle].ChildVertex);
}

void DragRoot(TFigure& Figure, TRealPoint Offset, const TFigure& Start) {
  Figure.MoveBy(Offset);
  HoldPins(Figure, Start, 0);
}
