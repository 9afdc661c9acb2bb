// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include "builder/FigureBuilderUnit.h"
#include "tests/editor/MainFormFixture.h"

namespace {

// Every Alt+letter of the main window clicks its control, visible or hidden.
TEST_F(MainFormTest, EveryHotkeyClicksItsControl) {
  ShowActive();
  // Save Animation, Load Anim().Background, Load Figure Type and Open Animation open
  // their dialogs: each is cancelled.
  Dialogs.SaveAnswers.resize(1);
  Dialogs.PictureAnswers.resize(1);
  Dialogs.OpenAnswers.resize(2);
  const std::pair<char, QAbstractButton*> keys[] = {
      {'P', Form->Controls().PlayButton},          {'S', Form->Controls().StopButton},
      {'A', Form->Controls().AddFigureButton},     {'D', Form->Controls().DeleteFigureButton},
      {'C', Form->Controls().CenterButton},        {'E', Form->Controls().EditTypeButton},
      {'L', Form->Controls().FlipButton},          {'F', Form->Controls().FrontButton},
      {'B', Form->Controls().BackButton},          {'N', Form->Controls().NextFrameButton},
      {'K', Form->Controls().SaveAnimationHotkey}, {'V', Form->Controls().LoadBackgroundHotkey},
      {'M', Form->Controls().LoadFigureHotkey},    {'T', Form->Controls().CreateFigureTypeHotkey},
      {'R', Form->Controls().OptionsHotkey},       {'O', Form->Controls().OpenAnimationHotkey},
  };
  Dialogs.PictureAnswers = {TFileDialogResult{}};  // Load Anim().Background's dialog, cancelled
  for (const auto& [letter, button] : keys) {
    // Keep a figure to act on, so the per-figure buttons stay enabled.
    if (Form->Document().WorkingFrame().Count() == 0) Form->Figures().AddFigureButtonClick();
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::keyClick(Form.get(), static_cast<Qt::Key>(Qt::Key_A + (letter - 'A')), Qt::AltModifier);
    EXPECT_TRUE(WaitUntil([&] { return clicked.count() == 1; }, 2000)) << "Alt+" << letter;
    // Edit and Create Figure Type show the builder: the next key goes to this window again.
    if (Form->FigureBuilder().isVisible()) {
      Form->FigureBuilder().hide();
      Form->activateWindow();
      WAIT_ASSERT(Form->isActiveWindow());
    }
  }
}

TEST_F(MainFormTest, HotkeysReachTheFigureCommands) {
  ShowActive();
  QTest::keyClick(Form.get(), Qt::Key_A, Qt::AltModifier);
  WAIT_ASSERT(Form->Document().WorkingFrame().Count() == 2);
  EXPECT_EQ(Form->Document().SelectedFigure(), 1);
  QTest::keyClick(Form.get(), Qt::Key_B, Qt::AltModifier);
  WAIT_ASSERT(Form->Document().SelectedFigure() == 0);
  MoveFigure(0, RealPoint(40, 40));
  QTest::keyClick(Form.get(), Qt::Key_C, Qt::AltModifier);
  WAIT_ASSERT(Figure(0).Points()[0] == RealPoint(253, 207));
  const double before = Figure(0).Angles[2];
  QTest::keyClick(Form.get(), Qt::Key_L, Qt::AltModifier);
  WAIT_ASSERT(Figure(0).Angles[2] != before);
  QTest::keyClick(Form.get(), Qt::Key_D, Qt::AltModifier);
  WAIT_ASSERT(Form->Document().WorkingFrame().Count() == 1);
  QTest::keyClick(Form.get(), Qt::Key_D, Qt::AltModifier);
  WAIT_ASSERT(Form->Document().WorkingFrame().Count() == 0);
  EXPECT_FALSE(Form->Controls().DeleteFigureButton->isEnabled());
}

TEST_F(MainFormTest, HotkeyOfADisabledButtonDoesNothing) {
  ShowActive();
  Form->Figures().DeleteFigureButtonClick();
  ASSERT_FALSE(Form->Controls().FlipButton->isEnabled());
  QSignalSpy clicked(Form->Controls().FlipButton, &QAbstractButton::clicked);
  QTest::keyClick(Form.get(), Qt::Key_L, Qt::AltModifier);
  QTest::qWait(300);
  EXPECT_EQ(clicked.count(), 0);
}

}  // namespace
