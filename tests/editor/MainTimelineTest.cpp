// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolTip>

#include "editor/TimelineStrip.h"
#include "files/ProjectFile.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/support/TestPictures.h"

namespace {

const QRgb Silver = qRgb(192, 192, 192);

class MainTimelineTest : public MainFormTest {
 protected:
  // Stores Count frames, the figure moved 20 pixels right before each, so
  // every frame differs: frame k has the root at x = 253 + 20 k.
  void StoreFrames(int Count) {
    for (int k = 0; k < Count; ++k) {
      if (k > 0) MoveFigure(0, RealPoint(20, 0));
      Form->Frames().NextFrameButtonClick();
    }
  }
  static float RootX(const TFigures& Frame) { return Frame.Items.at(0).Points()[0].X; }
  std::vector<float> FrameRoots() const {
    std::vector<float> roots;
    for (const TFigures& f : Anim().Frames) roots.push_back(RootX(f));
    return roots;
  }
  TTimelineStrip& Strip() const { return *Form->Controls().TimelineImages; }
  // The marker's place in the strip's content, wherever the strip is scrolled.
  QRect Marker() const { return Form->Controls().FrameMarker->geometry().translated(Strip().ScrollPosition(), 0); }
  bool MarkerShown() const { return Form->Controls().FrameMarker->isVisibleTo(Form->Controls().TimelineImages); }
  QImage Ghost(const TFigures& Frame) {
    QImage underlay(506, 415, QImage::Format_RGB32);
    Form->Canvas().DrawGhost(underlay, Frame);
    return underlay;
  }
};

TEST_F(MainTimelineTest, NextFrameStoresTheWorkingFrameWithAThumbnailAndAGhost) {
  Form->Frames().NextFrameButtonClick();
  ASSERT_EQ(Anim().Frames.size(), 1u);
  ASSERT_EQ(Strip().Count(), 1);
  EXPECT_EQ(Strip().Thumbnail(0).Geometry, QRect(3, 3, 67, 55));
  EXPECT_EQ(TTimelineStrip::Hint(0), "Frame1");
  EXPECT_FALSE(Form->Document().IsSaved());
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
  // The working frame stays as it was, over its own silver ghost.
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points(), Anim().Frames[0].Items[0].Points());
  EXPECT_EQ(Form->Canvas().GetUnderlay().pixel(253, 160), Silver);
  EXPECT_EQ(Picture().pixel(253, 160), qRgb(0, 0, 0));
  EXPECT_EQ(Picture(), FullRepaint());
  // The thumbnail is the frame reduced: white around, dark where the figure is.
  const QImage& thumb = Strip().Thumbnail(0).Picture;
  EXPECT_EQ(thumb.size(), QSize(67, 55));
  EXPECT_EQ(thumb.pixel(2, 2), qRgb(255, 255, 255));
  EXPECT_LT(qGray(thumb.pixel(33, 23)), 200);  // the trunk, at 253/7.5, 180/7.5

  MoveFigure(0, RealPoint(20, 0));
  Form->Frames().NextFrameButtonClick();
  EXPECT_EQ(Strip().Thumbnail(1).Geometry, QRect(73, 3, 67, 55));
  EXPECT_EQ(TTimelineStrip::Hint(1), "Frame2");
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Ghost(Anim().Frames[1]));
}

TEST_F(MainTimelineTest, ClickingAThumbnailOpensThatFrameOverThePreviousOne) {
  StoreFrames(3);
  Form->Frames().FrameClick(0);
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 0);
  EXPECT_TRUE(MarkerShown());
  EXPECT_EQ(Marker(), QRect(1, 1, 72, 59));
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Anim().Background);  // the first frame has no ghost
  EXPECT_EQ(RootX(Form->Document().WorkingFrame()), 253);

  Form->Frames().FrameClick(2);
  EXPECT_EQ(Marker(), QRect(141, 1, 72, 59));
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Ghost(Anim().Frames[1]));
  EXPECT_EQ(RootX(Form->Document().WorkingFrame()), 293);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(MainTimelineTest, ChangesToAReopenedFrameAreDroppedOrStoredBack) {
  StoreFrames(3);
  const QImage thumb2 = Strip().Thumbnail(2).Picture;
  Form->Frames().FrameClick(2);
  MoveFigure(0, RealPoint(0, 50));
  Form->Frames().FrameClick(1);  // the move is dropped
  EXPECT_EQ(Anim().Frames[2].Items[0].Points()[0].Y, 207);
  EXPECT_EQ(RootX(Form->Document().WorkingFrame()), 273);

  Form->Frames().FrameClick(2);
  MoveFigure(0, RealPoint(0, 50));
  Doc().MarkSaved();
  Form->Frames().NextFrameButtonClick();  // stores the move into frame 2
  EXPECT_EQ(Anim().Frames.size(), 3u);
  EXPECT_EQ(Strip().Count(), 3);
  EXPECT_EQ(Anim().Frames[2].Items[0].Points()[0].Y, 257);
  EXPECT_NE(Strip().Thumbnail(2).Picture, thumb2);
  EXPECT_FALSE(MarkerShown());
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
  EXPECT_FALSE(Form->Document().IsSaved());
  // The working frame is a copy of the last stored frame, over its ghost.
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points(), Anim().Frames[2].Items[0].Points());
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Ghost(Anim().Frames[2]));
}

// The Go keys walk the stored frames and the new frame after them, each
// press one step of the history; the strip shows the frame opened, the
// status bar which it is, and typing in a field keeps its keys.
TEST_F(MainTimelineTest, GoKeysWalkTheFramesAndTheStripFollows) {
  ShowActive();
  StoreFrames(12);
  struct TKey {
    Qt::Key Key;
    int Edited;  // afterwards; -1 the new frame
    const char* Position;
    bool Step;  // a step of the history
  };
  const std::vector<TKey> keys{
      {Qt::Key_Comma, 11, "Frame 12 of 12, 0.60 s", true},
      {Qt::Key_Comma, 10, "Frame 11 of 12, 0.60 s", true},
      {Qt::Key_Home, 0, "Frame 1 of 12, 0.60 s", true},
      {Qt::Key_Comma, 0, "Frame 1 of 12, 0.60 s", false},
      {Qt::Key_Period, 1, "Frame 2 of 12, 0.60 s", true},
      {Qt::Key_End, -1, "New frame after 12, 0.60 s", true},
      {Qt::Key_Period, -1, "New frame after 12, 0.60 s", false},
      {Qt::Key_End, -1, "New frame after 12, 0.60 s", false},
      {Qt::Key_Comma, 11, "Frame 12 of 12, 0.60 s", true},
      {Qt::Key_Period, -1, "New frame after 12, 0.60 s", true},
  };
  for (const TKey& k : keys) {
    const std::string key = QKeySequence(k.Key).toString().toStdString();
    const int steps = Doc().History().index();
    QTest::keyClick(Form.get(), k.Key);
    EXPECT_EQ(Form->Document().EditedFrameIndex(), k.Edited) << key;
    EXPECT_EQ(Form->Controls().FramePositionLabel->text(), k.Position) << key;
    EXPECT_EQ(Doc().History().index(), steps + (k.Step ? 1 : 0)) << key;
    const QRect shown = Strip().ToView(Strip().Place(k.Edited >= 0 ? k.Edited : 11));
    EXPECT_TRUE(Strip().rect().contains(shown)) << key;
  }
  // The new frame after End is a copy of the last frame over its ghost.
  EXPECT_EQ(Form->Document().WorkingFrame(), Anim().Frames.back());
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Ghost(Anim().Frames.back()));
  Form->History().UndoClick();
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 11);

  for (QWidget* field : {static_cast<QWidget*>(Form->Controls().ScaleSpinEdit),
                         static_cast<QWidget*>(Form->Controls().FigureComboBox)}) {
    field->setFocus();
    for (Qt::Key key : {Qt::Key_Comma, Qt::Key_Period, Qt::Key_Home, Qt::Key_End})
      QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(Form->Document().EditedFrameIndex(), 11) << field->metaObject()->className();
  }
}

// Leaving a frame with edits not stored says so in the status bar; with
// "Store edits when leaving a frame" on, the edits are stored instead, in
// the same step as the move. Either way one Undo brings the edits back.
TEST_F(MainTimelineTest, LeavingAFrameDropsItsEditsAndSaysSoOrStoresThem) {
  struct TRow {
    const char* Name;
    int Edited;  // the frame edited; -1 the new frame
    bool Store;
    std::function<void()> Leave;
    const char* Message;
    std::size_t FramesAfter;
  };
  const std::vector<TRow> rows{
      {"a click drops", 1, false, [this] { Form->Frames().FrameClick(0); },
       "Changes to frame 2 were not stored. Undo brings them back.", 3},
      {"a key drops", 1, false, [this] { Form->Frames().NewFrameClick(); },
       "Changes to frame 2 were not stored. Undo brings them back.", 3},
      {"the new frame's edits", -1, false, [this] { Form->Frames().PreviousFrameClick(); },
       "Changes to the new frame were not stored. Undo brings them back.", 3},
      {"stored into the frame", 1, true, [this] { Form->Frames().FrameClick(0); }, "", 3},
      {"stored as a new frame", -1, true, [this] { Form->Frames().FirstFrameClick(); }, "", 4},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    Form->Project().NewClick();
    StoreFrames(3);
    Form->Controls().StoreEditsAction->setChecked(row.Store);
    Form->Frames().FrameClick(row.Edited >= 0 ? row.Edited : 0);
    if (row.Edited < 0) Form->Frames().NewFrameClick();
    EXPECT_EQ(Form->statusBar()->currentMessage(), "") << "nothing to drop";
    MoveFigure(0, RealPoint(0, 50));
    const TEditState edited = Doc().Edit();
    const QByteArray payload = ProjectPayload(Anim());
    row.Leave();
    EXPECT_EQ(Form->statusBar()->currentMessage(), row.Message);
    ASSERT_EQ(Anim().Frames.size(), row.FramesAfter);
    const std::size_t at = row.Edited >= 0 ? static_cast<std::size_t>(row.Edited) : 3;
    EXPECT_EQ(at < Anim().Frames.size() && Anim().Frames[at] == edited.WorkingFrame, row.Store);
    Form->History().UndoClick();
    EXPECT_EQ(Doc().Edit().WorkingFrame, edited.WorkingFrame);
    EXPECT_EQ(Form->Document().EditedFrameIndex(), row.Edited);
    EXPECT_EQ(ProjectPayload(Anim()), payload);
    Dialogs.YesNoAnswers.push_back(false);  // New's save question
  }
  Dialogs.YesNoAnswers.clear();
  // The option is the user's: a new window starts with it as left.
  Form->Controls().StoreEditsAction->trigger();
  EXPECT_EQ(TMainForm(Dialogs).Controls().StoreEditsAction->isChecked(),
            Form->Controls().StoreEditsAction->isChecked());
}

TEST_F(MainTimelineTest, InsertDuplicatesThePrecedingFrameAndOpensIt) {
  for (int p : {0, 1}) {
    SCOPED_TRACE(p);
    Form->Project().NewClick();
    StoreFrames(2);  // F0 (x 253), F1 (x 273)
    const QImage thumb0 = Strip().Thumbnail(0).Picture, thumb1 = Strip().Thumbnail(1).Picture;
    Doc().MarkSaved();
    Form->Frames().FramePopup(p);
    Form->Frames().InsertFrameClick();
    EXPECT_EQ(FrameRoots(), (std::vector<float>{253, 253, 273}));
    ASSERT_EQ(Strip().Count(), 3);
    EXPECT_EQ(Strip().Thumbnail(2).Geometry, QRect(143, 3, 67, 55));
    EXPECT_EQ(Strip().Thumbnail(0).Picture, thumb0);
    EXPECT_EQ(Strip().Thumbnail(1).Picture, thumb0);
    EXPECT_EQ(Strip().Thumbnail(2).Picture, thumb1);
    EXPECT_EQ(Form->Document().EditedFrameIndex(), p);
    EXPECT_EQ(Marker(), QRect(1 + 70 * p, 1, 72, 59));
    EXPECT_EQ(RootX(Form->Document().WorkingFrame()), 253);
    EXPECT_EQ(Form->Canvas().GetUnderlay(), Ghost(Anim().Frames[p]));
    EXPECT_FALSE(Form->Document().IsSaved());
    Doc().MarkSaved();  // let New go without the save question
  }
}

TEST_F(MainTimelineTest, DeleteBeforeTheFrameUnderEditMovesTheMarkerWithIt) {
  StoreFrames(4);
  Form->Frames().FrameClick(3);
  const TFigures working = Form->Document().WorkingFrame();
  Form->Frames().FramePopup(1);
  Form->Frames().DeleteFrameClick();
  EXPECT_EQ(FrameRoots(), (std::vector<float>{253, 293, 313}));
  EXPECT_EQ(Strip().Count(), 3);
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 2);
  EXPECT_EQ(Marker(), QRect(141, 1, 72, 59));  // 70 pixels to the left
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points(), working.Items[0].Points());
}

TEST_F(MainTimelineTest, DeleteNextToTheFrameUnderEditStartsANewFrame) {
  StoreFrames(3);
  Form->Frames().FrameClick(2);
  Form->Frames().FramePopup(1);
  Form->Frames().DeleteFrameClick();
  EXPECT_EQ(FrameRoots(), (std::vector<float>{253, 293}));
  EXPECT_FALSE(MarkerShown());
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
  EXPECT_EQ(RootX(Form->Document().WorkingFrame()), 293);
  EXPECT_EQ(Form->Canvas().GetUnderlay(), Ghost(Anim().Frames[1]));
}

TEST_F(MainTimelineTest, DeleteElsewhereLeavesTheWorkingFrameAlone) {
  StoreFrames(4);
  Form->Frames().FrameClick(1);
  MoveFigure(0, RealPoint(0, 40));
  Form->Frames().FramePopup(2);
  Form->Frames().DeleteFrameClick();
  EXPECT_EQ(FrameRoots(), (std::vector<float>{253, 273, 313}));
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 1);
  EXPECT_EQ(Marker(), QRect(71, 1, 72, 59));
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points()[0], RealPoint(273, 247));
}

TEST_F(MainTimelineTest, DeletingTheOnlyFrameLeavesTheDrawingAreaAlone) {
  StoreFrames(1);
  const QImage picture = Picture();
  const QImage underlay = Form->Canvas().GetUnderlay();
  Form->Frames().FramePopup(0);
  Form->Frames().DeleteFrameClick();
  EXPECT_TRUE(Anim().Frames.empty());
  EXPECT_EQ(Strip().Count(), 0);
  EXPECT_EQ(Picture(), picture);
  EXPECT_EQ(Form->Canvas().GetUnderlay(), underlay);  // the ghost stays until the next rebuild
  Form->Playback().PlayButtonClick();
  EXPECT_FALSE(Form->Controls().PlaybackTimer->isActive());

  StoreFrames(1);
  Form->Frames().FrameClick(0);
  Form->Frames().FramePopup(0);
  Form->Frames().DeleteFrameClick();
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
  EXPECT_FALSE(MarkerShown());
}

TEST_F(MainTimelineTest, ThumbnailsAnswerClicksHintsAndThePopupMenu) {
  ShowActive();
  StoreFrames(3);
  const QPoint second = Strip().Thumbnail(1).Geometry.center();
  QTest::mouseClick(Form->Controls().TimelineImages, Qt::LeftButton, Qt::NoModifier, second);
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 1);
  EXPECT_EQ(Strip().IndexAt(second), 1);
  EXPECT_EQ(Strip().IndexAt(QPoint(71, 20)), -1);  // in the gap
  EXPECT_EQ(Strip().IndexAt(QPoint(1, 20)), -1);

  QHelpEvent help(QEvent::ToolTip, second, Form->Controls().TimelineImages->mapToGlobal(second));
  QApplication::sendEvent(Form->Controls().TimelineImages, &help);
  EXPECT_EQ(QToolTip::text(), "Frame2");

  const QPoint third = Strip().Thumbnail(2).Geometry.center();
  QContextMenuEvent menu(QContextMenuEvent::Mouse, third, Form->Controls().TimelineImages->mapToGlobal(third));
  QApplication::sendEvent(Form->Controls().TimelineImages, &menu);
  EXPECT_EQ(Form->Frames().GetPopupFrameIndex(), 2);
  EXPECT_TRUE(Form->Controls().FrameMenu->isVisible());
  Form->Controls().DeleteFrameAction->trigger();
  Form->Controls().FrameMenu->hide();
  EXPECT_EQ(Anim().Frames.size(), 2u);
}

TEST_F(MainTimelineTest, StripScrollsToItsEndAsFramesPileUp) {
  ShowActive();
  StoreFrames(12);
  const QScrollBar* bar = Form->Controls().TimelineScrollBox->horizontalScrollBar();
  EXPECT_EQ(Strip().ContentWidth(), 3 + 12 * 70);
  EXPECT_EQ(bar->maximum(), Strip().ContentWidth() - Strip().width());
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(Strip().ScrollPosition(), bar->value());
  // The strip itself never grows past the visible area.
  EXPECT_EQ(Strip().width(), Form->Controls().TimelineScrollBox->viewport()->width());
}

TEST_F(MainTimelineTest, LowAnimationStillGetsWholeThumbnails) {
  StartAnimation(120, 20);
  ChangeFigure(0, [&](TFigure& F) { F.SetScale(0.1f); });
  Form->Frames().NextFrameButtonClick();
  const QImage& thumb = Strip().Thumbnail(0).Picture;
  ASSERT_EQ(thumb.size(), QSize(330, 55));
  int dark = 0;
  for (int y = 0; y < thumb.height(); ++y)
    for (int x = 0; x < thumb.width(); ++x) dark += qGray(thumb.pixel(x, y)) < 128;
  EXPECT_GT(dark, 0);
  EXPECT_EQ(thumb.pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(MainTimelineTest, RedrawingAllThumbnailsFollowsNewDimensions) {
  StoreFrames(3);
  Form->Frames().FrameClick(2);
  Doc().MarkSaved();
  Form->Background().ChangeDimensions(1012, 415);  // twice as wide: thumbnails 134 wide
  EXPECT_FALSE(Form->Document().IsSaved());
  EXPECT_EQ(Strip().Thumbnail(0).Geometry, QRect(3, 3, 134, 55));
  EXPECT_EQ(Strip().Thumbnail(1).Geometry, QRect(140, 3, 134, 55));
  EXPECT_EQ(Strip().Thumbnail(2).Geometry, QRect(277, 3, 134, 55));
  EXPECT_EQ(Strip().Thumbnail(2).Picture.size(), QSize(134, 55));
  EXPECT_EQ(Marker(), QRect(275, 1, 139, 59));  // the marker went with its thumbnail
}

TEST_F(MainTimelineTest, DeleteMovesThePicturesOfTheFollowingThumbnails) {
  for (int p : {0, 1, 3}) {
    SCOPED_TRACE(p);
    Form->Project().NewClick();
    StoreFrames(4);
    std::vector<QImage> pictures;
    pictures.reserve(4);
    for (int i = 0; i < 4; ++i) pictures.push_back(Strip().Thumbnail(i).Picture);
    pictures.erase(pictures.begin() + p);
    Form->Frames().FramePopup(p);
    Form->Frames().DeleteFrameClick();
    ASSERT_EQ(Strip().Count(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Strip().Thumbnail(i).Picture, pictures[i]) << i;
      EXPECT_EQ(Strip().Thumbnail(i).Geometry, QRect(3 + 70 * i, 3, 67, 55)) << i;
    }
    Doc().MarkSaved();
  }
}

TEST_F(MainTimelineTest, AfterDeletingTheFrameUnderEditNextFrameAppendsAfterTheLast) {
  StoreFrames(3);
  Form->Frames().FrameClick(1);
  Form->Frames().FramePopup(1);
  Form->Frames().DeleteFrameClick();
  EXPECT_FALSE(MarkerShown());
  Form->Frames().NextFrameButtonClick();
  EXPECT_EQ(FrameRoots(), (std::vector<float>{253, 293, 293}));
  EXPECT_EQ(Strip().Count(), 3);
  EXPECT_EQ(Strip().Thumbnail(2).Geometry, QRect(143, 3, 67, 55));
  EXPECT_EQ(Strip().Thumbnail(2).Picture, Strip().Thumbnail(1).Picture);
  EXPECT_FALSE(MarkerShown());
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
}

TEST_F(MainTimelineTest, ThumbnailsOfExtremeProportionsCanBeReachedClickedAndDeleted) {
  ShowActive();
  const struct { int Width, Height, ThumbnailWidth; } cases[] = {{10, 10000, 1}, {10000, 10, 55000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Width);
    StartAnimation(c.Width, c.Height);
    StoreFrames(3);
    ASSERT_EQ(Strip().Thumbnail(1).Geometry.size(), QSize(c.ThumbnailWidth, 55));
    ASSERT_EQ(Strip().Thumbnail(1).Picture.size(), QSize(c.ThumbnailWidth, 55));
    Form->Frames().RedrawTimelineImages();
    EXPECT_EQ(Strip().Thumbnail(1).Picture.size(), QSize(c.ThumbnailWidth, 55));
    // Scroll the second thumbnail to the left edge and click it there.
    QScrollBar* bar = Form->Controls().TimelineScrollBox->horizontalScrollBar();
    bar->setValue(std::min(bar->maximum(), Strip().Thumbnail(1).Geometry.left()));
    const QPoint at = Strip().ToView(Strip().Thumbnail(1).Geometry).topLeft() + QPoint(0, 20);
    QTest::mouseClick(Form->Controls().TimelineImages, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(Form->Document().EditedFrameIndex(), 1);
    EXPECT_EQ(Marker(), Strip().Thumbnail(1).Geometry.adjusted(-2, -2, 3, 2));
    EXPECT_TRUE(Form->Controls().TimelineImages->rect().intersects(Form->Controls().FrameMarker->geometry()));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, Form->Controls().TimelineImages->mapToGlobal(at));
    QApplication::sendEvent(Form->Controls().TimelineImages, &menu);
    Form->Controls().FrameMenu->hide();
    ASSERT_EQ(Form->Frames().GetPopupFrameIndex(), 1);
    Form->Controls().DeleteFrameAction->trigger();
    EXPECT_EQ(Anim().Frames.size(), 2u);
    EXPECT_FALSE(MarkerShown());
    Doc().MarkSaved();
  }
}

TEST_F(MainTimelineTest, StripReachesFramesBeyondTheLargestWidgetWidth) {
  ShowActive();
  StartAnimation(10000, 10);
  Form->Frames().NextFrameButtonClick();
  // 400 thumbnails 55,000 pixels wide: 22 million pixels, more than a widget can be wide.
  StoreCopies(399);
  ASSERT_GT(Strip().ContentWidth(), QWIDGETSIZE_MAX);
  QScrollBar* bar = Form->Controls().TimelineScrollBox->horizontalScrollBar();
  bar->setValue(bar->maximum());
  EXPECT_EQ(Strip().ScrollPosition(), Strip().ContentWidth() - Strip().width());
  const QPoint at(Strip().width() - 20, 30);  // in the last thumbnail
  QTest::mouseClick(Form->Controls().TimelineImages, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 399);
  EXPECT_EQ(Marker(), QRect(1 + 55003 * 399, 1, 55005, 59));
  QHelpEvent help(QEvent::ToolTip, at, Form->Controls().TimelineImages->mapToGlobal(at));
  QApplication::sendEvent(Form->Controls().TimelineImages, &help);
  EXPECT_EQ(QToolTip::text(), "Frame400");
}

TEST_F(MainTimelineTest, ClicksAndFigureCommandsLeaveTheProjectSaved) {
  StoreFrames(2);
  Doc().MarkSaved();
  Form->Frames().FrameClick(0);
  Form->Figures().AddFigureButtonClick();
  Form->Figures().FlipButtonClick();
  EXPECT_TRUE(Form->Document().IsSaved());
}

}  // namespace

namespace {

TEST_F(MainTimelineTest, ThumbnailsDrawnWhenSeenAreThoseMadeWhenTheFrameChanged) {
  using enum TThumbnailMaking;
  std::vector<TThumbnailMaking> made;  // how each thumbnail was last made
  const auto check = [&](const char* Step) {
    ASSERT_EQ(Strip().Count(), static_cast<int>(made.size())) << Step;
    for (int i = 0; i < Strip().Count(); ++i)
      EXPECT_EQ(Strip().Thumbnail(i).Picture,
                TimelineThumbnail(Anim(), Anim().Frames[i], Strip().ThumbnailSize(), made[i]))
          << Step << " " << i;
  };
  StoreFrames(3);
  made = {FullSize, FullSize, FullSize};
  check("next frame");
  Doc().LoadBackground(Gradient(Anim().Width, Anim().Height), 0, {});
  made.assign(made.size(), Supersampled);
  check("background");
  Form->Frames().FrameClick(1);
  MoveFigure(0, RealPoint(0, 30));
  Form->Frames().NextFrameButtonClick();
  made[1] = FullSize;
  check("stored back");
  for (const int p : {1, 3}) {  // copies of a supersampled and of a full-size thumbnail
    Form->Frames().FramePopup(p);
    Form->Frames().InsertFrameClick();
    made.insert(made.begin() + p, made[p - 1]);
    check("insert");
  }
  Form->Frames().FramePopup(0);
  Form->Frames().DeleteFrameClick();
  made.erase(made.begin());
  check("delete");
  Form->Background().ChangeDimensions(300, 140);
  made.assign(made.size(), Supersampled);
  check("size");
  ASSERT_EQ(Form->Document().EditedFrameIndex(), 2);  // the frame inserted last, moved one place by the delete
  Form->Frames().NextFrameButtonClick();
  made[2] = FullSize;
  check("stored back at the new size");
}

TEST_F(MainTimelineTest, OnlyThumbnailsInViewAreDrawnAndTheCacheKeepsToItsBudget) {
  ShowActive();
  StoreFrames(1);
  StoreCopies(999);
  Form->Frames().RedrawTimelineImages();
  EXPECT_EQ(Strip().CachedCount(), 0);
  Strip().DrawPending();
  const auto [first, last] = Strip().VisibleRange();
  EXPECT_EQ(Strip().CachedCount(), last - first + 1 + TTimelineStrip::Margin);  // at the start: no margin before
  // Thumbnails beyond the budget push out the least recently seen.
  const qint64 one = Strip().Thumbnail(0).Picture.sizeInBytes();
  Strip().SetCacheBudget(10 * one);
  for (int i = 0; i < 30; ++i) Strip().Thumbnail(i);
  EXPECT_EQ(Strip().CachedCount(), 10);
  EXPECT_EQ(Strip().CachedBytes(), 10 * one);
  EXPECT_EQ(Strip().Thumbnail(0).Picture,
            TimelineThumbnail(Anim(), Anim().Frames[0], Strip().ThumbnailSize(), TThumbnailMaking::Supersampled));
}

}  // namespace

// "]" and "[" hold the frame under edit a tick longer or shorter, the
// thumbnail menu's Hold... sets a Shift+click range at once; the frame's
// thumbnail says its hold and the status bar the animation's time.
TEST_F(MainTimelineTest, HoldsAreSetByKeyAndByMenuAndShown) {
  ShowActive();
  StoreFrames(4);
  QTest::mouseClick(&Strip(), Qt::LeftButton, Qt::NoModifier, Strip().ToView(Strip().Place(1)).center());
  const QImage plain = Strip().Thumbnail(1).Picture;
  for (int i = 0; i < 3; ++i) QTest::keyClick(Form.get(), Qt::Key_BracketRight);
  QTest::keyClick(Form.get(), Qt::Key_BracketLeft);
  EXPECT_EQ(Anim().Frames[1].Hold, 3);
  EXPECT_EQ(Form->Controls().FramePositionLabel->text(), "Frame 2 of 4, 0.30 s");
  EXPECT_NE(Strip().Thumbnail(1).Picture, plain);
  Strip().SelectTo(3);
  Form->Frames().FramePopup(2);
  Dialogs.NumberAnswers = {9};
  Form->Controls().HoldAction->trigger();
  std::vector<int> holds;
  for (const TFigures& frame : Anim().Frames) holds.push_back(frame.Hold);
  EXPECT_EQ(holds, (std::vector<int>{1, 9, 9, 9}));
  EXPECT_EQ(Form->Controls().FramePositionLabel->text(), "Frame 2 of 4, 1.40 s");
  Form->History().UndoClick();
  EXPECT_EQ(Anim().Frames[1].Hold, 3);
}
