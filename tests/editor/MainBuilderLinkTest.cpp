// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's two ways into the figure builder.

#include "builder/FigureBuilderUnit.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/model/ModelTestUtil.h"

namespace {

class MainBuilderLinkTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    Builder = &Form->FigureBuilder();
  }
  TFigureBuilderForm* Builder = nullptr;  // the window's own
};

TEST_F(MainBuilderLinkTest, EditOpensTheBuilderOnACopyOfTheSelectedFiguresType) {
  // A type with a static segment, used by the selected figure.
  AddType("kite", {Segment(0, SegmentLine, 30, 4, 0.5), Segment(1, SegmentCircle, 20, 3, 1.5, 1)});
  Form->Figures().AddFigureButtonClick();
  const TFigure figure = Figure(1);
  const QByteArray typeBefore = SaveBytes(*Anim().Types.Type(2));

  Form->Figures().EditTypeButtonClick();
  EXPECT_TRUE(Builder->isVisible());
  const TFigureType& working = Builder->WorkType();
  ASSERT_EQ(working.SegmentCount(), 2);
  EXPECT_EQ(working.Segments[1].Kind, SegmentCircle);
  EXPECT_EQ(working.Segments[1].Length, 20.0f);
  EXPECT_EQ(Builder->GetStaticFlags(), (std::vector<bool>{false, true}));
  // The figure and the table entry it uses are left as they were.
  EXPECT_EQ(Figure(1).Points(), figure.Points());
  EXPECT_EQ(SaveBytes(*Anim().Types.Type(2)), typeBefore);
}

TEST_F(MainBuilderLinkTest, CreateFigureTypeShowsTheBuilderAsItWasLeft) {
  Form->Figures().EditTypeButtonClick();  // the Stickman in the builder
  Builder->ChangeKindButtonClick();
  Builder->close();
  ASSERT_FALSE(Builder->isVisible());
  Form->Windows().CreateFigureTypeClick();
  EXPECT_TRUE(Builder->isVisible());
  EXPECT_EQ(Builder->WorkType().SegmentCount(), 10);
  EXPECT_EQ(Builder->WorkType().Segments[0].Kind, SegmentCircle);
  EXPECT_TRUE(Builder->Controls().UndoAction->isEnabled());
}

TEST_F(MainBuilderLinkTest, HotkeysReachTheBuilder) {
  ShowActive();
  QTest::keyClick(Form.get(), Qt::Key_T, Qt::AltModifier);
  WAIT_ASSERT(Builder->isVisible());
  Builder->hide();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  ChangeFigure(0, [](TFigure& F) { F.RotateSegment(0, 1.0); });  // the figure's pose is not the type's
  QTest::keyClick(Form.get(), Qt::Key_E, Qt::AltModifier);
  WAIT_ASSERT(Builder->isVisible());
  // The builder shows the type's own pose, root at its centre.
  EXPECT_DOUBLE_EQ(Builder->GetWorkFigure().Angles[0], StickmanType()->Segments[0].Angle);
}

}  // namespace
