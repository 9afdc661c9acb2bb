// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

bool TDesktopShell::OpenDocument(QWidget*, const QString& Path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Path));
}

TShell& DesktopShell() {
  static TDesktopShell shell;
  return shell;
}
