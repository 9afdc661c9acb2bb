// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>

#include "tests/editor/MainFormFixture.h"

namespace {

TEST_F(MainFormTest, StartsWithOneSelectedBlackStickmanInTheMiddle) {
  EXPECT_EQ(ShownTitle(), "Tavel: Hotkeys");
  EXPECT_EQ(Anim().Width, 506);
  EXPECT_EQ(Anim().Height, 415);
  ASSERT_EQ(Form->Document().WorkingFrame().Count(), 1);
  const TFigure& f = Figure(0);
  EXPECT_EQ(f.TypeIndex, 1);
  EXPECT_EQ(f.Color, ColorBlack);
  EXPECT_EQ(f.Scale, 1.0f);
  EXPECT_EQ(f.Points()[0], RealPoint(253, 207));
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), NoHandle);
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
  EXPECT_TRUE(Form->Document().IsSaved());
  EXPECT_TRUE(Anim().Frames.empty());
  EXPECT_FALSE(Form->Controls().FrameMarker->isVisibleTo(Form.get()));
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), 100);
  EXPECT_TRUE(Form->Controls().DeleteFigureButton->isEnabled());
  EXPECT_FALSE(Form->Controls().ClearBackgroundAction->isEnabled());
  EXPECT_EQ(Anim().Types.Count(), 2);
  EXPECT_EQ(Form->Controls().FigureComboBox->count(), 1);
  EXPECT_EQ(Form->Controls().FigureComboBox->currentText(), "Stickman");

  // On the drawing area: white, orange root, red joints, black lines.
  EXPECT_EQ(Picture().size(), QSize(506, 415));
  EXPECT_EQ(Picture().pixel(253, 207), qRgb(255, 136, 0));
  EXPECT_EQ(Picture().pixel(At(f.Points()[3])), qRgb(255, 0, 0));
  EXPECT_EQ(Picture().pixel(253, 177), qRgb(0, 0, 0));  // the trunk
  EXPECT_EQ(Picture().pixel(10, 10), qRgb(255, 255, 255));
}

TEST_F(MainFormTest, ControlsHaveTheirCaptionsHintsAndDesignPlaces) {
  struct TExpect {
    QWidget* Control;
    QString Text;
    QRect Geometry;
  };
  const TExpect buttons[] = {
      {Form->Controls().PlayButton, "&Play", QRect(13, 16, 57, 22)},
      {Form->Controls().StopButton, "&Stop", QRect(13, 48, 57, 22)},
      {Form->Controls().RepeatCheckBox, "Repeat", QRect(13, 80, 57, 17)},
      {Form->Controls().AddFigureButton, "&Add Figure", QRect(21, 160, 75, 25)},
      {Form->Controls().DeleteFigureButton, "&Delete", QRect(6, 24, 43, 25)},
      {Form->Controls().EditTypeButton, "&Edit", QRect(54, 24, 43, 25)},
      {Form->Controls().CenterButton, "&Center", QRect(6, 56, 43, 25)},
      {Form->Controls().FlipButton, "F&lip", QRect(54, 56, 43, 25)},
      {Form->Controls().ColorButton, "Colour", QRect(6, 88, 43, 25)},
      {Form->Controls().FrontButton, "&Front", QRect(6, 120, 43, 25)},
      {Form->Controls().BackButton, "&Back", QRect(54, 120, 43, 25)},
      {Form->Controls().NextFrameButton, "&Next Frame", QRect(24, 376, 75, 33)},
  };
  for (const TExpect& e : buttons) {
    auto* button = qobject_cast<QAbstractButton*>(e.Control);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), e.Text);
    EXPECT_EQ(button->geometry(), e.Geometry) << e.Text.toStdString();
  }
  // Every control a user can see says what it does, starting with its hint,
  // and names its hotkey.
  const std::pair<QWidget*, QString> hints[] = {
      {Form->Controls().PlayButton, "play animation (Alt+P)"},
      {Form->Controls().StopButton, "stop animation (Alt+S)"},
      {Form->Controls().RateScrollBar, "frame rate: sets the playback speed"},
      {Form->Controls().FigureComboBox, "figure types: "},
      {Form->Controls().ScaleSpinEdit, "Scale: "},
      {Form->Controls().NextFrameButton, "Next Frame (Alt+N): store the working frame"}};
  for (const auto& [control, hint] : hints) EXPECT_TRUE(control->toolTip().startsWith(hint)) << hint.toStdString();
  for (QAbstractButton* button : Form->findChildren<QAbstractButton*>()) {
    if (!button->isVisibleTo(Form.get()) || button->height() == 0) continue;  // not the hidden hotkey buttons
    EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
    const qsizetype amp = button->text().indexOf('&');
    if (amp >= 0) {
      EXPECT_TRUE(button->toolTip().contains(QStringLiteral("Alt+") + button->text()[amp + 1].toUpper()))
          << button->toolTip().toStdString();
    }
  }
  EXPECT_EQ(Form->Controls().FigureGroupBox->title(), "Current Figure");
  EXPECT_TRUE(Form->Controls().RepeatCheckBox->isChecked());
  EXPECT_EQ(Form->Controls().RateScrollBar->orientation(), Qt::Vertical);
  EXPECT_EQ(Form->Controls().RateScrollBar->minimum(), 1);
  EXPECT_EQ(Form->Controls().RateScrollBar->maximum(), 100);
  EXPECT_EQ(Form->Controls().RateScrollBar->value(), 50);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->minimum(), 0);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->maximum(), 100000);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->geometry(), QRect(54, 90, 45, 22));
  EXPECT_EQ(Form->Controls().PlaybackTimer->interval(), 50);
  EXPECT_FALSE(Form->Controls().PlaybackTimer->isActive());
  EXPECT_EQ(Form->Controls().TimelineScrollBox->pos(), QPoint(8, 0));
  EXPECT_EQ(Form->Controls().DrawingScrollBox->pos(), QPoint(136, 88));
  EXPECT_EQ(Form->Controls().EditImage->geometry(), QRect(2, 2, 506, 415));
  EXPECT_EQ(Form->Controls().ToolPanel->geometry(), QRect(8, 88, 121, 425));

  QStringList menu;
  for (QAction* top : Form->menuBar()->actions()) {
    menu << top->text();
    if (top->menu())
      for (QAction* item : top->menu()->actions()) {
        const QString keys = item->shortcut().toString();
        menu << (item->isSeparator() ? "-" : "  " + item->text() + (keys.isEmpty() ? "" : "  " + keys));
      }
  }
  // Each item shows its hotkey.
  EXPECT_EQ(menu, QStringList({"F&ile",
                               "  &New  Ctrl+N",
                               "  Open Animation  Ctrl+O",
                               "  Save  Ctrl+S",
                               "  Save Animation  Ctrl+Shift+S",
                               "-",
                               "  Load Background  Alt+V",
                               "  Clear Background",
                               "-",
                               "  Load Figure Type  Alt+M",
                               "  Create Figure Type  Alt+T",
                               "-",
                               "  Exit  Ctrl+Q",
                               "Edit",
                               "  &Undo  Ctrl+Z",
                               "  &Redo  Ctrl+Shift+Z",
                               "-",
                               "  Cu&t  Ctrl+X",
                               "  &Copy  Ctrl+C",
                               "  &Paste  Ctrl+V",
                               "  &Duplicate  Ctrl+D",
                               "  Paste &Into Frames...",
                               "-",
                               "  Inverse Kinematics  I",
                               "  Pin Joint  P",
                               "Vie&w",
                               "  Show Onion Skin  Ctrl+K",
                               "  Onion Skin...  Ctrl+Shift+K",
                               "  Smooth Lines",
                               "-",
                               "  Zoom In  Ctrl++",
                               "  Zoom Out  Ctrl+-",
                               "  Actual Size  Ctrl+0",
                               "  Fit to Window",
                               "&Go",
                               "  Previous Frame  ,",
                               "  Following Frame  .",
                               "  First Frame  Home",
                               "  New Frame  End",
                               "-",
                               "  Hold Longer  ]",
                               "  Hold Shorter  [",
                               "-",
                               "  Store edits when leaving a frame",
                               "Options",
                               "&Help",
                               "  View ReadMe File",
                               "  Keyboard Shortcuts  F1",
                               "  About"}));
}

TEST_F(MainFormTest, ResizeLaysOutTheStripAndTheDrawingBox) {
  ShowActive();
  Form->resize(800, 600);
  EXPECT_EQ(Form->Controls().TimelineScrollBox->width(), 776);
  EXPECT_EQ(Form->Controls().DrawingScrollBox->size(), QSize(648, 456));
  EXPECT_EQ(Form->Controls().EditImage->size(), QSize(506, 415));  // the drawing keeps the animation size
  Form->resize(400, 300);
  EXPECT_EQ(Form->Controls().DrawingScrollBox->size(), QSize(248, 156));
}

TEST_F(MainFormTest, CommandLineWithAnotherEndingIsRefusedOnce) {
  Form->CommandLine = {"notes.txt"};
  ShowActive();
  EXPECT_EQ(Dialogs.Messages(), QStringList({"that is not a tvl or stk file"}));
  // Later activations do nothing more with the command line.
  Form->FormActivate();
  EXPECT_EQ(Dialogs.Messages().size(), 1);
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 1);
}

TEST_F(MainFormTest, CommandLineEndingIsComparedWithoutLetterCase) {
  for (const QString arg : {"walk.TVL", "robotstk", "ab"}) {
    Form = std::make_unique<TMainForm>(Dialogs);
    Form->CommandLine = {arg};
    RunGuarded(Dialogs, Form.get(), [&] { Form->FormActivate(); });
  }
  // The project and the figure type file are looked for (there are none);
  // only the two-character name is neither.
  ASSERT_EQ(Dialogs.Messages().size(), 3);
  EXPECT_TRUE(Dialogs.Messages()[0].contains("walk.TVL"));
  EXPECT_TRUE(Dialogs.Messages()[1].contains("robotstk"));
  EXPECT_EQ(Dialogs.Messages()[2], "that is not a tvl or stk file");
}

TEST_F(MainFormTest, NewKeepsTheDimensionsAndPutsBackOneStickman) {
  Form->Figures().AddFigureButtonClick();
  Form->Background().ChangeDimensions(300, 200);
  Dialogs.YesNoAnswers = {false};  // the new size is a change to save
  Form->Project().NewClick();
  EXPECT_EQ(Picture().size(), QSize(300, 200));
  EXPECT_EQ(Form->Canvas().GetUnderlay().size(), QSize(300, 200));
  EXPECT_EQ(Anim().Background.size(), QSize(300, 200));
  ASSERT_EQ(Form->Document().WorkingFrame().Count(), 1);
  EXPECT_EQ(Figure(0).Points()[0], RealPoint(150, 100));
  EXPECT_EQ(Picture(), FullRepaint());
}

}  // namespace
