// SPDX-License-Identifier: GPL-3.0-or-later
// Reading files: only regular files, never more than the caller's bound.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/FileError.h"
#include "files/WholeFile.h"
#include "tests/support/TestPictures.h"

namespace {

std::string Refusal(const std::function<void()>& Read) {
  try {
    Read();
  } catch (const EFileError& e) {
    return e.what();
  }
  return "read";
}

TEST(WholeFile, OnlyRegularFilesAreOpenedAndNoMoreIsReadThanTheBound) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("fifo.stk"), zero = dir.filePath("zero.stk"), folder = dir.filePath("folder.tvl");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", zero));
  ASSERT_TRUE(QDir().mkdir(folder));
  // A pipe would hold the window waiting, a device feed it without end.
  for (const auto& [path, reason] : {std::pair{fifo, "Not a regular file"}, std::pair{zero, "Not a regular file"},
                                     std::pair{folder, "Is a directory"}}) {
    const std::string expected = (path + ": " + reason).toStdString();
    EXPECT_EQ(Refusal([Path = path] { ReadWholeFile(Path, 100); }), expected);
    EXPECT_EQ(Refusal([Path = path] { ReadFileStart(Path, 100); }), expected);
  }
  const QString file = dir.filePath("data");
  WriteTestFile(file, QByteArray(1000, 'x'));
  EXPECT_EQ(ReadFileStart(file, 10), QByteArray(10, 'x'));
  EXPECT_EQ(ReadWholeFile(file, 1000).size(), 1000);
  EXPECT_EQ(Refusal([&] { ReadWholeFile(file, 999); }),
            (file + ": the file is too large to open (1000 bytes)").toStdString());
  EXPECT_EQ(Refusal([&] { ReadWholeFile(dir.filePath("none"), 10); }),
            (dir.filePath("none") + ": No such file or directory").toStdString());
}

}  // namespace
