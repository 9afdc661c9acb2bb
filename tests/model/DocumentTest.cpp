// SPDX-License-Identifier: GPL-3.0-or-later
// The document without a window: which edits merge into one step of the
// history, when the project counts as saved, and what the frame commands
// leave stored and under edit.

#include <gtest/gtest.h>

#include <QUndoStack>
#include <functional>
#include <string>
#include <vector>

#include "model/Document.h"

namespace {

// The animation of the rows: the built-in types and a bar, one line of
// length 20 pointing right. A bar's points are whole numbers, so moves and
// scale changes that come back to the start give back the very same figure.
TAnimation BarAnimation() {
  TAnimation animation = NewAnimation();
  auto bar = std::make_shared<TFigureType>();
  bar->AddSegment(0, SegmentLine, 20, 3, 0, 0);
  animation.Types.Append(std::move(bar), QStringLiteral("bar"));
  return animation;
}

// A frame of one bar whose root stands at (X, 50): frames are named by that
// number in the rows below.
TFigures Frame(const TAnimation& A, int X) {
  TFigures frame;
  TFigure figure;
  figure.SetType(A.Types, 2);
  figure.MoveBy(RealPoint(static_cast<float>(X), 50));
  frame.Items.push_back(std::move(figure));
  return frame;
}

int NameOf(const TFigures& Frame) { return Frame.Items.empty() ? -1 : qRound(Frame.Items.front().Root().X); }

std::vector<int> NamesOf(const std::vector<TFigures>& Frames) {
  std::vector<int> names;
  names.reserve(Frames.size());
  for (const TFigures& f : Frames) names.push_back(NameOf(f));
  return names;
}

// A document holding Frames, Working under edit as frame Edited (-1: the
// new frame), with no history.
void Start(TDocument& Doc, const std::vector<int>& Frames, int Working, int Edited) {
  TAnimation animation = BarAnimation();
  for (int x : Frames) animation.Frames.push_back(Frame(animation, x));
  TEditState edit;
  edit.WorkingFrame = Frame(animation, Working);
  edit.EditedFrameIndex = Edited;
  Doc.Reset(std::move(animation), std::move(edit));
}

void Move(TDocument& Doc, float Dx) {
  TFigure moved = Doc.WorkingFrame().Items.at(0);
  moved.MoveBy(RealPoint(Dx, 0));
  Doc.DragFigure(0, moved);
}

// Which edits are one step of the history.
TEST(Document, EditsOfOneGestureMergeIntoOneStep) {
  struct TRow {
    const char* Name;
    std::function<void(TDocument&)> Edits;
    int Steps;
  };
  const auto twoFigures = [](TDocument& D) { D.AddFigure(2); };
  const std::vector<TRow> rows{
      {"a drag of many moves",
       [](TDocument& D) {
         for (int i = 0; i < 20; ++i) Move(D, 1);
       },
       1},
      {"two drags",
       [](TDocument& D) {
         Move(D, 3);
         D.EndGesture();
         Move(D, 3);
       },
       2},
      {"a drag back to its start",
       [](TDocument& D) {
         Move(D, 5);
         Move(D, 4);
         Move(D, -9);
       },
       0},
      {"a drag back to its start, then on",
       [](TDocument& D) {
         Move(D, 5);
         Move(D, -5);
         Move(D, 2);
       },
       1},
      {"a press without a move",
       [](TDocument& D) {
         Move(D, 0);
         D.EndGesture();
       },
       0},
      {"two scale changes in one edit",
       [](TDocument& D) {
         D.SetFigureScale(1.5f);
         D.SetFigureScale(2);
       },
       1},
      {"a scale change undone by the next",
       [](TDocument& D) {
         D.SetFigureScale(1.5f);
         D.SetFigureScale(1);
       },
       0},
      {"two scale edits",
       [](TDocument& D) {
         D.SetFigureScale(1.5f);
         D.EndGesture();
         D.SetFigureScale(2);
       },
       2},
      {"scale changes across a selection change",
       [&](TDocument& D) {
         twoFigures(D);
         D.SetFigureScale(1.5f);
         D.Select(0);
         D.SetFigureScale(1.5f);
       },
       3},
      {"a scale change, a colour, a scale change",
       [](TDocument& D) {
         D.SetFigureScale(1.5f);
         D.SetFigureColor(0xFF);
         D.SetFigureScale(2);
       },
       3},
      {"a drag, then a scale change",
       [](TDocument& D) {
         Move(D, 3);
         D.SetFigureScale(2);
       },
       2},
      {"a drag after an undo",
       [](TDocument& D) {
         Move(D, 3);
         D.Undo();
         Move(D, 3);
       },
       1},
  };
  for (const TRow& row : rows) {
    TDocument doc;
    Start(doc, {}, 100, -1);
    row.Edits(doc);
    EXPECT_EQ(doc.History().index(), row.Steps) << row.Name;
    EXPECT_EQ(doc.History().count(), doc.History().index()) << row.Name << ": nothing left to redo";
  }
}

// One undo takes back the whole of a merged step, and a redo brings it back.
TEST(Document, UndoAndRedoTakeTheWholeMergedStep) {
  TDocument doc;
  Start(doc, {}, 100, -1);
  for (int i = 0; i < 5; ++i) Move(doc, 2);
  const TFigures moved = doc.WorkingFrame();
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(NameOf(doc.WorkingFrame()), 100);
  EXPECT_FALSE(doc.Undo());
  ASSERT_TRUE(doc.Redo());
  EXPECT_EQ(doc.WorkingFrame(), moved);
  EXPECT_FALSE(doc.Redo());
}

// The step preparation runs before the step with the size it leads to; when
// it refuses, nothing changes.
TEST(Document, AStepThePreparationRefusesChangesNothing) {
  TDocument doc;
  Start(doc, {10}, 100, -1);
  doc.ChangeDimensions(90, 60);
  std::vector<QSize> asked;
  doc.SetStepPreparation([&](QSize Size) {
    asked.push_back(Size);
    throw std::runtime_error("no memory");
  });
  EXPECT_THROW(doc.Undo(), std::runtime_error);
  EXPECT_EQ(doc.Animation().Size(), QSize(90, 60));
  EXPECT_EQ(doc.History().index(), 1);
  doc.SetStepPreparation([&](QSize Size) { asked.push_back(Size); });
  EXPECT_TRUE(doc.Undo());
  EXPECT_EQ(doc.Animation().Size(), NewAnimation().Size());
  EXPECT_EQ(asked, std::vector<QSize>(2, NewAnimation().Size()));
}

// Which paths leave the project saved. Edits of the working frame alone are
// never unsaved work: a save does not write them.
TEST(Document, SavedFollowsWhatASaveWrites) {
  struct TRow {
    const char* Name;
    std::function<void(TDocument&)> Steps;
    bool Saved;
  };
  const std::vector<TRow> rows{
      {"a drag alone", [](TDocument& D) { Move(D, 4); }, true},
      {"next frame", [](TDocument& D) { D.NextFrame(); }, false},
      {"next frame, undo",
       [](TDocument& D) {
         D.NextFrame();
         D.Undo();
       },
       true},
      {"next frame, undo, redo",
       [](TDocument& D) {
         D.NextFrame();
         D.Undo();
         D.Redo();
       },
       false},
      {"next frame, save, undo",
       [](TDocument& D) {
         D.NextFrame();
         D.MarkSaved();
         D.Undo();
       },
       false},
      {"next frame, save, drag, undo the drag",
       [](TDocument& D) {
         D.NextFrame();
         D.MarkSaved();
         Move(D, 4);
         D.Undo();
       },
       true},
      {"next frame, save, undo, next frame",
       [](TDocument& D) {
         D.NextFrame();
         D.MarkSaved();
         D.Undo();
         D.NextFrame();
       },
       false},
      {"dimensions, undo",
       [](TDocument& D) {
         D.ChangeDimensions(90, 60);
         D.Undo();
       },
       true},
      {"a type added",
       [](TDocument& D) {
         auto arm = std::make_shared<TFigureType>();
         arm->AddSegment(0, SegmentLine, 20, 3, 0.5, 0);
         D.AddFigureType(arm, "arm", "Load Figure Type");
       },
       false},
  };
  for (const TRow& row : rows) {
    TDocument doc;
    Start(doc, {}, 100, -1);
    std::vector<bool> said;
    QObject::connect(&doc, &TDocument::SavedChanged, [&](bool Saved) { said.push_back(Saved); });
    row.Steps(doc);
    EXPECT_EQ(doc.IsSaved(), row.Saved) << row.Name;
    // The signal follows every change and only changes.
    if (!said.empty()) {
      EXPECT_EQ(said.back(), row.Saved) << row.Name;
    }
    for (std::size_t i = 1; i < said.size(); ++i) EXPECT_NE(said[i], said[i - 1]) << row.Name;
  }
}

// The frame commands: (frames, working frame, frame under edit) and a
// command give (frames, working frame, frame under edit, ghost). Frames are
// named by their figure's place; -1 is no ghost.
TEST(Document, FrameCommandsLeaveFramesAndEditState) {
  struct TRow {
    const char* Name;
    std::vector<int> Frames;
    int Working, Edited;
    std::function<void(TDocument&)> Command;
    std::vector<int> FramesAfter;
    int WorkingAfter, EditedAfter, GhostAfter;
  };
  const auto next = [](TDocument& D) { D.NextFrame(); };
  const auto del = [](int I) { return [I](TDocument& D) { D.DeleteFrame(I); }; };
  const auto ins = [](int I) { return [I](TDocument& D) { D.InsertFrame(I); }; };
  const auto show = [](int I) { return [I](TDocument& D) { D.ShowFrame(I); }; };
  const auto tween = [](int I, int N, TEasing E = TEasing::Linear) {
    return [I, N, E](TDocument& D) { D.TweenFrames(I, N, E); };
  };
  const auto open = [](int I, bool Store) { return [I, Store](TDocument& D) { D.OpenFrame(I, Store); }; };
  const std::vector<TRow> rows{
      {"next frame stores the new frame", {10, 20}, 30, -1, next, {10, 20, 30}, 30, -1, 30},
      {"next frame stores a frame under edit", {10, 20, 30}, 25, 1, next, {10, 25, 30}, 30, -1, 30},
      {"next frame stores the last frame under edit", {10, 20}, 25, 1, next, {10, 25}, 25, -1, 25},
      {"show a frame", {10, 20, 30}, 40, -1, show(1), {10, 20, 30}, 20, 1, 10},
      {"show the first frame", {10, 20}, 40, -1, show(0), {10, 20}, 10, 0, -1},
      {"open the new frame: a copy of the last", {10, 20, 30}, 25, 1, open(-1, false), {10, 20, 30}, 30, -1, 30},
      {"open the new frame from itself: nothing", {10, 20}, 25, -1, open(-1, true), {10, 20}, 25, -1, -1},
      {"store the frame under edit, open another", {10, 20, 30}, 25, 1, open(0, true), {10, 25, 30}, 10, 0, -1},
      {"store the last, open the new frame", {10, 20}, 25, 1, open(-1, true), {10, 25}, 25, -1, 25},
      {"store the new frame, open the last", {10, 20}, 25, -1, open(1, true), {10, 20, 25}, 20, 1, 10},
      {"nothing to store: only open", {10, 20}, 20, 1, open(0, true), {10, 20}, 10, 0, -1},
      {"insert copies the frame before", {10, 20, 30}, 40, -1, ins(2), {10, 20, 20, 30}, 20, 2, 20},
      {"insert at the start copies the first", {10, 20}, 40, -1, ins(0), {10, 10, 20}, 10, 0, 10},
      {"delete a frame before the one under edit", {10, 20, 30, 40}, 35, 3, del(0), {20, 30, 40}, 35, 2, -1},
      {"delete the frame under edit", {10, 20, 30}, 25, 1, del(1), {10, 30}, 30, -1, 30},
      {"delete the frame just before it", {10, 20, 30}, 35, 2, del(1), {10, 30}, 30, -1, 30},
      {"delete the last frame", {10, 20, 30}, 50, -1, del(2), {10, 20}, 20, -1, 20},
      {"delete the only frame", {10}, 50, -1, del(0), {}, 50, -1, -1},
      {"delete the only frame under edit", {10}, 50, 0, del(0), {}, 50, -1, -1},
      {"tween three frames", {0, 60, 90}, 90, -1, tween(0, 2), {0, 20, 40, 60, 90}, 20, 1, 0},
      {"tween easing in", {0, 90}, 90, -1, tween(0, 2, TEasing::EaseIn), {0, 10, 40, 90}, 10, 1, 0},
      {"tween refuses the last frame", {0, 60}, 90, -1, tween(1, 2), {0, 60}, 90, -1, -1},
  };
  for (const TRow& row : rows) {
    TDocument doc;
    Start(doc, row.Frames, row.Working, row.Edited);
    row.Command(doc);
    const TEditState& edit = doc.Edit();
    EXPECT_EQ(NamesOf(doc.Animation().Frames), row.FramesAfter) << row.Name;
    EXPECT_EQ(NameOf(edit.WorkingFrame), row.WorkingAfter) << row.Name;
    EXPECT_EQ(edit.EditedFrameIndex, row.EditedAfter) << row.Name;
    EXPECT_EQ(edit.Ghost ? NameOf(*edit.Ghost) : -1, row.GhostAfter) << row.Name;
    // Undo gives back the frames and what was under edit.
    doc.Undo();
    EXPECT_EQ(NamesOf(doc.Animation().Frames), row.Frames) << row.Name << ", undone";
    EXPECT_EQ(NameOf(doc.WorkingFrame()), row.Working) << row.Name << ", undone";
    EXPECT_EQ(doc.EditedFrameIndex(), row.Edited) << row.Name << ", undone";
  }
}

// Playback shows the stored frames as they are: it is told once, before
// anything changes, of every step that changes them or the frame under
// edit, and of no other.
TEST(Document, FramesChangingComesBeforeStepsOnTheFramesAlone) {
  struct TRow {
    const char* Name;
    std::function<void(TDocument&)> Command;
    bool Told;
  };
  const std::vector<TRow> rows{
      {"next frame", [](TDocument& D) { D.NextFrame(); }, true},
      {"show a frame", [](TDocument& D) { D.ShowFrame(0); }, true},
      {"insert", [](TDocument& D) { D.InsertFrame(1); }, true},
      {"insert where there is no frame", [](TDocument& D) { D.InsertFrame(9); }, false},
      {"delete", [](TDocument& D) { D.DeleteFrames(0, 2); }, true},
      {"paste frames", [](TDocument& D) { D.InsertFrames(0, {D.WorkingFrame()}, {}, QString()); }, true},
      {"paste into frames", [](TDocument& D) { D.PasteIntoFrames({}, D.WorkingFrame().Items, 0, 1); }, true},
      {"tween", [](TDocument& D) { D.TweenFrames(0, 1); }, true},
      {"undo", [](TDocument& D) { D.Undo(); }, true},
      {"reset", [](TDocument& D) { Start(D, {1}, 1, -1); }, true},
      {"move a figure", [](TDocument& D) { Move(D, 5); }, false},
      {"add a figure", [](TDocument& D) { D.AddFigure(2); }, false},
      {"delete a figure", [](TDocument& D) { D.DeleteFigure(); }, false},
  };
  for (const TRow& row : rows) {
    TDocument doc;
    Start(doc, {10, 20, 30}, 25, 1);
    Move(doc, 1);  // a step for undo to take
    std::vector<std::pair<std::size_t, int>> told;
    QObject::connect(&doc, &TDocument::FramesChanging,
                     [&] { told.emplace_back(doc.Animation().Frames.size(), NameOf(doc.WorkingFrame())); });
    row.Command(doc);
    const std::vector<std::pair<std::size_t, int>> before{{3, 26}};
    EXPECT_EQ(told, row.Told ? before : decltype(told){}) << row.Name;
  }
}

// The frames of several: removed, inserted, filled with pasted figures. A
// frame is named by its first figure's place, and by the number of its
// figures beyond that (x + 1000 per extra figure).
TEST(Document, CommandsOnSeveralFramesLeaveFramesAndEditState) {
  const auto figures = [](int X, int Count) {
    std::vector<TFigure> all;
    all.reserve(static_cast<std::size_t>(Count));
    const TAnimation a = BarAnimation();
    for (int i = 0; i < Count; ++i) all.push_back(Frame(a, X).Items.front());
    return all;
  };
  struct TRow {
    const char* Name;
    std::vector<int> Frames;
    int Edited;
    std::function<void(TDocument&)> Command;
    std::vector<int> FramesAfter;
    int WorkingAfter, EditedAfter;
  };
  const auto del = [](int F, int C) { return [F, C](TDocument& D) { D.DeleteFrames(F, C); }; };
  const auto paste = [&](int F, int C) { return [=](TDocument& D) { D.PasteIntoFrames({}, figures(5, 1), F, C); }; };
  const auto insert = [](int At) {
    return [At](TDocument& D) { D.InsertFrames(At, {D.Animation().Frames[0], D.Animation().Frames[1]}, {}, "Paste"); };
  };
  const std::vector<TRow> rows{
      {"delete before the frame under edit", {10, 20, 30, 40, 50}, 4, del(0, 2), {30, 40, 50}, 99, 2},
      {"delete the frames under edit", {10, 20, 30, 40, 50}, 1, del(1, 2), {10, 40, 50}, 50, -1},
      {"delete the frames just before it", {10, 20, 30, 40, 50}, 3, del(1, 2), {10, 40, 50}, 50, -1},
      {"delete up to the last", {10, 20, 30, 40, 50}, -1, del(3, 2), {10, 20, 30}, 30, -1},
      {"delete after the frame under edit", {10, 20, 30, 40, 50}, 0, del(2, 2), {10, 20, 50}, 99, 0},
      {"delete them all", {10, 20}, 1, del(0, 2), {}, 99, -1},
      {"insert before the frame under edit", {10, 20, 30}, 1, insert(0), {10, 20, 10, 20, 30}, 99, 3},
      {"insert at the end", {10, 20, 30}, 1, insert(3), {10, 20, 30, 10, 20}, 99, 1},
      {"paste into frames", {10, 20, 30, 40}, 0, paste(1, 2), {10, 1020, 1030, 40}, 99, 0},
      {"paste into the frame under edit", {10, 20, 30}, 1, paste(1, 1), {10, 1020, 30}, 1099, 1},
      {"paste up to the last frame, the new frame after it", {10, 20, 30}, -1, paste(1, 2), {10, 1020, 1030}, 1099, -1},
      {"paste short of the last frame", {10, 20, 30}, -1, paste(0, 2), {1010, 1020, 30}, 99, -1},
  };
  for (const TRow& row : rows) {
    TDocument doc;
    Start(doc, row.Frames, 99, row.Edited);
    row.Command(doc);
    const auto name = [](const TFigures& F) { return NameOf(F) + 1000 * (F.Count() - 1); };
    std::vector<int> frames;
    for (const TFigures& f : doc.Animation().Frames) frames.push_back(name(f));
    EXPECT_EQ(frames, row.FramesAfter) << row.Name;
    EXPECT_EQ(name(doc.WorkingFrame()), row.WorkingAfter) << row.Name;
    EXPECT_EQ(doc.EditedFrameIndex(), row.EditedAfter) << row.Name;
    EXPECT_EQ(doc.History().index(), 1) << row.Name << ": one step";
    doc.Undo();
    EXPECT_EQ(NamesOf(doc.Animation().Frames), row.Frames) << row.Name << ", undone";
  }
}

// A frame full of figures takes no pasted ones; the others do.
TEST(Document, PasteIntoFramesSkipsFramesThatCannotHoldTheFigures) {
  TDocument doc;
  Start(doc, {10, 20}, 99, -1);
  TAnimation full = doc.Animation();
  full.Frames[0].Items.resize(TFigures::MaxFigures, full.Frames[0].Items.front());
  doc.Reset(std::move(full), TEditState(doc.Edit()));
  const std::vector<TFigure> one = doc.Animation().Frames[1].Items;
  EXPECT_EQ(doc.PasteIntoFrames({}, one, 0, 2), 1);
  EXPECT_EQ(doc.Animation().Frames[0].Count(), TFigures::MaxFigures);
  EXPECT_EQ(doc.Animation().Frames[1].Count(), 2);
}

// Commands on the selected figure act on every selected figure; the one
// clicked last stays the one the controls show.
TEST(Document, SelectedFiguresAreChangedTogether) {
  // Working frames of bars at the given places, and the selection as (last, others).
  struct TRow {
    const char* Name;
    std::vector<int> Selected;
    int Last;
    std::function<void(TDocument&)> Command;
    std::vector<int> FrameAfter;  // the bars' places, in drawing order
    int LastAfter;
    std::vector<int> SelectedAfter;
  };
  const auto places = [](TDocument& D, const std::vector<int>& X, const std::vector<int>& Selected, int Last) {
    TAnimation a = BarAnimation();
    TEditState edit;
    for (int x : X) edit.WorkingFrame.Items.push_back(Frame(a, x).Items.front());
    D.Reset(std::move(a), std::move(edit));
    D.SelectFigures(Selected, Last);
  };
  const std::vector<TRow> rows{
      {"delete one", {1}, 1, [](TDocument& D) { D.DeleteFigure(); }, {10, 30, 40}, 1, {1}},
      {"delete the last one", {3}, 3, [](TDocument& D) { D.DeleteFigure(); }, {10, 20, 30}, 2, {2}},
      {"delete several", {0, 2}, 2, [](TDocument& D) { D.DeleteFigure(); }, {20, 40}, 1, {1}},
      {"delete up to the end", {2, 3}, 2, [](TDocument& D) { D.DeleteFigure(); }, {10, 20}, 1, {1}},
      {"front", {0, 2}, 0, [](TDocument& D) { D.FigureToFront(); }, {20, 40, 10, 30}, 2, {2, 3}},
      {"back", {1, 3}, 3, [](TDocument& D) { D.FigureToBack(); }, {20, 40, 10, 30}, 1, {0, 1}},
      {"move",
       {1, 2},
       2,
       [](TDocument& D) {
         std::vector<std::pair<int, TFigure>> moved;
         for (int i : D.SelectedFigures()) {
           TFigure f = D.WorkingFrame().Items[i];
           f.MoveBy(RealPoint(5, 0));
           moved.emplace_back(i, f);
         }
         D.DragFigures(moved);
       },
       {10, 25, 35, 40},
       2,
       {1, 2}},
      {"centre", {0, 3}, 3, [](TDocument& D) { D.CenterSelected(); }, {238, 20, 30, 268}, 3, {0, 3}},
      {"duplicate", {1, 3}, 3, [](TDocument& D) { D.DuplicateFigures(); }, {10, 20, 30, 40, 30, 50}, 5, {4, 5}},
  };
  for (const TRow& row : rows) {
    TDocument doc;
    places(doc, {10, 20, 30, 40}, row.Selected, row.Last);
    row.Command(doc);
    std::vector<int> frame;
    for (const TFigure& f : doc.WorkingFrame().Items) frame.push_back(qRound(f.Root().X));
    EXPECT_EQ(frame, row.FrameAfter) << row.Name;
    EXPECT_EQ(doc.SelectedFigure(), row.LastAfter) << row.Name;
    EXPECT_EQ(doc.SelectedFigures(), row.SelectedAfter) << row.Name;
  }
}

// Pasted figures land where they were, or move aside from identical ones.
TEST(Document, PastedFiguresMoveAsideFromTheirOriginals) {
  TDocument doc;
  Start(doc, {}, 100, -1);
  const TFigure original = doc.WorkingFrame().Items.front();
  TFigure elsewhere = original;
  elsewhere.MoveBy(RealPoint(0, 40));
  ASSERT_TRUE(doc.PasteFigures({}, {elsewhere}, "Paste"));
  ASSERT_TRUE(doc.PasteFigures({}, {original}, "Paste"));
  ASSERT_TRUE(doc.PasteFigures({}, {original}, "Paste"));
  std::vector<QPoint> roots;
  for (const TFigure& f : doc.WorkingFrame().Items) roots.push_back(QPoint(qRound(f.Root().X), qRound(f.Root().Y)));
  EXPECT_EQ(roots, (std::vector<QPoint>{{100, 50}, {100, 90}, {110, 60}, {120, 70}}));
  EXPECT_EQ(doc.SelectedFigures(), std::vector<int>{3});
  TAnimation crowded = doc.Animation();
  TEditState full = doc.Edit();
  full.WorkingFrame.Items.resize(TFigures::MaxFigures, original);
  doc.Reset(std::move(crowded), std::move(full));
  EXPECT_FALSE(doc.PasteFigures({}, {original}, "Paste"));
  EXPECT_EQ(doc.History().index(), 0);
}

}  // namespace

// Holds: set for a range or for the frame under edit, kept within 1 to 100,
// a step each (none when nothing changes); Insert copies a frame with its
// hold, Tween's in-betweens last a tick, and undoing gives every hold back.
TEST(Document, HoldsAreStepsThatTheFrameCommandsKeep) {
  TDocument doc;
  Start(doc, {10, 20, 30, 40}, 20, 1);
  const auto holds = [&] {
    std::vector<int> h;
    for (const TFigures& f : doc.Animation().Frames) h.push_back(f.Hold);
    return h;
  };
  using THolds = std::vector<int>;
  doc.SetHolds(0, 2, 3);
  EXPECT_EQ(holds(), (THolds{3, 3, 1, 1}));
  EXPECT_EQ(doc.WorkingFrame().Hold, 3);  // frame 1 is under edit
  doc.SetHolds(0, 2, 3);
  EXPECT_EQ(doc.History().count(), 1);
  doc.ChangeEditedHold(500);
  EXPECT_EQ(holds(), (THolds{3, 100, 1, 1}));
  doc.ChangeEditedHold(-500);
  EXPECT_EQ(holds(), (THolds{3, 1, 1, 1}));
  doc.InsertFrame(1);
  EXPECT_EQ(holds(), (THolds{3, 3, 1, 1, 1}));
  doc.TweenFrames(0, 2);
  EXPECT_EQ(holds(), (THolds{3, 1, 1, 3, 1, 1, 1}));
  // The new frame's hold goes with it when it is stored.
  doc.OpenFrame(-1, false);
  doc.ChangeEditedHold(4);
  EXPECT_EQ(holds().back(), 1);
  doc.NextFrame();
  EXPECT_EQ(holds(), (THolds{3, 1, 1, 3, 1, 1, 1, 5}));
  EXPECT_EQ(doc.TotalTicks(), 16);
  EXPECT_EQ(doc.History().count(), 8);
  while (doc.Undo()) {
  }
  EXPECT_EQ(holds(), (THolds{1, 1, 1, 1}));
  EXPECT_EQ(doc.TotalTicks(), 4);
  EXPECT_EQ(doc.WorkingFrame().Hold, 1);
}
