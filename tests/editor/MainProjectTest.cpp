// SPDX-License-Identifier: GPL-3.0-or-later
// The project commands of the main window: the save question, Save
// Animation, Open Animation and the command line, through scripted dialogs.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtEndian>

#include "editor/TimelineStrip.h"
#include "export/GifExport.h"
#include "files/BmpFile.h"
#include "files/ProjectExtension.h"
#include "files/ProjectFile.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/support/TestPictures.h"

namespace {

class MainProjectTest : public MainFormTest {
 protected:
  static TFileDialogResult Chosen(const QString& Path, int FilterIndex = 0) { return {true, Path, FilterIndex}; }
  QString Path(const QString& Name) const { return Dir.filePath(Name); }

  // Two stored frames, the second with the figure moved, and an added type in use.
  void MakeAnimation() {
    AddType("arm", {Segment(0, SegmentLine, 30, 4, 0.5)});
    Form->Frames().NextFrameButtonClick();
    Form->Figures().AddFigureButtonClick();
    MoveFigure(0, RealPoint(5, 7));
    Form->Frames().NextFrameButtonClick();
  }
  void SaveAs(const QString& Name, int FilterIndex = 0) {
    Dialogs.SaveAnswers.push_back(Chosen(Path(Name), FilterIndex));
    Form->Controls().SaveAnimationAction->trigger();
  }
  void Open(const QString& Name) {
    Dialogs.OpenAnswers.push_back(Chosen(Path(Name)));
    Form->Controls().OpenAnimationAction->trigger();
  }
  QByteArray Payload(const QString& Name) const { return ZlibDecompress(ReadTestFile(Path(Name)), MaxProjectPayload); }

  QTemporaryDir Dir;
};

TEST_F(MainProjectTest, SaveAndOpenBringBackFramesTypesAndThumbnails) {
  MakeAnimation();
  SaveAs("walk.tvl");
  ASSERT_TRUE(Form->Document().IsSaved());
  const QByteArray saved = Payload("walk.tvl");
  const TFigures last = Anim().Frames.back();

  Form->Project().NewClick();
  ASSERT_TRUE(Anim().Frames.empty());
  ASSERT_EQ(Form->Controls().FigureComboBox->count(), 1);
  // Editing a stored frame again: the open hides the marker and starts a new frame.
  Form->Frames().NextFrameButtonClick();
  Form->Frames().FrameClick(0);
  Dialogs.YesNoAnswers = {false};
  Open("walk.tvl");

  ASSERT_EQ(Anim().Frames.size(), 2u);
  EXPECT_EQ(Form->Controls().TimelineImages->Count(), 2);
  EXPECT_FALSE(Form->Controls().TimelineImages->Thumbnail(1).Picture.isNull());
  EXPECT_EQ(Form->FigureTypeNames(), QStringList({"Stickman", "arm"}));
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), last.Count());
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Points()[0], last.Items[0].Points()[0]);
  EXPECT_EQ(Form->Document().WorkingFrame().Items[0].Angles, last.Items[0].Angles);
  EXPECT_EQ(Form->Document().EditedFrameIndex(), -1);
  EXPECT_FALSE(Form->Controls().FrameMarker->isVisible());
  EXPECT_TRUE(Form->Document().IsSaved());
  EXPECT_TRUE(Form->Controls().DeleteFigureButton->isEnabled());
  // What was opened saves to the same bytes.
  SaveAs("again.tvl");
  EXPECT_EQ(Payload("again.tvl"), saved);
}

// A project reopens as it was saved: the stored picture (a JPEG keeps its
// own size in the file) is cut or extended to the animation's size.
// The title names the project's file and marks unsaved changes.
TEST_F(MainProjectTest, TheTitleNamesTheFileAndMarksUnsavedChanges) {
  const auto step = [&](const char* Step, const std::function<void()>& Do, const char* Title) {
    Do();
    EXPECT_EQ(ShownTitle(), Title) << Step;
  };
  step(
      "new", [] {}, "Tavel: Hotkeys");
  step(
      "changed", [&] { Form->Frames().NextFrameButtonClick(); }, "Tavel: Hotkeys*");
  step(
      "saved", [&] { SaveAs("walk.tvl"); }, "walk.tvl - Tavel: Hotkeys");
  step(
      "changed again", [&] { Form->Frames().NextFrameButtonClick(); }, "walk.tvl* - Tavel: Hotkeys");
  step(
      "undone to the saved state", [&] { Form->History().UndoClick(); }, "walk.tvl - Tavel: Hotkeys");
  step(
      "a drag, not saved in the file", [&] { MoveFigure(0, RealPoint(3, 3)); }, "walk.tvl - Tavel: Hotkeys");
  step(
      "new again", [&] { Form->Project().NewClick(); }, "Tavel: Hotkeys");
  step(
      "opened", [&] { Open("walk.tvl"); }, "walk.tvl - Tavel: Hotkeys");
}

TEST_F(MainProjectTest, AReopenedProjectLooksAndExportsAsItDidWhenSaved) {
  struct TCase {
    const char* Name;
    int PictureType;  // 0 BMP, 1 JPEG
    QSize Size;       // the animation's, changed after the picture was loaded
    bool Extended;    // larger than the picture: white to the right and below
    QSize CutFirst;   // a size the animation had in between, if any
  };
  WriteTestFile(Path("back.jpg"), EncodeJpeg(Quarters(320, 240), TJpegKind::Baseline));
  WriteTestFile(Path("back.bmp"), BmpFileBytes(Quarters(64, 48)));
  for (const TCase& c : {TCase{"JPEG, larger animation", 1, {400, 300}, true, {}},
                         TCase{"JPEG, smaller animation", 1, {200, 100}, false, {}},
                         TCase{"BMP, larger animation", 0, {100, 80}, true, {}},
                         TCase{"JPEG cut, then larger again", 1, {400, 300}, true, {200, 150}}}) {
    Dialogs.PictureAnswers.push_back({true, Path(c.PictureType ? "back.jpg" : "back.bmp"), c.PictureType});
    Form->Controls().LoadBackgroundAction->trigger();
    Form->Frames().NextFrameButtonClick();
    MoveFigure(0, RealPoint(9, 4));
    Form->Frames().NextFrameButtonClick();
    if (c.CutFirst.isValid()) Form->Background().ChangeDimensions(c.CutFirst.width(), c.CutFirst.height());
    Form->Background().ChangeDimensions(c.Size.width(), c.Size.height());
    const QImage background = Anim().Background;
    std::vector<QImage> thumbnails;
    thumbnails.reserve(static_cast<std::size_t>(Form->Controls().TimelineImages->Count()));
    for (int i = 0; i < Form->Controls().TimelineImages->Count(); ++i)
      thumbnails.push_back(Form->Controls().TimelineImages->Thumbnail(i).Picture);
    SaveAs("reopen.tvl");
    Form->Project().NewClick();
    Open("reopen.tvl");
    QFile::remove(Path("reopen.tvl"));

    EXPECT_EQ(Anim().Background.size(), c.Size) << c.Name;
    EXPECT_EQ(Anim().Background, background) << c.Name;
    if (c.Extended) {
      EXPECT_EQ(Anim().Background.pixel(c.Size.width() - 1, c.Size.height() - 1), qRgb(255, 255, 255)) << c.Name;
    }
    EXPECT_EQ(Picture(), FullRepaint()) << c.Name;
    ASSERT_EQ(Form->Controls().TimelineImages->Count(), 2) << c.Name;
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ(Form->Controls().TimelineImages->Thumbnail(i).Picture, thumbnails[i]) << c.Name;
    const QByteArray gif = BuildGifDocument(Anim(), {}).SaveToBytes();
    EXPECT_EQ(QSize(qFromLittleEndian<quint16>(gif.constData() + 6), qFromLittleEndian<quint16>(gif.constData() + 8)),
              c.Size)
        << c.Name;
    Form->Project().NewClick();
  }
}

TEST_F(MainProjectTest, BackgroundsTravelInTheProjectFile) {
  // A JPEG background keeps its file's bytes through a change of dimensions.
  const QByteArray jpeg = EncodeJpeg(Quarters(320, 240), TJpegKind::Baseline);
  WriteTestFile(Path("back.jpg"), jpeg);
  Dialogs.PictureAnswers.push_back({true, Path("back.jpg"), 1});
  Form->Controls().LoadBackgroundAction->trigger();
  Form->Frames().NextFrameButtonClick();
  Form->Background().ChangeDimensions(400, 300);
  SaveAs("jpeg.tvl");
  Form->Project().NewClick();
  Open("jpeg.tvl");
  EXPECT_TRUE(Anim().HasBackground);
  EXPECT_TRUE(Form->Controls().ClearBackgroundAction->isEnabled());
  EXPECT_EQ(Anim().BackgroundKind, 1);
  EXPECT_EQ(Anim().BackgroundJpeg, jpeg);
  SaveAs("jpeg-again.tvl");
  EXPECT_EQ(Payload("jpeg-again.tvl"), Payload("jpeg.tvl"));

  // A BMP after it is stored as the picture itself; the JPEG data go unused.
  const QImage quarters = Quarters(64, 48);
  WriteTestFile(Path("back.bmp"), BmpFileBytes(quarters));
  Dialogs.PictureAnswers.push_back({true, Path("back.bmp"), 0});
  Dialogs.YesNoAnswers = {true};
  Form->Controls().LoadBackgroundAction->trigger();
  SaveAs("bmp.tvl");
  Form->Project().NewClick();
  Open("bmp.tvl");
  EXPECT_EQ(Anim().BackgroundKind, 0);
  EXPECT_EQ(Anim().Background, quarters);
  EXPECT_EQ(Form->Controls().TimelineImages->Count(), 1);
  // Without a background the type count follows the height.
  Dialogs.YesNoAnswers = {true};
  Form->Controls().ClearBackgroundAction->trigger();
  SaveAs("none.tvl");
  EXPECT_EQ(Payload("none.tvl").at(1), 0);
}

// A typed ending that names one of the dialog's file types chooses it, in
// any letter case; any other ending leaves the selected type. The dialog
// then offers the type written.
TEST_F(MainProjectTest, ATypedEndingOfOneOfTheTypesChoosesIt) {
  Form->Frames().NextFrameButtonClick();
  struct TRow {
    const char* Typed;
    int FilterIndex;  // selected: 0 project, 2 BMP sequence, 3 PNG sequence
    const char* Written;
    int Offered;
  } rows[] = {{"a.bmp", 0, "a0.bmp", 2},
              {"b.tvl", 2, "b.tvl", 0},
              {"c.PNG", 2, "c0.png", 3},
              {"d.abc", 3, "d0.png", 3},
              {"e.jpeg", 0, "e.jpeg.tvl", 0}};
  for (const TRow& row : rows) {
    SaveAs(row.Typed, row.FilterIndex);
    EXPECT_TRUE(QFile::exists(Path(row.Written))) << row.Typed;
    Dialogs.SaveAnswers.push_back({});
    Form->Controls().SaveAnimationAction->trigger();
    EXPECT_EQ(Dialogs.Calls.back().Request.FilterIndex, row.Offered) << row.Typed;
  }
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), 5);
}

TEST_F(MainProjectTest, SaveAnimationNeedsAFrameAndAsksBeforeReplacing) {
  Form->Exports().SaveAnimationClick();
  EXPECT_EQ(Dialogs.Messages(), QStringList({"You must create at least 1 frame before saving an animation"}));
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::SaveFile), 0);

  Form->Frames().NextFrameButtonClick();
  WriteWholeFile(Path("old.tvl"), "keep me");
  Dialogs.YesNoAnswers = {false};
  SaveAs("old.tvl");
  EXPECT_EQ(ReadTestFile(Path("old.tvl")), "keep me");
  EXPECT_EQ(Dialogs.Calls.back().Text, "A file with that name already exists. Would you like to replace it?\nold.tvl");
  EXPECT_FALSE(Form->Document().IsSaved());
  // The dialog offers the refused name again; answering Yes replaces the file.
  Dialogs.YesNoAnswers = {true};
  SaveAs("old.tvl");
  EXPECT_EQ(Dialogs.Calls[Dialogs.Calls.size() - 2].Request.FileName, Path("old.tvl"));
  EXPECT_TRUE(Form->Document().IsSaved());
  EXPECT_EQ(Payload("old.tvl").size(), 113);
}

TEST_F(MainProjectTest, AFailedSaveKeepsTheEarlierFileAndTheUnsavedState) {
  Form->Frames().NextFrameButtonClick();
  SaveAs("walk.tvl");
  const QByteArray before = ReadTestFile(Path("walk.tvl"));
  Form->Frames().NextFrameButtonClick();
  SaveAs("missing folder/walk.tvl");
  ASSERT_EQ(Dialogs.Messages().size(), 1);
  EXPECT_TRUE(Dialogs.Messages()[0].startsWith(Path("missing folder/walk.tvl"))) << Dialogs.Messages()[0].toStdString();
  EXPECT_FALSE(Form->Document().IsSaved());
  EXPECT_EQ(ReadTestFile(Path("walk.tvl")), before);
}

TEST_F(MainProjectTest, SaveAnimationAsksAboutTheFilesItWritesNotTheTypedName) {
  for (int i = 0; i < 4; ++i) Form->Frames().NextFrameButtonClick();
  struct TCase {
    const char* Typed;
    int FilterIndex;  // 0 project, 1 GIF, 2 BMP sequence
    const char* Existing;
    const char* Names;  // the question's second line; empty: no question
  };
  for (const TCase& c : {TCase{"a.abc", 0, "a.tvl", "a.tvl"}, TCase{"b", 1, "b.gif", "b.gif"},
                         TCase{"c.bmp", 2, "c3.bmp", "c0.bmp to c3.bmp (4 files)"}, TCase{"d.tvl", 0, "d.gif", ""},
                         TCase{"e.abc", 2, "e.abc", ""}}) {
    WriteTestFile(Path(c.Existing), "keep me");
    Dialogs = TScriptedDialogs();
    const QString names = QString::fromUtf8(c.Names);
    if (!names.isEmpty()) Dialogs.YesNoAnswers = {false};
    SaveAs(c.Typed, c.FilterIndex);
    EXPECT_EQ(Dialogs.Questions(),
              names.isEmpty()
                  ? QStringList()
                  : QStringList({"A file with that name already exists. Would you like to replace it?\n" + names}))
        << c.Typed;
    EXPECT_EQ(ReadTestFile(Path(c.Existing)), "keep me") << c.Typed;
  }
  EXPECT_TRUE(QFile::exists(Path("d.tvl")));
  EXPECT_TRUE(QFile::exists(Path("e3.bmp")));
}

TEST_F(MainProjectTest, TheSaveQuestionsDialogAsksBeforeReplacingAndNeverOffersARefusedName) {
  Form->Frames().NextFrameButtonClick();
  WriteTestFile(Path("old.tvl"), "keep me");
  Dialogs.YesNoAnswers = {false};
  SaveAs("old.tvl");
  // New: Yes, then the refused name again is refused again; another name saves.
  Dialogs = TScriptedDialogs();
  Dialogs.YesNoAnswers = {true, false};
  Dialogs.SaveAnswers = {Chosen(Path("old.tvl")), Chosen(Path("new.tvl"))};
  Form->Project().NewClick();
  EXPECT_EQ(Dialogs.Questions(),
            QStringList({"Would you like to save the current project?",
                         "A file with that name already exists. Would you like to replace it?\nold.tvl"}));
  ASSERT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::SaveFile), 2);
  for (const auto& call : Dialogs.Calls)
    if (call.Kind == TScriptedDialogs::TKind::SaveFile) {
      EXPECT_EQ(call.Request.FileName, "");
    }
  EXPECT_EQ(ReadTestFile(Path("old.tvl")), "keep me");
  EXPECT_EQ(Payload("new.tvl").size(), 113);
  EXPECT_TRUE(Anim().Frames.empty());
}

struct TQuestionCase {
  const char* Name;
  TAnswer Answer;  // to the save question
  QString SaveAs;  // after Yes: the name chosen in the save dialog; empty cancels it
  bool Goes;       // the command went on
};
void PrintTo(const TQuestionCase& Case, std::ostream* Out) { *Out << Case.Name; }

class SaveQuestionTest : public MainProjectTest, public testing::WithParamInterface<TQuestionCase> {};

TEST_P(SaveQuestionTest, EveryCommandThatDiscardsWorkAsksOnceAndOnlyNoOrASaveLetsItGoOn) {
  const TQuestionCase& c = GetParam();
  enum TCommand { New, Close, Open, CommandLine };
  for (const TCommand command : {New, Close, Open, CommandLine}) {
    SetUp();
    Form->Frames().NextFrameButtonClick();
    Form->Frames().NextFrameButtonClick();
    SaveAs("other.tvl");
    Form->Project().NewClick();
    Form->Frames().NextFrameButtonClick();
    Dialogs = TScriptedDialogs();
    Dialogs.YesNoAnswers = {c.Answer};
    if (c.Answer == TAnswer::Yes)
      Dialogs.SaveAnswers.push_back(c.SaveAs.isEmpty() ? TFileDialogResult{} : Chosen(Path(c.SaveAs)));
    bool closed = false;
    QObject::connect(Form.get(), &TMainForm::Closed, [&] { closed = true; });
    switch (command) {
      case New:
        Form->Project().NewClick();
        break;
      case Close:
        Form->close();
        break;
      case Open:
        this->Open("other.tvl");
        break;
      case CommandLine:
        Form->CommandLine = {Path("other.tvl")};
        Form->FormActivate();
        break;
    }
    const std::string what = std::string(c.Name) + " at command " + std::to_string(command);
    EXPECT_EQ(Dialogs.Questions(), QStringList{"Would you like to save the current project?"}) << what;
    const bool went = command == New ? Anim().Frames.empty() : command == Close ? closed : Anim().Frames.size() == 2;
    EXPECT_EQ(went, c.Goes) << what;
    if (!c.Goes) {
      EXPECT_EQ(Anim().Frames.size(), 1u) << what;
    }
    // After No the closed window's work is as unsaved as it was.
    if (command != Close) {
      EXPECT_EQ(Form->Document().IsSaved(), c.Goes) << what;
    }
    EXPECT_EQ(QFile::exists(Path("q.tvl")), c.Answer == TAnswer::Yes && c.SaveAs == "q.tvl") << what;
    if (command == New && c.Goes) {
      // Once answered, a second New asks nothing.
      Form->Project().NewClick();
      EXPECT_EQ(Dialogs.Questions().size(), 1);
    }
    QFile::remove(Path("q.tvl"));
    QFile::remove(Path("other.tvl"));
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveQuestionTest,
                         testing::Values(TQuestionCase{"No", TAnswer::No, {}, true},
                                         TQuestionCase{"YesSaved", TAnswer::Yes, "q.tvl", true},
                                         TQuestionCase{"YesCancelled", TAnswer::Yes, {}, false},
                                         TQuestionCase{"YesFailed", TAnswer::Yes, "missing folder/q.tvl", false},
                                         TQuestionCase{"Cancel", TAnswer::Cancel, {}, false}),
                         [](const testing::TestParamInfo<TQuestionCase>& Info) {
                           return std::string(Info.param.Name);
                         });

// What a newer version wrote is left out, and the status bar says so once.
TEST_F(MainProjectTest, PartsOfANewerVersionAreLeftOutWithANote) {
  QTemporaryDir dir;
  Form->Frames().NextFrameButtonClick();
  QByteArray payload = ProjectPayload(Anim());
  AppendExtensionBlock(payload, {{"CAMR", QByteArray(12, 'x')}});
  const QString path = dir.filePath("newer.tvl");
  WriteWholeFile(path, ZlibCompress(payload));
  Doc().MarkSaved();
  Form->Project().LoadProject(path);
  EXPECT_EQ(Anim().Frames.size(), 1u);
  EXPECT_EQ(Form->statusBar()->currentMessage(),
            "Parts of this project were made by a newer version and are not shown.");
}

TEST_F(MainProjectTest, InsertAndDeleteAreUnsavedChanges) {
  Form->Frames().NextFrameButtonClick();
  Form->Frames().NextFrameButtonClick();
  for (auto command : {&TFramesController::InsertFrameClick, &TFramesController::DeleteFrameClick}) {
    Doc().MarkSaved();
    Form->Frames().FramePopup(0);
    (Form->Frames().*command)();
    EXPECT_FALSE(Form->Document().IsSaved());
  }
}

TEST_F(MainProjectTest, RefusedFilesLeaveTheAnimationAsItWas) {
  Form->Frames().NextFrameButtonClick();
  Form->Figures().AddFigureButtonClick();
  QByteArray payload = ZlibDecompress(ZlibCompress(ProjectPayload(Anim())), MaxProjectPayload);
  payload[0] = 3;
  WriteWholeFile(Path("v3.tvl"), ZlibCompress(payload));
  payload[0] = 2;
  payload[10] = char(200);  // a type count beyond the table's limit
  WriteWholeFile(Path("bad.tvl"), ZlibCompress(payload));
  WriteWholeFile(Path("text.tvl"), "hello");

  for (const QString name : {"v3.tvl", "bad.tvl", "text.tvl", "none.tvl"}) Open(name);
  const QStringList messages = Dialogs.Messages();
  ASSERT_EQ(messages.size(), 4);
  EXPECT_EQ(messages[0], "that .tvl file is not compatible with this version of Tavel");
  EXPECT_TRUE(messages[1].startsWith("bad.tvl is damaged and was not opened.")) << messages[1].toStdString();
  EXPECT_EQ(messages[2], "Error\ntext.tvl is not a Tavel project: its data is not zlib-compressed.");
  EXPECT_TRUE(messages[3].contains("none.tvl"));
  // No question, nothing changed.
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::YesNo), 0);
  EXPECT_EQ(Anim().Frames.size(), 1u);
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 2);
  EXPECT_FALSE(Form->Document().IsSaved());
}

TEST_F(MainProjectTest, AProjectWithoutFramesOpensEmpty) {
  Form->Frames().NextFrameButtonClick();
  Form->Frames().FramePopup(0);
  Form->Frames().DeleteFrameClick();
  Dialogs.YesNoAnswers = {true};
  Dialogs.SaveAnswers.push_back(Chosen(Path("empty.tvl")));
  Form->Project().NewClick();
  Open("empty.tvl");
  EXPECT_TRUE(Anim().Frames.empty());
  EXPECT_EQ(Form->Controls().TimelineImages->Count(), 0);
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 0);
  EXPECT_FALSE(Form->Controls().DeleteFigureButton->isEnabled());
}

TEST_F(MainProjectTest, ACommandLineProjectOpensAtFirstActivation) {
  Form->Frames().NextFrameButtonClick();
  Form->Frames().NextFrameButtonClick();
  SaveAs("walk.tvl");
  // The ending in any letter case, or a project's first bytes without an ending.
  for (const QString name : {"Walk.TVL", "walk-renamed"}) {
    ASSERT_TRUE(QFile::copy(Path("walk.tvl"), Path(name)));
    Form = std::make_unique<TMainForm>(Dialogs);
    Form->CommandLine = {Path(name)};
    ShowActive();
    EXPECT_EQ(Anim().Frames.size(), 2u) << name.toStdString();
    EXPECT_EQ(Form->Controls().TimelineImages->Count(), 2);
  }
  EXPECT_TRUE(Dialogs.Messages().isEmpty());
}

}  // namespace
