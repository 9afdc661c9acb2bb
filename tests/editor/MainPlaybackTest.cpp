// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include "tests/editor/MainFormFixture.h"

namespace {

class PlaybackTest : public MainFormTest {
 protected:
  // Frame k has its figure's root at x = 100 + 50 k.
  void StoreFrames(int Count) {
    for (int k = 0; k < Count; ++k) {
      ChangeFigure(0, [&](TFigure& F) { F.SetPosition(RealPoint(100.0f + 50.0f * static_cast<float>(k), 207)); });
      Form->Frames().NextFrameButtonClick();
    }
  }
  // Which stored frame the drawing area shows, or -1.
  int Shown() {
    for (int k = 0; k < static_cast<int>(Anim().Frames.size()); ++k) {
      QImage expected(506, 415, QImage::Format_RGB32);
      QPainter canvas(&expected);
      PrepareCanvas(canvas);
      DrawFrame(canvas, Anim(), Anim().Frames[k], 1.0f);
      canvas.end();
      if (expected == Picture()) return k;
    }
    return -1;
  }
  std::vector<int> Ticks(int Count) {
    std::vector<int> shown;
    for (int i = 0; i < Count && Form->Controls().PlaybackTimer->isActive(); ++i) {
      Form->Playback().PlaybackTimerTick();
      shown.push_back(Form->Controls().PlaybackTimer->isActive() ? Shown() : -1);
    }
    return shown;
  }
  std::vector<QWidget*> EditingControls() const {
    return {Form->Controls().EditImage,          Form->Controls().AddFigureButton, Form->Controls().NextFrameButton,
            Form->Controls().DeleteFigureButton, Form->Controls().EditTypeButton,  Form->Controls().CenterButton,
            Form->Controls().FlipButton,         Form->Controls().ColorButton,     Form->Controls().ScaleSpinEdit,
            Form->Controls().FrontButton,        Form->Controls().BackButton};
  }
};

TEST_F(PlaybackTest, PlayWithoutFramesDoesNothing) {
  Form->Playback().PlayButtonClick();
  EXPECT_FALSE(Form->Controls().PlaybackTimer->isActive());
  EXPECT_TRUE(Form->Controls().NextFrameButton->isEnabled());
}

TEST_F(PlaybackTest, RepeatingPlaybackLoopsFromTheFirstFrame) {
  StoreFrames(4);
  Form->Playback().PlayButtonClick();
  EXPECT_TRUE(Form->Controls().PlaybackTimer->isActive());
  EXPECT_EQ(Ticks(6), (std::vector<int>{0, 1, 2, 3, 0, 1}));
  EXPECT_TRUE(Form->Controls().PlaybackTimer->isActive());
  Form->Playback().StopButtonClick();
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(PlaybackTest, PlaybackOnceEndsOneIntervalAfterTheLastFrame) {
  StoreFrames(4);
  Form->Controls().RepeatCheckBox->setChecked(false);
  const TFigures working = Form->Document().WorkingFrame();
  Form->Playback().PlayButtonClick();
  EXPECT_EQ(Ticks(4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(Form->Controls().PlaybackTimer->isActive());
  Form->Playback().PlaybackTimerTick();
  EXPECT_FALSE(Form->Controls().PlaybackTimer->isActive());
  // The editing view is back, the animation untouched.
  EXPECT_EQ(Picture(), FullRepaint());
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points(), working.Items[0].Points());
  for (QWidget* control : EditingControls()) EXPECT_TRUE(control->isEnabled());
}

TEST_F(PlaybackTest, PlaybackStartsAtTheFrameUnderEdit) {
  StoreFrames(4);
  Form->Frames().FrameClick(2);
  Form->Playback().PlayButtonClick();
  EXPECT_EQ(Ticks(5), (std::vector<int>{2, 3, 0, 1, 2}));
  Form->Playback().PlayButtonClick();  // again: from the same start, still playing
  EXPECT_EQ(Ticks(1), (std::vector<int>{2}));
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 2);
}

TEST_F(PlaybackTest, AHeldFrameStaysOnForItsHoldsTicks) {
  StoreFrames(3);
  Form->Document().SetHolds(1, 1, 3);
  Form->Playback().PlayButtonClick();
  EXPECT_EQ(Ticks(7), (std::vector<int>{0, 1, 1, 1, 2, 0, 1}));
}

TEST_F(PlaybackTest, OneFrameWithRepeatIsShownOnEveryTick) {
  StoreFrames(1);
  Form->Playback().PlayButtonClick();
  EXPECT_EQ(Ticks(3), (std::vector<int>{0, 0, 0}));
}

TEST_F(PlaybackTest, EditingControlsAreOffWhilePlayingAndBackAfterStop) {
  StoreFrames(2);
  Form->Playback().PlayButtonClick();
  for (QWidget* control : EditingControls()) EXPECT_FALSE(control->isEnabled());
  EXPECT_TRUE(Form->Controls().PlayButton->isEnabled());
  EXPECT_TRUE(Form->Controls().StopButton->isEnabled());
  EXPECT_TRUE(Form->Controls().RateScrollBar->isEnabled());
  // A figure added to an empty frame during playback leaves them off until Stop.
  Form->Playback().StopButtonClick();
  Form->Figures().DeleteFigureButtonClick();
  Form->Playback().PlayButtonClick();
  Form->Figures().AddFigureButtonClick();
  EXPECT_FALSE(Form->Controls().DeleteFigureButton->isEnabled());
  Form->Playback().StopButtonClick();
  for (QWidget* control : EditingControls()) EXPECT_TRUE(control->isEnabled());
  // With no figures the figure controls stay off after Stop.
  Form->Figures().DeleteFigureButtonClick();
  Form->Playback().PlayButtonClick();
  Form->Playback().StopButtonClick();
  EXPECT_TRUE(Form->Controls().NextFrameButton->isEnabled());
  EXPECT_FALSE(Form->Controls().DeleteFigureButton->isEnabled());
  EXPECT_FALSE(Form->Figures().GetFigureControlsEnabled());
}

TEST_F(PlaybackTest, PlayEndsADragInProgress) {
  StoreFrames(1);
  const TRealPoint root = Figure(0).Points()[0];
  Press(At(root));
  Form->Playback().PlayButtonClick();
  Form->Playback().StopButtonClick();
  MoveTo(QPoint(20, 20));
  EXPECT_EQ(Figure(0).Points()[0], root);
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), NoHandle);
}

TEST_F(PlaybackTest, RateBarSetsTheIntervalAtOnce) {
  StoreFrames(2);
  Form->Playback().PlayButtonClick();
  Form->Controls().RateScrollBar->setValue(1);
  EXPECT_EQ(Form->Controls().PlaybackTimer->interval(), 1);
  Form->Controls().RateScrollBar->setValue(100);
  EXPECT_EQ(Form->Controls().PlaybackTimer->interval(), 100);
  EXPECT_TRUE(Form->Controls().PlaybackTimer->isActive());
}

// The rate is the project's: a step of the history, kept in its file and
// back when it is opened. A project saved before files held their rate
// plays at the rate the user's settings kept for its file, else at the
// rate there is.
TEST_F(PlaybackTest, TheRateIsTheProjectsAndComesBackWithIt) {
  QTemporaryDir dir;
  const QString named = dir.filePath("named"), unnamed = dir.filePath("unnamed");
  StoreFrames(1);
  Form->Project().SaveProject(unnamed);
  QScrollBar& bar = *Form->Controls().RateScrollBar;
  bar.setValue(20);
  EXPECT_FALSE(Doc().IsSaved());
  Form->Project().SaveProject(named);
  bar.setValue(80);
  Form->History().UndoClick();
  EXPECT_EQ(bar.value(), 20);
  EXPECT_TRUE(Doc().IsSaved());
  const QString key =
      QStringLiteral("PlaybackRate/") +
      QString::fromLatin1(
          QCryptographicHash::hash(QFileInfo(unnamed + ".tvl").absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
              .toHex());
  const struct {
    QString Path;
    int Remembered, Rate;
  } opened[] = {{unnamed, 35, 35}, {named, 0, 20}, {unnamed, 0, 20}, {named, 35, 20}};
  for (const auto& row : opened) {
    if (row.Remembered > 0)
      QSettings().setValue(key, row.Remembered);
    else
      QSettings().remove(key);
    Form->Project().LoadProject(row.Path + ".tvl");
    EXPECT_EQ(bar.value(), row.Rate) << row.Path.toStdString();
    EXPECT_EQ(Form->Controls().PlaybackTimer->interval(), row.Rate) << row.Path.toStdString();
  }
  QSettings().remove(key);
}

TEST_F(PlaybackTest, ThumbnailClickInsertAndDeleteStopPlaybackFirst) {
  StoreFrames(3);
  Form->Playback().PlayButtonClick();
  Form->Frames().FrameClick(1);
  EXPECT_FALSE(Form->Controls().PlaybackTimer->isActive());
  EXPECT_TRUE(Form->Controls().NextFrameButton->isEnabled());
  for (QAction* command : {Form->Controls().InsertFrameAction, Form->Controls().DeleteFrameAction}) {
    Form->Playback().PlayButtonClick();
    Form->Frames().FramePopup(0);
    command->trigger();
    EXPECT_FALSE(Form->Controls().PlaybackTimer->isActive()) << command->text().toStdString();
  }
}

TEST_F(PlaybackTest, PlaysOnTheRealTimer) {
  StoreFrames(2);
  Form->Controls().RateScrollBar->setValue(5);
  Form->Controls().RepeatCheckBox->setChecked(false);
  Form->Playback().PlayButtonClick();
  WAIT_ASSERT(!Form->Controls().PlaybackTimer->isActive());
  EXPECT_EQ(Picture(), FullRepaint());
}

}  // namespace
