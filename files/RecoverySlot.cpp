// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecoverySlot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

TRecoverySlot::TRecoverySlot(const QString& Base) : Base(Base), Lock(Base + QStringLiteral(".lock")) {
  // A lock is stale only when its program is gone, however old it is.
  Lock.setStaleLockTime(0);
}

bool TRecoverySlot::HoldsFiles() const { return QFile::exists(ProjectFile()) || QFile::exists(TypeFile()); }

std::unique_ptr<TRecoverySlot> TRecoverySlot::Take(const QString& Folder, bool LeftBehind) {
  if (!QDir().mkpath(Folder)) return nullptr;
  for (int n = 1; n <= Count; ++n) {
    std::unique_ptr<TRecoverySlot> slot(new TRecoverySlot(QDir(Folder).filePath(QString::number(n))));
    if (slot->HoldsFiles() != LeftBehind) continue;
    if (slot->Lock.tryLock(0)) return slot;
  }
  return nullptr;
}

void TRecoverySlot::KeepAside(const QString& File) {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
  QFile::rename(File, File + QStringLiteral(".damaged-") + stamp);
}
