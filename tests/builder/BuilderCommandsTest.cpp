// SPDX-License-Identifier: GPL-3.0-or-later
// The builder's segment commands, the one-level undo, Delete against the
// pending modes, and the hotkeys.

#include <QSignalSpy>

#include "tests/builder/BuilderTestUtil.h"

namespace {

using BuilderCommands = BuilderTest;

bool SameShape(const TFigureType& A, const TFigureType& B) {
  if (A.SegmentCount() != B.SegmentCount()) return false;
  for (std::size_t i = 0; i < A.Segments.size(); ++i) {
    const TSegmentStruct &a = A.Segments[i], &b = B.Segments[i];
    if (a.ParentVertex != b.ParentVertex || a.ChildVertex != b.ChildVertex || a.Length != b.Length ||
        a.Thickness != b.Thickness || a.Kind != b.Kind)
      return false;
  }
  return true;
}

TEST_F(BuilderCommands, ToggleKindSwapsLineAndCircleAndUndoGoesBackOneStep) {
  Form->ChangeKindButtonClick();
  Form->ChangeKindButtonClick();
  EXPECT_EQ(Type().Segments[0].Kind, SegmentLine);
  EXPECT_EQ(UndoCaption(), "Undo Kind");
  Form->Controls().UndoAction->trigger();
  EXPECT_EQ(Type().Segments[0].Kind, SegmentCircle);
  EXPECT_EQ(Status(), "circle: thickness 5, length 48, dynamic");
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  EXPECT_EQ(UndoCaption(), "Undo");
  Form->Controls().UndoAction->trigger();  // no second level
  EXPECT_EQ(Type().Segments[0].Kind, SegmentCircle);

  Load(MakeType({{0, 40, Up, 5.0f, 7}}));  // an unknown kind becomes a line
  Form->ChangeKindButtonClick();
  EXPECT_EQ(Type().Segments[0].Kind, SegmentLine);
}

TEST_F(BuilderCommands, ThicknessArrowsStepOneUndoableClickAtATime) {
  for (int i = 0; i < 3; ++i) QTest::mouseClick(Form->Controls().ThicknessUpDown->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Type().Segments[0].Thickness, 8.0f);
  EXPECT_EQ(Status(), "line: thickness 8, length 48, dynamic");
  EXPECT_EQ(UndoCaption(), "Undo Thickness");
  Form->Controls().UndoAction->trigger();
  EXPECT_EQ(Type().Segments[0].Thickness, 7.0f);
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 7);

  // Selecting sets the control without changing any thickness or undo.
  Load(MakeType({{0, 40, Up, 100.0f}, {0, 40, Down, 2.0f}}));
  Click(At(2));
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 2);
  Click(At(1));
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 100);
  EXPECT_EQ(Type().Segments[1].Thickness, 2.0f);
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  // At the top the up arrow does nothing; the down arrow steps from there.
  QTest::mouseClick(Form->Controls().ThicknessUpDown->UpButton(), Qt::LeftButton);
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  QTest::mouseClick(Form->Controls().ThicknessUpDown->DownButton(), Qt::LeftButton);
  EXPECT_EQ(Type().Segments[0].Thickness, 99.0f);
}

TEST_F(BuilderCommands, EveryStepNamesItsUndoAndUndoRestoresTheStateBeforeIt) {
  const TFigureType start = MakeType({{0, 40, Up}, {0, 30, Right}});
  const std::vector<std::pair<QString, std::function<void()>>> steps = {
      {"Undo Add", [this] { Form->LineButtonClick(); }},
      {"Undo Move",
       [this] {
         Press(At(1));
         Move(At(0) + QPoint(-30, 0));
         Release();
       }},
      {"Undo Kind", [this] { Form->ChangeKindButtonClick(); }},
      {"Undo Delete", [this] { Form->DeleteButtonClick(); }},
      {"Undo Thickness", [this] { QTest::mouseClick(Form->Controls().ThicknessUpDown->DownButton(), Qt::LeftButton); }},
      {"Undo Duplicate", [this] { Form->DuplicateButtonClick(); }},
      {"Undo Static", [this] { Form->ChangeStaticButtonClick(); }},
  };
  for (const auto& [caption, step] : steps) {
    Load(start);
    const std::vector<TRealPoint> points = Figure().Points();
    step();
    EXPECT_EQ(UndoCaption(), caption);
    EXPECT_TRUE(Form->Controls().UndoAction->isEnabled()) << caption.toStdString();
    Form->Controls().UndoAction->trigger();
    EXPECT_EQ(UndoCaption(), "Undo");
    EXPECT_FALSE(Form->Controls().UndoAction->isEnabled()) << caption.toStdString();
    EXPECT_TRUE(SameShape(Type(), start)) << caption.toStdString();
    EXPECT_EQ(Figure().Points(), points) << caption.toStdString();
    EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{false, false})) << caption.toStdString();
    EXPECT_EQ(Form->GetSelectedSegment(), 0) << caption.toStdString();
  }
}

TEST_F(BuilderCommands, UndoDuringAnAddKeepsItWaiting) {
  Form->LineButtonClick();
  Form->Controls().UndoAction->trigger();
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  EXPECT_EQ(Status(), "select a starting handle");
  EXPECT_EQ(Cursor(), Qt::CrossCursor);

  // A start vertex that the undo takes away: the add asks for one again.
  Form->DuplicateButtonClick();
  Click(At(0));  // attaches the duplicate: a new vertex 2
  Click(At(2));  // chooses it as the start
  ASSERT_EQ(Form->GetStartVertex(), 2);
  Form->Controls().UndoAction->trigger();
  ASSERT_EQ(Type().SegmentCount(), 1);
  EXPECT_FALSE(Form->IsPlacingSegment());
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  Click(At(1));
  Click(At(1) + QPoint(10, 0));
  EXPECT_EQ(Type().SegmentCount(), 2);
}

TEST_F(BuilderCommands, DeleteRenumbersAndEveryVertexStaysWhereItWas) {
  Load(MakeType({{0, 40, Up}, {1, 30, Right}, {0, 25, Down}, {1, 20, Left}, {4, 15, Up, 3.0f, SegmentLine, true}}));
  // Turn a segment first: the directions shown, not the stored ones, must survive.
  Press(At(2));
  Move(At(1) + QPoint(0, -30));
  Release();
  const std::vector<TRealPoint> before = Figure().Points();

  Click(At(3));
  ASSERT_EQ(Pixel(At(0) + QPoint(0, 15)), Blue);
  Form->DeleteButtonClick();
  ASSERT_EQ(Type().SegmentCount(), 4);
  EXPECT_EQ(UndoCaption(), "Undo Delete");
  // The highest vertex, 5, took the freed number 3.
  const int newNumber[] = {0, 1, 2, -1, 4, 3};
  for (int v = 0; v <= 5; ++v) {
    if (newNumber[v] < 0) continue;
    EXPECT_NEAR(PointOf(newNumber[v]).X, before[v].X, 1e-3) << v;
    EXPECT_NEAR(PointOf(newNumber[v]).Y, before[v].Y, 1e-3) << v;
  }
  EXPECT_EQ(Type().Segments[3].ChildVertex, 3);
  EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(Form->GetSelectedSegment(), 2);  // the segment that moved into the number
  EXPECT_EQ(Status(), "line: thickness 5, length 20, dynamic");
  EXPECT_EQ(Pixel(At(0) + QPoint(0, 15)), White);
  EXPECT_EQ(Pixel(At(3) + QPoint(0, 7)), Grey);

  // Deleting the last segment selects the new last one.
  Click(At(3));
  Form->DeleteButtonClick();
  EXPECT_EQ(Type().SegmentCount(), 3);
  EXPECT_EQ(Form->GetSelectedSegment(), 2);

  // A segment with others hanging from it, and the only segment, stay.
  Click(At(1));
  Form->ChangeKindButtonClick();
  Form->DeleteButtonClick();
  EXPECT_EQ(Type().SegmentCount(), 3);
  EXPECT_EQ(UndoCaption(), "Undo Kind");
  Form->NewClick();
  Form->DeleteButtonClick();
  EXPECT_EQ(Type().SegmentCount(), 1);
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
}

TEST_F(BuilderCommands, DeleteEndsAPendingAddDuplicateOrDrag) {
  const TFigureType start = MakeType({{0, 40, Up}, {0, 30, Right}, {0, 20, Down}});
  auto expectNothingPending = [this](const char* What) {
    EXPECT_FALSE(Form->IsChoosingStartVertex() || Form->IsPlacingSegment() || Form->IsDuplicating()) << What;
    EXPECT_EQ(Form->GetGrabbedHandle(), NoHandle) << What;
    EXPECT_EQ(Cursor(), Qt::ArrowCursor) << What;
    EXPECT_TRUE(SegmentButtonsEnabled()) << What;
    EXPECT_EQ(Type().SegmentCount(), 2) << What;
  };

  // Placing from the end of the segment being deleted.
  Load(start);
  Form->LineButtonClick();
  Click(At(1));
  Form->DeleteButtonClick();
  expectNothingPending("placing");
  Click(QPoint(20, 20));
  EXPECT_EQ(Type().SegmentCount(), 2);

  // A duplicate of the segment being deleted.
  Load(start);
  Form->DuplicateButtonClick();
  Form->DeleteButtonClick();
  expectNothingPending("duplicating");
  Click(At(1));  // now a normal press: selects, attaches nothing
  EXPECT_EQ(Type().SegmentCount(), 2);

  // Holding the handle of the segment being deleted.
  Load(start);
  Press(At(3));
  Form->DeleteButtonClick();
  expectNothingPending("holding");
  const std::vector<TRealPoint> points = Figure().Points();
  Move(QPoint(10, 10));
  EXPECT_EQ(Figure().Points(), points);
  Release();

  // A refused delete leaves the add alone.
  Load(MakeType({{0, 40, Up}, {1, 30, Right}}));
  Form->LineButtonClick();
  Form->DeleteButtonClick();
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  EXPECT_EQ(UndoCaption(), "Undo Add");
}

TEST_F(BuilderCommands, EveryHotkeyClicksItsHiddenButton) {
  ShowActive();
  const std::vector<std::pair<Qt::Key, QPushButton*>> keys = {
      {Qt::Key_L, Form->Controls().LineHotkey},         {Qt::Key_C, Form->Controls().CircleHotkey},
      {Qt::Key_T, Form->Controls().ChangeKindHotkey},   {Qt::Key_D, Form->Controls().DuplicateHotkey},
      {Qt::Key_W, Form->Controls().ChangeStaticHotkey}, {Qt::Key_F, Form->Controls().DeleteHotkey},
      {Qt::Key_E, Form->Controls().EditModeHotkey},     {Qt::Key_N, Form->Controls().NewHotkey},
      {Qt::Key_O, Form->Controls().OpenHotkey},         {Qt::Key_S, Form->Controls().SaveHotkey},
      {Qt::Key_G, Form->Controls().SaveAsHotkey},       {Qt::Key_A, Form->Controls().AddToAnimationHotkey}};
  std::vector<std::unique_ptr<QSignalSpy>> spies;
  for (const auto& [key, button] : keys) {
    EXPECT_FALSE(button->isVisibleTo(Form.get()) && Form->Controls().ToolPanel->rect().intersects(button->geometry()));
    spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
  }
  // Open, Save (no file name yet: Save As) and Save As are cancelled.
  Dialogs.OpenAnswers.resize(1);
  Dialogs.SaveAnswers.resize(2);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    QTest::keyClick(Form.get(), keys[i].first, Qt::AltModifier);
    WAIT_ASSERT(spies[i]->count() == 1);
    for (std::size_t j = 0; j < keys.size(); ++j) EXPECT_EQ(spies[j]->count(), j <= i ? 1 : 0) << i << " " << j;
  }
  EXPECT_EQ(Dialogs.Calls.size(), 3u);
}

TEST_F(BuilderCommands, HotkeysWorkWhileTheirButtonsAreDisabled) {
  ShowActive();
  Load(MakeType({{0, 40, Up}, {0, 30, Right}}));
  QTest::keyClick(Form.get(), Qt::Key_L, Qt::AltModifier);
  WAIT_ASSERT(Form->IsChoosingStartVertex());
  ASSERT_FALSE(Form->Controls().ChangeKindButton->isEnabled());

  QTest::keyClick(Form.get(), Qt::Key_T, Qt::AltModifier);
  WAIT_ASSERT(Type().Segments[0].Kind == SegmentCircle);
  QTest::keyClick(Form.get(), Qt::Key_W, Qt::AltModifier);
  WAIT_ASSERT(Form->GetStaticFlags()[0]);
  QTest::keyClick(Form.get(), Qt::Key_E, Qt::AltModifier);
  WAIT_ASSERT(Form->GetEditMode());
  EXPECT_TRUE(Form->Controls().EditModeAction->isChecked());
  QTest::keyClick(Form.get(), Qt::Key_D, Qt::AltModifier);
  WAIT_ASSERT(Form->IsDuplicating());
  QTest::keyClick(Form.get(), Qt::Key_F, Qt::AltModifier);
  WAIT_ASSERT(Type().SegmentCount() == 1);
  EXPECT_FALSE(Form->IsChoosingStartVertex() || Form->IsDuplicating());
  EXPECT_TRUE(SegmentButtonsEnabled());

  QTest::keyClick(Form.get(), Qt::Key_C, Qt::AltModifier);
  WAIT_ASSERT(Form->IsChoosingStartVertex());
  QTest::keyClick(Form.get(), Qt::Key_N, Qt::AltModifier);
  WAIT_ASSERT(!Form->IsChoosingStartVertex());
  EXPECT_EQ(Status(), "line: thickness 5, length 48, dynamic");
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
}

}  // namespace
