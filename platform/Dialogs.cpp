// SPDX-License-Identifier: GPL-3.0-or-later
// What every dialog seam shares: the question before replacing files.

#include <QFileInfo>

#include "platform/Dialogs.h"

QString ReplaceQuestion(const QStringList& Paths) {
  QString text = QStringLiteral("A file with that name already exists. Would you like to replace it?");
  if (Paths.isEmpty()) return text;
  text += QLatin1Char('\n') + QFileInfo(Paths.constFirst()).fileName();
  if (Paths.size() > 1)
    text += QStringLiteral(" to %1 (%2 files)").arg(QFileInfo(Paths.constLast()).fileName()).arg(Paths.size());
  return text;
}
