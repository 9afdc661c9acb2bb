// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QBuffer>
#include <random>

#include "model/ByteStream.h"
#include "model/FigureTypeUnit.h"
#include "tests/model/ModelTestUtil.h"

namespace {

// A type built with AddSegment: root - 1 - 2, and 1 - 3, and root - 4.
TFigureType SmallTree() {
  TFigureType t;
  t.SetSegmentCount(1);
  t.Segments[0].ParentVertex = 0;
  t.Segments[0].ChildVertex = 1;
  t.Segments[0].Length = 10;
  t.Segments[0].Thickness = 2;
  t.RebuildVertices();
  t.AddSegment(1, SegmentLine, 11, 3, 0.5, 0);    // segment 1, vertex 2
  t.AddSegment(1, SegmentCircle, 12, 4, 1.5, 1);  // segment 2, vertex 3
  t.AddSegment(0, SegmentLine, 13, 5, 2.5, 0);    // segment 3, vertex 4
  return t;
}

TEST(FigureTypeTable, StartsWithEmptyBuilderEntryAndStickman) {
  const TFigureTypeTable table;
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Type(0)->SegmentCount(), 0);
  EXPECT_EQ(table.ListedNames(), QStringList{"Stickman"});
  const TFigureType& s = *table.Type(1);
  ASSERT_EQ(s.SegmentCount(), 10);

  struct TRow {
    int Parent, Child, Kind;
    float Length;
    double Angle;
  };
  const TRow expected[] = {
      {0, 1, 0, 60, 4.71238898038469},    {1, 2, 1, 36, 4.71238898038469},   {1, 3, 0, 40, 2.356194490192345},
      {1, 4, 0, 40, 0.7853981633974483},  {3, 5, 0, 40, 2.0943951023931957}, {4, 6, 0, 40, 1.0471975511965979},
      {0, 7, 0, 50, 1.9634954084936207},  {0, 8, 0, 50, 1.1780972450961724}, {7, 9, 0, 50, 1.9634954084936207},
      {8, 10, 0, 50, 1.1780972450961724},
  };
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.Segments[i].ParentVertex, expected[i].Parent);
    EXPECT_EQ(s.Segments[i].ChildVertex, expected[i].Child);
    EXPECT_EQ(s.Segments[i].Kind, expected[i].Kind);
    EXPECT_EQ(s.Segments[i].Length, expected[i].Length);
    EXPECT_EQ(s.Segments[i].Angle, expected[i].Angle);
    EXPECT_EQ(s.Segments[i].Thickness, 7.0f);
    EXPECT_EQ(s.Segments[i].Static, 0);
  }
  EXPECT_EQ(s.Vertices[0].ParentSegment, -1);
  EXPECT_EQ(s.Vertices[0].Children, (std::vector<uint8_t>{0, 6, 7}));
  EXPECT_EQ(s.Vertices[1].Children, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(s.Vertices[10].ParentSegment, 9);
  EXPECT_TRUE(IsWellFormed(s));
}

TEST(FigureTypeRecord, StickmanBytesAreTheRawSegmentLayout) {
  TFigureType s;
  MakeStickman(s);
  const QByteArray bytes = SaveBytes(s);
  ASSERT_EQ(bytes.size(), 241);
  EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 10);
  // Segment 0: vertices 0 -> 1, gap, 60.0f, 3pi/2, 7.0f, line, dynamic, gap.
  const unsigned char segment0[24] = {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x70, 0x42, 0xD2, 0x21, 0x33, 0x7F,
                                      0x7C, 0xD9, 0x12, 0x40, 0x00, 0x00, 0xE0, 0x40, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(bytes.mid(1, 24), QByteArray(reinterpret_cast<const char*>(segment0), 24));
  // The head (segment 1) is a circle: kind byte at offset 20 of its record.
  EXPECT_EQ(bytes[1 + 24 + 20], 1);
}

TEST(FigureTypeRecord, RoundTripKeepsEveryByteAndTheAdjacency) {
  TFigureType original = SmallTree();
  original.Segments[2].Gap1[0] = 0xAB;
  original.Segments[2].Gap2[1] = 0xCD;
  original.Segments[3].Kind = 7;  // unknown kinds are kept
  const QByteArray bytes = SaveBytes(original);
  EXPECT_EQ(bytes.size(), 1 + 24 * 4);

  TFigureType loaded;
  LoadBytes(loaded, bytes);
  EXPECT_TRUE(SameSegments(original, loaded));
  EXPECT_TRUE(SameVertices(original, loaded));
  EXPECT_EQ(SaveBytes(loaded), bytes);
}

TEST(FigureTypeRecord, TypeOf255SegmentsRoundTrips) {
  TFigureType t;
  t.SetSegmentCount(1);
  t.Segments[0].ChildVertex = 1;
  t.RebuildVertices();
  for (int i = 1; i < 255; ++i) t.AddSegment(static_cast<uint8_t>(i), SegmentLine, 1, 1, 0, 0);
  ASSERT_EQ(t.SegmentCount(), 255);
  ASSERT_EQ(t.Vertices.size(), 256u);
  EXPECT_EQ(t.Segments[254].ChildVertex, 255);
  EXPECT_EQ(t.Vertices[255].ParentSegment, 254);
  TFigureType loaded;
  LoadBytes(loaded, SaveBytes(t));
  EXPECT_TRUE(SameSegments(t, loaded));
  EXPECT_TRUE(IsWellFormed(loaded));
}

// Damaged records are refused with a message, and the type keeps what it had.
TEST(FigureTypeRecord, DamagedRecordsAreRefusedAndChangeNothing) {
  const QByteArray good = SaveBytes(SmallTree());
  auto patched = [&](int Segment, int Offset, uint8_t Value) {
    QByteArray b = good;
    b[1 + 24 * Segment + Offset] = static_cast<char>(Value);
    return b;
  };
  struct TCase {
    const char* Name;
    QByteArray Bytes;
    const char* Says;
  };
  const TCase cases[] = {
      {"empty", QByteArray(), "ends early"},
      {"count only", good.left(1), "ends early"},
      {"cut in the last record", good.left(good.size() - 1), "ends early"},
      {"no segments", QByteArray(1, '\0'), "no segments"},
      {"child vertex above N", patched(3, 1, 5), "vertex 5"},
      {"child vertex 0", patched(1, 1, 0), "vertex 0"},
      {"parent vertex above N", patched(1, 0, 9), "vertex 9"},
      {"vertex reached twice", patched(3, 1, 2), "more than one segment"},
      {"hangs from a later vertex", patched(1, 0, 3), "no earlier segment"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFigureType target;
    MakeStickman(target);
    const QByteArray before = SaveBytes(target);
    try {
      LoadBytes(target, c.Bytes);
      ADD_FAILURE() << "record accepted";
    } catch (const EStreamError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << e.what();
    }
    EXPECT_EQ(SaveBytes(target), before);
    EXPECT_TRUE(IsWellFormed(target));
  }
}

TEST(FigureTypeRecord, NonFiniteNumbersAreRefused) {
  TFigureType t = SmallTree();
  t.Segments[1].Length = std::numeric_limits<float>::infinity();
  TFigureType target;
  EXPECT_THROW(LoadBytes(target, SaveBytes(t)), EStreamError);
}

TEST(RemoveSegment, RefusesTheOnlySegmentAndNonLeaves) {
  TFigureType one;
  one.SetSegmentCount(1);
  one.Segments[0].ChildVertex = 1;
  one.RebuildVertices();
  EXPECT_FALSE(one.RemoveSegment(0));
  EXPECT_EQ(one.SegmentCount(), 1);

  TFigureType t = SmallTree();
  const QByteArray before = SaveBytes(t);
  EXPECT_FALSE(t.RemoveSegment(0));  // vertex 1 carries segments 1 and 2
  EXPECT_EQ(SaveBytes(t), before);
}

TEST(RemoveSegment, LastLeafOnlyShortensTheArrays) {
  TFigureType t = SmallTree();
  TFigureType expected = SmallTree();
  expected.SetSegmentCount(3);
  expected.RebuildVertices();
  ASSERT_TRUE(t.RemoveSegment(3));
  EXPECT_TRUE(SameSegments(t, expected));
  EXPECT_TRUE(SameVertices(t, expected));
}

TEST(RemoveSegment, MiddleLeafHandsItsVertexNumberToTheHighestVertex) {
  TFigureType t = SmallTree();
  // Hang a segment from vertex 4 so the re-pointing of its children shows.
  t.AddSegment(4, SegmentLine, 14, 6, 3.5, 0);  // segment 4, vertex 5
  ASSERT_TRUE(t.RemoveSegment(1));              // removes vertex 2
  ASSERT_EQ(t.SegmentCount(), 4);
  // Vertex 5 became vertex 2; later segments moved down one place.
  EXPECT_EQ(t.Segments[1].Length, 12);  // former segment 2
  EXPECT_EQ(t.Segments[2].Length, 13);  // former segment 3, ends at vertex 4
  EXPECT_EQ(t.Segments[3].Length, 14);  // former segment 4
  EXPECT_EQ(t.Segments[3].ParentVertex, 4);
  EXPECT_EQ(t.Segments[3].ChildVertex, 2);
  EXPECT_TRUE(IsWellFormed(t));
}

TEST(RemoveSegment, RemovingLeavesInAnyOrderKeepsTheTreeWellFormed) {
  std::mt19937 random(12345);
  for (int round = 0; round < 40; ++round) {
    TFigureType t;
    t.SetSegmentCount(1);
    t.Segments[0].ChildVertex = 1;
    t.RebuildVertices();
    const int n = 2 + static_cast<int>(random() % 60);
    for (int i = 1; i < n; ++i)
      t.AddSegment(static_cast<uint8_t>(random() % (i + 1)), SegmentLine, static_cast<float>(i), 1, 0, 0);
    while (t.SegmentCount() > 1) {
      std::vector<uint8_t> leaves;
      for (int i = 0; i < t.SegmentCount(); ++i)
        if (t.Vertices[t.Segments[i].ChildVertex].ChildCount() == 0) leaves.push_back(static_cast<uint8_t>(i));
      const uint8_t victim = leaves[random() % leaves.size()];
      const float removedLength = t.Segments[victim].Length;
      ASSERT_TRUE(t.RemoveSegment(victim));
      ASSERT_TRUE(IsWellFormed(t));
      for (const TSegmentStruct& s : t.Segments) ASSERT_NE(s.Length, removedLength);
    }
  }
}

TEST(FigureTypeAssign, CopySharesNothing) {
  TFigureType a = SmallTree();
  TFigureType b;
  b.Assign(a);
  b.Segments[0].Length = 99;
  b.AddSegment(2, SegmentLine, 1, 1, 0, 0);
  EXPECT_EQ(a.Segments[0].Length, 10);
  EXPECT_EQ(a.SegmentCount(), 4);
  EXPECT_EQ(a.Vertices[2].ChildCount(), 0);
}

}  // namespace
