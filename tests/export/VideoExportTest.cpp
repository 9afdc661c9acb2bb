// SPDX-License-Identifier: GPL-3.0-or-later
// Video through ffmpeg: frame count, size and rate read back by ffprobe, and
// the message when the program is missing or fails.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "export/VideoExport.h"
#include "export/Yuv420.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/TestPictures.h"

namespace {

// "frames,width,height,rate" of the first video stream, as ffprobe counts them.
QString Probe(const QString& Path) {
  QProcess probe;
  probe.start(QStandardPaths::findExecutable("ffprobe"),
              {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
               "stream=nb_read_frames,width,height,r_frame_rate", "-of", "default=noprint_wrappers=1", Path});
  if (!probe.waitForFinished(60000)) return "ffprobe did not finish";
  QStringList values = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  values.sort();
  return values.join(',');
}

}  // namespace

class VideoExportTest : public testing::Test {
 protected:
  void TearDown() override { Anim = TAnimation(); }
  QString Path(const QString& Name) const { return Dir.filePath(Name); }
  QTemporaryDir Dir;
};

TEST_F(VideoExportTest, EveryFrameAtItsSizeAndTheRateOfTheDelay) {
  if (QStandardPaths::findExecutable("ffmpeg").isEmpty() || QStandardPaths::findExecutable("ffprobe").isEmpty())
    GTEST_SKIP() << "ffmpeg is not installed";
  InstallAnimation({.Width = 91, .Height = 71, .Frames = 7, .Seed = 51, .Gradient = true, .RepeatEvery = 3});
  struct TCase {
    const char* Name;
    TVideoOptions Options;
    const char* Probed;
    uint8_t Hold = 1;  // of frames 1 and 5, each shown for that many frames of the video
  } cases[] = {
      // H.264 in 4:2:0 needs even sizes: one column and one row more.
      {"walk.mp4", {.Delay = 4}, "height=72,nb_read_frames=7,r_frame_rate=25/1,width=92"},
      {"walk.WEBM", {.Delay = 4}, "height=71,nb_read_frames=7,r_frame_rate=25/1,width=91"},
      {"small.mp4", {.Delay = 10, .Shrink = 2}, "height=36,nb_read_frames=7,r_frame_rate=10/1,width=46"},
      {"held.mp4", {.Delay = 4}, "height=72,nb_read_frames=13,r_frame_rate=25/1,width=92", 4},
  };
  for (const TCase& c : cases) {
    Anim.Frames[1].Hold = Anim.Frames[5].Hold = c.Hold;
    std::vector<int> progress;
    ExportVideoFile(Path(c.Name), *VideoFormatOf(c.Name), Anim, c.Options, [&](int P) { progress.push_back(P); });
    EXPECT_EQ(Probe(Path(c.Name)), c.Probed) << c.Name;
    EXPECT_EQ(progress.size(), 7u);
  }
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

// The column and row an odd-sized MP4 gets repeat the picture's edge: no black line.
TEST_F(VideoExportTest, TheColumnAndRowAddedToAnOddMp4RepeatTheEdge) {
  if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "ffmpeg is not installed";
  InstallAnimation({.Width = 91, .Height = 71, .Frames = 1, .Seed = 51});
  ExportVideoFile(Path("odd.mp4"), TVideoFormat::Mp4, Anim, {});
  QProcess decode;
  decode.start(QStandardPaths::findExecutable("ffmpeg"),
               {"-v", "error", "-i", Path("odd.mp4"), "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
  ASSERT_TRUE(decode.waitForFinished(60000));
  const QByteArray rgb = decode.readAllStandardOutput();
  ASSERT_EQ(rgb.size(), 92 * 72 * 3);
  const auto at = [&](int X, int Y, int C) { return static_cast<uint8_t>(rgb[(Y * 92 + X) * 3 + C]); };
  // How far the added pixels are from those they repeat, on average (lossy
  // coding blurs a line that touches the edge; a black edge is about 250 away).
  double difference = 0;
  for (int c = 0; c < 3; ++c) {
    for (int y = 0; y < 72; ++y) difference += std::abs(at(91, y, c) - at(90, y, c));
    for (int x = 0; x < 92; ++x) difference += std::abs(at(x, 71, c) - at(x, 70, c));
  }
  EXPECT_LE(difference / (3 * (72 + 92)), 8);
}

TEST_F(VideoExportTest, TheProgramGetsEveryFrameAsDrawnWithItsLines) {
  // A program that keeps the raw frames it is given as the video it is asked for.
  QTemporaryDir programs;
  const QString keep = programs.filePath("keep");
  WriteWholeFile(keep, "#!/bin/sh\nfor last; do :; done\ncat >\"$last\"\n");
  QFile::setPermissions(keep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  // Frames larger than the pipe, three threads: the two sets of pictures
  // take turns, and each must be written before it is drawn over again.
  // A WebM of odd height gets the pictures' own pixels, the others 4:2:0.
  const struct {
    int Height;
    TLineStyle Lines;
  } cases[] = {{400, TLineStyle::Pixel}, {400, TLineStyle::Smooth}, {401, TLineStyle::Pixel}};
  for (const auto& c : cases) {
    InstallAnimation({.Width = 700, .Height = c.Height, .Frames = 7, .Seed = 8});
    ExportVideoFile(Path("raw.webm"), TVideoFormat::WebM, Anim, {.Lines = c.Lines, .Program = keep}, {}, 3);
    QByteArray frames;
    TYuv420Writer yuv(QSize(700, c.Height));
    for (int i = 0; i < 7; ++i) {
      const QImage frame = ExpectedFrame(i, 1, false, c.Lines).convertToFormat(QImage::Format_RGB32);
      if (c.Height % 2 != 0)
        frames.append(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes());
      else
        yuv.Write(frame, [&](const char* Data, qsizetype Bytes) {
          frames.append(Data, Bytes);
          return true;
        });
    }
    EXPECT_TRUE(ReadTestFile(Path("raw.webm")) == frames)
        << c.Height << (c.Lines == TLineStyle::Smooth ? " smooth" : " pixel");
  }
}

TEST_F(VideoExportTest, AWebMWrittenTwiceIsTheSameFile) {
  if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "ffmpeg is not installed";
  InstallAnimation({.Width = 160, .Height = 120, .Frames = 6, .Seed = 9, .Gradient = true});
  ExportVideoFile(Path("a.webm"), TVideoFormat::WebM, Anim, {}, {}, 1);
  ExportVideoFile(Path("b.webm"), TVideoFormat::WebM, Anim, {}, {}, 3);
  const QByteArray first = ReadTestFile(Path("a.webm"));
  EXPECT_GT(first.size(), 1000);
  EXPECT_TRUE(ReadTestFile(Path("b.webm")) == first);
}

TEST_F(VideoExportTest, AMissingOrFailingProgramIsReportedAndTheOldFileKept) {
  InstallAnimation({.Width = 40, .Height = 30, .Frames = 3});
  WriteWholeFile(Path("walk.mp4"), "an older video");
  // Programs that take the frames and end well without writing the video.
  QTemporaryDir programs;
  const auto script = [&](const char* Name, const char* Says) {
    QString path = programs.filePath(Name);
    WriteWholeFile(path, QByteArray("#!/bin/sh\ncat >/dev/null\n") + Says + "exit 0\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
  };
  struct TCase {
    QString Program;
    QString Message;
  } cases[] = {
      {"/no such folder/ffmpeg", NoFfmpegMessage},
      {"false", "ffmpeg could not make the video: "},  // starts, then fails
      {script("quiet", ""), "ffmpeg made no video."},
      {script("says", "echo first >&2\necho 'Output file is empty, nothing was encoded' >&2\n"),
       "ffmpeg made no video: Output file is empty, nothing was encoded"},
  };
  for (const TCase& c : cases) {
    try {
      ExportVideoFile(Path("walk.mp4"), TVideoFormat::Mp4, Anim, {.Program = c.Program});
      ADD_FAILURE() << "no error from " << c.Program.toStdString();
    } catch (const EFileError& e) {
      EXPECT_TRUE(QString(e.what()).startsWith(c.Message)) << e.what();
      EXPECT_FALSE(QString(e.what()).contains("video.mp4")) << e.what();
    }
    EXPECT_EQ(ReadTestFile(Path("walk.mp4")), "an older video");
  }
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"walk.mp4"});
  EXPECT_EQ(VideoFormatOf("a.MP4"), TVideoFormat::Mp4);
  EXPECT_EQ(VideoFormatOf("a.webm"), TVideoFormat::WebM);
  EXPECT_FALSE(VideoFormatOf("a.mp4.gif"));
}
