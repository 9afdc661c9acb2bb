// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/OptionsUnit.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"

QValidator::State TSizeSpinEdit::validate(QString& Text, int&) const {
  // Anything may stand in the field while it is typed; only a whole number
  // in range is complete. The rest is settled when the text is confirmed.
  bool ok = false;
  const qlonglong value = locale().toLongLong(Text.trimmed(), &ok);
  return ok && value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSizeSpinEdit::fixup(QString& Text) const { Text = textFromValue(Read(Text)); }

int TSizeSpinEdit::valueFromText(const QString& Text) const { return Read(Text); }

int TSizeSpinEdit::Read(const QString& Text) const {
  bool ok = false;
  const qlonglong value = locale().toLongLong(Text.trimmed(), &ok);
  if (!ok) return minimum();
  return static_cast<int>(std::clamp<qlonglong>(value, minimum(), maximum()));
}

namespace {

TSizeSpinEdit* SizeField(QWidget* Parent, QRect Geometry) {
  auto* field = new TSizeSpinEdit(Parent);
  field->setGeometry(Geometry);
  field->setRange(TOptionsForm::MinSide, TOptionsForm::MaxSide);
  field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  return field;
}

}  // namespace

TOptionsForm::TOptionsForm(TMainForm& MainForm, TDialogs& DialogService, QWidget* Parent)
    : QDialog(Parent), Main(MainForm), Dialogs(DialogService) {
  setWindowTitle("OptionsForm");
  setModal(false);
  setFixedSize(210, 180);

  GroupBox1 = new QGroupBox("Animation Dimensions", this);
  GroupBox1->setGeometry(8, 8, 193, 113);
  Label1 = new QLabel("Width", GroupBox1);
  Label1->setGeometry(16, 32, 60, 16);
  Label2 = new QLabel("Height", GroupBox1);
  Label2->setGeometry(16, 72, 60, 16);
  SpinEditWidth = SizeField(GroupBox1, QRect(88, 28, 89, 22));
  SpinEditHeight = SizeField(GroupBox1, QRect(88, 68, 89, 22));
  Label1->setBuddy(SpinEditWidth);
  Label2->setBuddy(SpinEditHeight);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
  BitBtn1->setGeometry(16, 136, 81, 27);
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel", this);
  BitBtn2->setGeometry(112, 136, 81, 27);
  BitBtn2->setAutoDefault(false);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { RunGuarded(Dialogs, this, [this] { BitBtn1Click(); }); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TOptionsForm::FormActivate() {
  SpinEditWidth->setValue(Main.Animation().Width);
  SpinEditHeight->setValue(Main.Animation().Height);
}

void TOptionsForm::BitBtn1Click() {
  // What is still being typed counts as confirmed: letters and an empty
  // field become the minimum, numbers out of range the nearest bound.
  SpinEditWidth->interpretText();
  SpinEditHeight->interpretText();
  const int width = SpinEditWidth->value();
  const int height = SpinEditHeight->value();
  if (width != Main.Animation().Width || height != Main.Animation().Height) {
    if (Main.Animation().Frames.empty() || Dialogs.AskYesNo(this, ChangeAllFramesQuestion))
      Main.ChangeDimensions(width, height);
  }
  hide();
}

void TOptionsForm::BitBtn2Click() { hide(); }

void TOptionsForm::reject() { BitBtn2Click(); }

bool TOptionsForm::event(QEvent* Event) {
  const bool result = QDialog::event(Event);
  if (Event->type() == QEvent::WindowActivate) FormActivate();
  return result;
}
