// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files: beside it, or installed under a prefix
// with the dialogs in the user's own folders.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/ProgramPaths.h"

namespace {

void Touch(const QString& Path) {
  QDir().mkpath(QFileInfo(Path).path());
  QFile file(Path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x");
}

TEST(ProgramPaths, BesideTheProgramOrInstalledUnderAPrefix) {
  QTemporaryDir root;
  const QString portable = root.filePath("portable"), prefix = root.filePath("usr"), docs = root.filePath("docs");
  Touch(portable + "/ReadMe.txt");
  Touch(portable + "/animations/walk.tvl");
  Touch(prefix + "/share/tavel/ReadMe.txt");
  Touch(prefix + "/share/tavel/stick figures/dog.stk");
  QDir().mkpath(prefix + "/bin");

  const struct {
    const char* Name;
    QString Program;
    bool Writable;
    QString Shipped, Dialogs;
  } cases[] = {
      {"portable copy", portable, true, portable, portable},
      {"read-only portable copy", portable, false, portable, docs + "/Tavel"},
      {"installed", prefix + "/bin", false, prefix + "/share/tavel", docs + "/Tavel"},
      {"installed, writable bin", prefix + "/bin", true, prefix + "/share/tavel", docs + "/Tavel"},
      {"nothing shipped", root.filePath("bare"), true, root.filePath("bare"), docs + "/Tavel"},
  };
  for (const auto& c : cases) {
    const TProgramPlaces places = FindProgramPlaces(c.Program, c.Writable, docs);
    EXPECT_EQ(places.Shipped, c.Shipped) << c.Name;
    EXPECT_EQ(places.ReadMe, c.Shipped + "/ReadMe.txt") << c.Name;
    EXPECT_EQ(places.Animations, c.Dialogs + "/animations") << c.Name;
    EXPECT_EQ(places.StickFigures, c.Dialogs + "/stick figures") << c.Name;
  }
  // Without a documents folder the dialogs start in the shipped folders.
  EXPECT_EQ(FindProgramPlaces(prefix + "/bin", false, QString()).Animations, prefix + "/share/tavel/animations");
}

TEST(ProgramPaths, TheUserFolderIsMadeOnceWithTheSamples) {
  QTemporaryDir root;
  Touch(root.filePath("shipped/dog.stk"));
  Touch(root.filePath("shipped/car.stk"));
  const QString folder = root.filePath("docs/Tavel/stick figures");
  ASSERT_TRUE(MakeUserFolder(folder, root.filePath("shipped")));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"car.stk", "dog.stk"}));
  // Later the user's own changes stay: nothing is copied again.
  QFile::remove(folder + "/dog.stk");
  ASSERT_TRUE(MakeUserFolder(folder, root.filePath("shipped")));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"car.stk"}));
  // A folder that cannot be made (its parent is a file) is reported.
  Touch(root.filePath("file"));
  EXPECT_FALSE(MakeUserFolder(root.filePath("file/sub"), root.filePath("shipped")));
}

}  // namespace
