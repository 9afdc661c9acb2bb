// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and Redo of the main window: random sequences of every command
// checked against a record kept apart from the document, the saved state,
// and the Edit menu.

#include <QAction>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <optional>
#include <random>

#include "editor/TimelineStrip.h"
#include "files/ProjectFile.h"
#include "model/Tween.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/support/TestPictures.h"

namespace {

// What the project file should hold, changed by each command the simple way.
struct TRecord {
  TAnimation Animation;

  explicit TRecord(const TAnimation& Start) : Animation(Start) {}

  void Resize(int W, int H) {
    QImage resized(W, H, QImage::Format_RGB32);
    resized.fill(Qt::white);
    QPainter(&resized).drawImage(0, 0, Animation.Background);
    Animation.Background = resized;
    Animation.Width = W;
    Animation.Height = H;
  }
  QByteArray Payload() const { return ProjectPayload(Animation); }
};

// One point of the history: what a save would write and what the drawing area edits.
struct TStep {
  QByteArray Payload;
  TEditState Edit;
};

class MainHistoryTest : public MainFormTest {
 protected:
  TStep Now() { return {ProjectPayload(Anim()), Doc().Edit()}; }

  // The window shows the document: the drawing area as repainted from
  // scratch, one thumbnail per frame, each showing its frame.
  void ExpectWindowFollows(const std::string& Where) {
    ASSERT_EQ(Picture(), FullRepaint()) << Where;
    TTimelineStrip& strip = *Form->Controls().TimelineImages;
    ASSERT_EQ(strip.Count(), static_cast<int>(Anim().Frames.size())) << Where;
    for (int i = 0; i < strip.Count(); ++i) {
      const QImage& shown = strip.Thumbnail(i).Picture;
      const TFigures& frame = Anim().Frames[static_cast<std::size_t>(i)];
      const QSize size = strip.ThumbnailSize();
      ASSERT_TRUE(shown == TimelineThumbnail(Anim(), frame, size, TThumbnailMaking::FullSize) ||
                  shown == TimelineThumbnail(Anim(), frame, size, TThumbnailMaking::Supersampled))
          << Where << ": thumbnail " << i;
    }
  }

  // Selecting alone is no step, so the selection is left out: an undo gives
  // back the selection there was when the command was given.
  static void ExpectSameEdit(const TEditState& Want, const TEditState& Got, const std::string& Where) {
    EXPECT_EQ(Got.WorkingFrame, Want.WorkingFrame) << Where;
    EXPECT_EQ(Got.EditedFrameIndex, Want.EditedFrameIndex) << Where;
    EXPECT_EQ(Got.Ghost, Want.Ghost) << Where;
  }

  // What a command was and how many steps it added to the history: 0 when
  // it changed nothing or merged into the step before, -1 when that merge
  // brought the step back to where it began.
  struct TDone {
    std::string Name;
    int Steps = 1;
  };
  // The figure before the latest scale step, while a scale change would merge into it.
  std::optional<TFigure> OpenScale;

  // Carries out one command chosen by Random, on the document and on the
  // record, and says how many steps it should have added.
  TDone RandomCommand(std::mt19937& Random, TRecord& Record) {
    Chance = &Random;
    const int kind = Pick(0, 22);
    for (const auto& [kinds, command] : Commands)
      if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) return (this->*command)(kind, Record);
    return ManyFramesCommand(kind, Record);
  }

  std::mt19937* Chance = nullptr;
  int Pick(int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(*Chance); }
  int FrameCount() const { return static_cast<int>(Anim().Frames.size()); }
  bool HasFigure() { return Doc().WorkingFrame().Count() > 0; }
  using TCommand = TDone (MainHistoryTest::*)(int, TRecord&);
  const std::vector<std::pair<std::vector<int>, TCommand>> Commands{
      {{0, 1, 2, 3, 4, 5}, &MainHistoryTest::FigureCommand},
      {{6, 7, 17, 18}, &MainHistoryTest::SelectionCommand},
      {{8, 9, 10, 11, 12, 16}, &MainHistoryTest::FrameCommand},
      {{13, 14, 15}, &MainHistoryTest::PictureCommand}};

  TDone FigureCommand(int Kind, TRecord& Record) {
    const auto pick = [this](int Low, int High) { return Pick(Low, High); };
    const bool figure = HasFigure();
    switch (Kind) {
      case 0:
        Doc().AddFigure(pick(1, Anim().Types.Count() - 1));
        return {"add figure"};
      case 1:
        if (!figure) return {"nothing", 0};
        Doc().DeleteFigure();
        return {"delete figure"};
      case 2:
      case 3: {
        if (!figure) return {"nothing", 0};
        const int index = pick(0, Doc().WorkingFrame().Count() - 1);
        const int dx = pick(-9, 9), dy = pick(-9, 9);
        Doc().Select(index);
        MoveFigure(index, RealPoint(static_cast<float>(dx), static_cast<float>(dy)));
        return {"drag", dx != 0 || dy != 0 ? 1 : 0};
      }
      case 4:
        if (!figure) return {"nothing", 0};
        Doc().FlipFigure();
        return {"flip"};
      case 5:
        if (!figure) return {"nothing", 0};
        Doc().SetFigureColor(static_cast<TColor>(pick(0, 0xFFFFFF)));
        return {"colour"};
      default:
        return {"nothing", 0};
    }
  }

  TDone SelectionCommand(int Kind, TRecord& Record) {
    const auto pick = [this](int Low, int High) { return Pick(Low, High); };
    const bool figure = HasFigure();
    switch (Kind) {
      case 6: {
        if (!figure) return {"nothing", 0};
        // Scale changes one after another merge into one step, which leaves
        // the history when they bring the figure back to its scale before.
        const TFigure before = *Doc().Selected();
        Doc().SetFigureScale(static_cast<float>(pick(5, 30)) / 10.0f);
        const TFigure& after = *Doc().Selected();
        if (after == before) return {"scale unchanged", 0};
        if (!OpenScale) {
          OpenScale = before;
          return {"scale"};
        }
        if (after != *OpenScale) return {"scale again", 0};
        OpenScale.reset();
        return {"scale back", -1};
      }
      case 7: {
        if (!figure) return {"nothing", 0};
        const bool front = pick(0, 1);
        const int selected = Doc().SelectedFigure(), last = Doc().WorkingFrame().Count() - 1;
        (front ? Doc().FigureToFront() : Doc().FigureToBack());
        return {"front or back", selected == (front ? last : 0) ? 0 : 1};
      }
      case 17: {
        // Two figures selected together and dragged by their roots.
        const int count = Doc().WorkingFrame().Count();
        if (count < 2) return {"nothing", 0};
        const int a = pick(0, count - 1), b = pick(0, count - 1), dx = pick(-5, 5);
        Doc().SelectFigures({a, b}, b);
        std::vector<std::pair<int, TFigure>> moved;
        for (int i : Doc().SelectedFigures()) {
          TFigure f = Doc().WorkingFrame().Items[static_cast<std::size_t>(i)];
          f.MoveBy(RealPoint(static_cast<float>(dx), 1));
          moved.emplace_back(i, std::move(f));
        }
        Doc().EndGesture();
        Doc().DragFigures(moved);
        Doc().EndGesture();
        // One figure selected again, so that the other commands' steps stay simple to foresee.
        Doc().Select(b);
        return {"drag together"};
      }
      case 18: {
        const std::size_t selected = Doc().SelectedFigures().size();
        if (selected == 0 || Doc().WorkingFrame().Items.size() + selected > TFigures::MaxFigures) return {"nothing", 0};
        Doc().DuplicateFigures();
        return {"duplicate figures"};
      }
      default:
        return {"nothing", 0};
    }
  }

  TDone FrameCommand(int Kind, TRecord& Record) {
    const auto pick = [this](int Low, int High) { return Pick(Low, High); };
    const int frames = FrameCount();
    switch (Kind) {
      case 8:
      case 9: {
        const int edited = Doc().EditedFrameIndex();
        if (edited == -1)
          Record.Animation.Frames.push_back(Doc().WorkingFrame());
        else
          Record.Animation.Frames[static_cast<std::size_t>(edited)] = Doc().WorkingFrame();
        Form->Frames().NextFrameButtonClick();
        return {"next frame"};
      }
      case 10:
        if (frames == 0) return {"nothing", 0};
        Form->Frames().FrameClick(pick(0, frames - 1));
        return {"show frame"};
      case 11: {
        if (frames == 0) return {"nothing", 0};
        const int at = pick(0, frames - 1);
        auto& stored = Record.Animation.Frames;
        stored.insert(stored.begin() + at, stored[static_cast<std::size_t>(at > 0 ? at - 1 : 0)]);
        Form->Frames().FramePopup(at);
        Form->Frames().InsertFrameClick();
        return {"insert " + std::to_string(at)};
      }
      case 12: {
        if (frames == 0) return {"nothing", 0};
        const int at = pick(0, frames - 1);
        Record.Animation.Frames.erase(Record.Animation.Frames.begin() + at);
        Form->Frames().FramePopup(at);
        Form->Frames().DeleteFrameClick();
        return {"delete " + std::to_string(at)};
      }
      case 16: {
        // A frame opened from the strip or the Go menu, the edits it leaves
        // stored first or not.
        if (frames == 0) return {"nothing", 0};
        const bool store = pick(0, 1);
        const int edited = Doc().EditedFrameIndex(), at = pick(-1, frames - 1);
        auto& stored = Record.Animation.Frames;
        const TFigures& working = Doc().WorkingFrame();
        if (store && edited >= 0 && working != stored[static_cast<std::size_t>(edited)])
          stored[static_cast<std::size_t>(edited)] = working;
        if (store && edited == -1 && working != stored.back() && at != -1) stored.push_back(working);
        Form->Controls().StoreEditsAction->setChecked(store);
        (at == -1 ? Form->Frames().NewFrameClick() : Form->Frames().FrameClick(at));
        // The other commands open frames with the option off, as the record expects.
        Form->Controls().StoreEditsAction->setChecked(false);
        return {std::string(store ? "store and " : "") + "go to " + std::to_string(at),
                at == -1 && edited == -1 ? 0 : 1};
      }
      default:
        return {"nothing", 0};
    }
  }

  TDone PictureCommand(int Kind, TRecord& Record) {
    const auto pick = [this](int Low, int High) { return Pick(Low, High); };
    const int frames = FrameCount();
    switch (Kind) {
      case 13: {
        const int w = pick(40, 200), h = pick(40, 200);
        Record.Animation.Background = Gradient(w, h);
        Record.Animation.Width = w;
        Record.Animation.Height = h;
        Record.Animation.HasBackground = true;
        Record.Animation.BackgroundKind = 0;
        Doc().LoadBackground(Gradient(w, h), 0, {});
        return {"load background"};
      }
      case 14:
        if (pick(0, 1) && Anim().HasBackground) {
          Record.Animation.Background.fill(Qt::white);
          Record.Animation.HasBackground = false;
          Doc().ClearBackground();
          return {"clear background"};
        } else {
          const int w = pick(40, 200), h = pick(40, 200);
          const bool changes = w != Anim().Width || h != Anim().Height;
          if (changes) Record.Resize(w, h);
          Form->Background().ChangeDimensions(w, h);
          return {"dimensions", changes ? 1 : 0};
        }
      case 15: {
        if (frames < 2) return {"nothing", 0};
        const int at = pick(0, frames - 2), count = pick(1, 3);
        const auto easing = static_cast<TEasing>(pick(0, 3));
        auto& stored = Record.Animation.Frames;
        const TFigures from = stored[static_cast<std::size_t>(at)], to = stored[static_cast<std::size_t>(at) + 1];
        for (int i = count; i >= 1; --i) stored.insert(stored.begin() + at + 1, InBetween(from, to, i, count, easing));
        Dialogs.TweenAnswers.push_back(TTweenChoice{count, easing});
        Form->Frames().FramePopup(at);
        Form->Frames().TweenClick();
        return {"tween " + std::to_string(count)};
      }
      default:
        return {"nothing", 0};
    }
  }

  TDone ManyFramesCommand(int Kind, TRecord& Record) {
    const auto pick = [this](int Low, int High) { return Pick(Low, High); };
    const int frames = FrameCount();
    const bool figure = HasFigure();
    switch (Kind) {
      case 19: {
        if (frames == 0 || !figure) return {"nothing", 0};
        std::vector<TFigure> figures;
        for (int i : Doc().SelectedFigures())
          figures.push_back(Doc().WorkingFrame().Items[static_cast<std::size_t>(i)]);
        const int first = pick(0, frames - 1), count = pick(1, frames - first);
        int filled = 0;
        for (int i = first; i < first + count; ++i) {
          auto& items = Record.Animation.Frames[static_cast<std::size_t>(i)].Items;
          if (items.size() + figures.size() > TFigures::MaxFigures) continue;
          items.insert(items.end(), figures.begin(), figures.end());
          ++filled;
        }
        Doc().PasteIntoFrames({}, figures, first, count);
        return {"paste into " + std::to_string(count) + " frames", filled > 0 ? 1 : 0};
      }
      case 20: {
        if (frames == 0) return {"nothing", 0};
        const int first = pick(0, frames - 1), last = pick(first, frames - 1);
        auto& stored = Record.Animation.Frames;
        if (pick(0, 1)) {
          const std::vector<TFigures> copies(stored.begin() + first, stored.begin() + last + 1);
          stored.insert(stored.begin() + last + 1, copies.begin(), copies.end());
          Doc().InsertFrames(last + 1, copies, {}, QStringLiteral("Duplicate Frames"));
          return {"duplicate frames"};
        }
        stored.erase(stored.begin() + first, stored.begin() + last + 1);
        Doc().DeleteFrames(first, last - first + 1);
        return {"delete frames"};
      }
      case 21: {
        // The rate bar, as the user moves it: one click a step.
        const int rate = pick(1, 100);
        if (rate == Form->Controls().RateScrollBar->value()) return {"nothing", 0};
        Record.Animation.PlaybackInterval = rate;
        Form->Controls().RateScrollBar->setValue(rate);
        return {"rate"};
      }
      default: {
        if (Anim().Types.Count() >= 6) return {"nothing", 0};
        auto type = std::make_shared<TFigureType>();
        type->AddSegment(0, SegmentLine, static_cast<float>(pick(10, 40)), 3, 0.5, 0);
        const QString name = QStringLiteral("arm%1").arg(Anim().Types.Count());
        Record.Animation.Types.Append(type, name);
        Doc().AddFigureType(type, name, QStringLiteral("Load Figure Type"));
        return {"add type"};
      }
    }
  }
};

// Every command, at random: after each one the document holds what the
// record holds and the window shows it; undoing every step passes back
// through each earlier state, redoing every step forward again.
TEST_F(MainHistoryTest, RandomCommandsUndoAndRedoThroughEveryState) {
  for (const unsigned seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    StartAnimation(120, 90);
    OpenScale.reset();
    std::mt19937 random(seed);
    TRecord record(Anim());
    std::vector<TStep> steps{Now()};
    std::vector<std::string> names{"start"};
    while (steps.size() < 60) {
      const int before = Doc().History().index();
      const TDone done = RandomCommand(random, record);
      // Any command but a scale change ends the scale change's gesture.
      if (done.Name.rfind("scale", 0) != 0 && done.Name != "nothing") OpenScale.reset();
      const std::string where = std::to_string(steps.size()) + " " + done.Name;
      ASSERT_EQ(ProjectPayload(Anim()), record.Payload()) << where;
      ASSERT_NO_FATAL_FAILURE(ExpectWindowFollows(where));
      ASSERT_EQ(Doc().History().index(), before + done.Steps) << where;
      if (done.Steps == 1) {
        steps.push_back(Now());
        names.push_back(done.Name);
      } else if (done.Steps == 0) {
        steps.back() = Now();
      } else {
        steps.pop_back();
        names.pop_back();
        ASSERT_EQ(Now().Payload, steps.back().Payload) << where;
        ExpectSameEdit(steps.back().Edit, Doc().Edit(), where);
      }
    }
    for (std::size_t k = steps.size() - 1; k > 0; --k) {
      Form->History().UndoClick();
      const std::string where = "undo " + names[k];
      ASSERT_EQ(ProjectPayload(Anim()), steps[k - 1].Payload) << where;
      ExpectSameEdit(steps[k - 1].Edit, Doc().Edit(), where);
      ASSERT_NO_FATAL_FAILURE(ExpectWindowFollows(where));
    }
    EXPECT_FALSE(Doc().History().canUndo());
    EXPECT_TRUE(Doc().IsSaved());
    for (std::size_t k = 1; k < steps.size(); ++k) {
      Form->History().RedoClick();
      const std::string where = "redo " + names[k];
      ASSERT_EQ(ProjectPayload(Anim()), steps[k].Payload) << where;
      ExpectSameEdit(steps[k].Edit, Doc().Edit(), where);
      ASSERT_NO_FATAL_FAILURE(ExpectWindowFollows(where));
    }
  }
}

// Tween on a thumbnail: asks for the count and the easing (offering the
// last ones chosen), inserts that many in-between frames as one step, and
// is grey on the last thumbnail.
TEST_F(MainHistoryTest, TweenInsertsInBetweenFramesAsOneStep) {
  Form->Frames().NextFrameButtonClick();
  ChangeFigure(0, [](TFigure& F) {
    F.MoveBy(RealPoint(60, 0));
    F.RotateSegment(2, 1.0);
  });
  Form->Frames().NextFrameButtonClick();
  const QByteArray before = ProjectPayload(Anim());
  Form->Frames().FramePopup(1);
  EXPECT_FALSE(Form->Controls().TweenAction->isEnabled());
  Form->Frames().FramePopup(0);
  ASSERT_TRUE(Form->Controls().TweenAction->isEnabled());
  Dialogs.TweenAnswers.push_back(std::nullopt);  // Cancel
  Form->Frames().TweenClick();
  EXPECT_EQ(ProjectPayload(Anim()), before);

  Dialogs.TweenAnswers.push_back(TTweenChoice{5, TEasing::EaseOut});
  Form->Controls().TweenAction->trigger();
  ASSERT_EQ(Anim().Frames.size(), 7u);
  const QByteArray after = ProjectPayload(Anim());
  for (int i = 1; i <= 5; ++i)
    EXPECT_EQ(Anim().Frames[i], InBetween(Anim().Frames[0], Anim().Frames[6], i, 5, TEasing::EaseOut));
  EXPECT_EQ(Form->Document().EditedFrameIndex(), 1);
  EXPECT_EQ(Form->Controls().UndoAction->text(), "&Undo Tween");
  EXPECT_NO_FATAL_FAILURE(ExpectWindowFollows("tween"));
  Form->History().UndoClick();
  EXPECT_EQ(ProjectPayload(Anim()), before);
  Form->History().RedoClick();
  EXPECT_EQ(ProjectPayload(Anim()), after);
  Dialogs.TweenAnswers.push_back(std::nullopt);
  Form->Frames().TweenClick();
  const std::vector<TTweenChoice> offered{{3, TEasing::Linear}, {3, TEasing::Linear}, {5, TEasing::EaseOut}};
  EXPECT_EQ(Dialogs.TweenOffers, offered);
}

// New asks the save question after an undone step only when it left unsaved work.
TEST_F(MainHistoryTest, TheSaveQuestionFollowsTheSavedRevision) {
  struct TRow {
    const char* Name;
    std::function<void()> Steps;
    bool Asks;
  };
  const std::vector<TRow> rows{
      {"next frame, undo",
       [this] {
         Form->Frames().NextFrameButtonClick();
         Form->History().UndoClick();
       },
       false},
      {"next frame, save, undo",
       [this] {
         Form->Frames().NextFrameButtonClick();
         Doc().MarkSaved();
         Form->History().UndoClick();
       },
       true},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    Form->Project().NewClick();
    ASSERT_TRUE(Doc().IsSaved());
    row.Steps();
    EXPECT_EQ(Form->Document().IsSaved(), !row.Asks);
    Dialogs.Calls.clear();
    if (row.Asks) Dialogs.YesNoAnswers.push_back(false);
    Form->Project().NewClick();
    EXPECT_EQ(Dialogs.Questions().size(), row.Asks ? 1 : 0);
  }
}

// The Edit menu names the step it undoes or redoes, is grey when there is
// none, and its keys work wherever the focus is, also in the type list and
// the scale edit.
TEST_F(MainHistoryTest, TheEditMenuNamesItsStepAndItsKeysWorkEverywhere) {
  ShowActive();
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  EXPECT_FALSE(Form->Controls().RedoAction->isEnabled());
  MoveFigure(0, RealPoint(3, 0));
  Form->Frames().NextFrameButtonClick();
  EXPECT_EQ(Form->Controls().UndoAction->text(), "&Undo Next Frame");
  Form->History().UndoClick();
  EXPECT_EQ(Form->Controls().UndoAction->text(), "&Undo Move Figure");
  EXPECT_EQ(Form->Controls().RedoAction->text(), "&Redo Next Frame");
  EXPECT_TRUE(Form->Controls().RedoAction->isEnabled());

  struct TKey {
    QWidget* Focus;
    QKeyCombination Key;
    std::size_t Frames;  // after the key
  };
  const std::vector<TKey> keys{
      {Form->Controls().ScaleSpinEdit, Qt::CTRL | Qt::Key_Y, 1},
      {Form->Controls().FigureComboBox, Qt::CTRL | Qt::Key_Z, 0},
      {Form->Controls().ScaleSpinEdit, Qt::CTRL | Qt::SHIFT | Qt::Key_Z, 1},
      {Form->Controls().ScaleSpinEdit, Qt::CTRL | Qt::Key_Z, 0},
  };
  for (const TKey& k : keys) {
    k.Focus->setFocus();
    QTest::keyClick(k.Focus, k.Key.key(), k.Key.keyboardModifiers());
    EXPECT_EQ(Anim().Frames.size(), k.Frames)
        << k.Focus->objectName().toStdString() << " " << QKeySequence(k.Key).toString().toStdString();
  }
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), 100);
}

}  // namespace
