// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecoverySlot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <filesystem>
#include <system_error>

#include "files/FileError.h"
#include "files/WholeFile.h"

TRecoverySlot::TRecoverySlot(const QString& Base) : Base(Base), Lock(Base + QStringLiteral(".lock")) {
  // A lock is stale only when its program is gone, however old it is.
  Lock.setStaleLockTime(0);
}

bool TRecoverySlot::HoldsFiles() const { return QFile::exists(ProjectFile()) || QFile::exists(TypeFile()); }

namespace {

// The system's reason why nothing can be written in Folder, learnt by
// writing a small file there.
QString WriteFailure(const QString& Folder) {
  const QString probe = QDir(Folder).filePath(QStringLiteral("probe"));
  try {
    WriteWholeFile(probe, "probe");
  } catch (const EFileError& e) {
    return e.Reason();
  }
  QFile::remove(probe);
  return QStringLiteral("its lock file could not be written");
}

}  // namespace

std::unique_ptr<TRecoverySlot> TRecoverySlot::Take(const QString& Folder, bool LeftBehind, QString* Failure) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(Folder.toStdU16String()), error);
  if (error) {
    if (Failure != nullptr) *Failure = QString::fromLocal8Bit(error.message());
    return nullptr;
  }
  bool inUse = true;  // every lock tried belongs to a running program
  for (int n = 1; n <= Count; ++n) {
    std::unique_ptr<TRecoverySlot> slot(new TRecoverySlot(QDir(Folder).filePath(QString::number(n))));
    if (slot->HoldsFiles() != LeftBehind) continue;
    if (slot->Lock.tryLock(0)) return slot;
    inUse = inUse && slot->Lock.error() == QLockFile::LockFailedError;
  }
  if (Failure != nullptr) *Failure = inUse ? QStringLiteral("every slot is in use") : WriteFailure(Folder);
  return nullptr;
}

void TRecoverySlot::KeepAside(const QString& File) {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
  QFile::rename(File, File + QStringLiteral(".damaged-") + stamp);
}
