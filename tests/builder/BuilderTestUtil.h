// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up of the builder window tests: a fresh table and window with
// scripted dialogs, mouse input through the drawing area, and figure types
// built from a short list of segments.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <numbers>

#include "builder/FigureBuilderUnit.h"
#include "builder/UpDown.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/PictureBox.h"
#include "tests/support/GuiWait.h"
#include "tests/support/ScriptedDialogs.h"

constexpr double Right = 0.0;
constexpr double Down = std::numbers::pi / 2;
constexpr double Left = std::numbers::pi;
constexpr double Up = 3 * std::numbers::pi / 2;

struct TSeg {
  uint8_t Parent;
  float Length;
  double Angle;
  float Thickness = 5.0f;
  uint8_t Kind = SegmentLine;
  bool Static = false;
};

inline TFigureType MakeType(std::initializer_list<TSeg> Segments) {
  TFigureType type;
  for (const TSeg& s : Segments) type.AddSegment(s.Parent, s.Kind, s.Length, s.Thickness, s.Angle, s.Static ? 1 : 0);
  type.RebuildVertices();
  return type;
}

// A chain of Count short segments, each hanging from the one before.
inline TFigureType MakeChain(int Count) {
  TFigureType type;
  for (int i = 0; i < Count; ++i) type.AddSegment(static_cast<uint8_t>(i), SegmentLine, 1.0f, 1.0f, Up, 0);
  type.RebuildVertices();
  return type;
}

class BuilderTest : public testing::Test {
 protected:
  void SetUp() override { Form = std::make_unique<TFigureBuilderForm>(Dialogs, nullptr); }
  void TearDown() override {
    // Let go of a button a test left held, so the next test starts clean.
    if (Held != Qt::NoButton) QTest::mouseRelease(Form->Controls().FigureImage, Held, {}, QPoint(0, 0));
    Form.reset();
  }

  void Load(const TFigureType& Type) { Form->EditFigureType(Type); }

  void Press(QPoint At, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mousePress(Form->Controls().FigureImage, Button, {}, At);
    Held = Button;
  }
  void Release(QPoint At = QPoint(0, 0)) {
    QTest::mouseRelease(Form->Controls().FigureImage, Held == Qt::NoButton ? Qt::LeftButton : Held, {}, At);
    Held = Qt::NoButton;
  }
  void Click(QPoint At) {
    Press(At);
    Release(At);
  }
  // A move over the drawing area, with whatever button is held.
  void Move(QPoint At) {
    QMouseEvent move(QEvent::MouseMove, QPointF(At), Form->Controls().FigureImage->mapToGlobal(QPointF(At)),
                     Qt::NoButton, Held, {});
    QApplication::sendEvent(Form->Controls().FigureImage, &move);
  }

  const TFigure& Figure() const { return Form->GetWorkFigure(); }
  const TFigureType& Type() const { return Form->WorkType(); }
  TRealPoint PointOf(int Vertex) const { return Figure().Points()[Vertex]; }
  QPoint At(int Vertex) const { return QPoint(RoundPixel(PointOf(Vertex).X), RoundPixel(PointOf(Vertex).Y)); }
  QRgb Pixel(QPoint P) const { return Form->Controls().FigureImage->Picture().pixel(P); }
  QString Status() const { return Form->Controls().StatusLabel->text(); }
  QString UndoCaption() const { return Form->Controls().UndoAction->text(); }
  bool SegmentButtonsEnabled() const { return Form->Controls().DeleteButton->isEnabled(); }
  Qt::CursorShape Cursor() const { return Form->Controls().FigureImage->cursor().shape(); }

  void ShowActive() {
    Form->show();
    // Without a window manager (a bare X server) nobody activates the window.
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  }

  TScriptedDialogs Dialogs;
  std::unique_ptr<TFigureBuilderForm> Form;
  Qt::MouseButton Held = Qt::NoButton;
};

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Grey = qRgb(128, 128, 128);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Orange = qRgb(255, 136, 0);
