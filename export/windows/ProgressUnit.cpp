// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/windows/ProgressUnit.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

#include "platform/ObjectNames.h"

void CenterOnScreen(QWidget& Window) {
  const QScreen* screen = Window.screen() != nullptr ? Window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = Window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  Window.move(frame.topLeft());
}

TProgressForm::TProgressForm(QWidget* Parent) : QWidget(Parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("Saving Animation"));
  setFixedSize(338, 42);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setGeometry(8, 8, 321, 25);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  KeepDesignNames({{ProgressBar, "ProgressBar1"}});
}

void TProgressForm::FormHide() { ProgressBar->setValue(0); }

void TProgressForm::showEvent(QShowEvent* Event) {
  CenterOnScreen(*this);
  QWidget::showEvent(Event);
}

void TProgressForm::hideEvent(QHideEvent* Event) {
  QWidget::hideEvent(Event);
  FormHide();
}
