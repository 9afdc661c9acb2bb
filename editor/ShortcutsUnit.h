// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Keyboard Shortcuts": every hotkey of the main window and of the Stick
// Figure Builder in a small window of its own.

#include <QDialog>

class QTextBrowser;

class TShortcutsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TShortcutsForm(QWidget* Parent = nullptr);
  QTextBrowser* List;
};
