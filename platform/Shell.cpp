// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

void TDesktopShell::OpenDocument(QWidget*, const QString& Path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(Path));
}

TShell& DesktopShell() {
  static TDesktopShell shell;
  return shell;
}
