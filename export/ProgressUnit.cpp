// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ProgressUnit.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

void CentreOnScreen(QWidget& Window) {
  const QScreen* screen = Window.screen() != nullptr ? Window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = Window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  Window.move(frame.topLeft());
}

TProgressForm::TProgressForm(QWidget* Parent) : QWidget(Parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("Saving Animation"));
  setFixedSize(338, 42);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(8, 8, 321, 25);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
}

void TProgressForm::FormHide() { ProgressBar1->setValue(0); }

void TProgressForm::showEvent(QShowEvent* Event) {
  CentreOnScreen(*this);
  QWidget::showEvent(Event);
}

void TProgressForm::hideEvent(QHideEvent* Event) {
  QWidget::hideEvent(Event);
  FormHide();
}
