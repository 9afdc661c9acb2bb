// SPDX-License-Identifier: GPL-3.0-or-later
// What every dialog seam shares: the file type a typed name chooses, and the
// question before replacing files.

#include "platform/Dialogs.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

QStringList FilterEndings(const QString& Filter) {
  static const QRegularExpression Patterns(QStringLiteral("\\(([^)]*)\\)"));
  QStringList endings;
  const QRegularExpressionMatch match = Patterns.match(Filter);
  if (!match.hasMatch()) return endings;
  for (const QString& pattern : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
    // "*" and "*.*" name every file, not a type.
    if (pattern.startsWith(QLatin1String("*.")) && pattern.size() > 2 && pattern != QLatin1String("*.*"))
      endings << pattern.mid(1);
  return endings;
}

int FileTypeOfName(const QStringList& Filters, int Chosen, const QString& Path) {
  const QString name = QFileInfo(Path).fileName();
  const auto names = [&](qsizetype I) {
    const QStringList endings = FilterEndings(Filters.at(I));
    return std::any_of(endings.begin(), endings.end(), [&](const QString& Ending) {
      return name.size() > Ending.size() && name.endsWith(Ending, Qt::CaseInsensitive);
    });
  };
  if (Chosen >= 0 && Chosen < Filters.size() && names(Chosen)) return Chosen;
  for (qsizetype i = 0; i < Filters.size(); ++i)
    if (names(i)) return static_cast<int>(i);
  return Chosen;
}

QString ReplaceQuestion(const QStringList& Paths) {
  QString text = QStringLiteral("A file with that name already exists. Would you like to replace it?");
  if (Paths.isEmpty()) return text;
  text += QLatin1Char('\n') + QFileInfo(Paths.constFirst()).fileName();
  if (Paths.size() > 1)
    text += QStringLiteral(" to %1 (%2 files)").arg(QFileInfo(Paths.constLast()).fileName()).arg(Paths.size());
  return text;
}

TFileDialogResult TDialogs::SaveFile(QWidget* Parent, const TFileDialogRequest& Request) {
  TFileDialogResult result = AskSaveFile(Parent, Request);
  if (result.Accepted) result.FilterIndex = FileTypeOfName(Request.Filters, result.FilterIndex, result.Path);
  return result;
}
