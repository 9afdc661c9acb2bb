// SPDX-License-Identifier: GPL-3.0-or-later
// The builder's figure type files: the bytes written, opening with undo,
// refusal of files that cannot be used, and which steps report a change of
// the type's file.

#include <QFile>
#include <QResizeEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>

#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "tests/builder/BuilderTestUtil.h"
#include "tests/support/TestPictures.h"

namespace {

class BuilderFileTest : public BuilderTest {
 protected:
  QString Path(const QString& Name) const { return Dir.filePath(Name); }
  void SaveAsHotkey(const QString& Name) {
    Dialogs.SaveAnswers.push_back({true, Path(Name), 0});
    Form->Controls().SaveAsAction->trigger();
  }
  void Open(const QString& Name) {
    Dialogs.OpenAnswers.push_back({true, Path(Name), 0});
    Form->Controls().OpenAction->trigger();
  }
  QTemporaryDir Dir;
};

TEST_F(BuilderFileTest, AFreshBuilderSavesTheKnown26BytesAndReadsThemBack) {
  SaveAsHotkey("fresh.stk");
  const QByteArray bytes = ReadTestFile(Path("fresh.stk"));
  EXPECT_EQ(bytes.toHex(' '), "01 01 00 01 00 00 00 00 40 42 d2 21 33 7f 7c d9 12 40 00 00 a0 40 00 00 00 00");
  Open("fresh.stk");
  SaveAsHotkey("again.stk");
  EXPECT_EQ(ReadTestFile(Path("again.stk")), bytes);
}

TEST_F(BuilderFileTest, OpenShowsThePoseAndStaticFlagsSavedAndUndoGoesBack) {
  Load(MakeType({{0, 40, Right}, {1, 30, Down, 9, SegmentCircle, true}}));
  Click(At(1));
  Move(QPoint(At(0).x(), At(0).y() - 40));  // turn segment 0 upwards
  Release();
  const std::vector<double> pose = Figure().Angles;
  SaveAsHotkey("kite.stk");
  EXPECT_EQ(Type().Segments[1].Static, 0) << "static bytes go back to 0 after saving";

  Form->NewClick();
  Open("kite.stk");
  EXPECT_EQ(Figure().Angles, pose);
  const int centerX = Form->Controls().FigureImage->width() / 2;
  const int centerY = Form->Controls().FigureImage->height() / 2;
  EXPECT_EQ(Figure().Points()[0], RealPoint(static_cast<float>(centerX), static_cast<float>(centerY)));
  EXPECT_EQ(Form->GetSelectedSegment(), 0);
  EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{false, true}));
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 5);
  EXPECT_EQ(UndoCaption(), "Undo Open");
  EXPECT_EQ(Form->GetFigureFileName(), Path("kite.stk"));

  Form->Controls().UndoAction->trigger();
  EXPECT_EQ(Type().SegmentCount(), 1);  // the fresh figure New had made
}

TEST_F(BuilderFileTest, AFailedSaveShowsTheErrorAndStillClearsTheStaticBytes) {
  Load(MakeType({{0, 40, Right}, {1, 30, Down, 5, SegmentLine, true}}));
  Click(At(1));
  Move(QPoint(At(0).x(), At(0).y() - 40));
  Release();
  SaveAsHotkey("no such folder/kite.stk");
  ASSERT_EQ(Dialogs.Messages().size(), 1);
  EXPECT_TRUE(Dialogs.Messages()[0].contains("kite.stk"));
  // The pose went into the records; the static flag stays the builder's own.
  EXPECT_DOUBLE_EQ(Type().Segments[0].Angle, Figure().Angles[0]);
  EXPECT_EQ(Type().Segments[1].Static, 0);
  EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{false, true}));
}

TEST_F(BuilderFileTest, SavesNeverReachAFileTheUserDidNotAgreeToWrite) {
  Load(MakeType({{0, 40, Right}, {1, 30, Down}}));
  SaveAsHotkey("robot.stk");
  const QByteArray robot = ReadTestFile(Path("robot.stk"));
  Form->NewClick();
  SaveAsHotkey("mine.stk");
  const QByteArray mine = ReadTestFile(Path("mine.stk"));

  // Undo Open gives back the name with the figure: Save writes mine.stk.
  Open("robot.stk");
  Form->Controls().UndoAction->trigger();
  EXPECT_EQ(Form->GetFigureFileName(), Path("mine.stk"));
  // No to replacing robot.stk keeps the name as it was.
  Dialogs.YesNoAnswers = {false};
  SaveAsHotkey("robot.stk");
  EXPECT_EQ(Form->GetFigureFileName(), Path("mine.stk"));
  Form->Controls().SaveAction->trigger();
  EXPECT_EQ(ReadTestFile(Path("robot.stk")), robot);
  EXPECT_EQ(ReadTestFile(Path("mine.stk")), mine);
  EXPECT_EQ(Dialogs.Questions().size(), 1);
  // With no name yet, a refused Save As leaves none, and Save asks again.
  Form->NewClick();
  Dialogs.YesNoAnswers = {false, false};
  SaveAsHotkey("robot.stk");
  Dialogs.SaveAnswers.push_back({true, Path("robot.stk"), 0});
  Form->Controls().SaveAction->trigger();
  EXPECT_EQ(ReadTestFile(Path("robot.stk")), robot);
  EXPECT_EQ(Dialogs.Questions().size(), 3);
}

TEST_F(BuilderFileTest, OpenEndsAPendingAddOrDuplicate) {
  SaveAsHotkey("two.stk");
  for (const auto start : {&TFigureBuilderForm::LineButtonClick, &TFigureBuilderForm::DuplicateButtonClick}) {
    Load(MakeType({{0, 40, Right}, {1, 30, Down}}));
    (Form.get()->*start)();
    ASSERT_FALSE(Form->Controls().DeleteButton->isEnabled());
    Open("two.stk");
    EXPECT_FALSE(Form->IsChoosingStartVertex() || Form->IsPlacingSegment() || Form->IsDuplicating());
    EXPECT_TRUE(Form->Controls().DeleteButton->isEnabled());
    // A press on the root handle adds nothing.
    Click(At(0));
    EXPECT_EQ(Type().SegmentCount(), 1);
  }
}

TEST_F(BuilderFileTest, UnusableFilesAreRefusedAndChangeNothing) {
  const QByteArray good = StkFileBytes(MakeType({{0, 40, Right}, {1, 30, Down}}));
  struct TCase {
    const char* Name;
    std::function<QByteArray()> Bytes;
  };
  const std::vector<TCase> cases = {
      {"version 2", [&] { return QByteArray(1, 2) + good.mid(1); }},
      {"version 0", [&] { return QByteArray(1, 0) + good.mid(1); }},
      {"empty", [] { return QByteArray(); }},
      {"count 0", [] { return QByteArray::fromHex("0100"); }},
      {"short", [&] { return good.left(good.size() - 1); }},
      {"vertex above N",
       [&] {
         QByteArray b = good;
         b[2 + 24 + 1] = 9;
         return b;
       }},
      {"vertex twice",
       [&] {
         QByteArray b = good;
         b[2 + 24 + 1] = 1;
         return b;
       }},
      {"parent not reached",
       [&] {
         QByteArray b = good;
         b[2] = 2;
         return b;
       }},
      {"not finite",
       [&] {
         QByteArray b = good;
         b[2 + 7] = char(0xFF), b[2 + 6] = char(0xC0);
         return b;
       }},
  };
  Load(MakeType({{0, 25, Left}}));
  Form->ChangeKindButtonClick();  // something to undo
  const TFigureType type = Type();
  const TFigureType undo = Form->GetUndoFigureType();
  for (const TCase& c : cases) {
    WriteWholeFile(Path("bad.stk"), c.Bytes());
    Dialogs.Calls.clear();
    Open("bad.stk");
    EXPECT_EQ(Dialogs.Messages(), QStringList({"that .stk file is not compatible with this version of Tavel"}))
        << c.Name;
  }
  EXPECT_EQ(Type().Segments[0].Kind, type.Segments[0].Kind);
  EXPECT_EQ(Type().SegmentCount(), 1);
  EXPECT_EQ(Form->GetUndoFigureType().Segments[0].Kind, undo.Segments[0].Kind);
  EXPECT_EQ(UndoCaption(), "Undo Kind");
  EXPECT_TRUE(Form->GetFigureFileName().isEmpty());
  // Bytes after the last record are ignored.
  WriteWholeFile(Path("tail.stk"), good + "tail");
  Open("tail.stk");
  EXPECT_EQ(Type().SegmentCount(), 2);
}

TEST_F(BuilderFileTest, ADuplicatePressedDuringAnAddCopiesItsOwnSegment) {
  // A circle of 10 with thickness 3 is duplicated while an add waits to be placed.
  Load(MakeType({{0, 40, Right, 7}, {1, 10, Down, 3, SegmentCircle, true}}));
  Click(At(2));  // select the circle
  Form->LineButtonClick();
  Click(At(0));  // start of the new line
  Form->DuplicateButtonClick();
  Click(QPoint(At(0).x(), At(0).y() - 50));  // places the line, selecting it
  ASSERT_EQ(Type().SegmentCount(), 3);
  Click(At(0));  // attaches the duplicate
  ASSERT_EQ(Type().SegmentCount(), 4);
  const TSegmentStruct& copy = Type().Segments[3];
  EXPECT_EQ(copy.Kind, SegmentCircle);
  EXPECT_EQ(copy.Length, 10.0f);
  EXPECT_EQ(copy.Thickness, 3.0f);
  EXPECT_DOUBLE_EQ(Figure().Angles[3], Down);
  EXPECT_TRUE(Form->GetStaticFlags()[3]);
}

TEST_F(BuilderFileTest, TypeChangedComesWithEachChangeOfTheTypesFileOrNameAndNothingElse) {
  const TFigureType two = MakeType({{0, 40, Up}, {0, 30, Right}});
  const TFigureType one = MakeType({{0, 20, Down}});
  struct TCase {
    const char* What;
    std::function<void()> Before;
    std::function<void()> Step;
    int Sent;
  };
  auto none = [] {};
  const std::vector<TCase> cases = {
      {"toggle kind", none, [&] { Form->ChangeKindButtonClick(); }, 1},
      {"toggle static", none, [&] { Form->ChangeStaticButtonClick(); }, 1},
      {"thickness step", none, [&] { QTest::mouseClick(Form->Controls().ThicknessUpDown->UpButton(), Qt::LeftButton); },
       1},
      // The duplicate attached last is 5 thick while the control still shows
      // the 6 of the segment placed before it: one step down changes nothing.
      {"thickness step to the thickness it has",
       [&] {
         Load(MakeType({{0, 40, Up, 6.0f}, {0, 30, Right, 5.0f}}));
         Click(At(2)), Form->LineButtonClick(), Click(At(1)), Form->DuplicateButtonClick();
         Click(QPoint(20, 20)), Click(At(0));
       },
       [&] { QTest::mouseClick(Form->Controls().ThicknessUpDown->DownButton(), Qt::LeftButton); }, 0},
      {"delete", [&] { Click(At(2)); }, [&] { Form->DeleteButtonClick(); }, 1},
      {"refused delete", [&] { Form->NewClick(); }, [&] { Form->DeleteButtonClick(); }, 0},
      {"place a segment", [&] { Form->LineButtonClick(), Click(At(1)); }, [&] { Click(QPoint(20, 20)); }, 1},
      {"attach a duplicate", [&] { Form->DuplicateButtonClick(); }, [&] { Click(At(0)); }, 1},
      {"drag a handle", [&] { Press(At(1)); }, [&] { Move(At(0) + QPoint(30, 0)), Move(At(0) + QPoint(0, 30)); }, 2},
      {"edit-mode drag", [&] { Form->EditModeClick(), Press(At(1)); }, [&] { Move(At(1) + QPoint(5, 5)); }, 1},
      {"undo", [&] { Form->ChangeKindButtonClick(); }, [&] { Form->Controls().UndoAction->trigger(); }, 1},
      {"New", none, [&] { Form->NewClick(); }, 1},
      {"open", [&] { SaveAsHotkey("two.stk"), Form->NewClick(); }, [&] { Open("two.stk"); }, 1},
      {"load another type", none, [&] { Load(one); }, 1},
      {"recover", none, [&] { Form->RecoverType(two, Path("two.stk")); }, 1},
      {"Save As a new name", none, [&] { SaveAsHotkey("two.stk"); }, 1},
      {"select", none, [&] { Click(At(2)); }, 0},
      {"press without a move", none, [&] { Click(At(1)); }, 0},
      {"drag the root", [&] { Press(At(0)); }, [&] { Move(At(0) + QPoint(10, 5)); }, 0},
      {"hover while placing", [&] { Form->LineButtonClick(), Click(At(1)); }, [&] { Move(QPoint(20, 20)); }, 0},
      {"hover with a duplicate", [&] { Form->DuplicateButtonClick(); }, [&] { Move(QPoint(20, 20)); }, 0},
      {"start an add or a duplicate", none, [&] { Form->LineButtonClick(), Form->DuplicateButtonClick(); }, 0},
      {"undo an add never placed", [&] { Form->LineButtonClick(); }, [&] { Form->Controls().UndoAction->trigger(); },
       0},
      {"Edit Mode", none, [&] { Form->EditModeClick(); }, 0},
      {"New on the start figure", [&] { Form->NewClick(); }, [&] { Form->NewClick(); }, 0},
      {"load the type shown", none, [&] { Load(two); }, 0},
      {"save again under the same name", [&] { SaveAsHotkey("two.stk"); },
       [&] {
         Form->Controls().SaveAction->trigger();
         Dialogs.YesNoAnswers.push_back(true);
         SaveAsHotkey("two.stk");
       },
       0},
      {"resize", none,
       [&] {
         QResizeEvent resize(QSize(500, 450), Form->size());
         QApplication::sendEvent(Form.get(), &resize);
       },
       0},
  };
  for (const TCase& c : cases) {
    QFile::remove(Path("two.stk"));
    Form = std::make_unique<TFigureBuilderForm>(Dialogs, nullptr);
    Load(two);
    c.Before();
    QSignalSpy sent(Form.get(), &TFigureBuilderForm::TypeChanged);
    c.Step();
    EXPECT_EQ(sent.count(), c.Sent) << c.What;
    if (Held != Qt::NoButton) Release();
  }
}

}  // namespace
