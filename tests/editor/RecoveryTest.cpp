// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery copy of unsaved work: what it holds, when it goes, and what
// a new start makes of the copy a crashed program left behind.

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

#include "editor/MainRecoveryHost.h"
#include "editor/RecoveryKeeper.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "model/ByteStream.h"
#include "model/Pictures.h"
#include "tests/editor/MainFormFixture.h"
#include "tests/editor/RecoveryScript.h"
#include "tests/support/GuiWait.h"

namespace {

// The project payload inside a project's recovery file: its last part.
QByteArray PayloadOf(const QByteArray& File) {
  TByteReader in(File);
  in.Take(8 + 1 + 1, "magic, format, kind");
  for (int part = 0; part < 3; ++part) in.Take(in.Read<uint32_t>("part") + 4, "part");
  const uint32_t length = in.Read<uint32_t>("project");
  return ZlibDecompress(File.mid(in.Pos(), length), MaxProjectPayload);
}

// A frame as a file holds it, and its hold: vertices placed anew from the
// root may differ in their last bits from those a drag moved.
QByteArray Bytes(const std::optional<TFigures>& Frame) {
  QByteArray bytes;
  if (Frame) AppendFrameBytes(bytes, *Frame);
  if (Frame) bytes.append(static_cast<char>(Frame->Hold));
  return bytes;
}

void ExpectEditEqual(const TRecoveredEdit& Got, const TEditState& Want) {
  EXPECT_EQ(Bytes(Got.WorkingFrame), Bytes(Want.WorkingFrame));
  EXPECT_EQ(Got.EditedFrameIndex, Want.EditedFrameIndex);
  EXPECT_EQ(Got.SelectedFigure, Want.SelectedFigure);
  EXPECT_EQ(Bytes(Got.Ghost), Bytes(Want.Ghost));
}

// Expects Form and Builder to hold what the recovery script leaves.
void ExpectScriptRecovered(const TMainForm& Form, const TFigureBuilderForm& Builder) {
  TScriptedDialogs dialogs;
  TMainForm expected(dialogs);
  TFigureBuilderForm expectedBuilder(dialogs, &expected);
  RunRecoveryScript(expected.Document());
  RunBuilderScript(expectedBuilder, expected.Animation().Types);
  EXPECT_EQ(ProjectPayload(Form.Animation()), ProjectPayload(expected.Animation()));
  EXPECT_EQ(Bytes(Form.Document().WorkingFrame()), Bytes(expected.Document().WorkingFrame()));
  EXPECT_EQ(Form.Document().EditedFrameIndex(), expected.Document().EditedFrameIndex());
  EXPECT_EQ(Builder.WorkingTypeFile(), expectedBuilder.WorkingTypeFile());
}

class RecoveryTest : public MainFormTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    MainFormTest::SetUp();
    Start();
  }
  void TearDown() override {
    Keeper.reset();
    Host.reset();
    Builder = nullptr;
    MainFormTest::TearDown();
  }
  // A program on the recovery folder: its windows and its keeper.
  void Start() {
    if (!Form) Form = std::make_unique<TMainForm>(Dialogs);
    Builder = &Form->FigureBuilder();
    Host = std::make_unique<TMainRecoveryHost>(*Form, Builder);
    Keeper = std::make_unique<TRecoveryKeeper>(Doc(), *Host, Dialogs, Dir.path(), TRecoveryTimes{40, 200});
  }
  // The program ends without a clean exit: its files stay, its lock goes.
  void Crash() {
    Keeper->SaveNow();
    Keeper->Flush();
    Keeper.reset();
    Host.reset();
    Builder = nullptr;
    Form.reset();
  }
  // A new start that answers the offer with Answer.
  void Restart(TRecoveryAnswer Answer) {
    Start();
    Dialogs.RecoverAnswers = {Answer};
    Form->FormActivate();
    EXPECT_TRUE(Dialogs.RecoverAnswers.empty()) << "the copy was not offered";
  }
  QString File(const QString& Name) const { return Dir.filePath(Name); }
  QStringList Notices() const {
    QStringList texts;
    for (const auto& call : Dialogs.Calls)
      if (call.Kind == TScriptedDialogs::TKind::Notice) texts << call.Text;
    return texts;
  }
  QString Status() const { return Form->statusBar()->currentMessage(); }
  QStringList Files() const { return QDir(Dir.path()).entryList({QStringLiteral("*rec*")}, QDir::Files, QDir::Name); }

  QTemporaryDir Dir;
  TFigureBuilderForm* Builder = nullptr;  // the window's own
  std::unique_ptr<TMainRecoveryHost> Host;
  std::unique_ptr<TRecoveryKeeper> Keeper;
};

TEST_F(RecoveryTest, EveryEditAndItsUndoIsKeptAsSaveWouldWriteIt) {
  const auto check = [&](const std::string& When) {
    const QByteArray file = ProjectRecoveryBytes(Keeper->Snapshot());
    EXPECT_EQ(PayloadOf(file), ProjectPayload(Anim())) << When;
    ExpectEditEqual(ParseProjectRecovery(file).Edit, Doc().Edit());
  };
  // An opened project, its frames not all encoded yet when the edits begin.
  Doc().NextFrame();
  StoreCopies(200);
  const auto steps = RecoverySteps();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    steps[i](Doc());
    check("after step " + std::to_string(i));
  }
  while (Doc().History().canUndo()) {
    Doc().Undo();
    check("after an undo to step " + std::to_string(Doc().History().index()));
  }
}

TEST_F(RecoveryTest, ACopyIsWrittenOnceTheWorkIsQuietAndRecoveredUnsavedUnderItsName) {
  Form->Project().SaveProject(File("walk"));
  RunRecoveryScript(Doc());
  RunBuilderScript(*Builder, Anim().Types);
  WAIT_ASSERT(QFile::exists(Keeper->Slot()->ProjectFile()) && QFile::exists(Keeper->Slot()->TypeFile()));
  const QByteArray payload = ProjectPayload(Anim());
  const QByteArray type = Builder->WorkingTypeFile();
  Crash();

  Restart(TRecoveryAnswer::Recover);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^Tavel did not close properly\\. Recover the animation from "
                                                "\\d\\d:\\d\\d\\?$"))
                  .match(Dialogs.Calls.back().Text)
                  .hasMatch())
      << Dialogs.Calls.back().Text.toStdString();
  EXPECT_EQ(ProjectPayload(Anim()), payload);
  EXPECT_EQ(Builder->WorkingTypeFile(), type);
  EXPECT_TRUE(Builder->isVisible());
  EXPECT_FALSE(Doc().IsSaved());
  EXPECT_EQ(ShownTitle(), QStringLiteral("walk.tvl* - Tavel: Hotkeys"));
}

// Work that never falls quiet: the copy that deflates a new head (its
// background) is taken after the quiet time all the same; those that reuse
// it wait for the latest time.
TEST_F(RecoveryTest, DuringContinuousWorkACopyOfANewBackgroundIsTakenEarly) {
  Keeper.reset();
  Keeper = std::make_unique<TRecoveryKeeper>(Doc(), *Host, Dialogs, Dir.path(), TRecoveryTimes{300, 600000});
  int frames = 0;
  QTimer work;
  QObject::connect(&work, &QTimer::timeout, [&] {
    Doc().NextFrame();
    ++frames;
  });
  work.start(20);
  WAIT_ASSERT(Keeper->Written() == 1);
  const int after = frames + 40;  // 800 ms at least, more than the quiet time
  WAIT_ASSERT(frames >= after);
  EXPECT_EQ(Keeper->Written(), 1);
  QImage picture(Anim().Width, Anim().Height, QImage::Format_RGB32);
  picture.fill(Qt::gray);
  Doc().LoadBackground(picture, 0, {});
  WAIT_ASSERT(Keeper->Written() == 2);
}

TEST_F(RecoveryTest, ACleanEndRemovesTheCopy) {
  TAnimation other = NewAnimation();
  other.Frames.push_back(TDocument::StartState(other).WorkingFrame);
  WriteProjectFile(File("other"), other);
  const std::vector<std::pair<const char*, std::function<void()>>> ends = {
      {"New", [&] { Form->Project().NewProject(); }},
      {"Open", [&] { Form->Project().LoadProject(File("other.tvl")); }},
      {"closing the window", [&] { Form->close(); }},
  };
  for (const auto& [name, end] : ends) {
    RunRecoveryScript(Doc());
    Keeper->SaveNow();
    Keeper->Flush();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("1.tvlrec")}) << name;
    Dialogs.YesNoAnswers = {TAnswer::No};
    end();
    Keeper->Flush();
    EXPECT_EQ(Files(), QStringList()) << name;
  }
}

TEST_F(RecoveryTest, SavedWorkIsNotOfferedAgain) {
  // Each row leaves the work as its file holds it, then the program crashes.
  const std::vector<std::pair<const char*, std::function<void()>>> rows = {
      {"a save, then a change of the working frame alone",
       [&] {
         Form->Project().SaveProject(File("walk"));
         Doc().FlipFigure();
         ASSERT_TRUE(Doc().IsSaved());
       }},
      {"a save, a change and its undo",
       [&] {
         Form->Project().SaveProject(File("walk"));
         Doc().NextFrame();
         Keeper->SaveNow();
         Keeper->Flush();
         ASSERT_EQ(Files(), QStringList{QStringLiteral("1.tvlrec")});
         Doc().Undo();
       }},
  };
  for (const auto& [name, save] : rows) {
    RunRecoveryScript(Doc());
    Keeper->SaveNow();
    Keeper->Flush();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("1.tvlrec")}) << name;
    save();
    Crash();
    EXPECT_EQ(Files(), QStringList()) << name;
    Start();
    Form->FormActivate();
    EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::Recover), 0) << name;
  }
}

TEST_F(RecoveryTest, ACopyThatCannotBeWrittenIsSaidOnceARunAndSoIsItsReturn) {
  std::atomic<bool> failing = true;
  Keeper.reset();
  Keeper = std::make_unique<TRecoveryKeeper>(Doc(), *Host, Dialogs, Dir.path(), TRecoveryTimes{40, 200},
                                             [&](const QString& Path, const QByteArray& Bytes) {
                                               if (failing)
                                                 throw EFileError(Path, QStringLiteral("No space left on device"));
                                               WriteWholeFile(Path, Bytes);
                                             });
  const QString folder = QDir::toNativeSeparators(Dir.path());
  const QString failure = QStringLiteral(
                              "Unsaved work is not protected: no recovery copy can be written in %1 (No space left "
                              "on device). Tavel tries again with the next change.")
                              .arg(folder);
  const QString again =
      QStringLiteral("Unsaved work is protected again: its recovery copy is written in %1.").arg(folder);
  // Fails, fails again, works, fails once more: the status bar follows,
  // each notice comes once.
  for (const bool fails : {true, true, false, true}) {
    failing = fails;
    Doc().NextFrame();
    Keeper->SaveNow();
    Keeper->Flush();
    WAIT_ASSERT(Status() == (fails ? failure : again));
  }
  EXPECT_EQ(Notices(), (QStringList{failure, again}));
  EXPECT_EQ(ParseProjectRecovery(ReadWholeFile(File("1.tvlrec"), MaxRecoveryFileBytes)).Animation.Frames.size(), 3u);
}

TEST_F(RecoveryTest, AFolderThatCannotBeMadeIsSaidAtStartAndTriedAgainAtTheNextChange) {
  const QString blocker = File("blocker");
  WriteWholeFile(blocker, "a file where the folder would be");
  const QString folder = blocker + QStringLiteral("/recovery");
  Keeper.reset();
  Keeper = std::make_unique<TRecoveryKeeper>(Doc(), *Host, Dialogs, folder, TRecoveryTimes{40, 200});
  EXPECT_EQ(Keeper->Slot(), nullptr);
  Form->FormActivate();
  EXPECT_EQ(Notices(), QStringList{QStringLiteral("Unsaved work is not protected: no recovery copy can be written "
                                                  "in %1 (Not a directory). Tavel tries again with the next change.")
                                       .arg(QDir::toNativeSeparators(folder))});
  QFile::remove(blocker);
  Doc().NextFrame();
  WAIT_ASSERT(Status().startsWith(QStringLiteral("Unsaved work is protected again")));
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/1.tvlrec")));
}

TEST_F(RecoveryTest, ASecondProgramKeepsToItsOwnSlot) {
  RunRecoveryScript(Doc());
  Keeper->SaveNow();
  Keeper->Flush();
  const QByteArray first = ReadWholeFile(File("1.tvlrec"), MaxRecoveryFileBytes);

  TScriptedDialogs dialogs;
  TMainForm form(dialogs);
  TMainRecoveryHost host(form, nullptr);
  TRecoveryKeeper keeper(form.Document(), host, dialogs, Dir.path(), TRecoveryTimes{40, 200});
  form.FormActivate();  // the first program's copy is not offered while it runs
  form.Document().NextFrame();
  keeper.SaveNow();
  keeper.Flush();
  dialogs.YesNoAnswers = {TAnswer::No};
  form.Project().NewProject();
  keeper.Flush();
  EXPECT_EQ(dialogs.CountOf(TScriptedDialogs::TKind::Recover), 0);
  EXPECT_EQ(keeper.Slot()->ProjectFile(), File("2.tvlrec"));
  EXPECT_EQ(ReadWholeFile(File("1.tvlrec"), MaxRecoveryFileBytes), first);
}

TEST_F(RecoveryTest, ADamagedCopyIsRefusedAndKeptAside) {
  RunRecoveryScript(Doc());
  TProjectSnapshot wrongFrame = Keeper->Snapshot();
  wrongFrame.Edit.EditedFrameIndex = 99;
  Crash();
  QByteArray flipped = ReadWholeFile(File("1.tvlrec"), MaxRecoveryFileBytes);
  flipped[flipped.size() - 9] = char(flipped[flipped.size() - 9] ^ 0x10);  // in the project's zlib stream
  QByteArray earlier = ProjectRecoveryBytes(wrongFrame);
  earlier[8] = 1;  // copies before the format byte held their kind there
  const std::vector<std::pair<QByteArray, QString>> cases = {
      {"not a copy at all", "It is not a recovery file."},
      {ProjectRecoveryBytes(wrongFrame), "Its frame under edit, 99, is not one of its 5 frames."},
      {flipped, "Its project does not match its checksum."},
      {earlier, "It was written by an earlier version of Tavel."},
  };
  for (const auto& [bytes, why] : cases) {
    for (const QString& kept : QDir(Dir.path()).entryList({"1.tvlrec.damaged-*"})) QFile::remove(File(kept));
    WriteWholeFile(File("1.tvlrec"), bytes);
    Dialogs.Calls.clear();
    Start();
    Form->FormActivate();
    EXPECT_EQ(Dialogs.Messages().join("|").toStdString(),
              ("1.tvlrec is damaged and was not opened. " + why).toStdString());
    EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::Recover), 0);
    EXPECT_FALSE(QFile::exists(File("1.tvlrec")));
    const QStringList kept = QDir(Dir.path()).entryList({"1.tvlrec.damaged-*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadWholeFile(File(kept[0]), MaxRecoveryFileBytes), bytes);
    Keeper.reset();
    Host.reset();
    Builder = nullptr;
    Form.reset();
  }
}

TEST_F(RecoveryTest, DiscardDeletesTheCopyWhileLaterAndALackOfMemoryKeepItForTheNextStart) {
  RunRecoveryScript(Doc());
  Crash();
  const QByteArray copy = ReadWholeFile(File("1.tvlrec"), MaxRecoveryFileBytes);
  const auto keptForLater = [&](TRecoveryAnswer Answer, bool NoMemory) {
    Start();
    Dialogs.RecoverAnswers = {Answer};
    if (NoMemory) FailPicturesFrom(1);  // the recovered drawing's pictures cannot be made
    Form->FormActivate();
    FailPicturesFrom(0);
    EXPECT_EQ(Dialogs.RecoverAnswers.empty(), !NoMemory) << "offered though it could not be read";
    Dialogs.RecoverAnswers.clear();
    EXPECT_EQ(Anim().Frames.size(), 0u);
    EXPECT_EQ(Keeper->Slot()->ProjectFile(), File("2.tvlrec"));
    Doc().NextFrame();  // new work goes to the program's own slot
    Crash();
    EXPECT_EQ(ReadWholeFile(File("1.tvlrec"), MaxRecoveryFileBytes), copy);
    QFile::remove(File("2.tvlrec"));
  };
  keptForLater(TRecoveryAnswer::Later, false);
  keptForLater(TRecoveryAnswer::Recover, true);
  EXPECT_EQ(Dialogs.Messages().size(), 1);

  Restart(TRecoveryAnswer::Discard);
  EXPECT_EQ(Anim().Frames.size(), 0u);
  EXPECT_TRUE(Doc().IsSaved());
  EXPECT_FALSE(QFile::exists(File("1.tvlrec")));
}

// The program itself, killed while it works, then started again.
TEST(RecoveryChildTest, AKilledProgramIsRecoveredByteForByte) {
  QTemporaryDir dir;
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(QStringLiteral(TAVEL_RECOVERY_CHILD), {dir.path()});
  ASSERT_TRUE(child.waitForStarted());
  // The child says when its copy has been written, then works on.
  while (!child.canReadLine()) ASSERT_TRUE(child.waitForReadyRead(60000)) << "the child wrote no copy";
  EXPECT_EQ(child.readLine().trimmed(), "written");
  child.kill();  // SIGKILL: nothing of the program runs after it
  ASSERT_TRUE(child.waitForFinished());
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

  TScriptedDialogs dialogs;
  TMainForm form(dialogs);
  TFigureBuilderForm& builder = form.FigureBuilder();
  TMainRecoveryHost host(form, &builder);
  TRecoveryKeeper keeper(form.Document(), host, dialogs, dir.path());
  dialogs.RecoverAnswers = {TRecoveryAnswer::Recover};
  form.FormActivate();
  ExpectScriptRecovered(form, builder);
}

#ifdef Q_OS_UNIX
// The program asked to end by the system: unsaved work is written then and
// offered at the next start; saved work leaves nothing behind.
TEST(RecoveryChildTest, ASignalToEndKeepsUnsavedWorkAndLeavesNothingOfSavedWork) {
  struct TRow {
    int Signal;
    const char* Mode;
  };
  for (const TRow& row :
       {TRow{SIGTERM, "unsaved"}, TRow{SIGHUP, "unsaved"}, TRow{SIGINT, "saved"}, TRow{SIGTERM, "saved"}}) {
    const std::string name = std::to_string(row.Signal) + " " + row.Mode;
    const bool saved = std::string(row.Mode) == "saved";
    QTemporaryDir dir;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TAVEL_RECOVERY_CHILD), {dir.path(), QString::fromLatin1(row.Mode)});
    ASSERT_TRUE(child.waitForStarted());
    while (!child.canReadLine()) ASSERT_TRUE(child.waitForReadyRead(60000)) << name;
    ASSERT_EQ(child.readLine().trimmed(), "ready");
    ::kill(static_cast<pid_t>(child.processId()), row.Signal);
    ASSERT_TRUE(child.waitForFinished(60000)) << name;
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << name;
    EXPECT_EQ(child.exitCode(), 0) << name;
    QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    left.removeAll(QStringLiteral("walk.tvl"));
    EXPECT_EQ(left, saved ? QStringList() : QStringList({"1.stkrec", "1.tvlrec"})) << name;

    TScriptedDialogs dialogs;
    TMainForm form(dialogs);
    TFigureBuilderForm& builder = form.FigureBuilder();
    TMainRecoveryHost host(form, &builder);
    TRecoveryKeeper keeper(form.Document(), host, dialogs, dir.path());
    if (!saved) dialogs.RecoverAnswers = {TRecoveryAnswer::Recover};
    form.FormActivate();
    EXPECT_EQ(dialogs.CountOf(TScriptedDialogs::TKind::Recover), saved ? 0 : 1) << name;
    if (!saved) ExpectScriptRecovered(form, builder);
  }
}
#endif

}  // namespace
