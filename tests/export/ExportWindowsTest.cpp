// SPDX-License-Identifier: GPL-3.0-or-later
// The Gif Options and progress windows, and Save Animation handing over to
// them by the export types' rules.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <functional>
#include <thread>
#include <tuple>

#include "editor/ExportController.h"
#include "editor/FramesController.h"
#include "editor/MainUnit.h"
#include "export/BitmapExport.h"
#include "export/ExportTypes.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"
#include "export/windows/GifSaveUnit.h"
#include "export/windows/ProgressUnit.h"
#include "files/ProjectFile.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestPictures.h"

class ExportWindowsTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAnimation({.Width = 80, .Height = 60, .Frames = 4, .Seed = 9});
    // Every test starts from the options a new user has.
    QSettings().remove(QStringLiteral("ExportOptions"));
  }
  void TearDown() override { Anim = TAnimation(); }

  // Clicks OK when the options window is shown, after Setup has filled it in.
  void AnswerOptions(const std::function<void(TGifOptionsForm&)>& Setup = {}) {
    Dialogs.OnExecModal = [Setup](QDialog& Dialog) {
      auto& form = dynamic_cast<TGifOptionsForm&>(Dialog);
      if (Setup) Setup(form);
      form.OkButton->click();
      return Dialog.result();
    };
  }
  QString Path(const QString& Name) const { return Dir.filePath(Name); }

  TScriptedDialogs Dialogs;
  TProgressForm Progress;
  TGifOptionsForm Options{Dialogs, Progress};
  QTemporaryDir Dir;
};

TEST_F(ExportWindowsTest, ControlsCaptionsRangesAndDefaults) {
  EXPECT_EQ(Options.windowTitle(), "Gif Options");
  EXPECT_EQ(Options.size(), QSize(267, 217));
  EXPECT_EQ(Options.DelayLabel->text(), "Frame Delay (1/100th second)");
  EXPECT_EQ(Options.ShrinkLabel->text(), "Shrink frames by    1 /");
  EXPECT_EQ(Options.OptimizationGroupBox->title(), "Optimization");
  for (auto [edit, min, max] : {std::tuple{Options.SpinEditDelay, 1, 1000000}, {Options.SpinEditShrink, 1, 9}}) {
    EXPECT_EQ(edit->minimum(), min);
    EXPECT_EQ(edit->maximum(), max);
    EXPECT_EQ(edit->value(), 1);
  }
  for (auto [box, caption] : {std::pair{Options.CheckBoxMerge, "Merge"},
                              {Options.CheckBoxCrop, "Crop"},
                              {Options.CheckBoxPalette, "Palette"}}) {
    EXPECT_EQ(box->text(), caption);
    EXPECT_TRUE(box->isChecked());
  }
  EXPECT_EQ(Options.CheckBoxExactColors->text(), "Exact colours");
  EXPECT_FALSE(Options.CheckBoxExactColors->isChecked());
  EXPECT_EQ(Options.CheckBoxSmaller->text(), "Smaller file");
  EXPECT_FALSE(Options.CheckBoxSmaller->isChecked());
  EXPECT_EQ(Progress.windowTitle(), "Saving Animation");
  EXPECT_EQ(Progress.size(), QSize(338, 42));
  EXPECT_EQ(Progress.ProgressBar->geometry(), QRect(8, 8, 321, 25));
  EXPECT_EQ(Progress.ProgressBar->maximum(), 100);
}

TEST_F(ExportWindowsTest, OkExportsWithTheOptionsShownAndKeepsThem) {
  std::vector<std::pair<int, bool>> shown;  // bar values, and whether the window was up
  QObject::connect(Progress.ProgressBar, &QProgressBar::valueChanged,
                   [&](int V) { shown.emplace_back(V, Progress.isVisible()); });
  Options.SetExport(Anim, Path("walk"));
  AnswerOptions([](TGifOptionsForm& Form) {
    Form.SpinEditDelay->setValue(250);
    Form.SpinEditShrink->setValue(3);
    Form.CheckBoxPalette->setChecked(false);
    Form.CheckBoxExactColors->setChecked(true);
    Form.CheckBoxSmaller->setChecked(true);
  });
  EXPECT_EQ(Dialogs.ExecModal(Options), QDialog::Accepted);
  EXPECT_TRUE(Dialogs.Messages().isEmpty()) << Dialogs.Messages().join('\n').toStdString();
  ExportGifFile(Path("same.gif"), Anim,
                {.Delay = 250, .Shrink = 3, .Palette = false, .ExactColors = true, .Smaller = true});
  EXPECT_TRUE(ReadTestFile(Path("walk.gif")) == ReadTestFile(Path("same.gif")));
  EXPECT_TRUE(Options.GetAnimationFileName().isEmpty());
  ASSERT_GE(shown.size(), 2u);
  for (std::size_t i = 0; i + 1 < shown.size(); ++i) EXPECT_TRUE(shown[i].second) << i;
  EXPECT_EQ(shown[shown.size() - 2].first, 100);
  EXPECT_EQ(shown.back(), std::make_pair(0, false));  // hiding resets the bar

  // The next export starts from the same settings.
  Options.SetExport(Anim, Path("again"));
  AnswerOptions();
  Dialogs.ExecModal(Options);
  EXPECT_TRUE(ReadTestFile(Path("again.gif")) == ReadTestFile(Path("same.gif")));
}

TEST_F(ExportWindowsTest, AFailureIsReportedAndTheNameKept) {
  Options.SetExport(Anim, Path("no folder/walk"));
  AnswerOptions();
  EXPECT_EQ(Dialogs.ExecModal(Options), QDialog::Accepted);
  ASSERT_EQ(Dialogs.Messages().size(), 1);
  EXPECT_TRUE(Dialogs.Messages()[0].startsWith(Path("no folder/walk.gif: "))) << Dialogs.Messages()[0].toStdString();
  EXPECT_EQ(Options.GetAnimationFileName(), Path("no folder/walk"));
  EXPECT_FALSE(Progress.isVisible());
}

TEST_F(ExportWindowsTest, SaveAnimationHandsOverByFileType) {
  Anim = TAnimation();
  TMainForm form(Dialogs);
  for (int i = 0; i < 3; ++i) {
    TFigure moved = form.Document().WorkingFrame().Items[0];
    moved.MoveBy(RealPoint(10, 0));
    form.Document().DragFigure(0, moved);
    form.Frames().NextFrameButtonClick();
  }
  // The GIF takes the playback rate: 73 ms between frames, a delay of 7.
  form.Controls().RateScrollBar->setValue(73);
  AnswerOptions([](TGifOptionsForm& Form) { Form.PlaybackRateButton->click(); });
  Dialogs.SaveAnswers.push_back({true, Path("walk.gif"), 1});
  form.Exports().SaveAnimationClick();
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::Modal), 1);
  EXPECT_EQ(form.ExportOptions().SpinEditDelay->value(), 7);
  form.ExportOptions().SpinEditDelay->setValue(1);
  ExportGifFile(Path("same.gif"), form.Animation(), {.Delay = 7});
  EXPECT_TRUE(ReadTestFile(Path("walk.gif")) == ReadTestFile(Path("same.gif")));

  // The BMP type names the pictures after the chosen name without a
  // four-character ending that names none of the types.
  const std::pair<const char*, const char*> names[] = {
      {"walk.bmp", "walk"}, {"run.abc", "run"}, {"jump.jpeg", "jump.jpeg"}};
  for (auto [chosen, base] : names) {
    Dialogs.SaveAnswers.push_back({true, Path(chosen), 2});
    form.Exports().SaveAnimationClick();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(QFileInfo(Path("%1%2.bmp").arg(base).arg(i)).isFile()) << chosen << i;
  }

  // The PNG types: the sequence is named as the BMP one; the animated PNG
  // takes the delay from the options window, whose GIF options are off.
  Dialogs.SaveAnswers.push_back({true, Path("clip.png"), 3});
  form.Exports().SaveAnimationClick();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(QFileInfo(Path("clip%1.png").arg(i)).isFile()) << i;
  for (int round = 0; round < 2; ++round) {
    AnswerOptions([](TGifOptionsForm& Form) {
      EXPECT_FALSE(Form.OptimizationGroupBox->isEnabled());
      Form.SpinEditDelay->setValue(12);
    });
    // The second time the file exists: the question names it.
    if (round == 1) Dialogs.YesNoAnswers.push_back(true);
    Dialogs.SaveAnswers.push_back({true, Path("clip.APNG"), 4});
    form.Exports().SaveAnimationClick();
  }
  EXPECT_EQ(Dialogs.CountOf(TScriptedDialogs::TKind::YesNo), 1);
  ExportAnimatedPngFile(Path("same.apng"), form.Animation(), 12, 1);
  EXPECT_TRUE(ReadTestFile(Path("clip.apng")) == ReadTestFile(Path("same.apng")));

  // Video: MP4 (5) and WebM (6) are types of their own, and a typed ending
  // of either chooses it; the options window gives the delay. (A missing
  // ffmpeg is its message.)
  const std::tuple<const char*, int, const char*> videos[] = {
      {"film.webm", 5, "film.webm"}, {"film", 5, "film.mp4"}, {"clip", 6, "clip.webm"}};
  for (auto [chosen, type, written] : videos) {
    AnswerOptions([](TGifOptionsForm& Form) { EXPECT_FALSE(Form.OptimizationGroupBox->isEnabled()); });
    Dialogs.SaveAnswers.push_back({true, Path(chosen), type});
    form.Exports().SaveAnimationClick();
    const QByteArray video = ReadTestFile(Path(written));
    if (!Dialogs.Messages().contains(NoFfmpegMessage)) {
      // WebM opens with the EBML mark, MP4 with its "ftyp" box.
      EXPECT_TRUE(QString(written).endsWith(".webm") ? video.startsWith("\x1A\x45\xDF\xA3") : video.mid(4, 4) == "ftyp")
          << written;
    }
    Dialogs.Calls.clear();
  }
  EXPECT_FALSE(form.Progress().isVisible());
  EXPECT_TRUE(Dialogs.Messages().isEmpty()) << Dialogs.Messages().join('\n').toStdString();
}

TEST_F(ExportWindowsTest, SmoothLinesReachEveryExportSaveAnimationMakes) {
  QSettings().remove("View");
  TMainForm form(Dialogs);
  form.Frames().NextFrameButtonClick();
  form.Controls().SmoothLinesAction->trigger();
  // The video goes to a "ffmpeg" that keeps the raw frames it is given.
  QTemporaryDir programs;
  WriteWholeFile(programs.filePath("ffmpeg"), "#!/bin/sh\nfor last; do :; done\ncat >\"$last\"\n");
  QFile::setPermissions(programs.filePath("ffmpeg"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", programs.path().toLocal8Bit() + ":" + path);
  const TAnimation& a = form.Animation();
  const TLineStyle smooth = TLineStyle::Smooth;
  // Each type: the name chosen, the first file written, and that file as the
  // same export made in the program writes it.
  struct TCase {
    const char* Chosen;
    int Type;
    const char* Written;
    std::function<QByteArray()> Same;
  } cases[] = {
      {"walk.gif", 1, "walk.gif",
       [&] {
         ExportGifFile(Path("same.gif"), a, {.Lines = smooth});
         return ReadTestFile(Path("same.gif"));
       }},
      {"walk.bmp", 2, "walk0.bmp",
       [&] {
         SaveAnimationAsBitmaps(Path("same"), a, {}, 0, smooth);
         return ReadTestFile(Path("same0.bmp"));
       }},
      {"walk.png", 3, "walk0.png",
       [&] {
         SaveAnimationAsPngs(Path("same"), a, {}, 0, smooth);
         return ReadTestFile(Path("same0.png"));
       }},
      {"walk.apng", 4, "walk.apng",
       [&] {
         ExportAnimatedPngFile(Path("same.apng"), a, 1, 1, {}, 0, smooth);
         return ReadTestFile(Path("same.apng"));
       }},
      {"walk.webm", 6, "walk.webm",
       [&] {
         QImage frame(a.Size(), QImage::Format_RGB32);
         QPainter canvas(&frame);
         PrepareCanvas(canvas);
         DrawFrame(canvas, a, a.Frames[0], 1.0f, smooth);
         canvas.end();
         // The pipe's frame: a WebM of odd height (the walk's 415 rows)
         // gets the picture's own pixels.
         return QByteArray(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes());
       }},
  };
  for (const TCase& c : cases) {
    AnswerOptions();
    Dialogs.SaveAnswers.push_back({true, Path(c.Chosen), c.Type});
    form.Exports().SaveAnimationClick();
    EXPECT_TRUE(ReadTestFile(Path(c.Written)) == c.Same()) << c.Written;
  }
  qputenv("PATH", path);
  form.Controls().SmoothLinesAction->trigger();
  EXPECT_TRUE(Dialogs.Messages().isEmpty()) << Dialogs.Messages().join('\n').toStdString();
}

// An export drawing frames on its threads while the thumbnail strip draws
// the same frames, none of them placed yet: the GIF is the one a quiet export
// writes. (make tsan runs this under ThreadSanitizer.)
TEST_F(ExportWindowsTest, AnExportAndTheStripDrawTheSameFramesAtOnce) {
  InstallAnimation({.Width = 120, .Height = 90, .Frames = 40, .Seed = 3});
  WriteProjectFile(Path("walk"), Anim);
  TMainForm form(Dialogs);
  Dialogs.OpenAnswers.push_back({true, Path("walk.tvl"), 0});
  form.Controls().OpenAnimationAction->trigger();
  ASSERT_EQ(form.Controls().TimelineImages->Count(), 40);
  std::thread exporter([&] { ExportGifFile(Path("busy.gif"), form.Animation(), {}, {}, 3); });
  for (int i = 0; i < 40; ++i) form.Controls().TimelineImages->Thumbnail(i);
  exporter.join();
  ExportGifFile(Path("quiet.gif"), form.Animation(), {}, {}, 1);
  EXPECT_TRUE(ReadTestFile(Path("busy.gif")) == ReadTestFile(Path("quiet.gif")));
}

// Each type has its window: the GIF's options only for the GIF, a title of
// its own, and what the last OK of that type ran with; Cancel writes
// nothing and remembers nothing.
TEST_F(ExportWindowsTest, EachTypeShowsItsOwnOptionsAndRemembersThem) {
  const auto run = [&](TExportTypeId Kind, const QString& Name, const std::function<void(TGifOptionsForm&)>& Setup) {
    Options.SetExport(Anim, Path(Name), Kind);
    AnswerOptions(Setup);
    return Dialogs.ExecModal(Options);
  };
  run(TExportTypeId::Gif, "a", [](TGifOptionsForm& F) {
    F.SpinEditDelay->setValue(30);
    F.SpinEditShrink->setValue(2);
    F.CheckBoxMerge->setChecked(false);
  });
  run(TExportTypeId::AnimatedPng, "b", [](TGifOptionsForm& F) {
    EXPECT_EQ(F.windowTitle(), "Animated PNG Options");
    EXPECT_TRUE(F.OptimizationGroupBox->isHidden());
    EXPECT_EQ(F.size(), QSize(267, 139));
    EXPECT_EQ(F.SpinEditDelay->value(), 1);
    F.SpinEditDelay->setValue(12);
  });
  // Cancel: no file, and the GIF's settings stay those of its last OK.
  Options.SetExport(Anim, Path("c"), TExportTypeId::Gif);
  Dialogs.OnExecModal = [](QDialog& Dialog) {
    auto& form = dynamic_cast<TGifOptionsForm&>(Dialog);
    form.SpinEditDelay->setValue(99);
    form.CancelButton->click();
    return Dialog.result();
  };
  EXPECT_EQ(Dialogs.ExecModal(Options), QDialog::Rejected);
  EXPECT_FALSE(QFileInfo::exists(Path("c.gif")));
  // A window of a later start shows each type's last settings.
  TGifOptionsForm later(Dialogs, Progress);
  const std::tuple<TExportTypeId, const char*, int, int, bool> rows[] = {
      {TExportTypeId::Gif, "Gif Options", 30, 2, false},
      {TExportTypeId::AnimatedPng, "Animated PNG Options", 12, 1, true},
      {TExportTypeId::Mp4, "Video Options", 1, 1, true}};
  for (auto [kind, title, delay, shrink, merge] : rows) {
    later.SetExport(Anim, Path("d"), kind);
    EXPECT_EQ(later.windowTitle(), title);
    EXPECT_EQ(later.SpinEditDelay->value(), delay) << title;
    EXPECT_EQ(later.SpinEditShrink->value(), shrink) << title;
    if (kind == TExportTypeId::Gif) {
      EXPECT_EQ(later.CheckBoxMerge->isChecked(), merge);
    }
  }
}

// A type's window reads what was kept under its settings key, which users'
// settings from before still have; the two videos share theirs. A type
// written without the window is refused.
TEST_F(ExportWindowsTest, ATypesWindowReadsTheSettingsKeptUnderItsKey) {
  QSettings settings;
  settings.setValue("ExportOptions/Gif/Delay", 41);
  settings.setValue("ExportOptions/AnimatedPng/Delay", 42);
  settings.setValue("ExportOptions/Video/Delay", 43);
  const std::tuple<TExportTypeId, int, const char*> rows[] = {{TExportTypeId::Gif, 41, "Gif Options"},
                                                              {TExportTypeId::AnimatedPng, 42, "Animated PNG Options"},
                                                              {TExportTypeId::Mp4, 43, "Video Options"},
                                                              {TExportTypeId::WebM, 43, "Video Options"}};
  for (auto [type, delay, title] : rows) {
    Options.SetExport(Anim, Path("a"), type);
    EXPECT_EQ(&Options.ExportedType(), &ExportType(type));
    EXPECT_EQ(Options.windowTitle(), title);
    EXPECT_EQ(Options.SpinEditDelay->value(), delay) << title;
  }
  EXPECT_THROW(Options.SetExport(Anim, Path("a"), TExportTypeId::Bitmap), std::invalid_argument);
}

// The rules the export types give Save Animation: the save dialog's list
// of file types, the base name a chosen path gives, the files an export
// writes.
TEST(ExportTypes, TheSaveDialogListsEveryTypeProjectFirst) {
  EXPECT_EQ(SaveDialogFilters(), QStringList({"Tavel File (*.tvl)", "Gif (*.gif)", "Bitmap (*.bmp)", "PNG (*.png)",
                                              "Animated PNG (*.apng)", "MP4 video (*.mp4)", "WebM video (*.webm)"}));
  for (int i = 0; i < SaveDialogFilters().size(); ++i) EXPECT_EQ(static_cast<int>(ExportTypeOfFilter(i).Id), i);
  EXPECT_THROW(ExportTypeOfFilter(7), std::out_of_range);
  EXPECT_EQ(CommandLineEndings(), ".gif, .bmp, .png, .apng, .mp4 or .webm");
}

// The base name drops the type's own ending (five characters for ".apng")
// or any four-character one; a video keeps its type's ending or gets it.
// The files written follow from the base.
TEST(ExportTypes, BaseNamesAndTheFilesWritten) {
  using enum TExportTypeId;
  const struct {
    TExportTypeId Type;
    const char* Chosen;
    const char* Base;
    QStringList Written;  // for three frames
  } rows[] = {
      {Project, "walk.tvl", "walk", {"walk.tvl"}},
      {Project, "walk.gif", "walk", {"walk.tvl"}},
      {Gif, "walk.GIF", "walk", {"walk.gif"}},
      {Gif, "walk.apng", "walk.apng", {"walk.apng.gif"}},
      {Bitmap, "run.abc", "run", {"run0.bmp", "run1.bmp", "run2.bmp"}},
      {Bitmap, "jump.jpeg", "jump.jpeg", {"jump.jpeg0.bmp", "jump.jpeg1.bmp", "jump.jpeg2.bmp"}},
      {Png, "clip.png", "clip", {"clip0.png", "clip1.png", "clip2.png"}},
      {AnimatedPng, "clip.APNG", "clip", {"clip.apng"}},
      {AnimatedPng, "clip.png", "clip", {"clip.apng"}},
      {Mp4, "film", "film.mp4", {"film.mp4"}},
      {Mp4, "film.MP4", "film.MP4", {"film.MP4"}},
      {Mp4, "film.avi", "film.mp4", {"film.mp4"}},
      {WebM, "film.webm", "film.webm", {"film.webm"}},
      {WebM, "film.webmx", "film.webmx.webm", {"film.webmx.webm"}},
  };
  TAnimation three;
  three.Frames.resize(3);
  for (const auto& row : rows) {
    const TExportType& type = ExportType(row.Type);
    const QString base = ExportBaseName(type, row.Chosen);
    EXPECT_EQ(base, row.Base) << type.FileType << " " << row.Chosen;
    EXPECT_EQ(FilesWritten(type, base, three), row.Written) << type.FileType << " " << row.Chosen;
  }
  // A series has a file per tick (unless once a frame), numbered with as
  // many digits as the last one.
  three.Frames[1].Hold = 9;
  const QStringList eleven = FilesWritten(ExportType(Bitmap), "f", three);
  EXPECT_EQ(eleven.size(), 11);
  EXPECT_EQ(eleven.front(), "f00.bmp");
  EXPECT_EQ(eleven.back(), "f10.bmp");
  EXPECT_EQ(FilesWritten(ExportType(Png), "f", three, true), (QStringList{"f0.png", "f1.png", "f2.png"}));
}
