// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery writer's thread: the newest content of a file wins, a
// removal replaces a write not yet begun, and a failure keeps the old file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <future>

#include "files/FileError.h"
#include "files/RecoveryWriter.h"
#include "files/WholeFile.h"

namespace {

TEST(RecoveryWriter, TheNewestContentWinsARemovalReplacesAPendingWriteAndAFailureKeepsTheFile) {
  QTemporaryDir dir;
  const QString a = dir.filePath("a"), b = dir.filePath("b");
  TRecoveryWriter writer;
  // The first write holds the thread until the rest is queued behind it.
  std::promise<void> go, running;
  std::shared_future<void> started = go.get_future().share();
  std::atomic<int> made{0};
  const auto bytes = [&](const QByteArray& B) {
    return [&, B] {
      ++made;
      return B;
    };
  };
  writer.Write(a, [&, started] {
    running.set_value();
    started.wait();
    return QByteArray("first");
  });
  running.get_future().wait();
  writer.Write(b, bytes("b1"));
  writer.Write(b, bytes("b2"));  // replaces b1, never made
  writer.Write(a, bytes("a2"));
  writer.Remove(a);  // replaces a2
  go.set_value();
  writer.Flush();
  EXPECT_FALSE(QFile::exists(a));
  EXPECT_EQ(ReadWholeFile(b, 100), "b2");
  EXPECT_EQ(made, 1);
  EXPECT_EQ(writer.Written(), 2);

  writer.Write(
      b, []() -> QByteArray { throw EFileError("The project was not saved: its background picture is missing."); });
  writer.Flush();
  EXPECT_EQ(ReadWholeFile(b, 100), "b2");
  EXPECT_EQ(writer.LastError(), "The project was not saved: its background picture is missing.");
}

}  // namespace
