// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recovery files of one running program: slot N of the recovery folder
// holds N.lock, the lock that marks the slot in use (QLockFile, with the
// process id), N.tvlrec for the project and N.stkrec for the builder's
// figure type. A slot whose lock is held by a running program is never
// touched; the lock of a program that is gone is taken over.

#include <QLockFile>
#include <QString>
#include <memory>

class TRecoverySlot {
 public:
  // The slot this program writes in: the first free slot that holds files
  // left behind, when LeftBehind, else the first free slot that holds none.
  // Null when the folder cannot be made, no lock can be written in it, or
  // every slot is in use; Failure, when given, then says why.
  static std::unique_ptr<TRecoverySlot> Take(const QString& Folder, bool LeftBehind, QString* Failure = nullptr);

  QString ProjectFile() const { return Base + QStringLiteral(".tvlrec"); }
  QString TypeFile() const { return Base + QStringLiteral(".stkrec"); }
  // True while the slot holds a project or a type recovery file.
  bool HoldsFiles() const;
  // Renames File out of the way, so it is kept but never offered again.
  static void KeepAside(const QString& File);

  // The number of slots a folder has.
  static constexpr int Count = 64;

 private:
  TRecoverySlot(const QString& Base);
  QString Base;
  QLockFile Lock;
};
