// SPDX-License-Identifier: GPL-3.0-or-later
#include "builder/NameUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

TNameForm::TNameForm(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle(QStringLiteral("Figure Name"));
  move(405, 334);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  // The sentence wraps within the window; where the font needs more than
  // the designed line, the controls below move down and the window grows.
  constexpr int Width = 291, LabelTop = 8, EditTop = 32;
  Label1 = new QLabel(QStringLiteral("You must name the figure before adding it to the animation"), this);
  Label1->setWordWrap(true);
  const int labelWidth = Width - 2 * LabelTop;
  const int labelHeight = Label1->heightForWidth(labelWidth);
  Label1->setGeometry(LabelTop, LabelTop, labelWidth, labelHeight);
  const int extra = std::max(0, LabelTop + labelHeight + 4 - EditTop);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(32, EditTop + extra, 225, 21);
  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setGeometry(104, 64 + extra, 75, 25);
  setFixedSize(Width, 95 + extra);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  FormCreate();
}

void TNameForm::FormCreate() { NameCounter = 1; }

void TNameForm::FormHide() {
  if (!Edit1->text().isEmpty()) return;
  Edit1->setText(QStringLiteral("Figure Type %1").arg(NameCounter));
  ++NameCounter;
}

void TNameForm::done(int Result) {
  // Escape and the close box call the prompt off: no name is made.
  if (Result == QDialog::Accepted) FormHide();
  QDialog::done(Result);
}
