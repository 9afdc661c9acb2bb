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

  // Adds a type of the given segments to the table and its name to the list.
  void AddType(const QString& Name, std::initializer_list<TSegmentStruct> Segments) {
    auto type = std::make_unique<TFigureType>();
    for (const TSegmentStruct& s : Segments)
      type->AddSegment(s.ParentVertex, s.Kind, s.Length, s.Thickness, s.Angle, s.Static);
    FigureTypes.push_back(std::move(type));
    Form->AppendFigureTypeName(Name);
  }
  static TSegmentStruct Segment(uint8_t Parent, uint8_t Kind, float Length, float Thickness, double Angle,
                                uint8_t Static = 0) {
    TSegmentStruct s;
    s.ParentVertex = Parent;
    s.Kind = Kind;
    s.Length = Length;
    s.Thickness = Thickness;
    s.Angle = Angle;
    s.Static = Static;
    return s;
  }
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
