// SPDX-License-Identifier: GPL-3.0-or-later
// Figure types reaching the animation: the builder's Add To Animation with
// its name prompt, and Load Figure Type.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <functional>

#include "builder/FigureBuilderUnit.h"
#include "builder/NameUnit.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "platform/ProgramPaths.h"
#include "tests/editor/MainFormFixture.h"

namespace {

class MainFigureTypeFilesTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    Builder = &Form->FigureBuilder();
    NameForm = &Builder->NameWindow();
  }
  QString Path(const QString& Name) const { return Dir.filePath(Name); }

  // A two-segment type with a static circle, as a .stk file.
  QString WriteType(const QString& Name, uint8_t Version = StkVersion) {
    TFigureType type;
    type.AddSegment(0, SegmentLine, 30, 4, 0.5, 0);
    type.AddSegment(1, SegmentCircle, 12, 2, 1.5, 1);
    QByteArray bytes = StkFileBytes(type);
    bytes[0] = static_cast<char>(Version);
    WriteWholeFile(Path(Name), bytes);
    return Path(Name);
  }
  void LoadFigureType(const QString& File) {
    Dialogs.OpenAnswers.push_back({true, File, 0});
    Form->Controls().LoadFigureAction->trigger();
  }
  // Add To Animation with the name typed into the prompt (empty: left empty).
  void AddNamed(const QString& Typed) {
    Dialogs.OnExecModal = [&](QDialog& Dialog) {
      NameForm->NameEdit->setText(Typed);
      Dialog.accept();
      return int(QDialog::Accepted);
    };
    Builder->Controls().AddToAnimationAction->trigger();
  }
  QString Selected() const { return Form->Controls().FigureComboBox->currentText(); }

  TFigureBuilderForm* Builder = nullptr;
  TNameForm* NameForm = nullptr;
  QTemporaryDir Dir;
};

TEST_F(MainFigureTypeFilesTest, AddToAnimationListsTheTypeAndPlacesOneFigureOfIt) {
  Dialogs.OpenAnswers.push_back({true, WriteType("robot.stk"), 0});
  Builder->Controls().OpenAction->trigger();
  Builder->show();
  Builder->Controls().AddToAnimationAction->trigger();
  EXPECT_EQ(Form->FigureTypeNames(), QStringList({"Stickman", "robot"}));
  EXPECT_EQ(Selected(), "robot");
  ASSERT_EQ(Form->Document().WorkingFrame().Count(), 2);
  EXPECT_EQ(Figure(1).TypeIndex, 2);
  EXPECT_FALSE(Builder->isVisible());
  // The animation's type keeps its static circle; the builder still edits it as a flag.
  EXPECT_EQ(Anim().Types.Type(2)->Segments[1].Static, 1);
  EXPECT_EQ(Builder->WorkType().Segments[1].Static, 0);
  EXPECT_EQ(Builder->GetStaticFlags(), (std::vector<bool>{false, true}));

  Builder->Controls().AddToAnimationAction->trigger();
  EXPECT_EQ(Dialogs.Messages(), QStringList({"a figure type with that name already exists"}));
  EXPECT_EQ(Anim().Types.Count(), 3);
}

TEST_F(MainFigureTypeFilesTest, ThePromptNamesTypesAndComparesWithLetterCase) {
  AddType("Figure Type 2", {Segment(0, SegmentLine, 10, 1, 0)});
  const struct {
    QString Typed;
    QString Listed;  // empty: refused
  } steps[] = {
      {"", "Figure Type 1"},    {"Stickman", ""},
      {"stickman", "stickman"}, {"", ""},  // "Figure Type 2" is taken; the counter moves on all the same
      {"", "Figure Type 3"},
  };
  int listed = 3;
  for (const auto& step : steps) {
    Dialogs.Calls.clear();
    AddNamed(step.Typed);
    if (step.Listed.isEmpty()) {
      EXPECT_EQ(Dialogs.Messages(), QStringList({"a figure type with that name already exists"}))
          << step.Typed.toStdString();
    } else {
      ++listed;
      EXPECT_EQ(Selected(), step.Listed);
    }
    EXPECT_EQ(Form->Controls().FigureComboBox->count(), listed - 1);
    EXPECT_TRUE(NameForm->NameEdit->text().isEmpty());
  }
  EXPECT_EQ(NameForm->NameCounter, 4);
}

TEST_F(MainFigureTypeFilesTest, ThePromptCanBeCalledOffAndItsSentenceFits) {
  Dialogs.OnExecModal = [&](QDialog& Dialog) {
    NameForm->NameEdit->setText("half typed");
    Dialog.reject();  // Escape and the close box
    return int(QDialog::Rejected);
  };
  Builder->Controls().AddToAnimationAction->trigger();
  EXPECT_EQ(Form->Controls().FigureComboBox->count(), 1);
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 1);
  EXPECT_EQ(NameForm->NameCounter, 1);
  EXPECT_TRUE(NameForm->NameEdit->text().isEmpty());
  // The whole sentence shows above the name field.
  EXPECT_TRUE(NameForm->PromptLabel->wordWrap());
  EXPECT_GE(NameForm->PromptLabel->height(), NameForm->PromptLabel->heightForWidth(NameForm->PromptLabel->width()));
  EXPECT_LE(NameForm->PromptLabel->geometry().bottom(), NameForm->NameEdit->y());
  EXPECT_LE(NameForm->PromptLabel->geometry().right(), NameForm->width());
}

TEST_F(MainFigureTypeFilesTest, NamesAreWhatTheFileStoresAndTypesAreChosenByPlace) {
  AddNamed(QString::fromUtf8("\u03a9mega"));  // a Greek letter the code page lacks
  EXPECT_EQ(Selected(), "?mega");
  Dialogs.Calls.clear();
  AddNamed(QString::fromUtf8("\u03a3mega"));
  EXPECT_EQ(Dialogs.Messages(), QStringList({"a figure type with that name already exists"}));
  // A file named ".stk" names its type ".stk".
  LoadFigureType(WriteType(".stk"));
  EXPECT_EQ(Selected(), ".stk");
  // Two types that show the same name: Add Figure takes the selected one.
  AddType("???", {Segment(0, SegmentLine, 10, 1, 0)});
  AddType("???", {Segment(0, SegmentLine, 20, 1, 0)});
  Form->Controls().FigureComboBox->setCurrentIndex(4);
  Form->Figures().AddFigureButtonClick();
  EXPECT_EQ(Form->Document().WorkingFrame().Items.back().TypeIndex, 5);
}

TEST_F(MainFigureTypeFilesTest, LoadFigureTypeReadsANameOnceAndReusesIt) {
  const QString walker = WriteType("walker.stk");
  LoadFigureType(walker);
  EXPECT_EQ(Form->FigureTypeNames(), QStringList({"Stickman", "walker"}));
  WriteWholeFile(walker, "no longer read");
  Form->Controls().FigureComboBox->setCurrentIndex(0);
  LoadFigureType(walker);
  EXPECT_EQ(Form->FigureTypeNames(), QStringList({"Stickman", "walker"}));
  EXPECT_EQ(Selected(), "walker");
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), 3);
  EXPECT_EQ(Figure(2).TypeIndex, 2);

  // Stickman.stk is never read; Walker is another name than walker.
  WriteWholeFile(Path("Stickman.stk"), "garbage");
  LoadFigureType(Path("Stickman.stk"));
  EXPECT_EQ(Figure(3).TypeIndex, 1);
  LoadFigureType(WriteType("Walker.stk"));
  EXPECT_EQ(Form->FigureTypeNames(), QStringList({"Stickman", "walker", "Walker"}));
  EXPECT_TRUE(Dialogs.Messages().isEmpty());
}

TEST_F(MainFigureTypeFilesTest, LoadFigureTypeRefusesBadFilesAndAFullTable) {
  const int figures = Form->Document().WorkingFrame().Count();
  for (const uint8_t version : {0, 2}) LoadFigureType(WriteType(QString("v%1.stk").arg(version), version));
  EXPECT_EQ(Dialogs.Messages(), QStringList(2, "that .stk file is not compatible with this version of Tavel"));
  EXPECT_EQ(Form->Controls().FigureComboBox->count(), 1);
  EXPECT_EQ(Form->Document().WorkingFrame().Count(), figures);

  while (Anim().Types.Count() < MaxFigureTypes)
    AddType(QString("t%1").arg(Anim().Types.Count()), {Segment(0, SegmentLine, 5, 1, 0)});
  Dialogs.Calls.clear();
  Form->Controls().LoadFigureAction->trigger();
  Builder->Controls().AddToAnimationAction->trigger();
  EXPECT_EQ(Dialogs.Messages(), QStringList(2, "you cannot add any more figure types"));
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::OpenFile), 0);
}

TEST_F(MainFigureTypeFilesTest, EveryFileDialogAsksForItsTypesEndingFolderAndName) {
  using K = TScriptedDialogs::TKind;
  const QStringList tvl = {"Tavel File (*.tvl)"}, stk = {"Stick Figure File (*.stk)"};
  struct TRow {
    const char* Command;
    std::function<void()> Run;
    K Kind;
    QStringList Filters;
    QString DefaultExt, InitialDir;
  };
  const std::vector<TRow> rows = {
      {"Open Animation", [&] { Form->Controls().OpenAnimationAction->trigger(); }, K::OpenFile, tvl, "tvl",
       AnimationsFolder()},
      {"Save Animation",
       [&] { Form->Controls().SaveAnimationAction->trigger(); },
       K::SaveFile,
       {"Tavel File (*.tvl)", "Gif (*.gif)", "Bitmap (*.bmp)", "PNG (*.png)", "Animated PNG (*.apng)",
        "MP4 video (*.mp4)", "WebM video (*.webm)"},
       "tvl",
       ""},
      {"the save question",
       [&] {
         Dialogs.YesNoAnswers = {true};
         Form->Controls().NewAction->trigger();
       },
       K::SaveFile, tvl, "tvl", ""},
      {"Load Figure Type", [&] { Form->Controls().LoadFigureAction->trigger(); }, K::OpenFile, stk, "stk",
       StickFiguresFolder()},
      {"Load Anim().Background",
       [&] { Form->Controls().LoadBackgroundAction->trigger(); },
       K::OpenPicture,
       {"Pictures (*.bmp *.jpg *.jpeg)", "Bitmap Image (*.bmp)", "JPeg Image (*.jpg)"},
       "",
       ""},
      {"builder Open", [&] { Builder->Controls().OpenAction->trigger(); }, K::OpenFile, stk, "stk", ""},
      {"builder Save As", [&] { Builder->Controls().SaveAsAction->trigger(); }, K::SaveFile, stk, "stk", ""},
  };
  Form->Frames().NextFrameButtonClick();
  for (const TRow& row : rows) {
    Dialogs.Calls.clear();
    Dialogs.OpenAnswers = {{}};  // every dialog is cancelled
    Dialogs.SaveAnswers = {{}};
    Dialogs.PictureAnswers = {{}};
    row.Run();
    ASSERT_EQ(Dialogs.CountOf(row.Kind), 1) << row.Command;
    const TFileDialogRequest& asked = Dialogs.Calls.back().Request;
    EXPECT_EQ(asked.Filters, row.Filters) << row.Command;
    EXPECT_EQ(asked.FilterIndex, 0) << row.Command;
    EXPECT_EQ(asked.DefaultExt, row.DefaultExt) << row.Command;
    EXPECT_EQ(asked.InitialDir, row.InitialDir) << row.Command;
    EXPECT_EQ(asked.FileName, "") << row.Command;
  }
  Dialogs.OpenAnswers.clear();
  Dialogs.SaveAnswers.clear();
  Dialogs.PictureAnswers.clear();
}

TEST_F(MainFigureTypeFilesTest, ACommandLineFigureTypeOpensInTheBuilder) {
  Form->CommandLine = {WriteType("robot.stk")};
  Form->show();
  // The first activation opens the file; the builder then takes the focus.
  WAIT_ASSERT(Builder->isVisible());
  EXPECT_EQ(Builder->WorkType().SegmentCount(), 2);
  EXPECT_EQ(Builder->GetFigureFileName(), Path("robot.stk"));
}

}  // namespace
