#include "builder/NameUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TNameForm::TNameForm(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle(QStringLiteral("Figure Name"));
  setFixedSize(291, 95);
  move(405, 334);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  Label1 = new QLabel(QStringLiteral("You must name the figure before adding it to the animation"), this);
  Label1->move(8, 8);
  Label1->adjustSize();
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(32, 32, 225, 21);
  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setGeometry(104, 64, 75, 25);
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
  FormHide();
  QDialog::done(Result);
}
