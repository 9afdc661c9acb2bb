// SPDX-License-Identifier: GPL-3.0-or-later
#include "builder/NameUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "platform/ObjectNames.h"

TNameForm::TNameForm(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle(QStringLiteral("Figure Name"));
  move(405, 334);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  // The sentence wraps within the window; where the font needs more than
  // the designed line, the controls below move down and the window grows.
  constexpr int Width = 291, LabelTop = 8, EditTop = 32;
  PromptLabel = new QLabel(QStringLiteral("You must name the figure before adding it to the animation"), this);
  PromptLabel->setWordWrap(true);
  const int labelWidth = Width - 2 * LabelTop;
  const int labelHeight = PromptLabel->heightForWidth(labelWidth);
  PromptLabel->setGeometry(LabelTop, LabelTop, labelWidth, labelHeight);
  const int extra = std::max(0, LabelTop + labelHeight + 4 - EditTop);
  NameEdit = new QLineEdit(this);
  NameEdit->setGeometry(32, EditTop + extra, 225, 21);
  OkButton = new QPushButton(QStringLiteral("OK"), this);
  OkButton->setGeometry(104, 64 + extra, 75, 25);
  setFixedSize(Width, 95 + extra);
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  FormCreate();
  KeepDesignNames({{PromptLabel, "Label1"}, {NameEdit, "Edit1"}, {OkButton, "BitBtn1"}});
}

void TNameForm::FormCreate() { NameCounter = 1; }

void TNameForm::FormHide() {
  if (!NameEdit->text().isEmpty()) return;
  NameEdit->setText(QStringLiteral("Figure Type %1").arg(NameCounter));
  ++NameCounter;
}

void TNameForm::done(int Result) {
  // Escape and the close box call the prompt off: no name is made.
  if (Result == QDialog::Accepted) FormHide();
  QDialog::done(Result);
}
