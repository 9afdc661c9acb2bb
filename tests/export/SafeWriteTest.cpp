// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the program writes replaces the old one only once the new one
// is complete. Seen from outside, in a child process: a replaced file is a
// new file (a new inode, not the old one overwritten), and a write cut short
// by a file size limit leaves the old bytes, no temporary file, and an error
// that gives the system's reason.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

#include "tests/support/TestPictures.h"

namespace {

struct TRun {
  int Status = -1;
  QString Err;
};

// Writes one kind of file through the program's own writer in a child
// process, with a file size limit when Limit is not 0.
TRun WriteInChild(const QString& Kind, const QString& Path, rlim_t Limit) {
  QProcess child;
  if (Limit != 0)
    child.setChildProcessModifier([Limit] {
      const rlimit limit{Limit, Limit};
      setrlimit(RLIMIT_FSIZE, &limit);
      std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    });
  child.start(QStringLiteral(TAVEL_WRITE_CHILD), {Kind, Path});
  EXPECT_TRUE(child.waitForFinished(60000));
  return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
          QString::fromLocal8Bit(child.readAllStandardError())};
}

ino_t Inode(const QString& Path) {
  struct stat info {};
  EXPECT_EQ(stat(QFile::encodeName(Path).constData(), &info), 0) << Path.toStdString();
  return info.st_ino;
}

TEST(SafeWrite, AReplacedFileIsNewAndAWriteCutShortLeavesTheOldOneAndSaysWhy) {
  struct TCase {
    const char* Kind;
    const char* Chosen;   // the name the writer is given
    const char* Written;  // the (first) file it writes
  };
  for (const TCase& c : {TCase{"project", "walk.tvl", "walk.tvl"}, TCase{"stk", "walk.stk", "walk.stk"},
                         TCase{"gif", "walk.gif", "walk.gif"}, TCase{"bmp", "walk.bmp", "walk0.bmp"}}) {
    QTemporaryDir dir;
    const QString target = dir.filePath(c.Written);
    WriteTestFile(target, "old bytes");
    const ino_t before = Inode(target);

    const TRun cut = WriteInChild(c.Kind, dir.filePath(c.Chosen), 1000);
    EXPECT_EQ(cut.Status, 1) << c.Kind;
    EXPECT_TRUE(cut.Err.startsWith(target + ": " + QString::fromLocal8Bit(std::strerror(EFBIG))))
        << c.Kind << ": " << cut.Err.toStdString();
    EXPECT_EQ(ReadTestFile(target), "old bytes") << c.Kind;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{c.Written}) << c.Kind;

    const TRun whole = WriteInChild(c.Kind, dir.filePath(c.Chosen), 0);
    EXPECT_EQ(whole.Status, 0) << c.Kind << ": " << whole.Err.toStdString();
    EXPECT_NE(ReadTestFile(target), "old bytes") << c.Kind;
    EXPECT_NE(Inode(target), before) << c.Kind;
  }
}

}  // namespace
