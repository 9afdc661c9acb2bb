// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes recovery files on a thread of its own, so the window never waits
// for a disk. Each file has at most one pending task: a newer write replaces
// the one not yet begun, and a removal replaces a pending write. Tasks run
// in the order their files were first queued. A failed write leaves the
// earlier file as it was and is reported in LastError and to the report
// function.

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "files/WholeFile.h"

class TRecoveryWriter {
 public:
  // Writes a whole file; EFileError ("path: reason") when it cannot.
  using TWriteFile = std::function<void(const QString& Path, const QByteArray& Bytes)>;
  // Told on the writer's thread how each write went: Error is empty when
  // the file was written, else the reason (for a file the system refused,
  // its reason alone, without the file's name).
  using TReport = std::function<void(const QString& Path, const QString& Error)>;
  explicit TRecoveryWriter(TWriteFile WriteFile = WriteWholeFile, TReport Report = {});
  // Finishes what is queued, then stops.
  ~TRecoveryWriter();
  TRecoveryWriter(const TRecoveryWriter&) = delete;
  TRecoveryWriter& operator=(const TRecoveryWriter&) = delete;

  // Replaces the file at Path with what MakeBytes returns, made on the
  // writer's thread (an EFileError from it writes nothing).
  void Write(const QString& Path, std::function<QByteArray()> MakeBytes);
  // Deletes the file at Path.
  void Remove(const QString& Path);
  // Waits until every queued task has run.
  void Flush();

  // The number of files written so far, and the reason the last failure gave.
  int Written() const;
  QString LastError() const;

 private:
  struct TTask {
    QString Path;
    std::function<QByteArray()> MakeBytes;  // empty: remove the file
  };
  void Run();
  void Queue(TTask&& Task);

  mutable std::mutex Lock;
  std::condition_variable Wake;
  std::condition_variable Idle;
  std::vector<TTask> Tasks;
  bool Busy = false;
  bool Stopping = false;
  const TWriteFile WriteFile;
  const TReport Report;
  int WrittenCount = 0;
  QString Error;
  std::thread Worker;
};
