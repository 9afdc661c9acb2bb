// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window built under the offscreen platform with scripted dialogs.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPainter>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>

#include "editor/BackgroundController.h"
#include "editor/CanvasController.h"
#include "editor/ClipboardController.h"
#include "editor/ExportController.h"
#include "editor/FiguresController.h"
#include "editor/FramesController.h"
#include "editor/HistoryController.h"
#include "editor/MainUnit.h"
#include "editor/PlaybackController.h"
#include "editor/ProjectController.h"
#include "editor/WindowsController.h"
#include "model/Common.h"
#include "platform/PictureBox.h"
#include "tests/support/GuiWait.h"
#include "tests/support/ScriptedDialogs.h"

// A thumbnail as Next Frame makes it (the frame at full size, reduced) or
// as a redraw makes it (at twice the thumbnail's size, halved).
inline QImage TimelineThumbnail(const TAnimation& A, const TFigures& Frame, QSize Size, TThumbnailMaking How,
                                TLineStyle Lines = TLineStyle::Pixel) {
  const bool full = How == TThumbnailMaking::FullSize;
  QImage large(full ? A.Size() : Size * 2, QImage::Format_RGB32);
  large.fill(Qt::white);
  {
    QPainter canvas(&large);
    PrepareCanvas(canvas);
    DrawFrame(canvas, A, Frame, full ? 1.0f : 2.0f * static_cast<float>(Size.height()) / static_cast<float>(A.Height),
              Lines);
  }
  QImage thumbnail(Size, QImage::Format_RGB32);
  ShrinkBitmap(large, thumbnail, full ? double(A.Height) / Size.height() : 2.0);
  return thumbnail.convertToFormat(QImage::Format_RGB888);
}

class MainFormTest : public testing::Test {
 protected:
  void SetUp() override {
    // Every window starts with the default onion skin, frame and view settings.
    for (const char* group : {"OnionSkin", "Frames", "View"}) QSettings().remove(QLatin1String(group));
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

  TDocument& Doc() { return Form->Document(); }
  const TAnimation& Anim() const { return Form->Animation(); }
  const TFigure& Figure(int I) const { return Form->Document().WorkingFrame().Items.at(static_cast<std::size_t>(I)); }

  // Changes figure I of the working frame, as one step (as a drag would).
  void ChangeFigure(int I, const std::function<void(TFigure&)>& Change) {
    TFigure figure = Figure(I);
    Change(figure);
    Doc().EndGesture();
    Doc().DragFigure(I, figure);
    Doc().EndGesture();
  }
  void MoveFigure(int I, TRealPoint D) {
    ChangeFigure(I, [&](TFigure& F) { F.MoveBy(D); });
  }

  // A new animation of Width x Height with one Stickman at its centre.
  void StartAnimation(int Width, int Height) {
    TAnimation animation;
    animation.Width = Width;
    animation.Height = Height;
    animation.Background = TAnimation::WhiteBackground(animation.Size());
    TEditState start = TDocument::StartState(animation);
    Doc().Reset(std::move(animation), std::move(start));
  }

  // Count copies of the last stored frame stored at once, as an opened
  // project would hold them (the history starts again).
  void StoreCopies(int Count) {
    TAnimation animation = Anim();
    animation.Frames.insert(animation.Frames.end(), static_cast<std::size_t>(Count), animation.Frames.back());
    TEditState opened = TDocument::OpenedState(animation);
    Doc().Reset(std::move(animation), std::move(opened));
  }

  // Gives the animation a type of the given segments, listed and chosen, as
  // a project that held it would (the history starts again).
  void AddType(const QString& Name, std::initializer_list<TSegmentStruct> Segments) {
    auto type = std::make_shared<TFigureType>();
    for (const TSegmentStruct& s : Segments)
      type->AddSegment(s.ParentVertex, s.Kind, s.Length, s.Thickness, s.Angle, s.Static);
    TAnimation animation = Anim();
    animation.Types.Append(std::move(type), Name);
    TEditState edit = Doc().Edit();
    Doc().Reset(std::move(animation), std::move(edit));
    Form->Controls().FigureComboBox->setCurrentIndex(Form->Controls().FigureComboBox->count() - 1);
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
  QImage& Picture() { return Form->Controls().EditImage->Picture(); }
  // The title as the desktop shows it, "[*]" replaced by the mark or by nothing.
  QString ShownTitle() {
    Form->winId();  // makes the native window, which holds the title shown
    return Form->windowHandle()->title();
  }

  static QPoint At(TRealPoint P) { return QPoint(qRound(P.X), qRound(P.Y)); }

  // The drawing area repainted from scratch, to compare with what it shows.
  QImage FullRepaint() {
    QImage full;
    PaintEditScene(full, Form->Canvas().GetUnderlay(), Form->Document().WorkingFrame(),
                   Form->Document().WorkingFrame().Count() ? Form->Document().SelectedFigure() : -1,
                   Doc().Edit().AlsoSelected);
    return full;
  }

  void Press(QPoint P, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mousePress(Form->Controls().EditImage, Button, Qt::NoModifier, P);
  }
  void MoveTo(QPoint P) { QTest::mouseMove(Form->Controls().EditImage, P); }
  void Release(QPoint P, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mouseRelease(Form->Controls().EditImage, Button, Qt::NoModifier, P);
  }

  TScriptedDialogs Dialogs;
  std::unique_ptr<TMainForm> Form;
};
