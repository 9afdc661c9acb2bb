#include "files/FileNames.h"

#include "files/WholeFile.h"

QString RemoveExtention(const QString& Name) {
  if (Name.size() >= 4 && Name.at(Name.size() - 4) == QLatin1Char('.')) return Name.left(Name.size() - 4);
  return Name;
}

QString FileName(const QString& Path, bool KeepExtension) {
  const QString name = FileNamePart(Path);
  if (!KeepExtension && name.endsWith(QStringLiteral(".stk"), Qt::CaseInsensitive)) return name.chopped(4);
  return name;
}
