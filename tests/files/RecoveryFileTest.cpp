// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery file's layout: golden bytes of a figure type's copy, a
// damaged byte in any part of either kind refuses the copy, and a copy
// deflates only what changed since the last.

#include <gtest/gtest.h>

#include <QtEndian>
#include <functional>

#include "files/RecoveryFile.h"
#include "files/StkFile.h"
#include "files/Zlib.h"
#include "model/ByteStream.h"
#include "model/Common.h"

namespace {

TEST(RecoveryFile, ATypeCopyIsItsHeaderAndStkFileEachWithLengthAndCrc) {
  const QByteArray file =
      TypeRecoveryBytes(QDateTime::fromMSecsSinceEpoch(1000, Qt::UTC), QStringLiteral("a.stk"), "xyz");
  EXPECT_EQ(file.toHex(),
            "54766c5265636f76"                            // TvlRecov
            "0302"                                        // format 3, a figure type
            "0d000000e803000000000000612e73746b8dec4baf"  // header: the time, the path; its CRC-32
            "0300000078797a67ba8eeb");                    // the .stk file; its CRC-32
  const TRecoveredType read = ParseTypeRecovery(file);
  EXPECT_EQ(read.Time.toMSecsSinceEpoch(), 1000);
  EXPECT_EQ(read.TypePath, QStringLiteral("a.stk"));
  EXPECT_EQ(read.StkFile, "xyz");
}

// Offset and size of each part after the magic, format and kind.
std::vector<std::pair<qsizetype, qsizetype>> PartSpans(const QByteArray& File) {
  std::vector<std::pair<qsizetype, qsizetype>> parts;
  for (qsizetype at = 10; at < File.size();) {
    const qsizetype size = qFromLittleEndian<uint32_t>(File.constData() + at);
    parts.emplace_back(at + 4, size);
    at += 4 + size + 4;
  }
  return parts;
}

TEST(RecoveryFile, AByteFlippedInAnyPartRefusesTheCopy) {
  TAnimation animation = NewAnimation();
  TFigure figure;
  figure.SetType(1, StickmanType());
  figure.MoveBy(RealPoint(40, 30));
  animation.Frames.resize(2);
  animation.Frames[0].Items = {figure};
  animation.Frames[1].Items = {figure, figure};
  TProjectSnapshot snapshot;
  snapshot.Time = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
  snapshot.ProjectPath = QStringLiteral("/home/user/walk.tvl");
  snapshot.Head = AnimationHead(animation);
  for (const TFigures& frame : animation.Frames) AppendFrameBytes(snapshot.Frames.emplace_back(), frame);
  snapshot.Edit = {animation.Frames[1], 1, 1, animation.Frames[0]};
  const QByteArray project = ProjectRecoveryBytes(snapshot);
  const QByteArray type = TypeRecoveryBytes(snapshot.Time, "/home/user/arm.stk", StkFileBytes(*StickmanType()));
  const auto parse = [](const QByteArray& File) {
    if (File[9] == 2)
      (void)ParseTypeRecovery(File);
    else
      (void)ParseProjectRecovery(File);
  };
  ASSERT_NO_THROW(parse(project));
  ASSERT_NO_THROW(parse(type));
  ASSERT_EQ(PartSpans(project).size(), 4u);
  ASSERT_EQ(PartSpans(type).size(), 2u);

  struct TRow {
    const char* Part;
    const QByteArray& File;
    int Index;
    bool InCrc;  // the byte flipped is in the part's CRC-32, not its bytes
  };
  const std::vector<TRow> rows = {
      {"header", project, 0, false},  {"working frame", project, 1, false}, {"ghost", project, 2, false},
      {"project", project, 3, false}, {"project", project, 3, true},        {"header", type, 0, false},
      {".stk file", type, 1, false},
  };
  for (const TRow& row : rows) {
    const auto [at, size] = PartSpans(row.File)[static_cast<std::size_t>(row.Index)];
    QByteArray damaged = row.File;
    const qsizetype flip = row.InCrc ? at + size + 1 : at + size / 2;
    damaged[flip] = char(damaged[flip] ^ 0x04);
    try {
      parse(damaged);
      ADD_FAILURE() << row.Part << " " << row.Index << ": a damaged copy was read";
    } catch (const EProjectDamaged& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Its ") + row.Part + " does not match its checksum.");
    }
  }
}

// The bytes deflated for each copy are exactly those of the parts that
// changed since the last; each copy reads as the payload Save would write.
TEST(RecoveryFile, ACopyDeflatesTheBackgroundAndEachRunOfFramesOnlyWhenTheyChanged) {
  TAnimation animation = NewAnimation();
  animation.Width = 300;
  animation.Height = 200;
  animation.HasBackground = true;
  animation.Background = QImage(300, 200, QImage::Format_RGB32);
  animation.Background.fill(qRgb(10, 200, 30));
  TFigure figure;
  figure.SetType(1, StickmanType());
  TProjectSnapshot snapshot;
  const auto frameBytes = [&](float X) {
    TFigures frame;
    figure.MoveBy(RealPoint(X, 1));
    frame.Items = {figure};
    QByteArray bytes;
    AppendFrameBytes(bytes, frame);
    return bytes;
  };
  for (int i = 0; i < 1100; ++i) snapshot.Frames.push_back(frameBytes(0.25f));
  const qint64 frame = snapshot.Frames[0].size();
  const auto setHead = [&](uint64_t Serial) {
    snapshot.Head = AnimationHead(animation);
    snapshot.HeadSerial = Serial;
  };
  setHead(1);
  QByteArray headBytes;
  AppendProjectHead(headBytes, animation);
  const qint64 head = headBytes.size();

  struct TStep {
    const char* What;
    std::function<void()> Change;
    qint64 Deflated;  // besides the frame count's 4 bytes
  };
  const std::vector<TStep> steps = {
      {"the first copy", [] {}, head + 1100 * frame},
      {"nothing changed", [] {}, 0},
      {"a frame appended to the last run", [&] { snapshot.Frames.push_back(frameBytes(1)); }, 77 * frame},
      {"a frame of the first run changed", [&] { snapshot.Frames[3] = frameBytes(2); }, 512 * frame},
      {"a new background",
       [&] {
         animation.Background.fill(qRgb(0, 0, 0));
         setHead(2);
       },
       head},
  };
  TRecoveryPieces pieces;
  for (const TStep& step : steps) {
    step.Change();
    const qint64 before = pieces.BytesDeflated;
    const QByteArray copy = ProjectRecoveryBytes(snapshot, &pieces);
    EXPECT_EQ(pieces.BytesDeflated - before, step.Deflated + 4) << step.What;
    EXPECT_EQ(copy, ProjectRecoveryBytes(snapshot)) << step.What << ": differs from a copy made afresh";
  }
  const TRecoveredProject read = ParseProjectRecovery(ProjectRecoveryBytes(snapshot, &pieces));
  QByteArray payload;
  AppendProjectHead(payload, animation);
  TByteWriter(payload).Write<int32_t>(1101);
  for (const QByteArray& bytes : snapshot.Frames) payload.append(bytes);
  EXPECT_EQ(ProjectPayload(read.Animation), payload);
}

}  // namespace
