// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <numbers>

#include "tests/editor/MainFormFixture.h"

namespace {

using std::numbers::pi;

class FigureCommandsTest : public MainFormTest {
 protected:
  // Four figures W, X, Y, Z told apart by their colours 1..4.
  void FourFigures() {
    for (int i = 0; i < 3; ++i) Form->Figures().AddFigureButtonClick();
    for (int i = 0; i < 4; ++i) ChangeFigure(i, [&](TFigure& F) { F.Color = static_cast<TColor>(i + 1); });
  }
  std::vector<TColor> Order() const {
    std::vector<TColor> colours;
    for (const TFigure& f : Form->Document().WorkingFrame().Items) colours.push_back(f.Color);
    return colours;
  }
  std::vector<QWidget*> FigureControls() const {
    return {Form->Controls().DeleteFigureButton, Form->Controls().EditTypeButton, Form->Controls().CenterButton,
            Form->Controls().FlipButton,         Form->Controls().ColorButton,    Form->Controls().ScaleSpinEdit,
            Form->Controls().FrontButton,        Form->Controls().BackButton};
  }
  void TypeScale(const QString& Text) {
    QLineEdit* edit = Form->Controls().ScaleSpinEdit->findChild<QLineEdit*>();
    edit->selectAll();
    if (Text.isEmpty())
      QTest::keyClick(edit, Qt::Key_Delete);
    else
      QTest::keyClicks(edit, Text);
  }
};

TEST_F(FigureCommandsTest, AddFigurePutsANewSelectedFigureOnTopAtTheCentre) {
  ChangeFigure(0, [&](TFigure& F) { F.Scale = 3.0f; });
  Form->Figures().AddFigureButtonClick();
  ASSERT_EQ(Form->Document().WorkingFrame().Count(), 2);
  EXPECT_EQ(Form->Document().SelectedFigure(), 1);
  EXPECT_EQ(Figure(1).TypeIndex, 1);
  EXPECT_EQ(Figure(1).Points()[0], RealPoint(253, 207));
  EXPECT_EQ(Figure(1).Color, ColorBlack);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), 100);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(FigureCommandsTest, AddFigureUsesTheTypeNamedInTheList) {
  AddType("ball", {Segment(0, SegmentCircle, 20, 2, 0)});
  Form->Figures().AddFigureButtonClick();
  EXPECT_EQ(Figure(1).TypeIndex, 2);
  // Text typed over the list adds nothing until it is confirmed and names a type.
  for (const char* typed : {"nothing like it", "Stickman"}) {
    Form->Controls().FigureComboBox->setEditText(typed);
    Form->Figures().AddFigureButtonClick();
    EXPECT_EQ(Form->Document().WorkingFrame().Count(), 2) << typed;
  }
  QTest::keyClick(Form->Controls().FigureComboBox->lineEdit(), Qt::Key_Return);
  Form->Figures().AddFigureButtonClick();
  EXPECT_EQ(Figure(2).TypeIndex, 1);
}

TEST_F(FigureCommandsTest, AFrameHoldsAtMost255Figures) {
  for (int i = 0; i < 300; ++i) Form->Figures().AddFigureButtonClick();
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 255);
  EXPECT_EQ(Form->Document().SelectedFigure(), 254);
}

TEST_F(FigureCommandsTest, DeleteSelectsTheFollowingFigureOrElseThePreviousOne) {
  Form->Figures().AddFigureButtonClick();
  Form->Figures().AddFigureButtonClick();
  for (int i = 0; i < 3; ++i) ChangeFigure(i, [&](TFigure& F) { F.Color = static_cast<TColor>(i + 1); });
  ChangeFigure(2, [&](TFigure& F) { F.Scale = 2.0f; });
  Doc().Select(1);
  Form->Figures().DeleteFigureButtonClick();
  EXPECT_EQ(Order(), (std::vector<TColor>{1, 3}));
  EXPECT_EQ(Form->Document().SelectedFigure(), 1);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), 200);  // the controls show the new selection
  Form->Figures().DeleteFigureButtonClick();
  EXPECT_EQ(Order(), (std::vector<TColor>{1}));
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);
  Form->Figures().DeleteFigureButtonClick();
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 0);
  for (QWidget* control : FigureControls()) EXPECT_FALSE(control->isEnabled());
  EXPECT_EQ(Picture(), Form->Canvas().GetUnderlay());
  // Adding a figure to the empty frame brings them back.
  Form->Figures().AddFigureButtonClick();
  for (QWidget* control : FigureControls()) EXPECT_TRUE(control->isEnabled());
}

TEST_F(FigureCommandsTest, FrontAndBackReorderKeepingTheOthersInOrder) {
  FourFigures();
  Doc().Select(1);  // X
  Form->Figures().FrontButtonClick();
  EXPECT_EQ(Order(), (std::vector<TColor>{1, 3, 4, 2}));
  EXPECT_EQ(Form->Document().SelectedFigure(), 3);
  Form->Figures().FrontButtonClick();  // already in front: nothing
  EXPECT_EQ(Order(), (std::vector<TColor>{1, 3, 4, 2}));

  Form->Project().NewClick();
  FourFigures();
  Doc().Select(3);  // Z
  Form->Figures().BackButtonClick();
  EXPECT_EQ(Order(), (std::vector<TColor>{4, 1, 2, 3}));
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(FigureCommandsTest, FlipMirrorsAboutTheRootAndTwiceRestores) {
  ChangeFigure(0, [](TFigure& F) {
    F.RotateSegment(3, -F.Angles[3]);  // right upper arm straight right (0)
    F.RotateSegment(4, 0.3);
  });
  const TFigure before = Figure(0);
  Form->Figures().FlipButtonClick();
  const TFigure& f = Figure(0);
  EXPECT_DOUBLE_EQ(f.Angles[3], pi);
  EXPECT_EQ(f.Points()[0], before.Points()[0]);
  for (std::size_t v = 0; v < f.Points().size(); ++v) {
    EXPECT_NEAR(f.Points()[v].X - 253, 253 - before.Points()[v].X, 1e-3);
    EXPECT_NEAR(f.Points()[v].Y, before.Points()[v].Y, 1e-3);
  }
  Form->Figures().FlipButtonClick();
  for (std::size_t v = 0; v < Figure(0).Points().size(); ++v) {
    EXPECT_NEAR(Figure(0).Points()[v].X, before.Points()[v].X, 1e-3);
    EXPECT_NEAR(Figure(0).Points()[v].Y, before.Points()[v].Y, 1e-3);
  }
}

TEST_F(FigureCommandsTest, CentreMovesTheRootToTheMiddleKeepingThePose) {
  ChangeFigure(0, [&](TFigure& F) { F.SetPosition(RealPoint(10, 20)); });
  const std::vector<double> angles = Figure(0).Angles;
  const TRealPoint hand = Figure(0).Points()[5];
  Form->Figures().CenterButtonClick();
  EXPECT_EQ(Figure(0).Points()[0], RealPoint(253, 207));
  EXPECT_FLOAT_EQ(Figure(0).Points()[5].X, hand.X + 243);
  EXPECT_FLOAT_EQ(Figure(0).Points()[5].Y, hand.Y + 187);
  EXPECT_EQ(Figure(0).Angles, angles);
}

TEST_F(FigureCommandsTest, ColourDialogOpensOnTheFigureColourAndCancelChangesNothing) {
  ChangeFigure(0, [&](TFigure& F) { F.Color = 0x00112233; });
  Form->Figures().SetFigureControls(0);
  Dialogs.ColorAnswers = {std::nullopt, 0x000000FF};
  Form->Figures().ColorButtonClick();
  EXPECT_EQ(Figure(0).Color, 0x00112233u);
  Form->Figures().ColorButtonClick();
  EXPECT_EQ(Figure(0).Color, 0x000000FFu);
  ASSERT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::Color), 2);
  for (const TScriptedDialogs::TCall& call : Dialogs.Calls) EXPECT_EQ(call.Color, 0x00112233u);
  EXPECT_EQ(Picture().pixel(253, 170), qRgb(255, 0, 0));
}

TEST_F(FigureCommandsTest, TypedScaleResizesTheFigureAboutItsRoot) {
  ShowActive();
  TypeScale("50");
  EXPECT_FLOAT_EQ(Figure(0).Scale, 0.5f);
  EXPECT_EQ(Figure(0).Points()[0], RealPoint(253, 207));
  EXPECT_NEAR(Figure(0).Points()[1].Y, 207 - 30, 1e-3);
  EXPECT_EQ(Picture(), FullRepaint());
  TypeScale("");  // an empty edit changes nothing
  EXPECT_FLOAT_EQ(Figure(0).Scale, 0.5f);
  TypeScale("0");  // collapses the figure onto its root
  EXPECT_EQ(Figure(0).Points()[10], RealPoint(253, 207));
}

TEST_F(FigureCommandsTest, EmptiedScaleEditKeepsTheScaleAndLocalDigitsCount) {
  ShowActive();
  Form->Controls().ScaleSpinEdit->setFocus();
  TypeScale("50");
  TypeScale("");
  Form->Controls().AddFigureButton->setFocus();  // leaving the emptied edit
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->text(), "50");
  EXPECT_FLOAT_EQ(Figure(0).Scale, 0.5f);
  // Digits as an Arabic locale writes them: 25.
  Form->Controls().ScaleSpinEdit->setLocale(QLocale(QLocale::Arabic, QLocale::Egypt));
  QLineEdit* edit = Form->Controls().ScaleSpinEdit->findChild<QLineEdit*>();
  edit->selectAll();
  for (const QString& digit : {QStringLiteral("\u0662"), QStringLiteral("\u0665")}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, digit);
    QApplication::sendEvent(edit, &press);
  }
  EXPECT_FLOAT_EQ(Figure(0).Scale, 0.25f);
}

TEST_F(FigureCommandsTest, ShownScaleIsTruncatedAndShowingItChangesNoFigure) {
  Form->Figures().AddFigureButtonClick();
  for (auto [scale, shown] : {std::pair{2.5f, 250}, {500.0f, 50000}, {0.29f, 28}, {0.0f, 0}}) {
    ChangeFigure(0, [newScale = scale](TFigure& F) { F.Scale = newScale; });
    Form->Figures().SetFigureControls(0);
    EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), shown) << scale;
    EXPECT_EQ(Figure(1).Scale, 1.0f);
    EXPECT_EQ(Figure(0).Scale, scale);
  }
}

TEST_F(FigureCommandsTest, ScaleBeyondTheEditRangeDoesNotSwallowTheNextChange) {
  ShowActive();
  Form->Figures().AddFigureButtonClick();
  ChangeFigure(0, [&](TFigure& F) { F.Scale = 2000.0f; });  // 200000 percent: the edit shows its maximum
  ChangeFigure(1, [&](TFigure& F) { F.Scale = 1500.0f; });
  Form->Figures().SetFigureControls(0);
  Form->Figures().SetFigureControls(1);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), 100000);
  Doc().Select(1);
  TypeScale("40");
  EXPECT_FLOAT_EQ(Figure(1).Scale, 0.4f);
}

}  // namespace
