// SPDX-License-Identifier: GPL-3.0-or-later
// The two file-name operations the windows share.

#include <gtest/gtest.h>

#include "files/FileNames.h"

TEST(FileNames, RemoveExtentionDropsOnlyAThreeLetterEnding) {
  const std::pair<QString, QString> cases[] = {
      {"x.tvl", "x"},       {"a.b.gif", "a.b"},
      {"walk.bmp", "walk"}, {"movie.jpeg", "movie.jpeg"},
      {"walk", "walk"},     {"/tmp/dir.d/walk", "/tmp/dir.d/walk"},
      {".tvl", ""},         {"ab", "ab"},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(RemoveExtention(name), expected) << name.toStdString();
}

TEST(FileNames, FileNameNamesAFigureTypeAfterItsFile) {
  const struct {
    QString Path;
    bool Keep;
    QString Expected;
  } cases[] = {
      {"/home/ann/robot.stk", false, "robot"},
      {"/home/ann/Robot.STK", false, "Robot"},
      {"/home/ann/robot.stk", true, "robot.stk"},
      {"robot.stk", false, "robot"},
      // Without the ".stk" ending the whole name is the type's name.
      {"/home/ann/robot", false, "robot"},
      {"/home/ann/robot.txt", false, "robot.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileName(c.Path, c.Keep), c.Expected) << c.Path.toStdString();
}
