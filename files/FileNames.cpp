// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileNames.h"

#include "files/CodePage.h"
#include "files/WholeFile.h"

QString RemoveExtention(const QString& Name) {
  if (Name.size() >= 4 && Name.at(Name.size() - 4) == QLatin1Char('.')) return Name.left(Name.size() - 4);
  return Name;
}

QString FileName(const QString& Path, bool KeepExtension) {
  QString name = FileNamePart(Path);
  if (!KeepExtension && name.endsWith(QStringLiteral(".stk"), Qt::CaseInsensitive)) return name.chopped(4);
  return name;
}

QString FigureTypeNameOf(const QString& Path) {
  const QString name = FileName(Path, false);
  return StorableName(name.isEmpty() ? FileName(Path, true) : name);
}
