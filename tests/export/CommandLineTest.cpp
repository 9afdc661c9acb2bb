// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line exporter, run as its own process without a display.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "export/BitmapExport.h"
#include "export/GifExport.h"
#include "export/PngExport.h"
#include "files/ProjectFile.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/TestPictures.h"

namespace {

struct TRun {
  int Status = -1;
  QString Out;
  QString Err;
};

// Runs the program with no display and no Qt platform chosen.
TRun Tavel(const QStringList& Arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(TAVEL_PROGRAM), Arguments);
  if (!process.waitForFinished(60000)) return {};
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAllStandardOutput()),
          QString::fromLocal8Bit(process.readAllStandardError())};
}

}  // namespace

class CommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAnimation({.Width = 90, .Height = 70, .Frames = 3, .Seed = 5, .Gradient = true});
    Project = Dir.filePath("walk.tvl");
    WriteProject(Dir.filePath("walk"));
  }
  void TearDown() override { Anim = TAnimation(); }

  static void WriteProject(const QString& Base) {
    Anim.HasBackground = true;
    WriteProjectFile(Base, Anim);
  }
  QString Path(const QString& Name) const { return Dir.filePath(Name); }

  QTemporaryDir Dir;
  QString Project;
};

TEST_F(CommandLineTest, WritesTheBytesOfTheWindowsExport) {
  struct TCase {
    QStringList Options;
    TGifExportOptions Same;
  } cases[] = {
      {{}, {}},
      {{"--delay", "250", "--shrink=3", "--no-palette", "--no-merge", "--no-crop"},
       {.Delay = 250, .Shrink = 3, .Merge = false, .Crop = false, .Palette = false}},
      {{"--no-merge", "--delay", "1000000"}, {.Delay = 1000000, .Merge = false}},
      {{"--exact-colors", "--no-crop"}, {.Crop = false, .ExactColors = true}},
      {{"--smaller", "--shrink", "2"}, {.Shrink = 2, .Smaller = true}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Options.join(' ').toStdString());
    const TRun run = Tavel(QStringList{"--export", Path("out.GIF")} + c.Options + QStringList{Project});
    EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Err, "");  // not a terminal: no progress
    ExportGifFile(Path("window.gif"), Anim, c.Same);
    EXPECT_TRUE(ReadTestFile(Path("out.GIF")) == ReadTestFile(Path("window.gif")));
  }

  ASSERT_EQ(Tavel({"--export", Path("frame.bmp"), Project}).Status, 0);
  SaveAnimationAsBitmaps(Path("window"), Anim);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(ReadTestFile(Path("frame%1.bmp").arg(i)) == ReadTestFile(Path("window%1.bmp").arg(i))) << i;
  EXPECT_FALSE(QFileInfo::exists(Path("frame3.bmp")));

  ASSERT_EQ(Tavel({"--export", Path("frame.png"), Project}).Status, 0);
  SaveAnimationAsPngs(Path("window"), Anim);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(ReadTestFile(Path("frame%1.png").arg(i)) == ReadTestFile(Path("window%1.png").arg(i))) << i;
  ASSERT_EQ(Tavel({"--export", Path("out.apng"), "--delay", "9", "--shrink", "2", Project}).Status, 0);
  ExportAnimatedPngFile(Path("window.apng"), Anim, 9, 2);
  EXPECT_TRUE(ReadTestFile(Path("out.apng")) == ReadTestFile(Path("window.apng")));

  // A video needs ffmpeg: made with it, the package named without it.
  const TRun video = Tavel({"--export", Path("out.webm"), "--delay", "5", Project});
  if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
    EXPECT_TRUE(video.Status == 1 && video.Err.contains("install the package")) << video.Err.toStdString();
  else
    EXPECT_TRUE(video.Status == 0 && QFileInfo(Path("out.webm")).size() > 0) << video.Err.toStdString();
}

TEST_F(CommandLineTest, SmoothDrawsTheLinesOfEveryKindOfFileAntialiased) {
  // Each kind: the first file written, and the same export made in the program.
  const TLineStyle smooth = TLineStyle::Smooth;
  struct TCase {
    const char* Ending;
    const char* First;
    std::function<void(const QString&)> Same;
  } cases[] = {
      {".gif", ".gif", [&](const QString& B) { ExportGifFile(B + ".gif", Anim, {.Lines = smooth}); }},
      {".bmp", "0.bmp", [&](const QString& B) { SaveAnimationAsBitmaps(B, Anim, {}, 0, smooth); }},
      {".png", "0.png", [&](const QString& B) { SaveAnimationAsPngs(B, Anim, {}, 0, smooth); }},
      {".apng", ".apng", [&](const QString& B) { ExportAnimatedPngFile(B + ".apng", Anim, 1, 1, {}, 0, smooth); }},
  };
  for (const TCase& c : cases) {
    ASSERT_EQ(Tavel({"--export", Path("plain") + c.Ending, Project}).Status, 0) << c.Ending;
    const TRun run = Tavel({"--export", Path("smooth") + c.Ending, "--smooth", Project});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Err, "");
    c.Same(Path("same"));
    const QByteArray written = ReadTestFile(Path("smooth") + c.First);
    EXPECT_FALSE(written == ReadTestFile(Path("plain") + c.First)) << c.Ending;
    EXPECT_TRUE(written == ReadTestFile(Path("same") + c.First)) << c.Ending;
  }
  // Exact colours keep one table of their own: --no-palette is said to do nothing.
  ASSERT_EQ(Tavel({"--export", Path("exact.gif"), "--exact-colors", Project}).Status, 0);
  const struct {
    const char* Option;
    const char* Same;
    const char* Note;
  } notes[] = {{"--smooth", "smooth.gif", "--smooth: a GIF of smooth lines keeps one table of its exact colours"},
               {"--exact-colors", "exact.gif", "--exact-colors: the GIF keeps one table of its exact colours"}};
  for (const auto& n : notes) {
    const TRun run = Tavel({"--export", Path("flat.gif"), n.Option, "--no-palette", Project});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err.toStdString(), std::string("tavel: --no-palette has no effect with ") + n.Note + "\n");
    EXPECT_TRUE(ReadTestFile(Path("flat.gif")) == ReadTestFile(Path(n.Same))) << n.Option;
  }
}

TEST_F(CommandLineTest, FailuresExitWithTheWindowsMessage) {
  WriteWholeFile(Path("damaged.tvl"), "not a zlib stream");
  WriteWholeFile(Path("future.tvl"), ZlibCompress(QByteArray(1, char(3)) + QByteArray(20, '\0')));
  Anim.Frames.clear();
  WriteProject(Path("empty"));
  struct TCase {
    QStringList Arguments;
    QString Message;
  } cases[] = {
      {{"--export", Path("a.gif"), Path("missing.tvl")}, Path("missing.tvl") + ": No such file or directory"},
      {{"--export", Path("a.gif"), Path("damaged.tvl")},
       Path("damaged.tvl") + " is not a Tavel project: its data is not zlib-compressed."},
      {{"--export", Path("a.gif"), Path("future.tvl")}, "that .tvl file is not compatible with this version of Tavel"},
      {{"--export", Path("a.bmp"), Path("empty.tvl")}, "You must create at least 1 frame before saving an animation"},
      {{"--export", Path("no folder/a.gif"), Project}, Path("no folder/a.gif") + ": "},
      {{"--export", Path("no folder/a.bmp"), Project}, Path("no folder/a0.bmp") + ": "},
  };
  for (const TCase& c : cases) {
    const TRun run = Tavel(c.Arguments);
    EXPECT_EQ(run.Status, 1) << c.Arguments.join(' ').toStdString();
    EXPECT_TRUE(run.Err.startsWith(c.Message) && run.Err.endsWith("\n") && run.Err.count('\n') == 1)
        << run.Err.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(Path("a.gif")));
}

TEST_F(CommandLineTest, BadArgumentsExitWithTheUsage) {
  const struct {
    QStringList Arguments;
    QString Reason;
  } cases[] = {
      {{"--export", Path("a.jpg"), Project},
       "OUT must end in .gif, .bmp, .png, .apng, .mp4 or .webm: " + Path("a.jpg")},
      {{"--export", Path("a.gif"), "--delay", "0", Project},
       "--delay takes a whole number from 1 to 1000000, not \"0\""},
      {{"--export", Path("a.gif"), "--delay", "1000001", Project},
       "--delay takes a whole number from 1 to 1000000, not \"1000001\""},
      {{"--export", Path("a.gif"), "--shrink", "ten", Project},
       "--shrink takes a whole number from 1 to 9, not \"ten\""},
      {{"--export", Path("a.gif"), "--shrink", "10", Project}, "--shrink takes a whole number from 1 to 9, not \"10\""},
      {{"--export", Path("a.gif"), "--sparkle", Project}, "unknown option --sparkle"},
      {{"--export", Path("a.gif"), "--no-crop=yes", Project}, "--no-crop takes no value"},
      {{"--export", Path("a.gif"), "--exact-colors=1", Project}, "--exact-colors takes no value"},
      // Options the type of OUT ignores.
      {{"--export", Path("a.bmp"), "--delay", "5", Project}, "--delay has no effect on a .bmp export"},
      {{"--export", Path("a.png"), "--shrink=2", Project}, "--shrink has no effect on a .png export"},
      {{"--export", Path("a.apng"), "--no-merge", Project}, "--no-merge has no effect on a .apng export"},
      {{"--export", Path("a.mp4"), "--smaller", Project}, "--smaller has no effect on a .mp4 export"},
      {{"--export", Path("a.gif")}, "the project file is missing"},
      {{"--export", Path("a.gif"), Project, Project}, "one project file, not 2"},
      {{"--delay", "5", Project}, "--export OUT is missing"},
      {{"--export"}, "--export needs a value"},
  };
  for (const auto& c : cases) {
    const TRun run = Tavel(c.Arguments);
    EXPECT_EQ(run.Status, 2) << c.Arguments.join(' ').toStdString();
    EXPECT_TRUE(run.Err.startsWith("tavel: " + c.Reason + "\n\nUsage: tavel --export OUT")) << run.Err.toStdString();
  }
  EXPECT_TRUE(QDir(Dir.path()).entryList({"a*"}).isEmpty());
}

TEST_F(CommandLineTest, HelpAndVersion) {
  const TRun help = Tavel({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_TRUE(help.Out.startsWith("Usage: tavel --export OUT")) << help.Out.toStdString();
  const TRun version = Tavel({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out, QStringLiteral("tavel " TAVEL_VERSION "\n"));
}
