// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the project and figure type fuzz targets with
// the program's own writers: make_fuzz_seeds <corpus folder>.

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImageWriter>

#include "files/FigureClip.h"
#include "files/ProjectExtension.h"
#include "files/ProjectFile.h"
#include "files/RecoveryFile.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "model/Common.h"

namespace {

QImage Picture(int W, int H) {
  QImage p(W, H, QImage::Format_RGB32);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p.setPixel(x, y, qRgb(x * 16, y * 16, 200));
  return p;
}

void Project(const QString& Folder, const QString& Name, const TFigureTypeTable& Types, bool Background, uint8_t Kind,
             int FrameCount, int32_t PlaybackInterval = 0) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "jpg").write(Picture(12, 10));
  QImage background = Picture(12, 10);
  if (Kind == 2) background = background.convertToFormat(QImage::Format_Indexed8);
  TAnimation animation;
  animation.Width = 12;
  animation.Height = 10;
  animation.HasBackground = Background;
  animation.BackgroundKind = Kind == 1 ? 1 : 0;
  if (Kind == 1) {
    animation.BackgroundJpeg = jpeg;
    animation.JpegSize = animation.JpegShown = QSize(12, 10);
  }
  animation.Background = background;
  animation.Types = Types;
  // A rate puts an extension block after the frames.
  animation.PlaybackInterval = PlaybackInterval;
  animation.Frames.resize(static_cast<std::size_t>(FrameCount));
  for (int i = 0; i < FrameCount; ++i) {
    for (int type = 1; type < Types.Count() && type <= i + 1; ++type) {
      TFigure f;
      f.SetType(Types, static_cast<uint8_t>(type));
      f.MoveBy(RealPoint(6, 5));
      f.RotateSegment(0, 0.1 * i);
      animation.Frames[i].Items.push_back(f);
    }
  }
  // The block's seed holds a frame and pins a joint too.
  if (PlaybackInterval > 0 && FrameCount > 1) {
    animation.Frames[0].Hold = 3;
    if (!animation.Frames[1].Items.empty()) animation.Frames[1].Items[0].TogglePin(1);
  }
  const QByteArray payload = ProjectPayload(animation);
  WriteWholeFile(Folder + "/project/" + Name + ".payload", payload);
  WriteWholeFile(Folder + "/project/" + Name + ".tvl", ZlibCompress(payload));

  // The same project kept as a recovery copy, its last frame under edit.
  TProjectSnapshot snapshot;
  snapshot.Time = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
  snapshot.ProjectPath = QStringLiteral("/home/user/") + Name + QStringLiteral(".tvl");
  snapshot.Head = AnimationHead(animation);
  AppendExtensionBlock(snapshot.Extension, animation);
  for (const TFigures& frame : animation.Frames) {
    snapshot.Frames.emplace_back();
    AppendFrameBytes(snapshot.Frames.back(), frame);
  }
  if (!animation.Frames.empty()) {
    snapshot.Edit.WorkingFrame = snapshot.Edit.Ghost.emplace(animation.Frames.back());
    snapshot.Edit.EditedFrameIndex = FrameCount - 1;
  }
  WriteWholeFile(Folder + "/recovery/" + Name + ".tvlrec", ProjectRecoveryBytes(snapshot));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder + "/project");
  QDir().mkpath(folder + "/stk");
  QDir().mkpath(folder + "/recovery");
  TFigureTypeTable types;
  Project(folder, "empty", types, false, 0, 0);
  Project(folder, "one-frame", types, false, 0, 1);
  auto arm = std::make_shared<TFigureType>();
  arm->AddSegment(0, SegmentLine, 5, 1, 0.5, 0);
  arm->AddSegment(1, SegmentCircle, 3, 1, 1.0, 1);
  auto tail = std::make_shared<TFigureType>();
  for (uint8_t i = 0; i < 6; ++i) tail->AddSegment(i / 2, SegmentLine, 2, 1, i, 0);
  WriteWholeFile(folder + "/stk/arm.stk", StkFileBytes(*arm));
  WriteWholeFile(folder + "/stk/tail.stk", StkFileBytes(*tail));
  WriteWholeFile(folder + "/stk/stickman.stk", StkFileBytes(*StickmanType()));
  WriteWholeFile(folder + "/recovery/arm.stkrec", TypeRecoveryBytes(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC),
                                                                    "/home/user/arm.stk", StkFileBytes(*arm)));
  types.Append(std::move(arm), "arm");
  types.Append(std::move(tail), "tail");
  Project(folder, "added-types", types, false, 0, 3);
  Project(folder, "jpeg-background", types, true, 1, 2);
  Project(folder, "bmp-background", types, true, 0, 2);
  Project(folder, "bmp8-background", types, true, 2, 1);
  Project(folder, "extension-block", types, false, 0, 2, 80);
  // Clips: Stickmen alone, and figures of added types with a frame of each.
  QDir().mkpath(folder + "/clip");
  TFigures figures;
  for (uint8_t entry = 1; entry < types.Count(); ++entry) {
    TFigure figure;
    figure.SetType(types, entry);
    figure.MoveBy(RealPoint(entry * 7.0f, 9));
    figures.Items.push_back(std::move(figure));
  }
  TFigures stickmen;
  stickmen.Items = {figures.Items.front(), figures.Items.front()};
  WriteWholeFile(folder + "/clip/stickmen", ClipBytes(types, {&stickmen, 1}));
  const std::vector<TFigures> frames{figures, stickmen, TFigures()};
  WriteWholeFile(folder + "/clip/added-types", ClipBytes(types, frames));
  return 0;
}
