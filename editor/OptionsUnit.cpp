// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/OptionsUnit.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "editor/BackgroundController.h"
#include "model/Common.h"
#include "model/Document.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/ObjectNames.h"

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

TOptionsForm::TOptionsForm(const TDocument& Document, TBackgroundController& Picture, TDialogs& DialogService,
                           QWidget* Parent)
    : QDialog(Parent), Doc(Document), Background(Picture), Dialogs(DialogService) {
  setWindowTitle("OptionsForm");
  setModal(false);
  setFixedSize(210, 180);

  DimensionsGroupBox = new QGroupBox("Animation Dimensions", this);
  DimensionsGroupBox->setGeometry(8, 8, 193, 113);
  WidthLabel = new QLabel("Width", DimensionsGroupBox);
  WidthLabel->setGeometry(16, 32, 60, 16);
  HeightLabel = new QLabel("Height", DimensionsGroupBox);
  HeightLabel->setGeometry(16, 72, 60, 16);
  SpinEditWidth = SizeField(DimensionsGroupBox, QRect(88, 28, 89, 22));
  SpinEditHeight = SizeField(DimensionsGroupBox, QRect(88, 68, 89, 22));
  WidthLabel->setBuddy(SpinEditWidth);
  HeightLabel->setBuddy(SpinEditHeight);

  OkButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
  OkButton->setGeometry(16, 136, 81, 27);
  OkButton->setDefault(true);
  CancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel", this);
  CancelButton->setGeometry(112, 136, 81, 27);
  CancelButton->setAutoDefault(false);

  connect(OkButton, &QPushButton::clicked, this, [this] { RunGuarded(Dialogs, this, [this] { OkButtonClick(); }); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  KeepDesignNames({{DimensionsGroupBox, "GroupBox1"},
                   {WidthLabel, "Label1"},
                   {HeightLabel, "Label2"},
                   {OkButton, "BitBtn1"},
                   {CancelButton, "BitBtn2"}});
}

void TOptionsForm::FormActivate() {
  SpinEditWidth->setValue(Doc.Animation().Width);
  SpinEditHeight->setValue(Doc.Animation().Height);
}

void TOptionsForm::OkButtonClick() {
  // What is still being typed counts as confirmed: letters and an empty
  // field become the minimum, numbers out of range the nearest bound.
  SpinEditWidth->interpretText();
  SpinEditHeight->interpretText();
  const int width = SpinEditWidth->value();
  const int height = SpinEditHeight->value();
  if (width != Doc.Animation().Width || height != Doc.Animation().Height) {
    if (Doc.Animation().Frames.empty() || Dialogs.AskYesNo(this, ChangeAllFramesQuestion))
      Background.ChangeDimensions(width, height);
  }
  hide();
}

void TOptionsForm::CancelButtonClick() { hide(); }

void TOptionsForm::reject() { CancelButtonClick(); }

bool TOptionsForm::event(QEvent* Event) {
  const bool result = QDialog::event(Event);
  if (Event->type() == QEvent::WindowActivate) FormActivate();
  return result;
}
