// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString ReadMeName = QStringLiteral("ReadMe.txt");
const QString AnimationsName = QStringLiteral("animations");
const QString StickFiguresName = QStringLiteral("stick figures");

bool HoldsShippedFiles(const QDir& Folder) {
  return Folder.exists(ReadMeName) || Folder.exists(AnimationsName) || Folder.exists(StickFiguresName);
}

TProgramPlaces Places() {
  const QString program = QCoreApplication::applicationDirPath();
  return FindProgramPlaces(program, QFileInfo(program).isWritable(),
                           QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

// The user's copy of a shipped folder, made now if need be; the shipped
// folder itself when no copy can be made.
QString DialogFolder(QString TProgramPlaces::*Which, const QString& Name) {
  const TProgramPlaces places = Places();
  QString folder = places.*Which;
  if (!places.UserFolders) return folder;
  const QString shipped = QDir(places.Shipped).filePath(Name);
  return MakeUserFolder(folder, shipped) ? folder : shipped;
}

}  // namespace

TProgramPlaces FindProgramPlaces(const QString& ProgramFolder, bool ProgramFolderWritable, const QString& Documents) {
  const QDir program(ProgramFolder);
  const QDir installed(QDir::cleanPath(program.filePath(QStringLiteral("../share/tavel"))));
  TProgramPlaces places;
  const bool beside = HoldsShippedFiles(program);
  places.Shipped = beside || !HoldsShippedFiles(installed) ? program.path() : installed.path();
  const QDir shipped(places.Shipped);
  places.ReadMe = shipped.filePath(ReadMeName);
  places.UserFolders = !(beside && ProgramFolderWritable) && !Documents.isEmpty();
  const QDir dialogs = places.UserFolders ? QDir(QDir(Documents).filePath(QStringLiteral("Tavel"))) : shipped;
  places.Animations = dialogs.filePath(AnimationsName);
  places.StickFigures = dialogs.filePath(StickFiguresName);
  return places;
}

bool MakeUserFolder(const QString& Folder, const QString& Samples) {
  QDir folder(Folder);
  if (folder.exists()) return true;
  if (!QDir().mkpath(Folder)) return false;
  const QDir samples(Samples);
  for (const QString& name : samples.entryList(QDir::Files)) QFile::copy(samples.filePath(name), folder.filePath(name));
  return true;
}

QString ReadMeFilePath() { return Places().ReadMe; }

QString AnimationsFolder() { return DialogFolder(&TProgramPlaces::Animations, AnimationsName); }

QString StickFiguresFolder() { return DialogFolder(&TProgramPlaces::StickFigures, StickFiguresName); }
