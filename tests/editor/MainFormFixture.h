#pragma once
// A main window built under the offscreen platform with scripted dialogs.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"
#include "tests/support/GuiWait.h"
#include "tests/support/ScriptedDialogs.h"

class MainFormTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetAnimationState();
    Form = std::make_unique<TMainForm>(Dialogs);
  }

  void TearDown() override {
    Form.reset();
    EXPECT_TRUE(Dialogs.YesNoAnswers.empty()) << "scripted answers left unused";
  }

  void ShowActive() {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  }

  TFigure& Figure(int I) { return Form->EditFrame.Items.at(I); }
  QImage& Picture() { return Form->EditImage->Picture(); }

  static QPoint At(TRealPoint P) { return QPoint(qRound(P.X), qRound(P.Y)); }

  // The drawing area repainted from scratch, to compare with what it shows.
  QImage FullRepaint() {
    QImage full;
    PaintEditScene(full, Form->Underlay, Form->EditFrame, Form->EditFrame.Count() ? Form->SelectedFigure : -1);
    return full;
  }

  void Press(QPoint P, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mousePress(Form->EditImage, Button, Qt::NoModifier, P);
  }
  void MoveTo(QPoint P) { QTest::mouseMove(Form->EditImage, P); }
  void Release(QPoint P, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mouseRelease(Form->EditImage, Button, Qt::NoModifier, P);
  }

  TScriptedDialogs Dialogs;
  std::unique_ptr<TMainForm> Form;
};
