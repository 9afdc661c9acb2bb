// SPDX-License-Identifier: GPL-3.0-or-later
#include "builder/UpDown.h"

#include <QToolButton>
#include <algorithm>

TUpDown::TUpDown(QWidget* Parent) : QWidget(Parent), FUp(new QToolButton(this)), FDown(new QToolButton(this)) {
  for (QToolButton* button : {FUp, FDown}) {
    button->setFocusPolicy(Qt::NoFocus);
    // Holding an arrow down keeps stepping, one undoable click at a time.
    button->setAutoRepeat(true);
  }
  FUp->setArrowType(Qt::UpArrow);
  FDown->setArrowType(Qt::DownArrow);
  connect(FUp, &QToolButton::clicked, this, [this] { Step(+1); });
  connect(FDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetPosition(int Value) { FPosition = std::clamp(Value, FMin, FMax); }

void TUpDown::SetRange(int Min, int Max) {
  FMin = Min;
  FMax = std::max(Min, Max);
  SetPosition(FPosition);
}

void TUpDown::Step(int Delta) {
  const int next = std::clamp(FPosition + Delta, FMin, FMax);
  if (next == FPosition) return;
  FPosition = next;
  emit Click();
}

void TUpDown::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  FUp->setGeometry(0, 0, width(), upper);
  FDown->setGeometry(0, upper, width(), height() - upper);
}
