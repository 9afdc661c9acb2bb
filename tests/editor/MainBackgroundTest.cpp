// SPDX-License-Identifier: GPL-3.0-or-later
// Load Anim().Background and Clear Background: the picture-open dialog, the
// question with stored frames, refused files, and what the animation shows.

#include <QAction>
#include <QTemporaryDir>

#include "editor/OptionsUnit.h"
#include "editor/TimelineStrip.h"
#include "files/BmpFile.h"
#include "files/PictureDecoders.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/support/TestPictures.h"

namespace {

constexpr int Pictures = 0, Bmp = 1, Jpeg = 2;  // entries of the dialog's file-type list
const QRgb White = qRgb(255, 255, 255);

// Everything a background command may change.
struct TBackgroundState {
  QImage Background;
  QByteArray Jpeg;
  uint8_t Kind;
  bool Has;
  bool ClearEnabled;
  QSize Size;
  QImage Underlay;
  std::vector<QImage> Thumbnails;
  bool operator==(const TBackgroundState&) const = default;
};

class BackgroundTest : public MainFormTest {
 protected:
  QString Write(const QString& Name, const QByteArray& Bytes) {
    QString path = Dir.filePath(Name);
    WriteTestFile(path, Bytes);
    return path;
  }
  // The next picture-open dialog chooses Path with file type Type.
  void Choose(const QString& Path, int Type) { Dialogs.PictureAnswers.push_back({true, Path, Type}); }
  void Load(const QString& Path, int Type, std::optional<bool> Answer = std::nullopt) {
    Choose(Path, Type);
    if (Answer) Dialogs.YesNoAnswers.push_back(*Answer);
    Form->Controls().LoadBackgroundAction->trigger();  // through the general error report, as the menu runs it
  }
  void StoreFrames(int Count) {
    for (int k = 0; k < Count; ++k) {
      MoveFigure(0, RealPoint(20, 0));
      Form->Frames().NextFrameButtonClick();
    }
  }
  TBackgroundState State() const {
    TBackgroundState s{Anim().Background,
                       Anim().BackgroundJpeg,
                       Anim().BackgroundKind,
                       Anim().HasBackground,
                       Form->Controls().ClearBackgroundAction->isEnabled(),
                       QSize(Anim().Width, Anim().Height),
                       Form->Canvas().GetUnderlay(),
                       {}};
    for (int i = 0; i < Form->Controls().TimelineImages->Count(); ++i)
      s.Thumbnails.push_back(Form->Controls().TimelineImages->Thumbnail(i).Picture);
    return s;
  }
  int Questions() const { return Dialogs.CountOf(TScriptedDialogs::TKind::YesNo); }

  QTemporaryDir Dir;
};

TEST_F(BackgroundTest, WithoutFramesThePictureSetsTheSizeAndFiguresAreCentred) {
  const QImage picture = Quarters(640, 480);
  const QByteArray jpeg = EncodeJpeg(picture, TJpegKind::Baseline);
  // The file's first bytes decide how it is read, whichever type is chosen
  // and whatever its name (here none).
  const struct {
    bool IsJpeg;
    int Type;
  } rows[] = {{false, Pictures}, {false, Jpeg}, {true, Pictures}, {true, Bmp}};
  for (const auto& row : rows) {
    SCOPED_TRACE(QString("jpeg %1 type %2").arg(row.IsJpeg).arg(row.Type).toStdString());
    Form->Background().ChangeDimensions(506, 415);
    Form->Figures().AddFigureButtonClick();
    MoveFigure(1, RealPoint(-100, 30));
    Load(Write(QString("picture%1%2").arg(row.IsJpeg).arg(row.Type), row.IsJpeg ? jpeg : BmpFileBytes(picture)),
         row.Type);
    EXPECT_EQ(Questions(), 0);
    EXPECT_TRUE(Dialogs.Messages().isEmpty()) << Dialogs.Messages().join("|").toStdString();
    EXPECT_EQ(QSize(Anim().Width, Anim().Height), QSize(640, 480));
    EXPECT_LE(LargestChannelDifference(Anim().Background, picture), row.IsJpeg ? 3 : 0);
    EXPECT_EQ(Anim().BackgroundKind, row.IsJpeg ? 1 : 0);
    EXPECT_EQ(Anim().BackgroundJpeg, jpeg.left(row.IsJpeg ? jpeg.size() : 0));
    EXPECT_TRUE(Anim().HasBackground);
    EXPECT_TRUE(Form->Controls().ClearBackgroundAction->isEnabled());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Figure(i).Points()[0], RealPoint(320, 240)) << i;
    EXPECT_EQ(Form->Controls().EditImage->size(), QSize(640, 480));
    EXPECT_EQ(Form->Canvas().GetUnderlay(), Anim().Background.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Picture(), FullRepaint());
    Form->Figures().DeleteFigureButtonClick();
  }
}

TEST_F(BackgroundTest, AnsweringNoKeepsPictureKindAndJpegData) {
  Load(Write("first.jpg", EncodeJpeg(Quarters(320, 240), TJpegKind::Baseline)), Jpeg);
  StoreFrames(2);
  Doc().MarkSaved();
  const TBackgroundState before = State();
  Load(Write("second.bmp", BmpFileBytes(Quarters(640, 480))), Bmp, false);
  Load(Write("third.jpg", EncodeJpeg(Quarters(64, 64), TJpegKind::Grey)), Jpeg, false);
  EXPECT_EQ(Questions(), 2);
  EXPECT_EQ(Dialogs.Calls.back().Text, ChangeAllFramesQuestion);
  EXPECT_TRUE(State() == before);
  EXPECT_TRUE(Form->Document().IsSaved());
}

TEST_F(BackgroundTest, AnsweringYesRedrawsTheThumbnailsAndKeepsTheFiguresWhereTheyAre) {
  StoreFrames(2);
  Doc().MarkSaved();
  const TFigures working = Form->Document().WorkingFrame();
  const TFigures first = Anim().Frames[0];
  QImage red(640, 480, QImage::Format_RGB32);
  red.fill(qRgb(255, 0, 0));
  Load(Write("red.bmp", BmpFileBytes(red)), Bmp, true);
  EXPECT_EQ(QSize(Anim().Width, Anim().Height), QSize(640, 480));
  EXPECT_FALSE(Form->Document().IsSaved());
  // 640 x 480 gives thumbnails 73 wide, red where no figure is.
  const TThumbnail& thumb = Form->Controls().TimelineImages->Thumbnail(1);
  EXPECT_EQ(thumb.Geometry, QRect(79, 3, 73, 55));
  EXPECT_EQ(thumb.Picture.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(thumb.Picture.pixel(71, 53), qRgb(255, 0, 0));
  EXPECT_EQ(Anim().Frames[0].Items[0].Points(), first.Items[0].Points());
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points(), working.Items[0].Points());
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Anim().Background);  // the background alone: no ghost until the next rebuild
}

TEST_F(BackgroundTest, RefusedFilesChangeNothingAndAskNothing) {
  Load(Write("kept.jpg", EncodeJpeg(Quarters(64, 48), TJpegKind::Baseline)), Jpeg);
  StoreFrames(2);  // a question would come now, had the file been read
  const QByteArray jpeg = EncodeJpeg(Quarters(64, 64), TJpegKind::Progressive);
  QByteArray huge = BmpFileBytes(Quarters(2, 2));
  huge[18] = char(0x11);  // 10001 pixels wide
  huge[19] = char(0x27);
  const struct {
    const char* Name;
    QByteArray File;
    int Type;
    QString Message;  // empty: any "JPEG error #" message
  } cases[] = {
      {"truncated bmp", BmpFileBytes(Quarters(64, 64)).left(300), Pictures, "Bitmap image is not valid"},
      {"truncated jpeg chosen as bmp", jpeg.left(jpeg.size() / 2), Bmp, ""},
      // Neither picture: read as the type chosen, as a BMP under "Pictures".
      {"text", "hello", Pictures, "Bitmap image is not valid"},
      {"text chosen as bmp", "hello", Bmp, "Bitmap image is not valid"},
      {"text chosen as jpeg", "hello", Jpeg, "JPEG error #53"},
      {"too large", huge, Bmp, PictureTooLargeMessage(10001, 2)},
  };
  for (const auto& c : cases) {
    const TBackgroundState before = State();
    Load(Write(c.Name, c.File), c.Type);
    ASSERT_FALSE(Dialogs.Messages().isEmpty()) << c.Name;
    const QString shown = Dialogs.Messages().constLast();
    if (c.Message.isEmpty())
      EXPECT_TRUE(shown.startsWith("JPEG error #")) << c.Name << ": " << shown.toStdString();
    else
      EXPECT_EQ(shown, c.Message) << c.Name;
    EXPECT_TRUE(State() == before) << c.Name;
  }
  Load(Dir.filePath("missing.bmp"), Bmp);  // a file that cannot be read
  EXPECT_EQ(Dialogs.Messages().size(), 7);
  Dialogs.PictureAnswers.push_back({});  // cancelled: nothing at all
  Form->Controls().LoadBackgroundAction->trigger();
  EXPECT_EQ(Dialogs.Messages().size(), 7);
  EXPECT_EQ(Questions(), 0);
}

TEST_F(BackgroundTest, ClearWhitensThePictureAndKeepsTheSizeKindAndJpegData) {
  StoreFrames(1);
  Form->Background().ClearBackgroundClick();  // nothing loaded: nothing to ask
  EXPECT_EQ(Questions(), 0);

  const QByteArray jpeg = EncodeJpeg(Quarters(64, 64), TJpegKind::Baseline);
  Load(Write("a.jpg", jpeg), Jpeg, true);
  // An 8-bit picture whose colour table holds no white.
  QImage indexed(640, 480, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 128), qRgb(0, 128, 0)});
  indexed.fill(1);
  Load(Write("b.bmp", BmpFileBytes(indexed)), Bmp, true);
  EXPECT_EQ(Anim().BackgroundKind, 0);
  EXPECT_EQ(Anim().BackgroundJpeg, jpeg);  // kept, though neither drawn nor stored now
  EXPECT_EQ(Anim().Background.format(), QImage::Format_Indexed8);

  Dialogs.YesNoAnswers = {false};
  Form->Background().ClearBackgroundClick();
  EXPECT_TRUE(Anim().HasBackground);

  Doc().MarkSaved();
  Dialogs.YesNoAnswers = {true};
  Form->Background().ClearBackgroundClick();
  EXPECT_FALSE(Anim().HasBackground);
  EXPECT_FALSE(Form->Controls().ClearBackgroundAction->isEnabled());
  EXPECT_EQ(QSize(Anim().Width, Anim().Height), QSize(640, 480));
  QImage white(640, 480, QImage::Format_RGB32);
  white.fill(White);
  EXPECT_EQ(Anim().Background.convertToFormat(QImage::Format_RGB32), white);
  EXPECT_EQ(Form->Canvas().GetUnderlay(), white);
  EXPECT_EQ(Form->Controls().TimelineImages->Thumbnail(0).Picture.pixel(1, 1), White);
  EXPECT_FALSE(Form->Document().IsSaved());
  EXPECT_EQ(Anim().BackgroundKind, 0);
  EXPECT_EQ(Anim().BackgroundJpeg, jpeg);
  EXPECT_EQ(Questions(), 4);
}

}  // namespace

namespace {

TEST_F(BackgroundTest, ThePictureDialogPreviewsAsLoadBackgroundReads) {
  const QImage picture = Quarters(64, 48);
  const QString bmp = Write("back.bmp", BmpFileBytes(picture));
  const QString jpeg = Write("back.jpg", EncodeJpeg(picture, TJpegKind::Baseline));
  Dialogs.PictureAnswers.push_back({});
  Form->Controls().LoadBackgroundAction->trigger();
  const auto& preview = Dialogs.Calls.back().Request.Preview;
  ASSERT_TRUE(preview);
  for (int type : {Pictures, Bmp, Jpeg}) {
    EXPECT_EQ(preview(bmp, type), picture) << type;
    EXPECT_LE(LargestChannelDifference(preview(jpeg, type), picture), 3) << type;
  }
  // A file that is no picture, or no file at all: no preview, no message.
  EXPECT_TRUE(preview(Write("text.bmp", "hello"), Bmp).isNull());
  EXPECT_TRUE(preview(Dir.filePath("none.bmp"), Bmp).isNull());
  EXPECT_TRUE(Dialogs.Messages().isEmpty());
}

}  // namespace
