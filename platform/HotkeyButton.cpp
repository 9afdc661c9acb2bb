// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HotkeyButton.h"

#include <QPushButton>

QPushButton* MakeHotkeyButton(QWidget* Parent, const QString& Caption, QRect Place) {
  auto* button = new QPushButton(Caption, Parent);
  button->setGeometry(Place);
  button->setFocusPolicy(Qt::NoFocus);
  // In a dialog a push button would otherwise take Enter as its default.
  button->setAutoDefault(false);
  return button;
}
