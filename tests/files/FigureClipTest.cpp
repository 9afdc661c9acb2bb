// SPDX-License-Identifier: GPL-3.0-or-later
// Clips of figures between animations: the types a figure needs travel with
// it and are added, reused or renamed in the animation that receives it.

#include <gtest/gtest.h>

#include "files/FigureClip.h"
#include "files/FileError.h"

namespace {

TFigureTypeRef Limb(float Length) {
  auto type = std::make_shared<TFigureType>();
  type->AddSegment(0, SegmentLine, Length, 3, 0.5, 0);
  type->AddSegment(1, SegmentCircle, 8, 2, 1.0, 0);
  return type;
}

TFigure PosedFigure(const TFigureTypeTable& Types, int Entry) {
  TFigure figure;
  figure.SetType(Types, static_cast<uint8_t>(Entry));
  figure.MoveBy(RealPoint(40, 30));
  figure.RotateSegment(0, 0.75);
  figure.Color = 0x00FF8000;
  figure.SetScale(1.5f);
  figure.Pins = {1};  // kept by the clip too
  return figure;
}

TEST(FigureClip, TypesTravelWithTheirFiguresAndAreAddedReusedOrRenamed) {
  TFigureTypeTable source;
  source.Append(Limb(20), QStringLiteral("arm"));
  struct TRow {
    const char* Name;
    std::vector<std::pair<TFigureTypeRef, QString>> IntoTypes;  // beyond the Stickman
    QStringList NewNames;                                       // the types the paste adds
    int Entry;                                                  // the pasted arm's entry
  };
  const std::vector<TRow> rows{
      {"a table without it", {}, {"arm"}, 2},
      {"the same type under its name", {{Limb(20), "leg"}, {Limb(20), "arm"}}, {}, 3},
      {"the same type under another name", {{Limb(20), "limb"}}, {}, 2},
      {"another type of that name", {{Limb(30), "arm"}, {Limb(40), "arm (2)"}}, {"arm (3)"}, 4},
  };
  TFigures clipped;
  clipped.Items = {PosedFigure(source, 1), PosedFigure(source, 2)};
  const QByteArray clip = ClipBytes(source, {&clipped, 1});
  for (const TRow& row : rows) {
    TFigureTypeTable into;
    for (const auto& [type, name] : row.IntoTypes) into.Append(type, name);
    const TClip read = ReadClip(clip, into);
    QStringList names;
    for (const auto& [type, name] : read.NewTypes) {
      into.Append(type, name);
      names << name;
    }
    EXPECT_EQ(names, row.NewNames) << row.Name;
    ASSERT_EQ(read.Frames.size(), 1u) << row.Name;
    const std::vector<TFigure>& pasted = read.Frames[0].Items;
    ASSERT_EQ(pasted.size(), 2u) << row.Name;
    EXPECT_EQ(pasted[0], clipped.Items[0]) << row.Name;
    EXPECT_EQ(pasted[1].TypeIndex, row.Entry) << row.Name;
    // The same figure as the file gives it: pose, scale, colour and pins kept.
    TFigure expected = clipped.Items[1];
    expected.TypeIndex = static_cast<uint8_t>(row.Entry);
    EXPECT_EQ(pasted[1].Points(), expected.Points()) << row.Name;
    EXPECT_EQ(pasted[1].Angles, expected.Angles) << row.Name;
    EXPECT_EQ(pasted[1].Color, expected.Color) << row.Name;
    EXPECT_EQ(pasted[1].Pins, expected.Pins) << row.Name;
  }
}

TEST(FigureClip, DamagedClipsAndFullTablesAreRefused) {
  TFigureTypeTable source;
  source.Append(Limb(20), QStringLiteral("arm"));
  TFigures clipped;
  clipped.Items = {PosedFigure(source, 2)};
  const QByteArray clip = ClipBytes(source, {&clipped, 1});
  for (const QByteArray& damaged : {clip.left(clip.size() - 3), QByteArray("\x02\x00not a clip", 12), QByteArray()})
    EXPECT_THROW(ReadClip(damaged, TFigureTypeTable()), EFileError) << damaged.size();
  TFigureTypeTable full;
  while (full.Count() < MaxFigureTypes)
    full.Append(Limb(1000.0f + static_cast<float>(full.Count())), QString::number(full.Count()));
  EXPECT_THROW(ReadClip(clip, full), EFileError);
}

}  // namespace
