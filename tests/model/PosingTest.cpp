// SPDX-License-Identifier: GPL-3.0-or-later
// Posing by the end of a chain and pinned joints: where the joints end up,
// what keeps its length and side, on the Stickman and on random trees.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "model/Posing.h"

namespace {

// Stickman segments: 2 and 4 the left upper arm and forearm (the hand is
// vertex 5), 6 and 8 the left thigh and shin (the foot is vertex 9), 7 and
// 9 the right leg (foot 10). The hip is the root, vertex 0.
constexpr uint8_t UpperArm = 2, Forearm = 4, Hand = 5, LeftShin = 8, LeftFoot = 9, RightFoot = 10;

TFigure Stickman() {
  TFigure figure;
  figure.SetType(1, StickmanType());
  figure.MoveBy(RealPoint(200, 200));
  return figure;
}

double Distance(TRealPoint A, TRealPoint B) { return std::hypot(double(A.X) - B.X, double(A.Y) - B.Y); }

// Every segment as long as its type says at the figure's scale.
void ExpectLengthsKept(const TFigure& F, const std::string& Where) {
  for (uint8_t s = 0; s < F.SegmentCount(); ++s) {
    const TSegmentStruct& seg = F.Type().Segments[s];
    EXPECT_NEAR(Distance(F.Points()[seg.ParentVertex], F.Points()[seg.ChildVertex]), seg.Length * F.Scale, 2e-3)
        << Where << ", segment " << int(s);
  }
}

// A type of N segments in one line from the root, each Length long.
TFigureTypeRef Line(int N, float Length, int StaticAt = -1) {
  auto type = std::make_shared<TFigureType>();
  for (int i = 0; i < N; ++i)
    type->AddSegment(static_cast<uint8_t>(i), SegmentLine, Length, 2, 0.3 * i, i == StaticAt ? 1 : 0);
  return type;
}

TEST(Posing, ReachPutsTheJointWhereTheChainCanReach) {
  struct TRow {
    const char* Name;
    TFigureTypeRef Type;
    uint8_t Handle;
    TRealPoint Target;        // from the root
    double ExpectedDistance;  // of the end from the target
  };
  const TRealPoint root = RealPoint(200, 200);
  const std::vector<TRow> rows{
      {"two bones, within reach", Line(2, 40), 1, RealPoint(30, 40), 0},
      {"two bones, exactly at reach", Line(2, 40), 1, RealPoint(80, 0), 0},
      {"two bones, out of reach", Line(2, 40), 1, RealPoint(0, 100), 20},
      {"two bones, the shorter one too short", Line(2, 40), 1, RealPoint(0, 0.5f), 0},
      {"a chain of four", Line(4, 25), 3, RealPoint(-40, 55), 0},
      {"a chain of four out of reach", Line(4, 25), 3, RealPoint(130, 0), 30},
      {"a zero-length segment in the chain", Line(3, 0), 2, RealPoint(5, 5),
       Distance(RealPoint(0, 0), RealPoint(5, 5))},
      {"a static segment turns with its parent", Line(3, 30, 1), 2, RealPoint(20, 50), 0},
  };
  for (const TRow& row : rows) {
    TFigure figure;
    figure.SetType(2, row.Type);
    figure.MoveBy(root);
    const TFigure start = figure;
    const TRealPoint target = RealPoint(root.X + row.Target.X, root.Y + row.Target.Y);
    DragJoint(figure, row.Handle, target, true, start);
    const TRealPoint end = figure.Points()[figure.Type().Segments[row.Handle].ChildVertex];
    EXPECT_NEAR(Distance(end, target), row.ExpectedDistance, 0.01) << row.Name;
    ExpectLengthsKept(figure, row.Name);
    EXPECT_EQ(figure.Root(), root) << row.Name;
    // A static segment keeps its direction against the one it hangs from.
    if (row.Type->Segments[1].Static != 0) {
      EXPECT_NEAR(std::remainder(figure.Angles[1] - figure.Angles[0] - (start.Angles[1] - start.Angles[0]),
                                 2 * std::numbers::pi),
                  0, 1e-9)
          << row.Name;
    }
  }
}

TEST(Posing, TheStickmansHandTurnsTheArmAloneAndItsBendKeepsItsSide) {
  TFigure figure = Stickman();
  EXPECT_EQ(ReachChain(figure, Forearm), (std::vector<uint8_t>{UpperArm, Forearm}));
  EXPECT_EQ(ReachChain(figure, LeftShin), (std::vector<uint8_t>{6, LeftShin}));
  const TFigure start = figure;
  const TRealPoint shoulder = figure.Points()[figure.Type().Segments[UpperArm].ParentVertex];
  const double side = std::sin(start.Angles[Forearm] - start.Angles[UpperArm]);
  // The hand drawn out past the straight arm and back.
  for (int step = 0; step <= 40; ++step) {
    const float reach = 20.0f + 3.0f * static_cast<float>(step <= 20 ? step : 40 - step);
    DragJoint(figure, Forearm, RealPoint(shoulder.X - reach, shoulder.Y + 10), true, start);
    const double bend = std::sin(figure.Angles[Forearm] - figure.Angles[UpperArm]);
    if (std::abs(bend) > 1e-6) {
      EXPECT_GT(bend * side, 0) << "step " << step;
    }
  }
  EXPECT_NEAR(Distance(figure.Points()[Hand], RealPoint(shoulder.X - 20, shoulder.Y + 10)), 0, 0.01);
  for (uint8_t s = 0; s < figure.SegmentCount(); ++s) {
    if (s != UpperArm && s != Forearm) {
      EXPECT_EQ(figure.Angles[s], start.Angles[s]) << int(s);
    }
  }
}

TEST(Posing, PinnedFeetStayWhereTheyAreWhenTheHipGoesDown) {
  TFigure figure = Stickman();
  figure.TogglePin(LeftFoot);
  figure.TogglePin(RightFoot);
  const TFigure start = figure;
  for (int step = 0; step < 25; ++step) {
    DragRoot(figure, RealPoint(0.3f, 1.0f), start);
    for (uint8_t foot : {LeftFoot, RightFoot})
      ASSERT_LT(Distance(figure.Points()[foot], start.Points()[foot]), 0.01) << "step " << step;
  }
  ExpectLengthsKept(figure, "crouched");
  // The knees bent: the legs are no longer straight.
  EXPECT_GT(std::abs(std::sin(figure.Angles[LeftShin] - figure.Angles[6])), 0.1);
  // Straight down, both knees come up from the feet: neither goes into the ground.
  TFigure straightDown = start;
  for (int step = 0; step < 25; ++step) DragRoot(straightDown, RealPoint(0, 2), start);
  for (uint8_t foot : {LeftFoot, RightFoot}) {
    const auto knee = straightDown.Type().Segments[straightDown.Type().Vertices[foot].ParentSegment].ParentVertex;
    EXPECT_LT(straightDown.Points()[knee].Y, straightDown.Points()[foot].Y - 10) << "foot " << int(foot);
  }
  // Unpinned, a foot goes with the hip.
  figure.TogglePin(LeftFoot);
  const TRealPoint before = figure.Points()[LeftFoot];
  DragRoot(figure, RealPoint(0, 5), figure);
  EXPECT_FLOAT_EQ(figure.Points()[LeftFoot].Y, before.Y + 5);
  // Out of reach, a pin stays pinned and its chain reaches as far as it can.
  DragRoot(figure, RealPoint(0, -200), start);
  EXPECT_TRUE(figure.Pinned(RightFoot));
  EXPECT_NEAR(Distance(figure.Points()[0], figure.Points()[RightFoot]), 100, 0.01);
}

// Random trees of up to 255 segments: wherever the chain of a joint can
// take it, an IK drag puts it there; every length stays, and nothing but the
// chain and what hangs below it moves.
TEST(Posing, OnRandomTreesTheJointGoesWhereItCanBeAndNothingElseChanges) {
  std::mt19937 random(7);
  for (int round = 0; round < 60; ++round) {
    const int n = std::uniform_int_distribution<int>(2, 255)(random);
    auto type = std::make_shared<TFigureType>();
    for (int s = 0; s < n; ++s) {
      const auto parent = static_cast<uint8_t>(std::uniform_int_distribution<int>(0, s)(random));
      type->AddSegment(parent, SegmentLine, std::uniform_real_distribution<float>(5, 40)(random), 2,
                       std::uniform_real_distribution<double>(0, 6.28)(random), 0);
    }
    TFigure figure;
    figure.SetType(2, type);
    figure.MoveBy(RealPoint(300, 300));
    const auto handle = static_cast<uint8_t>(std::uniform_int_distribution<int>(0, n - 1)(random));
    const std::vector<uint8_t> chain = ReachChain(figure, handle);
    // A target the chain can reach: the end of the chain turned at random.
    TFigure posed = figure;
    std::vector<double> turns(posed.SegmentCount(), 0.0);
    for (uint8_t s : chain) turns[s] = std::uniform_real_distribution<double>(-0.6, 0.6)(random);
    std::vector<double> total(turns.size(), 0.0);
    for (std::size_t s = 0; s < turns.size(); ++s) {
      const int16_t above = type->Vertices[type->Segments[s].ParentVertex].ParentSegment;
      total[s] = (above >= 0 ? total[static_cast<std::size_t>(above)] : 0.0) + turns[s];
    }
    posed.TurnSegments(total);
    const uint8_t joint = type->Segments[handle].ChildVertex;
    const TFigure start = figure;
    DragJoint(figure, handle, posed.Points()[joint], true, start);
    const std::string where = "round " + std::to_string(round);
    EXPECT_LT(Distance(figure.Points()[joint], posed.Points()[joint]), chain.size() > 2 ? 0.05 : 0.01) << where;
    ExpectLengthsKept(figure, where);
    const uint8_t top = type->Segments[chain.front()].ParentVertex;
    EXPECT_EQ(figure.Points()[top], start.Points()[top]) << where;
  }
}

}  // namespace
