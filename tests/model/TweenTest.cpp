// SPDX-License-Identifier: GPL-3.0-or-later
// In-between frames: what each figure becomes between two frames.

#include <gtest/gtest.h>

#include <array>
#include <numbers>

#include "model/Tween.h"

namespace {

constexpr double Pi = std::numbers::pi;

// A one-segment figure of type Type (1: Stickman's table entry, 2: another
// type) with its root at (X, Y) and its segment at Angle.
TFigure Arm(uint8_t Type, float X, float Y, double Angle, float Scale = 1, TColor Color = ColorBlack) {
  static const TFigureTypeRef Arm = [] {
    auto type = std::make_shared<TFigureType>();
    type->AddSegment(0, SegmentLine, 40, 4, 0, 0);
    return TFigureTypeRef(type);
  }();
  TFigure figure;
  figure.SetType(Type, Arm);
  figure.Angles[0] = Angle;
  figure.Scale = Scale;
  figure.Color = Color;
  figure.SetPosition(RealPoint(X, Y));
  return figure;
}

TFigures Frame(std::initializer_list<TFigure> Figures) {
  TFigures frame;
  frame.Items.assign(Figures.begin(), Figures.end());
  return frame;
}

TEST(Tween, EachFigureMovesTurnsScalesAndChangesColourByItsShareOfTheWay) {
  struct TRow {
    const char* Name;
    TFigure From, To;
    int I, Count;
    TFigure Want;
  };
  const std::vector<TRow> rows{
      {"one in-between: the midpoint", Arm(1, 100, 100, 0.5, 1), Arm(1, 200, 50, 1.5, 2), 1, 1,
       Arm(1, 150, 75, 1.0, 1.5)},
      {"a quarter of the way", Arm(1, 0, 0, 0), Arm(1, 40, 80, 1.0), 1, 3, Arm(1, 10, 20, 0.25)},
      {"the shorter turn across 0", Arm(1, 0, 0, 0.1), Arm(1, 0, 0, 2 * Pi - 0.1), 1, 1, Arm(1, 0, 0, 0.0)},
      {"the shorter turn the other way", Arm(1, 0, 0, 2 * Pi - 0.1), Arm(1, 0, 0, 0.3), 1, 1,
       Arm(1, 0, 0, 2 * Pi + 0.1)},
      {"colour channels, rounded", Arm(1, 0, 0, 0, 1, 0x00000000), Arm(1, 0, 0, 0, 1, 0x00FF40FF), 1, 1,
       Arm(1, 0, 0, 0, 1, 0x00802080)},
      {"another type at that place: as it was", Arm(1, 5, 5, 0.2), Arm(2, 90, 90, 2.0), 1, 1, Arm(1, 5, 5, 0.2)},
  };
  for (const TRow& row : rows) {
    const TFigure got = InBetween(Frame({row.From}), Frame({row.To}), row.I, row.Count).Items.at(0);
    EXPECT_NEAR(got.Root().X, row.Want.Root().X, 1e-4) << row.Name;
    EXPECT_NEAR(got.Root().Y, row.Want.Root().Y, 1e-4) << row.Name;
    EXPECT_NEAR(got.Angles[0], row.Want.Angles[0], 1e-9) << row.Name;
    EXPECT_FLOAT_EQ(got.Scale, row.Want.Scale) << row.Name;
    EXPECT_EQ(got.Color, row.Want.Color) << row.Name;
    EXPECT_NEAR(got.Points()[1].X, row.Want.Points()[1].X, 1e-3) << row.Name << ": the segment's end follows";
  }
}

// Three in-betweens from a root at x 0 turned to 0 rad to a root at x 400
// turned to 2 rad fall at t = 1/4, 1/2, 3/4; each easing moves the root
// and the turn by its share at t: t, t^2, 1 - (1 - t)^2, 3t^2 - 2t^3.
TEST(Tween, EasingSpreadsTheInBetweensByItsShareOfTheWay) {
  struct TRow {
    TEasing Easing;
    std::array<double, 3> Share;  // of the way, at the three in-betweens
  };
  const std::vector<TRow> rows{
      {TEasing::Linear, {0.25, 0.5, 0.75}},
      {TEasing::EaseIn, {0.0625, 0.25, 0.5625}},
      {TEasing::EaseOut, {0.4375, 0.75, 0.9375}},
      {TEasing::EaseInOut, {0.15625, 0.5, 0.84375}},
  };
  const TFigures from = Frame({Arm(1, 0, 0, 0)}), to = Frame({Arm(1, 400, 0, 2.0)});
  for (const TRow& row : rows) {
    const QString name = EasingNames().at(static_cast<std::size_t>(row.Easing));
    for (int i = 1; i <= 3; ++i) {
      const TFigure got = InBetween(from, to, i, 3, row.Easing).Items.at(0);
      EXPECT_NEAR(got.Root().X, 400 * row.Share[i - 1], 1e-3) << name.toStdString() << " " << i;
      EXPECT_NEAR(got.Angles[0], 2.0 * row.Share[i - 1], 1e-9) << name.toStdString() << " " << i;
    }
    EXPECT_EQ(Eased(row.Easing, 0), 0) << name.toStdString();
    EXPECT_EQ(Eased(row.Easing, 1), 1) << name.toStdString();
  }
}

TEST(Tween, AFigureWithoutAMatchStaysAsItIs) {
  const TFigures from = Frame({Arm(1, 0, 0, 0), Arm(1, 50, 50, 1.0)});
  const TFigures to = Frame({Arm(1, 100, 0, 0)});
  const TFigures got = InBetween(from, to, 1, 1);
  ASSERT_EQ(got.Count(), 2);
  EXPECT_NEAR(got.Items[0].Root().X, 50, 1e-4);
  EXPECT_EQ(got.Items[1], from.Items[1]);
}

}  // namespace
