// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window both exports show while they write: a small tool
// window with one bar from 0 to 100, reset to 0 whenever it is hidden.

#include <QWidget>

class QProgressBar;

class TProgressForm : public QWidget {
  Q_OBJECT
 public:
  explicit TProgressForm(QWidget* Parent = nullptr);

  void FormHide();

  QProgressBar* ProgressBar = nullptr;

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
};

// Moves a top-level window to the middle of the screen it is on.
void CenterOnScreen(QWidget& Window);
