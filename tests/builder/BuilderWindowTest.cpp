// SPDX-License-Identifier: GPL-3.0-or-later
// The builder window: its start figure, drawing, status text, layout,
// loading a type from the main window, resets and hiding.

#include "tests/builder/BuilderTestUtil.h"

namespace {

using BuilderWindow = BuilderTest;

TEST_F(BuilderWindow, FreshBuilderShowsBlueLineUpFromOrangeRootAtCentre) {
  EXPECT_EQ(Form->windowTitle(), "Stick Figure Builder");
  EXPECT_EQ(Form->size(), QSize(389, 391));
  const QSize area = Form->Controls().FigureImage->Picture().size();
  EXPECT_EQ(area, QSize(389 - 64, 391 - 79));
  const QPoint root(area.width() / 2, area.height() / 2);
  EXPECT_EQ(At(0), root);
  EXPECT_EQ(At(1), root - QPoint(0, 48));
  EXPECT_DOUBLE_EQ(Figure().Angles[0], Up);

  // Five pixels wide and blue along its length, white beside it.
  for (int dx = -2; dx <= 2; ++dx) EXPECT_EQ(Pixel(root + QPoint(dx, -24)), Blue) << dx;
  EXPECT_EQ(Pixel(root + QPoint(-4, -24)), White);
  EXPECT_EQ(Pixel(root + QPoint(4, -24)), White);
  EXPECT_EQ(Pixel(root), Orange);
  EXPECT_EQ(Pixel(root + QPoint(4, 0)), Orange);  // the root dot is 10 wide
  EXPECT_EQ(Pixel(root - QPoint(0, 48)), Red);
  EXPECT_EQ(Pixel(QPoint(5, 5)), White);

  EXPECT_EQ(Status(), "line: thickness 5, length 48, dynamic");
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 5);
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  EXPECT_FALSE(Form->Controls().EditModeAction->isChecked());
  EXPECT_EQ(Form->GetGrabbedHandle(), NoHandle);
}

TEST_F(BuilderWindow, EachToolTipAndMenuKeyComesFromTheRowOfItsControl) {
  const TBuilderControls& ui = Form->Controls();
  const std::vector<std::pair<QWidget*, QString>> tips = {{ui.LineButton, "add line (Alt+L): "},
                                                          {ui.CircleButton, "add circle (Alt+C): "},
                                                          {ui.ChangeKindButton, "toggle segment kind (Alt+T): "},
                                                          {ui.ThicknessUpDown, "change segment thickness"},
                                                          {ui.DuplicateButton, "duplicate segment (Alt+D): "},
                                                          {ui.ChangeStaticButton, "static / dynamic segment (Alt+W): "},
                                                          {ui.DeleteButton, "delete segment (Alt+F): "}};
  for (const auto& [control, tip] : tips) EXPECT_TRUE(control->toolTip().startsWith(tip)) << tip.toStdString();
  const std::vector<std::pair<QAction*, QString>> keys = {
      {ui.NewAction, "Alt+N"},    {ui.OpenAction, "Alt+O"},           {ui.SaveAction, "Alt+S"},
      {ui.SaveAsAction, "Alt+G"}, {ui.AddToAnimationAction, "Alt+A"}, {ui.EditModeAction, "Alt+E"}};
  for (const auto& [item, key] : keys) {
    EXPECT_EQ(item->shortcut(), QKeySequence(key)) << key.toStdString();
    EXPECT_TRUE(item->toolTip().startsWith(item->text() + " (" + key + "): ")) << item->toolTip().toStdString();
  }
}

TEST_F(BuilderWindow, ThicknessZeroIsOnePixelBlueWhenSelectedAndInvisibleOtherwise) {
  Load(MakeType({{0, 40, Right, 0.0f}, {0, 40, Left, 5.0f}}));
  const QPoint mid = At(0) + QPoint(20, 0);
  EXPECT_EQ(Pixel(mid), Blue);
  EXPECT_EQ(Pixel(mid + QPoint(0, 1)), White);
  EXPECT_EQ(Pixel(mid - QPoint(0, 1)), White);
  EXPECT_EQ(Type().Segments[0].Thickness, 0.0f);  // the drawing put it back
  EXPECT_EQ(Status(), "line: thickness 0, length 40, dynamic");

  Click(At(2));  // select the other segment
  EXPECT_EQ(Pixel(mid), White);
  // Its handle is still there, 4 pixels wide.
  EXPECT_EQ(Pixel(At(1)), Red);
  EXPECT_EQ(Pixel(At(1) + QPoint(1, 0)), Red);
  EXPECT_EQ(Pixel(At(1) + QPoint(3, 0)), White);
}

TEST_F(BuilderWindow, EditFigureTypeLoadsACopyCentredWithStaticFlagsTakenOut) {
  TFigureType source = MakeType({{0, 47.9f, Up, 7.9f, SegmentCircle, true}, {1, 30, Right, 3.0f}});
  Load(source);
  EXPECT_TRUE(Form->isVisible());
  const QSize area = Form->Controls().FigureImage->Picture().size();
  const int centerX = area.width() / 2, centerY = area.height() / 2;
  EXPECT_EQ(PointOf(0), RealPoint(static_cast<float>(centerX), static_cast<float>(centerY)));
  EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{true, false}));
  EXPECT_EQ(Type().Segments[0].Static, 0);  // every handle can be grabbed in the builder
  EXPECT_EQ(source.Segments[0].Static, 1);  // the source is untouched
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 7);
  EXPECT_EQ(Status(), "circle: thickness 7, length 47, static");
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  EXPECT_EQ(UndoCaption(), "Undo");

  // Unselected, the static segment is grey.
  Click(At(2));
  EXPECT_EQ(Pixel(At(0) + QPoint(-24, -24)), Grey);  // the circle's left side
  EXPECT_EQ(Pixel(At(1) + QPoint(15, 0)), Blue);
}

TEST_F(BuilderWindow, ResettingOrLoadingInterruptsAPendingAddOrDuplicateCompletely) {
  Form->EditModeClick();
  Form->LineButtonClick();
  Click(At(1));
  Move(QPoint(20, 20));
  const QPoint onBand(91, 64);  // halfway along the rubber band
  EXPECT_EQ(Pixel(onBand), Black);
  Form->DuplicateButtonClick();
  Form->NewClick();
  EXPECT_FALSE(Form->IsPlacingSegment() || Form->IsChoosingStartVertex() || Form->IsDuplicating());
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  EXPECT_TRUE(SegmentButtonsEnabled());
  EXPECT_TRUE(Form->GetEditMode());  // Edit Mode survives New
  EXPECT_EQ(Pixel(At(0) - QPoint(0, 24)), Blue);
  EXPECT_EQ(Pixel(onBand), White);  // no rubber band left
  EXPECT_EQ(Status(), "line: thickness 5, length 48, dynamic");
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  Move(QPoint(20, 20));
  EXPECT_EQ(Pixel(onBand), White);

  Form->CircleButtonClick();
  Form->DuplicateButtonClick();
  Press(At(1));  // attaches the duplicate and holds that handle
  Load(MakeType({{0, 20, Right}}));
  EXPECT_FALSE(Form->IsChoosingStartVertex() || Form->IsDuplicating());
  EXPECT_EQ(Form->GetGrabbedHandle(), NoHandle);
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  EXPECT_TRUE(SegmentButtonsEnabled());
  Move(QPoint(5, 5));  // nothing is dragged
  EXPECT_EQ(PointOf(1), RealPoint(PointOf(0).X + 20, PointOf(0).Y));
}

TEST_F(BuilderWindow, ResizingMovesStatusBarAndGrowsAreaWithoutMovingFigure) {
  ShowActive();
  const std::vector<TRealPoint> before = Figure().Points();
  Form->resize(500, 450);
  WAIT_ASSERT(Form->Controls().FigureImage->geometry() == QRect(56, 0, 436, 371));
  EXPECT_EQ(Form->Controls().FigureImage->Picture().size(), QSize(436, 371));
  EXPECT_EQ(Form->Controls().StatusPanel->geometry(), QRect(0, 379, 492, 25));
  EXPECT_EQ(Figure().Points(), before);
  EXPECT_EQ(Pixel(At(0) - QPoint(0, 24)), Blue);

  // An odd width: the root of a new figure sits at the truncated half.
  Form->resize(321 + 64, 391);
  WAIT_ASSERT(Form->Controls().FigureImage->Picture().width() == 321);
  Form->NewClick();
  EXPECT_EQ(PointOf(0).X, 160.0f);

  // A tiny window keeps a drawing area of one pixel and draws nothing outside it.
  Form->resize(30, 30);
  WAIT_ASSERT(Form->height() < 79);
  EXPECT_GE(Form->Controls().FigureImage->Picture().width(), 1);
  EXPECT_GE(Form->Controls().FigureImage->Picture().height(), 1);
}

TEST_F(BuilderWindow, HidingAndShowingAgainKeepsEverything) {
  ShowActive();
  Form->LineButtonClick();
  Click(At(1));
  Click(QPoint(40, 40));
  Form->ChangeStaticButtonClick();
  Form->EditModeClick();
  const TFigureType type = Type();
  const QImage picture = Form->Controls().FigureImage->Picture().copy();
  const QString status = Status();

  Form->Controls().ExitAction->trigger();
  EXPECT_FALSE(Form->isVisible());
  Form->show();
  Form->close();
  EXPECT_FALSE(Form->isVisible());  // the close box hides too
  Form->show();

  EXPECT_EQ(Type().Segments.size(), type.Segments.size());
  EXPECT_EQ(Form->GetSelectedSegment(), 1);
  EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{false, true}));
  EXPECT_TRUE(Form->GetEditMode());
  EXPECT_TRUE(Form->Controls().UndoAction->isEnabled());
  EXPECT_EQ(UndoCaption(), "Undo Static");
  EXPECT_EQ(Status(), status);
  EXPECT_EQ(Form->Controls().FigureImage->Picture(), picture);
}

}  // namespace
