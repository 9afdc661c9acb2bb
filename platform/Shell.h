// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shell seam: the desktop's "open" action on a file, which shows the file
// in whatever program the desktop associates with its type. Tests install
// one that records the request instead.

#include <QString>

class QWidget;

class TShell {
 public:
  virtual ~TShell() = default;
  // Asks the desktop to open the file at Path on behalf of Owner; false when
  // no program could be started to show it.
  virtual bool OpenDocument(QWidget* Owner, const QString& Path) = 0;
};

// The desktop's own shell, through QDesktopServices.
class TDesktopShell : public TShell {
 public:
  bool OpenDocument(QWidget* Owner, const QString& Path) override;
};

// The one desktop shell of the program.
TShell& DesktopShell();
