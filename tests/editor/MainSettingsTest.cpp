// SPDX-License-Identifier: GPL-3.0-or-later
// The dimensions window, View ReadMe File and About.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <functional>

#include "builder/BuilderHotkeys.h"
#include "editor/AboutUnit.h"
#include "editor/MainHotkeys.h"
#include "editor/OptionsUnit.h"
#include "editor/ShortcutsUnit.h"
#include "editor/TimelineStrip.h"
#include "files/BmpFile.h"
#include "files/ProjectFile.h"
#include "model/Pictures.h"
#include "platform/ProgramPaths.h"
#include "platform/Shell.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/support/TestPictures.h"

namespace {

const QRgb White = qRgb(255, 255, 255);

class DimensionsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    Options = &Form->Dimensions();
  }
  static void Type(QSpinBox* Field, const QString& Text) {
    QLineEdit* edit = Field->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, Text);
  }
  // Opens the window, types the two sizes and presses OK.
  void Apply(const QString& Width, const QString& Height) {
    Form->Windows().OptionsClick();
    Options->FormActivate();
    Type(Options->SpinEditWidth, Width);
    Type(Options->SpinEditHeight, Height);
    Options->OkButtonClick();
  }
  QSize Size() const { return QSize(Anim().Width, Anim().Height); }
  // A background picture of the animation's size in one colour.
  void Fill(QRgb Colour) {
    QImage picture(Size(), QImage::Format_RGB32);
    picture.fill(Colour);
    Doc().LoadBackground(picture, 0, {});
  }

  TOptionsForm* Options = nullptr;  // the window's own
};

TEST_F(DimensionsTest, TypedSizesAreReadAsWholeNumbersWithinTheBounds) {
  const struct {
    const char* Typed;
    int Applied;
  } cases[] = {{"800", 800}, {"5", 10}, {"0", 10}, {"abc", 10}, {"", 10}, {"20000", 10000}, {"10000", 10000}};
  for (const auto& c : cases) {
    Form->Background().ChangeDimensions(506, 415);
    Apply(c.Typed, "600");
    EXPECT_EQ(Size(), QSize(c.Applied, 600)) << c.Typed;
    EXPECT_FALSE(Options->isVisible());
  }
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::YesNo), 0);
}

TEST_F(DimensionsTest, BecomingActiveShowsTheCurrentSize) {
  Form->Background().ChangeDimensions(640, 480);
  Options->SpinEditWidth->setValue(42);
  Form->Windows().OptionsClick();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Options));
  EXPECT_EQ(Options->SpinEditWidth->value(), 640);
  EXPECT_EQ(Options->SpinEditHeight->value(), 480);
  Options->CancelButtonClick();
  EXPECT_FALSE(Options->isVisible());
}

TEST_F(DimensionsTest, WithoutFramesTheFiguresAreCentredOnTheNewSize) {
  Form->Figures().AddFigureButtonClick();
  MoveFigure(1, RealPoint(30, -40));
  Apply("800", "600");
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Figure(i).Points()[0], RealPoint(400, 300)) << i;
  EXPECT_EQ(Anim().Background.size(), QSize(800, 600));
  EXPECT_EQ(Anim().Background.pixel(799, 599), White);
  EXPECT_EQ(Form->Controls().EditImage->size(), QSize(800, 600));
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Anim().Background);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(DimensionsTest, TheBackgroundIsCutAndGrowsInWhite) {
  Fill(qRgb(10, 100, 200));
  const QRgb blue = qRgb(10, 100, 200);
  Apply("600", "500");  // grows both ways: the picture stays at the top-left
  EXPECT_EQ(Anim().Background.pixel(505, 414), blue);
  EXPECT_EQ(Anim().Background.pixel(506, 0), White);
  EXPECT_EQ(Anim().Background.pixel(0, 415), White);
  EXPECT_EQ(Anim().Background.pixel(599, 499), White);
  Apply("300", "200");  // cuts
  EXPECT_EQ(Anim().Background.size(), QSize(300, 200));
  EXPECT_EQ(Anim().Background.pixel(299, 199), blue);
  Apply("506", "415");  // what was cut comes back white
  EXPECT_EQ(Anim().Background.pixel(299, 199), blue);
  EXPECT_EQ(Anim().Background.pixel(300, 0), White);
  EXPECT_EQ(Anim().Background.pixel(0, 200), White);
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Anim().Background);
}

TEST_F(DimensionsTest, AnIndexedBackgroundWithoutWhiteGrowsInWhite) {
  QImage indexed(506, 415, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 128), qRgb(0, 128, 0)});
  indexed.fill(1);
  Doc().LoadBackground(indexed, 0, {});
  Apply("400", "415");  // only cut: keeps its table
  EXPECT_EQ(Anim().Background.format(), QImage::Format_Indexed8);
  Apply("600", "415");
  EXPECT_EQ(Anim().Background.pixel(399, 0), qRgb(0, 128, 0));
  EXPECT_EQ(Anim().Background.pixel(400, 0), White);
  EXPECT_EQ(Anim().Background.pixel(599, 414), White);
}

TEST_F(DimensionsTest, WithFramesTheQuestionComesFirstAndYesRedrawsTheThumbnails) {
  Doc().LoadBackground(Anim().Background, 1, "jpeg bytes as loaded");
  Form->Frames().NextFrameButtonClick();
  MoveFigure(0, RealPoint(20, 0));
  Form->Frames().NextFrameButtonClick();
  Form->Frames().FrameClick(1);
  const TFigures frame1 = Anim().Frames[1];
  const TFigures working = Form->Document().WorkingFrame();
  Doc().MarkSaved();

  Apply("506", "415");  // unchanged: no question
  Dialogs.YesNoAnswers = {false};
  Apply("1012", "415");
  EXPECT_EQ(Size(), QSize(506, 415));
  EXPECT_TRUE(Form->Document().IsSaved());
  EXPECT_FALSE(Options->isVisible());

  Dialogs.YesNoAnswers = {true};
  Apply("1012", "415");
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::YesNo), 2);
  EXPECT_EQ(Size(), QSize(1012, 415));
  EXPECT_FALSE(Form->Document().IsSaved());
  const QRect thumb = Form->Controls().TimelineImages->Thumbnail(1).Geometry;
  EXPECT_EQ(thumb, QRect(140, 3, 134, 55));
  // The marker moved with the thumbnail under edit.
  EXPECT_EQ(Form->Controls().FrameMarker->geometry(), Form->Controls().TimelineImages->ToView(QRect(138, 1, 139, 59)));
  EXPECT_EQ(Anim().Frames[1].Items[0].Points(), frame1.Items[0].Points());
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points(), working.Items[0].Points());
  EXPECT_EQ(Anim().BackgroundJpeg, "jpeg bytes as loaded");
}

class TRecordingShell : public TShell {
 public:
  bool OpenDocument(QWidget*, const QString& Path) override {
    Opened << Path;
    return CanShow;
  }
  QStringList Opened;
  bool CanShow = true;
};

TEST_F(MainFormTest, ViewReadMeOpensTheFileBesideTheProgramOrSaysItIsMissing) {
  static TRecordingShell shell;  // outlives the window
  Form = std::make_unique<TMainForm>(Dialogs, shell);
  const QString path = ReadMeFilePath();
  ASSERT_FALSE(QFile::exists(path)) << "a ReadMe beside the test program: " << path.toStdString();
  Form->Windows().ViewReadMeClick();
  EXPECT_EQ(Dialogs.Messages(), QStringList{"ReadMe file not found in executable folder"});
  EXPECT_TRUE(shell.Opened.isEmpty());

  WriteTestFile(path, "read me");
  Form->Windows().ViewReadMeClick();
  QFile::remove(path);
  EXPECT_EQ(shell.Opened, QStringList{path});
  EXPECT_EQ(QFileInfo(path).dir(), QDir(QCoreApplication::applicationDirPath()));
  EXPECT_EQ(Dialogs.Messages().size(), 1);

  // No program to show it: the user hears so, and where the file is.
  WriteTestFile(path, "read me");
  shell.CanShow = false;
  Form->Windows().ViewReadMeClick();
  QFile::remove(path);
  ASSERT_EQ(Dialogs.Messages().size(), 2);
  EXPECT_TRUE(Dialogs.Messages()[1].startsWith("No program on this computer could show the ReadMe file."));
  EXPECT_TRUE(Dialogs.Messages()[1].endsWith(QDir::toNativeSeparators(path)));
}

TEST_F(MainFormTest, AboutShowsTheVersionAndReleaseDateModally) {
  QStringList shown;
  Dialogs.OnExecModal = [&](QDialog& Box) {
    for (const QLabel* label : Box.findChildren<QLabel*>()) shown << label->text();
    return int(QDialog::Accepted);
  };
  Form->Windows().AboutClick();
  ASSERT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::Modal), 1);
  EXPECT_EQ(Dialogs.Calls.back().Text, "About");
  EXPECT_TRUE(QRegularExpression(R"(^\d+\.\d+\.\d+$)").match(TAboutBox::Version()).hasMatch());
  EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\d$)").match(TAboutBox::ReleaseDate()).hasMatch());
  EXPECT_TRUE(shown.contains("Version " + TAboutBox::Version())) << shown.join('|').toStdString();
  EXPECT_TRUE(shown.contains("Released " + TAboutBox::ReleaseDate()));
}

}  // namespace

namespace {

// Every command that makes pictures makes them all before it changes
// anything: when one cannot be allocated it says so, and the pictures, the
// frames and the saved state stay as they were.
TEST_F(DimensionsTest, APictureThatCannotBeAllocatedChangesNothing) {
  QTemporaryDir dir;
  QImage indexed = Quarters(506, 415).convertToFormat(QImage::Format_Indexed8);
  WriteTestFile(dir.filePath("large.bmp"), BmpFileBytes(Quarters(800, 600)));
  WriteTestFile(dir.filePath("indexed.bmp"), BmpFileBytes(indexed));
  TAnimation large;
  large.Width = 800;
  large.Height = 600;
  WriteProjectFile(dir.filePath("large"), large);
  const auto message = [](int W, int H) {
    return QStringLiteral("There is not enough memory for an animation of %1 \u00d7 %2 pixels.").arg(W).arg(H);
  };
  struct TCase {
    const char* Name;
    bool IndexedBackground;  // an 8-bit background first
    std::function<void()> Run;
    QString Message;
  };
  const std::vector<TCase> cases = {
      {"dimensions", false,
       [&] {
         Form->Windows().OptionsClick();
         Options->FormActivate();
         Type(Options->SpinEditWidth, "800");
         Type(Options->SpinEditHeight, "600");
         Options->OkButton->click();
       },
       message(800, 600)},
      {"load background", false,
       [&] {
         Dialogs.PictureAnswers.push_back({true, dir.filePath("large.bmp"), 0});
         Form->Controls().LoadBackgroundAction->trigger();
       },
       message(800, 600)},
      {"open", false,
       [&] {
         Dialogs.OpenAnswers.push_back({true, dir.filePath("large.tvl"), 0});
         Form->Controls().OpenAnimationAction->trigger();
       },
       message(800, 600)},
      {"new", true, [&] { Form->Controls().NewAction->trigger(); }, message(506, 415)},
      {"clear background", true, [&] { Form->Controls().ClearBackgroundAction->trigger(); }, message(506, 415)},
  };
  for (const TCase& c : cases) {
    SetUp();
    if (c.IndexedBackground) {
      Dialogs.PictureAnswers.push_back({true, dir.filePath("indexed.bmp"), 0});
      Form->Controls().LoadBackgroundAction->trigger();
    }
    Form->Frames().NextFrameButtonClick();
    Dialogs = TScriptedDialogs();
    Dialogs.YesNoAnswers = {true};  // to the question a command may ask first
    const qint64 keys[] = {Anim().Background.cacheKey(), Form->Canvas().GetUnderlay().cacheKey(), Picture().cacheKey()};
    const bool saved = Form->Document().IsSaved();
    FailPicturesFrom(qint64(506) * 415 * 4);
    c.Run();
    FailPicturesFrom(0);
    EXPECT_EQ(Dialogs.Messages(), QStringList{c.Message}) << c.Name;
    EXPECT_EQ(Anim().Background.cacheKey(), keys[0]) << c.Name;
    EXPECT_EQ(Form->Canvas().GetUnderlay().cacheKey(), keys[1]) << c.Name;
    EXPECT_EQ(Picture().cacheKey(), keys[2]) << c.Name;
    EXPECT_EQ(Anim().Frames.size(), 1u) << c.Name;
    EXPECT_EQ(Form->Controls().TimelineImages->Count(), 1) << c.Name;
    EXPECT_EQ(Form->Document().IsSaved(), saved) << c.Name;
    EXPECT_EQ(Size(), QSize(506, 415)) << c.Name;
    Dialogs.YesNoAnswers.clear();
  }
}

}  // namespace

namespace {
// Help, Keyboard Shortcuts lists every hotkey of both windows.
TEST_F(MainFormTest, KeyboardShortcutsListsEveryHotkeyOfBothWindows) {
  Form->Controls().KeyboardShortcutsAction->trigger();
  ASSERT_NE(Form->Windows().GetShortcutsForm(), nullptr);
  EXPECT_TRUE(Form->Windows().GetShortcutsForm()->isVisible());
  EXPECT_EQ(Form->Windows().GetShortcutsForm()->windowTitle(), "Keyboard Shortcuts");
  const QString shown = Form->Windows().GetShortcutsForm()->List->toPlainText();
  for (const QList<THotkeyRow>& table : {MainHotkeys(), BuilderHotkeys()})
    for (const THotkeyRow& row : table)
      if (!row.Keys.isEmpty()) {
        EXPECT_TRUE(shown.contains(row.Keys) && shown.contains(row.Hint)) << row.Keys.toStdString();
      }
}
}  // namespace

namespace {
// Onion skin: which stored frames lie under the working frame, in which
// order and tint, and the settings kept for the next start.
TEST_F(MainFormTest, OnionSkinShowsTheFramesAroundTheOneUnderEditNearestOnTop) {
  for (int k = 0; k < 5; ++k) {
    if (k > 0) MoveFigure(0, RealPoint(20, 0));
    Form->Frames().NextFrameButtonClick();
  }
  Form->Frames().FrameClick(2);
  const auto& f = Anim().Frames;
  const auto before = [](int D) { return TOnionSkin::Color(true, D); };
  const auto after = [](int D) { return TOnionSkin::Color(false, D); };
  struct TRow {
    TOnionSkin Settings;
    TCanvasController::TUnderFrames Want;
  };
  const std::vector<TRow> rows{
      {{true, 1, 0}, {{f[1], GhostColor}}},
      {{true, 3, 2}, {{f[4], after(2)}, {f[0], before(2)}, {f[3], after(1)}, {f[1], GhostColor}}},
      {{true, 0, 1}, {{f[3], after(1)}}},
      {{false, 3, 3}, {}},
  };
  for (const TRow& row : rows) {
    Form->Canvas().SetOnionSkin(row.Settings);
    EXPECT_EQ(Form->Canvas().UnderFrames(), row.Want) << row.Settings.Before << " " << row.Settings.After;
    EXPECT_EQ(Picture(), FullRepaint());
  }
  EXPECT_EQ(GhostColor, before(1));
  EXPECT_NE(before(2), before(3));

  // The window sets the counts; they are the user's from now on.
  Dialogs.OnExecModal = [](QDialog& Dialog) {
    auto& form = dynamic_cast<TOnionSkinForm&>(Dialog);
    form.BeforeEdit->setValue(4);
    form.AfterEdit->setValue(2);
    return int(QDialog::Accepted);
  };
  Form->Controls().OnionSkinAction->trigger();
  EXPECT_EQ(TOnionSkin::Load(), (TOnionSkin{true, 4, 2}));
  Form->Controls().ShowOnionSkinAction->trigger();
  EXPECT_FALSE(TOnionSkin::Load().Shown);
}
}  // namespace
