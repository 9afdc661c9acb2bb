// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QPoint>
#include <cmath>
#include <functional>
#include <latch>
#include <numbers>
#include <random>
#include <thread>

#include "model/ByteStream.h"
#include "model/Common.h"
#include "model/FigureUnit.h"
#include "tests/model/ModelTestUtil.h"

namespace {

using std::numbers::pi;

class FigureTest : public testing::Test {
 protected:
  static TFigure Stickman() {
    TFigure f;
    f.SetType(1, StickmanType());
    return f;
  }
  // A figure of a type made here, as entry 2 of its table.
  static TFigure OfType(std::shared_ptr<TFigureType> Type) {
    TFigure f;
    f.SetType(2, std::move(Type));
    return f;
  }
};

void ExpectNear(TRealPoint P, float X, float Y) {
  EXPECT_NEAR(P.X, X, 1e-4);
  EXPECT_NEAR(P.Y, Y, 1e-4);
}

TEST_F(FigureTest, NewStickmanStandsUpFromTheRoot) {
  TFigure f = Stickman();
  ASSERT_EQ(f.Points().size(), 11u);
  ASSERT_EQ(f.Angles.size(), 10u);
  EXPECT_EQ(f.Scale, 1.0f);
  EXPECT_EQ(f.Color, 0u);
  ExpectNear(f.Points()[0], 0, 0);
  ExpectNear(f.Points()[1], 0, -60);
  ExpectNear(f.Points()[2], 0, -96);
}

TEST_F(FigureTest, ScaleGrowsAboutTheRoot) {
  TFigure f = Stickman();
  f.SetPosition(RealPoint(100, 200));
  f.SetScale(2.0f);
  ExpectNear(f.Points()[0], 100, 200);
  ExpectNear(f.Points()[1], 100, 80);
  ExpectNear(f.Points()[2], 100, 8);
}

TEST_F(FigureTest, RotatingTheTrunkTurnsTheUpperBodyOnly) {
  TFigure f = Stickman();
  const TFigure before = f;
  f.RotateSegment(0, pi / 2);
  ExpectNear(f.Points()[1], 60, 0);  // the neck now points right of the hip
  ExpectNear(f.Points()[2], 96, 0);
  // Arms turned rigidly: each arm joint at the same distance from the neck.
  for (int v = 3; v <= 6; ++v) {
    const double dBefore =
        std::hypot(before.Points()[v].X - before.Points()[1].X, before.Points()[v].Y - before.Points()[1].Y);
    const double dAfter = std::hypot(f.Points()[v].X - f.Points()[1].X, f.Points()[v].Y - f.Points()[1].Y);
    EXPECT_NEAR(dBefore, dAfter, 1e-3);
  }
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(f.Angles[i], before.Angles[i] + pi / 2);
  for (int i = 6; i < 10; ++i) EXPECT_EQ(f.Angles[i], before.Angles[i]);
  for (int v = 7; v <= 10; ++v) EXPECT_EQ(f.Points()[v], before.Points()[v]);
  EXPECT_EQ(f.Points()[0], before.Points()[0]);
}

TEST_F(FigureTest, AnglesBeyondOneTurnPlaceVerticesByPlainCosineAndSine) {
  TFigure f = Stickman();
  f.RotateSegment(0, 5 * pi);   // 3pi/2 + 5pi
  f.RotateSegment(6, -7 * pi);  // far below 0
  EXPECT_NEAR(f.Points()[1].X, 60 * std::cos(f.Angles[0]), 1e-3);
  EXPECT_NEAR(f.Points()[1].Y, 60 * std::sin(f.Angles[0]), 1e-3);
  EXPECT_NEAR(f.Points()[7].X, 50 * std::cos(f.Angles[6]), 1e-3);
  EXPECT_NEAR(f.Points()[7].Y, 50 * std::sin(f.Angles[6]), 1e-3);
  ExpectNear(f.Points()[1], 0, 60);  // pointing down after half turns
}

TEST(AngleBetween, CompassPointsAndCoincidingPoints) {
  const TRealPoint o = RealPoint(0, 0);
  EXPECT_DOUBLE_EQ(AngleBetween(o, RealPoint(10, 0)), 0);
  EXPECT_DOUBLE_EQ(AngleBetween(o, RealPoint(-10, 0)), pi);
  EXPECT_DOUBLE_EQ(AngleBetween(o, RealPoint(0, 10)), pi / 2);
  EXPECT_DOUBLE_EQ(AngleBetween(o, RealPoint(0, -10)), 3 * pi / 2);
  EXPECT_DOUBLE_EQ(AngleBetween(RealPoint(3, 4), RealPoint(3, 4)), pi);
}

TEST(AngleBetween, AgreesWithTheTwoArgumentArctangent) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coord(-500, 500);
  for (int i = 0; i < 2000; ++i) {
    const TRealPoint a = RealPoint(coord(random), coord(random));
    const TRealPoint b = RealPoint(coord(random), coord(random));
    double expected = std::atan2(static_cast<double>(b.Y) - a.Y, static_cast<double>(b.X) - a.X);
    if (expected < 0) expected += 2 * pi;
    const double got = AngleBetween(a, b);
    EXPECT_GE(got, 0);
    EXPECT_LT(got, 2 * pi);
    EXPECT_NEAR(got, expected, 1e-9);
  }
}

TEST_F(FigureTest, DraggingAJointPointsTheSegmentAtThePointerKeepingItsLength) {
  TFigure f = Stickman();
  f.MoveBy(RealPoint(253, 207));
  const TRealPoint neck = f.Points()[1];
  f.TurnSegmentTowards(2, RealPoint(neck.X - 100, neck.Y));  // level, to the left
  EXPECT_DOUBLE_EQ(f.Angles[2], pi);
  ExpectNear(f.Points()[3], neck.X - 40, neck.Y);
  f.TurnSegmentTowards(2, RealPoint(neck.X + 1, neck.Y));  // level, to the right
  EXPECT_NEAR(std::fmod(f.Angles[2], 2 * pi), 0, 1e-12);
  ExpectNear(f.Points()[3], neck.X + 40, neck.Y);
}

TEST_F(FigureTest, HandleSquaresAreOpenAndSizedByThickness) {
  // A type with one dynamic segment of thickness 3 pointing right, 100 long.
  auto type = std::make_shared<TFigureType>();
  type->AddSegment(0, SegmentLine, 100, 3, 0, 0);
  TFigure f = OfType(type);
  f.SetPosition(RealPoint(50, 50));
  // Joint at (150, 50), half-size 2.4: x 148 and 152 inside, 147 outside.
  EXPECT_EQ(f.HandleAt(QPoint(148, 50)), 0);
  EXPECT_EQ(f.HandleAt(QPoint(152, 52)), 0);
  EXPECT_EQ(f.HandleAt(QPoint(147, 50)), NoHandle);
  // Root half-size 5 at scale 1: exactly 5 away is on the edge, not a hit.
  EXPECT_EQ(f.HandleAt(QPoint(54, 54)), RootHandle);
  EXPECT_EQ(f.HandleAt(QPoint(45, 50)), NoHandle);
  EXPECT_EQ(f.HandleAt(QPoint(50, 55)), NoHandle);

  EXPECT_FLOAT_EQ(JointHandleRadius(3, 1), 2.4f);
  EXPECT_FLOAT_EQ(JointHandleRadius(10, 1), 5.0f);
  EXPECT_FLOAT_EQ(JointHandleRadius(0, 1), 2.0f);
  EXPECT_FLOAT_EQ(RootHandleRadius(1.0f), 5.0f);
  EXPECT_FLOAT_EQ(RootHandleRadius(0.2f), 2.0f);
}

TEST_F(FigureTest, HandlePrecedenceLaterSegmentsThenTheRootStaticSkipped) {
  // Three zero-length segments all ending on the root.
  auto type = std::make_shared<TFigureType>();
  type->AddSegment(0, SegmentLine, 0, 5, 0, 0);
  type->AddSegment(0, SegmentLine, 0, 5, 0, 0);
  type->AddSegment(0, SegmentLine, 0, 5, 0, 1);  // static: no handle
  TFigure f = OfType(type);
  f.SetPosition(RealPoint(20, 20));
  EXPECT_EQ(f.HandleAt(QPoint(20, 20)), 1);
  f.Scale = 0;  // segment handles shrink to half-size 2, the root to 2
  EXPECT_EQ(f.HandleAt(QPoint(21, 21)), 1);
}

TEST_F(FigureTest, StreamRecordHoldsTheRootAndAnglesOnly) {
  TFigure f = Stickman();
  f.MoveBy(RealPoint(12.5f, -3.25f));
  f.RotateSegment(4, 1.0);
  f.Scale = 1.5f;
  f.Color = 0x00123456;
  const QByteArray bytes = SaveBytes(f);
  ASSERT_EQ(bytes.size(), 97);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes.mid(1, 4), QByteArray("\x00\x00\xC0\x3F", 4));  // 1.5f
  EXPECT_EQ(bytes.mid(5, 4), QByteArray("\x56\x34\x12\x00", 4));
  EXPECT_EQ(bytes.mid(89, 8), QByteArray("\x00\x00\x48\x41\x00\x00\x50\xC0", 8));  // 12.5, -3.25

  TFigure loaded;
  LoadBytes(loaded, bytes);
  EXPECT_EQ(loaded.TypeIndex, 1);
  EXPECT_EQ(loaded.Scale, 1.5f);
  EXPECT_EQ(loaded.Color, 0x00123456u);
  EXPECT_EQ(loaded.Angles, f.Angles);
  // Vertices are recomputed from the root at the stored scale.
  TFigure expected = f;
  expected.SetPosition(f.Points()[0]);
  for (std::size_t v = 0; v < f.Points().size(); ++v) EXPECT_EQ(loaded.Points()[v], expected.Points()[v]);
}

// A loaded figure places its vertices when first asked; every edit made
// before then must give what the same edit gives to a placed figure.
TEST_F(FigureTest, EditsOfAFigureNotYetPlacedMatchThoseOfAPlacedOne) {
  TFigure posed = Stickman();
  posed.MoveBy(RealPoint(101.3f, 77.7f));
  posed.RotateSegment(6, 0.7);
  posed.SetScale(1.3f);
  const QByteArray bytes = SaveBytes(posed);
  const std::vector<std::pair<const char*, std::function<void(TFigure&)>>> edits = {
      {"nothing", [](TFigure&) {}},
      {"move", [](TFigure& F) { F.MoveBy(RealPoint(0.1f, -12.3f)); }},
      {"rotate", [](TFigure& F) { F.RotateSegment(2, -0.4); }},
      {"turn", [](TFigure& F) { F.TurnSegmentTowards(3, RealPoint(10, 10)); }},
      {"scale", [](TFigure& F) { F.SetScale(0.45f); }},
      {"set vertex", [](TFigure& F) { F.SetVertex(4, RealPoint(3, 4)); }},
      {"add vertex", [](TFigure& F) { F.AddVertex(RealPoint(5, 6)); }},
  };
  for (const auto& [name, edit] : edits) {
    TFigure lazy, eager;
    LoadBytes(lazy, bytes);
    LoadBytes(eager, bytes);
    eager.Place();
    EXPECT_EQ(lazy.Root(), eager.Root()) << name;
    edit(lazy);
    edit(eager);
    EXPECT_EQ(SaveBytes(lazy), SaveBytes(eager)) << name;
    EXPECT_EQ(lazy.Points(), eager.Points()) << name;
    EXPECT_EQ(lazy.HandleAt(QPoint(3, 4)), eager.HandleAt(QPoint(3, 4))) << name;
  }
}

// Threads that draw the same frames (an export and the thumbnail strip)
// place a figure not yet placed at once: one places it, the others wait and
// read the same vertices. A ThreadSanitizer build (make tsan) watches this.
TEST_F(FigureTest, AFigurePlacedFromSeveralThreadsAtOnceIsPlacedOnce) {
  TFigure posed = Stickman();
  posed.MoveBy(RealPoint(40, 50));
  posed.RotateSegment(3, 0.9);
  const QByteArray bytes = SaveBytes(posed);
  TFigure placed;
  LoadBytes(placed, bytes);
  placed.Place();
  std::vector<TFigure> figures(2000);
  for (TFigure& f : figures) LoadBytes(f, bytes);
  std::vector<std::thread> threads;
  threads.reserve(4);
  std::vector<int> wrong(4, 0);
  std::latch start(4);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();  // all at once, on the same figures
      for (const TFigure& f : figures) wrong[t] += f.Points() != placed.Points();
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST_F(FigureTest, DamagedFigureRecordsAreRefusedAndChangeNothing) {
  const QByteArray good = SaveBytes(Stickman());
  QByteArray unknownType = good;
  unknownType[0] = 2;  // only entries 0 and 1 exist
  QByteArray emptyType = good;
  emptyType[0] = 0;  // the builder's entry has no segments yet
  QByteArray notFinite = good;
  notFinite.replace(1, 4, QByteArray("\x00\x00\xC0\x7F", 4));  // NaN scale

  TFigure target = Stickman();
  target.MoveBy(RealPoint(5, 5));
  const QByteArray before = SaveBytes(target);
  for (const QByteArray& bad : {good.left(8), good.left(96), QByteArray(), unknownType, emptyType, notFinite}) {
    EXPECT_THROW(LoadBytes(target, bad), EStreamError);
    EXPECT_EQ(SaveBytes(target), before);
    EXPECT_EQ(target.Points().size(), 11u);
  }
}

}  // namespace
