// SPDX-License-Identifier: GPL-3.0-or-later
// Selecting figures with the mouse (their lines and circles, Ctrl+click, a
// band), moving several at once, and figures and frames on the clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <numbers>

#include "files/FigureClip.h"
#include "tests/editor/MainFormFixture.h"

namespace {

class MainSelectionTest : public MainFormTest {
 protected:
  // Bars: one line of length 40 from the root, pointing right (angle 0) or
  // down; and a ring: a circle of diameter 20 beside the root.
  void SetUp() override {
    MainFormTest::SetUp();
    AddType("bar", {Segment(0, SegmentLine, 40, 3, 0)});
    AddType("post", {Segment(0, SegmentLine, 40, 3, std::numbers::pi / 2)});
    AddType("ring", {Segment(0, SegmentCircle, 20, 2, 0)});
  }
  // The working frame: figures of the given types with their roots at the given places.
  void Place(const std::vector<std::pair<int, QPoint>>& Figures) {
    TAnimation animation = Anim();
    TEditState edit;
    for (const auto& [entry, root] : Figures) {
      TFigure figure;
      figure.SetType(animation.Types, static_cast<uint8_t>(entry));
      figure.MoveBy(RealPoint(static_cast<float>(root.x()), static_cast<float>(root.y())));
      edit.WorkingFrame.Items.push_back(std::move(figure));
    }
    Doc().Reset(std::move(animation), std::move(edit));
  }
  void Click(QPoint P, Qt::KeyboardModifiers Keys = Qt::NoModifier) {
    QTest::mousePress(Form->Controls().EditImage, Qt::LeftButton, Keys, P);
    QTest::mouseRelease(Form->Controls().EditImage, Qt::LeftButton, Keys, P);
  }
  static constexpr int Bar = 2, Post = 3, Ring = 4;
};

// Which figure a press selects, and which handle it holds.
TEST_F(MainSelectionTest, APressOnALineOrCircleSelectsTheFigureOnTopHandlesFirst) {
  struct TRow {
    const char* Name;
    QPoint At;
    std::vector<int> Selected;
    int16_t Handle;
  };
  // Figure 0: a bar from (100,100) to (140,100). Figure 1, on top: a post
  // from (120,60) down to (120,100), its joint handle on the bar. Figure 2:
  // a ring around (210,100), its root at (200,100).
  const std::vector<TRow> rows{
      {"on the bar", QPoint(105, 100), {0}, RootHandle},
      {"3 pixels beside the bar", QPoint(110, 104), {0}, RootHandle},
      {"6 pixels beside the bar", QPoint(110, 107), {2}, NoHandle},
      {"the post's handle over the bar", QPoint(120, 100), {1}, 0},
      {"on the post", QPoint(120, 75), {1}, RootHandle},
      {"inside the ring", QPoint(214, 103), {2}, RootHandle},
  };
  for (const TRow& row : rows) {
    Place({{Bar, {100, 100}}, {Post, {120, 60}}, {Ring, {200, 100}}});
    Doc().Select(2);
    Press(row.At);
    EXPECT_EQ(Doc().SelectedFigures(), row.Selected) << row.Name;
    EXPECT_EQ(Form->Canvas().GetSelectedHandle(), row.Handle) << row.Name;
    Release(row.At);
  }
}

// Ctrl+click adds and takes out; a band selects the figures whose root lies
// inside; dragging one of them moves them all, as one step.
TEST_F(MainSelectionTest, SeveralFiguresAreSelectedAndMovedTogether) {
  Place({{Bar, {100, 100}}, {Post, {120, 160}}, {Ring, {300, 100}}});
  Click(QPoint(122, 180), Qt::ControlModifier);
  EXPECT_EQ(Doc().SelectedFigures(), (std::vector<int>{0, 1}));
  EXPECT_EQ(Doc().SelectedFigure(), 1);
  Click(QPoint(122, 180), Qt::ControlModifier);
  EXPECT_EQ(Doc().SelectedFigures(), (std::vector<int>{0}));

  Press(QPoint(20, 20));
  MoveTo(QPoint(150, 120));
  MoveTo(QPoint(250, 200));
  Release(QPoint(250, 200));
  EXPECT_EQ(Doc().SelectedFigures(), (std::vector<int>{0, 1}));
  EXPECT_EQ(Picture(), FullRepaint());

  const int steps = Doc().History().index();
  Press(QPoint(100, 100));
  MoveTo(QPoint(110, 95));
  MoveTo(QPoint(130, 90));
  Release(QPoint(130, 90));
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Root(), RealPoint(130, 90));
  EXPECT_EQ(Form->Document().WorkingFrame().Items[1].Root(), RealPoint(150, 150));
  EXPECT_EQ(Form->Document().WorkingFrame().Items[2].Root(), RealPoint(300, 100));
  EXPECT_EQ(Doc().History().index(), steps + 1);
  EXPECT_EQ(Picture(), FullRepaint());
}

// Copy and Paste go through the system's clipboard under the program's own
// type, with the figures' types; the scale field keeps its own Ctrl+C.
TEST_F(MainSelectionTest, FiguresTravelThroughTheClipboardWithTheirTypes) {
  ShowActive();
  Place({{Bar, {100, 100}}, {Ring, {200, 100}}});
  Doc().SelectFigures({0, 1}, 1);
  Form->Controls().NextFrameButton->setFocus();
  QTest::keyClick(Form->Controls().NextFrameButton, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->formats(), QStringList{FiguresMimeType});

  // Into a new animation that lacks both types.
  Form->Project().NewClick();
  QTest::keyClick(Form->Controls().NextFrameButton, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(Form->Document().WorkingFrame().Count(), 3);
  EXPECT_EQ(Anim().Types.ListedNames(), (QStringList{"Stickman", "bar", "ring"}));
  EXPECT_EQ(Form->Document().WorkingFrame().Items[1].Root(), RealPoint(100, 100));
  EXPECT_EQ(Doc().SelectedFigures(), (std::vector<int>{1, 2}));
  EXPECT_EQ(Form->Controls().UndoAction->text(), "&Undo Paste");
  // Pasted again, they go aside from the first copies.
  QTest::keyClick(Form->Controls().NextFrameButton, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Form->Document().WorkingFrame().Items[3].Root(), RealPoint(110, 110));
  EXPECT_EQ(Anim().Types.Count(), 4);

  QGuiApplication::clipboard()->setText(QStringLiteral("text"));
  Form->Controls().ScaleSpinEdit->setFocus();
  QTest::keyClick(Form->Controls().ScaleSpinEdit, Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(FiguresMimeType));
  Form->History().UndoClick();
  Form->History().UndoClick();
  EXPECT_EQ(Anim().Types.Count(), 2);
  Doc().MarkSaved();
}

// Paste Into Frames puts the clipboard's figures into the frames after the
// one under edit, up to the frame asked for, as one step.
TEST_F(MainSelectionTest, PasteIntoFramesFillsTheFollowingFramesInOneStep) {
  for (int i = 0; i < 5; ++i) Form->Frames().NextFrameButtonClick();
  Place({{Ring, {200, 100}}});
  Form->Clipboard().CopyClick();
  Doc().Reset(TAnimation(Anim()), TDocument::OpenedState(Anim()));
  Form->Frames().FrameClick(1);
  Dialogs.NumberAnswers.push_back(4);
  Form->Clipboard().PasteIntoFramesClick();
  std::vector<int> counts;
  for (const TFigures& f : Anim().Frames) counts.push_back(f.Count());
  EXPECT_EQ(counts, (std::vector<int>{1, 1, 2, 2, 1}));
  EXPECT_EQ(Form->Controls().UndoAction->text(), "&Undo Paste Into Frames");
  Doc().MarkSaved();
}

// Shift+click selects thumbnails; the thumbnail menu's Delete, Copy Frame,
// Paste Frame After and Duplicate Frame act on them, one step each.
TEST_F(MainSelectionTest, ARangeOfThumbnailsIsDeletedCopiedAndDuplicated) {
  for (int x : {0, 10, 20, 30, 40}) {
    MoveFigure(0, RealPoint(x == 0 ? 0.0f : 10.0f, 0));
    Form->Frames().NextFrameButtonClick();
  }
  const auto roots = [this] {
    std::vector<int> r;
    for (const TFigures& f : Anim().Frames) r.push_back(qRound(f.Items[0].Root().X) - 253);
    return r;
  };
  TTimelineStrip& strip = *Form->Controls().TimelineImages;
  QTest::mouseClick(&strip, Qt::LeftButton, Qt::NoModifier, strip.ToView(strip.Place(1)).center());
  QTest::mouseClick(&strip, Qt::LeftButton, Qt::ShiftModifier, strip.ToView(strip.Place(2)).center());
  EXPECT_EQ(Doc().EditedFrameIndex(), 1);
  struct TRow {
    const char* Name;
    int Popup;
    QAction* Action;
    std::vector<int> Frames;
  };
  const std::vector<TRow> rows{
      {"duplicate", 2, Form->Controls().DuplicateFrameAction, {0, 10, 20, 10, 20, 30, 40}},
      {"copy, paste after the last", 1, nullptr, {0, 10, 20, 30, 40, 10, 20}},
      {"delete", 1, Form->Controls().DeleteFrameAction, {0, 30, 40}},
  };
  for (const TRow& row : rows) {
    strip.SelectTo(2);
    Form->Frames().FramePopup(row.Popup);
    if (row.Action != nullptr) {
      row.Action->trigger();
    } else {
      Form->Clipboard().CopyFrameClick();
      strip.ClearSelection();
      Form->Frames().FramePopup(4);
      Form->Clipboard().PasteFrameAfterClick();
    }
    EXPECT_EQ(roots(), row.Frames) << row.Name;
    Form->History().UndoClick();
    EXPECT_EQ(roots(), (std::vector<int>{0, 10, 20, 30, 40})) << row.Name;
  }
  Doc().MarkSaved();
}

}  // namespace
