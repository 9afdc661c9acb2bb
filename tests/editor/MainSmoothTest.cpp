// SPDX-License-Identifier: GPL-3.0-or-later
// Smooth Lines: the View menu's choice reaches every drawing of the figures
// in the window, and is kept for the next window.

#include <QPainter>

#include "tests/editor/MainFormFixture.h"

namespace {

class SmoothLinesTest : public MainFormTest {
 protected:
  QAction* Smooth() const { return Form->Controls().SmoothLinesAction; }
};

TEST_F(SmoothLinesTest, OffAtFirstAndKeptForTheNextWindow) {
  EXPECT_FALSE(Smooth()->isChecked());
  for (bool on : {true, false}) {
    Smooth()->trigger();
    EXPECT_EQ(Form->Controls().Lines(), on ? TLineStyle::Smooth : TLineStyle::Pixel);
    EXPECT_EQ(TMainForm(Dialogs).Controls().SmoothLinesAction->isChecked(), on);
  }
}

TEST_F(SmoothLinesTest, TheDrawingAreaTheGhostTheThumbnailsADragAndPlaybackDrawSmoothLines) {
  Form->Frames().NextFrameButtonClick();  // frame 0, and its ghost under the working frame
  Smooth()->trigger();
  const auto scene = [&] {
    QImage full;
    PaintEditScene(full, Form->Canvas().GetUnderlay(), Form->Document().WorkingFrame(),
                   Form->Document().SelectedFigure(), {}, true, TLineStyle::Smooth);
    return full;
  };
  EXPECT_TRUE(Picture() == scene());
  // The silver ghost's edges are blended into the white beneath.
  const QImage& under = Form->Canvas().GetUnderlay();
  int blended = 0;
  for (int y = 0; y < under.height(); ++y)
    for (int x = 0; x < under.width(); ++x) {
      const QRgb c = under.pixel(x, y) & 0xFFFFFF;
      blended += c != 0xFFFFFF && c != GhostColor;
    }
  EXPECT_GT(blended, 0);
  const QSize size = Form->Controls().TimelineImages->ThumbnailSize();
  EXPECT_TRUE(Form->Controls().TimelineImages->Thumbnail(0).Picture ==
              TimelineThumbnail(Anim(), Anim().Frames[0], size, TThumbnailMaking::Supersampled, TLineStyle::Smooth));

  // A drag step repaints from the cached layers in the same style.
  const QPoint root = At(Figure(0).Root());
  Form->Canvas().EditImageMouseDown(Qt::LeftButton, {}, root.x(), root.y());
  Form->Canvas().EditImageMouseMove({}, root.x() + 9, root.y() + 4);
  ASSERT_EQ(Figure(0).Root().X, root.x() + 9);
  EXPECT_TRUE(Picture() == scene());
  Form->Canvas().EditImageMouseUp(Qt::LeftButton, {}, root.x() + 9, root.y() + 4);

  Form->Playback().PlayButtonClick();
  Form->Playback().PlaybackTimerTick();
  QImage played(Anim().Size(), QImage::Format_RGB32);
  {
    QPainter canvas(&played);
    PrepareCanvas(canvas);
    DrawFrame(canvas, Anim(), Anim().Frames[0], 1.0f, TLineStyle::Smooth);
  }
  EXPECT_TRUE(Picture() == played);
  Form->Playback().StopButtonClick();
}

}  // namespace
