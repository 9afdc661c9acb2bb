// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecoveryWriter.h"

#include <QFile>
#include <algorithm>

#include "files/FileError.h"
#include "files/WholeFile.h"

TRecoveryWriter::TRecoveryWriter(TWriteFile WriteFile, TReport Report)
    : WriteFile(std::move(WriteFile)), Report(std::move(Report)), Worker([this] { Run(); }) {}

TRecoveryWriter::~TRecoveryWriter() {
  {
    std::lock_guard<std::mutex> hold(Lock);
    Stopping = true;
  }
  Wake.notify_one();
  Worker.join();
}

void TRecoveryWriter::Queue(TTask&& Task) {
  {
    std::lock_guard<std::mutex> hold(Lock);
    const auto same =
        std::find_if(Tasks.begin(), Tasks.end(), [&](const TTask& Other) { return Other.Path == Task.Path; });
    if (same != Tasks.end())
      *same = std::move(Task);
    else
      Tasks.push_back(std::move(Task));
  }
  Wake.notify_one();
}

void TRecoveryWriter::Write(const QString& Path, std::function<QByteArray()> MakeBytes) {
  Queue({Path, std::move(MakeBytes)});
}

void TRecoveryWriter::Remove(const QString& Path) { Queue({Path, {}}); }

void TRecoveryWriter::Flush() {
  std::unique_lock<std::mutex> hold(Lock);
  Idle.wait(hold, [this] { return Tasks.empty() && !Busy; });
}

int TRecoveryWriter::Written() const {
  std::lock_guard<std::mutex> hold(Lock);
  return WrittenCount;
}

QString TRecoveryWriter::LastError() const {
  std::lock_guard<std::mutex> hold(Lock);
  return Error;
}

void TRecoveryWriter::Run() {
  std::unique_lock<std::mutex> hold(Lock);
  for (;;) {
    Wake.wait(hold, [this] { return Stopping || !Tasks.empty(); });
    if (Tasks.empty()) return;  // stopping, with nothing left to do
    TTask task = std::move(Tasks.front());
    Tasks.erase(Tasks.begin());
    Busy = true;
    hold.unlock();
    QString error;
    bool written = false;
    try {
      if (task.MakeBytes) {
        WriteFile(task.Path, task.MakeBytes());
        written = true;
      } else if (QFile::exists(task.Path) && !QFile::remove(task.Path)) {
        error = QStringLiteral("%1 could not be deleted.").arg(task.Path);
      }
    } catch (const EFileError& e) {
      error = e.Reason();
    } catch (const std::exception& e) {
      error = QString::fromUtf8(e.what());
    }
    if (task.MakeBytes && Report) Report(task.Path, error);
    task = {};  // the snapshot goes before the lock is taken again
    hold.lock();
    Busy = false;
    WrittenCount += written ? 1 : 0;
    if (!error.isEmpty()) Error = error;
    if (Tasks.empty()) Idle.notify_all();
  }
}
